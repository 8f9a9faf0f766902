// The geometry of the video picture inside the player window: fit to the
// current movie's frame shape, zoom and move by keys and the mouse wheel,
// drag to pan, and the resize delay ("Resizing...") while the window is
// being resized. The picture is placed by hand inside its container (it is
// not in a layout), over the splash placeholder.
#pragma once

#include "track/playbackmath.h"

#include <QObject>
#include <QPoint>
#include <QRect>

class QTimer;
class QWidget;

namespace vx {

class PlayerPanel;

class VideoView : public QObject {
    Q_OBJECT

public:
    // Watches `mainWindow` for resizes and the panel's video output for the
    // mouse; `resizeTimer` is the window's single-shot resize timer.
    VideoView(QWidget *mainWindow, PlayerPanel *panel, QTimer *resizeTimer, QObject *parent = nullptr);

    // The picture fitted to the container and the current block's frame.
    void fitVideo();
    // Zoom in or out by 1.25, or move by 20 pixels.
    void zoomOrMove(VideoMove move);
    // Resize by +1 pixel, move by +2 pixels and back, so that the platform
    // draws the picture again.
    void nudge();
    // Wheel steps over the picture: zoom in for a positive delta, out for a
    // negative one; "invertMouseZoomDir" reverses it.
    void wheel(int delta);

    bool dragging() const { return m_dragging; }

public slots:
    void reset_view_slot();
    void resize_done_slot();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static bool movieLoaded();
    void windowResized();

    QWidget *m_mainWindow;
    PlayerPanel *m_panel;
    QTimer *m_resizeTimer;
    bool m_dragging = false;
    QPoint m_pressPoint;      // global, whole pixels
    QRect m_pressGeometry;    // the picture's geometry at the press
};

} // namespace vx
