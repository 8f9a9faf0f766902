// The clip and merge dialogs as a user drives them (fields, checks, files
// made, questions, the progress window's Cancel, the loaded movies
// protected); their argument lists, numbers, names, range checks and
// progress report; jobs with tools that fail, crash, hang or cannot start.
#include "export/clipexport.h"
#include "export/exportclipdialog.h"
#include "export/mergedialog.h"
#include "export/movieargs.h"
#include "export/moviejob.h"
#include "export/moviemerge.h"
#include "export/movieoutput.h"
#include "export/movieprogress.h"
#include "export/trackexport.h"
#include "main/guitest.h"
#include "support/testsupport.h"
#include "track/movieprobe.h"
#include "track/trackstore.h"

#include <clocale>
#include <unistd.h>

using namespace vx;

namespace {

QString realMediaTool() { return QStandardPaths::findExecutable(QStringLiteral("ffmpeg")); }

// The real tool's report on a movie (its streams and length).
QString mediaReport(const QString &path)
{
    QProcess p;
    p.start(realMediaTool(), {"-hide_banner", "-i", path});
    p.waitForFinished(10000);
    return QString::fromUtf8(p.readAllStandardError());
}

// Copies of generated movies ("<name>=<generated>") as blocks of two points, probed.
void loadMovies(const QString &dir, const QStringList &movies)
{
    resetTrackStore();
    TrackStore &t = track();
    for (const QString &movie : movies) {
        const QString path = dir + '/' + movie.section('=', 0, 0);
        QFile::remove(path);
        QVERIFY(QFile::copy(vxtest::generatedPath(movie.section('=', 1)), path));
        MovieBlock &b = t.block[t.numBlocks];
        b.movieFile = QFileInfo(path);
        b.numPoints = 2;
        for (int i = 0; i < 2; ++i) {
            b.gpsTime[i] = 1500000000u + 10u * t.numBlocks + i;
            b.lat[i] = -33.0 - 0.001 * t.numBlocks;
            b.lon[i] = 151.0 + 0.001 * i;
        }
        ++t.numBlocks;
    }
    QVERIFY(probeMovies(nullptr));
    rebuildPlayOrder();
}

// "ffmpeg" in a folder first on PATH for the test's life: a script, an
// executable the system cannot run, or the real tool except for runs whose
// arguments hold `pattern`, which run `script` instead.
class FakeMediaTool {
public:
    FakeMediaTool() : m_oldPath(qgetenv("PATH")), m_real(realMediaTool())
    {
        qputenv("PATH", QFile::encodeName(m_dir.path()) + ':' + m_oldPath);
    }
    ~FakeMediaTool() { qputenv("PATH", m_oldPath); }
    void install(const QByteArray &script, bool runnable = true)
    {
        const QString path = m_dir.filePath(QStringLiteral("ffmpeg"));
        QFile::remove(path);
        QVERIFY(vxtest::writeFile(path, runnable ? "#!/bin/sh\n" + script : QByteArray("\x7f" "ELF garbage")));
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    }
    void useReal(const QByteArray &pattern = QByteArray(), const QByteArray &script = QByteArray())
    {
        install((pattern.isEmpty() ? QByteArray() : "case \"$*\" in *" + pattern + "*) " + script + ";; esac\n")
                + "exec '" + QFile::encodeName(m_real) + "' \"$@\"\n");
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_oldPath;
    QString m_real;
};

// Writes "partial" into the job's output (its last argument).
const QByteArray kPartial = "for a; do out=$a; done; echo partial > \"$out\"\n";

// Dialogs whose file choosers answer with what the test set.
struct ScriptedClip : exportClipDialog {
    using exportClipDialog::exportClipDialog;
    QString destination, startedIn;
    QString chooseDestination(const QString &start) override { return startedIn = start, destination; }
};
struct ScriptedMerge : mergeDialog {
    using mergeDialog::mergeDialog;
    QString chosen;
    QStringList asked;  // default path and filter
    QString chooseOutput(const QString &path, const QString &filter) override { return asked << path << filter, chosen; }
};

// Clicks Cancel (Abort) of the progress window `label` once its bar moved; records the bar.
struct CancelWhenMoving {
    CancelWhenMoving(QWidget *owner, const QString &label)
    {
        QObject::connect(&timer, &QTimer::timeout, [=] {
            for (auto *p : owner->findChildren<movieProgressDialog *>())
                if (p->isVisible() && p->label()->text() == label && p->bar()->value() > 0 && barAtCancel < 0) {
                    barAtCancel = p->bar()->value();
                    buttonText = p->cancelButton()->text();
                    p->cancelButton()->click();
                }
        });
        timer.start(20);
    }
    QTimer timer;
    int barAtCancel = -1;
    QString buttonText;
};

double secondsOf(const QString &path) { return probeMovieSeconds(nullptr, path); }

QStringList filesIn(const QString &dir) { return QDir(dir).entryList(QDir::Files, QDir::Name); }

} // namespace

class TestMovieDialogs : public QObject {
    Q_OBJECT
    FakeMediaTool m_tool;
    QTemporaryDir m_root;
    // Quotes, commas and letters beyond ASCII in the folder and the names.
    const QString m_movies = m_root.filePath(QString::fromUtf8("it's é, here"));

private slots:
    void initTestCase() { vxtest::silencePlatformWarnings(); }
    void init()
    {
        m_tool.useReal();
        QVERIFY(QDir().mkpath(m_movies));
        loadMovies(m_movies, {"it's 1.mov=tone25.mp4", QString::fromUtf8("é 2.mov=tone25.mp4"), "c,3.mov=tone25.mp4"});
    }
    void clipFieldsChecksFilesAndCarryOver()
    {
        {
            vxtest::BoxAnswerer none({});
            runExportClipDialog(nullptr, -1, 0, 0);
            QCOMPARE(none.unexpected, QStringList{"Can not export. No movies loaded."});
        }
        QTemporaryDir dest;
        ScriptedClip dialog(1, 1500, 0);
        QCOMPARE(dialog.windowTitle() + '|' + dialog.movieNameLabel->text() + '|' + dialog.rateCombo->currentText()
                     + QString::number(dialog.rateCombo->count()),
                 QString::fromUtf8("Export Movie Fragment|é 2.mov|1.0x7"));
        QVERIFY(dialog.infoLabel->text().startsWith("Movie Duration: 3"));
        const auto fields = [&] {
            return QStringList{dialog.startMinutes->text(), dialog.startSeconds->text(), dialog.stopMinutes->text(),
                               dialog.stopSeconds->text(), dialog.durationEdit->text()};
        };
        QCOMPARE(fields(), (QStringList{"0", "1.5", "0", "6.5", "5"}));
        // Typing a duration moves the stop; typing a stop moves the duration.
        dialog.durationEdit->clear();
        QTest::keyClicks(dialog.durationEdit, "0.05");
        QCOMPARE(fields(), (QStringList{"0", "1.5", "0", "1.55", "0.05"}));
        dialog.stopSeconds->clear();
        QTest::keyClicks(dialog.stopSeconds, "2.5");
        QCOMPARE(dialog.durationEdit->text(), QStringLiteral("1"));
        dialog.durationEdit->setText("0.05");
        vxtest::BoxAnswerer boxes({"OK", "No", "No"});
        dialog.export_clip_slot();
        QCOMPARE(boxes.texts, QStringList{"Duration must be longer than 0.1 seconds."});
        QCOMPARE(fields(), (QStringList{"0", "1.5", "0", "2.5", "0.05"}));
        dialog.durationEdit->setText("1");
        dialog.rateCombo->setCurrentIndex(4);
        dialog.audioCheck->setChecked(false);
        dialog.destination = dest.path();
        dialog.export_clip_slot();
        QCOMPARE(boxes.texts.value(1), QString::fromUtf8("Export Complete! é 2_000.mov created. Reveal in file manager?"));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const QString first = dest.filePath(QString::fromUtf8("é 2_000.mov"));
        QVERIFY(std::fabs(secondsOf(first) - 0.5) < 0.15);
        QVERIFY(!mediaReport(first).contains("Audio:"));
        // The user's usual permissions, not those of a private temporary file.
        QVERIFY(vxtest::writeFile(dest.filePath("usual"), ""));
        QCOMPARE(QFileInfo(first).permissions(), QFileInfo(dest.filePath("usual")).permissions());
        QFile::remove(dest.filePath("usual"));
        QCOMPARE(vxtest::store().value("movieExportDirectory").toString(), dest.path() + '/');
        // The next clip keeps the length, sound, folder, and takes the next number.
        ScriptedClip again(1, 0, 0);
        QCOMPARE(again.durationEdit->text() + QString::number(again.audioCheck->isChecked())
                     + QString::number(again.rateCombo->currentIndex()),
                 QStringLiteral("103"));
        again.destination = dest.path();
        again.export_clip_slot();
        QCOMPARE(again.startedIn, dest.path() + '/');
        QCOMPARE(boxes.texts.value(2), QString::fromUtf8("Export Complete! é 2_001.mov created. Reveal in file manager?"));
        QCOMPARE(filesIn(dest.path()), (QStringList{QString::fromUtf8("é 2_000.mov"), QString::fromUtf8("é 2_001.mov")}));
        // 1.0x copies the picture as it is, and the sound stays off.
        const QString second = mediaReport(dest.filePath(QString::fromUtf8("é 2_001.mov")));
        QVERIFY(second.contains("Video: mpeg4") && !second.contains("Audio:"));
    }
    void clipCancelAndFailureLeaveNothing()
    {
        QTemporaryDir dest;
        m_tool.install(kPartial + "echo out_time_us=1000000\nexec sleep 30\n");
        ScriptedClip dialog(0, 0, 0);
        dialog.durationEdit->setText("2");
        dialog.destination = dest.path();
        dialog.show();
        CancelWhenMoving cancel(&dialog, QStringLiteral("Exporting. Please wait..."));
        vxtest::BoxAnswerer boxes({"OK", "OK"});
        dialog.export_clip_slot();
        QVERIFY(boxes.texts.isEmpty());
        QCOMPARE(cancel.buttonText + QString::number(cancel.barAtCancel), QStringLiteral("Cancel500"));  // 1 s of 2 s
        QVERIFY(dialog.isVisible() && filesIn(dest.path()).isEmpty());  // still open for another try
        // A folder that cannot be written is refused before the tool runs.
        dialog.destination = dest.filePath("gone");
        dialog.export_clip_slot();
        dialog.destination = dest.path();
        m_tool.install("echo 'Unknown encoder' >&2\nexit 1\n");
        dialog.export_clip_slot();
        QCOMPARE(boxes.texts, (QStringList{"Could not write this location: " + dest.filePath("gone/")
                                               + ". Please try a different location.",
                                           "The clip could not be exported.\n\nffmpeg ended with status 1.\n\n"
                                           "The last lines of the ffmpeg report:\n\nUnknown encoder"}));
        QCOMPARE(filesIn(dest.path()), QStringList());
    }
    void mergeAcceleratesAndWritesTheGpx()
    {
        QTemporaryDir dest;
        ScriptedMerge dialog;
        QCOMPARE(dialog.windowTitle() + QString::number(dialog.firstCombo->count()) + dialog.lastCombo->itemText(0),
                 QString::fromUtf8("Merge Movies3é 2.mov"));
        dialog.lastCombo->setCurrentIndex(1);
        dialog.rateCombo->setCurrentIndex(5);
        // The movies' extension in other letters still gives a .mov movie.
        dialog.chosen = dest.filePath("merged_dashcam_movies.MOV");
        vxtest::BoxAnswerer no({"No"});
        dialog.merge_movies_slot();
        QCOMPARE(dialog.asked.value(1), QStringLiteral("Movie Files (*.mov)"));
        QVERIFY(dialog.asked.value(0).endsWith("/merged_dashcam_movies.mov"));
        QCOMPARE(no.texts, QStringList{"   Acceleration Step Complete! merged_dashcam_movies_4.0x.mov created. "
                                       "Reveal movies in file manager?   "});
        QCOMPARE(filesIn(dest.path()), (QStringList{"merged_dashcam_movies.gpx", "merged_dashcam_movies.mov",
                                                    "merged_dashcam_movies_4.0x.mov"}));
        // Nothing dropped for its quote, comma or accent: the length is the sum.
        const double merged = secondsOf(dest.filePath("merged_dashcam_movies.mov"));
        QVERIFY(std::fabs(merged - knownSum(mergeInputSeconds({0, 1, 2}))) < 0.2);
        QVERIFY(mediaReport(dest.filePath("merged_dashcam_movies.mov")).contains("Audio: aac"));
        QVERIFY(concatListPath().startsWith(mediaToolTempDir() + '/'));
        QVERIFY(std::fabs(secondsOf(dest.filePath("merged_dashcam_movies_4.0x.mov")) - merged / 4) < 0.2);
        QCOMPARE(vxtest::readFile(dest.filePath("merged_dashcam_movies.gpx")).count("<trkpt "), 6);
        QCOMPARE(dialog.outputPath(), dest.filePath("merged_dashcam_movies_4.0x.mov"));
    }
    void cancelDuringAccelerationKeepsTheMerge()
    {
        QTemporaryDir dest;
        m_tool.useReal("setpts", kPartial + "echo out_time_us=500000; exec sleep 30");
        ScriptedMerge dialog;
        dialog.show();
        dialog.rateCombo->setCurrentIndex(6);
        dialog.chosen = dest.filePath("trip.mov");
        CancelWhenMoving cancel(&dialog, accelerationProgressText());
        vxtest::BoxAnswerer no({"No"});
        dialog.merge_movies_slot();
        QCOMPARE(cancel.buttonText, QStringLiteral("Abort"));
        QVERIFY(cancel.barAtCancel > 600 && cancel.barAtCancel < 700);  // 0.5 s of 6 s at 8x
        QCOMPARE(no.texts, QStringList{"Merge Complete! trip.mov created. Reveal in file manager?"});
        QCOMPARE(filesIn(dest.path()), (QStringList{"trip.gpx", "trip.mov"}));
    }

