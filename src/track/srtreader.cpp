// The sidecar subtitle reader (<movie>.srt written by the camera beside the
// movie). The file is a subtitle file: numbered cues, each with a line
// "hh:mm:ss,mmm --> hh:mm:ss,mmm" and one or more text lines carrying the
// telemetry in one of these layouts:
//
//   G1  HOME(lon,lat) yyyy.mm.dd hh:mm:ss / GPS(lon,lat,sats) BAROMETER:alt
//       (or, oldest, "Hb:alt Hs:alt")
//   G2  GPS(lon,lat,alt.decimal)
//   G3  [latitude : lat] [longtitude : lon]  (newer: "longitude", and an
//       optional "[altitude: h]" or "[rel_alt: h abs_alt: h]" on the line)
//   G4  GPS(lat,lon,x.xM) BAROMETER:alt M   (latitude first)
//   S   F/2.8, SS .., GPS (lon, lat, sats), D ..m, H ..m, H.S ..m/s, ...
//       (a single line; H.S may read "n/a")
//
// with the date either on the HOME line or on a line of its own
// ("yyyy-mm-dd hh:mm:ss" or "yyyy.mm.dd hh:mm:ss"). A point's time is the
// first date seen plus the cue's start offset; the first GPS match of each
// distinct second becomes a point (a time equal to the previous match's
// stores nothing). Heights are above the take-off point, so
// reading such a file sets the store's relative-altitude flag.
//
// Every pattern is compiled once. A line is only converted to text and
// searched when a cheap literal test passes, and no GPS pattern runs for a
// line whose second already has its point: its matches could store nothing.
#include "subtitlereaders.h"

#include "geo.h"
#include "textlines.h"
#include "trackstore.h"

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>

namespace vx {

namespace {

#define VX_NUM "[-+]?[0-9]*\\.?[0-9]+"

struct SidecarPatterns {
    QRegularExpression homeDate = readerPattern("HOME.*\\s*(\\d\\d\\d\\d).(\\d+).(\\d+)\\s*(\\d+):(\\d+):(\\d+)");
    QRegularExpression dashDate = readerPattern("(\\d\\d\\d\\d)-(\\d+)-(\\d+)\\s*(\\d+):(\\d+):(\\d+)");
    QRegularExpression dotDate = readerPattern("(\\d\\d\\d\\d)\\.(\\d+)\\.(\\d+)\\s*(\\d+):(\\d+):(\\d+)");
    QRegularExpression g1 = readerPattern("GPS.*\\((" VX_NUM "),(" VX_NUM "),([0-9]+)\\)\\s+(Hb|BAROMETER):(" VX_NUM
                                     ").*(Hs|ULTRASONIC)*:*(" VX_NUM ")*");
    QRegularExpression g2 = readerPattern("GPS.*\\((" VX_NUM "),(" VX_NUM "),([-+]?[0-9]*\\.[0-9]+)\\)");
    QRegularExpression g3 = readerPattern("\\[latitude\\s*:\\s*(" VX_NUM ")\\]\\s*\\[longt?itude\\s*:\\s*(" VX_NUM
                                     ")\\]\\s*");
    QRegularExpression g4 = readerPattern("GPS.*\\((" VX_NUM "),(" VX_NUM "),(" VX_NUM ")M\\)\\s+BAROMETER:(" VX_NUM ")M");
    // The single-line layout: the embedded stream's pattern with any H.S
    // value ("0.00m/s", "n/a").
    QRegularExpression single = readerPattern("GPS.*\\((" VX_NUM "),\\s*(" VX_NUM "),\\s*([0-9]+)\\),.*H\\s+(" VX_NUM
                                         ").*H.S\\s+(\\S*)");
    QRegularExpression relAlt = readerPattern("rel_alt\\s*:\\s*(" VX_NUM ")");
    QRegularExpression altitude = readerPattern("altitude\\s*:\\s*(" VX_NUM ")");
};

#undef VX_NUM

const SidecarPatterns &patterns()
{
    static const SidecarPatterns p;
    return p;
}

// One GPS sample found on a line, before it becomes a point.
struct Sample {
    double lat = 0;
    double lon = 0;
    double altitude = 0;
    int sats = 0;
    bool hasAltitude = false;
    bool hasSats = false;       // written by G1 and the single-line layout
    bool keepsHasSats = false;  // G4 leaves the block's flag as it was
    bool hasSpeed = false;      // the single-line layout's H.S value
    float speedKmh = 0;
};

class SidecarReader {
public:
    SidecarReader(MovieBlock &blk) : m_blk(blk) {}

