#include "repair.h"

#include "geo.h"
#include "settings/settings.h"
#include "trackstore.h"

#include <algorithm>
#include <cmath>

namespace vx {

namespace {

int usedBlocks() { return std::clamp(track().numBlocks, 0, MAX_BLOCKS); }
int pointsOf(const MovieBlock &blk) { return std::clamp(blk.numPoints, 0, MAX_POINTS); }

// Times compare as signed 32-bit values; the no-time marker reads as -1.
int32_t signedTime(uint32_t t) { return static_cast<int32_t>(t); }
int32_t nextSecond(int32_t r) { return static_cast<int32_t>(static_cast<uint32_t>(r) + 1u); }

// Step 2: times running backwards (code 5) and forward jumps of more than
// 300 s (pulled back, no code). A point out of order takes the position,
// speed, altitude and satellites of the point before it; point 0 has none
// in its block and keeps its own.
void repairOrder()
{
    int32_t r = 0;  // carried from block to block
    for (int b = 0; b < usedBlocks(); ++b) {
        MovieBlock &blk = track().block[b];
        bool started = false;
        for (int i = 0; i < pointsOf(blk); ++i) {
            if (!started && blk.gpsTime[i] != NO_TIME) {
                r = signedTime(blk.gpsTime[i]);
                started = true;
            }
            const int32_t t = signedTime(blk.gpsTime[i]);
            if (static_cast<int64_t>(t) > static_cast<int64_t>(r) + 300) {
                r = nextSecond(r);
                blk.gpsTime[i] = static_cast<uint32_t>(r);
            } else if (t < r) {
                r = nextSecond(r);
                blk.gpsTime[i] = static_cast<uint32_t>(r);
                if (i > 0) {
                    blk.lat[i] = blk.lat[i - 1];
                    blk.lon[i] = blk.lon[i - 1];
                    blk.speed[i] = blk.speed[i - 1];
                    blk.altitude[i] = blk.altitude[i - 1];
                    blk.sats[i] = blk.sats[i - 1];
                }
                blk.repairCode = 5;
            } else {
                r = t;
            }
        }
    }
}

// Step 3: clock values outside the valid window (code 2), mended backwards
// from the nearest later valid point. A block whose last point is itself
// outside the window has no valid reference at its end (for instance
// subtitle telemetry without any date) and is left as it is, rather than
// have its whole track collapsed onto its last position.
void repairBadTimes()
{
    for (int b = 0; b < usedBlocks(); ++b) {
        MovieBlock &blk = track().block[b];
        const int n = pointsOf(blk);
        if (n == 0 || !inValidTimeWindow(blk.gpsTime[n - 1]))
            continue;
        int refIndex = n - 1;
        for (int i = n - 1; i >= 0; --i) {
            if (inValidTimeWindow(blk.gpsTime[i])) {
                refIndex = i;
                continue;
            }
            blk.gpsTime[i] = blk.gpsTime[refIndex] - static_cast<uint32_t>(refIndex - i);
            blk.lat[i] = blk.lat[refIndex];
            blk.lon[i] = blk.lon[refIndex];
            blk.speed[i] = blk.speed[refIndex];
            blk.repairCode = 2;
        }
    }
}

// Step 4: a five-point running mean of the speed, in place, so that the two
// values before i are already smoothed when i is computed.
void smoothSpeeds()
{
    if (!track().relativeAltitude)
        return;
    for (int b = 0; b < usedBlocks(); ++b) {
        MovieBlock &blk = track().block[b];
        const int n = pointsOf(blk);
        if (n <= 4)
            continue;
        float *s = blk.speed;
        for (int i = 2; i <= n - 4; ++i)
            s[i] = (s[i - 2] + s[i - 1] + s[i] + s[i + 1] + s[i + 2]) / 5.0f;
    }
}

bool nearZero(double v) { return std::fabs(v) <= 1e-7; }
bool clearOfZero(double v) { return std::fabs(v) > 1e-7; }

// Step 5: zero positions (code 1), speeds out of 0 .. 500 km/h (code 3),
// then segDist, los, bearing, totalDist and vmax over all blocks as one
// flight. Zero positions before the first good position of the pass take
// that first good position.
void repairPositionsAndMeasure()
{
    TrackStore &t = track();
    double goodLat = 0, goodLon = 0;
    bool found = false;
    for (int b = 0; b < usedBlocks() && !found; ++b) {
        const MovieBlock &blk = t.block[b];
        for (int i = 0; i < pointsOf(blk); ++i) {
            if (clearOfZero(blk.lat[i]) && clearOfZero(blk.lon[i])) {
                goodLat = blk.lat[i];
                goodLon = blk.lon[i];
                found = true;
                break;
            }
        }
    }

    float goodSpeed = 0;
    bool first = true;
    double homeLat = 0, homeLon = 0;
    uint32_t homeTime = 0;
    double prevLat = 0, prevLon = 0;
    uint32_t prevTime = 0;
    for (int b = 0; b < usedBlocks(); ++b) {
        MovieBlock &blk = t.block[b];
        blk.totalDist = 0;
        blk.vmax = 0;
        for (int i = 0; i < pointsOf(blk); ++i) {
            if (clearOfZero(blk.lat[i]) && clearOfZero(blk.lon[i])) {
                goodLat = blk.lat[i];
                goodLon = blk.lon[i];
            } else if (nearZero(blk.lat[i]) && nearZero(blk.lon[i])) {
                blk.lat[i] = goodLat;
                blk.lon[i] = goodLon;
                blk.repairCode = 1;
            }

            if (blk.speed[i] >= 0.0f && blk.speed[i] <= 500.0f) {
                goodSpeed = blk.speed[i];
            } else {
                blk.speed[i] = goodSpeed;
                blk.repairCode = 3;
            }

            const double lat = blk.lat[i];
            const double lon = blk.lon[i];
            const uint32_t time = blk.gpsTime[i];
            if (first) {
                blk.segDist[i] = 0;
                blk.los[i] = 0;
                blk.bearing[i] = 0;
                homeLat = lat;
                homeLon = lon;
                homeTime = time;
                first = false;
            } else {
                if (time == homeTime || (lat == homeLat && lon == homeLon))
                    blk.los[i] = 0;
                else
                    blk.los[i] = greatCircleStep(homeLat, homeLon, lat, lon).distKm;
                if (time == prevTime)
                    blk.segDist[i] = 0;
                else
                    blk.segDist[i] = greatCircleStep(prevLat, prevLon, lat, lon).distKm;
                blk.bearing[i] = lastBearing;
            }
            blk.vmax = std::max(blk.vmax, static_cast<double>(blk.speed[i]));
            blk.totalDist += blk.segDist[i];
            prevLat = lat;
            prevLon = lon;
            prevTime = time;
        }
    }
}

// Step 6: a block with fewer points than its movie has whole seconds gets
// leading copies of its first point, one a second up to just before it
// (code 4). The line-of-sight values move with their points. A block with
// no points at all is filled with points without time or position.
void padShortBlocks()
{
    for (int b = 0; b < usedBlocks(); ++b) {
        MovieBlock &blk = track().block[b];
        const int n = pointsOf(blk);
        const double whole = std::trunc(static_cast<double>(blk.duration));
        if (!(whole > n))  // also an unknown (-1) or unreadable duration
            continue;
        const int expected = whole >= MAX_POINTS ? MAX_POINTS : static_cast<int>(whole);
        const int missing = expected - n;
        if (missing <= 0)
            continue;
        if (n > 0) {
            const uint32_t t0 = blk.gpsTime[0];
            // Every array moves with its point (cumDist too; it is summed
            // afresh below).
            for (int i = n - 1; i >= 0; --i)
                blk.copyPoint(i + missing, i);
            for (int j = 0; j < missing; ++j) {
                blk.copyPoint(j, missing);
                blk.gpsTime[j] = t0 - static_cast<uint32_t>(missing) + static_cast<uint32_t>(j);
                blk.segDist[j] = 0;
            }
        } else {
            for (int j = 0; j < expected; ++j) {
                blk.gpsTime[j] = NO_TIME;
                blk.lat[j] = 0;
                blk.lon[j] = 0;
                blk.speed[j] = 0;
                blk.segDist[j] = 0;
                blk.los[j] = 0;
                blk.bearing[j] = 0;
                blk.altitude[j] = 0;
                blk.sats[j] = 0;
            }
        }
        blk.numPoints = expected;
        blk.repairCode = 4;
    }
}

void accumulateDistances()
{
    for (int b = 0; b < usedBlocks(); ++b) {
        MovieBlock &blk = track().block[b];
        double sum = 0;
        for (int i = 0; i < pointsOf(blk); ++i) {
            sum += blk.segDist[i];
            blk.cumDist[i] = sum;
        }
    }
}

} // namespace

void repairTrack()
{
    TrackStore &t = track();
    for (int b = 0; b < usedBlocks(); ++b)
        t.block[b].numPoints = pointsOf(t.block[b]);
    shiftPointTimes(settings().utcOffset);
    repairOrder();
    repairBadTimes();
    smoothSpeeds();
    repairPositionsAndMeasure();
    padShortBlocks();
    accumulateDistances();
    for (int b = 0; b < usedBlocks(); ++b)
        t.playOrder[b] = b;
    t.playCount = usedBlocks();
}

void computeTrackStats()
{
    TrackStore &t = track();
    TrackStats &st = t.stats;
    st.minSpeed = 10000;
    st.maxSpeed = -100000;
    st.topSpeedBlock = 0;
    st.topSpeedPoint = 0;
    st.routeLength = 0;
    st.minLos = 0;
    st.maxLos = 0;
    st.minAltitude = 100000;
    st.maxAltitude = -100000;
    st.minSats = 100000;
    st.maxSats = -100000;
    st.peakSpeed = -100000;
    for (int b = 0; b < usedBlocks(); ++b) {
        const MovieBlock &blk = t.block[b];
        if (!blk.active)
            continue;
        st.routeLength += blk.totalDist;
        for (int i = 0; i < pointsOf(blk); ++i) {
            st.minSpeed = std::min(st.minSpeed, blk.speed[i]);
            if (blk.speed[i] > st.maxSpeed) {
                st.maxSpeed = st.peakSpeed = blk.speed[i];
                st.topSpeedBlock = b;
                st.topSpeedPoint = i;
            }
            st.minLos = std::min(st.minLos, blk.los[i]);
            st.maxLos = std::max(st.maxLos, blk.los[i]);
            if (blk.hasAltitude) {
                st.minAltitude = std::min(st.minAltitude, blk.altitude[i]);
                st.maxAltitude = std::max(st.maxAltitude, blk.altitude[i]);
            }
            if (blk.hasSats) {
                st.minSats = std::min(st.minSats, blk.sats[i]);
                st.maxSats = std::max(st.maxSats, blk.sats[i]);
            }
        }
    }
}

} // namespace vx
