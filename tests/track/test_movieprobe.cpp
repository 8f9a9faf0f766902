// The movie probe: the report's sections on hand-made lines, and the real
// reports of the media tool for movies made during the build, with movies
// it cannot open among them.
#include "settings/settings.h"
#include "support/testsupport.h"
#include "track/mediatool.h"
#include "track/movieprobe.h"
#include "track/trackstore.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace vx;

class TestMovieProbe : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        setDefaultSettings();
        resetTrackStore();
    }

    // Hand-made reports: each movie's facts come from its own section. Two
    // video streams, none at all, a duration of N/A, and file names and
    // metadata that spell the patterns change nothing of the other movies;
    // lines before the first input and sections beyond the count are no
    // movie's.
    void reportSections()
    {
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
                      "  Stream #3:0: Video: h264, 3840x2160, 60 fps,\n",
                      m, 3);
        QCOMPARE(m[0].duration, 3600.0f);
        QCOMPARE(m[0].width, 640);
        QCOMPARE(m[0].height, 480);
        QCOMPARE(m[0].fps, 25.0f);
        QCOMPARE(m[1].duration, 5.0f);  // the N/A line matches nothing; the next one does
        QCOMPARE(m[1].width, 0);        // no picture: reset values
        QCOMPARE(m[1].fps, 29.97f);
        QCOMPARE(m[2].duration, 3.0f);
        QCOMPARE(m[2].width, 1920);
        QCOMPARE(m[2].height, 1080);
        QCOMPARE(m[2].fps, 29.97f);
        QCOMPARE(describedInputs("Input #0, x\nInput #1\n  Input #2\nInput"), 2);
    }

    void hostileReports()
    {
        MovieProbe m[1];
        parseProbeLog(QByteArray("Input #0\n Duration: 99:99:99.99\0, x\n  Stream: Video: a, 99999999999x5, ", 71)
                          + QByteArray(100000, ',') + "\n  Stream: Video: b, 7x8, .5 fps,\n",
                      m, 1);
        QCOMPARE(m[0].duration, float(99.99f + 99.0f * 60.0f + 99.0f * 3600.0f));
        QCOMPARE(m[0].width, 0);  // an overflowing number reads as 0, and is the first size
        QCOMPARE(m[0].height, 5);
        QCOMPARE(m[0].fps, 0.5f);
        parseProbeLog(QByteArray(), m, 0);
        parseProbeLog("Input #0\nDuration: 00:00:01.00\n", nullptr, 0);
    }

    void realReportOfGeneratedMovies()
    {
        const QStringList names{QStringLiteral("m30.mp4"), QStringLiteral("plain.mov"), QStringLiteral("sub.mp4")};
        for (int b = 0; b < names.size(); ++b) {
            QVERIFY(QFileInfo::exists(vxtest::generatedPath(names[b])));
            track().block[b].movieFile = QFileInfo(vxtest::generatedPath(names[b]));
        }
        track().numBlocks = 3;
        QVERIFY(probeMovies(nullptr));
        const MovieBlock *b = track().block;
        QCOMPARE(b[0].duration, 2.0f);
        QCOMPARE(b[0].fps, 29.97f);  // 30000/1001
        QCOMPARE(b[0].width, 64);
        QCOMPARE(b[0].height, 48);
        QCOMPARE(b[1].duration, 3.0f);
        QCOMPARE(b[1].fps, 25.0f);
        QCOMPARE(b[1].width, 96);
        QCOMPARE(b[1].height, 64);
        QCOMPARE(b[2].duration, 3.0f);  // the audio and subtitle streams shift nothing
        QCOMPARE(b[2].width, 64);
        QCOMPARE(b[2].fps, 25.0f);
        QCOMPARE(b[3].duration, -1.0f);
    }

    // Movies the tool cannot open (empty files, files that are no movies)
    // anywhere in the list: every other movie still gets its facts, and each
    // unreadable movie costs one run more unless it is the last. 'G' is a
    // good movie (2 s or 3 s, alternating), 'z' an empty file, 'x' garbage.
    void unreadableMovies_data()
    {
        QTest::addColumn<QString>("movies");
        QTest::addColumn<int>("runs");
        QTest::newRow("all good") << "GGG" << 1;
        QTest::newRow("empty first") << "zGG" << 2;
        QTest::newRow("garbage between") << "GxG" << 2;
        QTest::newRow("empty last") << "GGz" << 1;
        QTest::newRow("two together") << "GzxG" << 3;
        QTest::newRow("none readable") << "zxz" << 3;
    }

    void unreadableMovies()
    {
        QFETCH(QString, movies);
        QFETCH(int, runs);
        struct Counter : MediaToolHooks {
            int runs = 0;
            void mediaToolStarted(QObject *) override { ++runs; }
            void mediaToolFinished(QObject *) override {}
        } counter;
        QTemporaryDir dir;
        int good = 0;
        for (int b = 0; b < movies.size(); ++b) {
            const QString path = dir.filePath(QStringLiteral("%1.mp4").arg(b));
            const char kind = movies[b].toLatin1();
            if (kind == 'G')
                QVERIFY(QFile::copy(vxtest::generatedPath(QString::fromLatin1(good++ % 2 ? "plain.mov" : "m30.mp4")), path));
            else
                QVERIFY(vxtest::writeFile(path, kind == 'z' ? QByteArray() : QByteArray(4096, '\x11')));
            track().block[b].movieFile = QFileInfo(path);
        }
        track().numBlocks = movies.size();
        setMediaToolHooks(&counter);
        QVERIFY(probeMovies(nullptr));
        setMediaToolHooks(nullptr);
        QCOMPARE(counter.runs, runs);
        good = 0;
        for (int b = 0; b < movies.size(); ++b) {
            const MovieBlock &m = track().block[b];
            const bool readable = movies[b] == QLatin1Char('G');
            QCOMPARE(m.duration, readable ? (good % 2 ? 3.0f : 2.0f) : -1.0f);
            QCOMPARE(m.width, readable ? (good % 2 ? 96 : 64) : 0);
            QCOMPARE(m.fps, readable && good % 2 ? 25.0f : 29.97f);
            good += readable;
        }
    }

    void missingToolProbesNothing()
    {
        QTemporaryDir empty;
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(empty.path()));
        track().block[0].movieFile = QFileInfo(vxtest::generatedPath(QStringLiteral("m30.mp4")));
        track().numBlocks = 1;
        const bool probed = probeMovies(nullptr);
        qputenv("PATH", oldPath);
        QVERIFY(!probed);
        QCOMPARE(track().block[0].duration, -1.0f);
        QCOMPARE(track().block[0].fps, 29.97f);
    }
};

QTEST_GUILESS_MAIN(TestMovieProbe)
#include "test_movieprobe.moc"
