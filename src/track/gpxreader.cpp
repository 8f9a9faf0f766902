// GPX track import. The file is XML; names are compared as written (no
// namespace processing), so "trk" matches <trk> of GPX 1.0 and 1.1 alike.
// Used: every "trk" element (one inside another counts as part of the outer
// one); its optional first child element "name"; the "trkpt" elements
// anywhere inside it, with the attributes "lat" and "lon" (decimal degrees)
// and the child elements "ele" (metres), "time" ("yyyy-MM-ddThh:mm:ssZ",
// UTC) and "speed" (metres per second). Anything else is ignored.
//
// A named track restarts the block (its points replace those read before); a
// track without a name is appended. A point without a time takes the time of
// the point before it. Speed is the file's when given, else the distance from
// the previous point over the time between them.
//
// The document is read as a stream into a staging copy of the block, and the
// block is written only once the whole document has proved well-formed, so a
// broken file never touches it.
#include "gpxreader.h"

#include "geo.h"
#include "trackstore.h"

#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>
#include <cfloat>
#include <cmath>
#include <memory>

namespace vx {

namespace {

// What the import writes into the block, kept aside until the end.
struct Staging {
    uint32_t gpsTime[MAX_POINTS];
    double lat[MAX_POINTS];
    double lon[MAX_POINTS];
    float speed[MAX_POINTS];
    double segDist[MAX_POINTS];
    double bearing[MAX_POINTS];
    double altitude[MAX_POINTS];
    // Set at the end of every track.
    bool anyTrackEnded = false;
    int numPoints = 0;
    double totalDist = 0;
    bool hasAltitude = false;
};

// One trkpt as read from the file.
struct RawPoint {
    double lat = 0;
    double lon = 0;
    bool hasEle = false;
    double ele = 0;
    bool hasSpeed = false;
    double speedMs = 0;
};

// Locale-independent decimal; unparsable text and values that are not finite
// numbers read as 0.
double decimal(const QString &text)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

class GpxParser {
public:
    GpxParser(QIODevice &device, Staging &out) : xml(&device), s(out)
    {
        xml.setNamespaceProcessing(false);
    }

    // False when the document is not well-formed.
    bool run();
    bool stoppedOnEmptyName() const { return emptyName; }

private:
    void startElement();
    void endElement();
    void readPointField(const QString &name);
    void storePoint();

    QXmlStreamReader xml;
    Staging &s;

    int depth = 0;            // of the element just opened
    int trkDepth = -1;        // the open track, -1 outside
    bool awaitFirstChild = false;
    int trkptDepth = -1;      // the open point, -1 outside
    RawPoint point;
    bool emptyName = false;   // stop storing; read on only to check the rest

    // Reader state, carried from point to point and track to track.
    int index = 0;
    double runningTotal = 0;
    bool firstPoint = true;
    uint32_t t = 0;           // time of the current point (or of the one before)
    uint32_t lastTime = 0;
    double prevLat = 0;
    double prevLon = 0;
    bool hasElevation = false;
};

bool GpxParser::run()
{
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            ++depth;
            if (!emptyName)
                startElement();
            break;
        case QXmlStreamReader::EndElement:
            if (!emptyName)
                endElement();
            --depth;
            break;
        default:
            break;
        }
    }
    return !xml.hasError();
}

void GpxParser::startElement()
{
    const QStringRef name = xml.qualifiedName();
    if (trkDepth < 0) {
        if (name == QLatin1String("trk")) {
            trkDepth = depth;
            awaitFirstChild = true;
        }
        return;
    }
    if (awaitFirstChild && depth == trkDepth + 1) {
        awaitFirstChild = false;
        if (name == QLatin1String("name")) {
            const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            --depth;  // the name element has been read to its end
            if (text.isEmpty()) {
                emptyName = true;
                return;
            }
            index = 0;
            runningTotal = 0;
            firstPoint = true;
            return;
        }
    }
    if (trkptDepth < 0) {
        if (name == QLatin1String("trkpt")) {
            trkptDepth = depth;
            point = RawPoint();
            const QXmlStreamAttributes attrs = xml.attributes();
            point.lat = decimal(attrs.value(QLatin1String("lat")).toString());
            point.lon = decimal(attrs.value(QLatin1String("lon")).toString());
        }
        return;
    }
    if (depth == trkptDepth + 1)
        readPointField(name.toString());
}

void GpxParser::readPointField(const QString &name)
{
    const bool ele = name == QLatin1String("ele");
    const bool time = name == QLatin1String("time");
    const bool speed = name == QLatin1String("speed");
    if (!ele && !time && !speed)
        return;
    const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
    --depth;  // read to its end
    if (xml.hasError())
        return;
    if (ele) {
        point.hasEle = true;
        point.ele = decimal(text);
        hasElevation = true;
    } else if (time) {
        uint32_t seconds;
        if (parseGpxTime(text, &seconds))
            t = seconds;
    } else {
        point.hasSpeed = true;
        point.speedMs = decimal(text);
    }
}

void GpxParser::endElement()
{
    if (depth == trkptDepth) {
        trkptDepth = -1;
        storePoint();
    } else if (depth == trkDepth) {
        trkDepth = -1;
        awaitFirstChild = false;
        s.anyTrackEnded = true;
        s.numPoints = index;
        s.totalDist = runningTotal;
        s.hasAltitude = hasElevation;
    }
}

