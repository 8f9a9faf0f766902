#include "referencereaders.h"

#include "settings/settings.h"
#include "track/geo.h"
#include "track/subtitlereaders.h"
#include "track/textlines.h"
#include "track/trackstore.h"

#include <QBuffer>
#include <QDateTime>
#include <QRegularExpression>
#include <cmath>

using namespace vx;

namespace vxref {

namespace {

#define NUM "[-+]?[0-9]*\\.?[0-9]+"

QRegularExpression re(const char *p, bool limited) {
    // The readers' matching engine, so that the bound on matching work counts alike.
    const QString limit = limited ? QStringLiteral("(*LIMIT_MATCH=%1)").arg(PATTERN_MATCH_LIMIT) : QString();
    QRegularExpression r(limit + QString::fromLatin1(p));
    r.optimize();
    return r;
}

struct Patterns {
    QRegularExpression time, dates[3], gps[5], relAlt, altitude, leading, e, f;
    explicit Patterns(bool l)
        : time(re("(\\d\\d):(\\d\\d):(\\d\\d),(\\d\\d\\d) -->", false))
        , dates{re("HOME.*\\s*(\\d\\d\\d\\d).(\\d+).(\\d+)\\s*(\\d+):(\\d+):(\\d+)", l),
                re("(\\d\\d\\d\\d)-(\\d+)-(\\d+)\\s*(\\d+):(\\d+):(\\d+)", l),
                re("(\\d\\d\\d\\d)\\.(\\d+)\\.(\\d+)\\s*(\\d+):(\\d+):(\\d+)", l)}
        , gps{re("GPS.*\\((" NUM "),(" NUM "),([0-9]+)\\)\\s+(Hb|BAROMETER):(" NUM ").*(Hs|ULTRASONIC)*:*(" NUM ")*", l),
              re("GPS.*\\((" NUM "),(" NUM "),([-+]?[0-9]*\\.[0-9]+)\\)", l),
              re("\\[latitude\\s*:\\s*(" NUM ")\\]\\s*\\[longt?itude\\s*:\\s*(" NUM ")\\]\\s*", l),
              re("GPS.*\\((" NUM "),(" NUM "),(" NUM ")M\\)\\s+BAROMETER:(" NUM ")M", l),
              re("GPS.*\\((" NUM "),\\s*(" NUM "),\\s*([0-9]+)\\),.*H\\s+(" NUM ").*H.S\\s+(\\S*)", l)}
        , relAlt(re("rel_alt\\s*:\\s*(" NUM ")", l))
        , altitude(re("altitude\\s*:\\s*(" NUM ")", l))
        , leading(re("^[-+]?[0-9]*\\.?[0-9]+", false))
        , e(re("GPS.*\\((" NUM "),\\s*(" NUM "),\\s*([0-9]+)\\),.*H\\s+(" NUM ").*H.S\\s+(" NUM ")", l))
        , f(re("(" NUM "),(" NUM "),(" NUM ")," NUM ",(" NUM ")," NUM "," NUM "," NUM "," NUM "," NUM "," NUM
               ",(\\d\\d\\d\\d)-(\\d\\d)-(\\d\\d)\\s(\\d\\d):(\\d\\d):(\\d\\d).*,\\d\\d\\d\\d-\\d\\d-\\d\\d\\s\\d\\d:"
               "\\d\\d:" NUM ",(\\d+)", l)) {}
};

const Patterns &patterns(bool limited) {
    static const Patterns withLimit(true), without(false);
    return limited ? withLimit : without;
}

// Lines split at \n, \r\n or \r, cut at the first NUL and at MAX_LINE_BYTES.
QList<QString> linesOf(const QByteArray &bytes) {
    QList<QString> lines;
    const int n = bytes.size();
    for (int start = 0, end = 0; start < n; start = end + 1) {
        for (end = start; end < n && bytes[end] != '\n' && bytes[end] != '\r';)
            ++end;
        QByteArray line = bytes.mid(start, end - start).left(MAX_LINE_BYTES);
        if (line.contains('\0'))
            line.truncate(line.indexOf('\0'));
        lines.append(QString::fromLatin1(line));
        if (end + 1 < n && bytes[end] == '\r' && bytes[end + 1] == '\n')
            ++end;
    }
    return lines;
}

double num(const QString &s) {
    bool ok = false;
    const double v = s.toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

int integer(const QString &s) { return s.toInt(); }  // 0 when not a number or too large

template <class F>
void findAll(const QRegularExpression &r, const QString &s, F f) {
    QRegularExpressionMatchIterator it = r.globalMatch(s);
    while (it.hasNext())
        f(it.next());
}

// The last cue time of the line into h, m, s; whether there was one.
bool cueTime(const QRegularExpression &time, const QString &line, int &h, int &m, int &s) {
    bool found = false;
    findAll(time, line, [&](const QRegularExpressionMatch &x) {
        h = x.captured(1).toInt(), m = x.captured(2).toInt(), s = x.captured(3).toInt();
        found = true;
    });
    return found;
}

void store(MovieBlock &b, int i, uint32_t t, double lat, double lon, double alt, int sats, double dist, double bearing,
           float speed) {
    b.gpsTime[i] = t, b.lat[i] = lat, b.lon[i] = lon, b.altitude[i] = alt, b.sats[i] = sats;
    b.segDist[i] = dist, b.bearing[i] = bearing, b.speed[i] = speed;
}

} // namespace

void readSidecar(int block, const QByteArray &bytes, bool matchLimit) {
    const Patterns &p = patterns(matchLimit);
    MovieBlock &blk = track().block[block];
    int h = 0, m = 0, s = 0, count = 0;
    uint32_t base = 0, last = 0;
    bool first = true;
    double prevLat = 0, prevLon = 0, total = 0;
    for (const QString &line : linesOf(bytes)) {
        cueTime(p.time, line, h, m, s);
        for (const QRegularExpression &d : p.dates) {
            findAll(d, line, [&](const QRegularExpressionMatch &x) {
                if (!first)
                    return;
                const QString text = x.captured(1) + QString::asprintf("%02d%02d", integer(x.captured(2)),
                                   integer(x.captured(3))) + x.captured(4) + x.captured(5) + x.captured(6);
                const QDateTime dt = QDateTime::fromString(text, QStringLiteral("yyyyMMddhhmmss"));
                base = dt.isValid() ? uint32_t(dt.toSecsSinceEpoch()) : NO_TIME;
            });
        }
        const uint32_t t = base + uint32_t(h * 3600 + m * 60 + s);
        bool matched = false;
        for (int g = 0; g < 5; ++g) {
            if (g == 4 && matched)
                break;
            findAll(p.gps[g], line, [&](const QRegularExpressionMatch &x) {
                matched = true;
                const uint32_t dt = t - last;
                last = t;
                if ((dt == 0 && !first) || count >= MAX_POINTS)
                    return;
                double alt = 0, speedMs = 0;
                int sats = 0;
                bool hasAlt = true, hasSats = g == 0 || g == 4, keepSats = g == 3, hasSpeed = false;
                const bool latFirst = g == 2 || g == 3;
                const double lat = num(x.captured(latFirst ? 1 : 2)), lon = num(x.captured(latFirst ? 2 : 1));
                if (g == 0 || g == 4)
                    sats = integer(x.captured(3));
                if (g != 2)
                    alt = num(x.captured(g == 0 ? 5 : g == 1 ? 3 : 4));
                if (g == 2) {
                    const QRegularExpressionMatch r = p.relAlt.match(line), a = p.altitude.match(line);
                    hasAlt = r.hasMatch() || a.hasMatch();
                    alt = r.hasMatch() ? num(r.captured(1)) : a.hasMatch() ? num(a.captured(1)) : 0.0;
                } else if (g == 4) {
                    const QRegularExpressionMatch l = p.leading.match(x.captured(5));
                    hasSpeed = l.hasMatch();
                    speedMs = hasSpeed ? num(l.captured(0)) : 0.0;
                }
                double dist = 0, bearing = 0, speed = 0;
                if (!first) {
                    const GeoStep step = greatCircleStep(prevLat, prevLon, lat, lon);
                    dist = step.distKm;
                    bearing = step.bearingDeg;
                    speed = dist == 0.0 ? 0.0 : dist / dt * 3600.0;
                }
                if (hasSpeed)
                    speed = speedMs * 3.6;
                store(blk, count, t, lat, lon, alt, sats, dist, bearing, float(speed));
                blk.hasAltitude = hasAlt;
                if (!keepSats)
                    blk.hasSats = hasSats;
                total += dist;
                ++count;
                first = false;
                prevLat = lat, prevLon = lon;
            });
        }
    }
    blk.numPoints = count;
    blk.totalDist = total;
    track().relativeAltitude = true;
}

void readEmbedded(int block, const QByteArray &bytes, bool matchLimit) {
    const Patterns &p = patterns(matchLimit);
    MovieBlock &blk = track().block[block];
    QDateTime start = blk.movieFile.lastModified();
    uint32_t startSecs = 0;
    if (start.isValid()) {
        if (blk.duration > 0)
            start = start.addMSecs(-qint64(double(blk.duration) * 1000.0));
        start = start.addSecs(settings().clockBias);
        startSecs = uint32_t(QDateTime(start.date(), start.time(), Qt::UTC).toSecsSinceEpoch());
    }
    int h = 0, m = 0, s = 0, count = 0;
    uint32_t base = 0, last = 0;
    bool first = true;
    double prevLat = 0, prevLon = 0, total = 0;
    for (const QString &line : linesOf(bytes)) {
        if (cueTime(p.time, line, h, m, s) && first)
            base = startSecs;
        const uint32_t t = base + uint32_t(h * 3600 + m * 60 + s);
        findAll(p.e, line, [&](const QRegularExpressionMatch &x) {
            if (count >= MAX_POINTS)
                return;
            const double lon = num(x.captured(1)), lat = num(x.captured(2));
            double dist = 0, bearing = 0;
            if (!first) {
                if (t == last || (lat == prevLat && lon == prevLon)) {
                    bearing = lastBearing;
                } else {
                    const GeoStep step = greatCircleStep(prevLat, prevLon, lat, lon);
                    dist = step.distKm;
                    bearing = step.bearingDeg;
                }
            }
            store(blk, count, t, lat, lon, num(x.captured(4)), integer(x.captured(3)), dist, bearing,
                  float(num(x.captured(5)) * 3.6));
            blk.hasAltitude = blk.hasSats = true;
            total += dist;
            if (t != last || first)
                ++count;
            last = t;
            prevLat = lat, prevLon = lon;
            first = false;
        });
    }
    blk.numPoints = count;
    blk.totalDist = total;
}

void readFlightLog(int block, const QByteArray &bytes, bool matchLimit) {
    const QRegularExpression &f = patterns(matchLimit).f;
    MovieBlock &blk = track().block[block];
    const QList<QString> lines = linesOf(bytes);
    const int step = !lines.isEmpty() && lines.first().contains(QLatin1String("compass_heading")) ? 1 : 4;
    long long k = 0;
    int stored = 0;
    for (const QString &line : lines) {
        findAll(f, line, [&](const QRegularExpressionMatch &x) {
            if (stored >= MAX_POINTS || k++ % step != 0)
                return;
            blk.lat[stored] = num(x.captured(1));
            blk.lon[stored] = num(x.captured(2));
            blk.altitude[stored] = num(x.captured(3)) / 3.28084;
            blk.speed[stored] = float(num(x.captured(4)) / 0.621371);
            blk.sats[stored] = integer(x.captured(11));
            QDateTime dt = QDateTime::fromString(x.captured(5) + x.captured(6) + x.captured(7) + x.captured(8)
                                                     + x.captured(9) + x.captured(10),
                                                 QStringLiteral("yyyyMMddhhmmss"));
            dt.setTimeSpec(Qt::UTC);
            blk.gpsTime[stored] = dt.isValid() ? uint32_t(dt.toSecsSinceEpoch()) : NO_TIME;
            blk.hasAltitude = blk.hasSats = true;
            ++stored;
        });
    }
    blk.numPoints = stored;
    track().relativeAltitude = true;
}

const MovieBlock &readBytes(void (*read)(int, QIODevice &), int block, const QByteArray &bytes) {
    QBuffer in;
    in.setData(bytes);
    in.open(QIODevice::ReadOnly);
    read(block, in);
    return track().block[qBound(0, block, MAX_BLOCKS - 1)];  // a block outside the store is never read
}

QByteArray disagreement(void (*read)(int, QIODevice &), void (*plain)(int, const QByteArray &, bool),
                        const QByteArray &bytes, bool matchLimit) {
    lastBearing = 0;
    readBytes(read, 0, bytes);
    const double bearing = lastBearing;
    lastBearing = 0;
    plain(1, bytes, matchLimit);
    const QByteArray difference = compareBlocks(0, 1);
    const bool sameBearing = bearing == lastBearing || (std::isnan(bearing) && std::isnan(lastBearing));
    return difference.isEmpty() && !sameBearing ? QByteArray("lastBearing differs") : difference;
}

QByteArray compareBlocks(int a, int b) {
    const MovieBlock &x = track().block[a];
    const MovieBlock &y = track().block[b];
    auto differs = [](double p, double q) { return !(p == q || (std::isnan(p) && std::isnan(q))); };
    if (x.numPoints != y.numPoints)
        return "numPoints " + QByteArray::number(x.numPoints) + " != " + QByteArray::number(y.numPoints);
    if (x.hasAltitude != y.hasAltitude || x.hasSats != y.hasSats || differs(x.totalDist, y.totalDist))
        return "flags or totalDist differ";
    for (int i = 0; i < x.numPoints; ++i) {
        if (x.gpsTime[i] != y.gpsTime[i] || differs(x.lat[i], y.lat[i]) || differs(x.lon[i], y.lon[i])
            || differs(x.speed[i], y.speed[i]) || differs(x.segDist[i], y.segDist[i])
            || differs(x.bearing[i], y.bearing[i]) || (x.hasAltitude && differs(x.altitude[i], y.altitude[i]))
            || (x.hasSats && x.sats[i] != y.sats[i]))
            return "point " + QByteArray::number(i) + " differs";
    }
    return QByteArray();
}

} // namespace vxref
