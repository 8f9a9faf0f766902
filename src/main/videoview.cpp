#include "videoview.h"

#include "main/playerpanel.h"
#include "settings/settings.h"
#include "track/trackstore.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>
#include <QVideoWidget>
#include <QWheelEvent>

namespace vx {

namespace {
constexpr int kResizeDelayMs = 500;
} // namespace

VideoView::VideoView(QWidget *mainWindow, PlayerPanel *panel, QTimer *resizeTimer, QObject *parent)
    : QObject(parent)
    , m_mainWindow(mainWindow)
    , m_panel(panel)
    , m_resizeTimer(resizeTimer)
{
    m_mainWindow->installEventFilter(this);
    m_panel->videoWidget->installEventFilter(this);
    connect(m_resizeTimer, &QTimer::timeout, this, &VideoView::resize_done_slot);
}

bool VideoView::movieLoaded() { return track().numBlocks > 0; }

void VideoView::fitVideo()
{
    QVideoWidget *video = m_panel->videoWidget;
    const TrackStore &t = track();
    const bool keep = settings().aspectMaintain;
    int frameWidth = 0;
    int frameHeight = 0;
    if (t.Block >= 0 && t.Block < MAX_BLOCKS) {
        frameWidth = t.block[t.Block].width;
        frameHeight = t.block[t.Block].height;
    }
    const QRect target = fitVideoRect(m_panel->videoContainer->size(), frameWidth, frameHeight, keep);
    // One pixel larger first, so that the platform lays the output out again.
    video->setGeometry(target.adjusted(0, 0, 1, 1));
    video->setGeometry(target);
    // Only what is pending for the picture: no user input may run a second
    // command in the middle of this one.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    video->setAspectRatioMode(keep ? Qt::KeepAspectRatio : Qt::IgnoreAspectRatio);
}

void VideoView::zoomOrMove(VideoMove move)
{
    QVideoWidget *video = m_panel->videoWidget;
    const std::optional<QRect> next = zoomVideoRect(m_panel->videoContainer->rect(), video->geometry(), move);
    if (!next)
        return;
    video->hide();
    video->move(next->topLeft());
    video->resize(next->size());
    video->show();
}

void VideoView::nudge()
{
    QVideoWidget *video = m_panel->videoWidget;
    const QRect g = video->geometry();
    video->resize(g.width() + 1, g.height() + 1);
    video->move(g.x() + 2, g.y() + 2);
    video->move(g.topLeft());
    video->resize(g.size());
}

void VideoView::wheel(int delta)
{
    if (delta == 0)
        return;
    bool in = delta > 0;
    if (settings().invertMouseZoomDir)
        in = !in;
    zoomOrMove(in ? VideoMove::ZoomIn : VideoMove::ZoomOut);
}

void VideoView::reset_view_slot() { fitVideo(); }

void VideoView::windowResized()
{
    m_resizeTimer->start(kResizeDelayMs);
    m_panel->videoWidget->hide();
    if (movieLoaded()) {
        m_panel->resizeLabel->adjustSize();
        m_panel->resizeLabel->move((m_panel->videoContainer->width() - m_panel->resizeLabel->width()) / 2,
                                   m_panel->videoContainer->height() / 8);
        m_panel->resizeLabel->show();
        m_panel->resizeLabel->raise();
    } else {
        m_panel->resizeLabel->hide();
    }
}

void VideoView::resize_done_slot()
{
    if (!movieLoaded())
        return;
    m_panel->videoWidget->show();
    m_panel->resizeLabel->hide();
    fitVideo();
}

bool VideoView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_mainWindow) {
        if (event->type() == QEvent::Resize && m_mainWindow->isVisible())
            windowResized();
        // Movies loaded before the window first appeared (the command line)
        // were fitted to a picture area that had no size yet.
        if (event->type() == QEvent::Show && movieLoaded())
            QTimer::singleShot(0, this, [this] {
                if (movieLoaded() && !m_resizeTimer->isActive())
                    fitVideo();
            });
        return false;
    }
    if (watched != m_panel->videoWidget)
        return false;
    switch (event->type()) {
    case QEvent::Wheel: {
        const auto *w = static_cast<QWheelEvent *>(event);
        wheel(w->angleDelta().y() != 0 ? w->angleDelta().y() : w->angleDelta().x());
        return true;
    }
    case QEvent::MouseButtonPress: {
        const auto *m = static_cast<QMouseEvent *>(event);
        if (m->button() != Qt::LeftButton)
            return false;
        m_dragging = true;
        m_pressPoint = m->globalPos();
        m_pressGeometry = m_panel->videoWidget->geometry();
        return true;
    }
    case QEvent::MouseMove: {
        if (!m_dragging)
            return false;
        const auto *m = static_cast<QMouseEvent *>(event);
        m_panel->videoWidget->move(m_pressGeometry.topLeft() + (m->globalPos() - m_pressPoint));
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (!m_dragging)
            return false;
        m_dragging = false;
        return true;
    case QEvent::MouseButtonDblClick:
        m_dragging = false;
        fitVideo();
        return true;
    default:
        return false;
    }
}

} // namespace vx
