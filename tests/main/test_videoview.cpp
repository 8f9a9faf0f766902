// The video picture: fit to the movie's frame shape (or the whole area), zoom
// by the wheel (in either direction by the setting), never below 200 pixels,
// drag to pan, double click to fit, the nudge, and the resize delay with its
// "Resizing..." label.
#include "guitest.h"
#include "playerfixture.h"

#include "main/loadcontroller.h"
#include "main/mainwindow.h"
#include "main/playbackcontroller.h"
#include "main/playerpanel.h"
#include "main/startup.h"
#include "main/videoview.h"
#include "track/trackstore.h"

#include <QVideoWidget>

using namespace vx;

namespace {

void wheel(QWidget *w, int delta) {
    const QPoint at(w->width() / 2, w->height() / 2);
    QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}

} // namespace

class TestVideoView : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase() {
        vxtest::silencePlatformWarnings();
        setApplicationIdentity();
        QVERIFY(vxtest::addMovie(m_dir.path(), "plain.mov", "P.MOV",
                                 vxtest::flightStart(), 3, 3));
    }

    void init() { vxtest::resetStore(); }

    void fitZoomWheelAndPan() {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.loader()->loadFolder(m_dir.path()));
        w.playback()->pause();
        QVideoWidget *video = w.panel()->videoWidget;
        VideoView *view = w.videoView();
        const QSize box = w.panel()->videoContainer->size();
        view->fitVideo();
        QCOMPARE(video->geometry(), fitVideoRect(box, 96, 64, true));
        QCOMPARE(video->aspectRatioMode(), Qt::KeepAspectRatio);
        settings().aspectMaintain = false;
        view->fitVideo();
        QCOMPARE(video->geometry(), QRect(QPoint(0, 0), box));
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
        QMouseEvent move(QEvent::MouseMove, QPointF(40, 5), video->mapToGlobal(QPoint(40, 5)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(video, &move);
        QCOMPARE(video->pos(), start + QPoint(30, -5));
        QTest::mouseRelease(video, Qt::LeftButton, {}, QPoint(40, 5));
        QVERIFY(!view->dragging());
        QTest::mouseDClick(video, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(video->geometry(), fitVideoRect(w.panel()->videoContainer->size(), 96, 64, true));

        w.close();
    }

    void resizingWaitsHalfASecondBehindItsLabel() {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QLabel *label = w.panel()->resizeLabel;
        // No movie: the label stays hidden.
        w.resize(w.width() - 20, w.height());
        QVERIFY(w.resizeTimer()->isActive());
        QVERIFY(label->isHidden());

        QVERIFY(w.loader()->loadFolder(m_dir.path()));
        QTRY_VERIFY(!w.resizeTimer()->isActive());
        w.resize(w.width() + 60, w.height() + 30);
        QVERIFY(w.resizeTimer()->isActive() && w.resizeTimer()->remainingTime() > 300);
        QVERIFY(!label->isHidden() && w.panel()->videoWidget->isHidden());
        QCOMPARE(label->text(), "Resizing...");
        QTRY_VERIFY(label->isHidden());
        QVERIFY(!w.panel()->videoWidget->isHidden());
        QCOMPARE(w.panel()->videoWidget->geometry(),
                 fitVideoRect(w.panel()->videoContainer->size(), 96, 64, true));
        w.close();
    }
};

QTEST_MAIN(TestVideoView)
#include "test_videoview.moc"
