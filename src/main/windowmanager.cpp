#include "windowmanager.h"

#include "control/controlcenterdialog.h"
#include "main/mainmenus.h"
#include "main/notice.h"
#include "main/platform.h"
#include "main/resourceicon.h"
#include "settings/networkproxy.h"
#include "settings/settings.h"
#include "views/datadialog.h"
#include "views/graphdialog.h"
#include "views/mapdialog.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QStyle>
#include <QToolBar>

namespace vx {

namespace {

constexpr int kDashboardWidth = 620;
constexpr int kBottomRowHeight = 194;
constexpr int kRebuiltDashboardSide = 1000;
constexpr qint64 kFullscreenSettleMs = 1000;

const char *const kSyncOnIcon = ":/images/sync_lock24.png";
const char *const kSyncOffIcon = ":/images/sync_unlock24.png";

int rowIndex(LayoutRow row) { return static_cast<int>(row); }

// The secondary windows in the order they are created and shown.
constexpr LayoutRow kRows[] = {LayoutRow::Dashboard, LayoutRow::Map, LayoutRow::Graph,
                               LayoutRow::ControlCenter};

// A window's size never goes below one pixel: on a very small screen the
// arithmetic of the layout can reach zero or less.
QSize atLeastOnePixel(QSize s) { return QSize(qMax(1, s.width()), qMax(1, s.height())); }

} // namespace

const WindowPlace &DefaultLayout::row(LayoutRow r) const
{
    switch (r) {
    case LayoutRow::Dashboard: return dashboard;
    case LayoutRow::Map: return map;
    case LayoutRow::Graph: return graph;
    case LayoutRow::ControlCenter: return controlCenter;
    case LayoutRow::None: break;
    }
    return player;
}

DefaultLayout computeDefaultLayout(QSize available, int titleBarHeight)
{
    const int w = available.width();
    const int h = available.height();
    const int t = titleBarHeight;
    const int playerWidth = static_cast<int>(0.75 * w);  // truncation toward zero
    const int rightWidth = w - playerWidth;
    const int topRightHeight = static_cast<int>(0.2 * h);

    DefaultLayout l;
    l.player = {QPoint(0, 0), QSize(playerWidth, h - kBottomRowHeight - t)};
    l.dashboard = {QPoint(playerWidth - kDashboardWidth, h - kBottomRowHeight),
                   QSize(kDashboardWidth, kBottomRowHeight - t)};
    l.map = {QPoint(playerWidth, topRightHeight), QSize(rightWidth, static_cast<int>(0.8 * h))};
    l.graph = {QPoint(0, h - kBottomRowHeight),
               QSize((w - kDashboardWidth) - rightWidth, kBottomRowHeight - 2 * t)};
    l.controlCenter = {QPoint(playerWidth, 0), QSize(rightWidth, topRightHeight - t)};
    return l;
}

DefaultLayout computeDefaultLayoutForScreen()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QSize available = screen ? screen->availableGeometry().size() : QSize(1024, 768);
    return computeDefaultLayout(available, QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight));
}

WindowManager::WindowManager(QMainWindow *mainWindow, QObject *parent)
    : QObject(parent)
    , m_mainWindow(mainWindow)
{
    qRegisterMetaType<dataDialog *>();  // dashboardRebuilt's argument, queued or spied
    setDialogCoordinator(this);
}

WindowManager::~WindowManager()
{
    if (dialogCoordinator() == this)
        setDialogCoordinator(nullptr);
    for (myDialog *&w : m_owned) {
        if (!w)
            continue;
        if (w == g_dataDialog) g_dataDialog = nullptr;
        if (w == g_mapDialog) g_mapDialog = nullptr;
        if (w == g_graphDialog) g_graphDialog = nullptr;
        if (w == g_controlCenterDialog) g_controlCenterDialog = nullptr;
        delete w;
        w = nullptr;
    }
}

void WindowManager::setSyncActions(QAction *menuAction, QAction *toolbarAction)
{
    m_syncMenuAction = menuAction;
    m_syncToolbarAction = toolbarAction;
    updateSyncIcons();
}

