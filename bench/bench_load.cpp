// The load of 100 movies with one the media tool cannot open among them.
// Prints, each as the median of the rounds:
//
//  1. the core load (probe, telemetry from sidecar subtitles, repair and
//     statistics) of 100 good movies: one probe run;
//  2. one probe run over the 100 movies alone;
//  3. the load of the same folder with movie 1, 50 or 100 replaced by an
//     empty file: the probe runs again after the unreadable movie.
//
// Target: every load of (3) within (1) + (2), and every readable movie of
// (3) with its duration.
//
// usage: bench_load [rounds]
// The movies (30 s, 640x360, with sound and sidecar telemetry) are made
// with the media tool into a temporary folder; settings go to a private
// temporary home.
#include "benchmovies.h"

#include "settings/settings.h"
#include "track/coreload.h"
#include "track/moviediscovery.h"
#include "track/movieprobe.h"
#include "track/trackstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace vx;

namespace {

double medianMs(int rounds, const std::function<void()> &run)
{
    std::vector<double> ms;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        t.start();
        run();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// Blocks with a known duration, and whether the unreadable one has none.
int knownDurations(int unreadable)
{
    int known = 0;
    for (int b = 0; b < track().numBlocks; ++b) {
        if (b == unreadable && track().block[b].duration >= 0)
            return -1;
        known += track().block[b].duration > 29.0f;
    }
    return known;
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", QDir(home.path()).filePath(QStringLiteral(".config")).toLocal8Bit());
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    setDefaultSettings();
    settings().dateSort = false;

    QTemporaryDir dir;
    if (!makeMovies(dir.path(), MAX_BLOCKS)) {
        std::fprintf(stderr, "could not make the movies\n");
        return 1;
    }
    const QList<QFileInfo> movies = listMovieFolder(dir.path(), false);
    auto load = [&] { loadMovies(movies, dir.path(), nullptr); };

    const double good = medianMs(rounds, load);
    std::printf("load of %d good movies: %.0f ms (%d with their durations)\n", int(movies.size()), good,
                knownDurations(-1));
    const double probe = medianMs(rounds, [&] {
        resetTrackStore();
        for (int b = 0; b < movies.size(); ++b)
            track().block[b].movieFile = movies[b];
        track().numBlocks = int(movies.size());
        probeMovies(nullptr);
    });
    std::printf("one probe run over them: %.0f ms\n", probe);

    bool within = true;
    for (int unreadable : {0, 49, 99}) {
        const QString path = movies[unreadable].absoluteFilePath();
        const QString kept = path + QStringLiteral(".kept");
        QFile::rename(path, kept);
        QFile empty(path);
        empty.open(QIODevice::WriteOnly);
        empty.close();
        const double ms = medianMs(rounds, load);
        const int known = knownDurations(unreadable);
        std::printf("load with movie %d unreadable: %.0f ms (%d with their durations), limit %.0f ms\n",
                    unreadable + 1, ms, known, good + probe);
        within = within && ms <= good + probe && known == int(movies.size()) - 1;
        QFile::remove(path);
        QFile::rename(kept, path);
    }
    std::printf("%s\n", within ? "within the target" : "OUTSIDE THE TARGET");
    return within ? 0 : 1;
}
