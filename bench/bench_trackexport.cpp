// Times the track exports over a full Track store (100 movies of 4000 points,
// the store's capacity), the GPX import of a 4000-point file, and 4000 geoid
// corrections (one movie's worth). Prints one line per measurement. On a
// shared machine the wall time depends on the others' load: each export is
// run three times and the best wall time and the best CPU time are printed
// (CPU time is what the export itself costs).
#include "export/exportpipeline.h"
#include "export/trackexport.h"
#include "exportfixture.h"
#include "settings/settings.h"
#include "track/geoid.h"
#include "track/gpxreader.h"
#include "track/trackstore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cmath>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>

using namespace vx;

namespace {

double timeMs(const std::function<void()> &f)
{
    QElapsedTimer t;
    t.start();
    f();
    return t.nsecsElapsed() / 1e6;
}

double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

struct Timing {
    double wallMs = 1e300, cpuMs = 1e300;
};

// Best of three runs.
Timing bestOf3(const std::function<void()> &f)
{
    Timing best;
    for (int run = 0; run < 3; ++run) {
        const double cpu0 = cpuMs();
        const double wall = timeMs(f);
        best.wallMs = std::min(best.wallMs, wall);
        best.cpuMs = std::min(best.cpuMs, cpuMs() - cpu0);
    }
    return best;
}

void printExport(const char *what, const Timing &t, const QString &path)
{
    const double mb = QFileInfo(path).size() / 1e6;
    std::printf("%s: %.0f ms wall, %.0f ms CPU, %.1f MB (%.0f MB/s)\n", what, t.wallMs, t.cpuMs, mb,
                mb / (t.wallMs / 1e3));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    setDefaultSettings();
    QTemporaryDir dir;
    vxtest::fillFullStore();

    // With the text made on one thread, then on as many as the exports use.
    for (int threads : {1, 0}) {
        setExportThreadCount(threads);
        const QByteArray how = QByteArray(", ") + QByteArray::number(exportThreadCount()) + " thread(s)";
        for (int format = 0; format < 3; ++format) {
            settings().datumFormat = format;
            const QString path = dir.filePath(QStringLiteral("all.csv"));
            const Timing t = bestOf3([&] { exportCsv(path); });
            const QByteArray what = "CSV export, 400000 points, datumFormat " + QByteArray::number(format) + how;
            printExport(what.constData(), t, path);
        }
        const QString gpx = dir.filePath(QStringLiteral("all.gpx"));
        printExport(("GPX export, 400000 points" + how).constData(), bestOf3([&] { exportGpx(gpx); }), gpx);
        const QString kml = dir.filePath(QStringLiteral("all.kml"));
        printExport(("KML export, 400000 points" + how).constData(), bestOf3([&] { exportKml(kml); }), kml);
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