void WindowManager::setDashboardActions(QAction *vertical, QAction *horizontal)
{
    m_vertAction = vertical;
    m_horizAction = horizontal;
}

void WindowManager::recomputeLayout() { m_layout = computeDefaultLayoutForScreen(); }

myDialog *WindowManager::window(LayoutRow row) const
{
    switch (row) {
    case LayoutRow::Dashboard: return g_dataDialog;
    case LayoutRow::Map: return g_mapDialog;
    case LayoutRow::Graph: return g_graphDialog;
    case LayoutRow::ControlCenter: return g_controlCenterDialog;
    case LayoutRow::None: break;
    }
    return nullptr;
}

QString WindowManager::visibilityKey(LayoutRow row)
{
    switch (row) {
    case LayoutRow::Dashboard: return QStringLiteral("dataVis");
    case LayoutRow::Map: return QStringLiteral("mapVis");
    case LayoutRow::Graph: return QStringLiteral("graphVis");
    case LayoutRow::ControlCenter: return QStringLiteral("controlCenterVis");
    case LayoutRow::None: break;
    }
    return QString();
}

void WindowManager::placeWindow(QWidget *window, const WindowPlace &place)
{
    window->resize(atLeastOnePixel(place.size));
    const bool guard = m_syncGuard;
    m_syncGuard = true;
    window->move(place.pos);
    m_syncGuard = guard;
}

void WindowManager::showActivateRaise(QWidget *window)
{
    window->show();
    window->activateWindow();
    window->raise();
}

void WindowManager::restoreMainWindowGeometry()
{
    if (m_firstRun) {
        placeWindow(m_mainWindow, m_layout.player);
    } else {
        auto store = openSettingsStore();
        store->beginGroup(QStringLiteral("mainWindow"));
        const QSize size = storedSizeWithinDesktop(store->value(QStringLiteral("size"), m_layout.player.size).toSize());
        const QPoint pos = store->value(QStringLiteral("pos"), m_layout.player.pos).toPoint();
        store->endGroup();
        // A place on no screen any more would hide the player: the default place instead.
        placeWindow(m_mainWindow, onAnyScreen(QRect(pos, size)) ? WindowPlace{pos, size} : m_layout.player);
    }
    auto store = openSettingsStore();
    store->beginGroup(QString::fromLatin1(keys::CONFIG_GROUP));
    m_syncOn = store->value(QString::fromLatin1(keys::SYNC_WINDOWS), false).toBool();
    store->endGroup();
    if (m_syncMenuAction)
        m_syncMenuAction->setChecked(m_syncOn);
    updateSyncIcons();
}

void WindowManager::createWindows()
{
    if (m_owned[rowIndex(LayoutRow::Map)])
        return;  // once per run
    g_dataDialog = new dataDialog(settings().dashboardVertical);
    // The stored proxy is installed as the map comes to life: its page and
    // every later request go through it.
    applyProxy();
    g_mapDialog = new mapDialog;
    g_graphDialog = new graphDialog;
    g_controlCenterDialog = new controlCenterDialog;
    for (LayoutRow row : kRows)
        m_owned[rowIndex(row)] = window(row);
}

void WindowManager::showSavedWindows()
{
    auto store = openSettingsStore();
    bool visible[5] = {};
    for (LayoutRow row : kRows) {
        if (myDialog *w = window(row))
            visible[rowIndex(row)] = store->value(w->settingsGroup() + QLatin1Char('/') + visibilityKey(row), true).toBool();
    }
    for (LayoutRow row : kRows) {
        myDialog *w = window(row);
        if (!w || !visible[rowIndex(row)])
            continue;
        if (row == LayoutRow::Dashboard && w->layout())
            w->layout()->activate();
        showActivateRaise(w);
    }
}

void WindowManager::updateSyncIcons()
{
    const QIcon icon = resourceIcon(QString::fromLatin1(m_syncOn ? kSyncOnIcon : kSyncOffIcon),
                                    QStyle::SP_BrowserReload);
    if (m_syncMenuAction)
        m_syncMenuAction->setIcon(icon);
    if (m_syncToolbarAction)
        m_syncToolbarAction->setIcon(icon);
}

