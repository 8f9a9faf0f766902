// The embedded subtitle reader: the subtitle stream some drones record
// inside the movie, copied out to text by the media tool (see
// extractSubtitles). Cues carry one line per second such as
//
//   00:00:01,000 --> 00:00:02,000
//   F/3.2, SS 160, ISO 100, EV 0, GPS (8.2090, 47.4692, 18), D 49.21m,
//   H 45.60m, H.S 0.20m/s, V.S 0.00m/s          (one line in the file)
//
// with no date: a point's time is the movie's start time (its file's
// modification time less its duration, plus the clock bias) plus the cue's
// start offset. The first match of each second is the stored point; later
// matches of the same second are written into the next free slot and
// replaced by the next second's point, but still become the position the
// next point's distance is measured from.
#include "subtitlereaders.h"

#include "geo.h"
#include "settings/settings.h"
#include "textlines.h"
#include "trackstore.h"

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>

namespace vx {

namespace {

#define VX_NUM "[-+]?[0-9]*\\.?[0-9]+"

const QRegularExpression &patternE()
{
    static const QRegularExpression re = readerPattern("GPS.*\\((" VX_NUM "),\\s*(" VX_NUM "),\\s*([0-9]+)\\),.*H\\s+("
                                                       VX_NUM ").*H.S\\s+(" VX_NUM ")");
    return re;
}

#undef VX_NUM

// The movie's start time as a wall-clock reading taken as UTC, in seconds
// since 1970 (0 when the movie file has no modification time).
uint32_t movieStartReadAsUtc(const MovieBlock &blk)
{
    QDateTime start = blk.movieFile.lastModified();
    if (!start.isValid())
        return 0;
    if (blk.duration > 0)
        start = start.addMSecs(-static_cast<qint64>(static_cast<double>(blk.duration) * 1000.0));
    start = start.addSecs(settings().clockBias);
    const QDateTime asUtc(start.date(), start.time(), Qt::UTC);
    return static_cast<uint32_t>(asUtc.toSecsSinceEpoch());
}

class EmbeddedReader {
public:
    EmbeddedReader(MovieBlock &blk) : m_blk(blk) {}

    void read(QIODevice &in)
    {
        LineReader line(in);
        while (m_count < MAX_POINTS && line.next())
            readLine(line);
        m_blk.numPoints = m_count;
        m_blk.totalDist = m_total;
    }

private:
    void readLine(LineReader &line)
    {
        if (scanCueTimes(line.data(), line.size(), m_h, m_m, m_s, m_ms) && m_firstPoint) {
            if (!m_startKnown) {
                m_start = movieStartReadAsUtc(m_blk);
                m_startKnown = true;
            }
            m_dateBase = m_start;
        }
        if (!line.contains("GPS"))
            return;
        const uint32_t t = m_dateBase + static_cast<uint32_t>(m_h * 3600 + m_m * 60 + m_s);
        forEachMatch(patternE(), line.text(), [&](const QRegularExpressionMatch &m) {
            store(t, line, m);
            return m_count < MAX_POINTS;
        });
    }

    void store(uint32_t t, const LineReader &line, const QRegularExpressionMatch &m)
    {
        const double lon = capturedDouble(line, m, 1);
        const double lat = capturedDouble(line, m, 2);
        double dist = 0;
        double bearing = 0;
        if (!m_firstPoint) {
            if (t == m_lastTime || (lat == m_prevLat && lon == m_prevLon)) {
                bearing = lastBearing;
            } else {
                const GeoStep step = greatCircleStep(m_prevLat, m_prevLon, lat, lon);
                dist = step.distKm;
                bearing = step.bearingDeg;
            }
        }
        const int i = m_count;
        m_blk.gpsTime[i] = t;
        m_blk.lat[i] = lat;
        m_blk.lon[i] = lon;
        m_blk.sats[i] = capturedInt(line, m, 3);
        m_blk.altitude[i] = capturedDouble(line, m, 4);
        m_blk.speed[i] = static_cast<float>(capturedDouble(line, m, 5) * 3.6);
        m_blk.segDist[i] = dist;
        m_blk.bearing[i] = bearing;
        m_blk.hasAltitude = true;
        m_blk.hasSats = true;
        m_total += dist;
        // The file's first match always counts, also at time 0.
        if (t != m_lastTime || m_firstPoint)
            ++m_count;
        m_lastTime = t;
        m_prevLat = lat;
        m_prevLon = lon;
        m_firstPoint = false;
    }

    MovieBlock &m_blk;
    int m_h = 0, m_m = 0, m_s = 0, m_ms = 0;  // the last cue start time
    uint32_t m_dateBase = 0;
    uint32_t m_start = 0;
    bool m_startKnown = false;
    bool m_firstPoint = true;
    uint32_t m_lastTime = 0;
    double m_prevLat = 0, m_prevLon = 0;
    int m_count = 0;
    double m_total = 0;
};

} // namespace

void readEmbeddedSubtitlesFrom(int block, QIODevice &in)
{
    if (block < 0 || block >= MAX_BLOCKS)
        return;
    EmbeddedReader(track().block[block]).read(in);
}

void readEmbeddedSubtitles(int block, const QString &path) { readTelemetryFile(block, path, readEmbeddedSubtitlesFrom); }

} // namespace vx
