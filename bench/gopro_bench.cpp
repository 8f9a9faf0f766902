// Reading the GPS of a 4 GB GoPro movie: time with a warm cache and the
// share of the file's bytes read.
//
// The movie is generated as a sparse file: an mdat of about 4.2 GB whose
// video and audio samples are holes, with one GPMF payload per 1.001 s
// (GPS5 at 18 Hz plus accelerometer and gyroscope streams, about 6 KB, as
// the cameras write them) and a realistic index: 30 fps video in chunks of
// 15 frames, AAC audio, the file-repair "fdsc" track and the "gpmd" track,
// all with 64-bit chunk offsets.
//
// Usage: gopro_bench [runs]   (default 20)
#include "gpmfbuilder.h"
#include "mp4writer.h"
#include "settings/settings.h"
#include "track/gpmfgps.h"
#include "track/goproreader.h"
#include "track/mp4source.h"
#include "track/trackstore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

using namespace vxtest;

namespace {

QByteArray cameraPayload(int second)
{
    std::vector<GpsFix> fixes;
    for (int k = 0; k < 18; ++k)
        fixes.push_back({33.1265 + second * 1e-5 + k * 5e-7, -117.3273 - second * 1e-5, 20.0 + k * 0.1, 5.0, 5.1});
    QByteArray imu = klv("SCAL", 's', 2, be16(418)) + klv("ACCL", 's', 6, QByteArray(6 * 200, '\x11'));
    QByteArray gyro = klv("SCAL", 's', 2, be16(3755)) + klv("GYRO", 's', 6, QByteArray(6 * 400, '\x22'));
    // The camera's own streams first, the GPS stream last, as the cameras do.
    const QByteArray gps = gps5Payload(fixes);
    const QByteArray devc = gps.mid(8, gps.size() - 8);
    return nest("DEVC", nest("STRM", imu) + nest("STRM", gyro) + devc);
}

TestTrack track(const char *handler, const char *format, uint32_t timescale, uint32_t delta)
{
    TestTrack t;
    t.handler = handler;
    t.format = format;
    t.timescale = timescale;
    t.sampleDelta = delta;
    t.co64 = true;
    return t;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    vx::setDefaultSettings();
    vx::resetTrackStore();

    const int seconds = 572;  // 4.2 GB at about 60 Mbit/s
    TestTrack video = track("vide", "avc1", 90000, 3003);
    video.dummySizes.assign(size_t(seconds) * 30, 245000);
    video.stsc = {{1, 15}};
    TestTrack audio = track("soun", "mp4a", 48000, 1024);
    audio.dummySizes.assign(size_t(seconds) * 47, 372);
    audio.stsc = {{1, 47}};
    TestTrack sos = track("meta", "fdsc", 90000, 90090);
    sos.dummySizes.assign(size_t(seconds), 300);
    TestTrack gpmd = track("meta", "gpmd", 1000, 1001);
    for (int i = 0; i < seconds; ++i)
        gpmd.samples.push_back(cameraPayload(i));
    TestMovie movie;
    movie.tracks = {video, audio, gpmd, sos};
    movie.gapBytes = 0;

    QTemporaryDir dir;
    const QString path = dir.filePath("GX010001.MP4");
    if (!dir.isValid() || !writeMovie(movie, path)) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
        return 1;
    }
    const qint64 fileBytes = QFileInfo(path).size();

    // Layers alone: index walk + payloads + GPS conversion, with byte count.
    uint64_t bytesRead = 0;
    size_t points = 0;
    {
        auto source = vx::Mp4Source::open(path);
        vx::GpsSamples samples;
        if (!source) {
            std::fprintf(stderr, "no GPMF track found\n");
            return 1;
        }
        vx::readGpsSamples(*source, samples, nullptr);
        bytesRead = source->bytesRead();
        points = samples.size();
    }

    // The whole reader into the Track store, warm cache (the file was just
    // written and read once).
    vx::track().block[0].movieFile = QFileInfo(path);
    std::vector<double> ms;
    int stored = 0;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t;
        t.start();
        stored = vx::readGoProTelemetry(0).pointsStored;
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());

    std::printf("movie: %.2f GB (sparse), %d payloads, %zu video frames\n", fileBytes / 1e9, seconds,
                video.dummySizes.size());
    std::printf("points: %zu (layers), %d (store)\n", points, stored);
    std::printf("bytes read: %llu = %.4f %% of the file\n", static_cast<unsigned long long>(bytesRead),
                100.0 * double(bytesRead) / double(fileBytes));
    std::printf("readGoProTelemetry, warm cache, %d runs: min %.2f ms, median %.2f ms, max %.2f ms\n", runs,
                ms.front(), ms[ms.size() / 2], ms.back());
    return stored > 0 ? 0 : 1;
}
