// Telemetry stage benchmark. Prints two figures:
//
// 1. Capacity: 100 movies, each with a 4000-second sidecar subtitle file in
//    the HOME/GPS/BAROMETER layout (one cue a second): the whole telemetry
//    stage (source selection, readers, repair, statistics; the movie probe
//    excluded). Target: within 1 s.
// 2. Throughput: sidecar files written one cue per frame at 50 frames a
//    second in the rel_alt layout, 500 MB in all, read by the sidecar
//    reader. Target: at least 150 MB/s.
//
// The files are written to a temporary folder first and are in the page
// cache when read (as they are right after a camera card was copied).
// usage: bench_telemetry [rounds] [capacity|throughput]
#include "settings/settings.h"
#include "track/loadobserver.h"
#include "track/repair.h"
#include "track/subtitlereaders.h"
#include "track/telemetrysource.h"
#include "track/trackstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <vector>

using namespace vx;

namespace {

QByteArray cueTime(int s, int ms)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d,%03d", s / 3600, s / 60 % 60, s % 60, ms);
    return QByteArray(buf);
}

// 4000 cues, one a second, as the older cameras write them.
QByteArray homeGpsFile(int movie)
{
    QByteArray out;
    out.reserve(4000 * 140);
    char line[160];
    for (int s = 0; s < 4000; ++s) {
        out += QByteArray::number(s + 1) + '\n' + cueTime(s + 1, 0) + " --> " + cueTime(s + 2, 0) + '\n';
        const int t = 14 * 3600 + 11 * 60 + 51 + s;
        std::snprintf(line, sizeof line, "HOME(149.0251,-20.2532) 2017.08.%02d %02d:%02d:%02d\n", 5 + movie % 20,
                      t / 3600 % 24, t / 60 % 60, t % 60);
        out += line;
        std::snprintf(line, sizeof line, "GPS(%.4f,%.4f,16) BAROMETER:%.1f\n", 149.0251 + s * 1e-5,
                      -20.2533 + s * 2e-5, 1.9 + (s % 50) * 0.1);
        out += line;
        out += "ISO:100 Shutter:60 EV: Fnum:2.2\n\n";
    }
    return out;
}

// One cue per frame at 50 fps in the rel_alt layout, `seconds` long.
QByteArray relAltFile(int seconds)
{
    QByteArray out;
    out.reserve(qsizetype(seconds) * 50 * 300);
    char line[400];
    int n = 0;
    for (int s = 0; s < seconds; ++s) {
        for (int f = 0; f < 50; ++f) {
            ++n;
            const int ms = f * 20;
            out += QByteArray::number(n) + '\n' + cueTime(s, ms) + " --> " + cueTime(s + (ms + 20) / 1000, (ms + 20) % 1000)
                 + '\n';
            std::snprintf(line, sizeof line, "<font size=\"28\">FrameCnt: %d, DiffTime: 20ms\n", n);
            out += line;
            std::snprintf(line, sizeof line, "2021-12-25 %02d:%02d:%02d.%03d\n", 12 + s / 3600, s / 60 % 60, s % 60, ms);
            out += line;
            std::snprintf(line, sizeof line,
                          "[iso: 220] [shutter: 1/8000.0] [fnum: 3.2] [ev: 0] [ct: 5115] [color_md : default] "
                          "[focal_len: 24.00] [latitude: %.5f] [longitude: %.5f] [rel_alt: %.3f abs_alt: %.3f] "
                          "</font>\n\n",
                          3.41531 + n * 1e-7, -3.37440 + n * 1e-7, 10.0 + f * 0.01, 120.401 + f * 0.01);
            out += line;
        }
    }
    return out;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const QByteArray only = argc > 2 ? QByteArray(argv[2]) : QByteArray();
    setDefaultSettings();
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;

    // 1. Capacity.
    if (only.isEmpty() || only == "capacity") {
    QList<QFileInfo> movies;
    qint64 capacityBytes = 0;
    for (int m = 0; m < MAX_BLOCKS; ++m) {
        const QString base = dir.filePath(QStringLiteral("DJI_%1").arg(m, 4, 10, QLatin1Char('0')));
        const QByteArray srt = homeGpsFile(m);
        capacityBytes += srt.size();
        if (!writeFile(base + QStringLiteral(".MOV"), "movie") || !writeFile(base + QStringLiteral(".SRT"), srt))
            return 1;
        movies << QFileInfo(base + QStringLiteral(".MOV"));
    }
    std::vector<double> stage, reading, repairing, cpu;
    LoadObserver silent;
    int points = 0;
    for (int r = 0; r < rounds; ++r) {
        resetTrackStore();
        for (int m = 0; m < MAX_BLOCKS; ++m) {
            track().block[m].movieFile = movies[m];
            track().block[m].duration = 4000.0f;
        }
        QElapsedTimer timer;
        const double cpu0 = cpuSeconds();
        timer.start();
        loadTelemetry(movies, dir.path(), &silent);
        const qint64 read = timer.nsecsElapsed();
        repairTrack();
        computeTrackStats();
        stage.push_back(timer.nsecsElapsed() / 1e9);
        cpu.push_back(cpuSeconds() - cpu0);
        reading.push_back(read / 1e9);
        repairing.push_back(stage.back() - reading.back());
        points = 0;
        for (int m = 0; m < MAX_BLOCKS; ++m)
            points += track().block[m].numPoints;
    }
    std::printf("capacity: %d movies x 4000 s HOME/GPS sidecars (%.1f MB), %d points\n", MAX_BLOCKS,
                capacityBytes / 1e6, points);
    std::printf("  telemetry stage (sources, readers, repair, statistics): best %.3f s, median %.3f s (target 1 s)\n",
                *std::min_element(stage.begin(), stage.end()), median(stage));
    std::printf("  processor time of the stage: best %.3f s, median %.3f s\n", *std::min_element(cpu.begin(), cpu.end()),
                median(cpu));
    std::printf("  of which sources and readers: median %.3f s; repair and statistics: median %.3f s\n",
                median(reading), median(repairing));
    }
    if (!only.isEmpty() && only != "throughput")
        return 0;

    // 2. Throughput.
    QStringList files;
    qint64 total = 0;
    const int seconds = 3990;  // below the point limit: every file is read to its end
    while (total < 500LL * 1000 * 1000) {
        const QString path = dir.filePath(QStringLiteral("MAVIC_%1.SRT").arg(files.size()));
        const QByteArray bytes = relAltFile(seconds);
        if (!writeFile(path, bytes))
            return 1;
        files << path;
        total += bytes.size();
    }
    std::vector<double> rates, cpuRates;
    for (int r = 0; r < rounds; ++r) {
        resetTrackStore();
        QElapsedTimer timer;
        const double cpu0 = cpuSeconds();
        timer.start();
        for (int i = 0; i < files.size(); ++i)
            readSidecarSubtitles(i, files[i]);
        rates.push_back(total / 1e6 / (timer.nsecsElapsed() / 1e9));
        cpuRates.push_back(total / 1e6 / (cpuSeconds() - cpu0));
    }
    std::printf("throughput: %d rel_alt files at 50 cues/s, %.1f MB, %d points in file 0\n", int(files.size()),
                total / 1e6, track().block[0].numPoints);
    std::printf("  sidecar reader: best %.0f MB/s, median %.0f MB/s (target 150 MB/s)\n",
                *std::max_element(rates.begin(), rates.end()), median(rates));
    std::printf("  per processor second: best %.0f MB/s, median %.0f MB/s\n",
                *std::max_element(cpuRates.begin(), cpuRates.end()), median(cpuRates));
    return 0;
}
