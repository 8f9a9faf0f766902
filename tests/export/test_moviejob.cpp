// Movie jobs with fake tools that fail, crash, hang, are cancelled or cannot
// start; the merge checks on generated movies; the loaded files protected.
#include "export/movieargs.h"
#include "export/moviejob.h"
#include "export/moviemerge.h"
#include "export/movieoutput.h"
#include "export/trackexport.h"

#include "moviefixture.h"

#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <unistd.h>

using namespace vx;

class TestMovieJob : public QObject {
    Q_OBJECT

    vxtest::FakeMediaTool m_tool;

private slots:
    void init() { m_tool.useReal(); }

    void mergeRefusals_data()
    {
        QTest::addColumn<QStringList>("movies");
        QTest::addColumn<int>("removed");  // deleted after loading
        QTest::addColumn<QString>("problem");
        QTest::newRow("same type in any case") << QStringList{"a.MP4=tone25.mp4", "b.mp4=tone25.mp4"} << -1 << QString();
        QTest::newRow("a movie deleted since loading")
            << QStringList{"a.mp4=tone25.mp4", "b.mp4=tone25.mp4", "c.mp4=tone25.mp4"} << 1
            << "Could not find this movie:\n\n%1/b.mp4";
        QTest::newRow("mixed frame sizes") << QStringList{"a.mp4=tone25.mp4", "b.mp4=wide25.mp4"} << -1
                                           << "All movies must be of the same type and have the same filename "
                                              "extension, frame size and frame rate. These two differ:\n\n"
                                              "a.mp4 (.mp4, 64x48, 25 fps)\nb.mp4 (.mp4, 96x64, 25 fps)";
        QTest::newRow("mixed extensions") << QStringList{"a.mp4=tone25.mp4", "b.mov=tone25.mp4"} << -1
                                          << "All movies must be of the same type";
        QTest::newRow("mixed rates") << QStringList{"a.mp4=m30.mp4", "b.mp4=tone25.mp4"} << -1
                                     << "All movies must be of the same type";
        QTest::newRow("line break") << QStringList{"a.mp4=tone25.mp4", "b\n.mp4=tone25.mp4"} << -1
                                    << "Illegal line breaks in movie file path detected:\n\n%1/b\n.mp4";
        QTest::newRow("one movie") << QStringList{"a.mp4=tone25.mp4"} << -1
                                   << "You must have at least 2 movies loaded to use this feature.";
    }
    void mergeRefusals()
    {
        QFETCH(QStringList, movies);
        QFETCH(int, removed);
        QFETCH(QString, problem);
        QTemporaryDir dir;
        vxtest::loadMovies(dir.path(), movies);
        if (removed >= 0)
            QVERIFY(QFile::remove(track().block[removed].movieFile.absoluteFilePath()));
        const QString text = mergeProblem(mergeRangeAt(0, track().playCount - 2));
        QVERIFY2(text.startsWith(problem.replace("%1", dir.path())), qPrintable(text));
        QCOMPARE(text.isEmpty(), problem.isEmpty());
        if (problem.isEmpty())
            QCOMPARE(mergeProblem(mergeRangeAt(1, 0)), mergeOrderText());
    }

    void inactiveMoviesAreLeftOut()
    {
        QTemporaryDir dir;
        vxtest::loadMovies(dir.path(), {"a.mp4=tone25.mp4", "b.mp4=tone25.mp4", "c.mp4=tone25.mp4"});
        // First M1 with last M2 joins two; last M3 joins all three.
        QCOMPARE(mergeBlocks(mergeRangeAt(0, 0)), (QVector<int>{0, 1}));
        QCOMPARE(mergeBlocks(mergeRangeAt(0, 1)), (QVector<int>{0, 1, 2}));
        track().block[1].active = false;
        rebuildPlayOrder();
        QCOMPARE(mergeLastChoices(), QStringList{"c.mp4"});
        QCOMPARE(mergeBlocks(mergeRangeAt(0, 0)), (QVector<int>{0, 2}));
        QVERIFY(writeConcatList(concatListPath(), {0, 2}));
        const QByteArray d = QFile::encodeName(dir.path());
        QCOMPARE(vxtest::readFile(concatListPath()), "file '" + d + "/a.mp4'\nfile '" + d + "/c.mp4'\n");
        // And out of the merged GPX: two points of a, two of c.
        QVERIFY(exportGpxRange(dir.filePath("m.gpx"), 0, 0, 2, 2).ok);
        QCOMPARE(vxtest::readFile(dir.filePath("m.gpx")).count("<trkpt "), 4);
    }

