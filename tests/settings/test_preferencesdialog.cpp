// The preferences dialog offscreen against a recording host: typed values clamped in the record only, open and close
// without edits, the UTC correction (never during a load), changes made by other windows, the tabs following the
// telemetry, the restart texts, and numbers in the C locale whatever the user's locale.
#include "main/guitest.h"
#include "main/startup.h"
#include "settings/graphranges.h"
#include "settings/permoviesettings.h"
#include "settings/preferencesdialog.h"
#include "track/trackstore.h"
#include "views/graphdialog.h"
#include "views/viewhost.h"

using namespace vx;
using vxtest::store;

namespace {

struct FakeHost : ViewHost {
    bool busy = false;
    QList<unsigned> changes;
    QPointer<preferencesDialog> prefs;
    graphDialog *graphs = nullptr;
    bool storeBusy() const override { return busy; }
    void jumpToMovie(int, qint64) override {}
    void settingsChanged(unsigned c) override {
        changes << c;
        recomputeFactors();
        if (graphs)
            graphs->applySettings(c);
        if (prefs)
            prefs->settingsChangedElsewhere(c);
        saveSettings();
    }
    void openPreferences(const QString &) override {}
    void makeGeotag() override {}
};

using Getter = std::function<double(const SettingsRecord &)>;

// Values as one text, to compare several settings at once.
template <typename... T> QString vals(const T &...v) { return QStringList{QVariant(v).toString()...}.join(' '); }

// Types `text` into a field the way a user does: its tab in front, select all, then keys.
void typeInto(QLineEdit *edit, const QString &text) {
    auto *tabs = edit->window()->findChild<QTabWidget *>(QStringLiteral("preferencesTabs"));
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->widget(i)->isAncestorOf(edit))
            tabs->setCurrentIndex(i);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

} // namespace

Q_DECLARE_METATYPE(Getter)

class TestPreferencesDialog : public QObject {
    Q_OBJECT

    FakeHost m_host;

    preferencesDialog *open(const QString &tab = QString()) {
        auto *d = new preferencesDialog;
        d->setAttribute(Qt::WA_DeleteOnClose);
        m_host.prefs = d;
        d->showAtTab(tab);
        return QTest::qWaitForWindowExposed(d) ? d : (qFatal("preferences not exposed"), nullptr);
    }
    template <typename T> static T *child(preferencesDialog *d, const char *name) {
        T *w = d->findChild<T *>(QString::fromLatin1(name));
        return w ? w : (qFatal("no control %s", name), nullptr);
    }

private slots:
    void init() {
        setApplicationIdentity();
        vxtest::silencePlatformWarnings();
        vxtest::resetStore(false);
        resetTrackStore();
        m_host = FakeHost();
        setViewHost(&m_host);
    }

    void cleanup() {
        delete m_host.prefs.data();
        setViewHost(nullptr);
        QLocale::setDefault(QLocale::c());
    }

