// The dashboard window: the speedometer's maximum through a window's life, unit and coordinate format cycling by
// click (without a host, then through one), the double-click sequence, coordinates of every hemisphere, page wrap,
// repeated rebuilds, the gauge's square and every caption fitting its place.
#include "graphfixture.h"
#include "main/guitest.h"
#include "views/datadialog.h"
#include "views/gauges/qcgaugewidget.h"

#include <tuple>

using namespace vx;
using vxtest::store;

namespace {

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
    std::tie(p.time, p.latitude, p.longitude, p.hasAltitude, p.hasSats, p.altitudeM, p.sats, p.travelledDist) =
        std::tuple(QDateTime(QDate(2017, 3, 11), QTime(21, 22, 5), Qt::UTC), lat, lon, true, true, 10.9, 14, 12.34);
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
    void cleanup() { setViewHost(nullptr); }
    // One window's life. The scale: 100 before any movie (no range error at start-up), then from the top speed, kept
    // while none is known, the user's maximum clamped into 10..200; rebuilds leave nothing behind. A point: distance,
    // altitude (truncated), satellites, calendar; the weather button waits for it. The needle eases; a reset or a
    // unit change shows the next value at once. Pages wrap.
    void life()
    {
        dataDialog dash(false);
        const DashboardForm &f = dash.form();
        QCOMPARE(dash.speedGauge().maximum, 100);
        track().stats.peakSpeed = float(40.0 / 0.621371);  // 40.0 mph
        dash.rebuildSpeedGauge();
        QCOMPARE(dash.speedGauge().needle->maxValue(), 50.0f);
        track().stats.peakSpeed = 0;
        dash.rebuildSpeedGauge();
        QCOMPARE(dash.speedGauge().maximum, 50);
        settings().autoSpeedo = false;
        for (const auto &[user, shown] : {std::pair{0, 10}, std::pair{300, 200}}) {
            settings().maxUserSpeedo = user;
            dash.applySettings(DashboardChanged);
            QCOMPARE(dash.speedGauge().maximum, shown);
        }
        QCOMPARE(dash.gaugeRebuilds(), 2);  // the load's rebuilds, not the settings'
        const int children = dash.findChildren<QObject *>().size();
        const int gaugeChildren = dash.gauge()->children().size();
        for (int i = 1; i <= 99; ++i) {
            settings().outUnits = i % 3;
            recomputeFactors();
            if (i % 2)
                dash.applySettings(UnitsChanged | DashboardChanged);
            else
                dash.rebuildSpeedGauge();
        }
        QCOMPARE(dash.gauge()->children().size(), gaugeChildren);
        QVERIFY(dash.gauge()->items().size() == 13 && dash.findChildren<QObject *>().size() == children);
        const QDateTime t(QDate(2020, 1, 1), QTime(10, 0, 0), Qt::UTC);
        dash.updateSpeedHeading(20, 90, t);  // at once, eased, at once after a reset and after a unit change
        QVERIFY(dash.speedGauge().needle->currentValue() == 20.0f && dash.vehicleHeading() == 90.0);
        dash.updateSpeedHeading(60, 180, t.addMSecs(100));
        QVERIFY(dash.speedGauge().needle->currentValue() < 30);
        dash.resetSpeedSmoothing();
        dash.updateSpeedHeading(70, 200, t.addSecs(30));
        QVERIFY(dash.speedGauge().needle->currentValue() == 70.0f && dash.vehicleHeading() == 200.0);
        settings().outUnits = 1;
        recomputeFactors();
        dash.updateSpeedHeading(40, 200, t.addSecs(30));
        QCOMPARE(dash.speedGauge().needle->currentValue(), 40.0f);
        settings().altUnits = settings().outUnits = 0;
        recomputeFactors();
        QVERIFY(!f.getWeatherButton->isEnabled());
        DashboardPoint p = point(1, 2);
        dash.updatePoint(p);
        QVERIFY(f.getWeatherButton->isEnabled());
        QCOMPARE(dash.speedGauge().distanceLabel->text(), "12.3 mi");
        QVERIFY(f.altitudeNumber->intValue() == 35 && f.satsNumber->intValue() == 14);  // 10.9 m = 35.76 ft
        QCOMPARE(f.calendarWidget->selectedDate(), p.time.date());
        QCOMPARE(f.calendarLabel->text(), p.time.date().toString(QStringLiteral("MMMM yyyy")));
        std::tie(p.altitudeM, p.hasSats, p.sats) = std::tuple(-1.5, false, 3);  // -4.92 ft
        dash.updatePoint(p);
        QVERIFY(f.altitudeNumber->intValue() == -4 && f.satsNumber->intValue() == 14);
        dash.setTelemetryPresence(false, true);
        QVERIFY(!dash.showsAltitude() && !f.altitudeUnits->isVisibleTo(&dash) && dash.showsSats());
        dash.resetToEmpty();
        QVERIFY(!f.getWeatherButton->isEnabled() && dash.speedGauge().needle->currentValue() == 0.0f);
        dash.setArrowVehicle(true);
        dash.toggleVehicle();
        QVERIFY(!dash.arrowVehicle());
        QStackedWidget *pages = f.stackedWidget;
        QCOMPARE(pages->currentWidget(), f.compassPage);
        f.leftButton->click();
        QCOMPARE(pages->currentWidget(), f.calendarPage);
        f.rightButton->click();
        QCOMPARE(pages->currentIndex(), 0);
        dash.next_widget_slot();
        QCOMPARE(pages->currentWidget(), f.weatherPage);
    }
    // A click cycles mph -> km/h -> m/s -> mph on the gauge, deg -> dm -> dms -> deg on the coordinates, in both
    // layouts, after the double-click interval; between the two areas nothing cycles. Without a host the window
    // recomputes the factors, shows the new unit and saves the settings itself. With one, press, release, double
    // click, release opens the preferences at the area's tab without cycling, and the next single click cycles
    // through the host.
    void clicks_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<QPoint>("gauge");
        QTest::addColumn<QPoint>("coordinates");
        QTest::addColumn<QPoint>("between");
        QTest::newRow("horizontal") << false << QPoint(60, 60) << QPoint(520, 100) << QPoint(300, 50);
        QTest::newRow("vertical") << true << QPoint(100, 100) << QPoint(100, 500) << QPoint(100, 300);
    }
    void clicks()
    {
        QFETCH(bool, vertical);
        QFETCH(QPoint, gauge);
        QFETCH(QPoint, coordinates);
        QFETCH(QPoint, between);
        vxtest::RecordingHost host;  // outlives the window
        dataDialog dash(vertical);
        dash.show();
        const char *units[] = {"km/h", "m/s", "mph"};
        const double factors[] = {1.0, 0.27777777777778, 0.621371};
        for (int i = 0; i < 3; ++i) {
            click(&dash, gauge);
            QTRY_COMPARE(settings().outUnits, (i + 1) % 3);
            QVERIFY(settings().speedFactor == factors[i] && dash.speedGauge().unitLabel->text() == units[i]);
            QCOMPARE(store().value(QStringLiteral("configuration/outUnits")).toInt(), (i + 1) % 3);
        }
        const DashboardForm &f = dash.form();
        for (int i = 1; i <= 3; ++i) {
            click(&dash, coordinates);
            QTRY_COMPARE(settings().datumFormat, i % 3);
            QVERIFY(f.latitudeNumber->isVisible() == (i % 3 == 0) && f.latitudeMin->isVisible() == (i % 3 != 0)
                    && f.longitudeSec->isVisible() == (i % 3 == 2));
            QCOMPARE(store().value(QStringLiteral("configuration/datumFormat")).toInt(), i % 3);
        }
        click(&dash, between);
        waitPastDoubleClick();
        QVERIFY(settings().outUnits == 0 && settings().datumFormat == 0);
        setViewHost(&host);
        host.onChange = [&](unsigned c) { dash.applySettings(c); };
        for (const auto &[pos, tab, change] : {std::tuple{gauge, "Advanced", unsigned(UnitsChanged)},
                                               std::tuple{coordinates, "General", unsigned(CoordinatesChanged)}}) {
            host.preferenceTabs.clear();
            host.changes.clear();
            const auto before = std::pair{settings().outUnits, settings().datumFormat};
            for (QEvent::Type e : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                                   QEvent::MouseButtonRelease})
                send(&dash, e, pos);
            waitPastDoubleClick();
            QCOMPARE(host.preferenceTabs, QStringList{QString::fromLatin1(tab)});
            QVERIFY(host.changes.isEmpty() && std::pair(settings().outUnits, settings().datumFormat) == before);
            click(&dash, pos);
            QTRY_COMPARE(host.changes, QVector<unsigned>{change});
        }
        QVERIFY(settings().outUnits == 1 && settings().datumFormat == 1);
    }
    // On one window: the hemisphere letters follow every point (north east first: the letters must change); the
    // numbers are unsigned, never cut.
    void coordinates()
    {
        dataDialog dash(false);
        const DashboardForm &f = dash.form();
        const QList<QList<QLCDNumber *>> layouts = {
            {f.latitudeNumber, f.longitudeNumber},
            {f.latitudeDeg, f.latitudeMin, f.longitudeDeg, f.longitudeMin},
            {f.latitudeDeg, f.latitudeMin, f.latitudeSec, f.longitudeDeg, f.longitudeMin, f.longitudeSec}};
        const struct { int format; double lat, lon; const char *letters; QList<double> shown; } rows[] = {
            {0, -33.8568, -151.2153, "SW", {33.8568, 151.2153}},
            {0, -89.9999994, -179.9999994, "SW", {89.999999, 179.999999}},  // the longest
            {1, 37.5, 127.25, "NE", {37, 30, 127, 15}},
            {2, -0.5, 0.25, "SE", {0, 30, 0, 0, 15, 0}},  // just south of the equator
            {2, -33.8568, 151.2153, "SE", {33, 51, 24.48, 151, 12, 55.08}}};
        for (const auto &row : rows) {
            settings().datumFormat = row.format;
            dash.applySettings(CoordinatesChanged);
            dash.updatePoint(point(45, 9));
            dash.updatePoint(point(row.lat, row.lon));
            QCOMPARE(f.latDirectionLabel->text() + f.lonDirectionLabel->text(), row.letters);
            const QList<QLCDNumber *> &fields = layouts[row.format];
            for (int i = 0; i < fields.size(); ++i)
                QVERIFY2(qAbs(fields[i]->value() - row.shown[i]) < 1e-6
                             && !fields[i]->checkOverflow(fields[i]->value()),
                         qPrintable(fields[i]->objectName()));
        }
        QVERIFY(f.latitudeNumber->digitCount() >= QStringLiteral("-179.999999").size());
    }
    // Every caption and text fits its place, and inside the 194-pixel horizontal window, at the widest texts the
    // window shows. The gauge is a square of 94 % of its group's smaller side and follows the group.
    void captionsFit_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<QRect>("gauge");
        QTest::newRow("horizontal") << false << QRect(14, 5, 182, 182);
        QTest::newRow("vertical") << true << QRect(6, 5, 197, 197);
    }
    void captionsFit()
    {
        QFETCH(bool, vertical);
        QFETCH(QRect, gauge);
        std::tie(settings().altUnits, settings().outUnits, settings().tempUnits) = std::tuple(1, 2, 0);
        recomputeFactors();
        dataDialog dash(vertical);
        dash.show();
        QCOMPARE(dash.gauge()->geometry(), gauge);
        WeatherValues worst;
        std::tie(worst.highF, worst.lowF, worst.precipitationIn, worst.visibilityMi, worst.fog, worst.snow) =
            std::tuple(-40.4, 104, 12.6 / 2.54 * 100, 30, 1, 0);
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
            QVERIFY2(inWindow.bottom() < windowHeight && inWindow.right() < dash.width(), qPrintable(l->objectName()));
        }
        // The gauge's own texts stay on the gauge.
        dash.gauge()->grab();  // paints: the labels place their texts
        const QRectF face(0, 0, dash.gauge()->width(), dash.gauge()->height());
        for (QcLabelItem *label :
             {dash.speedGauge().distanceLabel, dash.speedGauge().unitLabel, dash.speedGauge().valueLabel})
            QVERIFY2(face.contains(label->lastTextRect()), qPrintable(label->text()));
        dash.form().speedometerGroup->resize(210, 150);
        QCOMPARE(dash.gauge()->geometry(), QRect(34, 4, 141, 141));
    }
};

QTEST_MAIN(TestDataDialog)
#include "test_datadialog.moc"
