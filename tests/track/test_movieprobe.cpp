// The movie probe: report sections on hand-made lines; real reports for generated and unreadable movies.
#include "settings/settings.h"
#include "support/testsupport.h"
#include "track/mediatool.h"
#include "track/movieprobe.h"
#include "track/trackstore.h"

#include <QtTest>

using namespace vx;

namespace {

template <class M> QString text(const M &m) { return QString("%1 %2x%3 %4").arg(m.duration).arg(m.width).arg(m.height).arg(m.fps); }

} // namespace

class TestMovieProbe : public QObject {
    Q_OBJECT

private slots:
    // Each movie's facts from its own section (two video streams, none, "N/A", names and metadata spelling the
    // patterns); lines before the first input and sections beyond the count are no movie's.
    void reportSections() {
        MovieProbe m[3];
        parseProbeLog("ffmpeg version 5.1.6\n  Duration: 00:00:09.00, start: 0\n"
                      "Input #0, mov,mp4, from '/m/a, 320x240, 5 fps, Duration: 00:00:01.00.mov':\n"
                      "  Metadata:\n    title           : Trip, 1280x720, 60 fps, Duration: 00:00:02.00\n"
                      "  Duration: 01:00:00.00, start: 0.000000, bitrate: 86 kb/s\n"
                      "  Stream #0:0: Video: mpeg4, yuv420p, 640x480 [SAR 1:1 DAR 4:3], 25 fps, 25 tbr\n"
                      "  Stream #0:1: Video: mjpeg, yuvj420p, 160x120, 50 fps, 90k tbr\n"
                      "Input #1, mov, from 'b.mov':\n  Duration: N/A, bitrate: N/A\n  Duration: 00:00:05.00\n"
                      "  Stream #1:0: Audio: aac (LC), 48000 Hz, stereo, fltp\n"
                      "Input #2, mov, from 'c.mov':\n  Duration: 00:00:03.00\n"
                      "    Stream #2:0[0x1](und): Video: h264, yuv420p, 1920x1080, 29.97 fps, 29.97 tbr\n"
                      "Input #3, mov, from 'd.mov':\n  Duration: 00:00:04.00\n"
                      "  Stream #3:0: Video: h264, 3840x2160, 60 fps,\n", m, 3);
        QCOMPARE(text(m[0]) + " | " + text(m[1]) + " | " + text(m[2]), "3600 640x480 25 | 5 0x0 29.97 | 3 1920x1080 29.97");
        QCOMPARE(describedInputs("Input #0, x\nInput #1\n  Input #2\nInput"), 2);
        // A NUL, numbers too large, a line of 100000 commas.
        MovieProbe h[1];
        parseProbeLog(QByteArray("Input #0\n Duration: 99:99:99.99\0, x\n  Stream: Video: a, 99999999999x5, ", 71)
                          + QByteArray(100000, ',') + "\n  Stream: Video: b, 7x8, .5 fps,\n", h, 1);
        QCOMPARE(h[0].duration, float(99.99f + 99.0f * 60.0f + 99.0f * 3600.0f));
        QCOMPARE(text(h[0]).section(' ', 1), "0x5 0.5");  // an overflowing number reads as 0, and is the first size
    }
    // Real reports ('m' m30.mp4, 'p' plain.mov, 's' sub.mp4 with audio and subtitles; 'z' empty, 'x' garbage): the
    // others still get their facts, each unreadable movie but the last costs a run; no tool, no probe.
    void realReports_data() {
        QTest::addColumn<QString>("movies");
        QTest::addColumn<bool>("tool");
        QTest::addColumn<int>("runs");
        QTest::newRow("generated movies") << "mps" << true << 1;
        QTest::newRow("empty first") << "zmp" << true << 2;
        QTest::newRow("empty last") << "mpz" << true << 1;
        QTest::newRow("two together") << "mzxp" << true << 3;
        QTest::newRow("no tool") << "m" << false << 0;
    }
    void realReports() {
        QFETCH(QString, movies);
        QFETCH(bool, tool);
        struct Counter : MediaToolHooks {
            int runs = 0;
            void mediaToolStarted(QObject *) override { ++runs; }
            void mediaToolFinished(QObject *) override {}
        } counter;
        const QMap<QChar, QString> names{{'m', "m30.mp4"}, {'p', "plain.mov"}, {'s', "sub.mp4"}};
        const QMap<QChar, QString> facts{{'m', "2 64x48 29.97"}, {'p', "3 96x64 25"}, {'s', "3 64x48 25"}};
        setDefaultSettings();
        resetTrackStore();
        QTemporaryDir dir;
        QStringList expected;
        for (int b = 0; b < movies.size(); ++b) {
            const QString path = dir.filePath(QString("%1.mp4").arg(b));
            QVERIFY(names.contains(movies[b]) ? QFile::copy(vxtest::generatedPath(names[movies[b]]), path)
                                              : vxtest::writeFile(path, movies[b] == 'z' ? QByteArray() : QByteArray(4096, 17)));
            track().block[b].movieFile = QFileInfo(path);
            expected << (tool ? facts.value(movies[b], "-1 0x0 29.97") : "-1 0x0 29.97");
        }
        track().numBlocks = movies.size();
        const QByteArray oldPath = qgetenv("PATH");
        if (!tool)
            qputenv("PATH", QFile::encodeName(dir.path()));
        setMediaToolHooks(&counter);
        const bool probed = probeMovies(nullptr);
        setMediaToolHooks(nullptr);
        qputenv("PATH", oldPath);
        QCOMPARE(probed, tool);
        QTEST(counter.runs, "runs");
        QStringList got;
        for (int b = 0; b <= movies.size(); ++b)
            got << text(track().block[b]);
        QCOMPARE(got, expected << "-1 0x0 29.97");
    }
};

QTEST_GUILESS_MAIN(TestMovieProbe)
#include "test_movieprobe.moc"
