// Times the track exports over a full Track store (100 movies of 4000 points,
// the store's capacity), the GPX import of a 4000-point file, and 4000 geoid
// corrections (one movie's worth). Prints one line per measurement.
#include "export/trackexport.h"
#include "settings/settings.h"
#include "track/geoid.h"
#include "track/gpxreader.h"
#include "track/trackstore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <functional>

using namespace vx;

namespace {

void fillStore()
{
    resetTrackStore();
    TrackStore &t = track();
    t.numBlocks = MAX_BLOCKS;
    for (int b = 0; b < MAX_BLOCKS; ++b) {
        MovieBlock &blk = t.block[b];
        blk.movieFile = QFileInfo(QStringLiteral("/movies/DJI_%1.MOV").arg(b, 4, 10, QLatin1Char('0')));
        blk.hasAltitude = blk.hasSats = true;
        blk.numPoints = MAX_POINTS;
        for (int i = 0; i < MAX_POINTS; ++i) {
            blk.gpsTime[i] = 1500000000u + b * MAX_POINTS + i;
            blk.lat[i] = 46.5 + 1e-5 * i;
            blk.lon[i] = 7.25 - 1e-5 * i;
            blk.speed[i] = 30.0f + (i % 17);
            blk.segDist[i] = 0.0123;
            blk.los[i] = 1e-3 * i;
            blk.bearing[i] = -45.5;
            blk.altitude[i] = 500.0 + i % 50;
            blk.sats[i] = 12;
        }
    }
    rebuildPlayOrder();
}

double timeMs(const std::function<void()> &f)
{
    QElapsedTimer t;
    t.start();
    f();
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    setDefaultSettings();
    QTemporaryDir dir;
    fillStore();

    for (int format = 0; format < 3; ++format) {
        settings().datumFormat = format;
        const QString path = dir.filePath(QStringLiteral("all.csv"));
        const double ms = timeMs([&] { exportCsv(path); });
        std::printf("CSV export, 400000 points, datumFormat %d: %.0f ms, %.1f MB\n", format, ms,
                    QFileInfo(path).size() / 1e6);
    }
    {
        const QString path = dir.filePath(QStringLiteral("all.gpx"));
        const double ms = timeMs([&] { exportGpx(path); });
        std::printf("GPX export, 400000 points: %.0f ms, %.1f MB\n", ms, QFileInfo(path).size() / 1e6);
    }
    {
        const QString path = dir.filePath(QStringLiteral("all.kml"));
        const double ms = timeMs([&] { exportKml(path); });
        std::printf("KML export, 400000 points: %.0f ms, %.1f MB\n", ms, QFileInfo(path).size() / 1e6);
    }

    // A GPX file of one block's capacity, written by the range writer.
    const QString gpx = dir.filePath(QStringLiteral("one.gpx"));
    exportGpxRange(gpx, 0, 0, 0, MAX_POINTS);
    const double importMs = timeMs([&] { importGpxTrack(1, gpx); });
    std::printf("GPX import, 4000 points (%.1f MB): %.1f ms -> %d points\n", QFileInfo(gpx).size() / 1e6,
                importMs, track().block[1].numPoints);

    setupGeoid();
    if (geoidAvailable()) {
        double sum = 0;
        bool ok = true;
        const double ms = timeMs([&] {
            for (int i = 0; i < MAX_POINTS; ++i) {
                double c = 0;
                ok = geoidCorrection(46.5 + 1e-4 * i, 7.25 + 1e-4 * i, &c) && ok;
                sum += c;
            }
        });
        std::printf("Geoid corrections, 4000 points (first opens the model): %.1f ms (ok %d, mean %.3f m)\n",
                    ms, ok, sum / MAX_POINTS);
    } else {
        std::printf("Geoid corrections: no model in %s\n", "Resources/geoid");
    }
    return 0;
}
