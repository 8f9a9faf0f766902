#include "mapscripts.h"

#include "settings/settings.h"
#include "track/trackstore.h"
#include "views/maproute.h"
#include "views/speedcolor.h"

#include <QUrl>

#include <algorithm>
#include <charconv>
#include <string>
#include <cmath>

namespace vx {

namespace {

const char *const kGoogleMarkerColors[] = {"'#FF0000'", "'#00FF00'", "'#0000FF'", "'#FFFF00'",
                                           "'#FF00FF'", "'#00FFFF'", "''"};
const char *const kLeafletMarkerColors[] = {"'#f00'", "'#0f0'", "'#00f'", "'#ff0'", "'#f0f'", "'#0ff'", "''"};

QString latLngExpression(MapPageKind page, double lat, double lon)
{
    const QString type = page == MapPageKind::Google ? QStringLiteral("new google.maps.LatLng(")
                                                     : QStringLiteral("new L.latLng(");
    return type + jsCoord(lat) + QStringLiteral(", ") + jsCoord(lon) + QLatin1Char(')');
}

// The route's numbers: the same 12 significant digits, written without a
// QString per number (a full route has 800,000 of them).
void appendFlatNumber(std::string &out, double value)
{
    char buffer[32];
    const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 12);
    out.append(buffer, r.ptr);
}

} // namespace

QString mapPageUrl(MapPageKind page)
{
    return page == MapPageKind::Google ? QStringLiteral("qrc:/data/googleMapMac.html")
                                       : QStringLiteral("qrc:/data/mapquest.html");
}

MapPageKind mapPageFor(int mapType, const QString &googleMapsKey)
{
    return mapType == 0 && !googleMapsKey.trimmed().isEmpty() ? MapPageKind::Google : MapPageKind::Leaflet;
}