    void read(QIODevice &in)
    {
        LineReader line(in);
        while (m_count < MAX_POINTS && line.next())
            readLine(line);
        m_blk.numPoints = m_count;
        m_blk.totalDist = m_total;
        track().relativeAltitude = true;
    }

private:
    void readLine(LineReader &line)
    {
        scanCueTimes(line.data(), line.size(), m_h, m_m, m_s, m_ms);
        if (m_firstPoint)
            readDates(line);
        const uint32_t t = m_dateBase + static_cast<uint32_t>(m_h * 3600 + m_m * 60 + m_s);
        // A match in a second that already has its point stores nothing.
        // The file's first match always does, also at time 0 (a file without
        // dates whose first cue starts at 00:00:00).
        if (t == m_lastTime && !m_firstPoint)
            return;
        Sample s;
        if (findGps(line, s))
            store(t, s);
    }

    void readDates(LineReader &line)
    {
        if (!line.contains(":"))
            return;
        const SidecarPatterns &p = patterns();
        if (line.contains("HOME"))
            applyDates(p.homeDate, line);
        if (line.contains("-"))
            applyDates(p.dashDate, line);
        if (line.contains("."))
            applyDates(p.dotDate, line);
    }

    void applyDates(const QRegularExpression &re, LineReader &line)
    {
        forEachMatch(re, line.text(), [&](const QRegularExpressionMatch &m) {
            QString text = m.captured(1);
            text += QStringLiteral("%1").arg(capturedInt(line, m, 2), 2, 10, QLatin1Char('0'));
            text += QStringLiteral("%1").arg(capturedInt(line, m, 3), 2, 10, QLatin1Char('0'));
            text += m.captured(4) + m.captured(5) + m.captured(6);
            m_dateBase = dateBaseOf(text);
            return true;
        });
    }

    // Local time of "yyyyMMddhhmmss" in seconds since 1970, or the no-time
    // marker. Consecutive cues repeat the same second, so the last text is kept.
    uint32_t dateBaseOf(const QString &text)
    {
        if (text != m_lastDateText) {
            m_lastDateText = text;
            const QDateTime dt = QDateTime::fromString(text, QStringLiteral("yyyyMMddhhmmss"));
            m_lastDateBase = dt.isValid() ? static_cast<uint32_t>(dt.toSecsSinceEpoch()) : NO_TIME;
        }
        return m_lastDateBase;
    }

    // The first match of the first layout that matches the line; the
    // single-line layout only when none of the others does.
    bool findGps(LineReader &line, Sample &s)
    {
        const SidecarPatterns &p = patterns();
        const bool gps = line.contains("GPS");
        QRegularExpressionMatch m;
        if (gps && (line.contains("BAROMETER") || line.contains("Hb"))) {
            m = p.g1.match(line.text());
            if (m.hasMatch()) {
                s.lon = capturedDouble(line, m, 1);
                s.lat = capturedDouble(line, m, 2);
                s.sats = capturedInt(line, m, 3);
                s.altitude = capturedDouble(line, m, 5);
                s.hasAltitude = s.hasSats = true;
                return true;
            }
        }
        if (gps) {
            m = p.g2.match(line.text());
            if (m.hasMatch()) {
                s.lon = capturedDouble(line, m, 1);
                s.lat = capturedDouble(line, m, 2);
                s.altitude = capturedDouble(line, m, 3);
                s.hasAltitude = true;
                return true;
            }
        }
        if (line.contains("[latitude")) {
            m = p.g3.match(line.text());
            if (m.hasMatch()) {
                s.lat = capturedDouble(line, m, 1);
                s.lon = capturedDouble(line, m, 2);
                s.hasAltitude = lineHeight(line, s.altitude);
                return true;
            }
        }
        if (gps && line.contains("BAROMETER:")) {
            m = p.g4.match(line.text());
            if (m.hasMatch()) {
                s.lat = capturedDouble(line, m, 1);
                s.lon = capturedDouble(line, m, 2);
                s.altitude = capturedDouble(line, m, 4);
                s.hasAltitude = true;
                s.keepsHasSats = true;
                return true;
            }
        }
        if (gps && line.contains("H")) {
            m = p.single.match(line.text());
            if (m.hasMatch()) {
                s.lon = capturedDouble(line, m, 1);
                s.lat = capturedDouble(line, m, 2);
                s.sats = capturedInt(line, m, 3);
                s.altitude = capturedDouble(line, m, 4);
                s.hasAltitude = s.hasSats = true;
                double metresPerSecond = 0;
                s.hasSpeed = leadingNumber(line, m.capturedStart(5), m.capturedLength(5), metresPerSecond);
                s.speedKmh = static_cast<float>(metresPerSecond * 3.6);
                return true;
            }
        }
        return false;
    }

