// The player window's menus and toolbar. Every command is one QAction named
// after its slot (open_folder_slot -> actions.open_folder) so that the code
// that implements a command can connect and enable it. A command offered in
// both the menu and the toolbar is one action (its text is the menu item, its
// tool tip the toolbar's); the sync option has two, the menu's checkable item
// and the toolbar's toggle.
#pragma once

#include <QSize>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

namespace vx {

struct MainActions {
    // File
    QAction *open_folder = nullptr;
    QAction *open_files = nullptr;
    QAction *export_csv = nullptr;
    QAction *export_gpx = nullptr;
    QAction *export_kml = nullptr;
    QAction *file_close = nullptr;
    // Window
    QAction *dashboard_vert = nullptr;
    QAction *dashboard_horiz = nullptr;
    QAction *graph_dialog = nullptr;
    QAction *map_dialog = nullptr;
    QAction *control_center_dialog = nullptr;
    QAction *bring_to_front = nullptr;
    QAction *reset_windows = nullptr;
    QAction *fullscreen = nullptr;
    QAction *sync_windows = nullptr;
    // Help
    QAction *about = nullptr;
    QAction *preferences = nullptr;
    QAction *show_users_manual = nullptr;
    QAction *shortcuts = nullptr;
    QAction *get_newest_version = nullptr;
    // Toolbar only
    QAction *export_screenshot = nullptr;
    QAction *export_movie = nullptr;
    QAction *merge_movies = nullptr;
    QAction *sync_windows_toggle = nullptr;
    QAction *reset_view = nullptr;
};

struct MainMenus {
    QMenu *file = nullptr;
    QMenu *edit = nullptr;
    QMenu *window = nullptr;
    QMenu *dashboardWindow = nullptr;
    QMenu *help = nullptr;
    QToolBar *toolBar = nullptr;  // object name "mainToolBar"
    MainActions actions;
};

// Builds the menu bar and the toolbar of `window`. Nothing is connected.
MainMenus buildMainMenus(QMainWindow *window);

// Toolbar icons: 24 x 24 with 16 pixels between them on a display of device
// pixel ratio 2 (or more), else 20 x 20 with the style's spacing (-1).
QSize toolbarIconSize(double devicePixelRatio);
int toolbarSpacing(double devicePixelRatio);
void applyToolbarMetrics(QToolBar *toolBar, double devicePixelRatio);

constexpr int TOOLBAR_HEIGHT = 28;

} // namespace vx
