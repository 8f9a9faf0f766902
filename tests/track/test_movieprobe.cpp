// The movie probe: the report patterns on hand-made lines and on the real
// report of the media tool for movies made during the build.
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

    void reportLines()
    {
        MovieProbe m[2];
        parseProbeLog("  Duration: 00:01:02.50, start: 0.000000, bitrate: 86 kb/s\n"
                      "  Stream #0:0: Video: h264 (High), yuv420p, 3840x2160, 29.97 fps, 29.97 tbr\n",
                      m, 2);
        QCOMPARE(m[0].duration, 62.5f);
        QCOMPARE(m[0].width, 3840);
        QCOMPARE(m[0].height, 2160);
        QCOMPARE(m[0].fps, 29.97f);
        QCOMPARE(m[1].duration, -1.0f);  // not described: reset values stay
        QCOMPARE(m[1].fps, 29.97f);
        QCOMPARE(m[1].width, 0);
    }

    void eachKindIsCountedOnItsOwn()
    {
        // Movie 0 reports two video streams: movie 1 gets the second
        // stream's size and rate, as the report reads. A duration of N/A
        // does not count; entries beyond the count are never written.
        MovieProbe m[2];
        parseProbeLog("Input #0\n  Duration: 01:00:00.00, start: 0\n"
                      "  Stream #0:0: Video: mpeg4, yuv420p, 640x480 [SAR 1:1 DAR 4:3], 25 fps, 25 tbr\n"
                      "  Stream #0:1: Video: mjpeg, yuvj420p, 160x120, 90k tbr\n"
                      "Input #1\n  Duration: N/A, bitrate: N/A\n"
                      "  Stream #1:0: Video: h264, yuv420p, 1920x1080, 50 fps, 50 tbr\n"
                      "Input #2\n  Duration: 00:00:03.00\n  Stream #2:0: Video: h264, 1280x720, 30 fps,\n",
                      m, 2);
        QCOMPARE(m[0].duration, 3600.0f);
        QCOMPARE(m[1].duration, 3.0f);
        QCOMPARE(m[0].width, 640);
        QCOMPARE(m[1].width, 160);
        QCOMPARE(m[1].height, 120);
        QCOMPARE(m[0].fps, 25.0f);
        QCOMPARE(m[1].fps, 50.0f);
    }

    void hostileReports()
    {
        MovieProbe m[1];
        parseProbeLog(QByteArray("Duration: 99:99:99.99\0, 123456789012x5, .5 fps,\n", 48) + QByteArray(100000, ',')
                          + "\n, 7x8\n",
                      m, 1);
        QCOMPARE(m[0].duration, float(99.99f + 99.0f * 60.0f + 99.0f * 3600.0f));
        QCOMPARE(m[0].width, 7);   // the first size line was cut at its NUL
        QCOMPARE(m[0].height, 8);
        QCOMPARE(m[0].fps, 29.97f);
        parseProbeLog(QByteArray(), m, 0);
        parseProbeLog("Duration: 00:00:01.00\n", nullptr, 0);
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
