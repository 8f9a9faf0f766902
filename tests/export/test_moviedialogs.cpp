// The clip and merge dialogs as a user drives them: fields, checks and their
// warnings, the files made, the questions asked, the progress window and its
// Cancel, and what is refused to protect the loaded movies.
#include "export/clipexport.h"
#include "export/exportclipdialog.h"
#include "export/mergedialog.h"
#include "export/moviejob.h"
#include "export/moviemerge.h"
#include "export/movieprogress.h"
#include "main/guitest.h"

#include "moviefixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

using namespace vx;

namespace {

class ScriptedClip : public exportClipDialog {
public:
    using exportClipDialog::exportClipDialog;
    QString destination;
    QString startedIn;

protected:
    QString chooseDestination(const QString &start) override
    {
        startedIn = start;
        return destination;
    }
};

class ScriptedMerge : public mergeDialog {
public:
    using mergeDialog::mergeDialog;
    QString chosen;
    QStringList asked;  // default path and filter

protected:
    QString chooseOutput(const QString &defaultPath, const QString &filter) override
    {
        asked << defaultPath << filter;
        return chosen;
    }
};

// Clicks the Cancel (Abort) button of the progress window whose label is
// `label` once its bar has moved, and records the bar's value then.
struct CancelWhenMoving {
    CancelWhenMoving(QWidget *owner, const QString &label)
    {
        QObject::connect(&timer, &QTimer::timeout, [=] {
            for (auto *p : owner->findChildren<movieProgressDialog *>()) {
                if (p->isVisible() && p->label()->text() == label && p->bar()->value() > 0 && barAtCancel < 0) {
                    barAtCancel = p->bar()->value();
                    buttonText = p->cancelButton()->text();
                    p->cancelButton()->click();
                }
            }
        });
        timer.start(20);
    }
    QTimer timer;
    int barAtCancel = -1;
    QString buttonText;
};

double secondsOf(const QString &path) { return probeMovieSeconds(nullptr, path); }

QStringList filesIn(const QString &dir)
{
    QStringList files = QDir(dir).entryList(QDir::Files);
    files.sort();
    return files;
}

} // namespace

class TestMovieDialogs : public QObject {
    Q_OBJECT

    vxtest::FakeMediaTool m_tool;
    QTemporaryDir m_root;
    // Quotes, commas and letters beyond ASCII in the folder and the names.
    const QString m_movies = m_root.filePath(QString::fromUtf8("it's é, here"));

private slots:
    void initTestCase() { vxtest::silencePlatformWarnings(); }