    // Nothing loaded is an output, nothing replaced without a Yes, no failure leaves files.
    void mergeRefusesAsksAndCleansUp()
    {
        const QString belongs = "This file belongs to the loaded movies and is never written over:\n\n" + m_movies;
        const QString exists = "%1/old.gpx already exists.\nDo you want to replace it?";
        const QString failed = "The movies could not be merged.\n\n";
        // Chosen in the movies' folder ("@") or the destination.
        const struct { QString chosen; QByteArray failingTool; QStringList answers; QString firstText; } cases[] = {
            {"@/C,3.MOV", "", {"OK"}, belongs + "/C,3.mov"},     // a loaded movie
            {"@/trip.mov", "", {"OK"}, belongs + "/trip.gpx"},   // its GPX telemetry
            {"old.mov", "", {"No"}, exists},
            {"old.mov", "", {"Yes", "No"}, exists},  // replaced: the one case that writes a movie
            {"new.mov", "echo 'Invalid data found' >&2; exit 1", {"OK"},
             failed + "ffmpeg ended with status 1.\n\nThe last lines of the ffmpeg report:\n\nInvalid data found"},
            {"new.mov", "prev=; for a; do [ \"$prev\" = -i ] && list=$a; prev=$a; done; sed -i '2,$d' \"$list\"",
             {"OK"}, failed + "The merged movie is 3"},  // a movie left out
        };
        for (const auto &c : cases) {
            QTemporaryDir dest;
            track().block[0].telemetryFile = QFileInfo(m_movies + "/trip.gpx");
            QVERIFY(vxtest::writeFile(dest.filePath("old.gpx"), "old"));
            m_tool.useReal(c.failingTool.isEmpty() ? QByteArray() : "concat", c.failingTool);
            ScriptedMerge dialog;
            dialog.lastCombo->setCurrentIndex(1);
            dialog.chosen = c.chosen.startsWith('@') ? QString(c.chosen).replace('@', m_movies) : dest.filePath(c.chosen);
            vxtest::BoxAnswerer boxes(c.answers);
            dialog.merge_movies_slot();
            const QString first = boxes.texts.value(0);
            QVERIFY2(first.startsWith(QString(c.firstText).replace("%1", dest.path())), qPrintable(first));
            QVERIFY(boxes.unexpected.isEmpty());
            QCOMPARE(filesIn(dest.path()).join(' '), c.answers.contains("Yes") ? "old.gpx old.mov" : "old.gpx");
            QCOMPARE(filesIn(m_movies), (QStringList{"c,3.mov", "it's 1.mov", QString::fromUtf8("é 2.mov")}));
        }
    }

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

