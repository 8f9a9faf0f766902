// Movie jobs with tools that fail, crash, hang or cannot start; the merge
// checks on generated movies; the protection of the loaded files.
#include "export/movieargs.h"
#include "export/moviejob.h"
#include "export/moviemerge.h"
#include "export/movieoutput.h"
#include "export/trackexport.h"

#include "moviefixture.h"

#include <unistd.h>

using namespace vx;
using namespace vxtest;

class TestMovieJob : public QObject {
    Q_OBJECT
    FakeMediaTool m_tool;

private slots:
    // Movies ("-": deleted after loading) -> the start of the merge's refusal.
    void mergeRefusals()
    {
        const QString differ = "All movies must be of the same type";
        const QList<QPair<QStringList, QString>> cases = {
            {{"a.MP4=tone25.mp4", "b.mp4=tone25.mp4"}, QString()},  // the same type in any case
            {{"a.mp4=tone25.mp4", "-b.mp4=tone25.mp4", "c.mp4=tone25.mp4"}, "Could not find this movie:\n\n%1/b.mp4"},
            {{"a.mp4=tone25.mp4", "b.mp4=wide25.mp4"},
             differ + " and have the same filename extension, frame size and frame rate. These two differ:\n\n"
                      "a.mp4 (.mp4, 64x48, 25 fps)\nb.mp4 (.mp4, 96x64, 25 fps)"},
            {{"a.mp4=tone25.mp4", "b.mov=tone25.mp4"}, differ}, {{"a.mp4=m30.mp4", "b.mp4=tone25.mp4"}, differ},
            {{"a.mp4=tone25.mp4", "b\n.mp4=tone25.mp4"}, "Illegal line breaks in movie file path detected:\n\n%1/b\n.mp4"},
            {{"a.mp4=tone25.mp4"}, "You must have at least 2 movies loaded to use this feature."},
        };
        for (const auto &c : cases) {
            QTemporaryDir dir;
            QStringList movies = c.first;
            const int removed = movies.indexOf(QRegularExpression("^-.*"));
            movies.replaceInStrings(QRegularExpression("^-"), QString());
            loadMovies(dir.path(), movies);
            QVERIFY(removed < 0 || QFile::remove(track().block[removed].movieFile.absoluteFilePath()));
            const QString text = mergeProblem(mergeRangeAt(0, track().playCount - 2));
            QVERIFY2(text.startsWith(QString(c.second).replace("%1", dir.path())), qPrintable(text));
            QCOMPARE(text.isEmpty(), c.second.isEmpty());
            if (c.second.isEmpty())
                QCOMPARE(mergeProblem(mergeRangeAt(1, 0)), mergeOrderText());
        }
    }
    void inactiveMoviesAreLeftOut()
    {
        QTemporaryDir dir;
        loadMovies(dir.path(), {"a.mp4=tone25.mp4", "b.mp4=tone25.mp4", "c.mp4=tone25.mp4"});
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
    void loadedFilesAreNeverOutputs()
    {
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
        // The movie by other ways, letters (FAT) and links, its telemetry; then free names.
        QStringList clashes;
        for (const char *candidate : {"DJI_0001.MOV", "sub/../DJI_0001.MOV", "dji_0001.mov", "DJI_0001.SRT",
                                      "DJI_0001.srt", "hard.mov", "soft.mov", "linked/DJI_0001.MOV", "merged.mov",
                                      "sub/DJI_0001.MOV"})
            clashes << (clashingSource(dir.filePath(candidate), loadedSourceFiles()).isEmpty() ? "free" : "clash");
        QCOMPARE(clashes.join(' '), QStringLiteral("clash clash clash clash clash clash clash clash free free"));
    }

    // Every failure (and a cancel) ends the wait, removes the partial movie, says why.
    void failingTools()
    {
        const QByteArray out = kPartial;
        // reason "cancel": cancelled once a quarter is reported.
        const struct { QByteArray script; bool runnable; int stallLimitMs, timeLimitMs; QString reason, tail; } cases[] = {
            {out + "i=1; while [ $i -le 12 ]; do echo \"report $i\" >&2; i=$((i+1)); done\nexit 1\n", true, 10000, 0,
             "ffmpeg ended with status 1.", "report 5\nreport 6\nreport 7\nreport 8\nreport 9\nreport 10\nreport 11\n"
                                            "report 12"},
            {"for a; do out=$a; done\n: > \"$out\"\necho done >&2\n", true, 10000, 0, "ffmpeg wrote no movie.", "done"},
            {out + "echo dying >&2\nkill -9 $$\n", true, 10000, 0, "ffmpeg crashed or was killed.", "dying"},
            {out + "echo out_time_us=1000\nexec sleep 30\n", true, 400, 0,
             "ffmpeg stopped making progress and was stopped.", ""},
            {out + "while :; do echo out_time_us=1000; sleep 0.05; done\n", true, 10000, 600,
             "ffmpeg took far longer than expected and was stopped.", ""},
            {out, false, 10000, 0, "ffmpeg could not be started.", ""},
            {out + "echo out_time_us=500000\nexec sleep 30\n", true, 10000, 0, "cancel", ""},
        };
        for (const auto &c : cases) {
            m_tool.install(c.script, c.runnable);
            QTemporaryDir dir;
            MovieJob job;
            job.outputPath = dir.filePath("out.mov");
            job.arguments = QStringList{"-i", "x.mov", job.outputPath};
            job.logFile = dir.filePath("log.txt");
            job.expectedSeconds = 2;
            job.stallLimitMs = c.stallLimitMs;
            job.timeLimitMs = c.timeLimitMs;
            ToolCancel cancel;
            double seen = -1;
            if (c.reason == QLatin1String("cancel")) {
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
            QVERIFY(!QFile::exists(job.outputPath) && !mediaToolBusy());
            QCOMPARE(int(r.status), int(job.cancel ? MovieJobStatus::Cancelled : MovieJobStatus::Failed));
            if (job.cancel) {
                QCOMPARE(seen, 0.25);
                continue;
            }
            QCOMPARE(r.reason + '|' + r.logTail, c.reason + '|' + c.tail);
            QVERIFY(movieJobFailureText("Headline.", r).startsWith("Headline.\n\n" + c.reason));
        }
    }
};

QTEST_GUILESS_MAIN(TestMovieJob)
#include "test_moviejob.moc"
