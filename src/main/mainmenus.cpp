#include "mainmenus.h"

#include "main/resourceicon.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace vx {

namespace {

QAction *makeAction(QObject *owner, const char *objectName, const QString &text,
                    const QKeySequence &shortcut = QKeySequence())
{
    auto *a = new QAction(text, owner);
    a->setObjectName(QString::fromLatin1(objectName));
    if (!shortcut.isEmpty()) {
        a->setShortcut(shortcut);
        // The menu bar belongs to the player window; its shortcuts work in
        // the dashboard, map, graph and control center windows too.
        a->setShortcutContext(Qt::ApplicationShortcut);
    }
    return a;
}

void setToolbarLook(QAction *a, const char *iconPath, QStyle::StandardPixmap fallback, const QString &toolTip)
{
    a->setIcon(resourceIcon(QString::fromLatin1(iconPath), fallback));
    a->setToolTip(toolTip);
}

} // namespace

QSize toolbarIconSize(double devicePixelRatio)
{
    return devicePixelRatio >= 2.0 ? QSize(24, 24) : QSize(20, 20);
}

int toolbarSpacing(double devicePixelRatio) { return devicePixelRatio >= 2.0 ? 16 : -1; }

void applyToolbarMetrics(QToolBar *toolBar, double devicePixelRatio)
{
    toolBar->setIconSize(toolbarIconSize(devicePixelRatio));
    const int spacing = toolbarSpacing(devicePixelRatio);
    toolBar->setStyleSheet(spacing >= 0 ? QStringLiteral("QToolBar { spacing: %1px; }").arg(spacing) : QString());
}

