// The settings record against the platform store: defaults, first run, the
// write order, the mapType and HDOP rules and the fixed text capacities.
#include "settings/settings.h"

#include <QSettings>
#include <QtTest>

using namespace vx;

class TestSettings : public QObject {
    Q_OBJECT

private:
    static QSettings *store()
    {
        return new QSettings(QString::fromLatin1(keys::ORGANIZATION), QString::fromLatin1(keys::APPLICATION));
    }

private slots:
    void init()
    {
        QScopedPointer<QSettings> s(store());
        s->clear();
        s->sync();
        setDefaultSettings();
    }

    void freshStoreGivesDefaultsAndFirstRun()
    {
        settings().outUnits = 2;  // must be overwritten by the load
        QVERIFY(loadSettings());
        const SettingsRecord &s = settings();
        QCOMPARE(s.confVersion, 1);
        QCOMPARE(s.outUnits, 0);
        QCOMPARE(s.altUnits, 0);
        QCOMPARE(s.dateSort, true);
        QCOMPARE(s.speedDashCamMax, 100.0);
        QCOMPARE(s.bearingMax, 360.0);
        QCOMPARE(s.altMax, 500.0);
        QCOMPARE(s.satsMax, 30.0);
        QCOMPARE(s.nDistTicks, 4);
        QCOMPARE(s.windowsStayOnTop, true);
        QCOMPARE(s.imageType, 1);
        QCOMPARE(s.mapStyle, 1);
        QCOMPARE(s.mapMarkerSize, 6);
        QCOMPARE(s.vmaxFixed, 140.0f);
        QCOMPARE(s.colorLevels, 14);
        QCOMPARE(s.instantReplay, 5.0f);
        QCOMPARE(s.language, QStringLiteral("Default"));
        QCOMPARE(s.volume, 1.0f);
        QCOMPARE(s.hdop2, 3.5f);
        QCOMPARE(s.proxyPort, 8080);
        QCOMPARE(s.maxUserSpeedo, 100);
        QCOMPARE(s.autoSpeedo, true);
        QCOMPARE(s.localTimeOffset, float(computerUtcOffsetHours()));
        QCOMPARE(s.speedFactor, 0.621371);
        QCOMPARE(s.altFactor, 3.28084);
        QCOMPARE(speedUnitName(s.speedUnitIndex), QStringLiteral("mph"));
    }

    void firstSaveWritesEveryKeyInOrder()
    {
        loadSettings();
        saveSettings();
        QScopedPointer<QSettings> s(store());
        s->beginGroup(QStringLiteral("configuration"));
        QCOMPARE(s->value(QStringLiteral("confVersion")).toInt(), 1);
        const QStringList expected = {
            "confVersion", "outUnits", "altUnits", "tempUnits", "dateSort", "aspectMaintain",
            "invertMouseZoomDir", "windowsStayOnTop", "imageType", "newVersionCheck", "mapType",
            "mapStyle", "mapMarker", "mapMarkerSize", "clickToGo", "clickToGoGraph", "northUp",
            "autoScaleRoute", "vmaxFixed", "colorLevels", "timeFormat", "datumFormat", "timeBias",
            "clockBias", "utcOffset", "localTimeOffset", "skip", "instantReplay", "dashboardVertical",
            "autoSpeedo", "maxUserSpeedo", "language", "speedDashCamMin", "speedDashCamMax",
            "nSpeedDashCamTicks", "distMin", "distMax", "nDistTicks", "losMin", "losMax", "nLosTicks",
            "bearingMin", "bearingMax", "nBearingTicks", "altMin", "altMax", "nAltTicks", "satsMin",
            "satsMax", "nSatsTicks", "useProxy", "proxyServer", "proxyPort", "proxyUseCred",
            "proxyUsername", "proxyThing", "autoload", "autoloadDir", "muted", "volume",
            "brightness", "contrast", "googleMapsKey", "tileUrlRoadmap", "tileUrlSatellite",
            "tileUrlLabels", "tileUrlLight"};
        for (const QString &key : expected)
            QVERIFY2(s->contains(key), qPrintable(key));
        QCOMPARE(s->childKeys().size(), expected.size());  // and nothing else: no HDOP keys
        s->endGroup();
        QVERIFY(!loadSettings());  // no longer a first run
    }

    void storedValuesRoundTrip()
    {
        loadSettings();
        settings().outUnits = 1;
        settings().utcOffset = -7.5f;
        settings().vmaxFixed = 88.25f;
        settings().autoloadDir = QStringLiteral("/media/\u98de\u884c");  // outside Latin-1
        settings().language = QStringLiteral("English");
        saveSettings();
        setDefaultSettings();
        loadSettings();
        QCOMPARE(settings().outUnits, 1);
        QCOMPARE(settings().utcOffset, -7.5f);
        QCOMPARE(settings().vmaxFixed, 88.25f);
        QCOMPARE(settings().autoloadDir, QStringLiteral("/media/\u98de\u884c"));
        QCOMPARE(settings().language, QStringLiteral("English"));
        QCOMPARE(settings().speedFactor, 1.0);
    }

