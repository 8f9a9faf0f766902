// The clip and merge dialogs as a user drives them: fields, checks, files
// made, questions, the progress window's Cancel, the loaded movies protected.
#include "export/clipexport.h"
#include "export/exportclipdialog.h"
#include "export/mergedialog.h"
#include "export/movieargs.h"
#include "export/moviejob.h"
#include "export/moviemerge.h"
#include "export/movieoutput.h"
#include "export/movieprogress.h"
#include "main/guitest.h"

#include "moviefixture.h"

using namespace vx;
using namespace vxtest;

namespace {

// The real tool's report on a movie (its streams and length).
QString mediaReport(const QString &path)
{
    QProcess p;
    p.start(realMediaTool(), {"-hide_banner", "-i", path});
    p.waitForFinished(10000);
    return QString::fromUtf8(p.readAllStandardError());
}

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
};

QTEST_MAIN(TestMovieDialogs)
#include "test_moviedialogs.moc"
