// The map route at the store's capacity (100 movies x 4000 points) in the
// real map window and its shipped Leaflet page: the time from "movies
// loaded" until the route is on the screen, the renderer's memory, one zoom
// step with the whole route in view, and the longest pause of the window's
// event loop while the route is sent. Two routes: a smooth one (the colour
// changes now and then) and one whose colour changes at every segment.
//
// Run it headless, with software rendering, in the tests' environment
// (offscreen platform, QT_QUICK_BACKEND=software, --disable-gpu):
//   tests/run-test.sh /tmp/map-bench-home build/bin/map_bench
// or under xvfb-run -a. Tiles point at a closed local port: nothing leaves
// the machine.
#include "settings/settings.h"
#include "track/trackstore.h"
#include "views/mapdialog.h"
#include "views/mapscripts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <cmath>
#include <cstdio>
#include <random>

using namespace vx;

namespace {

QVariant eval(QWebEnginePage *page, const QString &script)
{
    QVariant result;
    bool done = false;
    page->runJavaScript(script, [&](const QVariant &v) {
        result = v;
        done = true;
    });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return result;
}

// Waits until `flag` (a page global) is true; milliseconds since `clock` started.
qint64 waitForFlag(QWebEnginePage *page, const QString &flag, const QElapsedTimer &clock)
{
    while (!eval(page, flag).toBool())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return clock.elapsed();
}

// Resident and peak resident memory of a process, MB.
QPair<double, double> memoryMb(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    double rss = 0, hwm = 0;
    if (f.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : f.readAll().split('\n')) {
            const QList<QByteArray> parts = line.simplified().split(' ');
            if (parts.size() >= 2 && parts[0] == "VmRSS:")
                rss = parts[1].toDouble() / 1024.0;
            if (parts.size() >= 2 && parts[0] == "VmHWM:")
                hwm = parts[1].toDouble() / 1024.0;
        }
    }
    return {rss, hwm};
}

// 100 flights of 4000 points around Lausanne, ~15 m apart.
void fillStore(int kind)
{
    resetTrackStore();
    if (kind == 0)
        return;  // no movies: what the page costs by itself
    const bool colourEverySegment = kind == 2;
    std::mt19937 random(42);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    TrackStore &t = track();
    for (int b = 0; b < MAX_BLOCKS; ++b) {
        MovieBlock &m = t.block[b];
        m.active = true;
        m.numPoints = MAX_POINTS;
        double lat = 46.3 + (b % 10) * 0.04, lon = 6.4 + (b / 10) * 0.06, heading = unit(random) * M_PI;
        for (int i = 0; i < MAX_POINTS; ++i) {
            heading += unit(random) * 0.2;
            lat += std::cos(heading) * 0.00013;
            lon += std::sin(heading) * 0.00019;
            m.lat[i] = lat;
            m.lon[i] = lon;
            m.gpsTime[i] = static_cast<uint32_t>(1689327000 + b * 5000 + i);
            m.speed[i] = colourEverySegment ? static_cast<float>((i % 2) ? 5 : 95)
                                            : static_cast<float>(50 + 45 * std::sin(i / 400.0 + b));
        }
    }
    t.numBlocks = MAX_BLOCKS;
    t.stats.peakSpeed = 100.0f;
}

struct Result {
    qint64 drawnMs = 0;
    double rssMb = 0;
    double peakMb = 0;
    qint64 zoomInMs = 0;
    qint64 zoomOutMs = 0;
    qint64 longestStallMs = 0;
    int lines = 0;
    double redrawMs = 0;
    double scriptMb = 0;
    qint64 scriptsMs = 0;
};

