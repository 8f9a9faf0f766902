// Every road to a load and the player window's steps after it: the command
// line, the folder and file dialogs, drops of files, folders and camera
// cards, the 100-movie cap, the date and name order, the messages when
// nothing is found (the store and the player keep what they had), a movie
// the player cannot open, and requests that arrive while a load or a
// media-tool run is under way (ignored; the store stays whole).
#include "guitest.h"
#include "playerfixture.h"

#include "control/controlcenterdialog.h"
#include "control/movielist.h"
#include "main/loadcontroller.h"
#include "main/mainwindow.h"
#include "main/playbackcontroller.h"
#include "main/playerpanel.h"
#include "main/startup.h"
#include "settings/settings.h"
#include "track/mediatool.h"
#include "track/trackstore.h"
#include "views/datadialog.h"
#include "views/graphdialog.h"
#include "views/mapdialog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QMediaPlaylist>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QToolButton>
#include <QVideoWidget>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

using namespace vx;
using vxtest::addMovie;
using vxtest::flightStart;

namespace {

void markNotFirstRun()
{
    QSettings s(QString::fromLatin1(keys::ORGANIZATION), QString::fromLatin1(keys::APPLICATION));
    s.setValue(QStringLiteral("configuration/confVersion"), 1);
}

struct Chooser : FileChooser {
    QString folder;
    QStringList files;
    int calls = 0;
    QString title, start, filter;
    QString chooseFolder(QWidget *, const QString &t, const QString &s) override
    {
        ++calls;
        title = t;
        start = s;
        return folder;
    }
    QStringList chooseFiles(QWidget *, const QString &t, const QString &s, const QString &f) override
    {
        ++calls;
        title = t;
        start = s;
        filter = f;
        return files;
    }
};

// What a piece of code writes to standard output.
template <typename F>
QByteArray capturedStdout(F run)
{
    std::fflush(stdout);
    char name[] = "/tmp/vxstdoutXXXXXX";
    const int fd = mkstemp(name);
    const int saved = dup(1);
    dup2(fd, 1);
    run();
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
    QFile f(QString::fromLatin1(name));
    f.open(QIODevice::ReadOnly);
    const QByteArray out = f.readAll();
    close(fd);
    unlink(name);
    return out;
}

QStringList loadedNames()
{
    QStringList names;
    for (int b = 0; b < track().numBlocks; ++b)
        names << track().block[b].movieFile.fileName();
    return names;
}

QStringList playlistNames(const MainWindow &w)
{
    QStringList names;
    for (int i = 0; i < w.playlist()->mediaCount(); ++i)
        names << QFileInfo(w.playlist()->media(i).request().url().toLocalFile()).fileName();
    return names;
}

QStringList comboTexts(const QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

} // namespace

class TestLoadController : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_flight;   // three movies with telemetry, 10 s apart
    QString m_other;    // two movies without telemetry