    void mapTypeThreeReadsAndSavesAsOne()
    {
        {
            QScopedPointer<QSettings> s(store());
            s->setValue(QStringLiteral("configuration/mapType"), 3);
        }
        loadSettings();
        QCOMPARE(settings().mapType, 1);
        saveSettings();
        QScopedPointer<QSettings> s(store());
        QCOMPARE(s->value(QStringLiteral("configuration/mapType")).toInt(), 1);
    }

    void outUnitsSwitchesSpeedAndDistanceTogether()
    {
        settings().outUnits = 2;
        recomputeFactors();
        QCOMPARE(settings().speedUnitIndex, 2);
        QCOMPARE(settings().distUnitIndex, 2);
        QCOMPARE(speedUnitName(settings().speedUnitIndex), QStringLiteral("m/s"));
        QCOMPARE(distanceUnitName(settings().distUnitIndex), QStringLiteral("meters"));
        QCOMPARE(settings().speedFactor, 0.27777777777778);
        QCOMPARE(settings().distFactor, 1000.0);
        settings().altUnits = 1;
        recomputeFactors();
        QCOMPARE(settings().altFactor, 1.0);
    }

    void hdopThresholdsAreReadButNeverWritten()
    {
        {
            QScopedPointer<QSettings> s(store());
            s->setValue(QStringLiteral("configuration/hdop0"), 0.9);
            s->setValue(QStringLiteral("configuration/hdop3"), 7.0);
        }
        loadSettings();
        QCOMPARE(settings().hdop0, 0.9f);
        QCOMPARE(settings().hdop3, 7.0f);
        settings().hdop0 = 4.0f;
        saveSettings();
        {
            QScopedPointer<QSettings> s(store());
            QCOMPARE(s->value(QStringLiteral("configuration/hdop0")).toDouble(), 0.9);  // untouched
            s->remove(QStringLiteral("configuration/hdop0"));
            s->remove(QStringLiteral("configuration/hdop3"));
        }
        loadSettings();
        QCOMPARE(settings().hdop0, 1.5f);
        QCOMPARE(settings().hdop1, 2.0f);
        QCOMPARE(settings().hdop2, 3.5f);
        QCOMPARE(settings().hdop3, 5.0f);
    }

    void overlongProxyTextsAreCutNeverOverflow()
    {
        const QString server(5000, QLatin1Char('s'));
        const QString password(900, QLatin1Char('p'));
        {
            QScopedPointer<QSettings> s(store());
            s->setValue(QStringLiteral("configuration/proxyServer"), server);
            s->setValue(QStringLiteral("configuration/proxyUsername"), QStringLiteral("user"));
            s->setValue(QStringLiteral("configuration/proxyThing"), password);
        }
        loadSettings();
        QCOMPARE(settings().proxyServer.toString(), server.left(PROXY_SERVER_CAPACITY - 1));
        QCOMPARE(settings().proxyThing.toString(), password.left(PROXY_USER_CAPACITY - 1));
        QCOMPARE(settings().proxyUsername.toString(), QStringLiteral("user"));
        QCOMPARE(settings().proxyServer.data[PROXY_SERVER_CAPACITY - 1], '\0');
    }

    void wrongTypesReadAsZero()
    {
        {
            QScopedPointer<QSettings> s(store());
            s->setValue(QStringLiteral("configuration/outUnits"), QStringLiteral("fast"));
            s->setValue(QStringLiteral("configuration/timeBias"), QStringLiteral("x"));
        }
        loadSettings();
        QCOMPARE(settings().outUnits, 0);
        QCOMPARE(settings().timeBias, 0);
    }

    void unitNameTables()
    {
        QCOMPARE(speedUnitName(3), QString());
        QCOMPARE(speedUnitName(-1), QString());
        QCOMPARE(shortDistanceUnitName(0), QStringLiteral("mi"));
        QCOMPARE(altitudeUnitName(0), QStringLiteral("ft"));
        QCOMPARE(temperatureUnitName(1), QStringLiteral("C"));
        QCOMPARE(timeFormatName(1), QStringLiteral("24hr"));
        QCOMPARE(datumFormatName(2), QStringLiteral("dms"));
    }

    void localTimeOffsetFollowsTheClock_data()
    {
        QTest::addColumn<QByteArray>("tz");
        QTest::addColumn<double>("hours");
        QTest::newRow("utc") << QByteArray("UTC") << 0.0;
        QTest::newRow("two east") << QByteArray("<+02>-2") << 2.0;
        QTest::newRow("half west") << QByteArray("<-0730>7:30") << -7.5;
    }
    void localTimeOffsetFollowsTheClock()
    {
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

    void clearAllRemovesEverything()
    {
        saveSettings();
        clearAllSettings();
        QScopedPointer<QSettings> s(store());
        QVERIFY(s->allKeys().isEmpty());
        QCOMPARE(clearSettingsQuestion(), QStringLiteral("Are you sure you want to clear Volantix's settings?"));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
