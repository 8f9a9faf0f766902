// Every road to a load and the window's steps after it; requests during a load, a tool run or an export are ignored.
#include "playerfixture.h"
#include "track/mediatool.h"

using namespace vx;
using vxtest::addMovie;
using vxtest::flightStart;

namespace {

struct Chooser : FileChooser {
    QString folder, title, start, filter;
    QStringList files;
    int calls = 0;
    QString chooseFolder(QWidget *, const QString &t, const QString &s) override { return ++calls, title = t, start = s, folder; }
    QStringList chooseFiles(QWidget *, const QString &t, const QString &s, const QString &f) override {
        return ++calls, title = t, start = s, filter = f, files;
    }
};
// The loaded movies' names, then those of the playlist.
QString loadedNames(const MainWindow *w = nullptr) {
    QStringList names;
    for (int b = 0; b < track().numBlocks; ++b)
        names << track().block[b].movieFile.fileName();
    for (int i = 0; w && i < w->playlist()->mediaCount(); ++i)
        names << '|' + QFileInfo(w->playlist()->media(i).request().url().toLocalFile()).fileName();
    return names.join(' ');
}
QString movieDirectory() { return vxtest::store().value("movieDirectory").toString(); }

} // namespace

class TestLoadController : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_flight;  // F0, F1, F2.MOV: three movies with telemetry, 10 s apart
    QString m_other;   // X.mp4, Y.mp4: two movies without telemetry
    QString folder(const QString &name) const { return QDir().mkpath(m_dir.filePath(name)), m_dir.filePath(name); }

