// KML 2.2 export: a document with a view over the played route (time span
// from the first to the last point, looking at the first point), the track
// and waypoint styles, one pin style and one placemark per geotag, and one
// gx:Track placemark per active movie (times, lon/lat/altitude in degrees and
// metres, speed values in the user's unit). Heights are relative to the
// ground when the telemetry came from sidecar subtitle or flight-log files.
#include "trackexport.h"

#include "geotags.h"
#include "settings/settings.h"
#include "track/trackstore.h"

#include <algorithm>

namespace vx {

namespace {

const char *const kTrackIconNone =
    "https://earth.google.com/images/kml-icons/track-directional/track-none.png";
const char *const kTrackIcon0 =
    "https://earth.google.com/images/kml-icons/track-directional/track-0.png";
const char *const kWaypointIcon = "https://maps.google.com/mapfiles/kml/pal4/icon61.png";
const char *const kPinChart = "https://chart.apis.google.com/chart?";

int pointsOf(const MovieBlock &b) { return std::clamp(b.numPoints, 0, MAX_POINTS); }

void appendIconStyle(QByteArray &out, const char *scale, const QByteArray &href)
{
    out += "\t\t\t<IconStyle>\n";
    if (scale)
        out += QByteArray("\t\t\t\t<scale>") + scale + "</scale>\n";
    out += "\t\t\t\t<Icon>\n";
    out += "\t\t\t\t\t<href>" + href + "</href>\n";
    out += "\t\t\t\t</Icon>\n";
    out += "\t\t\t</IconStyle>\n";
}

void appendLineStyle(QByteArray &out, const char *color, const char *width)
{
    out += "\t\t\t<LineStyle>\n";
    out += QByteArray("\t\t\t\t<color>") + color + "</color>\n";
    out += QByteArray("\t\t\t\t<width>") + width + "</width>\n";
    out += "\t\t\t</LineStyle>\n";
}

void appendStyleMap(QByteArray &out, const char *id)
{
    out += QByteArray("\t\t<StyleMap id=\"") + id + "\">\n";
    out += "\t\t\t<Pair>\n";
    out += "\t\t\t\t<key>normal</key>\n";
    out += QByteArray("\t\t\t\t<styleUrl>#") + id + "_n</styleUrl>\n";
    out += "\t\t\t</Pair>\n";
    out += "\t\t\t<Pair>\n";
    out += "\t\t\t\t<key>highlight</key>\n";
    out += QByteArray("\t\t\t\t<styleUrl>#") + id + "_h</styleUrl>\n";
    out += "\t\t\t</Pair>\n";
    out += "\t\t</StyleMap>\n";
}

void appendLookAt(QByteArray &out)
{
    // The first and the last played movie that hold points; without any,
    // the document has no view.
    const TrackStore &t = track();
    const int numBlocks = std::clamp(t.numBlocks, 0, MAX_BLOCKS);
    const int playCount = std::clamp(t.playCount, 0, MAX_BLOCKS);
    int first = -1, last = -1;
    for (int k = 0; k < playCount; ++k) {
        const int b = t.playOrder[k];
        if (b < 0 || b >= numBlocks || pointsOf(t.block[b]) < 1)
            continue;
        if (first < 0)
            first = b;
        last = b;
    }
    if (first < 0)
        return;
    const MovieBlock &a = t.block[first];
    const MovieBlock &z = t.block[last];
    out += "\t\t<LookAt>\n";
    out += "\t\t\t<gx:TimeSpan>\n";
    out += "\t\t\t\t<begin>" + formatTimestamp(a.gpsTime[0]) + "</begin>\n";
    out += "\t\t\t\t<end>" + formatTimestamp(z.gpsTime[pointsOf(z) - 1]) + "</end>\n";
    out += "\t\t\t</gx:TimeSpan>\n";
    appendCFormat(out, "\t\t\t<longitude>%lf</longitude>\n", static_cast<double>(static_cast<float>(a.lon[0])));
    appendCFormat(out, "\t\t\t<latitude>%lf</latitude>\n", static_cast<double>(static_cast<float>(a.lat[0])));
    out += "\t\t\t<range>1300.000000</range>\n";
    out += "\t\t</LookAt>\n";
}

void appendStyles(QByteArray &out)
{
    out += "\t\t<Style id=\"track_n\">\n";
    appendIconStyle(out, ".5", kTrackIconNone);
    out += "\t\t\t<LabelStyle>\n";
    out += "\t\t\t\t<scale>0</scale>\n";
    out += "\t\t\t</LabelStyle>\n";
    out += "\t\t</Style>\n";
    out += "\t\t<!-- Highlighted track style -->\n";
    out += "\t\t<Style id=\"track_h\">\n";
    appendIconStyle(out, "1.2", kTrackIconNone);
    out += "\t\t</Style>\n";
    appendStyleMap(out, "track");

    out += "\t\t<!-- Normal multiTrack style -->\n";
    out += "\t\t<Style id=\"multiTrack_n\">\n";
    appendIconStyle(out, nullptr, kTrackIcon0);
    appendLineStyle(out, "bb3333ff", "6");
    out += "\t\t</Style>\n";
    out += "\t\t<!-- Highlighted multiTrack style -->\n";
    out += "\t\t<Style id=\"multiTrack_h\">\n";
    appendIconStyle(out, "1.2", kTrackIcon0);
    appendLineStyle(out, "bb3333ff", "8");
    out += "\t\t</Style>\n";
    appendStyleMap(out, "multiTrack");

    out += "\t\t<!-- Normal waypoint style -->\n";
    out += "\t\t<Style id=\"waypoint_n\">\n";
    appendIconStyle(out, nullptr, kWaypointIcon);
    out += "\t\t</Style>\n";
    out += "\t\t<!-- Highlighted waypoint style -->\n";
    out += "\t\t<Style id=\"waypoint_h\">\n";
    appendIconStyle(out, "1.2", kWaypointIcon);
    out += "\t\t</Style>\n";
    appendStyleMap(out, "waypoint");

    out += "\t\t<Style id=\"lineStyle\">\n";
    appendLineStyle(out, "99ffac59", "6");
    out += "\t\t</Style>\n";

    const GeotagList &tags = geotags();
    const int count = std::clamp(tags.count, 0, MAX_GEOTAGS);
    for (int i = 1; i <= count; ++i) {
        // A tag taken where its movie had no telemetry has no place.
        if (!geotagHasPosition(tags.tag[i - 1]))
            continue;
        appendCFormat(out, "\t\t<Style id=\"geotagStyle%d\">\n", i);
        const char *colour = tags.tag[i - 1].movieAvailable ? "FFFF00" : "BBBBBB";
        appendIconStyle(out, "1.2",
                        cFormat("%schst=d_map_pin_letter&amp;chld=%d|%s|000000", kPinChart, i, colour));
        out += "\t\t</Style>\n";
    }
}

void appendGeotags(QByteArray &out)
{
    const GeotagList &tags = geotags();
    const int count = std::clamp(tags.count, 0, MAX_GEOTAGS);
    for (int i = 1; i <= count; ++i) {
        const Geotag &g = tags.tag[i - 1];
        if (!geotagHasPosition(g))
            continue;
        appendCFormat(out, "\t\t<Placemark id=\"geotag%d\">\n", i);
        out += "\t\t\t<name>" + xmlEscaped(g.title) + "</name>\n";
        appendCFormat(out, "\t\t\t<styleUrl>#geotagStyle%d</styleUrl>\n", i);
        out += "\t\t\t<Point>\n";
        appendCFormat(out, "\t\t\t\t<coordinates>%lf,%lf,0</coordinates>\n", g.lon, g.lat);
        out += "\t\t\t</Point>\n";
        out += "\t\t</Placemark>\n";
    }
}

void appendMovie(QByteArray &out, const MovieBlock &b, const QByteArray &speedUnit, double speedFactor,
                 bool relativeAltitude)
{
    const int n = pointsOf(b);
    out += "\t\t\t<Placemark>\n";
    out += "\t\t\t\t<name>Vehicle (" + xmlEscaped(b.movieFile.fileName()) + ")</name>\n";
    out += "\t\t\t\t<styleUrl>#multiTrack</styleUrl>\n";
    out += "\t\t\t\t<gx:Track>\n";
    if (relativeAltitude)
        out += "\t\t\t\t\t<altitudeMode>relativeToGround</altitudeMode>\n";
    for (int i = 0; i < n; ++i) {
        out += "\t\t\t\t\t<when>";
        appendTimestamp(out, b.gpsTime[i]);
        out += "</when>\n";
    }
    for (int i = 0; i < n; ++i)
        appendCFormat(out, "\t\t\t\t\t<gx:coord>%lf %lf %lf</gx:coord>\n", b.lon[i], b.lat[i],
                      b.hasAltitude ? b.altitude[i] : 0.0);
    out += "\t\t\t\t\t<ExtendedData>\n";
    out += "\t\t\t\t\t\t<SchemaData schemaUrl=\"#schema\">\n";
    out += "\t\t\t\t\t\t\t<gx:SimpleArrayData name=\"speed\">\n";
    for (int i = 0; i < n; ++i)
        appendCFormat(out, "\t\t\t\t\t\t\t\t<gx:value>%.2lf %s</gx:value>\n", b.speed[i] * speedFactor,
                      speedUnit.constData());
    out += "\t\t\t\t\t\t\t</gx:SimpleArrayData>\n";
    out += "\t\t\t\t\t\t</SchemaData>\n";
    out += "\t\t\t\t\t</ExtendedData>\n";
    out += "\t\t\t\t</gx:Track>\n";
    out += "\t\t\t</Placemark>\n";
}

} // namespace

ExportResult exportKml(const QString &path)
{
    ExportFile file(path);
    if (!file.open())
        return file.failure();
    QByteArray &out = file.text();
    const TrackStore &t = track();
    const SettingsRecord &s = settings();

    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<kml xmlns=\"http://www.opengis.net/kml/2.2\" xmlns:gx=\"http://www.google.com/kml/ext/2.2\">\n";
    out += "\t<Document>\n";
    out += "\t\t<name>" + xmlEscaped(exportApplicationName()) + " Route</name>\n";
    out += "\t\t<!-- Normal track style -->\n";
    appendLookAt(out);
    appendStyles(out);
    out += "\t\t<Schema id=\"schema\">\n";
    out += "\t\t\t<gx:SimpleArrayField name=\"speed\" type=\"float\">\n";
    out += "\t\t\t\t<displayName>Speed</displayName>\n";
    out += "\t\t\t</gx:SimpleArrayField>\n";
    out += "\t\t</Schema>\n";
    appendGeotags(out);
    out += "\t\t<Folder>\n";
    out += "\t\t\t<name>Tracks</name>\n";

    const QByteArray speedUnit = xmlEscaped(speedUnitName(s.speedUnitIndex));
    const int numBlocks = std::clamp(t.numBlocks, 0, MAX_BLOCKS);
    for (int b = 0; b < numBlocks; ++b) {
        const MovieBlock &blk = t.block[b];
        if (!blk.active || pointsOf(blk) < 1)
            continue;
        appendMovie(out, blk, speedUnit, s.speedFactor, t.relativeAltitude);
        file.writeIfLarge();
    }
    out += "\t\t</Folder>\n";
    out += "\t</Document>\n";
    out += "</kml>\n";
    return file.finish();
}

} // namespace vx