    void init()
    {
        m_tool.useReal();
        QVERIFY(QDir().mkpath(m_movies));
        vxtest::loadMovies(m_movies, {"it's 1.mov=tone25.mp4", QString::fromUtf8("é 2.mov=tone25.mp4"),
                                      "c,3.mov=tone25.mp4"});
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
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Export Movie Fragment"));
        QCOMPARE(dialog.movieNameLabel->text(), QString::fromUtf8("é 2.mov"));
        QVERIFY(dialog.infoLabel->text().startsWith("Movie Duration: 3"));
        const auto fields = [&] {
            return QStringList{dialog.startMinutes->text(), dialog.startSeconds->text(), dialog.stopMinutes->text(),
                               dialog.stopSeconds->text(), dialog.durationEdit->text()};
        };
        QCOMPARE(fields(), (QStringList{"0", "1.5", "0", "6.5", "5"}));
        QCOMPARE(dialog.rateCombo->count(), 7);
        QCOMPARE(dialog.rateCombo->currentText(), QStringLiteral("1.0x"));
        // Typing a duration moves the stop; typing a stop moves the duration.
        dialog.durationEdit->clear();
        QTest::keyClicks(dialog.durationEdit, "0.05");
        QCOMPARE(fields(), (QStringList{"0", "1.5", "0", "1.55", "0.05"}));
        dialog.stopSeconds->clear();
        QTest::keyClicks(dialog.stopSeconds, "2.5");
        QCOMPARE(dialog.durationEdit->text(), QStringLiteral("1"));
        dialog.durationEdit->setText("0.05");
        {
            vxtest::BoxAnswerer ok({"OK"});
            dialog.export_clip_slot();
            QCOMPARE(ok.texts, QStringList{"Duration must be longer than 0.1 seconds."});
            QCOMPARE(fields(), (QStringList{"0", "1.5", "0", "2.5", "0.05"}));
        }
        dialog.durationEdit->setText("1");
        dialog.rateCombo->setCurrentIndex(4);
        dialog.audioCheck->setChecked(false);
        dialog.destination = dest.path();
        {
            vxtest::BoxAnswerer no({"No"});
            dialog.export_clip_slot();
            QCOMPARE(no.texts, QStringList{QString::fromUtf8("Export Complete! é 2_000.mov created. Reveal in file manager?")});
        }
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const QString first = dest.filePath(QString::fromUtf8("é 2_000.mov"));
        QVERIFY(std::fabs(secondsOf(first) - 0.5) < 0.15);
        QVERIFY(!vxtest::mediaReport(first).contains("Audio:"));
        // The user's usual permissions, not those of a private temporary file.
        QFile usual(dest.filePath("usual"));
        QVERIFY(usual.open(QIODevice::WriteOnly));
        QCOMPARE(QFileInfo(first).permissions(), usual.permissions());
        usual.remove();
        QCOMPARE(vxtest::store().value("movieExportDirectory").toString(), dest.path() + '/');

        // The next clip of the run starts from the last length and sound
        // choice, in the folder chosen last, and takes the next number.
        ScriptedClip again(1, 0, 0);
        QCOMPARE(again.durationEdit->text(), QStringLiteral("1"));
        QVERIFY(!again.audioCheck->isChecked());
        QCOMPARE(again.rateCombo->currentIndex(), 3);
        again.destination = dest.path();
        vxtest::BoxAnswerer no({"No"});
        again.export_clip_slot();
        QCOMPARE(again.startedIn, dest.path() + '/');
        QCOMPARE(no.texts, QStringList{QString::fromUtf8("Export Complete! é 2_001.mov created. Reveal in file manager?")});
        QCOMPARE(filesIn(dest.path()), (QStringList{QString::fromUtf8("é 2_000.mov"), QString::fromUtf8("é 2_001.mov")}));
        // 1.0x copies the picture as it is, and the sound stays off.
        const QString second = vxtest::mediaReport(dest.filePath(QString::fromUtf8("é 2_001.mov")));
        QVERIFY(second.contains("Video: mpeg4") && !second.contains("Audio:"));
    }

    void clipCancelAndFailureLeaveNothing()
    {
        QTemporaryDir dest;
        m_tool.install("for a; do out=$a; done\necho partial > \"$out\"\necho out_time_us=1000000\nexec sleep 30\n");
        ScriptedClip dialog(0, 0, 0);
        dialog.durationEdit->setText("2");
        dialog.destination = dest.path();
        dialog.show();
        CancelWhenMoving cancel(&dialog, QStringLiteral("Exporting. Please wait..."));
        {
            vxtest::BoxAnswerer none({});
            dialog.export_clip_slot();
            QVERIFY(none.texts.isEmpty());
        }
        QCOMPARE(cancel.barAtCancel, 500);  // 1 s of a 2 s clip
        QCOMPARE(cancel.buttonText, QStringLiteral("Cancel"));
        QVERIFY(dialog.isVisible());  // still open for another try
        QCOMPARE(filesIn(dest.path()), QStringList());

        // A folder that cannot be written is refused before the tool runs.
        dialog.destination = dest.filePath("gone");
        {
            vxtest::BoxAnswerer ok({"OK"});
            dialog.export_clip_slot();
            QCOMPARE(ok.texts, QStringList{"Could not write this location: " + dest.filePath("gone/")
                                           + ". Please try a different location."});
        }
        dialog.destination = dest.path();
        m_tool.install("echo 'Unknown encoder' >&2\nexit 1\n");
        vxtest::BoxAnswerer ok({"OK"});
        dialog.export_clip_slot();
        QCOMPARE(ok.texts, QStringList{"The clip could not be exported.\n\nffmpeg ended with status 1.\n\n"
                                       "The last lines of the ffmpeg report:\n\nUnknown encoder"});
        QCOMPARE(filesIn(dest.path()), QStringList());
    }