private slots:
    void initTestCase() {
        vxtest::silencePlatformWarnings(), setApplicationIdentity();
        m_flight = folder("flight"), m_other = folder("other");
        for (int i = 0; i < 3; ++i)
            QVERIFY(addMovie(m_flight, "plain.mov", QString("F%1.MOV").arg(i), flightStart().addSecs(10 * i), 3, 3, 46.5 + i));
        QVERIFY(addMovie(m_other, "m30.mp4", "X.mp4", flightStart(), 2, 0) && addMovie(m_other, "m30.mp4", "Y.mp4", flightStart(), 2, 0));
    }
    void init() { vxtest::resetStore(); }
    void commandLineLoadsAFolderAndTheWindowFollows() {
        MainWindow w;
        w.show();
        PlayerPanel *p = w.panel();
        w.playback()->faster_slot();
        w.handleCommandLine({"volantix", "--input=" + m_flight});
        QCOMPARE(loadedNames(&w), "F0.MOV F1.MOV F2.MOV |F0.MOV |F1.MOV |F2.MOV");
        QVERIFY(p->movieCounterLabel->text() == "1 of 3 movies" && p->masterSlider->maximum() == 2);
        QVERIFY(p->playPauseButton->isEnabled() && p->jumpToCombo->isEnabled() && !p->videoWidget->isHidden() && w.playback()->isPlaying());
        QCOMPARE(p->placeholder->styleSheet() + p->rateLabel->text(), "background-color: rgb(0, 0, 0);1x");  // no splash, rate reset
        // The jump-to list: Vmax, then each movie with its start and length.
        QCOMPARE(QString::number(p->jumpToCombo->count()) + p->jumpToCombo->itemText(2),
                 "4F1.MOV [Fri Jul 14 2023 9:30:10 AM] [00:03]");
        // The control center shows and lists the movies; the views were told.
        QVERIFY(g_controlCenterDialog->isVisible() && g_controlCenterDialog->movieList()->rowCount() == 3);
        QCOMPARE(QString("%1 %2 %3").arg(g_graphDialog->loadsSeen()).arg(g_mapDialog->loadsSeen()).arg(g_dataDialog->gaugeRebuilds()),
                 "1 1 1");
        QVERIFY(g_dataDialog->showsAltitude() && g_dataDialog->showsSats() && g_graphDialog->hasAltitude() && g_graphDialog->hasSats());
        QCOMPARE(movieDirectory(), QDir(m_flight).absolutePath());
        // Movies without telemetry: the views learn there is no altitude, the player says there is no GPS data.
        QVERIFY(w.loader()->loadFolder(m_other));
        QVERIFY(!g_graphDialog->hasAltitude() && !g_dataDialog->showsSats() && p->noGpsLabel->text() == "NO GPS DATA LOADED");
        const QString single = folder("single");
        QVERIFY(addMovie(single, "plain.mov", "ONE.MP4", flightStart(), 3, 3) && addMovie(single, "plain.mov", "TWO.MP4", flightStart(), 3, 3));
        // An upper-case extension names a movie: that one movie loads.
        w.handleCommandLine({"volantix", "--input=" + single + "/ONE.MP4"});
        QCOMPARE(loadedNames() + ' ' + p->movieCounterLabel->text(), "ONE.MP4 1 of 1 movies");
        // A missing movie loads nothing; a plain path with a quote in the name loads; without paths nothing happens.
        w.handleCommandLine({"volantix", "--input=" + single + "/gone.mov"});
        QCOMPARE(loadedNames(), "ONE.MP4");
        QVERIFY(QFile::rename(single + "/TWO.MP4", single + "/T\"WO.MP4"));
        w.handleCommandLine({"volantix", single + "/T\"WO.MP4"});
        w.handleCommandLine({"volantix", "-x", "--verbose"});
        QCOMPARE(loadedNames(), "T\"WO.MP4");
        w.close();
    }
    // Case-sensitive name order; camera cards; a dropped folder replaces the files before it; nothing found keeps all.
    void nameOrderCardsAndDrops() {
        const QString mixed = folder("mixed");
        QVERIFY(addMovie(mixed, "plain.mov", "a.mov", flightStart(), 3, 3) && addMovie(mixed, "plain.mov", "B.mov", flightStart().addSecs(60), 3, 3));
        MainWindow w;
        settings().dateSort = false;
        QVERIFY(w.loader()->loadFolder(mixed));
        QCOMPARE(loadedNames(), "B.mov a.mov");
        // The files of the file dialog load; its folder is the last file's.
        Chooser chooser;
        chooser.files = QStringList{mixed + "/a.mov", m_flight + "/F1.MOV"};
        w.loader()->setFileChooser(&chooser);
        w.actions().open_files->trigger();
        QCOMPARE(QStringList({chooser.title, chooser.filter, chooser.start}),
                 QStringList({"Select Movie Files to Open", "Movies (*.mp4 *.mov *.avi)", QDir(mixed).absolutePath()}));
        QCOMPARE(loadedNames(), "F1.MOV a.mov");
        QCOMPARE(movieDirectory(), QDir(m_flight).absolutePath());
        const QString card = folder("card"), noml = folder("card/DCIM/100_NOML");
        QVERIFY(addMovie(noml, "plain.mov", "A.MOV", flightStart().addSecs(100), 3, 3) && addMovie(noml, "plain.mov", "B.MOV", flightStart(), 3, 3));
        QVERIFY(addMovie(card, "plain.mov", "ROOT.MOV", flightStart(), 3, 3));
        QCOMPARE(cardMovieFolder(card + "/"), card + "/DCIM/100_NOML/");
        QVERIFY(w.loader()->dropUrls({QUrl::fromLocalFile(card + "/")}));
        QCOMPARE(loadedNames(), "B.MOV A.MOV");
        // 100MEDIA wins over 100_NOML; a card without DCIM is read at its root.
        QVERIFY(addMovie(folder("card/DCIM/100MEDIA"), "plain.mov", "M.MOV", flightStart(), 3, 3));
        QVERIFY(w.loader()->dropUrls({QUrl::fromLocalFile(card + "/")}));
        QCOMPARE(loadedNames(), "M.MOV");
        QCOMPARE(cardMovieFolder(m_flight + "/"), m_flight + "/");
        // A folder replaces the files before it; files after it are added.
        QVERIFY(w.loader()->dropUrls({QUrl::fromLocalFile(m_other + "/X.mp4"), QUrl::fromLocalFile(m_flight),
                                      QUrl::fromLocalFile(m_other + "/Y.mp4")}));
        QCOMPARE(loadedNames(), "F0.MOV F1.MOV F2.MOV Y.mp4");
        // A web link is no file here: nothing found, nothing lost.
        vxtest::BoxAnswerer answer({"OK", "OK"});
        QVERIFY(!w.loader()->dropUrls({QUrl("https://example.org/clip.mp4")}));
        QCOMPARE(answer.texts + answer.titles, QStringList({"No movie files found.", "Volantix"}));
        QVERIFY(loadedNames() == "F0.MOV F1.MOV F2.MOV Y.mp4" && w.playlist()->mediaCount() == 4);
        // The window takes drags that carry URLs, and a drop loads them.
        QMimeData mime, text;
        mime.setUrls({QUrl::fromLocalFile(m_other)});
        text.setText("not a file");
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier),
            refused(QPoint(20, 20), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &enter), QApplication::sendEvent(&w, &refused);
        QVERIFY(enter.isAccepted() && !refused.isAccepted());
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &drop);
        QTRY_COMPARE(loadedNames(), "X.mp4 Y.mp4");
        // Nothing found in the chosen folder, or a dialog cancelled: all stays, playback resumes, paused stays paused.
        const QString empty = folder("empty");
        QVERIFY(vxtest::writeFile(empty + "/notes.txt", "no movies here"));
        QVERIFY(w.loader()->loadFolder(m_flight) && w.playback()->isPlaying());
        chooser.folder = empty, chooser.files.clear();
        w.actions().open_folder->trigger();
        QCOMPARE(answer.texts.value(1) + '|' + answer.titles.value(1), "No movie files found in this directory.|Volantix");
        QCOMPARE(QStringList({chooser.title, chooser.start}), QStringList({"Open Movie Directory", QDir(m_flight).absolutePath()}));
        QVERIFY(track().numBlocks == 3 && w.playlist()->mediaCount() == 3 && w.playback()->isPlaying());
        chooser.folder.clear();
        w.actions().open_folder->trigger();
        QVERIFY(w.playback()->isPlaying());
        w.playback()->pause(), w.actions().open_files->trigger();
        QVERIFY(!w.playback()->isPlaying() && chooser.calls == 4);
        QCOMPARE(loadedNames(), "F0.MOV F1.MOV F2.MOV");
        w.close();
    }
    void requestsDuringALoadAreIgnoredAndTheStoreStaysWhole() {
        MainWindow w;
        w.show();
        Chooser chooser;
        chooser.folder = m_other, w.loader()->setFileChooser(&chooser);
        QVERIFY(w.loader()->loadFolder(m_other));
        int tried = 0, accepted = 0;
        QTimer meddle;
        connect(&meddle, &QTimer::timeout, [&] {
            if (!w.loader()->busy())
                return;
            ++tried;
            accepted += w.loader()->loadFolder(m_other) + w.loader()->dropUrls({QUrl::fromLocalFile(m_other)});
            w.loadFolderByPath(m_other), w.loader()->open_folder_slot();
            MovieList *list = g_controlCenterDialog->movieList();
            list->invert_clicked_slot();
            if (list->rowCount() > 0) {
                list->checkBox(0)->click();
                list->movie_item_double_clicked_slot(list->list()->item(0));
            }
            w.playback()->jumpToMovie(1, 500), w.playback()->nextMovie();
        });
        meddle.start(2);
        QVERIFY(w.loader()->loadFolder(m_flight));
        meddle.stop();
        QVERIFY(tried > 0);
        const auto whole = [&] {
            QCOMPARE(accepted, 0);
            QCOMPARE(loadedNames(&w), "F0.MOV F1.MOV F2.MOV |F0.MOV |F1.MOV |F2.MOV");
            for (int b = 0; b < 3; ++b)
                QVERIFY(track().playCount == 3 && track().block[b].active && track().block[b].numPoints == 3);
        };
        whole();
        QVERIFY(chooser.calls == 0 && track().Block == 0 && g_controlCenterDialog->movieList()->rowCount() == 3);
        QCOMPARE(w.panel()->movieCounterLabel->text(), "1 of 3 movies");
        // The same while a media-tool run waits (two seconds of real-time output), under the wait cursor.
        bool sawBusy = false;
        QTimer::singleShot(300, [&] {
            sawBusy = w.loader()->busy() && w.cursor().shape() == Qt::WaitCursor;
            accepted += w.loader()->loadFolder(m_other) + w.loader()->dropUrls({QUrl::fromLocalFile(m_other)});
            g_controlCenterDialog->movieList()->checkBox(1)->click();
        });
        const MediaToolResult r = runMediaTool(&w, {"-re", "-f", "lavfi", "-i", "testsrc=size=32x32:duration=2", "-f", "null", "-"},
                                               m_dir.filePath("tool.log"));
        QVERIFY(r.outcome == MediaToolOutcome::Finished && sawBusy && w.cursor().shape() == Qt::ArrowCursor);
        whole();
        // The same while an export holds the track store.
        {
            const TrackStoreHold hold;
            QVERIFY(w.loader()->busy());
            accepted += w.loader()->loadFolder(m_other) + w.loader()->dropUrls({QUrl::fromLocalFile(m_other)});
            w.loadFolderByPath(m_other);
        }
        whole();
        QVERIFY(!w.loader()->busy());
        w.close();
    }
};

QTEST_MAIN(TestLoadController)
#include "test_loadcontroller.moc"