Result measure(mapDialog &map, int kind)
{
    QWebEnginePage *page = map.webView()->page();
    Result r;
    fillStore(kind);

    // The longest gap between two turns of the event loop while the route goes out.
    QElapsedTimer gap;
    gap.start();
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        r.longestStallMs = std::max(r.longestStallMs, gap.restart());
    });

    // What building the scripts alone costs (the window does it one movie a turn).
    QElapsedTimer build;
    build.start();
    qint64 bytes = 0;
    for (int b = 0; b < track().numBlocks; ++b)
        bytes += routeScript(track().block[b], settings().colorLevels, 100.0).size();
    r.scriptsMs = build.elapsed();
    r.scriptMb = bytes / 1e6;

    QElapsedTimer clock;
    clock.start();
    ticker.start();
    gap.restart();
    map.moviesLoaded();
    while (!map.routeSent())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    // Scripts run in order: this one runs after the route, and its flag is
    // set once two frames (the canvas draws in the first) have passed.
    page->runJavaScript(QStringLiteral("window.drawn = false; requestAnimationFrame(function () {"
                                       " requestAnimationFrame(function () { window.drawn = true; }); });"));
    r.drawnMs = waitForFlag(page, QStringLiteral("window.drawn"), clock);
    ticker.stop();
    r.lines = eval(page, QStringLiteral("routes.length")).toInt();

    // The whole route in view, then one zoom step in and one out.
    eval(page, QStringLiteral("var all = L.latLngBounds([[46.2, 6.3], [46.8, 7.1]]);"
                              " routes.forEach(function (l) { all.extend(l.getBounds()); });"
                              " map.fitBounds(all, {animate: false}); 0"));
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 1500)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    for (const char *step : {"zoomIn", "zoomOut"}) {
        QElapsedTimer zoom;
        zoom.start();
        page->runJavaScript(QStringLiteral("window.zoomed = false; window.zt = [performance.now()];"
                                           " map.once('moveend', function () { zt.push(performance.now());"
                                           " requestAnimationFrame(function () { zt.push(performance.now());"
                                           " requestAnimationFrame(function () { zt.push(performance.now());"
                                           " window.zoomed = true; }); }); }); map.%1(1, {animate: false});")
                                .arg(QLatin1String(step)));
        const qint64 ms = waitForFlag(page, QStringLiteral("window.zoomed"), zoom);
        (QByteArray(step) == "zoomIn" ? r.zoomInMs : r.zoomOutMs) = ms;
        // Inside the page: the view moved (the canvas is drawn by then), first and second frame.
        std::printf("  %-8s moveend, frame, frame at %s ms\n", step,
                    qPrintable(eval(page, QStringLiteral("zt.slice(1).map(function (t) { return Math.round(t - zt[0]); })"
                                                         ".join(', ')")).toString()));
    }
    // The canvas alone: one full redraw of the route at the zoom that shows all of it.
    // (reading a pixel back makes the canvas raster what was drawn, here and now)
    r.redrawMs = eval(page, QStringLiteral("var t0 = performance.now(); routeRenderer._redrawBounds = null;"
                                           " routeRenderer._redraw(); routeRenderer._ctx.getImageData(0, 0, 1, 1);"
                                           " performance.now() - t0")).toDouble();
    const QPair<double, double> mem = memoryMb(page->renderProcessPid());
    r.rssMb = mem.first;
    r.peakMb = mem.second;
    return r;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    setDefaultSettings();
    settings().mapStyle = 0;
    settings().autoScaleRoute = true;
    settings().colorLevels = 14;
    const QString closed = QStringLiteral("http://127.0.0.1:9/{z}/{x}/{y}.png");
    settings().tileUrlRoadmap = settings().tileUrlSatellite = settings().tileUrlLabels = settings().tileUrlLight = closed;

    std::printf("map route: %d movies x %d points, Leaflet page, software rendering\n", MAX_BLOCKS, MAX_POINTS);
    std::printf("%-21s %8s %6s %7s %7s %8s %8s %6s %7s %8s %8s\n", "route", "drawn ms", "lines", "RSS MB",
                "peak MB", "zoom+ ms", "zoom- ms", "stall", "redraw", "build ms", "script MB");
    const char *const names[] = {"no route", "smooth", "colour every segment"};
    for (int kind : {0, 1, 2}) {
        // A fresh window and renderer for each route, as after a start.
        resetTrackStore();
        mapDialog map;
        map.resize(1000, 700);
        map.show();
        QWebEnginePage *page = map.webView()->page();
        while (!map.pageReady() || !eval(page, QStringLiteral("myMarker !== null")).toBool())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        const double before = memoryMb(page->renderProcessPid()).first;
        const Result r = measure(map, kind);
        std::printf("%-21s %8lld %6d %7.0f %7.0f %8lld %8lld %6lld %7.0f %8lld %8.1f  (renderer at start %.0f MB)\n",
                    names[kind], static_cast<long long>(r.drawnMs), r.lines,
                    r.rssMb, r.peakMb, static_cast<long long>(r.zoomInMs), static_cast<long long>(r.zoomOutMs),
                    static_cast<long long>(r.longestStallMs), r.redrawMs, static_cast<long long>(r.scriptsMs),
                    r.scriptMb, before);
        std::fflush(stdout);
    }
    return 0;
}