MainMenus buildMainMenus(QMainWindow *window)
{
    MainMenus m;
    MainActions &a = m.actions;
    QMenuBar *bar = window->menuBar();

    a.open_folder = makeAction(window, "actionOpen_Folder", QStringLiteral("Open Movie Folder..."),
                               QKeySequence(Qt::CTRL | Qt::Key_O));
    a.open_files = makeAction(window, "actionOpen_Files", QStringLiteral("Open Movie Files..."),
                              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    a.export_csv = makeAction(window, "actionExport_CSV", QStringLiteral("Export to CSV File..."));
    a.export_gpx = makeAction(window, "actionExport_GPX", QStringLiteral("Export to GPX File..."));
    a.export_kml = makeAction(window, "actionExport_KML", QStringLiteral("Export to KML File..."));
    a.file_close = makeAction(window, "actionQuit", QStringLiteral("Quit"));
    a.file_close->setMenuRole(QAction::QuitRole);

    m.file = bar->addMenu(QStringLiteral("File"));
    m.file->setObjectName(QStringLiteral("menuFile"));
    m.file->addAction(a.open_folder);
    m.file->addAction(a.open_files);
    m.file->addSeparator();
    m.file->addAction(a.export_csv);
    m.file->addAction(a.export_gpx);
    m.file->addAction(a.export_kml);
    m.file->addSeparator();
    m.file->addAction(a.file_close);

    m.edit = bar->addMenu(QStringLiteral("Edit"));
    m.edit->setObjectName(QStringLiteral("menuEdit"));

    a.dashboard_vert = makeAction(window, "actionVertical", QStringLiteral("Vertical"),
                                  QKeySequence(Qt::CTRL | Qt::Key_1));
    a.dashboard_vert->setCheckable(true);
    a.dashboard_horiz = makeAction(window, "actionHorizontal", QStringLiteral("Horizontal"),
                                   QKeySequence(Qt::CTRL | Qt::Key_2));
    a.dashboard_horiz->setCheckable(true);
    a.graph_dialog = makeAction(window, "actionGraph_Window", QStringLiteral("Graph Window"),
                                QKeySequence(Qt::CTRL | Qt::Key_3));
    a.map_dialog = makeAction(window, "actionMap_Window", QStringLiteral("Map Window"),
                              QKeySequence(Qt::CTRL | Qt::Key_4));
    a.control_center_dialog = makeAction(window, "actionControl_Center_Window",
                                         QStringLiteral("Control Center Window"),
                                         QKeySequence(Qt::CTRL | Qt::Key_5));
    a.bring_to_front = makeAction(window, "actionBring_All_To_Front", QStringLiteral("Bring All To Front"),
                                  QKeySequence(Qt::CTRL | Qt::Key_6));
    a.reset_windows = makeAction(window, "actionReset_Window_Positions",
                                 QStringLiteral("Reset Window Positions"), QKeySequence(Qt::CTRL | Qt::Key_7));
    a.fullscreen = makeAction(window, "actionToggle_Fullscreen", QStringLiteral("Toggle Fullscreen"),
                              QKeySequence(Qt::CTRL | Qt::Key_F));
    a.sync_windows = makeAction(window, "actionSync_Window_Movement", QStringLiteral("Sync Window Movement"),
                                QKeySequence(Qt::CTRL | Qt::Key_0));
    a.sync_windows->setCheckable(true);

    m.window = bar->addMenu(QStringLiteral("Window"));
    m.window->setObjectName(QStringLiteral("menuWindow"));
    m.dashboardWindow = m.window->addMenu(QStringLiteral("Dashboard Window"));
    m.dashboardWindow->setObjectName(QStringLiteral("menuDashboard_Window"));
    m.dashboardWindow->addAction(a.dashboard_vert);
    m.dashboardWindow->addAction(a.dashboard_horiz);
    m.window->addAction(a.graph_dialog);
    m.window->addAction(a.map_dialog);
    m.window->addAction(a.control_center_dialog);
    m.window->addAction(a.bring_to_front);
    m.window->addAction(a.reset_windows);
    m.window->addSeparator();
    m.window->addAction(a.fullscreen);
    m.window->addSeparator();
    m.window->addAction(a.sync_windows);

    a.about = makeAction(window, "actionAbout", QStringLiteral("About Volantix"));
    a.about->setMenuRole(QAction::AboutRole);
    a.preferences = makeAction(window, "actionPreferences", QStringLiteral("Preferences..."));
    a.preferences->setMenuRole(QAction::PreferencesRole);
    a.show_users_manual = makeAction(window, "actionUser_Manual", QStringLiteral("User Manual..."));
    a.shortcuts = makeAction(window, "actionShortcuts", QStringLiteral("Shortcuts..."));
    a.get_newest_version = makeAction(window, "actionCheck_For_New_Version",
                                      QStringLiteral("Check For New Version..."));

    m.help = bar->addMenu(QStringLiteral("Help"));
    m.help->setObjectName(QStringLiteral("menuHelp"));
    m.help->addAction(a.about);
    m.help->addAction(a.preferences);
    m.help->addAction(a.show_users_manual);
    m.help->addAction(a.shortcuts);
    m.help->addSeparator();
    m.help->addAction(a.get_newest_version);

    a.export_screenshot = makeAction(window, "actionExport_Screenshot", QStringLiteral("Export to JPG File"));
    a.export_movie = makeAction(window, "actionExport_Movie", QStringLiteral("Export Clip to Movie"));
    a.merge_movies = makeAction(window, "actionMerge_Movies", QStringLiteral("Merge Multiple Movies into One Movie"));
    a.sync_windows_toggle = makeAction(window, "actionSync_Windows_Toggle",
                                       QStringLiteral("Toggle \"Sync Window Movement\" option"));
    a.reset_view = makeAction(window, "actionRecenter_Movie", QStringLiteral("Recenter Movie"),
                              QKeySequence(Qt::CTRL | Qt::Key_R));

    setToolbarLook(a.open_folder, ":/images/open_folder.png", QStyle::SP_DirOpenIcon, QStringLiteral("Open Movie Folder"));
    setToolbarLook(a.open_files, ":/images/open_files.png", QStyle::SP_FileIcon, QStringLiteral("Open Movie Files"));
    setToolbarLook(a.export_csv, ":/images/export_csv.png", QStyle::SP_DialogSaveButton, QStringLiteral("Export to CSV File"));
    setToolbarLook(a.export_gpx, ":/images/export_gpx.png", QStyle::SP_DialogSaveButton, QStringLiteral("Export to GPX File"));
    setToolbarLook(a.export_kml, ":/images/export_kml.png", QStyle::SP_DialogSaveButton, QStringLiteral("Export to KML File"));
    setToolbarLook(a.export_screenshot, ":/images/export_jpg.png", QStyle::SP_DesktopIcon, QStringLiteral("Export to JPG File"));
    setToolbarLook(a.export_movie, ":/images/export_clip.png", QStyle::SP_MediaSeekForward, QStringLiteral("Export Clip to Movie"));
    setToolbarLook(a.merge_movies, ":/images/merge.png", QStyle::SP_FileDialogListView, QStringLiteral("Merge Multiple Movies into One Movie"));
    setToolbarLook(a.sync_windows_toggle, ":/images/sync_unlock24.png", QStyle::SP_BrowserReload,
                   QStringLiteral("Toggle \"Sync Window Movement\" option"));
    setToolbarLook(a.reset_view, ":/images/recenter.png", QStyle::SP_TitleBarNormalButton, QStringLiteral("Recenter Movie"));
    setToolbarLook(a.preferences, ":/images/preferences.png", QStyle::SP_FileDialogDetailedView, QStringLiteral("Preferences"));

    m.toolBar = new QToolBar(QStringLiteral("Toolbar"), window);
    m.toolBar->setObjectName(QStringLiteral("mainToolBar"));
    m.toolBar->setMovable(false);
    m.toolBar->setFloatable(false);
    m.toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m.toolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    for (QAction *t : {a.open_folder, a.open_files, a.export_csv, a.export_gpx, a.export_kml, a.export_screenshot,
                       a.export_movie, a.merge_movies, a.sync_windows_toggle, a.reset_view, a.preferences})
        m.toolBar->addAction(t);
    applyToolbarMetrics(m.toolBar, window->devicePixelRatioF());
    window->addToolBar(Qt::TopToolBarArea, m.toolBar);
    m.toolBar->setFixedHeight(TOOLBAR_HEIGHT);
    return m;
}

} // namespace vx
