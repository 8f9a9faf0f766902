// The script text the map window sends to its page. The window drives the
// page only by scripts, one per call, and never reads their results; every
// text that did not come from the program itself (geotag titles, tile
// addresses) goes in as a JSON string literal, so nothing a user types can
// become script.
//
// Two pages keep the same contract: the Leaflet page (OpenStreetMap, Esri
// and CARTO tiles; the default) and the Google page (only with a Google Maps
// key). Pure functions of their arguments; no web engine needed.
#pragma once

#include <QString>
#include <QStringList>

namespace vx {

struct MovieBlock;
struct SettingsRecord;

enum class MapPageKind { Google, Leaflet };

// "qrc:/data/googleMapMac.html" or "qrc:/data/mapquest.html".
QString mapPageUrl(MapPageKind page);
// The page a `mapType` shows: Google only when it is 0 and a key is set;
// everything else (MapQuest, Esri, Bing, values out of range) the Leaflet
// page.
MapPageKind mapPageFor(int mapType, const QString &googleMapsKey);

// A JSON string literal of `text` (quotes included). Control characters,
// the line and paragraph separators and every surrogate are written as
// \uXXXX escapes.
QString jsString(const QString &text);
// A latitude, longitude or altitude: "g" format with 12 significant digits.
QString jsCoord(double value);

// ---- settings, clamped where they are used ----------------------------------

constexpr int MAP_STYLE_COUNT = 4;        // road map, hybrid, satellite, fourth style
constexpr int MAP_MARKER_DEFAULT = 6;     // the provider's own marker
constexpr int MAP_MARKER_SIZE_MIN = 3;    // the preferences offer 3 .. 10 pixels
constexpr int MAP_MARKER_SIZE_MAX = 10;
int clampedMapStyle(int mapStyle);       // 0 .. 3; anything else 1 (hybrid, the default)
int clampedMapMarker(int mapMarker);     // 0 .. 6; anything else 0
int clampedMapMarkerSize(int size);      // 3 .. 10

// ---- the page's style ------------------------------------------------------

// The script of style 0..3 (road map, hybrid, satellite, fourth style).
QString styleScript(MapPageKind page, int style);
// The style combo's fourth item: "Terrain" (Google) or "Light".
QString fourthStyleName(MapPageKind page);

// The Leaflet page's tile sources from the settings; a template that is not
// an http(s) address with {z}, {x} and {y} falls back to its default.
QString tileTemplate(const QString &stored, const char *fallback);
QString tileSourcesScript(const SettingsRecord &s);

// ---- the route -------------------------------------------------------------

// One script for a movie's whole route: addRoute(palette, points, runs)
// with the points of its runs once each as [lat, lon, lat, lon, ...] and the
// runs as [first, last, colour, ...] (indexes into the points and the
// palette; a run that goes on from the previous one starts on its last
// point). Empty when the movie has no segment to draw.
QString routeScript(const MovieBlock &m, int colorLevels, double referenceKmh);

// The start marker of a movie on its first drawable point: two scripts (the
// position, then "addMarker(waypoint);"); none when it has no such point.
QStringList startMarkerScripts(MapPageKind page, const MovieBlock &m);

// ---- the vehicle -------------------------------------------------------------

// Creates the vehicle marker at (lat, lon) and pans there.
QString vehicleScript(MapPageKind page, double lat, double lon, int mapMarker, int mapMarkerSize);
// Removes it before it is created again.
QString removeVehicleScript(MapPageKind page);

// The heading the map turns to: snapped to eight directions, kept while the
// vehicle is slow, "0" with north up. Process-wide in the window.
struct HeadingState {
    int snapped = 0;                          // the remembered snapped heading
    QString sentText = QStringLiteral("0");   // the heading text sent last
};
// 0, 45, 90, 135, 180, -135, -90 or -45 degrees for a heading in degrees
// (negative headings count from 360; a heading that is not finite gives 0).
int snapHeading(double heading);
// Steps 1 to 3 of a position update: the heading text for `heading` at
// `speedInUserUnit`; the remembered heading changes only above 3.0.
QString headingText(HeadingState &state, double heading, double speedInUserUnit, bool northUp);

// The scripts of a position update. Google: one script (with the heading
// when it differs from the one sent last, and the pan when asked for);
// Leaflet: "var latlng = ...", "map_panTo();" when asked for,
// "myMarker_setLatLng();".
QStringList positionScripts(MapPageKind page, double lat, double lon, const QString &heading, bool headingChanged,
                            bool pan);

// ---- geotag pins -------------------------------------------------------------

// A numbered pin drawn by the page itself (yellow when the tag's movie is
// present, grey otherwise) whose tooltip shows `title` as text.
QString pinScript(MapPageKind page, double lat, double lon, int number, const QString &title, bool moviePresent);

} // namespace vx