QString jsString(const QString &text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('"');
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u == '"' || u == '\\') {
            out += QLatin1Char('\\');
            out += c;
        } else if (u < 0x20 || u == 0x7f || u == 0x2028 || u == 0x2029 || c.isSurrogate()) {
            out += QStringLiteral("\\u%1").arg(u, 4, 16, QLatin1Char('0'));
        } else {
            out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

QString jsCoord(double value)
{
    return std::isfinite(value) ? QString::number(value, 'g', 12) : QStringLiteral("null");
}

int clampedMapStyle(int mapStyle) { return mapStyle >= 0 && mapStyle < MAP_STYLE_COUNT ? mapStyle : 1; }
int clampedMapMarker(int mapMarker) { return mapMarker >= 0 && mapMarker <= MAP_MARKER_DEFAULT ? mapMarker : 0; }
int clampedMapMarkerSize(int size) { return std::clamp(size, MAP_MARKER_SIZE_MIN, MAP_MARKER_SIZE_MAX); }

QString styleScript(MapPageKind page, int style)
{
    static const char *const google[] = {
        "map.setMapTypeId(google.maps.MapTypeId.ROADMAP);", "map.setMapTypeId(google.maps.MapTypeId.HYBRID);",
        "map.setMapTypeId(google.maps.MapTypeId.SATELLITE);", "map.setMapTypeId(google.maps.MapTypeId.TERRAIN);"};
    static const char *const leaflet[] = {"roadMap();", "hybridMap();", "satelliteMap();", "lightMap();"};
    const int i = clampedMapStyle(style);
    return QString::fromLatin1(page == MapPageKind::Google ? google[i] : leaflet[i]);
}

QString fourthStyleName(MapPageKind page)
{
    return page == MapPageKind::Google ? QStringLiteral("Terrain") : QStringLiteral("Light");
}

QString tileTemplate(const QString &stored, const char *fallback)
{
    const QString t = stored.trimmed();
    const QUrl url(QString(t).replace(QLatin1Char('{'), QLatin1Char('x')).replace(QLatin1Char('}'), QLatin1Char('x')),
                   QUrl::StrictMode);
    const bool ok = url.isValid() && (url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("http"))
                 && !url.host().isEmpty() && t.contains(QLatin1String("{z}")) && t.contains(QLatin1String("{x}"))
                 && t.contains(QLatin1String("{y}"));
    return ok ? t : QString::fromLatin1(fallback);
}

QString tileSourcesScript(const SettingsRecord &s)
{
    return QStringLiteral("setTileSources({roadmap: ") + jsString(tileTemplate(s.tileUrlRoadmap, DEFAULT_TILE_ROADMAP))
         + QStringLiteral(", satellite: ") + jsString(tileTemplate(s.tileUrlSatellite, DEFAULT_TILE_SATELLITE))
         + QStringLiteral(", labels: ") + jsString(tileTemplate(s.tileUrlLabels, DEFAULT_TILE_LABELS))
         + QStringLiteral(", light: ") + jsString(tileTemplate(s.tileUrlLight, DEFAULT_TILE_LIGHT))
         + QStringLiteral("});");
}

QString routeScript(const MovieBlock &m, int colorLevels, double referenceKmh)
{
    const int levels = speedColorCount(colorLevels);
    const QVector<RouteRun> runs = routeRuns(m, levels, referenceKmh);
    if (runs.isEmpty())
        return QString();
    std::string coords;
    std::string triples;
    coords.reserve(static_cast<size_t>(runs.last().last - runs.first().first + runs.size()) * 34);
    triples.reserve(static_cast<size_t>(runs.size()) * 14);
    int vertices = 0;
    int previousLast = -1;
    const auto addVertex = [&](int point) {
        if (vertices++)
            coords += ',';
        appendFlatNumber(coords, m.lat[point]);
        coords += ',';
        appendFlatNumber(coords, m.lon[point]);
    };
    for (const RouteRun &run : runs) {
        // A run that goes on from the previous one shares its first point.
        if (run.first != previousLast)
            addVertex(run.first);
        const int first = vertices - 1;
        for (int i = run.first + 1; i <= run.last; ++i)
            addVertex(i);
        if (!triples.empty())
            triples += ',';
        triples += std::to_string(first) + ',' + std::to_string(vertices - 1) + ',' + std::to_string(run.colorIndex);
        previousLast = run.last;
    }
    QString out = QStringLiteral("addRoute([");
    for (int k = 0; k < levels; ++k) {
        if (k)
            out += QLatin1Char(',');
        out += QLatin1Char('"') + QLatin1String(speedColorAt(levels, k)) + QLatin1Char('"');
    }
    out += QStringLiteral("], [") + QLatin1String(coords.data(), static_cast<int>(coords.size()))
         + QStringLiteral("], [") + QLatin1String(triples.data(), static_cast<int>(triples.size()))
         + QStringLiteral("]);");
    return out;
}

QStringList startMarkerScripts(MapPageKind page, const MovieBlock &m)
{
    const int i = firstDrawablePoint(m);
    if (i < 0)
        return {};
    return {QStringLiteral("var waypoint = ") + latLngExpression(page, m.lat[i], m.lon[i]) + QLatin1Char(';'),
            QStringLiteral("addMarker(waypoint);")};
}

QString vehicleScript(MapPageKind page, double lat, double lon, int mapMarker, int mapMarkerSize)
{
    const int marker = clampedMapMarker(mapMarker);
    const int size = clampedMapMarkerSize(mapMarkerSize);
    const QString stroke = QString::number(size <= 3 ? 1 : 2);
    const QString where = latLngExpression(page, lat, lon);
    QString s;
    if (page == MapPageKind::Google) {
        s = QStringLiteral("var image = {") + QStringLiteral("  path: google.maps.SymbolPath.CIRCLE, ")
          + QStringLiteral("  scale: ") + QString::number(size) + QStringLiteral(", ") + QStringLiteral("  fillColor: ")
          + QLatin1String(kGoogleMarkerColors[marker]) + QStringLiteral(", ") + QStringLiteral("  fillOpacity: 0.9, ")
          + QStringLiteral("  strokeColor: 'black', ") + QStringLiteral("  strokeWeight: ") + stroke
          + QStringLiteral("};") + QStringLiteral("var latlng = ") + where + QLatin1Char(';')
          + QStringLiteral("var marker = new google.maps.Marker({") + QStringLiteral("position: ") + where
          + QStringLiteral(",") + QStringLiteral("map: map,");
        if (marker < MAP_MARKER_DEFAULT)
            s += QStringLiteral("icon: image,");
        s += QStringLiteral("});") + QStringLiteral("marker.setPosition(latlng);") + QStringLiteral("map.panTo(latlng);");
        return s;
    }
    s = QStringLiteral("var latlng = ") + where + QLatin1Char(';');
    if (marker < MAP_MARKER_DEFAULT) {
        s += QStringLiteral("var myMarker = new L.circleMarker(latlng, { ") + QStringLiteral("  color: 'black', ")
           + QStringLiteral("  radius: ") + QString::number(size) + QStringLiteral(", ")
           + QStringLiteral("  stroke: true, ") + QStringLiteral("  weight:  ") + stroke + QStringLiteral(", ")
           + QStringLiteral("  fillColor: ") + QLatin1String(kLeafletMarkerColors[marker]) + QStringLiteral(", ")
           + QStringLiteral("  fillOpacity: 0.95 ") + QStringLiteral("}).addTo(map);");
    } else {
        s += QStringLiteral("var myMarker = new L.marker(latlng).addTo(map);");
    }
    s += QStringLiteral("myMarker.setLatLng(latlng);") + QStringLiteral("map.panTo(latlng);");
    return s;
}

QString removeVehicleScript(MapPageKind page)
{
    return page == MapPageKind::Google ? QStringLiteral("marker.setMap(null);")
                                       : QStringLiteral("map.removeLayer(myMarker);");
}

int snapHeading(double heading)
{
    if (!std::isfinite(heading))
        return 0;
    double h = std::fmod(heading, 360.0);
    if (h < 0)
        h += 360.0;
    static const struct {
        double upTo;
        int snapped;
    } kBands[] = {{22.5, 0}, {67.5, 45}, {112.5, 90}, {157.5, 135}, {202.5, 180}, {247.5, -135}, {292.5, -90}, {337.5, -45}};
    for (const auto &band : kBands) {
        if (h <= band.upTo)
            return band.snapped;
    }
    return 0;
}

QString headingText(HeadingState &state, double heading, double speedInUserUnit, bool northUp)
{
    const int snapped = snapHeading(heading);
    if (speedInUserUnit > 3.0)
        state.snapped = snapped;
    return northUp ? QStringLiteral("0") : QString::number(state.snapped, 'g', 3);
}

QStringList positionScripts(MapPageKind page, double lat, double lon, const QString &heading, bool headingChanged,
                            bool pan)
{
    const QString where = QStringLiteral("var latlng = ") + latLngExpression(page, lat, lon) + QLatin1Char(';');
    if (page == MapPageKind::Google) {
        QString s = where + QStringLiteral("marker.setPosition(latlng);");
        if (headingChanged)
            s += QStringLiteral("map.setHeading(") + heading + QStringLiteral(");");
        if (pan)
            s += QStringLiteral("map.panTo(latlng);");
        return {s};
    }
    QStringList scripts{where};
    if (pan)
        scripts << QStringLiteral("map_panTo();");
    scripts << QStringLiteral("myMarker_setLatLng();");
    return scripts;
}

QString pinScript(MapPageKind page, double lat, double lon, int number, const QString &title, bool moviePresent)
{
    return QStringLiteral("var location1 = ") + latLngExpression(page, lat, lon) + QStringLiteral(";\n")
         + QStringLiteral("addPoi(location1, ") + QString::number(number) + QStringLiteral(", ") + jsString(title)
         + (moviePresent ? QStringLiteral(", true);\n") : QStringLiteral(", false);\n"));
}

} // namespace vx