    void argumentLists()
    {
        // A locale with a decimal comma must not leak into the numbers.
        std::setlocale(LC_ALL, "de_DE.UTF-8");
        QLocale::setDefault(QLocale(QLocale::German));
        const auto clip = [](double start, double duration, int rate, bool audio) {
            return clipArguments({"/m/a.MOV", start, duration, rate, audio, "/o/c.mov"});
        };
        const QList<QPair<QStringList, QString>> cases = {
            {clip(12.5, 10, 3, true), "-ss 12.5 -i /m/a.MOV -y -vcodec copy -acodec copy -t 10 /o/c.mov"},  // 1.0x
            {clip(0, 3.25, 3, false), "-ss 0 -i /m/a.MOV -y -vcodec copy -an -t 3.25 /o/c.mov"},
            {clip(1, 10, 4, true), "-ss 1 -i /m/a.MOV -filter:v setpts=0.5*PTS -filter:a atempo=2.0 -t 5 -y /o/c.mov"},
            {clip(1, 10, 6, false), "-ss 1 -i /m/a.MOV -filter:v setpts=0.125*PTS -an -t 1.25 -y /o/c.mov"},  // 8x
            {clip(0, 0.5, 0, true), "-ss 0 -i /m/a.MOV -filter:v setpts=8.0*PTS "
                                    "-filter:a atempo=0.5,atempo=0.5,atempo=0.5 -t 4 -y /o/c.mov"},  // 0.125x
            // "g" notation would give 1e-05 and 1.23457e+06, which ffmpeg refuses.
            {clip(0.00001, 1234567.5, 3, true),
             "-ss 0.00001 -i /m/a.MOV -y -vcodec copy -acodec copy -t 1234567.5 /o/c.mov"},
            {mergeArguments("/t/merge.txt", true, "/o/m.mov"), "-f concat -safe 0 -i /t/merge.txt -c copy -y /o/m.mov"},
            {mergeArguments("/t/merge.txt", false, "/o/m.mov"),
             "-f concat -safe 0 -i /t/merge.txt -c:v copy -an -y /o/m.mov"},
            {accelerationArguments("/o/m.mov", 5, true, "/o/m_4.0x.mov"),
             "-i /o/m.mov -filter:v setpts=0.25*PTS -filter:a atempo=2.0,atempo=2.0 -y /o/m_4.0x.mov"},
            {accelerationArguments("/o/m.mov", 1, false, "/o/x.mov"),
             "-i /o/m.mov -filter:v setpts=4.0*PTS -an -y /o/x.mov"},
        };
        QLocale::setDefault(QLocale::c());
        std::setlocale(LC_ALL, "C");
        for (const auto &c : cases)
            QCOMPARE(c.first.join(' '), "-nostdin -progress pipe:1 -nostats " + c.second);
        // The concat list: quoted, and no line breaks.
        QByteArray text;
        QVERIFY(concatListText({QString::fromUtf8("/v/it's/é,1.mov"), QStringLiteral("/v/b.mov")}, &text));
        QCOMPARE(text, QByteArray("file '/v/it'\\''s/\xc3\xa9,1.mov'\nfile '/v/b.mov'\n"));
        for (const QString &bad : {QStringLiteral("/v/a\nfile '/etc/passwd.mov"), QStringLiteral("/v/a\r.mov")}) {
            QString badPath;
            QVERIFY(!concatListText({QStringLiteral("/v/ok.mov"), bad}, &text, &badPath));
            QCOMPARE(badPath, bad);
        }
    }
    void progressReport()
    {
        const struct { QByteArrayList lines; double expectedSeconds, fraction; bool ended; } cases[] = {
            {{"frame=10", "out_time_us=2500000", "out_time=00:00:02.500000", "progress=continue"}, 5, 0.5, false},
            {{"out_time_us=1000000", "out_time_us=N/A"}, 4, 0.25, false},  // N/A keeps the last
            {{"out_time_us=-23220"}, 4, 0, false}, {{"out_time_us=9000000"}, 0, 0, false},  // negative; no length
            {{"out_time_us=9000000", "progress=end"}, 4, 1, true},          // past the end
            {{"out_time_ms=3000000", "junk", "=5"}, 4, 0, false},           // out_time_ms is not it
        };
        for (const auto &c : cases) {
            ProgressReport report;
            for (const QByteArray &line : c.lines)
                report.feed(line);
            QCOMPARE(progressFraction(report.outTimeUs(), c.expectedSeconds), c.fraction);
            QCOMPARE(report.ended(), c.ended);
        }
    }
    void namesAndFieldTexts()
    {
        QTemporaryDir dir;
        QCOMPARE(clipOutputPath(dir.path(), "DJI_0001.MOV"), dir.filePath("DJI_0001_000.mov"));
        QVERIFY(vxtest::writeFile(dir.filePath("DJI_0001_000.mov"), "x"));
        QVERIFY(QFile::link(dir.filePath("nowhere"), dir.filePath("DJI_0001_001.mov")));  // dangling link
        QCOMPARE(clipOutputPath(dir.path() + '/', "DJI_0001.MOV"), dir.filePath("DJI_0001_002.mov"));
        QCOMPARE(clipOutputPath(dir.path(), "noext"), dir.filePath("noext_000.mov"));
        for (int n = 0; n <= CLIP_COUNTER_LIMIT; ++n)
            QVERIFY(vxtest::writeFile(dir.filePath(QString::asprintf("full_%03d.mov", n)), ""));
        QCOMPARE(clipOutputPath(dir.path(), "full.mp4"), QString());
        const QStringList got = {mergedMoviePath("/d/merged.MP4"), mergedMoviePath("/d.x/merged"),
                                 mergedGpxPath("/d/merged.mov"), acceleratedMoviePath("/d/merged_dashcam_movies.mov", 5),
                                 splitMinutesSeconds(65.5).minutes, splitMinutesSeconds(65.5).seconds,
                                 splitMinutesSeconds(7.123456).seconds, splitMinutesSeconds(0.00001).seconds,
                                 durationFieldText(12.3456789), QString::number(fieldValue(" 2.5 ")),
                                 QString::number(fieldValue("abc")), clipInfoText(1, 62.5), clipInfoText(30, 120),
                                 exportRateLabel(0), exportRateLabel(7), QString::number(exportRateValue(6))};
        QCOMPARE(got, (QStringList{"/d/merged.mov", "", "/d/merged.gpx", "/d/merged_dashcam_movies_4.0x.mov", "1",
                                   "5.5", "7.123", "0.00001", "12.3457", "2.5", "0", "Movie Duration: 62.5 seconds",
                                   "Timelapse Duration: 60 minutes", "0.125x", "", "8"}));
    }

