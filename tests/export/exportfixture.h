// A small Track store for the export tests, and the store at its capacity.
#pragma once

#include "export/geotags.h"
#include "settings/settings.h"
#include "track/trackstore.h"

#include <tuple>

namespace vxtest {

inline void setPoint(vx::MovieBlock &b, int i, uint32_t time, double lat, double lon, float speedKmh,
                     double segDistKm, double losKm, double bearing, double altitudeM, int sats) {
    std::tie(b.gpsTime[i], b.lat[i], b.lon[i], b.speed[i], b.segDist[i], b.los[i], b.bearing[i], b.altitude[i], b.sats[i]) =
        std::make_tuple(time, lat, lon, speedKmh, segDistKm, losKm, bearing, altitudeM, sats);
}

// km/h, metres, decimal degrees, local time 7.5 h behind UTC. DJI_0001.MOV (2 points, altitude, satellites),
// skipped.MOV (disabled), a&b<c>.mov (1 point, no altitude or satellites but stale values there), and a stale
// block 3 beyond the loaded movies that nothing may read. No geotags.
inline void loadExportFixture() {
    using namespace vx;
    setDefaultSettings();
    SettingsRecord &s = settings();
    std::tie(s.outUnits, s.altUnits, s.datumFormat, s.localTimeOffset) = std::make_tuple(1, 1, 0, -7.5f);
    recomputeFactors();
    resetTrackStore();
    clearGeotags();

    TrackStore &t = track();
    t.numBlocks = 3;
    auto movie = [&](int b, const char *name, int points, bool altitude, bool sats) -> MovieBlock & {
        MovieBlock &m = t.block[b];
        m.movieFile = QFileInfo(QString::fromUtf8(name));
        std::tie(m.numPoints, m.hasAltitude, m.hasSats) = std::make_tuple(points, altitude, sats);
        return m;
    };
    MovieBlock &a = movie(0, "/movies/DJI_0001.MOV", 2, true, true);
    setPoint(a, 0, 1489267325u, -20.2533, 149.0251, 36.0f, 0.0, 0.0, 0.0, 1.9, 16);
    setPoint(a, 1, 1489267326u, -20.2534, 149.0252, 54.5f, 0.0151, 0.0151, 135.26, 2.26, 17);
    setPoint(movie(1, "/movies/skipped.MOV", 1, true, false), 0, 1489270000u, 45.0, 7.0, 99.0f, 3.0, 3.0, 12.0, 100.0, 9);
    t.block[1].active = false;
    setPoint(movie(2, "/movies/a&b<c>.mov", 1, false, false), 0, 1489276800u, 0.5, -0.25, 10.0f, 1.5, 2.25, -90.0, 999.0, 5);
    setPoint(movie(3, "/movies/stale.MOV", 1, false, false), 0, 1489280000u, 10.0, 10.0, 50.0f, 0.5, 0.5, 0.0, 20.0, 8);
    rebuildPlayOrder();  // plays blocks 0 and 2
}

// 100 movies of 4000 points with altitude and satellites: about 50 MB in every export format.
inline void fillFullStore() {
    using namespace vx;
    resetTrackStore();
    TrackStore &t = track();
    t.numBlocks = MAX_BLOCKS;
    for (int b = 0; b < MAX_BLOCKS; ++b) {
        MovieBlock &blk = t.block[b];
        blk.movieFile = QFileInfo(QStringLiteral("/movies/DJI_%1.MOV").arg(b, 4, 10, QLatin1Char('0')));
        blk.hasAltitude = blk.hasSats = true;
        blk.numPoints = MAX_POINTS;
        for (int i = 0; i < MAX_POINTS; ++i)
            setPoint(blk, i, 1500000000u + b * MAX_POINTS + i, 46.5 + 1e-5 * i, 7.25 - 1e-5 * i, 30.0f + (i % 17),
                     0.0123, 1e-3 * i, -45.5, 500.0 + i % 50, 12);
    }
    rebuildPlayOrder();
}

} // namespace vxtest