    void loadedFilesAreNeverOutputs_data()
    {
        QTest::addColumn<QString>("candidate");
        QTest::addColumn<bool>("clash");
        QTest::newRow("the movie") << "DJI_0001.MOV" << true;
        QTest::newRow("the movie by another way") << "sub/../DJI_0001.MOV" << true;
        QTest::newRow("the movie in other letters (FAT)") << "dji_0001.mov" << true;
        QTest::newRow("its telemetry") << "DJI_0001.SRT" << true;
        QTest::newRow("its telemetry in other letters") << "DJI_0001.srt" << true;
        QTest::newRow("a hard link to it") << "hard.mov" << true;
        QTest::newRow("a symbolic link to it") << "soft.mov" << true;
        QTest::newRow("through a linked folder") << "linked/DJI_0001.MOV" << true;
        QTest::newRow("a new name") << "merged.mov" << false;
        QTest::newRow("another folder") << "sub/DJI_0001.MOV" << false;
    }
    void loadedFilesAreNeverOutputs()
    {
        QFETCH(QString, candidate);
        QFETCH(bool, clash);
        QTemporaryDir dir;
        QVERIFY(vxtest::writeFile(dir.filePath("DJI_0001.MOV"), "movie"));
        QVERIFY(vxtest::writeFile(dir.filePath("DJI_0001.SRT"), "telemetry"));
        QVERIFY(QDir().mkpath(dir.filePath("sub")));
        QVERIFY(::link(QFile::encodeName(dir.filePath("DJI_0001.MOV")), QFile::encodeName(dir.filePath("hard.mov"))) == 0);
        QVERIFY(QFile::link(dir.filePath("DJI_0001.MOV"), dir.filePath("soft.mov")));
        QVERIFY(QFile::link(dir.path(), dir.filePath("linked")));
        resetTrackStore();
        track().numBlocks = 1;
        track().block[0].movieFile = QFileInfo(dir.filePath("DJI_0001.MOV"));
        track().block[0].telemetryFile = QFileInfo(dir.filePath("DJI_0001.SRT"));
        QCOMPARE(!clashingSource(dir.filePath(candidate), loadedSourceFiles()).isEmpty(), clash);
    }

    // Every way a job can go wrong (and a cancel) ends the wait, removes the
    // partial movie and says why, with the report's last lines.
    void failingTools_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<bool>("runnable");
        QTest::addColumn<int>("stallLimitMs");
        QTest::addColumn<int>("timeLimitMs");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("tail");
        const QByteArray out = vxtest::FakeMediaTool::partialOutput();
        QTest::newRow("exits 1") << out + "i=1; while [ $i -le 12 ]; do echo \"report $i\" >&2; i=$((i+1)); done\nexit 1\n"
                                 << true << 10000 << 0 << "ffmpeg ended with status 1."
                                 << "report 5\nreport 6\nreport 7\nreport 8\nreport 9\nreport 10\nreport 11\nreport 12";
        QTest::newRow("empty movie") << QByteArray("for a; do out=$a; done\n: > \"$out\"\necho done >&2\n") << true
                                     << 10000 << 0 << "ffmpeg wrote no movie." << "done";
        QTest::newRow("killed") << out + "echo dying >&2\nkill -9 $$\n" << true << 10000 << 0
                                << "ffmpeg crashed or was killed." << "dying";
        QTest::newRow("hangs") << out + "echo out_time_us=1000\nexec sleep 30\n" << true << 400 << 0
                               << "ffmpeg stopped making progress and was stopped." << QString();
        QTest::newRow("reports for ever") << out + "while :; do echo out_time_us=1000; sleep 0.05; done\n" << true
                                          << 10000 << 600 << "ffmpeg took far longer than expected and was stopped."
                                          << QString();
        QTest::newRow("cannot be run") << out << false << 10000 << 0 << "ffmpeg could not be started." << QString();
        // Cancelled once a quarter is reported.
        QTest::newRow("cancelled") << out + "echo out_time_us=500000\nexec sleep 30\n" << true << 10000 << 0
                                   << "cancel" << QString();
    }
    void failingTools()
    {
        QFETCH(QByteArray, script);
        QFETCH(bool, runnable);
        QFETCH(int, stallLimitMs);
        QFETCH(int, timeLimitMs);
        QFETCH(QString, reason);
        QFETCH(QString, tail);
        m_tool.install(script, runnable);
        QTemporaryDir dir;
        MovieJob job;
        job.outputPath = dir.filePath("out.mov");
        job.arguments = QStringList{"-i", "x.mov", job.outputPath};
        job.logFile = dir.filePath("log.txt");
        job.expectedSeconds = 2;
        job.stallLimitMs = stallLimitMs;
        job.timeLimitMs = timeLimitMs;
        ToolCancel cancel;
        double seen = -1;
        if (reason == QLatin1String("cancel")) {
            job.cancel = &cancel;
            job.onProgress = [&](double f) {
                if ((seen = f) > 0)
                    QTimer::singleShot(50, &cancel, &ToolCancel::cancel);
            };
        }
        QElapsedTimer clock;
        clock.start();
        const MovieJobResult r = runMovieJob(nullptr, job);
        QVERIFY(clock.elapsed() < 5000);
        QVERIFY(!QFile::exists(job.outputPath));
        QVERIFY(!mediaToolBusy());
        if (job.cancel) {
            QCOMPARE(int(r.status), int(MovieJobStatus::Cancelled));
            QCOMPARE(seen, 0.25);
            return;
        }
        QCOMPARE(int(r.status), int(MovieJobStatus::Failed));
        QCOMPARE(r.reason + '|' + r.logTail, reason + '|' + tail);
        QVERIFY(movieJobFailureText("Headline.", r).startsWith("Headline.\n\n" + reason));
    }
};

QTEST_GUILESS_MAIN(TestMovieJob)
#include "test_moviejob.moc"
