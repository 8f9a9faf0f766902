// KML 2.2 export: a document with a view over the played route (time span
// from the first to the last point, looking at the first point), the track
// and waypoint styles, one pin style and one placemark per geotag, and one
// gx:Track placemark per active movie (times, lon/lat/altitude in degrees and
// metres, speed values in the user's unit). Heights are relative to the
// ground when the telemetry came from sidecar subtitle or flight-log files.
#include "trackexport.h"

#include "exportpipeline.h"
#include "numbertext.h"
#include "track/trackstore.h"

#include <algorithm>
#include <vector>

namespace vx {

namespace {

const char *const kTrackIconNone =
    "https://earth.google.com/images/kml-icons/track-directional/track-none.png";
const char *const kTrackIcon0 =
    "https://earth.google.com/images/kml-icons/track-directional/track-0.png";
const char *const kWaypointIcon = "https://maps.google.com/mapfiles/kml/pal4/icon61.png";
// Geotag pins: the earth viewers' own push pins, yellow when the tag's movie
// is loaded, white otherwise (the chart service that drew numbered pins is
// gone, and a pin that cannot load shows as a broken image).
const char *const kPinPresent = "https://maps.google.com/mapfiles/kml/pushpin/ylw-pushpin.png";
const char *const kPinAbsent = "https://maps.google.com/mapfiles/kml/pushpin/wht-pushpin.png";

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

void appendLookAt(QByteArray &out, const ExportSource &src)
{
    // The first and the last played movie that hold points; without any,
    // the document has no view.
    if (src.viewFirst < 0)
        return;
    const MovieBlock &a = src.store->block[src.viewFirst];
    const MovieBlock &z = src.store->block[src.viewLast];
    out += "\t\t<LookAt>\n";
    out += "\t\t\t<gx:TimeSpan>\n";
    out += "\t\t\t\t<begin>" + formatTimestamp(a.gpsTime[0]) + "</begin>\n";
    out += "\t\t\t\t<end>" + formatTimestamp(z.gpsTime[src.movies[src.viewLast].points - 1]) + "</end>\n";
    out += "\t\t\t</gx:TimeSpan>\n";
    appendCFormat(out, "\t\t\t<longitude>%lf</longitude>\n", static_cast<double>(static_cast<float>(a.lon[0])));
    appendCFormat(out, "\t\t\t<latitude>%lf</latitude>\n", static_cast<double>(static_cast<float>(a.lat[0])));
    out += "\t\t\t<range>1300.000000</range>\n";
    out += "\t\t</LookAt>\n";
}

void appendStyles(QByteArray &out, const ExportSource &src)
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