    void typedValuesAreClampedInTheRecordOnly_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<Getter>("setting");
        QTest::addColumn<double>("stored");  // to 1/1000
        QTest::addColumn<QString>("settled");
#define ROW(name, field, typed, member, stored, settled)                                                   \
    QTest::newRow(name) << field << typed << Getter([](const SettingsRecord &s) { return double(s.member); }) \
                        << double(stored) << settled
        ROW("speed max 500", "speedMaxEdit", "500", speedDashCamMax, 300, "300.0");
        ROW("speed min -5", "speedMinEdit", "-5", speedDashCamMin, 0, "0.0");
        ROW("distance max", "distanceMaxEdit", "2.5", distMax, 2.5, "2.5");
        ROW("satellites whole", "satsMaxEdit", "12", satsMax, 12, "12");
        ROW("clock bias to the second", "clockBiasEdit", "1.4997", clockBias, 5399, "1.4997");
        ROW("clock bias within a day", "clockBiasEdit", "-30", clockBias, -86400, "-24.0000");
        ROW("time bias within a day", "timeBiasEdit", "100000", timeBias, 86400, "86400");
        ROW("replay 0", "replayEdit", "0", instantReplay, 0.1, "0.1");
        ROW("skip below 0", "skipEdit", "-3", skip, 0, "0");
        ROW("speedometer max", "speedoMaxEdit", "500", maxUserSpeedo, 200, "200");
        ROW("local time within a day", "localTimeEdit", "-30", localTimeOffset, -24, "-24");
        ROW("vmax in mph", "vmaxEdit", "100", vmaxFixed, 160.934, "100");
#undef ROW
    }

    void typedValuesAreClampedInTheRecordOnly() {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(Getter, setting);
        QFETCH(double, stored);
        preferencesDialog *d = open();
        auto *edit = child<QLineEdit>(d, field.toLatin1().constData());
        typeInto(edit, typed);
        QCOMPARE(edit->text(), typed);  // the field keeps what was typed
        QCOMPARE(std::round(setting(settings()) * 1000) / 1000, stored);
        QTest::keyClick(edit, Qt::Key_Return);  // finished: the field shows the setting
        QTEST(edit->text(), "settled");
        QCOMPARE(std::round(setting(settings()) * 1000) / 1000, stored);
    }

    // Open and close without edits changes nothing, even under a comma locale.
    void openAndCloseWithoutEditsChangesNothing() {
        SettingsRecord &s = settings();
        s.clockBias = 5399, s.outUnits = 2, s.vmaxFixed = 100.0f;  // 1.4997 h; Vmax shown in m/s
        s.speedDashCamMax = 123.45, s.utcOffset = 1.3f, s.maxUserSpeedo = 5, s.skip = 0.3f;
        s.instantReplay = 0.05f;  // below the clamp: left alone unless edited
        recomputeFactors();
        saveSettings();
        const QByteArray before = perMovieSettingsText(s, s.timeBias);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));  // a comma locale changes nothing
        preferencesDialog *d = open(QStringLiteral("Map"));
        QCOMPARE(vals(child<QLineEdit>(d, "clockBiasEdit")->text(), child<QLineEdit>(d, "vmaxEdit")->text()),
                 "1.4997 28");
        d->close();
        QTRY_VERIFY(m_host.prefs.isNull());
        QCOMPARE(perMovieSettingsText(s, s.timeBias), before);
        QVERIFY(s.vmaxFixed == 100.0f && s.utcOffset == 1.3f && s.instantReplay == 0.05f && s.skip == 0.3f);
        QCOMPARE(s.maxUserSpeedo, 5);
        QVERIFY(m_host.changes.isEmpty());
        QCOMPARE(store().value(QStringLiteral("configuration/clockBias")).toInt(), 5399);
        QVERIFY(store().value(QStringLiteral("prefsWindow/size")).toSize().isValid());
        // Opened again: at the last tab shown in this run; the tabs follow the loaded telemetry.
        d = open();
        QCOMPARE(d->currentTabTitle(), QStringLiteral("Map"));
        const QStringList always = {"General",    "Map",      "Advanced", "Speed Graph", "Distance Graph",
                                    "LOS Graph", "Bearing Graph"};
        QCOMPARE(d->tabTitles(), always);
        track().numBlocks = 2, track().block[1].hasSats = true;
        m_host.settingsChanged(0);
        QCOMPARE(d->tabTitles(), always + QStringList{"Sat Count Graph"});
        track().block[0].hasAltitude = true;
        d->showAtTab(QStringLiteral("Altitude Graph"));
        QCOMPARE(d->tabTitles(), always + QStringList({"Altitude Graph", "Sat Count Graph"}));
        QCOMPARE(d->currentTabTitle(), QStringLiteral("Altitude Graph"));
        d->showAtTab(QStringLiteral("No Such Tab"));
        QCOMPARE(d->currentTabTitle(), QStringLiteral("Altitude Graph"));
    }

    // Typing "150" passes through "1" and "15" (below the minimum); a dialog left open never undoes what other
    // windows changed meanwhile (a graph key, a dashboard click, a per-movie load).
    void typingAndChangesElsewhere() {
        graphDialog graphs;
        m_host.graphs = &graphs;
        graphs.show();
        preferencesDialog *d = open(QStringLiteral("Speed Graph"));
        QLineEdit *min = child<QLineEdit>(d, "speedMinEdit"), *max = child<QLineEdit>(d, "speedMaxEdit");
        typeInto(min, QStringLiteral("50"));
        QTest::keyClick(min, Qt::Key_Return);
        typeInto(max, QString());
        for (const QString &prefix : {QStringLiteral("1"), QStringLiteral("15"), QStringLiteral("150")}) {
            QTest::keyClicks(max, prefix.right(1));
            QCOMPARE(vals(max->text(), min->text()), prefix + " 50.0");
        }
        QCOMPARE(vals(settings().speedDashCamMin, settings().speedDashCamMax), "50 150");
        // A maximum below the minimum resets the minimum, shown when typing ends.
        typeInto(max, QStringLiteral("20"));
        QTest::keyClick(max, Qt::Key_Return);
        QCOMPARE(vals(settings().speedDashCamMin, settings().speedDashCamMax, min->text()), "0 20 0.0");
        // Ticks from 1 in the box, 2 in the record.
        auto *ticks = child<QSpinBox>(d, "speedTicksSpin");
        QCOMPARE(ticks->minimum(), 1);
        ticks->setValue(1);
        QCOMPARE(settings().nSpeedDashCamTicks, MIN_GRAPH_TICKS);
        auto *clock = child<QLineEdit>(d, "clockBiasEdit");
        typeInto(clock, QStringLiteral("2"));  // typing goes on
        // A graph key raises the speed maximum by a step.
        QTest::keyClick(&graphs, Qt::Key_2);
        QCOMPARE(vals(settings().speedDashCamMax, max->text(), clock->text()), "25 25.0 2");
        // A dashboard click cycles the units; a per-movie load sets a time bias.
        settings().outUnits = 1, settings().timeBias = 33;
        m_host.settingsChanged(UnitsChanged | TimeSyncChanged);
        QCOMPARE(vals(child<QComboBox>(d, "speedUnitsCombo")->currentIndex(), child<QLineEdit>(d, "vmaxEdit")->text(),
                      child<QLineEdit>(d, "timeBiasEdit")->text()), "1 140 33");
        QTest::keyClicks(clock, QStringLiteral(".5"));
        d->close();
        const SettingsRecord &s = settings();
        QCOMPARE(vals(s.speedDashCamMax, s.outUnits, s.timeBias, s.clockBias), "25 1 33 9000");
        m_host.graphs = nullptr;
    }

    // Each control's display and storage rule, the UTC correction, the restart texts, and the proxy dialog.
    void singleControls() {
        TrackStore &t = track();
        t.numBlocks = 1, t.stats.peakSpeed = 100.0f;
        t.block[0].numPoints = 2, t.block[0].gpsTime[0] = 1700000000, t.block[0].gpsTime[1] = NO_TIME;
        preferencesDialog *d = open();
        QCOMPARE(child<QRadioButton>(d, "fastestRadio")->text(), QStringLiteral("Fastest Speed (62 mph)"));
        child<QComboBox>(d, "speedUnitsCombo")->setCurrentIndex(2);
        emit child<QComboBox>(d, "speedUnitsCombo")->activated(2);
        QCOMPARE(vals(settings().distFactor, child<QRadioButton>(d, "fastestRadio")->text()),
                 "1000 Fastest Speed (28 m/s)");
        QVERIFY(m_host.changes.last() & UnitsChanged);
        emit child<QComboBox>(d, "levelsCombo")->textActivated(QStringLiteral("5"));
        QCOMPARE(vals(settings().colorLevels, m_host.changes.last()), vals(5, unsigned(RouteChanged)));
        QVERIFY(!child<QLabel>(d, "levelsPreview")->pixmap(Qt::ReturnByValue).isNull());
        emit child<QComboBox>(d, "markerSizeCombo")->activated(2);
        QCOMPARE(vals(settings().mapMarkerSize, m_host.changes.last()), vals(5, unsigned(MapMarkerChanged)));
        child<QRadioButton>(d, "pngRadio")->click();
        child<QRadioButton>(d, "twentyFourHourRadio")->click();
        QCOMPARE(vals(settings().imageType, settings().timeFormat), "0 1");
        // Typing a speedometer maximum chooses the manual speedometer.
        d->showAtTab(QStringLiteral("Advanced"));
        typeInto(child<QLineEdit>(d, "speedoMaxEdit"), QStringLiteral("150"));
        QVERIFY(!settings().autoSpeedo && child<QRadioButton>(d, "manualSpeedoRadio")->isChecked());
        d->showAtTab(QStringLiteral("General"));
        settings().timeBias = 12;
        child<QPushButton>(d, "resetTimeBiasButton")->click();
        QCOMPARE(vals(settings().timeBias, child<QLineEdit>(d, "timeBiasEdit")->text()), "0 0");
        store().setValue(QString::fromLatin1(keys::MOVIE_DIRECTORY), QStringLiteral("/media/Flüge"));
        child<QPushButton>(d, "useCurrentDirButton")->click();
        QCOMPARE(vals(settings().autoloadDir, settings().autoload, child<QGroupBox>(d, "autoloadGroup")->isChecked(),
                      store().value(QStringLiteral("configuration/autoloadDir")).toString()),
                 "/media/Flüge true true /media/Flüge");
        // The UTC correction shifts the loaded times once.
        auto *utc = child<QLineEdit>(d, "utcEdit");
        typeInto(utc, QStringLiteral("-8"));
        QVERIFY(m_host.changes.last() & TimeSyncChanged);
        QCOMPARE(t.block[0].gpsTime[1], NO_TIME);
        const QString shifted = vals(1700000000u + 8 * 3600, -8.0f, false);  // point time, utcOffset, ignoreGps
        d->apply();
        QTest::keyClick(utc, Qt::Key_Return);
        QCOMPARE(vals(t.block[0].gpsTime[0], settings().utcOffset, settings().ignoreGps), shifted);
        // A load begins: the fields that shift times are refused.
        auto *ignore = child<QCheckBox>(d, "ignoreGpsCheck");
        m_host.busy = true;
        QTRY_VERIFY(!utc->isEnabled() && !ignore->isEnabled());
        utc->setText(QStringLiteral("-5"));  // as if typed the moment before
        emit utc->textEdited(utc->text());
        QCOMPARE(vals(t.block[0].gpsTime[0], settings().utcOffset, settings().ignoreGps), shifted);
        m_host.busy = false;
        QTRY_VERIFY(utc->isEnabled() && ignore->isEnabled());
        ignore->click();
        QVERIFY(settings().ignoreGps && (m_host.changes.last() & GpsUseChanged));
        // The changes that need a restart say so.
        vxtest::BoxAnswerer boxes({QStringLiteral("OK"), QStringLiteral("OK")});
        auto *language = child<QComboBox>(d, "languageCombo");
        emit language->activated(1);
        QCOMPARE(settings().language, QStringLiteral("Chinese"));
        emit language->activated(0);  // back to the language the dialog opened with: no box
        child<QCheckBox>(d, "stayOnTopCheck")->click();
        QCOMPARE(settings().windowsStayOnTop, false);
        QCOMPARE(boxes.texts, (QStringList{"Please restart Volantix after changing the language.",
                                           "Please restart Volantix to see the change."}));
        QCOMPARE(boxes.titles, (QStringList{"Volantix", "Volantix"}));
        QVERIFY(boxes.unexpected.isEmpty());
        // "Network Proxy..." runs the proxy dialog modally.
        QString proxyTitle;
        QTimer::singleShot(200, [&] {
            if (QWidget *modal = QApplication::activeModalWidget())
                proxyTitle = modal->windowTitle(), modal->close();
        });
        child<QPushButton>(d, "proxyButton")->click();
        QCOMPARE(proxyTitle, QStringLiteral("Network Proxy Settings"));
    }
};

QTEST_MAIN(TestPreferencesDialog)
#include "test_preferencesdialog.moc"
