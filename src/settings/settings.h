// The application settings record: every user preference in one process-wide
// record that every window reads directly. It is filled once at start-up from
// the platform settings store (organization "Norvane", application
// "Volantix", group "configuration") and written back as a whole whenever a
// preference changes. Window geometry, visibility and last folders live in
// the same store but are read and written by their owners (keys below).
#pragma once

#include <QByteArray>
#include <QString>
#include <cstring>

class QSettings;

namespace vx {

// A text field of fixed capacity N bytes including the terminating zero, as
// stored in the record (Latin-1). Assigning a longer value cuts it to N - 1
// bytes; nothing is ever written past the field.
template <int N>
struct FixedText {
    char data[N] = {};

    void assign(const QByteArray &latin1)
    {
        const int n = latin1.size() < N - 1 ? latin1.size() : N - 1;
        std::memcpy(data, latin1.constData(), static_cast<size_t>(n));
        data[n] = '\0';
    }
    void assign(const QString &text) { assign(text.toLatin1()); }
    QString toString() const { return QString::fromLatin1(data); }
    static constexpr int capacity() { return N; }
};

constexpr int PROXY_SERVER_CAPACITY = 1024;
constexpr int PROXY_USER_CAPACITY = 256;

// The map's default tile sources: OpenStreetMap's standard tiles, Esri World
// Imagery and its place-name overlay, CARTO's light tiles.
constexpr const char *DEFAULT_TILE_ROADMAP = "https://tile.openstreetmap.org/{z}/{x}/{y}.png";
constexpr const char *DEFAULT_TILE_SATELLITE =
    "https://server.arcgisonline.com/ArcGIS/rest/services/World_Imagery/MapServer/tile/{z}/{y}/{x}";
constexpr const char *DEFAULT_TILE_LABELS =
    "https://server.arcgisonline.com/ArcGIS/rest/services/Reference/World_Boundaries_and_Places/MapServer/tile/{z}/{y}/{x}";
constexpr const char *DEFAULT_TILE_LIGHT = "https://{s}.basemaps.cartocdn.com/light_all/{z}/{x}/{y}{r}.png";

struct SettingsRecord {
    int confVersion = 1;
    int outUnits = 0;          // 0 mph/miles, 1 km/h/km, 2 m/s/meters
    int altUnits = 0;          // 0 feet, 1 meters
    int tempUnits = 0;         // 0 Fahrenheit, 1 Celsius
    bool dateSort = true;
    bool aspectMaintain = true;
    int timeFormat = 0;        // 0 12-hour, 1 24-hour
    int datumFormat = 0;       // 0 deg, 1 deg+min, 2 deg+min+sec
    double speedDashCamMin = 0.0, speedDashCamMax = 100.0; int nSpeedDashCamTicks = 4;
    double distMin = 0.0, distMax = 10.0; int nDistTicks = 4;
    double losMin = 0.0, losMax = 10.0; int nLosTicks = 4;
    double bearingMin = 0.0, bearingMax = 360.0; int nBearingTicks = 4;
    double altMin = 0.0, altMax = 500.0; int nAltTicks = 4;
    double satsMin = 0.0, satsMax = 30.0; int nSatsTicks = 4;
    bool invertMouseZoomDir = false;
    bool windowsStayOnTop = true;
    int imageType = 1;         // 1 JPG with GPS data, 0 PNG
    bool newVersionCheck = true;
    int mapType = 0;
    int mapStyle = 1;
    int mapMarker = 0;
    int mapMarkerSize = 6;
    bool northUp = true;
    bool clickToGo = true;
    bool clickToGoGraph = true;
    bool autoScaleRoute = true;
    float vmaxFixed = 140.0f;  // km/h
    int colorLevels = 14;
    int timeBias = 0;          // seconds
    int clockBias = 0;         // seconds
    float utcOffset = 0.0f;    // hours
    float localTimeOffset = 0.0f;  // hours; default from the computer's clock
    float instantReplay = 5.0f;    // seconds
    QString language = QStringLiteral("Default");
    float volume = 1.0f;
    bool muted = false;
    int brightness = 0;
    int contrast = 0;
    float hdop0 = 1.5f, hdop1 = 2.0f, hdop2 = 3.5f, hdop3 = 5.0f;  // read, never written
    float skip = 0.0f;         // seconds
    bool useProxy = false;
    FixedText<PROXY_SERVER_CAPACITY> proxyServer;
    int proxyPort = 8080;
    bool proxyUseCred = false;
    FixedText<PROXY_USER_CAPACITY> proxyUsername;
    FixedText<PROXY_USER_CAPACITY> proxyThing;
    bool autoload = false;
    QString autoloadDir;
    bool dashboardVertical = false;
    bool autoSpeedo = true;
    int maxUserSpeedo = 100;
    // The map's tile sources (URL templates with {z}, {x}, {y} and optionally
    // {s} and {r}) and the key that enables the Google page; full Unicode.
    // A template that is empty or not an http(s) address falls back to the
    // default where it is used.
    QString googleMapsKey;
    QString tileUrlRoadmap = QString::fromLatin1(DEFAULT_TILE_ROADMAP);
    QString tileUrlSatellite = QString::fromLatin1(DEFAULT_TILE_SATELLITE);
    QString tileUrlLabels = QString::fromLatin1(DEFAULT_TILE_LABELS);
    QString tileUrlLight = QString::fromLatin1(DEFAULT_TILE_LIGHT);

