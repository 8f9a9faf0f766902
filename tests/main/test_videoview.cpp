// The video picture: fit to the movie's frame shape (or the whole area), zoom by the wheel (in either direction
// by the setting), drag to pan, double click to fit, the nudge, and the resize delay with its "Resizing..." label.
#include "playerfixture.h"

using namespace vx;

class TestVideoView : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    static void wheel(QWidget *w, int delta) {
        const QPoint at(w->width() / 2, w->height() / 2);
        QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &e);
    }

private slots:
    void initTestCase() {
        vxtest::silencePlatformWarnings();
        setApplicationIdentity();
        QVERIFY(vxtest::addMovie(m_dir.path(), "plain.mov", "P.MOV", vxtest::flightStart(), 3, 3));
        vxtest::resetStore();
    }

    void resizeDelayFitZoomWheelAndPan() {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QLabel *label = w.panel()->resizeLabel;
        QVideoWidget *video = w.panel()->videoWidget;
        const auto fitRect = [&w] { return fitVideoRect(w.panel()->videoContainer->size(), 96, 64, true); };
        // No movie: the resize waits, the label stays hidden.
        w.resize(w.width() - 20, w.height());
        QVERIFY(w.resizeTimer()->isActive() && label->isHidden());
        QVERIFY(w.loader()->loadFolder(m_dir.path()));
        w.playback()->pause();
        QTRY_VERIFY(!w.resizeTimer()->isActive());
        // With a movie: half a second behind "Resizing...", the picture hidden, then fitted again.
        w.resize(w.width() + 60, w.height() + 30);
        QVERIFY(w.resizeTimer()->isActive() && w.resizeTimer()->remainingTime() > 300);
        QVERIFY(!label->isHidden() && video->isHidden() && label->text() == "Resizing...");
        QTRY_VERIFY(label->isHidden());
        QVERIFY(!video->isHidden());
        QCOMPARE(video->geometry(), fitRect());

        VideoView *view = w.videoView();
        QCOMPARE(video->aspectRatioMode(), Qt::KeepAspectRatio);
        settings().aspectMaintain = false;
        view->fitVideo();
        QCOMPARE(video->geometry(), QRect(QPoint(0, 0), w.panel()->videoContainer->size()));
        QCOMPARE(video->aspectRatioMode(), Qt::IgnoreAspectRatio);
        settings().aspectMaintain = true;
        view->fitVideo();
        const QRect fitted = video->geometry();
        view->nudge();
        QCOMPARE(video->geometry(), fitted);
        // Wheel up zooms in, down zooms out; the setting turns it round.
        wheel(video, 120);
        QCOMPARE(video->width(), qRound(fitted.width() * 1.25));
        wheel(video, -120);
        QCOMPARE(video->geometry(), fitted);
        settings().invertMouseZoomDir = true;
        wheel(video, 120);
        QVERIFY(video->width() < fitted.width());
        // A drag moves the picture by the mouse's way; a double click fits.
        view->fitVideo();
        const QPoint start = video->pos();
        QTest::mousePress(video, Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(view->dragging());
        QMouseEvent move(QEvent::MouseMove, QPointF(40, 5), video->mapToGlobal(QPoint(40, 5)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(video, &move);
        QCOMPARE(video->pos(), start + QPoint(30, -5));
        QTest::mouseRelease(video, Qt::LeftButton, {}, QPoint(40, 5));
        QVERIFY(!view->dragging());
        QTest::mouseDClick(video, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(video->geometry(), fitRect());
        w.close();
    }
};

QTEST_MAIN(TestVideoView)
#include "test_videoview.moc"