void WindowManager::setSyncOn(bool on)
{
    m_syncOn = on;
    if (m_syncMenuAction && m_syncMenuAction->isChecked() != on)
        m_syncMenuAction->setChecked(on);
    auto store = openSettingsStore();
    store->beginGroup(QString::fromLatin1(keys::CONFIG_GROUP));
    store->setValue(QString::fromLatin1(keys::SYNC_WINDOWS), on);
    store->endGroup();
    updateSyncIcons();
}

void WindowManager::mainWindowMoved(const QPoint &delta)
{
    if (!m_syncOn || m_syncGuard || delta.isNull())
        return;
    // Entering and leaving fullscreen moves the player; the window system
    // reports those moves late, so they are told apart by time.
    if (m_mainWindow->isFullScreen()
        || (m_fullscreenChange.isValid() && m_fullscreenChange.elapsed() < kFullscreenSettleMs))
        return;
    m_syncGuard = true;
    for (LayoutRow row : kRows) {
        if (myDialog *w = window(row))
            w->move(w->pos() + delta);
    }
    m_syncGuard = false;
}

void WindowManager::dialogMoved(LayoutRow moved, const QPoint &delta)
{
    if (!m_syncOn || m_syncGuard || delta.isNull())
        return;
    m_syncGuard = true;
    m_mainWindow->move(m_mainWindow->pos() + delta);
    for (LayoutRow row : kRows) {
        if (row == moved)
            continue;
        if (myDialog *w = window(row))
            w->move(w->pos() + delta);
    }
    m_syncGuard = false;
}

bool WindowManager::firstRunPlace(LayoutRow row, QRect *place)
{
    const int i = rowIndex(row);
    if (!m_firstRun || row == LayoutRow::None || m_firstRunPlaced[i])
        return false;
    // Once per window and run: a window the user moved, hid and showed again
    // comes back where the user left it.
    m_firstRunPlaced[i] = true;
    *place = QRect(m_layout.row(row).pos, atLeastOnePixel(m_layout.row(row).size));
    return true;
}

void WindowManager::bringToFront()
{
    for (LayoutRow row : {LayoutRow::Graph, LayoutRow::Dashboard, LayoutRow::Map, LayoutRow::ControlCenter}) {
        myDialog *w = window(row);
        if (w && w->isVisible())
            w->raise();
    }
    if (m_mainWindow->isVisible())
        m_mainWindow->raise();
    // A modal dialog open at that moment (an update announced at start-up,
    // a question) stays above the windows it belongs to.
    if (QWidget *modal = QApplication::activeModalWidget())
        modal->raise();
}

void WindowManager::resetPositions()
{
    recomputeLayout();
    if (m_syncOn)
        setSyncOn(false);
    placeWindow(m_mainWindow, m_layout.player);
    // Each window is shown before it is placed: showing restores the stored
    // place, and the default place must win.
    if (myDialog *graph = window(LayoutRow::Graph)) {
        graph->show();
        placeWindow(graph, m_layout.graph);
        graph->raise();
    }
    if (g_dataDialog && g_dataDialog->isVertical())
        rebuildDashboard(false);
    if (myDialog *dash = window(LayoutRow::Dashboard)) {
        dash->show();
        placeWindow(dash, m_layout.dashboard);
        dash->raise();
    }
    if (myDialog *map = window(LayoutRow::Map)) {
        map->show();
        placeWindow(map, m_layout.map);
        // One pixel smaller, then twice the target: the web view lays out again.
        map->resize(atLeastOnePixel(m_layout.map.size - QSize(1, 1)));
        map->resize(atLeastOnePixel(m_layout.map.size));
        map->resize(atLeastOnePixel(m_layout.map.size));
        map->raise();
    }
    if (myDialog *cc = window(LayoutRow::ControlCenter)) {
        cc->show();
        placeWindow(cc, m_layout.controlCenter);
        cc->raise();
    }
}

