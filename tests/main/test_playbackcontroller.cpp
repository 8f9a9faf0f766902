// Playback wired to the player, the telemetry views and the movie list, on generated and real GoPro movies.
#include "playerfixture.h"

using namespace vx;
using vxtest::addMovie;
using vxtest::flightStart;

namespace {
bool mediaOpen(const MainWindow &w) {
    return w.player()->mediaStatus() == QMediaPlayer::LoadedMedia || w.player()->mediaStatus() == QMediaPlayer::BufferedMedia;
}
void wheelAt(QWidget *w, int delta) {
    const QPoint at(w->width() / 2, w->height() / 2);
    QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}
QString counter(const MainWindow &w) { return w.panel()->movieCounterLabel->text(); }
QString localDate(qint64 msAfterStart) {
    return QLocale().toString(flightStart().addMSecs(msAfterStart).toLocalTime(), QLocale::LongFormat);
}
} // namespace

class TestPlaybackController : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_sync;   // S.MP4: 10 s at 25 fps, a point each second from flightStart()
    QString m_three;  // A, B, C.MOV: 3 s each at 25 fps, three points each, 10 s apart
    // Loads `folder` and pauses at the start of its first movie.
    void loadPaused(MainWindow &w, const QString &folder) {
        QVERIFY(w.loader()->loadFolder(folder));
        QTRY_VERIFY(mediaOpen(w));
        w.playback()->pause();
        w.playback()->jumpTo(0, 0);
        QTRY_COMPARE(w.player()->position(), qint64(0));
    }
    // The current sample is point `point` of `block`, and every visible view was told that point.
    void expectPoint(const MainWindow &w, int block, int point) {
        const MovieBlock &m = track().block[block];
        const CurrentSample &s = w.playback()->currentSample();
        QCOMPARE(QString("%1 %2 %3 %4 %5 %6 %7 %8 %9").arg(track().Block).arg(w.playback()->currentPoint()).arg(s.latitude - m.lat[point])
                     .arg(s.sats - m.sats[point]).arg(g_mapDialog->lastPoint().latitude - m.lat[point])
                     .arg(g_dataDialog->lastPoint().altitudeM - m.altitude[point]).arg(g_graphDialog->lastPoint(GRAPH_COUNT - 1).point)
                     .arg(g_graphDialog->lastPoint(0).block).arg(g_controlCenterDialog->lastPoint().point),
                 QString("%1 %2 0 0 0 0 %2 %1 %2").arg(block).arg(point));
        // Paused after a seek the needle stands at the point's speed, not easing from the one before.
        const QcNeedleItem *needle = g_dataDialog->speedGauge().needle;
        QCOMPARE(needle->currentValue(), qBound(needle->minValue(), float(m.speed[point] * settings().speedFactor), needle->maxValue()));
    }
