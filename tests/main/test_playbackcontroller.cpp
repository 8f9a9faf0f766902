// Playback and its telemetry sync, end to end on generated movies whose
// telemetry is known: seeks, frame steps, the seek slider and the time bias
// move the current sample exactly; the skip, the continuation and the pause
// at the end of the last movie; the Vmax jump; rates and timers; the keys;
// the stored controls; a movie switched off while it plays; movies the
// player cannot play; real GoPro movies.
#include "guitest.h"
#include "playerfixture.h"

#include "control/controlcenterdialog.h"
#include "control/movielist.h"
#include "main/loadcontroller.h"
#include "main/mainwindow.h"
#include "main/playbackcontroller.h"
#include "main/playerpanel.h"
#include "main/startup.h"
#include "main/videoview.h"
#include "settings/settings.h"
#include "track/trackstore.h"
#include "views/datadialog.h"
#include "views/gauges/qcitems.h"
#include "views/graphdialog.h"
#include "views/mapdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QMediaPlaylist>
#include <QSettings>
#include <QSlider>
#include <QToolButton>
#include <QVideoWidget>

using namespace vx;
using vxtest::addMovie;
using vxtest::flightStart;

namespace {

QStringList g_debugLines;
QtMessageHandler g_previousHandler = nullptr;

void recordDebug(QtMsgType type, const QMessageLogContext &context, const QString &msg)
{
    if (type == QtDebugMsg)
        g_debugLines << msg;
    if (g_previousHandler && !msg.startsWith(QLatin1String("This plugin does not support")))
        g_previousHandler(type, context, msg);
}

using vxtest::store;

bool mediaOpen(const MainWindow &w)
{
    const QMediaPlayer::MediaStatus s = w.player()->mediaStatus();
    return s == QMediaPlayer::LoadedMedia || s == QMediaPlayer::BufferedMedia;
}

} // namespace

class TestPlaybackController : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_sync;   // S.MP4: 10 s at 25 fps, a point each second from flightStart()
    QString m_three;  // A, B, C.MOV: 3 s each at 25 fps, three points each, 10 s apart

    // Loads `folder` and pauses at the start of its first movie.
    void loadPaused(MainWindow &w, const QString &folder)
    {
        QVERIFY(w.loader()->loadFolder(folder));
        QTRY_VERIFY(mediaOpen(w));
        w.playback()->pause();
        w.playback()->jumpTo(0, 0);
        QTRY_COMPARE(w.player()->position(), qint64(0));
    }

    // The current sample is point `point` of `block`, and every visible view
    // was told that point.
    void expectPoint(const MainWindow &w, int block, int point)
    {
        const MovieBlock &m = track().block[block];
        QCOMPARE(track().Block, block);
        QCOMPARE(w.playback()->currentPoint(), point);
        QCOMPARE(w.playback()->currentSample().latitude, m.lat[point]);
        QCOMPARE(w.playback()->currentSample().sats, m.sats[point]);
        QCOMPARE(g_mapDialog->lastPoint().latitude, m.lat[point]);
        QCOMPARE(g_dataDialog->lastPoint().altitudeM, m.altitude[point]);
        // Paused after a seek: the needle shows the point's speed, not an
        // ease from the speed before the seek.
        const QcNeedleItem *needle = g_dataDialog->speedGauge().needle;
        QCOMPARE(needle->currentValue(),
                 qBound(needle->minValue(), float(m.speed[point] * settings().speedFactor), needle->maxValue()));
        QCOMPARE(g_graphDialog->lastPoint(GRAPH_COUNT - 1).point, point);
        QCOMPARE(g_graphDialog->lastPoint(0).block, block);
        QCOMPARE(g_controlCenterDialog->lastPoint().point, point);
    }