void GpxParser::storePoint()
{
    if (index >= MAX_POINTS)
        return;  // the block is full; a later named track may restart it
    double dist = 0;
    double computedKmh = 0;
    double bearing = 0;
    if (!firstPoint) {
        const uint32_t dt = t - lastTime;  // unsigned: a step back is a huge gap
        if (dt == 0) {
            bearing = lastBearing;
        } else {
            const GeoStep step = greatCircleStep(prevLat, prevLon, point.lat, point.lon);
            dist = step.distKm;
            bearing = step.bearingDeg;
            computedKmh = dist / dt * 3600.0;
        }
    }
    double kmh = point.hasSpeed ? point.speedMs * 3.6 : computedKmh;
    if (!(std::fabs(kmh) <= FLT_MAX))
        kmh = 0;  // not representable in the store

    s.gpsTime[index] = t;
    s.lat[index] = point.lat;
    s.lon[index] = point.lon;
    s.speed[index] = static_cast<float>(kmh);
    s.segDist[index] = dist;
    s.bearing[index] = bearing;
    s.altitude[index] = hasElevation && point.hasEle ? point.ele : 0.0;

    runningTotal += dist;
    ++index;
    firstPoint = false;
    lastTime = t;
    prevLat = point.lat;
    prevLon = point.lon;
}

void commit(const Staging &s, MovieBlock &b)
{
    if (!s.anyTrackEnded)
        return;
    for (int i = 0; i < s.numPoints; ++i) {
        b.gpsTime[i] = s.gpsTime[i];
        b.lat[i] = s.lat[i];
        b.lon[i] = s.lon[i];
        b.speed[i] = s.speed[i];
        b.segDist[i] = s.segDist[i];
        b.bearing[i] = s.bearing[i];
        b.altitude[i] = s.altitude[i];
    }
    b.numPoints = s.numPoints;
    b.totalDist = s.totalDist;
    b.hasAltitude = s.hasAltitude;
}

bool digits(const QString &text, int pos, int count, int *value)
{
    if (pos + count > text.size())
        return false;
    int v = 0;
    for (int i = 0; i < count; ++i) {
        const QChar c = text.at(pos + i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        v = v * 10 + (c.unicode() - '0');
    }
    *value = v;
    return true;
}

// Days from 1970-01-01 to the given proleptic Gregorian date.
int64_t daysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

bool isLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

} // namespace

QString gpxEmptyNameWarning() { return QStringLiteral("Name is empty."); }

bool parseGpxTime(const QString &raw, uint32_t *seconds)
{
    const QString text = raw.trimmed();
    int year, month, day, hour, minute, second;
    if (!digits(text, 0, 4, &year) || text.size() < 19 || text.at(4) != QLatin1Char('-')
        || !digits(text, 5, 2, &month) || text.at(7) != QLatin1Char('-')
        || !digits(text, 8, 2, &day) || text.at(10) != QLatin1Char('T')
        || !digits(text, 11, 2, &hour) || text.at(13) != QLatin1Char(':')
        || !digits(text, 14, 2, &minute) || text.at(16) != QLatin1Char(':')
        || !digits(text, 17, 2, &second))
        return false;
    static const int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1
        || day > kMonthDays[month - 1] + (month == 2 && isLeap(year) ? 1 : 0) || hour > 23
        || minute > 59 || second > 59)
        return false;

    int pos = 19;
    if (pos < text.size() && text.at(pos) == QLatin1Char('.')) {
        ++pos;
        const int start = pos;
        while (pos < text.size() && text.at(pos).isDigit() && text.at(pos).unicode() < 128)
            ++pos;
        if (pos == start)
            return false;
    }
    int64_t zoneSeconds = 0;
    if (pos < text.size()) {
        const QChar z = text.at(pos);
        if (z == QLatin1Char('Z') && pos + 1 == text.size()) {
            // UTC
        } else if ((z == QLatin1Char('+') || z == QLatin1Char('-')) && pos + 6 == text.size()
                   && text.at(pos + 3) == QLatin1Char(':')) {
            int zh, zm;
            if (!digits(text, pos + 1, 2, &zh) || !digits(text, pos + 4, 2, &zm) || zh > 23
                || zm > 59)
                return false;
            zoneSeconds = (zh * 3600 + zm * 60) * (z == QLatin1Char('-') ? -1 : 1);
        } else {
            return false;
        }
    }
    const int64_t t = daysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60
                    + second - zoneSeconds;
    if (t < 0 || t >= static_cast<int64_t>(NO_TIME))
        return false;
    *seconds = static_cast<uint32_t>(t);
    return true;
}

GpxImportResult importGpxTrack(int block, QIODevice &device)
{
    GpxImportResult result;
    if (block < 0 || block >= MAX_BLOCKS || !device.isReadable())
        return result;
    auto staging = std::make_unique<Staging>();
    const double bearingBefore = lastBearing;
    GpxParser parser(device, *staging);
    if (!parser.run()) {
        lastBearing = bearingBefore;  // nothing of a broken file stays behind
        return result;
    }
    commit(*staging, track().block[block]);
    if (parser.stoppedOnEmptyName()) {
        result.warning = gpxEmptyNameWarning();
        return result;
    }
    result.ok = true;
    return result;
}

GpxImportResult importGpxTrack(int block, const QString &path)
{
    QFile file(path);
    const QFileInfo info(path);
    if (block < 0 || block >= MAX_BLOCKS || !info.isFile() || info.size() > GPX_MAX_FILE_BYTES
        || !file.open(QIODevice::ReadOnly))
        return {};
    GpxImportResult result = importGpxTrack(block, file);
    if (result.ok || !result.warning.isEmpty())
        track().block[block].telemetryFile = info;
    return result;
}

} // namespace vx
