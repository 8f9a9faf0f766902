// The life of the secondary windows and everything the five top-level windows
// do together: the default window layout, the first-run placement, moving
// together ("Sync Window Movement") with its guard, bring to front, reset of
// the window positions, fullscreen with the remembered visibility, the
// dashboard's orientation rebuild and the save at close.
#pragma once

#include "views/mydialog.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPoint>
#include <QSize>

#include <array>

class QAction;
class QMainWindow;

namespace vx {

class dataDialog;
class myDialog;

struct WindowPlace {
    QPoint pos;
    QSize size;
    QRect rect() const { return QRect(pos, size); }
};

// Positions and sizes of the five windows on a screen whose available area
// is `available`, with title bars `titleBarHeight` pixels high.
struct DefaultLayout {
    WindowPlace player, dashboard, map, graph, controlCenter;
    const WindowPlace &row(LayoutRow r) const;
};
DefaultLayout computeDefaultLayout(QSize available, int titleBarHeight);

// The primary screen's available size and the style's title-bar height.
DefaultLayout computeDefaultLayoutForScreen();

class WindowManager : public QObject, public DialogCoordinator {
    Q_OBJECT

public:
    explicit WindowManager(QMainWindow *mainWindow, QObject *parent = nullptr);
    ~WindowManager() override;

    // The menu's checkable sync item and the toolbar's toggle: both show
    // the lock icon of the current state.
    void setSyncActions(QAction *menuAction, QAction *toolbarAction);
    // The two orientation items of "Dashboard Window".
    void setDashboardActions(QAction *vertical, QAction *horizontal);

    const DefaultLayout &layout() const { return m_layout; }
    void recomputeLayout();
    void setLayoutForTesting(const DefaultLayout &layout) { m_layout = layout; }

    void setFirstRun(bool firstRun) { m_firstRun = firstRun; }
    bool firstRun() const { return m_firstRun; }

    // The main window's geometry from group "mainWindow" (the default
    // place on a first run or when nothing is stored), then the sync flag.
    void restoreMainWindowGeometry();

    // Dashboard, map, graph and control center, once, without a parent.
    void createWindows();
    // Shows each window whose stored visibility flag is on.
    void showSavedWindows();

    // Sync flag: read at start-up, set from the menu or the toolbar; each
    // change is stored and the icons follow.
    bool syncOn() const { return m_syncOn; }
    void setSyncOn(bool on);
    void mainWindowMoved(const QPoint &delta);

    void bringToFront();
    void resetPositions();
    void toggleFullscreen();
    // Replaces the dashboard with one of the given orientation.
    void rebuildDashboard(bool vertical);
    // Visibility flags, then the close of every visible secondary window.
    void saveAtClose();

    // DialogCoordinator
    bool firstRunPlace(LayoutRow row, QRect *place) override;
    bool syncGuard() const override { return m_syncGuard; }
    void setSyncGuard(bool on) override { m_syncGuard = on; }
    void dialogMoved(LayoutRow row, const QPoint &delta) override;

signals:
    // A new dashboard replaced the old one (orientation change).
    void dashboardRebuilt(vx::dataDialog *dashboard);

public:
    // The window of a row (null when it does not exist).
    myDialog *window(LayoutRow row) const;
    // Settings key of each window's visibility flag.
    static QString visibilityKey(LayoutRow row);

private:
    void updateSyncIcons();
    void placeWindow(QWidget *window, const WindowPlace &place);
    static void showActivateRaise(QWidget *window);

    QMainWindow *m_mainWindow;
    QAction *m_syncMenuAction = nullptr;
    QAction *m_syncToolbarAction = nullptr;
    QAction *m_vertAction = nullptr;
    QAction *m_horizAction = nullptr;
    DefaultLayout m_layout;
    bool m_firstRun = false;
    bool m_firstRunPlaced[5] = {};
    bool m_syncOn = false;
    bool m_syncGuard = false;
    // Which of dashboard, map, graph, control center were visible when
    // fullscreen began, and the player's normal place then.
    std::array<bool, 5> m_visibleBeforeFullscreen = {};
    QPoint m_posBeforeFullscreen;
    QSize m_sizeBeforeFullscreen;
    QElapsedTimer m_fullscreenChange;
    // Every secondary window this manager created and still owns.
    std::array<myDialog *, 5> m_owned = {};
};

} // namespace vx