    QString dir(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase()
    {
        vxtest::silencePlatformWarnings();
        setApplicationIdentity();
        QVERIFY(m_dir.isValid());
        m_flight = dir(QStringLiteral("flight"));
        m_other = dir(QStringLiteral("other"));
        QVERIFY(QDir().mkpath(m_flight) && QDir().mkpath(m_other));
        for (int i = 0; i < 3; ++i)
            QVERIFY(addMovie(m_flight, QStringLiteral("plain.mov"), QStringLiteral("F%1.MOV").arg(i),
                             flightStart().addSecs(10 * i), 3, 3, 46.5 + i));
        QVERIFY(addMovie(m_other, QStringLiteral("m30.mp4"), QStringLiteral("X.mp4"), flightStart(), 2, 0));
        QVERIFY(addMovie(m_other, QStringLiteral("m30.mp4"), QStringLiteral("Y.mp4"), flightStart(), 2, 0));
    }

    void init()
    {
        QSettings(QString::fromLatin1(keys::ORGANIZATION), QString::fromLatin1(keys::APPLICATION)).clear();
        markNotFirstRun();
        setDefaultSettings();
    }

    void commandLineLoadsAFolderAndTheWindowFollows()
    {
        MainWindow w;
        w.show();
        PlayerPanel *p = w.panel();
        w.playback()->faster_slot();
        QCOMPARE(p->rateLabel->text(), QStringLiteral("2x"));
        // The progress: window-modal, "Processing %1 of %2...", no cancel.
        QStringList labels;
        bool modal = true;
        bool cancelShown = false;
        QTimer watch;
        watch.setInterval(1);
        connect(&watch, &QTimer::timeout, [&] {
            auto *dlg = w.findChild<QProgressDialog *>(QStringLiteral("loadProgress"));
            if (!dlg || !dlg->isVisible())
                return;
            if (!labels.contains(dlg->labelText()))
                labels << dlg->labelText();
            modal = modal && dlg->windowModality() == Qt::WindowModal;
            for (QPushButton *b : dlg->findChildren<QPushButton *>())
                cancelShown = cancelShown || b->isVisible();
        });
        watch.start();
        w.handleCommandLine({QStringLiteral("volantix"), QStringLiteral("--input=") + m_flight});
        watch.stop();
        QVERIFY(!labels.isEmpty());
        for (const QString &l : labels)
            QVERIFY2(QRegularExpression(QStringLiteral("^Processing [1-3] of 3\\.\\.\\.$")).match(l).hasMatch(),
                     qPrintable(l));
        QVERIFY(modal && !cancelShown);
        QCOMPARE(loadedNames(), (QStringList{"F0.MOV", "F1.MOV", "F2.MOV"}));
        QCOMPARE(playlistNames(w), loadedNames());
        QCOMPARE(p->movieCounterLabel->text(), QStringLiteral("1 of 3 movies"));
        QCOMPARE(p->masterSlider->maximum(), 2);
        QVERIFY(p->playPauseButton->isEnabled() && p->jumpToCombo->isEnabled());
        QCOMPARE(p->placeholder->styleSheet(), QStringLiteral("background-color: rgb(0, 0, 0);"));
        QVERIFY(!p->videoWidget->isHidden());
        QCOMPARE(p->rateLabel->text(), QStringLiteral("1x"));
        QVERIFY(w.playback()->isPlaying());
        // The jump-to list: Vmax, then each movie with its start and length.
        const QStringList jump = comboTexts(p->jumpToCombo);
        QCOMPARE(jump.size(), 4);
        QVERIFY(jump[0].startsWith(QStringLiteral("Vmax (")) && jump[0].endsWith(QStringLiteral(" mph)")));
        QCOMPARE(jump[2], QStringLiteral("F1.MOV [Fri Jul 14 2023 9:30:10 AM] [00:03]"));
        // The control center shows and lists the movies; the views were told.
        QVERIFY(g_controlCenterDialog->isVisible());
        QCOMPARE(g_controlCenterDialog->movieList()->rowCount(), 3);
        QCOMPARE(g_graphDialog->loadsSeen(), 1);
        QCOMPARE(g_mapDialog->loadsSeen(), 1);
        QCOMPARE(g_dataDialog->gaugeRebuilds(), 1);
        QVERIFY(g_dataDialog->showsAltitude() && g_dataDialog->showsSats());
        QVERIFY(g_graphDialog->hasAltitude() && g_graphDialog->hasSats());
        QSettings store(QString::fromLatin1(keys::ORGANIZATION), QString::fromLatin1(keys::APPLICATION));
        QCOMPARE(store.value(QStringLiteral("movieDirectory")).toString(), QDir(m_flight).absolutePath());

        // Movies without telemetry: the views learn there is no altitude,
        // and the player says there is no GPS data.
        QVERIFY(w.loader()->loadFolder(m_other));
        QVERIFY(!g_graphDialog->hasAltitude() && !g_dataDialog->showsSats());
        QCOMPARE(p->noGpsLabel->text(), QStringLiteral("NO GPS DATA LOADED"));
        w.close();
    }

    void commandLineMoviesAndMissingOnes()
    {
        MainWindow w;
        const QString single = dir(QStringLiteral("single"));
        QVERIFY(QDir().mkpath(single));
        QVERIFY(addMovie(single, QStringLiteral("plain.mov"), QStringLiteral("ONE.MP4"), flightStart(), 3, 3));
        QVERIFY(addMovie(single, QStringLiteral("plain.mov"), QStringLiteral("TWO.MP4"), flightStart(), 3, 3));
        // An upper-case extension names a movie: that one movie loads.
        w.handleCommandLine({QStringLiteral("volantix"), QStringLiteral("--input=") + single + "/ONE.MP4"});
        QCOMPARE(loadedNames(), QStringList{"ONE.MP4"});
        QCOMPARE(w.panel()->movieCounterLabel->text(), QStringLiteral("1 of 1 movies"));

        // A missing movie: its line, the no-movies line, and nothing loads.
        const QString missing = single + QStringLiteral("/gone.mov");
        const QByteArray out = capturedStdout([&] {
            w.handleCommandLine({QStringLiteral("volantix"), QStringLiteral("--input=") + missing});
        });
        QCOMPARE(out, (missing + QStringLiteral(" does not exist!\nNo *.mov, *.mp4, or *.avi movies found!\n"))
                          .toLocal8Bit());
        QCOMPARE(loadedNames(), QStringList{"ONE.MP4"});
        // A plain path, as a file manager passes it, with a quote in the name.
        QVERIFY(QFile::rename(single + "/TWO.MP4", single + "/T\"WO.MP4"));
        w.handleCommandLine({QStringLiteral("volantix"), single + "/T\"WO.MP4"});
        QCOMPARE(loadedNames(), QStringList{"T\"WO.MP4"});
        // Without paths nothing at all happens.
        const QByteArray none = capturedStdout([&] {
            w.handleCommandLine({QStringLiteral("volantix"), QStringLiteral("-x"), QStringLiteral("--verbose")});
        });
        QVERIFY(none.isEmpty());
        QCOMPARE(loadedNames(), QStringList{"T\"WO.MP4"});
        w.close();
    }

    void aHundredOfAHundredAndFiftyInNameOrder()
    {
        const QString many = dir(QStringLiteral("many"));
        QVERIFY(QDir().mkpath(many));
        for (int i = 0; i < 150; ++i)
            QVERIFY(addMovie(many, QStringLiteral("m30.mp4"), QStringLiteral("m%1.mp4").arg(149 - i, 3, 10, QLatin1Char('0')),
                             flightStart().addSecs(i * 10), 2, 2));
        MainWindow w;
        settings().dateSort = false;
        QVERIFY(w.loader()->loadFolder(many));
        QCOMPARE(track().numBlocks, 100);
        QCOMPARE(track().block[0].movieFile.fileName(), QStringLiteral("m000.mp4"));
        QCOMPARE(track().block[99].movieFile.fileName(), QStringLiteral("m099.mp4"));
        QCOMPARE(w.panel()->movieCounterLabel->text(), QStringLiteral("1 of 100 movies"));
        QCOMPARE(w.playlist()->mediaCount(), 100);
        QCOMPARE(g_controlCenterDialog->movieList()->rowCount(), 100);
        QCOMPARE(w.panel()->jumpToCombo->count(), 101);
        // By date the oldest come first (m149 was made first).
        settings().dateSort = true;
        QVERIFY(w.loader()->loadFolder(many));
        QCOMPARE(track().block[0].movieFile.fileName(), QStringLiteral("m149.mp4"));
        QCOMPARE(track().block[99].movieFile.fileName(), QStringLiteral("m050.mp4"));
        w.close();
    }

    void nameOrderIsCaseSensitiveForEveryRoad()
    {
        const QString mixed = dir(QStringLiteral("mixed"));
        QVERIFY(QDir().mkpath(mixed));
        QVERIFY(addMovie(mixed, QStringLiteral("plain.mov"), QStringLiteral("a.mov"), flightStart(), 3, 3));
        QVERIFY(addMovie(mixed, QStringLiteral("plain.mov"), QStringLiteral("B.mov"), flightStart().addSecs(60), 3, 3));
        MainWindow w;
        settings().dateSort = false;
        QVERIFY(w.loader()->loadFolder(mixed));
        QCOMPARE(loadedNames(), (QStringList{"B.mov", "a.mov"}));
        // Files dropped one by one are sorted the same way.
        QVERIFY(w.loader()->dropUrls({QUrl::fromLocalFile(mixed + "/a.mov"), QUrl::fromLocalFile(mixed + "/B.mov")}));
        QCOMPARE(loadedNames(), (QStringList{"B.mov", "a.mov"}));
        // And so are the files of the file dialog; its folder is the last file's.
        Chooser chooser;
        chooser.files = QStringList{mixed + "/a.mov", m_flight + "/F1.MOV"};
        w.loader()->setFileChooser(&chooser);
        w.actions().open_files->trigger();
        QCOMPARE(chooser.title, QStringLiteral("Select Movie Files to Open"));
        QCOMPARE(chooser.filter, QStringLiteral("Movies (*.mp4 *.mov *.avi)"));
        QCOMPARE(chooser.start, QDir(mixed).absolutePath());
        QCOMPARE(loadedNames(), (QStringList{"F1.MOV", "a.mov"}));
        QSettings store(QString::fromLatin1(keys::ORGANIZATION), QString::fromLatin1(keys::APPLICATION));
        QCOMPARE(store.value(QStringLiteral("movieDirectory")).toString(), QDir(m_flight).absolutePath());
        w.close();
    }

    void cameraCardsReadTheirMovieFolderOldestFirst()
    {
        const QString card = dir(QStringLiteral("card"));
        const QString noml = card + QStringLiteral("/DCIM/100_NOML");
        QVERIFY(QDir().mkpath(noml));
        QVERIFY(addMovie(noml, QStringLiteral("plain.mov"), QStringLiteral("A.MOV"), flightStart().addSecs(100), 3, 3));
        QVERIFY(addMovie(noml, QStringLiteral("plain.mov"), QStringLiteral("B.MOV"), flightStart(), 3, 3));
        QVERIFY(addMovie(card, QStringLiteral("plain.mov"), QStringLiteral("ROOT.MOV"), flightStart(), 3, 3));
        QCOMPARE(cardMovieFolder(card + "/"), card + QStringLiteral("/DCIM/100_NOML/"));
        MainWindow w;
        settings().dateSort = false;  // a card plays as filmed whatever the setting
        QVERIFY(w.loader()->dropUrls({QUrl::fromLocalFile(card + "/")}));
        QCOMPARE(loadedNames(), (QStringList{"B.MOV", "A.MOV"}));

        // 100MEDIA wins over 100_NOML; a card without DCIM is read at its root.
        const QString media = card + QStringLiteral("/DCIM/100MEDIA");
        QVERIFY(QDir().mkpath(media));
        QVERIFY(addMovie(media, QStringLiteral("plain.mov"), QStringLiteral("M.MOV"), flightStart(), 3, 3));
        QVERIFY(w.loader()->dropUrls({QUrl::fromLocalFile(card + "/")}));
        QCOMPARE(loadedNames(), QStringList{"M.MOV"});
        QCOMPARE(cardMovieFolder(m_flight + "/"), m_flight + "/");
        w.close();
    }

    void dropsOfFoldersAndForeignUrls()
    {
        MainWindow w;
        settings().dateSort = false;
        // A folder replaces the files before it; files after it are added.
        QVERIFY(w.loader()->dropUrls({QUrl::fromLocalFile(m_other + "/X.mp4"), QUrl::fromLocalFile(m_flight),
                                      QUrl::fromLocalFile(m_other + "/Y.mp4")}));
        QCOMPARE(loadedNames(), (QStringList{"F0.MOV", "F1.MOV", "F2.MOV", "Y.mp4"}));
        // A web link is no file here: nothing found, nothing lost.
        vxtest::BoxAnswerer answer({QStringLiteral("OK")});
        QVERIFY(!w.loader()->dropUrls({QUrl(QStringLiteral("https://example.org/clip.mp4"))}));
        QCOMPARE(answer.texts, QStringList{QStringLiteral("No movie files found.")});
        QCOMPARE(answer.titles, QStringList{QStringLiteral("Volantix")});
        QCOMPARE(loadedNames(), (QStringList{"F0.MOV", "F1.MOV", "F2.MOV", "Y.mp4"}));
        QCOMPARE(w.playlist()->mediaCount(), 4);

        // The window takes drags that carry URLs, and a drop loads them.
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(m_other)});
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &enter);
        QVERIFY(enter.isAccepted());
        QMimeData text;
        text.setText(QStringLiteral("not a file"));
        QDragEnterEvent refused(QPoint(20, 20), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &refused);
        QVERIFY(!refused.isAccepted());
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &drop);
        QTRY_COMPARE(loadedNames(), (QStringList{"X.mp4", "Y.mp4"}));
        w.close();
    }

    void nothingFoundOrCancelledKeepsEverythingAndResumes()
    {
        const QString empty = dir(QStringLiteral("empty"));
        QVERIFY(QDir().mkpath(empty));
        QVERIFY(vxtest::writeFile(empty + "/notes.txt", "no movies here"));
        MainWindow w;
        QVERIFY(w.loader()->loadFolder(m_flight));
        QVERIFY(w.playback()->isPlaying());
        Chooser chooser;
        w.loader()->setFileChooser(&chooser);

        chooser.folder = empty;
        {
            vxtest::BoxAnswerer answer({QStringLiteral("OK")});
            w.actions().open_folder->trigger();
            QCOMPARE(answer.texts, QStringList{QStringLiteral("No movie files found in this directory.")});
            QCOMPARE(answer.titles, QStringList{QStringLiteral("Volantix")});
        }
        QCOMPARE(chooser.title, QStringLiteral("Open Movie Directory"));
        QCOMPARE(chooser.start, QDir(m_flight).absolutePath());
        QCOMPARE(track().numBlocks, 3);
        QCOMPARE(w.playlist()->mediaCount(), 3);
        QVERIFY(w.playback()->isPlaying());

        // Cancelled dialogs: playback resumes; paused stays paused.
        chooser.folder.clear();
        w.actions().open_folder->trigger();
        QVERIFY(w.playback()->isPlaying());
        w.playback()->pause();
        chooser.files.clear();
        w.actions().open_files->trigger();
        QVERIFY(!w.playback()->isPlaying());
        QCOMPARE(chooser.calls, 3);
        QCOMPARE(loadedNames(), (QStringList{"F0.MOV", "F1.MOV", "F2.MOV"}));
        w.close();
    }

    void requestsDuringALoadAreIgnoredAndTheStoreStaysWhole()
    {
        MainWindow w;
        w.show();
        Chooser chooser;
        chooser.folder = m_other;
        w.loader()->setFileChooser(&chooser);
        QVERIFY(w.loader()->loadFolder(m_other));
        int tried = 0;
        int accepted = 0;
        QTimer meddle;
        meddle.setInterval(2);
        connect(&meddle, &QTimer::timeout, [&] {
            if (!w.loader()->busy())
                return;
            ++tried;
            accepted += w.loader()->loadFolder(m_other) ? 1 : 0;
            accepted += w.loader()->dropUrls({QUrl::fromLocalFile(m_other)}) ? 1 : 0;
            w.loadFolderByPath(m_other);
            w.loader()->open_folder_slot();
            MovieList *list = g_controlCenterDialog->movieList();
            list->invert_clicked_slot();
            if (list->rowCount() > 0) {
                list->checkBox(0)->click();
                list->movie_item_double_clicked_slot(list->list()->item(0));
            }
            w.playback()->jumpToMovie(1, 500);
            w.playback()->nextMovie();
        });
        meddle.start();
        QVERIFY(w.loader()->loadFolder(m_flight));
        meddle.stop();
        QVERIFY(tried > 0);
        QCOMPARE(accepted, 0);
        QCOMPARE(chooser.calls, 0);
        QCOMPARE(loadedNames(), (QStringList{"F0.MOV", "F1.MOV", "F2.MOV"}));
        QCOMPARE(playlistNames(w), loadedNames());
        QCOMPARE(track().playCount, 3);
        for (int b = 0; b < 3; ++b) {
            QVERIFY(track().block[b].active);
            QCOMPARE(track().block[b].numPoints, 3);
        }
        QCOMPARE(track().Block, 0);
        QCOMPARE(w.panel()->movieCounterLabel->text(), QStringLiteral("1 of 3 movies"));
        QCOMPARE(g_controlCenterDialog->movieList()->rowCount(), 3);

        // The same while a media-tool run waits (two seconds of real-time
        // output keep the tool running).
        bool sawBusy = false;
        QTimer::singleShot(300, [&] {
            sawBusy = w.loader()->busy();
            accepted += w.loader()->loadFolder(m_other) ? 1 : 0;
            accepted += w.loader()->dropUrls({QUrl::fromLocalFile(m_other)}) ? 1 : 0;
            g_controlCenterDialog->movieList()->checkBox(1)->click();
        });
        const MediaToolResult r = runMediaTool(&w,
                                               {QStringLiteral("-re"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                                                QStringLiteral("-i"), QStringLiteral("testsrc=size=32x32:duration=2"),
                                                QStringLiteral("-f"), QStringLiteral("null"), QStringLiteral("-")},
                                               QDir(m_dir.path()).filePath(QStringLiteral("tool.log")));
        QCOMPARE(r.outcome, MediaToolOutcome::Finished);
        QVERIFY(sawBusy);
        QCOMPARE(accepted, 0);
        QCOMPARE(loadedNames(), (QStringList{"F0.MOV", "F1.MOV", "F2.MOV"}));
        QVERIFY(track().block[1].active);
        QCOMPARE(track().playCount, 3);
        w.close();
    }
};

QTEST_MAIN(TestLoadController)
#include "test_loadcontroller.moc"
