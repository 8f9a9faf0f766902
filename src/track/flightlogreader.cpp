// The flight-log reader (<movie>.csv beside the movie): a table exported
// from the drone's flight records, one header line and then records such as
//
//   latitude,longitude,altitude(feet),ascent(feet),speed(mph),
//   distance(feet),max_altitude(feet),max_ascent(feet),max_speed(mph),
//   max_distance(feet),time(millisecond),datetime(utc),datetime(local),
//   satellites,pressure(Pa),temperature(F)
//   47.1,8.2,100.0,...,2014-10-02 17:01:05.0250,2014-10-02 19:01:05.0250,04,...
//
// (one line each in the file). Logs whose header has no "compass_heading"
// column hold four records a second, of which every fourth is kept; with it,
// every record is kept. Feet and miles per hour become metres and km/h; the
// UTC column gives the point time. Heights are above the take-off point.
#include "subtitlereaders.h"

#include "textlines.h"
#include "trackstore.h"

#include <QFile>
#include <QRegularExpression>

namespace vx {

namespace {

#define VX_NUM "[-+]?[0-9]*\\.?[0-9]+"

const QRegularExpression &patternF()
{
    static const QRegularExpression re = readerPattern(
        "(" VX_NUM "),(" VX_NUM "),(" VX_NUM ")," VX_NUM ",(" VX_NUM ")," VX_NUM "," VX_NUM "," VX_NUM "," VX_NUM
        "," VX_NUM "," VX_NUM ",(\\d\\d\\d\\d)-(\\d\\d)-(\\d\\d)\\s(\\d\\d):(\\d\\d):(\\d\\d).*,"
        "\\d\\d\\d\\d-\\d\\d-\\d\\d\\s\\d\\d:\\d\\d:" VX_NUM ",(\\d+)");
    return re;
}

#undef VX_NUM

} // namespace

uint32_t utcSecondsOrNoTime(int year, int month, int day, int hour, int minute, int second)
{
    static const int kDaysIn[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || month < 1 || month > 12 || day < 1 || hour < 0 || hour > 23 || minute < 0 || minute > 59
        || second < 0 || second > 59)
        return NO_TIME;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (day > kDaysIn[month - 1] + (month == 2 && leap ? 1 : 0))
        return NO_TIME;
    // Days since 1970-01-01 of a proleptic Gregorian date.
    const int64_t y = month <= 2 ? year - 1 : year;
    const int64_t era = y / 400;
    const int64_t yoe = y - era * 400;
    const int64_t mp = (month + 9) % 12;
    const int64_t doy = (153 * mp + 2) / 5 + day - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const int64_t days = era * 146097 + doe - 719468;
    const int64_t secs = days * 86400 + hour * 3600 + minute * 60 + second;
    return static_cast<uint32_t>(secs);
}

void readFlightLogFrom(int block, QIODevice &in)
{
    if (block < 0 || block >= MAX_BLOCKS)
        return;
    MovieBlock &blk = track().block[block];
    LineReader line(in);
    int step = 4;
    bool firstLine = true;
    int64_t k = 0;  // matches over the whole file
    int stored = 0;
    while (stored < MAX_POINTS && line.next()) {
        if (firstLine) {
            step = line.contains("compass_heading") ? 1 : 4;
            firstLine = false;
        }
        if (!line.contains(":") || !line.contains("-"))
            continue;
        forEachMatch(patternF(), line.text(), [&](const QRegularExpressionMatch &m) {
            if (k++ % step != 0)
                return true;
            const int i = stored;
            blk.lat[i] = capturedDouble(line, m, 1);
            blk.lon[i] = capturedDouble(line, m, 2);
            blk.altitude[i] = capturedDouble(line, m, 3) / 3.28084;
            blk.speed[i] = static_cast<float>(capturedDouble(line, m, 4) / 0.621371);
            blk.sats[i] = capturedInt(line, m, 11);
            blk.gpsTime[i] = utcSecondsOrNoTime(capturedInt(line, m, 5), capturedInt(line, m, 6),
                                                capturedInt(line, m, 7), capturedInt(line, m, 8),
                                                capturedInt(line, m, 9), capturedInt(line, m, 10));
            blk.hasAltitude = true;
            blk.hasSats = true;
            ++stored;
            return stored < MAX_POINTS;
        });
    }
    blk.numPoints = stored;
    track().relativeAltitude = true;
}

void readFlightLog(int block, const QString &path) { readTelemetryFile(block, path, readFlightLogFrom); }

} // namespace vx