    // Derived by recomputeFactors(); never stored.
    int speedUnitIndex = 0;    // always equal to outUnits
    int distUnitIndex = 0;     // always equal to outUnits
    double speedFactor = 0.621371;  // from km/h
    double distFactor = 0.621371;   // from km
    double altFactor = 3.28084;     // from metres

    // Run-time only: "Ignore GPS data" of the preferences, never stored.
    bool ignoreGps = false;
};

// The process-wide record.
SettingsRecord &settings();

// The record's defaults (localTimeOffset from the computer's clock).
void setDefaultSettings();

// Fills the record from the store; true when the store had no "confVersion"
// (a first run).
bool loadSettings();
bool loadSettings(QSettings &store);

// Writes the whole record to group "configuration" in the fixed order.
void saveSettings();
void saveSettings(QSettings &store);

// Speed, distance and altitude factors and unit indexes from outUnits/altUnits.
void recomputeFactors();
void recomputeFactors(SettingsRecord &s);

// The offset of the computer's clock from UTC at this moment, in hours.
double computerUtcOffsetHours();

// Unit-name tables; an index out of range gives an empty string.
QString speedUnitName(int index);         // "mph", "km/h", "m/s"
QString distanceUnitName(int index);      // "miles", "km", "meters"
QString shortDistanceUnitName(int index); // "mi", "km", "m"
QString altitudeUnitName(int index);      // "ft", "m"
QString temperatureUnitName(int index);   // "F", "C"
QString timeFormatName(int index);        // "12hr", "24hr"
QString datumFormatName(int index);       // "deg", "dm", "dms"

// Names of the settings store, shared by every owner of keys in it.
namespace keys {
constexpr const char *ORGANIZATION = "Norvane";
constexpr const char *APPLICATION = "Volantix";
constexpr const char *CONFIG_GROUP = "configuration";
constexpr const char *MOVIE_DIRECTORY = "movieDirectory";
constexpr const char *MOVIE_EXPORT_DIRECTORY = "movieExportDirectory";
constexpr const char *SYNC_WINDOWS = "sync_windows";
}

// The clear-all-settings question offered when Shift is held at start-up.
QString clearSettingsQuestion();
constexpr const char *CLEAR_SETTINGS_NO = " No! Get me out of here! ";
constexpr const char *CLEAR_SETTINGS_YES = " Yes, clear all settings ";
constexpr const char *SETTINGS_CLEARED = "Settings have been cleared!";
void clearAllSettings();

} // namespace vx
