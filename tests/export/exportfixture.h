// A small Track store for the export tests: three movies, the middle one
// disabled, the last one without altitude or satellites and with a name that
// XML must escape.
#pragma once

#include "export/geotags.h"
#include "settings/settings.h"
#include "track/trackstore.h"

namespace vxtest {

inline void setPoint(vx::MovieBlock &b, int i, uint32_t time, double lat, double lon, float speedKmh,
                     double segDistKm, double losKm, double bearing, double altitudeM, int sats)
{
    b.gpsTime[i] = time;
    b.lat[i] = lat;
    b.lon[i] = lon;
    b.speed[i] = speedKmh;
    b.segDist[i] = segDistKm;
    b.los[i] = losKm;
    b.bearing[i] = bearing;
    b.altitude[i] = altitudeM;
    b.sats[i] = sats;
}

// Settings: km/h, km, metres, decimal degrees, local time 7.5 hours behind
// UTC. Store: DJI_0001.MOV (2 points, altitude, satellites), skipped.MOV
// (disabled), a&b<c>.mov (1 point, no altitude, no satellites; stale values
// in its arrays). No geotags.
inline void loadExportFixture()
{
    using namespace vx;
    setDefaultSettings();
    SettingsRecord &s = settings();
    s.outUnits = 1;
    s.altUnits = 1;
    s.datumFormat = 0;
    s.localTimeOffset = -7.5f;
    recomputeFactors();
    resetTrackStore();
    clearGeotags();

    TrackStore &t = track();
    t.numBlocks = 3;
    MovieBlock &a = t.block[0];
    a.movieFile = QFileInfo(QStringLiteral("/movies/DJI_0001.MOV"));
    a.hasAltitude = true;
    a.hasSats = true;
    a.numPoints = 2;
    setPoint(a, 0, 1489267325u, -20.2533, 149.0251, 36.0f, 0.0, 0.0, 0.0, 1.9, 16);
    setPoint(a, 1, 1489267326u, -20.2534, 149.0252, 54.5f, 0.0151, 0.0151, 135.26, 2.26, 17);

    MovieBlock &skipped = t.block[1];
    skipped.movieFile = QFileInfo(QStringLiteral("/movies/skipped.MOV"));
    skipped.active = false;
    skipped.hasAltitude = true;
    skipped.numPoints = 1;
    setPoint(skipped, 0, 1489270000u, 45.0, 7.0, 99.0f, 3.0, 3.0, 12.0, 100.0, 9);

    MovieBlock &c = t.block[2];
    c.movieFile = QFileInfo(QStringLiteral("/movies/a&b<c>.mov"));
    c.numPoints = 1;
    setPoint(c, 0, 1489276800u, 0.5, -0.25, 10.0f, 1.5, 2.25, -90.0, 999.0, 5);

    rebuildPlayOrder();  // plays blocks 0 and 2
}

// The store at its capacity (100 movies of 4000 points, each with altitude
// and satellites): about 50 MB in every export format.
inline void fillFullStore()
{
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
