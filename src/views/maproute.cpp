#include "maproute.h"

#include "track/playbackmath.h"
#include "track/trackstore.h"
#include "views/speedcolor.h"

#include <algorithm>
#include <cmath>

namespace vx {

namespace {
constexpr double kDegToRad = 0.017453292519943295;
}

bool mapDrawable(double lat, double lon)
{
    if (!std::isfinite(lat) || !std::isfinite(lon) || std::fabs(lat) > 90.0 || std::fabs(lon) > 180.0)
        return false;
    return !(std::fabs(lat) < 1e-7 && std::fabs(lon) < 1e-7);
}

bool validMapClick(double lat, double lon)
{
    return std::isfinite(lat) && std::isfinite(lon) && std::fabs(lat) <= 90.0 && std::fabs(lon) <= 180.0;
}

QVector<RouteRun> routeRuns(const MovieBlock &m, int levels, double referenceKmh)
{
    QVector<RouteRun> runs;
    const int n = std::clamp(m.numPoints, 0, MAX_POINTS);
    bool previousDrawable = n > 0 && mapDrawable(m.lat[0], m.lon[0]);
    for (int i = 0; i + 1 < n; ++i) {
        const bool nextDrawable = mapDrawable(m.lat[i + 1], m.lon[i + 1]);
        if (previousDrawable && nextDrawable) {
            const int color = speedColorIndex(m.speed[i], referenceKmh, levels);
            if (!runs.isEmpty() && runs.last().last == i && runs.last().colorIndex == color)
                runs.last().last = i + 1;
            else
                runs.append(RouteRun{color, i, i + 1});
        }
        previousDrawable = nextDrawable;
    }
    return runs;
}

int firstDrawablePoint(const MovieBlock &m)
{
    const int n = std::clamp(m.numPoints, 0, MAX_POINTS);
    for (int i = 0; i < n; ++i) {
        if (mapDrawable(m.lat[i], m.lon[i]))
            return i;
    }
    return -1;
}

NearestPoint nearestTrackPoint(const TrackStore &t, double lat, double lon)
{
    NearestPoint best;
    if (!validMapClick(lat, lon))
        return best;
    const double phi = lat * kDegToRad;
    const double sinPhi = std::sin(phi);
    const double cosPhi = std::cos(phi);
    double bestAngle = 1e12;
    const int blocks = std::clamp(t.numBlocks, 0, MAX_BLOCKS);
    for (int b = 0; b < blocks; ++b) {
        const MovieBlock &m = t.block[b];
        if (!m.active || !blockHasTelemetry(m))
            continue;
        const int n = std::clamp(m.numPoints, 0, MAX_POINTS);
        for (int i = 0; i < n; ++i) {
            if (m.gpsTime[i] == NO_TIME || !mapDrawable(m.lat[i], m.lon[i]))
                continue;
            const double phiI = m.lat[i] * kDegToRad;
            const double c = sinPhi * std::sin(phiI) + cosPhi * std::cos(phiI) * std::cos((m.lon[i] - lon) * kDegToRad);
            // Rounding can carry the cosine of a click right on a point past 1.
            const double angle = std::acos(std::clamp(c, -1.0, 1.0));
            if (angle < bestAngle) {
                bestAngle = angle;
                best.block = b;
                best.point = i;
                best.angle = angle;
            }
        }
    }
    return best;
}

} // namespace vx
