// The dashboard's cost per update, in the real window at its default size
// (horizontal 610 x 194, and the vertical form): one point update (distance,
// coordinates, calendar, altitude, satellites), one speed and heading update
// (needle and turned vehicle) and the paint of the whole window (gauge,
// compass, seven-segment numbers), as playback does ten times a second.
// Target: under 2 ms, so the 100 ms dashboard tick never delays playback.
//
// usage: bench_dashboard [updates]
// Runs headless (QT_QPA_PLATFORM=offscreen unless set); settings go to a
// private temporary home.
#include "settings/settings.h"
#include "views/datadialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <vector>

using namespace vx;

namespace {

struct Figures {
    double mean, median, p99, worst;
};

// This thread's processor time in ms: on a loaded machine the wall clock
// also counts the time other programs ran.
double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

Figures summary(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double v : ms)
        sum += v;
    return {sum / ms.size(), ms[ms.size() / 2], ms[ms.size() * 99 / 100], ms.back()};
}

void print(const char *what, const Figures &f)
{
    std::printf("  %-5s mean %.3f ms, median %.3f ms, p99 %.3f ms, worst %.3f ms\n", what, f.mean, f.median, f.p99,
                f.worst);
}

void measure(bool vertical, int updates, bool report)
{
    dataDialog dash(vertical);
    dash.show();
    QApplication::processEvents();
    const QDateTime start(QDate(2024, 5, 18), QTime(10, 12, 0), Qt::UTC);
    std::vector<double> wall, cpu;
    wall.reserve(size_t(updates));
    cpu.reserve(size_t(updates));
    QElapsedTimer clock;
    for (int i = 0; i < updates; ++i) {
        DashboardPoint p;
        p.time = start.addMSecs(100LL * i);
        p.hasAltitude = p.hasSats = true;
        p.latitude = -33.85 - i * 1e-5;
        p.longitude = 151.21 + i * 1e-5;
        p.altitudeM = 120 + (i % 50);
        p.sats = 10 + i % 8;
        p.travelledDist = i * 0.003;
        clock.start();
        const double cpu0 = cpuMs();
        dash.updatePoint(p);
        dash.updateSpeedHeading(float(20 + (i % 60)), (i * 7) % 360, p.time);
        dash.repaint();
        wall.push_back(clock.nsecsElapsed() / 1e6);
        cpu.push_back(cpuMs() - cpu0);
    }
    if (!report)
        return;
    std::printf("%s dashboard, %d full updates (target: under 2 ms):\n", vertical ? "vertical" : "horizontal",
                updates);
    print("cpu", summary(cpu));
    print("wall", summary(wall));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    QApplication app(argc, argv);
    setDefaultSettings();
    const int updates = argc > 1 ? std::max(10, atoi(argv[1])) : 2000;
    measure(false, 50, false);  // warm up: fonts, pictures, caches
    for (bool vertical : {false, true})
        measure(vertical, updates, true);
    return 0;
}