    for (int i = 1; i <= src.tags.size(); ++i) {
        // A tag taken where its movie had no telemetry has no place.
        if (!src.tags[i - 1].hasPosition)
            continue;
        appendCFormat(out, "\t\t<Style id=\"geotagStyle%d\">\n", i);
        appendIconStyle(out, "1.2", src.tags[i - 1].movieAvailable ? kPinPresent : kPinAbsent);
        out += "\t\t</Style>\n";
    }
}

void appendGeotags(QByteArray &out, const ExportSource &src)
{
    for (int i = 1; i <= src.tags.size(); ++i) {
        const ExportSource::Tag &g = src.tags[i - 1];
        // A tag taken where its movie had no telemetry has no place.
        if (!g.hasPosition)
            continue;
        appendCFormat(out, "\t\t<Placemark id=\"geotag%d\">\n", i);
        out += "\t\t\t<name>" + g.titleXml + "</name>\n";
        appendCFormat(out, "\t\t\t<styleUrl>#geotagStyle%d</styleUrl>\n", i);
        out += "\t\t\t<Point>\n";
        appendCFormat(out, "\t\t\t\t<coordinates>%lf,%lf,0</coordinates>\n", g.lon, g.lat);
        out += "\t\t\t</Point>\n";
        out += "\t\t</Placemark>\n";
    }
}

void writeMovie(TextBuffer &out, const ExportSource &src, const ExportSource::Movie &m, const MovieBlock &b,
                const QByteArray &speedUnit)
{
    const int n = m.points;
    QByteArray head;
    head += "\t\t\t<Placemark>\n";
    head += "\t\t\t\t<name>Vehicle (" + m.nameXml + ")</name>\n";
    head += "\t\t\t\t<styleUrl>#multiTrack</styleUrl>\n";
    head += "\t\t\t\t<gx:Track>\n";
    if (src.relativeAltitude)
        head += "\t\t\t\t\t<altitudeMode>relativeToGround</altitudeMode>\n";
    out.append(head);
    DateTimeWriter time;
    for (int i = 0; i < n; ++i) {
        char *p = out.room(DATE_TIME_TEXT_MAX + 32);
        p = putText(p, "\t\t\t\t\t<when>");
        p = time.write(p, b.gpsTime[i], "T", 1);
        p = putText(p, "Z</when>\n");
        out.advance(p);
    }
    for (int i = 0; i < n; ++i) {
        char *p = out.room(3 * FIXED_TEXT_MAX + 48);
        p = putText(p, "\t\t\t\t\t<gx:coord>");  // "%lf %lf %lf"
        p = writeFixed(p, b.lon[i], 6);
        *p++ = ' ';
        p = writeFixed(p, b.lat[i], 6);
        *p++ = ' ';
        p = writeFixed(p, b.hasAltitude ? b.altitude[i] : 0.0, 6);
        p = putText(p, "</gx:coord>\n");
        out.advance(p);
    }
    out.append(QByteArray("\t\t\t\t\t<ExtendedData>\n"
                           "\t\t\t\t\t\t<SchemaData schemaUrl=\"#schema\">\n"
                           "\t\t\t\t\t\t\t<gx:SimpleArrayData name=\"speed\">\n"));
    const size_t unitLength = static_cast<size_t>(speedUnit.size());
    for (int i = 0; i < n; ++i) {
        char *p = out.room(FIXED_TEXT_MAX + unitLength + 48);
        p = putText(p, "\t\t\t\t\t\t\t\t<gx:value>");  // "%.2lf %s"
        p = writeFixed(p, b.speed[i] * src.speedFactor, 2);
        *p++ = ' ';
        p = putText(p, speedUnit.constData(), unitLength);
        p = putText(p, "</gx:value>\n");
        out.advance(p);
    }
    out.append(QByteArray("\t\t\t\t\t\t\t</gx:SimpleArrayData>\n"
                           "\t\t\t\t\t\t</SchemaData>\n"
                           "\t\t\t\t\t</ExtendedData>\n"
                           "\t\t\t\t</gx:Track>\n"
                           "\t\t\t</Placemark>\n"));
}

} // namespace

ExportResult writeKml(const ExportSource &src, const QString &path, ExportProgress *progress)
{
    ExportFile file(path, progress);
    if (!file.open())
        return file.failure();

    QByteArray out;
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<kml xmlns=\"http://www.opengis.net/kml/2.2\" xmlns:gx=\"http://www.google.com/kml/ext/2.2\">\n";
    out += "\t<Document>\n";
    out += "\t\t<name>" + xmlEscaped(exportApplicationName()) + " Route</name>\n";
    out += "\t\t<!-- Normal track style -->\n";
    appendLookAt(out, src);
    appendStyles(out, src);
    out += "\t\t<Schema id=\"schema\">\n";
    out += "\t\t\t<gx:SimpleArrayField name=\"speed\" type=\"float\">\n";
    out += "\t\t\t\t<displayName>Speed</displayName>\n";
    out += "\t\t\t</gx:SimpleArrayField>\n";
    out += "\t\t</Schema>\n";
    appendGeotags(out, src);
    out += "\t\t<Folder>\n";
    out += "\t\t\t<name>Tracks</name>\n";
    file.write(out);

    const QByteArray speedUnit = xmlEscaped(QString::fromUtf8(src.speedUnit));
    std::vector<int> blocks;  // read by several threads: no implicit sharing
    for (int b = 0; b < src.movies.size(); ++b)
        if (src.movies[b].active && src.movies[b].points >= 1)
            blocks.push_back(b);
    writePiecesInOrder(
        file, static_cast<int>(blocks.size()),
        [&](int k, TextBuffer &text) {
            writeMovie(text, src, src.movies[blocks[k]], src.store->block[blocks[k]], speedUnit);
        },
        [&](int k) { return src.movies[blocks[k]].points; });
    file.write(QByteArray("\t\t</Folder>\n\t</Document>\n</kml>\n"));
    return file.finish();
}

} // namespace vx
