// The graph window at the store's capacity: 100 movies of 4000 points.
//
//  1. Redrawing all six graphs at the window's default size (axes, labels,
//     the walk over 400000 points and the curve's items). Target: under
//     60 ms for the six.
//  2. A cursor update: the tick's six point updates, of which only the
//     graph on screen moves its cursor; and one cursor moved on its own.
//     Target: under 1 ms.
//  3. A burst of resizes is drawn once.
//  4. Click-to-go's look-up of the plotted point under a click.
//
// usage: graph_bench [repeats]
// Runs headless (QT_QPA_PLATFORM=offscreen unless set).
#include "settings/settings.h"
#include "track/playbackmath.h"
#include "track/repair.h"
#include "track/trackstore.h"
#include "views/graphdialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

using namespace vx;

namespace {

void fillStore()
{
    resetTrackStore();
    TrackStore &t = track();
    for (int b = 0; b < MAX_BLOCKS; ++b) {
        MovieBlock &m = t.block[b];
        m.numPoints = MAX_POINTS;
        m.hasAltitude = m.hasSats = true;
        m.duration = MAX_POINTS;
        for (int i = 0; i < MAX_POINTS; ++i) {
            m.gpsTime[i] = 1700000000u + 4000u * static_cast<uint32_t>(b) + static_cast<uint32_t>(i);
            m.speed[i] = static_cast<float>(40 + 35 * std::sin((b * MAX_POINTS + i) / 700.0));
            m.segDist[i] = m.speed[i] / 3600.0;
            m.los[i] = 0.001 * i;
            m.bearing[i] = (i * 7) % 360 - 180.0;
            m.altitude[i] = 100 + 80 * std::cos(i / 300.0);
            m.sats[i] = 6 + i % 12;
            m.totalDist += m.segDist[i];
        }
    }
    t.numBlocks = MAX_BLOCKS;
    rebuildPlayOrder();
    computeTrackStats();
}

double msSince(const QElapsedTimer &timer) { return timer.nsecsElapsed() / 1.0e6; }

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);
    const int repeats = argc > 1 ? std::max(atoi(argv[1]), 1) : 20;
    setDefaultSettings();
    fillStore();

    graphDialog d;
    d.show();
    if (!QTest::qWaitForWindowExposed(&d))
        return 1;
    d.moviesLoaded();
    QTest::qWait(100);
    const QSize size = d.plot(SpeedGraph)->viewport()->size();
    std::printf("window %dx%d, plot scene %dx%d, %d x %d points\n", d.width(), d.height(), size.width(),
                size.height(), MAX_BLOCKS, MAX_POINTS);

    // 1. All six graphs drawn from scratch.
    double best = 1e9;
    double total = 0;
    int segments = 0;
    for (int r = 0; r < repeats; ++r) {
        QElapsedTimer timer;
        timer.start();
        const GraphWalkIndex index = buildGraphWalkIndex(track());
        for (int g = 0; g < GRAPH_COUNT; ++g)
            d.plot(g)->draw(graphRange(settings(), g), index, size);
        const double ms = msSince(timer);
        best = std::min(best, ms);
        total += ms;
        segments = 0;
        for (int g = 0; g < GRAPH_COUNT; ++g)
            segments += static_cast<int>(d.plot(g)->curve().points.size()) - 1;
    }
    std::printf("redraw all six graphs: best %.2f ms, mean %.2f ms (%d segments in all; target < 60 ms)\n", best,
                total / repeats, segments);

    // Of which the walks alone (no scene).
    {
        const PlotFrame f = plotFrameOf(size.width(), size.height());
        QElapsedTimer timer;
        timer.start();
        size_t plotted = 0;
        for (int r = 0; r < repeats; ++r)
            for (int g = 0; g < GRAPH_COUNT; ++g)
                plotted += walkGraphCurve(g, track(), settings(), graphRange(settings(), g), f).points.size();
        std::printf("of which the six walks: %.2f ms (%zu points)\n", msSince(timer) / repeats, plotted / repeats);
    }

    // The same through the window: the store changed, then every tab shown.
    {
        QElapsedTimer timer;
        timer.start();
        d.activeMoviesChanged();
        for (int g = 1; g < GRAPH_COUNT; ++g)
            d.selectGraph(g);
        d.selectGraph(SpeedGraph);
        std::printf("store change and every tab shown once: %.2f ms\n", msSince(timer));
    }

    // 2. Cursor updates as the tick sends them.
    {
        const int ticks = 2000 * repeats / 20;
        QElapsedTimer timer;
        timer.start();
        for (int k = 0; k < ticks; ++k) {
            GraphPoint p;
            p.block = (k * 37) % MAX_BLOCKS;
            p.point = (k * 101) % MAX_POINTS;
            p.time = QDateTime::fromSecsSinceEpoch(1700000000 + k);
            p.speed = 50;
            for (int g = 0; g < GRAPH_COUNT; ++g)
                d.updatePoint(g, p);
        }
        std::printf("tick's six cursor updates: %.4f ms each (target < 1 ms)\n", msSince(timer) / ticks);
        const GraphWalkIndex index = buildGraphWalkIndex(track());
        timer.restart();
        for (int k = 0; k < ticks; ++k)
            d.plot(DistanceGraph)->moveCursor(GraphCursor{true, MAX_BLOCKS - 1, MAX_POINTS - 1 - k % 7,
                                                          QDateTime::fromSecsSinceEpoch(1700000000 + k)},
                                              index, false);
        std::printf("one cursor moved (distance, last movie's end): %.4f ms each\n", msSince(timer) / ticks);
    }

    // 3. Resizes coalesced.
    {
        GraphPlot *plot = d.plot(SpeedGraph);
        const int before = plot->drawCount();
        for (int k = 0; k < 20; ++k) {
            d.resize(d.width() + 3, d.height() + 2);
            QCoreApplication::processEvents();
        }
        QTest::qWait(200);
        std::printf("20 resizes: %d redraw(s)\n", plot->drawCount() - before);
        d.resize(DEFAULT_DIALOG_WIDTH, DEFAULT_DIALOG_HEIGHT);
        QTest::qWait(200);
    }

    // 4. Click look-ups over the plotted points.
    {
        const GraphCurve &curve = d.plot(SpeedGraph)->curve();
        const PlotFrame &f = d.plot(SpeedGraph)->frame();
        const int clicks = 100000;
        long sum = 0;
        QElapsedTimer timer;
        timer.start();
        for (int k = 0; k < clicks; ++k)
            sum += plottedPointAt(curve, f.left + f.width * (k % 997) / 997.0);
        std::printf("click look-up: %.5f ms each over %zu plotted points (checksum %ld)\n",
                    msSince(timer) / clicks, curve.points.size(), sum);
    }
    return 0;
}
