// The dashboard window: the speedometer's maximum, unit and coordinate
// format cycling by click (with and without a host), the double-click
// sequence, coordinates of every hemisphere, page wrap, repeated rebuilds,
// the vertical gauge, and every caption fitting its place.
#include "main/guitest.h"
#include "settings/settings.h"
#include "track/trackstore.h"
#include "views/datadialog.h"
#include "views/gauges/qcgaugewidget.h"
#include "views/viewhost.h"

#include <QCalendarWidget>
#include <QGraphicsView>
#include <QGroupBox>
#include <QLabel>
#include <QLCDNumber>
#include <QMouseEvent>
#include <QPushButton>
#include <QStackedWidget>
#include <QtTest>

#include <functional>

using namespace vx;
using vxtest::store;

namespace {

struct FakeHost : ViewHost {
    QStringList preferenceTabs;
    QList<unsigned> changes;
    std::function<void(unsigned)> onChange;
    bool storeBusy() const override { return false; }
    void jumpToMovie(int, qint64) override {}
    void settingsChanged(unsigned c) override
    {
        changes << c;
        recomputeFactors();
        if (onChange)
            onChange(c);
    }
    void openPreferences(const QString &tab) override { preferenceTabs << tab; }
    void makeGeotag() override {}
};

struct HostScope {
    explicit HostScope(ViewHost *h) { setViewHost(h); }
    ~HostScope() { setViewHost(nullptr); }
};

void send(QWidget *w, QEvent::Type type, const QPoint &pos)
{
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, pos, w->mapToGlobal(pos), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void click(QWidget *w, const QPoint &pos)
{
    send(w, QEvent::MouseButtonPress, pos);
    send(w, QEvent::MouseButtonRelease, pos);
}

void waitPastDoubleClick() { QTest::qWait(QApplication::doubleClickInterval() + 150); }

DashboardPoint point(double lat, double lon)
{
    DashboardPoint p;
    p.time = QDateTime(QDate(2017, 3, 11), QTime(21, 22, 5), Qt::UTC);
    p.latitude = lat;
    p.longitude = lon;
    p.hasAltitude = p.hasSats = true;
    p.altitudeM = 10.9;
    p.sats = 14;
    p.travelledDist = 12.34;
    return p;
}

} // namespace

class TestDataDialog : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        setDefaultSettings();
        track().stats = TrackStats();
        store().clear();
    }

    // The scale's maximum through the window's life: 100 before any movie
    // (no range error at start-up), then from the top speed, kept while no
    // top speed is known, the user's maximum clamped into 10..200.
    void speedometerMaximum()
    {
        dataDialog dash(false);
        QCOMPARE(dash.speedGauge().maximum, 100);
        track().stats.peakSpeed = float(40.0 / 0.621371);  // 40.0 mph
        dash.rebuildSpeedGauge();
        QCOMPARE(dash.speedGauge().maximum, 50);
        QCOMPARE(dash.speedGauge().needle->maxValue(), 50.0f);
        track().stats.peakSpeed = 0;
        dash.rebuildSpeedGauge();
        QCOMPARE(dash.speedGauge().maximum, 50);
        settings().autoSpeedo = false;
        settings().maxUserSpeedo = 300;
        dash.applySettings(DashboardChanged);
        QCOMPARE(dash.speedGauge().maximum, 200);
        settings().maxUserSpeedo = 0;
        dash.applySettings(DashboardChanged);
        QCOMPARE(dash.speedGauge().maximum, 10);
        QCOMPARE(dash.gaugeRebuilds(), 2);  // the load's rebuilds, not the settings'
    }

    // Every settings apply rebuilds the gauge; no item is left behind.
    void rebuildsDoNotLeak()
    {
        dataDialog dash(false);
        dash.applySettings(UnitsChanged);
        const int children = dash.findChildren<QObject *>().size();
        const int gaugeChildren = dash.gauge()->children().size();
        for (int i = 0; i < 100; ++i) {
            settings().outUnits = i % 3;
            recomputeFactors();
            if (i % 2)
                dash.applySettings(UnitsChanged | DashboardChanged);
            else
                dash.rebuildSpeedGauge();
        }
        QCOMPARE(dash.gauge()->children().size(), gaugeChildren);
        QCOMPARE(dash.gauge()->items().size(), 13);
        QCOMPARE(dash.findChildren<QObject *>().size(), children);
    }

    // A click cycles mph -> km/h -> m/s -> mph on the gauge, deg -> dm ->
    // dms -> deg on the coordinates, in both layouts, after the double-click
    // interval. Without a host the window recomputes the factors, shows the
    // new unit and saves the settings itself.
    void clickCycles_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<QPoint>("gauge");
        QTest::addColumn<QPoint>("coordinates");
        QTest::newRow("horizontal") << false << QPoint(100, 100) << QPoint(500, 150);
        QTest::newRow("vertical") << true << QPoint(100, 100) << QPoint(100, 500);
    }

    void clickCycles()
    {
        QFETCH(bool, vertical);
        QFETCH(QPoint, gauge);
        QFETCH(QPoint, coordinates);
        dataDialog dash(vertical);
        dash.show();
        const char *units[] = {"km/h", "m/s", "mph"};
        const double factors[] = {1.0, 0.27777777777778, 0.621371};
        for (int i = 0; i < 3; ++i) {
            click(&dash, gauge);
            QTRY_COMPARE(settings().outUnits, (i + 1) % 3);
            QCOMPARE(settings().speedFactor, factors[i]);
            QCOMPARE(dash.speedGauge().unitLabel->text(), QString::fromLatin1(units[i]));
            QCOMPARE(store().value(QStringLiteral("configuration/outUnits")).toInt(), (i + 1) % 3);
        }
        QCOMPARE(settings().datumFormat, 0);
        const DashboardForm &f = dash.form();
        for (int i = 1; i <= 3; ++i) {
            click(&dash, coordinates);
            QTRY_COMPARE(settings().datumFormat, i % 3);
            QCOMPARE(f.latitudeNumber->isVisible(), i % 3 == 0);
            QCOMPARE(f.latitudeMin->isVisible(), i % 3 != 0);
            QCOMPARE(f.longitudeSec->isVisible(), i % 3 == 2);
            QCOMPARE(store().value(QStringLiteral("configuration/datumFormat")).toInt(), i % 3);
        }
        // Between the two areas: nothing cycles.
        click(&dash, vertical ? QPoint(100, 300) : QPoint(300, 50));
        waitPastDoubleClick();
        QCOMPARE(settings().outUnits, 0);
        QCOMPARE(settings().datumFormat, 0);
    }

    // Press, release, double click, release: no cycling, the preferences at
    // the area's tab. With a host, a cycle goes through it.
    void doubleClickOpensPreferences_data()
    {
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<QString>("tab");
        QTest::newRow("gauge") << QPoint(60, 60) << "Advanced";
        QTest::newRow("coordinates") << QPoint(520, 100) << "General";
    }

    void doubleClickOpensPreferences()
    {
        QFETCH(QPoint, pos);
        QFETCH(QString, tab);
        FakeHost host;
        HostScope scope(&host);
        dataDialog dash(false);
        dash.show();
        send(&dash, QEvent::MouseButtonPress, pos);
        send(&dash, QEvent::MouseButtonRelease, pos);
        send(&dash, QEvent::MouseButtonDblClick, pos);
        send(&dash, QEvent::MouseButtonRelease, pos);
        waitPastDoubleClick();
        QCOMPARE(host.preferenceTabs, QStringList{tab});
        QVERIFY(host.changes.isEmpty());
        QCOMPARE(settings().outUnits, 0);
        QCOMPARE(settings().datumFormat, 0);
        // The next single click cycles again, through the host.
        host.onChange = [&](unsigned c) { dash.applySettings(c); };
        click(&dash, pos);
        QTRY_COMPARE(host.changes.size(), 1);
        QCOMPARE(host.changes.first(), tab == QLatin1String("Advanced") ? unsigned(UnitsChanged)
                                                                         : unsigned(CoordinatesChanged));
    }

    // The hemisphere letters follow every point; the numbers are unsigned
    // and never cut.
    void coordinates_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<double>("lat");
        QTest::addColumn<double>("lon");
        QTest::addColumn<QString>("letters");
        QTest::addColumn<QList<double>>("shown");  // lat fields, then lon fields
        QTest::newRow("south west, deg") << 0 << -33.8568 << -151.2153 << "SW"
                                         << QList<double>{33.8568, 151.2153};
        QTest::newRow("longest, deg") << 0 << -89.9999994 << -179.9999994 << "SW"
                                      << QList<double>{89.999999, 179.999999};
        QTest::newRow("north east, dm") << 1 << 37.5 << 127.25 << "NE" << QList<double>{37, 30, 127, 15};
        QTest::newRow("just south of the equator, dms")
            << 2 << -0.5 << 0.25 << "SE" << QList<double>{0, 30, 0, 0, 15, 0};
        QTest::newRow("south east, dms") << 2 << -33.8568 << 151.2153 << "SE"
                                         << QList<double>{33, 51, 24.48, 151, 12, 55.08};
    }

    void coordinates()
    {
        QFETCH(int, format);
        QFETCH(double, lat);
        QFETCH(double, lon);
        QFETCH(QString, letters);
        QFETCH(QList<double>, shown);
        settings().datumFormat = format;
        dataDialog dash(false);
        dash.updatePoint(point(45, 9));  // north east first: the letters must change
        dash.updatePoint(point(lat, lon));
        const DashboardForm &f = dash.form();
        QCOMPARE(f.latDirectionLabel->text() + f.lonDirectionLabel->text(), letters);
        QList<QLCDNumber *> fields;
        if (format == 0)
            fields = {f.latitudeNumber, f.longitudeNumber};
        else if (format == 1)
            fields = {f.latitudeDeg, f.latitudeMin, f.longitudeDeg, f.longitudeMin};
        else
            fields = {f.latitudeDeg, f.latitudeMin, f.latitudeSec, f.longitudeDeg, f.longitudeMin, f.longitudeSec};
        for (int i = 0; i < fields.size(); ++i) {
            QVERIFY2(qAbs(fields[i]->value() - shown[i]) < 1e-6, qPrintable(fields[i]->objectName()));
            QVERIFY(!fields[i]->checkOverflow(fields[i]->value()));
        }
        QVERIFY(f.latitudeNumber->digitCount() >= QStringLiteral("-179.999999").size());
    }

    // The rest of a point: distance, altitude (truncated), satellites,
    // calendar; the weather button waits for the first point.
    void pointUpdate()
    {
        settings().altUnits = 0;
        recomputeFactors();
        dataDialog dash(false);
        const DashboardForm &f = dash.form();
        QVERIFY(!f.getWeatherButton->isEnabled());
        DashboardPoint p = point(1, 2);
        dash.updatePoint(p);
        QVERIFY(f.getWeatherButton->isEnabled());
        QCOMPARE(dash.speedGauge().distanceLabel->text(), QStringLiteral("12.3 mi"));
        QCOMPARE(f.altitudeNumber->intValue(), 35);  // 10.9 m = 35.76 ft
        QCOMPARE(f.satsNumber->intValue(), 14);
        QCOMPARE(f.calendarWidget->selectedDate(), p.time.date());
        QCOMPARE(f.calendarLabel->text(), p.time.date().toString(QStringLiteral("MMMM yyyy")));
        p.altitudeM = -1.5;  // -4.92 ft
        p.hasSats = false;
        p.sats = 3;
        dash.updatePoint(p);
        QCOMPARE(f.altitudeNumber->intValue(), -4);
        QCOMPARE(f.satsNumber->intValue(), 14);
        dash.setTelemetryPresence(false, true);
        QVERIFY(!dash.showsAltitude() && !f.altitudeUnits->isVisibleTo(&dash) && dash.showsSats());
        dash.resetToEmpty();
        QVERIFY(!f.getWeatherButton->isEnabled());
        QCOMPARE(dash.speedGauge().needle->currentValue(), 0.0f);
    }

    // The needle eases; a reset or a unit change shows the next value at once.
    void speedAndHeading()
    {
        dataDialog dash(false);
        const QDateTime t(QDate(2020, 1, 1), QTime(10, 0, 0), Qt::UTC);
        dash.updateSpeedHeading(20, 90, t);
        QCOMPARE(dash.speedGauge().needle->currentValue(), 20.0f);
        QCOMPARE(dash.vehicleHeading(), 90.0);
        dash.updateSpeedHeading(60, 180, t.addMSecs(100));
        QVERIFY(dash.speedGauge().needle->currentValue() < 30);
        dash.resetSpeedSmoothing();
        dash.updateSpeedHeading(70, 200, t.addSecs(30));
        QCOMPARE(dash.speedGauge().needle->currentValue(), 70.0f);
        QCOMPARE(dash.vehicleHeading(), 200.0);
        settings().outUnits = 1;
        recomputeFactors();
        dash.updateSpeedHeading(40, 200, t.addSecs(30));
        QCOMPARE(dash.speedGauge().needle->currentValue(), 40.0f);
        dash.setArrowVehicle(true);
        QVERIFY(dash.arrowVehicle());
        dash.toggleVehicle();
        QVERIFY(!dash.arrowVehicle());
    }

    void pagesWrap()
    {
        dataDialog dash(false);
        QStackedWidget *pages = dash.form().stackedWidget;
        QCOMPARE(pages->currentWidget(), dash.form().compassPage);
        dash.form().leftButton->click();
        QCOMPARE(pages->currentWidget(), dash.form().calendarPage);
        dash.form().rightButton->click();
        QCOMPARE(pages->currentIndex(), 0);
        dash.next_widget_slot();
        QCOMPARE(pages->currentWidget(), dash.form().weatherPage);
    }

    // The gauge is a square of 94 % of its group's smaller side and follows
    // the group's size.
    void gaugeFollowsItsGroup()
    {
        dataDialog dash(true);
        dash.show();
        QCOMPARE(dash.gauge()->geometry(), QRect(6, 5, 197, 197));
        dash.form().speedometerGroup->resize(210, 150);
        QCOMPARE(dash.gauge()->geometry(), QRect(34, 4, 141, 141));
        dataDialog horiz(false);
        QCOMPARE(horiz.gauge()->geometry(), QRect(14, 5, 182, 182));
    }

    // Every caption and text fits its place, and inside the 194-pixel
    // horizontal window, at the widest texts the window shows.
    void captionsFit_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::newRow("horizontal") << false;
        QTest::newRow("vertical") << true;
    }

    void captionsFit()
    {
        QFETCH(bool, vertical);
        settings().altUnits = 1;
        settings().outUnits = 2;
        settings().tempUnits = 0;
        recomputeFactors();
        dataDialog dash(vertical);
        dash.show();
        WeatherValues worst;
        worst.highF = -40.4;
        worst.lowF = 104;
        worst.precipitationIn = 12.6 / 2.54 * 100;
        worst.visibilityMi = 30;
        worst.fog = 1;
        worst.snow = 0;
        dash.load_file_slot(worst);
        DashboardPoint p = point(-89.9999994, -179.9999994);
        p.time = QDateTime(QDate(2024, 9, 30), QTime(12, 0), Qt::UTC);  // "September 2024"
        p.travelledDist = 99999.94;
        dash.updatePoint(p);
        const int windowHeight = vertical ? DASHBOARD_VERTICAL_SIZE.height() : 194;
        for (QLabel *l : dash.findChildren<QLabel *>()) {
            if (!l->isVisibleTo(&dash) || l->text().isEmpty())
                continue;
            const QRect inWindow(l->mapTo(&dash, QPoint(0, 0)), l->size());
            QVERIFY2(l->sizeHint().width() <= l->width() && l->sizeHint().height() <= l->height(),
                     qPrintable(l->objectName() + QLatin1Char(' ') + l->text()));
            QVERIFY2(inWindow.bottom() < windowHeight && inWindow.right() < dash.width(),
                     qPrintable(l->objectName()));
        }
        // The gauge's own texts stay on the gauge.
        dash.gauge()->grab();  // paints: the labels place their texts
        const QRectF face(0, 0, dash.gauge()->width(), dash.gauge()->height());
        for (QcLabelItem *label : {dash.speedGauge().distanceLabel, dash.speedGauge().unitLabel,
                                   dash.speedGauge().valueLabel})
            QVERIFY2(face.contains(label->lastTextRect()), qPrintable(label->text()));
    }
};

QTEST_MAIN(TestDataDialog)
#include "test_datadialog.moc"
