// The movie probe: the report patterns on hand-made lines and on the real
// report of the media tool for movies made during the build.
#include "settings/settings.h"
#include "support/testsupport.h"
#include "track/movieprobe.h"
#include "track/trackstore.h"

#include <QtTest>

using namespace vx;

namespace {

QString text(const MovieProbe &m) { return QString("%1 %2x%3 %4").arg(m.duration).arg(m.width).arg(m.height).arg(m.fps); }
QString text(const MovieBlock &m) { return QString("%1 %2x%3 %4").arg(m.duration).arg(m.width).arg(m.height).arg(m.fps); }

} // namespace

class TestMovieProbe : public QObject {
    Q_OBJECT

private slots:
    void reportLines() {
        MovieProbe m[2];
        parseProbeLog("  Duration: 00:01:02.50, start: 0.000000, bitrate: 86 kb/s\n"
                      "  Stream #0:0: Video: h264 (High), yuv420p, 3840x2160, 29.97 fps, 29.97 tbr\n", m, 2);
        QCOMPARE(text(m[0]) + " | " + text(m[1]), "62.5 3840x2160 29.97 | -1 0x0 29.97");  // not described: reset values
        // Each kind is counted on its own: movie 0 reports two video streams,
        // so movie 1 gets the second stream's size and rate, as the report
        // reads. A duration of N/A does not count; entries beyond the count
        // are never written.
        MovieProbe n[2];
        parseProbeLog("Input #0\n  Duration: 01:00:00.00, start: 0\n"
                      "  Stream #0:0: Video: mpeg4, yuv420p, 640x480 [SAR 1:1 DAR 4:3], 25 fps, 25 tbr\n"
                      "  Stream #0:1: Video: mjpeg, yuvj420p, 160x120, 90k tbr\n"
                      "Input #1\n  Duration: N/A, bitrate: N/A\n"
                      "  Stream #1:0: Video: h264, yuv420p, 1920x1080, 50 fps, 50 tbr\n"
                      "Input #2\n  Duration: 00:00:03.00\n  Stream #2:0: Video: h264, 1280x720, 30 fps,\n", n, 2);
        QCOMPARE(text(n[0]) + " | " + text(n[1]), "3600 640x480 25 | 3 160x120 50");
    }

    void hostileReports() {
        MovieProbe m[1];
        parseProbeLog(QByteArray("Duration: 99:99:99.99\0, 123456789012x5, .5 fps,\n", 48) + QByteArray(100000, ',') + "\n, 7x8\n", m, 1);
        QCOMPARE(m[0].duration, float(99.99f + 99.0f * 60.0f + 99.0f * 3600.0f));
        QCOMPARE(text(m[0]).section(' ', 1), "7x8 29.97");  // the first size line was cut at its NUL
        parseProbeLog(QByteArray(), m, 0);
        parseProbeLog("Duration: 00:00:01.00\n", nullptr, 0);
    }

    void realReportOfGeneratedMovies() {
        setDefaultSettings();
        resetTrackStore();
        const QStringList names{"m30.mp4", "plain.mov", "sub.mp4"};
        for (int b = 0; b < names.size(); ++b) {
            QVERIFY(QFileInfo::exists(vxtest::generatedPath(names[b])));
            track().block[b].movieFile = QFileInfo(vxtest::generatedPath(names[b]));
        }
        track().numBlocks = 3;
        QVERIFY(probeMovies(nullptr));
        // 30000/1001 fps; the audio and subtitle streams of sub.mp4 shift nothing.
        const MovieBlock *b = track().block;
        QCOMPARE(text(b[0]) + " | " + text(b[1]) + " | " + text(b[2]) + " | " + text(b[3]),
                 "2 64x48 29.97 | 3 96x64 25 | 3 64x48 25 | -1 0x0 29.97");

        // Without the tool nothing is probed.
        resetTrackStore();
        QTemporaryDir empty;
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(empty.path()));
        track().block[0].movieFile = QFileInfo(vxtest::generatedPath("m30.mp4"));
        track().numBlocks = 1;
        const bool probed = probeMovies(nullptr);
        qputenv("PATH", oldPath);
        QVERIFY(!probed);
        QCOMPARE(text(b[0]), "-1 0x0 29.97");
    }
};

QTEST_GUILESS_MAIN(TestMovieProbe)
#include "test_movieprobe.moc"