private slots:
    void initTestCase() {
        vxtest::silencePlatformWarnings(), setApplicationIdentity();
        m_sync = m_dir.filePath("sync"), m_three = m_dir.filePath("three");
        QVERIFY(addMovie(m_sync, "play25.mp4", "S.MP4", flightStart(), 10, 10) && vxtest::addThreeMovies(m_three));
    }
    void init() { vxtest::resetStore(); }
    void seeksStepsRatesAndTheViews() {
        MainWindow w;
        QVERIFY(vxtest::exposed(w));
        loadPaused(w, m_sync);
        PlayerPanel *p = w.panel();
        w.playback()->jumpTo(0, 4500);  // position p shows point p / 1000
        expectPoint(w, 0, 4);
        QCOMPARE(p->durationLabel->text() + '|' + p->dateLabel->text(), "00:04 of 00:10|" + localDate(4500));
        // The arrow keys step frames; a step stops at the movie's ends.
        const int keys[][3] = {{Qt::Key_Right, 5700, 5}, {Qt::Key_Left, 4500, 4}};  // key, ms, point
        for (const auto &k : keys) {
            QTest::keyClick(&w, Qt::Key(k[0]));
            QTRY_COMPARE(w.player()->position(), qint64(k[1]));
            expectPoint(w, 0, k[2]);
        }
        w.playback()->jumpTo(0, 500), w.playback()->frameStep(false);
        QTRY_COMPARE(w.player()->position(), qint64(0));
        w.playback()->jumpTo(0, 9500), w.playback()->frameStep(true);
        QTRY_COMPARE(w.player()->position(), qint64(10000));
        // Past the last point: the views keep the last sample and are told point 0.
        QVERIFY(w.playback()->currentPoint() == -1 && g_graphDialog->lastPoint(3).point == 0);
        QCOMPARE(g_mapDialog->lastPoint().latitude, track().block[0].lat[9]);
        // A click on the seek slider's groove goes to the point under it.
        QSlider *seek = p->seekSlider;
        QTest::mouseClick(seek, Qt::LeftButton, {}, QPoint(seek->width() * 3 / 10, seek->height() / 2));
        QTRY_COMPARE(w.player()->position(), sliderValueForClick(0, 10000, seek->width() * 3 / 10, seek->width()));
        // Instant replay goes back and plays.
        settings().instantReplay = 2.0f;
        w.playback()->jumpTo(0, 4500);
        p->instantReplayButton->click();
        QTRY_VERIFY(w.playback()->isPlaying() && w.player()->position() >= 2500 && w.player()->position() < 4000);
        w.playback()->pause();
        // The time and clock biases reach the tick and the clock shown.
        settings().timeBias = 2, settings().clockBias = 3600;
        w.playback()->recomputeTimeOffset();
        w.playback()->jumpTo(0, 2500);
        expectPoint(w, 0, 4);
        QCOMPARE(p->dateLabel->text(), localDate(2500 + 3600000));
        // Rates and timers while playing.
        w.playback()->play();
        PlayerState &st = w.playerState();
        const auto state = [&] {  // rate label, player rate, then the slow, dashboard and fast timers running
            return QString("%1 %2 %3%4%5").arg(p->rateLabel->text()).arg(w.player()->playbackRate()).arg(st.slowTimerId != 0)
                .arg(st.dashboardTimerId != 0).arg(st.fastTimerId != 0);
        };
        QCOMPARE(state(), "1x 1 110");
        p->slowerButton->click();
        QVERIFY(state().startsWith("x/2 0.5 ") && state().endsWith('1'));
        p->fasterButton->click(), p->fasterButton->click();
        w.playback()->pause();
        QCOMPARE(state(), "2x 2 000");
        w.playback()->play();
        // The ticks reach the views while playing, and only the visible ones.
        const int speeds = g_dataDialog->speedHeadingUpdates();
        QTRY_VERIFY(g_dataDialog->speedHeadingUpdates() > speeds + 3);
        w.playback()->pause();
        g_mapDialog->hide();
        const int map = g_mapDialog->pointUpdates(), dash = g_dataDialog->pointUpdates();
        w.playback()->jumpTo(0, 3200);
        QVERIFY(g_mapDialog->pointUpdates() == map && g_dataDialog->pointUpdates() > dash);
        g_mapDialog->show();
        w.playback()->refresh();
        QCOMPARE(g_mapDialog->pointUpdates(), map + 1);
        // "Ignore GPS data": the tick shows nothing.
        settings().ignoreGps = true;
        w.playback()->jumpTo(0, 7200);
        QCOMPARE(g_mapDialog->pointUpdates(), map + 1);
        w.close();
    }
    void skipContinuationAndTheEndOfTheLastMovie() {
        MainWindow w;
        settings().skip = 1.0f;
        QVERIFY(w.loader()->loadFolder(m_three));
        QTRY_VERIFY(mediaOpen(w));
        // The first movie starts at its beginning, the one that follows by itself at the skip.
        QTest::qWait(150);
        QVERIFY(w.player()->position() < 1000);
        QTRY_COMPARE_WITH_TIMEOUT(track().Block, 1, 8000);
        QTRY_VERIFY(w.player()->position() >= 1000);
        QCOMPARE(counter(w) + ' ' + w.panel()->fileNameLabel->text() + QString::number(g_controlCenterDialog->movieList()->currentBlock()),
                 "2 of 3 movies B.MOV1");
        w.playback()->selectMovie(2), w.playback()->pause();
        QTRY_COMPARE(w.player()->position(), qint64(1000));
        // A jump into another movie keeps its own position, and stays paused.
        w.playback()->jumpTo(1, 1500);
        QTRY_VERIFY(mediaOpen(w));
        QTest::qWait(150);
        QVERIFY(w.player()->position() == 1500 && !w.playback()->isPlaying());
        // A skip longer than the movie is ignored.
        settings().skip = 5.0f;
        w.playback()->selectMovie(2), w.playback()->pause();
        QTRY_VERIFY(mediaOpen(w));
        QTest::qWait(150);
        QVERIFY(w.player()->position() < 1000);
        // At the end of the last movie the player pauses on it, near its end, and keeps the counter.
        w.playback()->jumpTo(2, 2300), w.playback()->play();
        QTRY_VERIFY_WITH_TIMEOUT(!w.playback()->isPlaying(), 5000);
        QVERIFY(track().mBlock == 2 && counter(w) == "3 of 3 movies");
        QTRY_VERIFY(w.playlist()->currentIndex() == 2 && w.player()->state() == QMediaPlayer::PausedState);
        QVERIFY(w.player()->position() > 2500 && w.playerState().slowTimerId == 0);
        w.close();
    }
    // The video picture, the Vmax jump, movies switched off and on while they play, the keys from every window.
    void pictureVmaxJumpSwitchingMoviesOffAndTheKeys() {
        MainWindow w;
        QVERIFY(vxtest::exposed(w));
        // Nothing loaded: Space does nothing, "F" still switches the vehicle.
        QTest::keyClick(g_graphDialog, Qt::Key_Space);
        QVERIFY(!w.playback()->isPlaying());
        QTest::keyClick(&w, Qt::Key_F);
        QVERIFY(g_dataDialog->arrowVehicle());
        // The video picture: the resize delay behind "Resizing...", fit, wheel and key zoom, drag to pan, double click to fit.
        QLabel *label = w.panel()->resizeLabel;
        QVideoWidget *video = w.panel()->videoWidget;
        const auto fitRect = [&w] { return fitVideoRect(w.panel()->videoContainer->size(), 96, 64, true); };
        w.resize(w.width() - 20, w.height());  // no movie: the resize waits, the label stays hidden
        QVERIFY(w.resizeTimer()->isActive() && label->isHidden() && w.loader()->loadFolder(m_three));
        w.playback()->pause();
        QTRY_VERIFY(!w.resizeTimer()->isActive());
        w.resize(w.width() + 60, w.height() + 30);
        QVERIFY(w.resizeTimer()->remainingTime() > 300 && !label->isHidden() && video->isHidden() && label->text() == "Resizing...");
        QTRY_VERIFY(label->isHidden());
        QVERIFY(!video->isHidden() && video->geometry() == fitRect() && video->aspectRatioMode() == Qt::KeepAspectRatio);
        const QRect fitted = video->geometry();
        wheelAt(video, 120);
        QCOMPARE(video->width(), qRound(fitted.width() * 1.25));
        wheelAt(video, -120), QTest::keyClick(&w, Qt::Key_E);  // wheel down zooms out again, E zooms in
        QCOMPARE(video->width(), qRound(fitted.width() * 1.25));
        QTest::keyClick(&w, Qt::Key_0);
        QCOMPARE(video->geometry(), fitted);
        QTest::mousePress(video, Qt::LeftButton, {}, QPoint(10, 10));
        QMouseEvent move(QEvent::MouseMove, QPointF(40, 5), video->mapToGlobal(QPoint(40, 5)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(video, &move);
        QCOMPARE(video->pos(), fitted.topLeft() + QPoint(30, -5));
        QTest::mouseRelease(video, Qt::LeftButton, {}, QPoint(40, 5));
        QTest::mouseDClick(video, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(video->geometry(), fitRect());
        loadPaused(w, m_three);
        TrackStore &t = track();
        MovieList *list = g_controlCenterDialog->movieList();
        // One second before the top speed; at a movie's first point, 0.
        t.stats.topSpeedBlock = 1, t.stats.topSpeedPoint = 0;
        w.playback()->jump_to_activated_slot(0);
        QTRY_VERIFY(t.mBlock == 1 && w.player()->position() == 0);
        t.stats.topSpeedBlock = t.stats.topSpeedPoint = 2;
        w.playback()->jump_to_activated_slot(0);
        QTRY_COMPARE(w.player()->position(), qint64(1000));
        expectPoint(w, 2, 1);
        w.playback()->jump_to_activated_slot(1);  // a movie entry
        QCOMPARE(t.Block, 0);
        {  // in a movie that is switched off: the warning, nothing else
            list->checkBox(2)->click();
            t.stats.topSpeedBlock = 2;  // the click recomputed the statistics
            vxtest::BoxAnswerer answer({"OK"});
            w.playback()->jump_to_activated_slot(0);
            QCOMPARE(answer.texts, QStringList{"The movie containing the highest speed is hidden."});
            QCOMPARE(t.Block, 0);
            list->checkBox(2)->click();
        }
        // Space plays and pauses from any window; Up, Down, Previous and Next walk the play order.
        w.playback()->pause();
        QTest::keyClick(g_mapDialog, Qt::Key_Space);
        QVERIFY(w.playback()->isPlaying());
        QTest::keyClick(&w, Qt::Key_Space);
        QVERIFY(!w.playback()->isPlaying());
        QString blocks;  // the third Up is at the last movie already
        for (auto [where, key] : {std::pair<QWidget *, int>{g_controlCenterDialog, Qt::Key_Up}, {&w, Qt::Key_Up}, {&w, Qt::Key_Up},
                                  {&w, Qt::Key_Down}})
            QTest::keyClick(where, Qt::Key(key)), blocks += QString::number(t.Block);
        for (QAbstractButton *b : {w.panel()->previousButton, w.panel()->previousButton, w.panel()->nextButton})
            b->click(), blocks += QString::number(t.Block);
        QCOMPARE(blocks, "1221001");
        // The master slider: moving does nothing, the release selects.
        QSlider *master = w.panel()->masterSlider;
        master->setSliderDown(true), master->setValue(2);
        QCOMPARE(t.Block, 1);
        master->setSliderDown(false);
        QCOMPARE(t.Block, 2);
        // In a window titled "Preferences" Space is typed, not played.
        w.playback()->pause();
        QDialog prefs;
        prefs.setWindowTitle("Preferences");
        prefs.show();
        QApplication::setActiveWindow(&prefs);
        QTest::keyClick(&prefs, Qt::Key_Space);
        QVERIFY(!w.playback()->isPlaying());
        prefs.close();
        // The movie on screen switched off: one fewer, the next active one plays, the row is grey.
        w.playback()->selectMovie(1);
        list->checkBox(1)->click();
        QVERIFY(t.Block == 2 && counter(w) == "2 of 2 movies" && list->rowFrame(1)->styleSheet() == inactiveRowStyle());
        QCOMPARE(QString("%1 %2").arg(w.panel()->masterSlider->maximum()).arg(w.panel()->jumpToCombo->count()), "1 3");
        QTRY_COMPARE(w.player()->state(), QMediaPlayer::PlayingState);
        // The last one switched off while it plays: back to the one before.
        list->checkBox(2)->click();
        QVERIFY(t.Block == 0 && counter(w) == "1 of 1 movies");
        // Switching on another movie keeps the one on screen where it was.
        w.playback()->pause(), w.playback()->jumpTo(0, 1500);
        QTRY_COMPARE(w.player()->position(), qint64(1500));
        list->checkBox(2)->click();
        QCOMPARE(t.Block, 0);
        QTRY_VERIFY(mediaOpen(w));
        QVERIFY(w.player()->position() == 1500 && !w.playback()->isPlaying() && w.playlist()->mediaCount() == 2);
        // A double click plays that movie; every movie off: nothing plays.
        list->movie_item_double_clicked_slot(list->list()->item(2));
        QCOMPARE(t.mBlock, 1);
        list->checkBox(0)->click(), list->checkBox(2)->click();
        QVERIFY(t.playCount == 0 && !w.playback()->isPlaying() && counter(w) == "0 of 0 movies");
        w.close();
    }
    // Unplayable movies (empty; sound and data without picture): no hang, the others keep their facts, only they are passed.
    void unplayableMoviesArePassedAndLogged() {
        const QString odd = m_dir.filePath("unplayable");
        QVERIFY(vxtest::writeFile(odd + "/A_empty.mp4", QByteArray()) && vxtest::writeFile(odd + "/A_empty.srt", ""));
        QVERIFY(addMovie(odd, "tone25.mp4", "B_tone.mp4", flightStart(), 3, 3));
        QVERIFY(addMovie(odd, "soundgpmd.mp4", "C_nopicture.mp4", flightStart(), 3, 3));
        QVERIFY(addMovie(odd, "m30.mp4", "D.mp4", flightStart(), 2, 2));
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Media Error: "));  // fails the test when not logged
        MainWindow w;
        settings().dateSort = false;
        w.loader()->setPlayerWaitLimitMs(1500);
        QElapsedTimer took;
        took.start();
        QVERIFY(w.loader()->loadFolder(odd) && took.elapsed() < 15000);
        const MovieBlock *b = track().block;
        QCOMPARE(QString("%1 %2 %3 %4 %5 %6").arg(b[0].duration).arg(b[1].duration).arg(b[2].duration).arg(b[2].width)
                     .arg(b[3].duration).arg(b[3].width), "-1 3 3 0 2 64");
        QCOMPARE(w.panel()->jumpToCombo->itemText(2).right(7), "[00:03]");
        // The one with sound plays, sound device or none.
        QTRY_COMPARE(track().Block, 1);
        QCOMPARE(counter(w), "2 of 4 movies");
        QTRY_VERIFY(w.player()->position() > 500);
        QTRY_COMPARE_WITH_TIMEOUT(track().Block, 3, 10000);
        QCOMPARE(counter(w), "4 of 4 movies");
        QTRY_VERIFY(w.player()->position() > 500 && w.player()->isVideoAvailable());
        w.close();
    }
    // Real GoPro movies (data tracks the player cannot decode) play, and their GPS sample follows the position.
    void realGoProMoviesPlay() {
        const QString gopro = m_dir.filePath("gopro");
        QVERIFY(QDir().mkpath(gopro));
        const QStringList names{"A_max.mp4", "B_karma.mp4"}, sources{"gpmf/max-heromode.mp4", "gpmf/karma.mp4"};
        for (int i = 0; i < 2; ++i) {  // written when recording stopped: the last GPS second
            QVERIFY(QFile::copy(vxtest::dataPath(sources[i]), gopro + '/' + names[i]));
            QVERIFY(vxtest::setModified(gopro + '/' + names[i], flightStart().addSecs(60 * (i + 1))));
        }
        MainWindow w;
        settings().dateSort = false;
        QVERIFY(w.loader()->loadFolder(gopro));
        for (int b = 0; b < 2; ++b) {
            if (b == 1)
                w.playback()->selectMovie(1);
            QTRY_VERIFY_WITH_TIMEOUT(w.player()->position() > 1000 && w.playback()->currentPoint() >= 0, 8000);
            const int point = w.playback()->currentPoint();
            QTRY_VERIFY_WITH_TIMEOUT(w.playback()->currentPoint() > point, 5000);
            QVERIFY(track().Block == b && w.player()->isVideoAvailable());
        }
        // Each ends at its last point's second: position p shows point (p + 480) / 1000, then (p + 920) / 1000.
        w.playback()->pause();
        const int steps[][3] = {{0, 4500, 4}, {0, 7600, 8}, {1, 6000, 6}, {1, 6100, 7}};  // block, position, point
        for (const auto &step : steps) {
            w.playback()->jumpTo(step[0], step[1]);
            expectPoint(w, step[0], step[2]);
            QCOMPARE(counter(w), QString("%1 of 2 movies").arg(step[0] + 1));
        }
        w.close();
    }
};

QTEST_MAIN(TestPlaybackController)
#include "test_playbackcontroller.moc"
