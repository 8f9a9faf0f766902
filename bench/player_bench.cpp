// The player's speed and memory, measured in the real player window:
//
//  1. One full tick: the point look-up at the far end of a 4000-point block
//     (the longest walk, with 99 blocks below it for the travelled
//     distance), the duration, date and speed labels, and the point updates
//     of every visible view. Target: under 0.5 ms.
//  2. Resident memory with 100 loaded movies while playing: 100 copies of a
//     30 s 640x360 movie with sound (made with ffmpeg into a temporary
//     folder), each with 30 s of sidecar telemetry, loaded through the
//     window's load and played, jumping between movies. Target: under 400 MB.
//
// usage: player_bench [ticks] [seconds of playback]
// Runs headless (QT_QPA_PLATFORM=offscreen unless set); settings go to a
// private temporary home.
#include "benchmovies.h"
#include "main/loadcontroller.h"
#include "main/mainwindow.h"
#include "main/playbackcontroller.h"
#include "main/startup.h"
#include "settings/settings.h"
#include "track/mediatool.h"
#include "track/playbackmath.h"
#include "track/trackstore.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMediaPlayer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vx;

namespace {

// VmRSS and VmHWM of this process, in MB.
void memory(double *rssMb, double *peakMb)
{
    QFile f(QStringLiteral("/proc/self/status"));
    *rssMb = *peakMb = -1;
    if (!f.open(QIODevice::ReadOnly))
        return;
    for (const QByteArray &line : f.readAll().split('\n')) {
        const QList<QByteArray> parts = line.simplified().split(' ');
        if (parts.size() >= 2 && parts[0] == "VmRSS:")
            *rssMb = parts[1].toDouble() / 1024.0;
        if (parts.size() >= 2 && parts[0] == "VmHWM:")
            *peakMb = parts[1].toDouble() / 1024.0;
    }
}

void wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void fillSyntheticStore(uint32_t t0)
{
    TrackStore &t = track();
    resetTrackStore();
    for (int b = 0; b < MAX_BLOCKS; ++b) {
        MovieBlock &m = t.block[b];
        m.movieFile = QFileInfo(QStringLiteral("/bench/M%1.MOV").arg(b, 3, 10, QLatin1Char('0')));
        for (int i = 0; i < MAX_POINTS; ++i) {
            m.gpsTime[i] = t0 + static_cast<uint32_t>(i);
            m.lat[i] = 46.0 + i * 1e-5;
            m.lon[i] = 7.0 + i * 1e-5;
            m.speed[i] = static_cast<float>(i % 90);
            m.segDist[i] = 0.001;
            m.los[i] = 0.5;
            m.bearing[i] = 45;
            m.altitude[i] = 100;
            m.sats[i] = 12;
        }
        m.numPoints = MAX_POINTS;
        m.totalDist = MAX_POINTS * 0.001;
        m.duration = static_cast<float>(MAX_POINTS);
        m.fps = 25;
        m.width = 640;
        m.height = 360;
        m.hasAltitude = m.hasSats = true;
    }
    t.numBlocks = MAX_BLOCKS;
    rebuildPlayOrder();
}

void benchTick(MainWindow &w, int ticks)
{
    const uint32_t t0 = 1700000000;
    fillSyntheticStore(t0);
    TrackStore &t = track();
    t.Block = MAX_BLOCKS - 1;
    t.mBlock = MAX_BLOCKS - 1;
    w.playerState().movieModified = QDateTime::fromSecsSinceEpoch(t0 + MAX_POINTS);
    w.playback()->recomputeTimeOffset();
    // The last second of the movie: the walk passes every point.
    const qint64 at = (MAX_POINTS - 1) * 1000 + 500;
    for (int i = 0; i < 200; ++i)
        w.playback()->refresh(at);
    if (w.playback()->currentPoint() != MAX_POINTS - 1) {
        std::fprintf(stderr, "tick found point %d, not %d\n", w.playback()->currentPoint(), MAX_POINTS - 1);
        return;
    }
    std::vector<qint64> ns;
    ns.reserve(static_cast<size_t>(ticks));
    QElapsedTimer all;
    all.start();
    for (int i = 0; i < ticks; ++i) {
        QElapsedTimer one;
        one.start();
        w.playback()->refresh(at - (i % 2));
        ns.push_back(one.nsecsElapsed());
    }
    const double meanMs = all.nsecsElapsed() / 1e6 / ticks;
    std::sort(ns.begin(), ns.end());
    const double p50 = ns[ns.size() / 2] / 1e6;
    const double p99 = ns[ns.size() * 99 / 100] / 1e6;
    const double worst = ns.back() / 1e6;

    // The look-up alone, for comparison.
    CurrentSample s;
    QElapsedTimer look;
    look.start();
    int found = 0;
    for (int i = 0; i < ticks; ++i)
        found += lookUpPoint(t, t.Block, t0 + MAX_POINTS - 1 - (i % 2), &s) >= 0 ? 1 : 0;
    const double lookMs = look.nsecsElapsed() / 1e6 / ticks;

    std::printf("full tick (4000-point walk, labels, views), %d ticks: mean %.4f ms, median %.4f ms, "
                "p99 %.4f ms, worst %.4f ms  (target < 0.5 ms)\n",
                ticks, meanMs, p50, p99, worst);
    std::printf("point look-up alone: mean %.4f ms (%d found)\n", lookMs, found);
    resetTrackStore();
}

void benchMemory(MainWindow &w, int seconds)
{
    QTemporaryDir dir;
    double rss = 0, peak = 0;
    memory(&rss, &peak);
    std::printf("before the load: RSS %.1f MB (peak %.1f MB)\n", rss, peak);
    QElapsedTimer made;
    made.start();
    if (!makeMovies(dir.path(), MAX_BLOCKS)) {
        std::fprintf(stderr, "could not make the movies with %s\n", qPrintable(mediaToolPath()));
        return;
    }
    std::printf("made %d movies in %.1f s\n", MAX_BLOCKS, made.elapsed() / 1000.0);
    QElapsedTimer loading;
    loading.start();
    if (!w.loader()->loadFolder(dir.path())) {
        std::fprintf(stderr, "the load failed\n");
        return;
    }
    std::printf("loaded %d movies (%d with points) in %.1f s\n", track().numBlocks,
                static_cast<int>(std::count_if(track().block, track().block + track().numBlocks,
                                               [](const MovieBlock &m) { return m.numPoints > 0; })),
                loading.elapsed() / 1000.0);
    memory(&rss, &peak);
    std::printf("after the load: RSS %.1f MB (peak %.1f MB)\n", rss, peak);
    double maxRss = rss;
    const int targets[] = {0, 33, 66, 99, 50};
    QElapsedTimer playing;
    playing.start();
    int jumps = 0;
    while (playing.elapsed() < seconds * 1000) {
        if (playing.elapsed() >= jumps * 2000) {
            w.playback()->jumpTo(targets[jumps % 5], 5000);
            w.playback()->play();
            ++jumps;
        }
        wait(200);
        memory(&rss, &peak);
        maxRss = std::max(maxRss, rss);
    }
    std::printf("playing %d s (%d jumps, position %lld ms in block %d): RSS now %.1f MB, highest sampled %.1f MB, "
                "peak %.1f MB  (target < 400 MB)\n",
                seconds, jumps, static_cast<long long>(w.player()->position()), track().Block, rss, maxRss, peak);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", QDir(home.path()).filePath(QStringLiteral(".config")).toLocal8Bit());
    setApplicationIdentity();
    QApplication app(argc, argv);
    const int ticks = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20000;
    const int seconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20;
    MainWindow w;
    w.show();
    wait(300);
    benchTick(w, ticks);
    benchMemory(w, seconds);
    w.close();
    return 0;
}
