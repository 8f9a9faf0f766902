// CSV export: one header line, then one line per point of every active
// movie, comma separated (a space after most commas, numbers right-aligned
// in fixed widths):
//   Filename, DateLocal, TimeLocal, DateUTC, TimeUTC, coordinates (one, two
//   or three columns each for latitude and longitude by datumFormat),
//   Speed, Distance (running over the whole file), LOS, Bearing
//   [, Altitude] [, SatCount]
// in the user's speed, distance and altitude units. The altitude and
// satellite columns exist when any loaded movie (active or not) has them.
#include "trackexport.h"

#include "exportpipeline.h"
#include "numbertext.h"
#include "track/trackstore.h"

#include <algorithm>
#include <vector>
#include <cmath>

namespace vx {

namespace {

const char *const kCsvHeads[] = {
    "Filename,DateLocal,TimeLocal,DateUTC,TimeUTC,Latitude(Deg),Longitude(Deg),Speed(%s),"
    "Distance(%s),LOS(%s),Bearing(Deg)",
    "Filename,DateLocal,TimeLocal,DateUTC,TimeUTC,Latitude(Deg),Latitude(Min),Longitude(Deg),"
    "Longitude(Min),Speed(%s),Distance(%s),LOS(%s),Bearing(Deg)",
    "Filename,DateLocal,TimeLocal,DateUTC,TimeUTC,Latitude(Deg),Latitude(Min),Latitude(Sec),"
    "Longitude(Deg),Longitude(Min),Longitude(Sec),Speed(%s),Distance(%s),LOS(%s),Bearing(Deg)",
};

// Local time = UTC + the offset in whole seconds (truncated); an offset no
// clock can have is held to a century so that it never overflows.
int64_t localOffsetSeconds(float hours)
{
    const double s = std::trunc(static_cast<double>(hours) * 3600.0);
    return s == s ? static_cast<int64_t>(std::clamp(s, -3.2e9, 3.2e9)) : 0;
}

} // namespace

ExportResult writeCsv(const ExportSource &src, const QString &path, ExportProgress *progress)
{
    ExportFile file(path, progress);
    if (!file.open())
        return file.failure();

    const int format = src.datumFormat;
    bool altitudeColumn = false;
    bool satsColumn = false;
    for (const ExportSource::Movie &m : src.movies) {
        altitudeColumn = altitudeColumn || m.hasAltitude;
        satsColumn = satsColumn || m.hasSats;
    }

    QByteArray head = cFormat(kCsvHeads[format], src.speedUnit.constData(), src.distUnit.constData(),
                              src.distUnit.constData());
    if (altitudeColumn)
        appendCFormat(head, ",Altitude(%s)", src.altUnit.constData());
    if (satsColumn)
        head += ",SatCount";
    head += '\n';
    file.write(head);

    // The movies written, and the running distance (over the whole file, not
    // per movie) before each: the same sums in the same order as one pass.
    struct Piece {
        int block;
        double distanceBefore;
    };
    std::vector<Piece> pieces;  // read by several threads: no implicit sharing
    double runningDist = 0.0;
    for (int b = 0; b < src.movies.size(); ++b) {
        const ExportSource::Movie &m = src.movies[b];
        if (!m.active || m.points < 1)
            continue;
        pieces.push_back({b, runningDist});
        const MovieBlock &blk = src.store->block[b];
        for (int i = 0; i < m.points; ++i)
            runningDist += blk.segDist[i] * src.distFactor;
    }

    const int64_t localOffsetS = localOffsetSeconds(src.localTimeOffset);
    auto make = [&](int k, TextBuffer &out) {
        const ExportSource::Movie &m = src.movies[pieces[k].block];
        const MovieBlock &blk = src.store->block[pieces[k].block];
        double runningDist = pieces[k].distanceBefore;
        DateTimeWriter utc, local;
        const size_t nameLength = static_cast<size_t>(m.nameUtf8.size());
        const size_t rowMax = nameLength + 2 * COORDINATE_TEXT_MAX + 6 * FIXED_TEXT_MAX + 4 * DATE_TIME_TEXT_MAX + 64;
        // A movie without altitude or satellites has none: its column reads
        // 0 whatever the arrays hold.
        const bool altitude = altitudeColumn && m.hasAltitude;
        const bool sats = satsColumn && m.hasSats;
        for (int i = 0; i < m.points; ++i) {
            char *p = out.room(rowMax);
            p = putText(p, m.nameUtf8.constData(), nameLength);
            p = putText(p, ", ");
            p = local.write(p, static_cast<int64_t>(blk.gpsTime[i]) + localOffsetS, ", ", 2);
            p = putText(p, ", ");
            p = utc.write(p, blk.gpsTime[i], ", ", 2);
            p = putText(p, ", ");
            p = writeCoordinate(p, format, true, blk.lat[i], 2, ", ", 2);
            p = putText(p, ", ");
            p = writeCoordinate(p, format, true, blk.lon[i], 3, ", ", 2);
            *p++ = ',';
            runningDist += blk.segDist[i] * src.distFactor;
            p = writeFixed(p, blk.speed[i] * src.speedFactor, 1, 5);  // "%5.1f,%12.3lf,%12.3lf,%7.1lf"
            *p++ = ',';
            p = writeFixed(p, runningDist, 3, 12);
            *p++ = ',';
            p = writeFixed(p, blk.los[i] * src.distFactor, 3, 12);
            *p++ = ',';
            p = writeFixed(p, blk.bearing[i], 1, 7);
            if (altitudeColumn) {
                *p++ = ',';
                p = writeFixed(p, altitude ? blk.altitude[i] * src.altFactor : 0.0, 1, 7);
            }
            if (satsColumn) {
                *p++ = ',';
                p = writeInt(p, sats ? blk.sats[i] : 0);
            }
            *p++ = '\n';
            out.advance(p);
        }
    };
    writePiecesInOrder(file, static_cast<int>(pieces.size()), make, [&](int k) { return src.movies[pieces[k].block].points; });
    return file.finish();
}

} // namespace vx