private slots:
    void initTestCase()
    {
        g_previousHandler = qInstallMessageHandler(recordDebug);
        setApplicationIdentity();
        QVERIFY(m_dir.isValid());
        m_sync = m_dir.filePath(QStringLiteral("sync"));
        m_three = m_dir.filePath(QStringLiteral("three"));
        QVERIFY(QDir().mkpath(m_sync) && QDir().mkpath(m_three));
        QVERIFY(addMovie(m_sync, QStringLiteral("play25.mp4"), QStringLiteral("S.MP4"), flightStart(), 10, 10));
        QVERIFY(vxtest::addThreeMovies(m_three));
    }

    void init()
    {
        vxtest::freshStoreNotFirstRun();
        g_debugLines.clear();
    }

    void seeksStepsAndTheSliderMoveTheSampleExactly()
    {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        loadPaused(w, m_sync);
        PlayerPanel *p = w.panel();
        // The movie started at the first point: position p is point p / 1000.
        w.playback()->jumpTo(0, 4500);
        expectPoint(w, 0, 4);
        QCOMPARE(p->durationLabel->text(), QStringLiteral("00:04 of 00:10"));
        QCOMPARE(p->dateLabel->text(), QLocale().toString(flightStart().addMSecs(4500).toLocalTime(),
                                                          QLocale::LongFormat));
        // 25 fps: steps of 30 frames of 40 ms, stopping at the ends.
        QTest::keyClick(&w, Qt::Key_Right);
        QTRY_COMPARE(w.player()->position(), qint64(5700));
        expectPoint(w, 0, 5);
        QTest::keyClick(&w, Qt::Key_Left);
        QTest::keyClick(&w, Qt::Key_Left);
        QTRY_COMPARE(w.player()->position(), qint64(3300));
        expectPoint(w, 0, 3);
        w.playback()->jumpTo(0, 500);
        w.playback()->frameStep(false);
        QTRY_COMPARE(w.player()->position(), qint64(0));
        w.playback()->jumpTo(0, 9500);
        w.playback()->frameStep(true);
        QTRY_COMPARE(w.player()->position(), qint64(10000));
        // No point at or after the instant: the views keep the last sample
        // and are told block 0, point 0.
        QCOMPARE(w.playback()->currentPoint(), -1);
        QCOMPARE(g_mapDialog->lastPoint().latitude, track().block[0].lat[9]);
        QCOMPARE(g_graphDialog->lastPoint(3).point, 0);

        // A click on the seek slider's groove goes to the point under it.
        QSlider *seek = p->seekSlider;
        QCOMPARE(seek->maximum(), 10000);
        QTest::mouseClick(seek, Qt::LeftButton, {}, QPoint(seek->width() * 3 / 10, seek->height() / 2));
        const qint64 clicked = sliderValueForClick(0, 10000, seek->width() * 3 / 10, seek->width());
        QTRY_COMPARE(w.player()->position(), clicked);
        expectPoint(w, 0, static_cast<int>(clicked / 1000));

        // Instant replay goes back and plays; a press on the slider pauses
        // and its release resumes.
        settings().instantReplay = 2.0f;
        w.playback()->jumpTo(0, 4500);
        p->instantReplayButton->click();
        QVERIFY(w.playback()->isPlaying());
        QTRY_VERIFY(w.player()->position() >= 2500);
        QVERIFY(w.player()->position() < 4000);
        emit seek->sliderPressed();
        QVERIFY(!w.playback()->isPlaying());
        emit seek->sliderReleased();
        QVERIFY(w.playback()->isPlaying());
        w.playback()->pause();

        // timeBias 2: the same frame shows the point two seconds later;
        // clockBias moves only the clock shown.
        settings().timeBias = 2;
        settings().clockBias = 3600;
        w.playback()->recomputeTimeOffset();
        w.playback()->jumpTo(0, 2500);
        expectPoint(w, 0, 4);
        QCOMPARE(p->dateLabel->text(), QLocale().toString(flightStart().addMSecs(2500 + 3600000).toLocalTime(),
                                                          QLocale::LongFormat));
        w.close();
    }

    void realFrameRatesStepByTheirFrameCount()
    {
        const QString rates = m_dir.filePath(QStringLiteral("rates"));
        QVERIFY(QDir().mkpath(rates));
        QVERIFY(addMovie(rates, QStringLiteral("m30.mp4"), QStringLiteral("R30.mp4"), flightStart(), 2, 2));
        QVERIFY(addMovie(rates, QStringLiteral("play60.mp4"), QStringLiteral("R60.mp4"), flightStart().addSecs(5), 2, 2));
        MainWindow w;
        loadPaused(w, rates);
        w.playback()->frameStep(true);
        QTRY_COMPARE(w.player()->position(), qint64(660));
        w.playback()->jumpTo(1, 0);
        QTRY_VERIFY(mediaOpen(w));
        w.playback()->jumpTo(1, 0);
        QTRY_COMPARE(w.player()->position(), qint64(0));
        w.playback()->frameStep(true);
        QTRY_COMPARE(w.player()->position(), qint64(640));
        w.close();
    }

    void skipAppliesOncePerMovieButNeverToTheFirst()
    {
        MainWindow w;
        settings().skip = 1.0f;
        QVERIFY(w.loader()->loadFolder(m_three));
        QTRY_VERIFY(mediaOpen(w));
        // The first movie of the play order starts at its beginning, the one
        // that follows by itself at the skip.
        QTest::qWait(150);
        QVERIFY(w.player()->position() < 1000);
        QTRY_COMPARE_WITH_TIMEOUT(track().Block, 1, 8000);
        QTRY_VERIFY(w.player()->position() >= 1000);
        QCOMPARE(w.panel()->movieCounterLabel->text(), QStringLiteral("2 of 3 movies"));
        QCOMPARE(w.panel()->fileNameLabel->text(), QStringLiteral("B.MOV"));
        QCOMPARE(g_controlCenterDialog->movieList()->currentBlock(), 1);
        // Selected by the user: the skip again.
        w.playback()->selectMovie(2);
        w.playback()->pause();
        QTRY_COMPARE(w.player()->position(), qint64(1000));
        // A jump into another movie keeps its own position, and stays paused.
        w.playback()->jumpTo(1, 1500);
        QTRY_VERIFY(mediaOpen(w));
        QTest::qWait(150);
        QCOMPARE(w.player()->position(), qint64(1500));
        QVERIFY(!w.playback()->isPlaying());
        // A skip longer than the movie is ignored.
        settings().skip = 5.0f;
        w.playback()->selectMovie(2);
        w.playback()->pause();
        QTRY_VERIFY(mediaOpen(w));
        QTest::qWait(150);
        QVERIFY(w.player()->position() < 1000);
        w.close();
    }

    void theEndOfTheLastMoviePausesAndKeepsTheCounter()
    {
        MainWindow w;
        QVERIFY(w.loader()->loadFolder(m_three));
        w.playback()->jumpTo(2, 2300);
        QVERIFY(w.playback()->isPlaying());
        QTRY_VERIFY_WITH_TIMEOUT(!w.playback()->isPlaying(), 5000);
        QCOMPARE(track().mBlock, 2);
        QCOMPARE(w.panel()->movieCounterLabel->text(), QStringLiteral("3 of 3 movies"));
        // The player stays on the last movie, near its end, paused.
        QTRY_COMPARE(w.playlist()->currentIndex(), 2);
        QTRY_COMPARE(w.player()->state(), QMediaPlayer::PausedState);
        QVERIFY(w.player()->position() > 2500);
        QCOMPARE(w.playerState().slowTimerId, 0);
        w.close();
    }

    void vmaxJumpsToOneSecondBeforeTheTopSpeed()
    {
        MainWindow w;
        loadPaused(w, m_three);
        TrackStore &t = track();
        // The top speed at a movie's first point: the jump seeks to 0.
        t.stats.topSpeedBlock = 1;
        t.stats.topSpeedPoint = 0;
        w.playback()->jump_to_activated_slot(0);
        QCOMPARE(t.mBlock, 1);
        QTRY_COMPARE(w.player()->position(), qint64(0));
        t.stats.topSpeedBlock = 2;
        t.stats.topSpeedPoint = 2;
        w.playback()->jump_to_activated_slot(0);
        QTRY_COMPARE(w.player()->position(), qint64(1000));
        expectPoint(w, 2, 1);
        // A movie entry selects that movie of the play order.
        w.playback()->jump_to_activated_slot(1);
        QCOMPARE(t.Block, 0);
        // In a movie that is switched off: the warning, nothing else.
        g_controlCenterDialog->movieList()->checkBox(2)->click();
        t.stats.topSpeedBlock = 2;
        vxtest::BoxAnswerer answer({QStringLiteral("OK")});
        w.playback()->jump_to_activated_slot(0);
        QCOMPARE(answer.texts, QStringList{QStringLiteral("The movie containing the highest speed is hidden.")});
        QCOMPARE(answer.titles, QStringList{QStringLiteral("Volantix")});
        QCOMPARE(t.Block, 0);
        w.close();
    }

    void rateButtonsStopAtTheirEndsAndDriveTheTimers()
    {
        MainWindow w;
        QVERIFY(w.loader()->loadFolder(m_sync));
        PlayerState &st = w.playerState();
        QVERIFY(st.slowTimerId != 0 && st.dashboardTimerId != 0 && st.fastTimerId == 0);
        for (int i = 0; i < 4; ++i)
            w.panel()->slowerButton->click();
        QCOMPARE(w.panel()->rateLabel->text(), QStringLiteral("x/4"));
        QCOMPARE(w.player()->playbackRate(), 0.25);
        QVERIFY(st.fastTimerId != 0);
        for (int i = 0; i < 6; ++i)
            w.panel()->fasterButton->click();
        QCOMPARE(w.panel()->rateLabel->text(), QStringLiteral("5x"));
        w.playback()->pause();
        QVERIFY(st.fastTimerId == 0 && st.slowTimerId == 0 && st.dashboardTimerId == 0);
        w.playback()->play();
        QVERIFY(st.fastTimerId != 0);
        w.panel()->slowerButton->click();
        w.panel()->slowerButton->click();
        QCOMPARE(w.panel()->rateLabel->text(), QStringLiteral("1x"));
        QVERIFY(st.fastTimerId == 0 && st.slowTimerId != 0 && st.dashboardTimerId != 0);
        // The ticks reach the views while playing.
        const int points = g_mapDialog->pointUpdates();
        const int speeds = g_dataDialog->speedHeadingUpdates();
        QTRY_VERIFY(g_mapDialog->pointUpdates() > points);
        QTRY_VERIFY(g_dataDialog->speedHeadingUpdates() > speeds + 3);
        w.close();
    }

    void keysWorkFromEveryWindowButSpaceSparesDialogs()
    {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // Nothing loaded: Space does nothing, "F" still switches the vehicle.
        QTest::keyClick(g_graphDialog, Qt::Key_Space);
        QVERIFY(!w.playback()->isPlaying());
        QTest::keyClick(&w, Qt::Key_F);
        QVERIFY(g_dataDialog->arrowVehicle());

        loadPaused(w, m_three);
        QTest::keyClick(g_mapDialog, Qt::Key_Space);
        QVERIFY(w.playback()->isPlaying());
        QTest::keyClick(&w, Qt::Key_Space);
        QVERIFY(!w.playback()->isPlaying());
        QTest::keyClick(g_controlCenterDialog, Qt::Key_Up);
        QTest::keyClick(&w, Qt::Key_Up);
        QTest::keyClick(&w, Qt::Key_Up);  // already the last
        QCOMPARE(track().Block, 2);
        QTest::keyClick(&w, Qt::Key_Down);
        QCOMPARE(track().Block, 1);
        w.panel()->previousButton->click();
        w.panel()->previousButton->click();
        QCOMPARE(track().Block, 0);
        w.panel()->nextButton->click();
        QCOMPARE(track().Block, 1);
        // The master slider: moving does nothing, the release selects.
        QSlider *master = w.panel()->masterSlider;
        master->setSliderDown(true);
        master->setValue(2);
        QCOMPARE(track().Block, 1);
        master->setSliderDown(false);
        QCOMPARE(track().Block, 2);

        // In a window titled "Preferences" Space is typed, not played.
        w.playback()->pause();
        QDialog prefs;
        prefs.setWindowTitle(QStringLiteral("Preferences"));
        prefs.show();
        QApplication::setActiveWindow(&prefs);
        QTest::keyClick(&prefs, Qt::Key_Space);
        QVERIFY(!w.playback()->isPlaying());
        prefs.close();

        // The picture keys of the player window.
        QApplication::setActiveWindow(&w);
        w.videoView()->fitVideo();
        const QRect fitted = w.panel()->videoWidget->geometry();
        QTest::keyClick(&w, Qt::Key_E);
        QCOMPARE(w.panel()->videoWidget->width(), qRound(fitted.width() * 1.25));
        QTest::keyClick(&w, Qt::Key_0);
        QCOMPARE(w.panel()->videoWidget->geometry(),
                 fitVideoRect(w.panel()->videoContainer->size(), 96, 64, true));
        w.close();
    }

    void pictureAndSoundControlsAreStoredAtOnce()
    {
        MainWindow w;
        PlayerPanel *p = w.panel();
        p->volumeSlider->setValue(40);
        QCOMPARE(w.player()->volume(), 40);
        QCOMPARE(store().value(QStringLiteral("configuration/volume")).toFloat(), 0.4f);
        p->muteButton->click();
        QVERIFY(w.player()->isMuted());
        QCOMPARE(store().value(QStringLiteral("configuration/muted")).toBool(), true);
        p->brightnessSlider->setValue(30);
        QCOMPARE(p->videoWidget->brightness(), 30);
        QCOMPARE(store().value(QStringLiteral("configuration/brightness")).toInt(), 30);
        p->contrastSlider->setValue(-25);
        QCOMPARE(store().value(QStringLiteral("configuration/contrast")).toInt(), -25);
        p->brightnessResetButton->click();
        p->contrastResetButton->click();
        QCOMPARE(p->videoWidget->contrast(), 0);
        QCOMPARE(store().value(QStringLiteral("configuration/brightness")).toInt(), 0);
        QCOMPARE(store().value(QStringLiteral("configuration/contrast")).toInt(), 0);
        w.close();
    }

    void switchingOffThePlayingMovieMovesOn()
    {
        MainWindow w;
        loadPaused(w, m_three);
        MovieList *list = g_controlCenterDialog->movieList();
        w.playback()->selectMovie(1);
        list->checkBox(1)->click();
        // One movie fewer; the next active movie plays; the row is grey.
        QCOMPARE(track().Block, 2);
        QCOMPARE(w.panel()->movieCounterLabel->text(), QStringLiteral("2 of 2 movies"));
        QCOMPARE(list->rowFrame(1)->styleSheet(), inactiveRowStyle());
        QCOMPARE(w.panel()->masterSlider->maximum(), 1);
        QCOMPARE(w.panel()->jumpToCombo->count(), 3);
        QTRY_COMPARE(w.player()->state(), QMediaPlayer::PlayingState);
        // The last one switched off while it plays: back to the one before.
        list->checkBox(2)->click();
        QCOMPARE(track().Block, 0);
        QCOMPARE(w.panel()->movieCounterLabel->text(), QStringLiteral("1 of 1 movies"));

        // Switching on another movie keeps the one on screen where it was.
        w.playback()->pause();
        w.playback()->jumpTo(0, 1500);
        QTRY_COMPARE(w.player()->position(), qint64(1500));
        list->checkBox(2)->click();
        QCOMPARE(track().Block, 0);
        QTRY_VERIFY(mediaOpen(w));
        QCOMPARE(w.player()->position(), qint64(1500));
        QVERIFY(!w.playback()->isPlaying());
        QCOMPARE(w.playlist()->mediaCount(), 2);

        // A double click plays that movie; every movie off: nothing plays.
        list->movie_item_double_clicked_slot(list->list()->item(2));
        QCOMPARE(track().mBlock, 1);
        list->checkBox(0)->click();
        list->checkBox(2)->click();
        QCOMPARE(track().playCount, 0);
        QVERIFY(!w.playback()->isPlaying());
        QCOMPARE(w.panel()->movieCounterLabel->text(), QStringLiteral("0 of 0 movies"));
        w.close();
    }

    void viewsAreToldOnlyWhileVisible()
    {
        MainWindow w;
        loadPaused(w, m_sync);
        g_mapDialog->hide();
        const int map = g_mapDialog->pointUpdates();
        const int dash = g_dataDialog->pointUpdates();
        w.playback()->jumpTo(0, 3200);
        QCOMPARE(g_mapDialog->pointUpdates(), map);
        QVERIFY(g_dataDialog->pointUpdates() > dash);
        g_mapDialog->show();
        w.playback()->refresh();
        QCOMPARE(g_mapDialog->pointUpdates(), map + 1);
        // "Ignore GPS data": the tick shows nothing.
        settings().ignoreGps = true;
        w.playback()->jumpTo(0, 7200);
        QCOMPARE(g_mapDialog->pointUpdates(), map + 1);
        // A rebuilt dashboard learns altitude, satellites and the vehicle.
        w.playback()->setArrowVehicle(true);
        w.dashboard_vert_slot();
        QVERIFY(g_dataDialog->arrowVehicle());
        QCOMPARE(g_dataDialog->showsAltitude(), track().block[0].hasAltitude);
        QCOMPARE(g_dataDialog->showsSats(), track().block[0].hasSats);
        w.close();
    }

    // Movies the player cannot play: an empty file first (the media tool
    // cannot open it either), and a movie with sound and a camera data track
    // but no picture (the player reports the track as an error and opens
    // the movie without a picture). The load does not hang on them, the
    // other movies keep their facts, and playback passes them over: the
    // movie with sound plays and so does the last one.
    void unplayableMoviesArePassedAndLogged()
    {
        const QString odd = m_dir.filePath(QStringLiteral("unplayable"));
        QVERIFY(QDir().mkpath(odd));
        QVERIFY(vxtest::writeFile(odd + "/A_empty.mp4", QByteArray()));
        QVERIFY(vxtest::writeFile(odd + "/A_empty.srt", ""));
        QVERIFY(addMovie(odd, QStringLiteral("tone25.mp4"), QStringLiteral("B_tone.mp4"), flightStart(), 3, 3));
        QVERIFY(addMovie(odd, QStringLiteral("soundgpmd.mp4"), QStringLiteral("C_nopicture.mp4"), flightStart(), 3, 3));
        QVERIFY(addMovie(odd, QStringLiteral("m30.mp4"), QStringLiteral("D.mp4"), flightStart(), 2, 2));
        MainWindow w;
        settings().dateSort = false;
        w.loader()->setPlayerWaitLimitMs(1500);
        QElapsedTimer took;
        took.start();
        QVERIFY(w.loader()->loadFolder(odd));
        QVERIFY(took.elapsed() < 15000);
        const MovieBlock *b = track().block;
        QCOMPARE(b[0].duration, -1.0f);
        QCOMPARE(b[1].duration, 3.0f);
        QCOMPARE(b[2].duration, 3.0f);
        QCOMPARE(b[2].width, 0);  // no picture: the next movie's size is its own
        QCOMPARE(b[3].duration, 2.0f);
        QCOMPARE(b[3].width, 64);
        QCOMPARE(w.panel()->jumpToCombo->itemText(2).right(7), QStringLiteral("[00:03]"));
        // The empty movie is passed over; the one with sound plays, sound
        // device or none.
        QTRY_COMPARE(track().Block, 1);
        QCOMPARE(w.panel()->movieCounterLabel->text(), QStringLiteral("2 of 4 movies"));
        QTRY_VERIFY(w.player()->position() > 500);
        // After it, the movie without a picture is passed over too.
        QTRY_COMPARE_WITH_TIMEOUT(track().Block, 3, 10000);
        QCOMPARE(w.panel()->movieCounterLabel->text(), QStringLiteral("4 of 4 movies"));
        QTRY_VERIFY(w.player()->position() > 500);
        QVERIFY(w.player()->isVideoAvailable());
        bool logged = false;
        for (const QString &line : g_debugLines)
            logged = logged || line.startsWith(QLatin1String("Media Error: "));
        QVERIFY2(logged, qPrintable(g_debugLines.join(QLatin1Char('\n'))));
        w.close();
    }

    // Real GoPro movies: H.264, AAC and the camera's data tracks ("tmcd",
    // "gpmd", "fdsc"), which the player reports as streams it cannot decode
    // while the picture plays on. Both play, and the sample read from their
    // GPS track follows the position.
    void realGoProMoviesPlay()
    {
        const QString gopro = m_dir.filePath(QStringLiteral("gopro"));
        QVERIFY(QDir().mkpath(gopro));
        const QStringList names{QStringLiteral("A_max.mp4"), QStringLiteral("B_karma.mp4")};
        const QStringList sources{QStringLiteral("gpmf/max-heromode.mp4"), QStringLiteral("gpmf/karma.mp4")};
        for (int i = 0; i < 2; ++i) {
            QVERIFY(QFile::copy(vxtest::dataPath(sources[i]), gopro + QLatin1Char('/') + names[i]));
            // Written when recording stopped: the last GPS second.
            QVERIFY(vxtest::setModified(gopro + QLatin1Char('/') + names[i], flightStart().addSecs(60 * (i + 1))));
        }
        MainWindow w;
        settings().dateSort = false;
        QVERIFY(w.loader()->loadFolder(gopro));
        QCOMPARE(track().block[0].numPoints, 11);
        QCOMPARE(track().block[1].numPoints, 12);
        for (int b = 0; b < 2; ++b) {
            if (b == 1)
                w.playback()->selectMovie(1);
            // It plays, and the slow tick moves the sample on with it.
            QTRY_VERIFY_WITH_TIMEOUT(w.player()->position() > 1000 && w.playback()->currentPoint() >= 0, 8000);
            const int point = w.playback()->currentPoint();
            QTRY_VERIFY_WITH_TIMEOUT(w.playback()->currentPoint() > point, 5000);
            QCOMPARE(track().Block, b);
            QVERIFY(w.player()->isVideoAvailable());
        }
        // Each movie ends at its last point's second. max-heromode lasts
        // 10.52 s, its points are at 0 … 10 s: position p shows point
        // (p + 480) / 1000. karma lasts 12.08 s, its points at 1 … 12 s:
        // position p shows point (p + 920) / 1000.
        w.playback()->pause();
        w.playback()->jumpTo(0, 4500);
        expectPoint(w, 0, 4);
        w.playback()->jumpTo(0, 7600);
        expectPoint(w, 0, 8);
        QCOMPARE(w.panel()->movieCounterLabel->text(), QStringLiteral("1 of 2 movies"));
        w.playback()->jumpTo(1, 6000);
        expectPoint(w, 1, 6);
        w.playback()->jumpTo(1, 6100);
        expectPoint(w, 1, 7);
        w.close();
    }
};

QTEST_MAIN(TestPlaybackController)
#include "test_playbackcontroller.moc"
