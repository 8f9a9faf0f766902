// Support of the window tests: track stores for the graphs, blocks of points one second apart whose values vary from
// point to point (speed 0..99 km/h, negative bearings, altitudes below zero) with the statistics computed as after a
// load; the point the playback tick finds at a player position; a host that records what a window asks of it.
#pragma once

#include "settings/settings.h"
#include "track/playbackmath.h"
#include "track/repair.h"
#include "track/trackstore.h"
#include "views/viewhost.h"

#include <QStringList>
#include <QVector>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <tuple>

namespace vxtest {

struct BlockSpec {
    int points;
    bool active = true;
    bool altitude = true;
    bool sats = true;
};

constexpr uint32_t kFirstTime = 1700000000;
// The default distance and speed factor (miles).
constexpr double kMilesPerKm = 0.621371;
// Block b's points start 10000 s after block b - 1's.
inline void fillGraphStore(std::initializer_list<BlockSpec> blocks)
{
    using namespace vx;
    resetTrackStore();
    TrackStore &t = track();
    int b = 0;
    for (const BlockSpec &spec : blocks) {
        MovieBlock &m = t.block[b];
        std::tie(m.active, m.hasAltitude, m.hasSats, m.numPoints, m.duration, m.totalDist) =
            std::tuple(spec.active, spec.altitude, spec.sats, spec.points, float(spec.points), 0.0);
        for (int i = 0; i < spec.points; ++i) {
            m.gpsTime[i] = kFirstTime + 10000u * static_cast<uint32_t>(b) + static_cast<uint32_t>(i);
            m.speed[i] = static_cast<float>((i * 7 + b * 13) % 100);
            m.segDist[i] = 0.001 * (1 + (i + b) % 5);
            m.totalDist += m.segDist[i];
            m.los[i] = 0.01 * i;
            m.bearing[i] = -175.0 + (i * 11) % 350;
            m.altitude[i] = -23.0 + (i % 150);
            m.sats[i] = 4 + i % 9;
        }
        ++b;
    }
    t.numBlocks = b;
    computeTrackStats();
}

// The point the tick finds in `block` at `positionMs` of its movie (time factor 1).
inline int tickPoint(int block, qint64 positionMs, int timeBias)
{
    using namespace vx;
    const MovieBlock &m = track().block[block];
    TickInput in;
    std::tie(in.positionMs, in.modifiedMs, in.duration) =
        std::tuple(positionMs, m.movieFile.lastModified().toMSecsSinceEpoch(), m.duration);
    in.totalOffsetSec = totalTimeOffsetSec(m, *movieStartMs(in.modifiedMs, m.duration, 1, 0, false), timeBias);
    return lookUpPoint(track(), block, computeTickTimes(in).instantSec, nullptr);
}

// `onChange` applies the changed settings as the program's own host would.
struct RecordingHost : vx::ViewHost {
    bool busy = false;
    QList<QPair<int, qint64>> jumps;
    QVector<unsigned> changes;
    QStringList preferenceTabs;
    int geotags = 0;
    std::function<void(unsigned)> onChange = [](unsigned) {};
    bool storeBusy() const override { return busy; }
    void jumpToMovie(int block, qint64 positionMs) override { jumps << qMakePair(block, positionMs); }
    void settingsChanged(unsigned c) override
    {
        changes << c;
        vx::recomputeFactors();
        onChange(c);
    }
    void openPreferences(const QString &tab) override { preferenceTabs << tab; }
    void makeGeotag() override { ++geotags; }
};

} // namespace vxtest