    // start, duration, time factor, movie length -> the error.
    void clipRangeChecks()
    {
        const struct { double start, duration; int factor; double movie; QString error; } cases[] = {
            {2, 5, 1, 30, QString()}, {0, 0.1, 1, 30, QString()},  // fits; exactly the minimum
            {0, 0.099, 1, 30, "Duration must be longer than 0.1 seconds."},
            {-1, 5, 1, 30, "The start time must be greater than 0 seconds."},
            {0, 29.95, 1, 30, "Duration must be shorter than 29.9 seconds."},
            {20, 9.95, 1, 30, "Start Time plus duration must be shorter than 29.9 seconds."},
            {0, 1.9, 20, 30, "Duration must be longer than 2 seconds."},  // a time-lapse
            {40, 60, 20, 30, QString()}, {100, 5, 1, -1, QString()},  // a time-lapse; an unknown length
        };
        for (const auto &c : cases) {
            const ClipRange r = checkClipRange(c.start, c.duration, c.factor, c.movie);
            QCOMPARE(r.error, c.error);
            QCOMPARE(r.ok, c.error.isEmpty());
            QCOMPARE(r.startSeconds, c.start / c.factor);
            QCOMPARE(r.durationSeconds, c.duration / c.factor);
        }
    }
    void mergedLength()
    {
        const struct { double actual; QVector<double> inputs; bool fits; } cases[] = {
            {9.04, {3.0, 3.0, 3.02}, true}, {6.02, {3.0, 3.0, 3.02}, false},  // the sum; a movie left out
            {600.0, {300.0, 0.8, 300.0}, false},                              // a short movie left out
            {3590.0, {1200.0, 1200.0, 1200.0}, true},                         // 1 % of long movies
            {-1.0, {3.0, 3.0}, false},                                        // unreadable output
            {8.0, {3.0, -1.0, 3.0}, true}, {2.0, {3.0, -1.0, 3.0}, false},    // an unknown input
        };
        for (const auto &c : cases)
            QVERIFY2(mergedLengthFits(c.actual, c.inputs) == c.fits, qPrintable(QString::number(c.actual)));
    }
};

QTEST_MAIN(TestMovieDialogs)
#include "test_moviedialogs.moc"