    void mergeAcceleratesAndWritesTheGpx()
    {
        QTemporaryDir dest;
        ScriptedMerge dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Merge Movies"));
        QCOMPARE(dialog.firstCombo->count(), 3);
        QCOMPARE(dialog.lastCombo->itemText(0), QString::fromUtf8("é 2.mov"));
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
        QVERIFY(vxtest::mediaReport(dest.filePath("merged_dashcam_movies.mov")).contains("Audio: aac"));
        QVERIFY(concatListPath().startsWith(mediaToolTempDir() + '/'));
        QVERIFY(std::fabs(secondsOf(dest.filePath("merged_dashcam_movies_4.0x.mov")) - merged / 4) < 0.2);
        QFile gpx(dest.filePath("merged_dashcam_movies.gpx"));
        QVERIFY(gpx.open(QIODevice::ReadOnly));
        QCOMPARE(gpx.readAll().count("<trkpt "), 6);
        QCOMPARE(dialog.outputPath(), dest.filePath("merged_dashcam_movies_4.0x.mov"));
    }

    void cancelDuringAccelerationKeepsTheMerge()
    {
        QTemporaryDir dest;
        m_tool.useReal("setpts", "for a; do out=$a; done; echo partial > \"$out\"; echo out_time_us=500000; "
                                 "exec sleep 30");
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

    // Nothing loaded is ever an output, nothing existing is replaced
    // without a Yes, and a failed merge leaves nothing behind.
    void mergeRefusesAsksAndCleansUp_data()
    {
        QTest::addColumn<QString>("chosen");  // in the movies' folder ("@") or the destination
        QTest::addColumn<QByteArray>("failingTool");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QString>("firstText");
        QTest::addColumn<QStringList>("files");  // in the destination afterwards
        QTest::newRow("a loaded movie") << "@/C,3.MOV" << QByteArray() << QStringList{"OK"}
                                        << "This file belongs to the loaded movies and is never written over:\n\n@/C,3.mov"
                                        << QStringList{"old.gpx"};
        QTest::newRow("its GPX telemetry") << "@/trip.mov" << QByteArray() << QStringList{"OK"}
                                           << "This file belongs to the loaded movies and is never written over:\n\n@/trip.gpx"
                                           << QStringList{"old.gpx"};
        QTest::newRow("an existing GPX, refused") << "old.mov" << QByteArray() << QStringList{"No"}
                                                  << "%1/old.gpx already exists.\nDo you want to replace it?"
                                                  << QStringList{"old.gpx"};
        QTest::newRow("an existing GPX, replaced") << "old.mov" << QByteArray() << QStringList{"Yes", "No"}
                                                   << "%1/old.gpx already exists.\nDo you want to replace it?"
                                                   << QStringList{"old.gpx", "old.mov"};
        QTest::newRow("the tool fails") << "new.mov" << QByteArray("echo 'Invalid data found' >&2; exit 1")
                                        << QStringList{"OK"}
                                        << "The movies could not be merged.\n\nffmpeg ended with status 1.\n\n"
                                           "The last lines of the ffmpeg report:\n\nInvalid data found"
                                        << QStringList{"old.gpx"};
        QTest::newRow("a movie left out") << "new.mov" << QByteArray("prev=; for a; do [ \"$prev\" = -i ] && list=$a; prev=$a; done; sed -i '2,$d' \"$list\"")
                                          << QStringList{"OK"} << "The movies could not be merged.\n\nThe merged movie is 3"
                                          << QStringList{"old.gpx"};
    }
    void mergeRefusesAsksAndCleansUp()
    {
        QFETCH(QString, chosen);
        QFETCH(QByteArray, failingTool);
        QFETCH(QStringList, answers);
        QFETCH(QString, firstText);
        QFETCH(QStringList, files);
        QTemporaryDir dest;
        track().block[0].telemetryFile = QFileInfo(m_movies + "/trip.gpx");
        QVERIFY(vxtest::writeFile(dest.filePath("old.gpx"), "old"));
        const QString movies = m_movies;
        if (!failingTool.isEmpty())
            m_tool.useReal("concat", failingTool);
        ScriptedMerge dialog;
        dialog.lastCombo->setCurrentIndex(1);
        dialog.chosen = chosen.startsWith('@') ? chosen.replace('@', movies) : dest.filePath(chosen);
        vxtest::BoxAnswerer boxes(answers);
        dialog.merge_movies_slot();
        QVERIFY2(boxes.texts.value(0).startsWith(firstText.replace('@', movies).replace("%1", dest.path())),
                 qPrintable(boxes.texts.value(0)));
        QVERIFY(boxes.unexpected.isEmpty());
        QCOMPARE(filesIn(dest.path()), files);
        QCOMPARE(filesIn(movies), (QStringList{"c,3.mov", "it's 1.mov", QString::fromUtf8("é 2.mov")}));
    }
};

QTEST_MAIN(TestMovieDialogs)
#include "test_moviedialogs.moc"
