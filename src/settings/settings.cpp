#include "settings.h"

#include "graphranges.h"

#include <QDateTime>
#include <QFile>
#include <QSettings>
#include <QStringList>

namespace vx {

namespace {

SettingsRecord g_settings;

const char *const kSpeedUnits[] = {"mph", "km/h", "m/s"};
const char *const kDistanceUnits[] = {"miles", "km", "meters"};
const char *const kShortDistanceUnits[] = {"mi", "km", "m"};
const char *const kAltitudeUnits[] = {"ft", "m"};
const char *const kTemperatureUnits[] = {"F", "C"};
const char *const kTimeFormats[] = {"12hr", "24hr"};
const char *const kDatumFormats[] = {"deg", "dm", "dms"};

template <size_t N>
QString tableName(const char *const (&table)[N], int index)
{
    if (index < 0 || static_cast<size_t>(index) >= N)
        return QString();
    return QString::fromLatin1(table[index]);
}

// Floats are stored as doubles so that the native (INI) store keeps them as
// plain numbers.
QVariant storedFloat(float value) { return QVariant(static_cast<double>(value)); }

// The store holds the proxy password as entered: its file is readable by
// its owner only.
void restrictToOwner(const QSettings &store)
{
    const QString path = store.fileName();
    if (QFile::exists(path))
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

} // namespace

SettingsRecord &settings() { return g_settings; }

double computerUtcOffsetHours()
{
    const QDateTime local = QDateTime::currentDateTime();
    QDateTime sameWallClockUtc = local;
    sameWallClockUtc.setTimeSpec(Qt::UTC);
    return local.secsTo(sameWallClockUtc) / 3600.0;
}

void setDefaultSettings()
{
    g_settings = SettingsRecord();
    g_settings.localTimeOffset = static_cast<float>(computerUtcOffsetHours());
    recomputeFactors();
}

void recomputeFactors() { recomputeFactors(g_settings); }

void recomputeFactors(SettingsRecord &s)
{
    s.speedUnitIndex = s.outUnits;
    s.distUnitIndex = s.outUnits;
    switch (s.outUnits) {
    case 1:
        s.speedFactor = 1.0;
        s.distFactor = 1.0;
        break;
    case 2:
        s.speedFactor = 0.27777777777778;
        s.distFactor = 1000.0;
        break;
    default:  // 0, and anything unexpected, reads as miles
        s.speedFactor = 0.621371;
        s.distFactor = 0.621371;
        break;
    }
    s.altFactor = s.altUnits == 1 ? 1.0 : 3.28084;
}

bool loadSettings()
{
    QSettings store(QString::fromLatin1(keys::ORGANIZATION), QString::fromLatin1(keys::APPLICATION));
    return loadSettings(store);
}

bool loadSettings(QSettings &store)
{
    SettingsRecord &s = g_settings;
    store.beginGroup(QString::fromLatin1(keys::CONFIG_GROUP));
    auto v = [&store](const char *key, const QVariant &def) {
        return store.value(QString::fromLatin1(key), def);
    };
    const bool firstRun = !store.contains(QStringLiteral("confVersion"));
    s.confVersion = v("confVersion", 1).toInt();
    s.outUnits = v("outUnits", 0).toInt();
    s.distUnitIndex = s.outUnits;
    s.altUnits = v("altUnits", 0).toInt();
    s.tempUnits = v("tempUnits", 0).toInt();
    recomputeFactors();
    s.dateSort = v("dateSort", true).toBool();
    s.aspectMaintain = v("aspectMaintain", true).toBool();
    s.timeFormat = v("timeFormat", 0).toInt();
    s.datumFormat = v("datumFormat", 0).toInt();
    s.speedDashCamMin = v("speedDashCamMin", 0.0).toDouble();
    s.speedDashCamMax = v("speedDashCamMax", 100.0).toDouble();
    s.nSpeedDashCamTicks = v("nSpeedDashCamTicks", 4).toInt();
    s.distMin = v("distMin", 0.0).toDouble();
    s.distMax = v("distMax", 10.0).toDouble();
    s.nDistTicks = v("nDistTicks", 4).toInt();
    s.losMin = v("losMin", 0.0).toDouble();
    s.losMax = v("losMax", 10.0).toDouble();
    s.nLosTicks = v("nLosTicks", 4).toInt();
    s.bearingMin = v("bearingMin", 0.0).toDouble();
    s.bearingMax = v("bearingMax", 360.0).toDouble();
    s.nBearingTicks = v("nBearingTicks", 4).toInt();
    s.altMin = v("altMin", 0.0).toDouble();
    s.altMax = v("altMax", 500.0).toDouble();
    s.nAltTicks = v("nAltTicks", 4).toInt();
    s.satsMin = v("satsMin", 0.0).toDouble();
    s.satsMax = v("satsMax", 30.0).toDouble();
    s.nSatsTicks = v("nSatsTicks", 4).toInt();
    s.invertMouseZoomDir = v("invertMouseZoomDir", false).toBool();
    s.windowsStayOnTop = v("windowsStayOnTop", true).toBool();
    s.imageType = v("imageType", 1).toInt();
    s.newVersionCheck = v("newVersionCheck", true).toBool();
    s.mapType = v("mapType", 0).toInt();
    if (s.mapType == 3)
        s.mapType = 1;
    s.mapStyle = v("mapStyle", 1).toInt();
    s.mapMarker = v("mapMarker", 0).toInt();
    s.mapMarkerSize = v("mapMarkerSize", 6).toInt();
    s.northUp = v("northUp", true).toBool();
    s.clickToGo = v("clickToGo", true).toBool();
    s.clickToGoGraph = v("clickToGoGraph", true).toBool();
    s.autoScaleRoute = v("autoScaleRoute", true).toBool();
    s.vmaxFixed = v("vmaxFixed", 140.0).toFloat();
    s.colorLevels = v("colorLevels", 14).toInt();
    s.timeBias = v("timeBias", 0).toInt();
    s.clockBias = v("clockBias", 0).toInt();
    s.utcOffset = v("utcOffset", 0.0).toFloat();
    s.localTimeOffset = v("localTimeOffset", computerUtcOffsetHours()).toFloat();
    s.instantReplay = v("instantReplay", 5.0).toFloat();
    s.language = v("language", QStringLiteral("Default")).toString();
    s.volume = v("volume", 1.0).toFloat();
    s.muted = v("muted", false).toBool();
    s.brightness = v("brightness", 0).toInt();
    s.contrast = v("contrast", 0).toInt();
    s.hdop0 = v("hdop0", 1.5).toFloat();
    s.hdop1 = v("hdop1", 2.0).toFloat();
    s.hdop2 = v("hdop2", 3.5).toFloat();
    s.hdop3 = v("hdop3", 5.0).toFloat();
    s.skip = v("skip", 0.0).toFloat();
    s.useProxy = v("useProxy", false).toBool();
    s.proxyServer.assign(v("proxyServer", QString()).toString());
    s.proxyPort = v("proxyPort", 8080).toInt();
    s.proxyUseCred = v("proxyUseCred", false).toBool();
    s.proxyUsername.assign(v("proxyUsername", QString()).toString());
    s.proxyThing.assign(v("proxyThing", QString()).toString());
    s.autoload = v("autoload", false).toBool();
    // Kept as full Unicode: a folder name outside Latin-1 must still auto-load.
    s.autoloadDir = v("autoloadDir", QString()).toString();
    s.dashboardVertical = v("dashboardVertical", false).toBool();
    s.autoSpeedo = v("autoSpeedo", true).toBool();
    s.maxUserSpeedo = v("maxUserSpeedo", 100).toInt();
    s.googleMapsKey = v("googleMapsKey", QString()).toString();
    s.tileUrlRoadmap = v("tileUrlRoadmap", QString::fromLatin1(DEFAULT_TILE_ROADMAP)).toString();
    s.tileUrlSatellite = v("tileUrlSatellite", QString::fromLatin1(DEFAULT_TILE_SATELLITE)).toString();
    s.tileUrlLabels = v("tileUrlLabels", QString::fromLatin1(DEFAULT_TILE_LABELS)).toString();
    s.tileUrlLight = v("tileUrlLight", QString::fromLatin1(DEFAULT_TILE_LIGHT)).toString();
    store.endGroup();
    // A damaged store must not reach the graphs (ticks of 0, NaN, max < min).
    checkGraphRanges(s);
    return firstRun;
}

void saveSettings()
{
    QSettings store(QString::fromLatin1(keys::ORGANIZATION), QString::fromLatin1(keys::APPLICATION));
    saveSettings(store);
}

void saveSettings(QSettings &store)
{
    const SettingsRecord &s = g_settings;
    restrictToOwner(store);
    store.beginGroup(QString::fromLatin1(keys::CONFIG_GROUP));
    auto w = [&store](const char *key, const QVariant &value) {
        store.setValue(QString::fromLatin1(key), value);
    };
    w("confVersion", s.confVersion);
    w("outUnits", s.outUnits);
    w("altUnits", s.altUnits);
    w("tempUnits", s.tempUnits);
    w("dateSort", s.dateSort);
    w("aspectMaintain", s.aspectMaintain);
    w("invertMouseZoomDir", s.invertMouseZoomDir);
    w("windowsStayOnTop", s.windowsStayOnTop);
    w("imageType", s.imageType);
    w("newVersionCheck", s.newVersionCheck);
    w("mapType", s.mapType);
    w("mapStyle", s.mapStyle);
    w("mapMarker", s.mapMarker);
    w("mapMarkerSize", s.mapMarkerSize);
    w("clickToGo", s.clickToGo);
    w("clickToGoGraph", s.clickToGoGraph);
    w("northUp", s.northUp);
    w("autoScaleRoute", s.autoScaleRoute);
    w("vmaxFixed", storedFloat(s.vmaxFixed));
    w("colorLevels", s.colorLevels);
    w("timeFormat", s.timeFormat);
    w("datumFormat", s.datumFormat);
    w("timeBias", s.timeBias);
    w("clockBias", s.clockBias);
    w("utcOffset", storedFloat(s.utcOffset));
    w("localTimeOffset", storedFloat(s.localTimeOffset));
    w("skip", storedFloat(s.skip));
    w("instantReplay", storedFloat(s.instantReplay));
    w("dashboardVertical", s.dashboardVertical);
    w("autoSpeedo", s.autoSpeedo);
    w("maxUserSpeedo", s.maxUserSpeedo);
    w("language", s.language);
    w("speedDashCamMin", s.speedDashCamMin);
    w("speedDashCamMax", s.speedDashCamMax);
    w("nSpeedDashCamTicks", s.nSpeedDashCamTicks);
    w("distMin", s.distMin);
    w("distMax", s.distMax);
    w("nDistTicks", s.nDistTicks);
    w("losMin", s.losMin);
    w("losMax", s.losMax);
    w("nLosTicks", s.nLosTicks);
    w("bearingMin", s.bearingMin);
    w("bearingMax", s.bearingMax);
    w("nBearingTicks", s.nBearingTicks);
    w("altMin", s.altMin);
    w("altMax", s.altMax);
    w("nAltTicks", s.nAltTicks);
    w("satsMin", s.satsMin);
    w("satsMax", s.satsMax);
    w("nSatsTicks", s.nSatsTicks);
    w("useProxy", s.useProxy);
    w("proxyServer", s.proxyServer.toString());
    w("proxyPort", s.proxyPort);
    w("proxyUseCred", s.proxyUseCred);
    w("proxyUsername", s.proxyUsername.toString());
    w("proxyThing", s.proxyThing.toString());
    w("autoload", s.autoload);
    w("autoloadDir", s.autoloadDir);
    w("muted", s.muted);
    w("volume", storedFloat(s.volume));
    w("brightness", s.brightness);
    w("contrast", s.contrast);
    w("googleMapsKey", s.googleMapsKey);
    w("tileUrlRoadmap", s.tileUrlRoadmap);
    w("tileUrlSatellite", s.tileUrlSatellite);
    w("tileUrlLabels", s.tileUrlLabels);
    w("tileUrlLight", s.tileUrlLight);
    store.endGroup();
    store.sync();
    restrictToOwner(store);
}

QString speedUnitName(int index) { return tableName(kSpeedUnits, index); }
QString distanceUnitName(int index) { return tableName(kDistanceUnits, index); }
QString shortDistanceUnitName(int index) { return tableName(kShortDistanceUnits, index); }
QString altitudeUnitName(int index) { return tableName(kAltitudeUnits, index); }
QString temperatureUnitName(int index) { return tableName(kTemperatureUnits, index); }
QString timeFormatName(int index) { return tableName(kTimeFormats, index); }
QString datumFormatName(int index) { return tableName(kDatumFormats, index); }

QString clearSettingsQuestion()
{
    return QStringLiteral("Are you sure you want to clear ") + QString::fromLatin1(keys::APPLICATION)
         + QStringLiteral("'s settings?");
}

void clearAllSettings()
{
    QSettings store(QString::fromLatin1(keys::ORGANIZATION), QString::fromLatin1(keys::APPLICATION));
    store.clear();
    store.sync();
}

} // namespace vx