void WindowManager::toggleFullscreen()
{
    QMenuBar *menuBar = m_mainWindow->menuBar();
    QToolBar *toolBar = m_mainWindow->findChild<QToolBar *>(QStringLiteral("mainToolBar"));
    if (!m_mainWindow->isFullScreen()) {
        m_posBeforeFullscreen = m_mainWindow->pos();
        m_sizeBeforeFullscreen = m_mainWindow->size();
        for (LayoutRow row : {LayoutRow::Graph, LayoutRow::Dashboard, LayoutRow::Map, LayoutRow::ControlCenter}) {
            myDialog *w = window(row);
            m_visibleBeforeFullscreen[rowIndex(row)] = w && w->isVisible();
            if (w)
                w->hide();
        }
        menuBar->setFixedHeight(0);
        if (toolBar)
            toolBar->setFixedHeight(0);
        m_fullscreenChange.start();
        m_mainWindow->showFullScreen();
        showTransientNotice(m_mainWindow, fullscreenNoticeText());
    } else {
        for (LayoutRow row : {LayoutRow::Graph, LayoutRow::Dashboard, LayoutRow::Map, LayoutRow::ControlCenter}) {
            if (myDialog *w = window(row))
                w->setVisible(m_visibleBeforeFullscreen[rowIndex(row)]);
        }
        menuBar->setMinimumHeight(0);
        menuBar->setMaximumHeight(QWIDGETSIZE_MAX);
        if (toolBar)
            toolBar->setFixedHeight(TOOLBAR_HEIGHT);
        m_fullscreenChange.start();
        m_mainWindow->showNormal();
    }
}

void WindowManager::rebuildDashboard(bool vertical)
{
    settings().dashboardVertical = vertical;
    if (g_dataDialog) {
        dataDialog *old = g_dataDialog;
        old->saveGeometryToStore();
        g_dataDialog = nullptr;
        m_owned[rowIndex(LayoutRow::Dashboard)] = nullptr;
        delete old;
    }
    g_dataDialog = new dataDialog(vertical);
    m_owned[rowIndex(LayoutRow::Dashboard)] = g_dataDialog;
    if (m_vertAction)
        m_vertAction->setChecked(vertical);
    if (m_horizAction)
        m_horizAction->setChecked(!vertical);
    if (g_dataDialog->layout())
        g_dataDialog->layout()->activate();
    showActivateRaise(g_dataDialog);
    // Its own size limits decide the final size.
    g_dataDialog->resize(kRebuiltDashboardSide, kRebuiltDashboardSide);
    // With movies loaded, the playback role tells the new dashboard whether
    // the current movie carries altitude and satellite counts
    // (dashboardRebuilt).
    emit dashboardRebuilt(g_dataDialog);
    saveSettings();
}

void WindowManager::saveAtClose()
{
    auto store = openSettingsStore();
    const bool fullScreen = m_mainWindow->isFullScreen();
    // In fullscreen the player's normal place and the windows' visibility
    // before fullscreen are what the next start should see.
    store->beginGroup(QStringLiteral("mainWindow"));
    store->setValue(QStringLiteral("size"), fullScreen ? m_sizeBeforeFullscreen : m_mainWindow->size());
    store->setValue(QStringLiteral("pos"), fullScreen ? m_posBeforeFullscreen : m_mainWindow->pos());
    store->endGroup();
    for (LayoutRow row : kRows) {
        if (myDialog *w = window(row)) {
            const bool visible = fullScreen ? m_visibleBeforeFullscreen[rowIndex(row)] : w->isVisible();
            store->setValue(w->settingsGroup() + QLatin1Char('/') + visibilityKey(row), visible);
        }
    }
    store.reset();
    for (LayoutRow row : {LayoutRow::Map, LayoutRow::Dashboard, LayoutRow::Graph, LayoutRow::ControlCenter}) {
        myDialog *w = window(row);
        if (!w || !w->isVisible())
            continue;
        w->close();
        switch (row) {
        case LayoutRow::Dashboard: g_dataDialog = nullptr; break;
        case LayoutRow::Map: g_mapDialog = nullptr; break;
        case LayoutRow::Graph: g_graphDialog = nullptr; break;
        case LayoutRow::ControlCenter: g_controlCenterDialog = nullptr; break;
        case LayoutRow::None: break;
        }
    }
}

} // namespace vx
