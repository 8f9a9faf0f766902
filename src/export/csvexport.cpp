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

#include "settings/settings.h"
#include "track/trackstore.h"

#include <algorithm>
#include <cmath>
#include <memory>

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

void appendCoordinates(QByteArray &line, int format, const CoordinateBuffers &c)
{
    line += c.latDeg;
    line += ", ";
    if (format >= 1) {
        line += c.latMin;
        line += ", ";
    }
    if (format == 2) {
        line += c.latSec;
        line += ", ";
    }
    line += c.lonDeg;
    if (format >= 1) {
        line += ", ";
        line += c.lonMin;
    }
    if (format == 2) {
        line += ", ";
        line += c.lonSec;
    }
    line += ',';
}

} // namespace

ExportResult exportCsv(const QString &path)
{
    ExportFile file(path);
    if (!file.open())
        return file.failure();
    QByteArray &out = file.text();

    const TrackStore &t = track();
    const SettingsRecord &s = settings();
    const int numBlocks = std::clamp(t.numBlocks, 0, MAX_BLOCKS);
    const int format = s.datumFormat == 0 || s.datumFormat == 1 ? s.datumFormat : 2;

    bool altitudeColumn = false;
    bool satsColumn = false;
    for (int b = 0; b < numBlocks; ++b) {
        altitudeColumn = altitudeColumn || t.block[b].hasAltitude;
        satsColumn = satsColumn || t.block[b].hasSats;
    }

    const QByteArray speedUnit = speedUnitName(s.speedUnitIndex).toUtf8();
    const QByteArray distUnit = distanceUnitName(s.distUnitIndex).toUtf8();
    appendCFormat(out, kCsvHeads[format], speedUnit.constData(), distUnit.constData(),
                  distUnit.constData());
    if (altitudeColumn)
        appendCFormat(out, ",Altitude(%s)", altitudeUnitName(s.altUnits).toUtf8().constData());
    if (satsColumn)
        out += ",SatCount";
    out += '\n';

    // Local time = UTC + the offset in whole seconds (truncated).
    const int64_t localOffsetS = static_cast<int64_t>(std::trunc(s.localTimeOffset * 3600.0));
    double runningDist = 0.0;  // over the whole file, not per movie
    const auto coordinates = std::make_unique<CoordinateBuffers>();
    for (int b = 0; b < numBlocks; ++b) {
        const MovieBlock &blk = t.block[b];
        const int n = std::clamp(blk.numPoints, 0, MAX_POINTS);
        if (!blk.active || n < 1)
            continue;
        const QByteArray name = blk.movieFile.fileName().toUtf8();
        for (int i = 0; i < n; ++i) {
            const CivilTime utc = civilFromSeconds(blk.gpsTime[i]);
            const CivilTime local = civilFromSeconds(static_cast<int64_t>(blk.gpsTime[i]) + localOffsetS);
            out += name;
            out += ", ";
            appendDateText(out, local);
            out += ", ";
            appendTimeText(out, local);
            out += ", ";
            appendDateText(out, utc);
            out += ", ";
            appendTimeText(out, utc);
            out += ", ";
            formatCoordinates(format, true, blk.lat[i], blk.lon[i], *coordinates);
            appendCoordinates(out, format, *coordinates);
            runningDist += blk.segDist[i] * s.distFactor;
            appendCFormat(out, "%5.1f,%12.3lf,%12.3lf,%7.1lf", blk.speed[i] * s.speedFactor, runningDist,
                          blk.los[i] * s.distFactor, blk.bearing[i]);
            // A movie without altitude or satellites has none: its column
            // reads 0 whatever the arrays hold.
            if (altitudeColumn)
                appendCFormat(out, ",%7.1lf", blk.hasAltitude ? blk.altitude[i] * s.altFactor : 0.0);
            if (satsColumn)
                appendCFormat(out, ",%d", blk.hasSats ? blk.sats[i] : 0);
            out += '\n';
        }
        file.writeIfLarge();
    }
    return file.finish();
}

} // namespace vx
