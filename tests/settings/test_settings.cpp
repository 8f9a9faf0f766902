// The settings record against the platform store: defaults, first run, the keys written, the mapType and HDOP
// rules, the fixed text capacities, units and the clock's offset.
#include "settings/settings.h"

#include <QtTest>

using namespace vx;

namespace {

QSettings &store() {
    static QSettings s(QString::fromLatin1(keys::ORGANIZATION), QString::fromLatin1(keys::APPLICATION));
    s.sync();
    return s;
}

void put(const QString &key, const QVariant &value) {
    store().setValue("configuration/" + key, value);
    store().sync();
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void init() {
        store().clear();
        store().sync();
        setDefaultSettings();
    }

    void freshStoreGivesDefaultsAndFirstRun() {
        settings().outUnits = 2;  // must be overwritten by the load
        QVERIFY(loadSettings());
        const SettingsRecord &s = settings();
        QCOMPARE(QString("%1 %2 %3 %4 %5 %6 %7 %8 %9").arg(s.confVersion).arg(s.outUnits).arg(s.altUnits).arg(s.dateSort)
                     .arg(s.speedDashCamMax).arg(s.bearingMax).arg(s.altMax).arg(s.satsMax).arg(s.nDistTicks),
                 "1 0 0 1 100 360 500 30 4");
        QCOMPARE(QString("%1 %2 %3 %4 %5 %6 %7 %8 %9").arg(s.windowsStayOnTop).arg(s.imageType).arg(s.mapStyle)
                     .arg(s.mapMarkerSize).arg(s.vmaxFixed).arg(s.colorLevels).arg(s.instantReplay).arg(s.volume).arg(s.hdop2),
                 "1 1 1 6 140 14 5 1 3.5");
        QCOMPARE(QString("%1 %2 %3 %4").arg(s.proxyPort).arg(s.maxUserSpeedo).arg(s.autoSpeedo).arg(s.language), "8080 100 1 Default");
        QCOMPARE(s.localTimeOffset, float(computerUtcOffsetHours()));
        QCOMPARE(QString("%1 %2 %3").arg(s.speedFactor).arg(s.altFactor).arg(speedUnitName(s.speedUnitIndex)),
                 "0.621371 3.28084 mph");
    }

    void firstSaveWritesEveryKeyAndClearRemovesThem() {
        loadSettings();
        saveSettings();
        store().beginGroup("configuration");
        QCOMPARE(store().value("confVersion").toInt(), 1);
        // Every key and nothing else: no HDOP keys.
        QStringList expected{
            "confVersion", "outUnits", "altUnits", "tempUnits", "dateSort", "aspectMaintain", "invertMouseZoomDir", "windowsStayOnTop",
            "imageType", "newVersionCheck", "mapType", "mapStyle", "mapMarker", "mapMarkerSize", "clickToGo", "clickToGoGraph", "northUp",
            "autoScaleRoute", "vmaxFixed", "colorLevels", "timeFormat", "datumFormat", "timeBias", "clockBias", "utcOffset",
            "localTimeOffset", "skip", "instantReplay", "dashboardVertical", "autoSpeedo", "maxUserSpeedo", "language", "speedDashCamMin",
            "speedDashCamMax", "nSpeedDashCamTicks", "distMin", "distMax", "nDistTicks", "losMin", "losMax", "nLosTicks", "bearingMin",
            "bearingMax", "nBearingTicks", "altMin", "altMax", "nAltTicks", "satsMin", "satsMax", "nSatsTicks", "useProxy", "proxyServer",
            "proxyPort", "proxyUseCred", "proxyUsername", "proxyThing", "autoload", "autoloadDir", "muted", "volume", "brightness",
            "contrast", "googleMapsKey", "tileUrlRoadmap", "tileUrlSatellite", "tileUrlLabels", "tileUrlLight"};
        QStringList keys = store().childKeys();
        keys.sort();
        expected.sort();
        QCOMPARE(keys, expected);
        store().endGroup();
        QVERIFY(!loadSettings());  // no longer a first run
        clearAllSettings();
        QVERIFY(store().allKeys().isEmpty());
    }

    void storedValuesRoundTrip() {
        loadSettings();
        SettingsRecord &w = settings();
        std::tie(w.outUnits, w.utcOffset, w.vmaxFixed) = std::make_tuple(1, -7.5f, 88.25f);
        std::tie(w.autoloadDir, w.language) = std::make_tuple("/media/\u98de\u884c" /* outside Latin-1 */, "English");
        saveSettings();
        setDefaultSettings();
        loadSettings();
        const SettingsRecord &s = settings();
        QCOMPARE(QString("%1 %2 %3 %4 %5 %6").arg(s.outUnits).arg(s.utcOffset).arg(s.vmaxFixed).arg(s.autoloadDir).arg(s.language)
                     .arg(s.speedFactor), "1 -7.5 88.25 /media/\u98de\u884c English 1");
    }

    void storedValuesThatAreReadSpecially() {
        // mapType 3 reads and saves as 1; wrong types read as 0; HDOP values
        // are read but never written.
        for (const auto &[key, value] : {std::pair<QString, QVariant>("mapType", 3), {"outUnits", "fast"}, {"timeBias", "x"},
                                         {"hdop0", 0.9}, {"hdop3", 7.0}})
            put(key, value);
        loadSettings();
        QCOMPARE(QString("%1 %2 %3 %4 %5").arg(settings().mapType).arg(settings().outUnits).arg(settings().timeBias)
                     .arg(settings().hdop0).arg(settings().hdop3), "1 0 0 0.9 7");
        settings().hdop0 = 4.0f;
        saveSettings();
        // mapType written as 1, hdop0 untouched.
        QCOMPARE(store().value("configuration/mapType").toString() + ' ' + store().value("configuration/hdop0").toString(),
                 "1 0.9");
        store().remove("configuration/hdop0");
        store().remove("configuration/hdop3");
        loadSettings();  // their defaults
        QCOMPARE(QString("%1 %2 %3 %4").arg(settings().hdop0).arg(settings().hdop1).arg(settings().hdop2).arg(settings().hdop3),
                 "1.5 2 3.5 5");
    }

    void overlongProxyTextsAreCutNeverOverflow() {
        const QString server(5000, 's'), password(900, 'p');
        for (const auto &[key, value] : {std::pair("proxyServer", server), {"proxyUsername", "user"}, {"proxyThing", password}})
            put(key, value);
        loadSettings();
        const SettingsRecord &s = settings();
        QCOMPARE(s.proxyServer.toString() + '|' + s.proxyUsername.toString() + '|' + s.proxyThing.toString(),
                 server.left(PROXY_SERVER_CAPACITY - 1) + "|user|" + password.left(PROXY_USER_CAPACITY - 1));
        QCOMPARE(s.proxyServer.data[PROXY_SERVER_CAPACITY - 1], '\0');
    }

    void unitsAndTheirNames() {
        std::tie(settings().outUnits, settings().altUnits) = std::make_tuple(2, 1);
        recomputeFactors();
        const SettingsRecord &s = settings();
        QCOMPARE(QString("%1 %2 %3 %4 %5").arg(s.speedUnitIndex).arg(s.distUnitIndex).arg(s.speedFactor, 0, 'g', 14)
                     .arg(s.distFactor).arg(s.altFactor), "2 2 0.27777777777778 1000 1");
        QCOMPARE((QStringList{speedUnitName(2), distanceUnitName(2), speedUnitName(3), speedUnitName(-1), shortDistanceUnitName(0),
                              altitudeUnitName(0), temperatureUnitName(1), timeFormatName(1), datumFormatName(2)}),
                 (QStringList{"m/s", "meters", "", "", "mi", "ft", "C", "24hr", "dms"}));
    }

    void localTimeOffsetFollowsTheClock_data() {
        QTest::addColumn<QByteArray>("tz");
        QTest::addColumn<double>("hours");
        QTest::newRow("utc") << QByteArray("UTC") << 0.0;
        QTest::newRow("two east") << QByteArray("<+02>-2") << 2.0;
        QTest::newRow("half west") << QByteArray("<-0730>7:30") << -7.5;
    }
    void localTimeOffsetFollowsTheClock() {
        QFETCH(QByteArray, tz);
        QFETCH(double, hours);
        const QByteArray old = qgetenv("TZ");
        qputenv("TZ", tz);
        tzset();
        QCOMPARE(computerUtcOffsetHours(), hours);
        loadSettings();
        QCOMPARE(double(settings().localTimeOffset), hours);
        qputenv("TZ", old);
        tzset();
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