    // The height a newer bracketed line carries beside its position: the
    // height above take-off ("rel_alt:") when present, else "altitude:".
    static bool lineHeight(LineReader &line, double &height)
    {
        const SidecarPatterns &p = patterns();
        QRegularExpressionMatch m;
        if (line.contains("rel_alt"))
            m = p.relAlt.match(line.text());
        if (!m.hasMatch() && line.contains("altitude"))
            m = p.altitude.match(line.text());
        height = m.hasMatch() ? capturedDouble(line, m, 1) : 0.0;
        return m.hasMatch();
    }

    // The number at the start of s[start, start + n) ("0.00m/s" gives 0.00).
    static bool leadingNumber(const LineReader &line, int start, int n, double &value)
    {
        value = 0;
        if (start < 0)
            return false;
        const char *s = line.data() + start;
        int i = 0;
        if (i < n && (s[i] == '+' || s[i] == '-'))
            ++i;
        int digits = 0;
        while (i < n && s[i] >= '0' && s[i] <= '9') {
            ++i;
            ++digits;
        }
        if (i < n && s[i] == '.') {
            ++i;
            while (i < n && s[i] >= '0' && s[i] <= '9') {
                ++i;
                ++digits;
            }
        }
        if (digits == 0)
            return false;
        value = parseDouble(s, i);
        return true;
    }

    void store(uint32_t t, const Sample &s)
    {
        const uint32_t dt = t - m_lastTime;
        m_lastTime = t;
        double dist = 0;
        double bearing = 0;
        float speedKmh = 0;
        if (!m_firstPoint) {
            const GeoStep step = greatCircleStep(m_prevLat, m_prevLon, s.lat, s.lon);
            dist = step.distKm;
            bearing = step.bearingDeg;
            speedKmh = dist == 0.0 ? 0.0f : static_cast<float>(dist / dt * 3600.0);
        }
        if (s.hasSpeed)
            speedKmh = s.speedKmh;

        const int i = m_count;
        m_blk.gpsTime[i] = t;
        m_blk.lat[i] = s.lat;
        m_blk.lon[i] = s.lon;
        m_blk.altitude[i] = s.altitude;
        // Layouts without a count write 0 rather than leave an older load's value.
        m_blk.sats[i] = s.sats;
        m_blk.segDist[i] = dist;
        m_blk.bearing[i] = bearing;
        m_blk.speed[i] = speedKmh;
        m_blk.hasAltitude = s.hasAltitude;
        if (!s.keepsHasSats)
            m_blk.hasSats = s.hasSats;

        m_total += dist;
        ++m_count;
        m_firstPoint = false;
        m_prevLat = s.lat;
        m_prevLon = s.lon;
    }

    MovieBlock &m_blk;
    int m_h = 0, m_m = 0, m_s = 0, m_ms = 0;  // the last cue start time
    uint32_t m_dateBase = 0;
    bool m_firstPoint = true;
    uint32_t m_lastTime = 0;
    double m_prevLat = 0, m_prevLon = 0;
    int m_count = 0;
    double m_total = 0;
    QString m_lastDateText;
    uint32_t m_lastDateBase = 0;
};

} // namespace

void readSidecarSubtitlesFrom(int block, QIODevice &in)
{
    if (block < 0 || block >= MAX_BLOCKS)
        return;
    SidecarReader(track().block[block]).read(in);
}

void readSidecarSubtitles(int block, const QString &path) { readTelemetryFile(block, path, readSidecarSubtitlesFrom); }

} // namespace vx
