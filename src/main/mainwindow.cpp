#include "mainwindow.h"

#include "control/controlcenterdialog.h"
#include "export/exportclipdialog.h"
#include "export/exportcommands.h"
#include "control/geotagpanel.h"
#include "export/mergedialog.h"
#include "control/movielist.h"
#include "export/geotags.h"
#include "main/aboutdialog.h"
#include "main/loadcontroller.h"
#include "main/mediatoolhooks.h"
#include "main/moviesequencer.h"
#include "main/notice.h"
#include "main/permoviecontrol.h"
#include "main/platform.h"
#include "main/playbackcontroller.h"
#include "main/playerpanel.h"
#include "main/resourceicon.h"
#include "main/shortcutsdialog.h"
#include "main/snapshotcommand.h"
#include "main/updatecheck.h"
#include "main/videoview.h"
#include "main/viewcoordinator.h"
#include "main/windowmanager.h"
#include "settings/appdirs.h"
#include "settings/preferencesdialog.h"
#include "settings/settings.h"
#include "track/geoid.h"
#include "views/datadialog.h"
#include "views/graphdialog.h"
#include "views/mapdialog.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QGraphicsOpacityEffect>
#include <QKeyEvent>
#include <QLabel>
#include <QMediaPlayer>
#include <QMediaPlaylist>
#include <QMessageBox>
#include <QNetworkProxyFactory>
#include <QPropertyAnimation>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVideoWidget>

#include <cmath>

namespace vx {

MainWindow *g_mainWindow = nullptr;

namespace {
const char *const kUserManual = "Volantix Users Manual.pdf";
constexpr int kSplashFadeMs = 2000;
constexpr int kResizeSettleMs = 500;
} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
{
    // The widgets, the player with its playlist, the resize timer.
    m_panel = new PlayerPanel(this);
    setCentralWidget(m_panel);
    m_menus = buildMainMenus(this);
    m_player = new QMediaPlayer(this, QMediaPlayer::VideoSurface);
    m_player->setVideoOutput(m_panel->videoWidget);
    m_playlist = new QMediaPlaylist(this);
    m_playlist->setPlaybackMode(QMediaPlaylist::Sequential);
    // Not the player's own playlist: that one passes over a movie at any
    // error of the player, also at a mere warning while the picture plays.
    m_sequencer = new MovieSequencer(m_player, m_playlist, this);
    m_resizeTimer = new QTimer(this);
    m_resizeTimer->setSingleShot(true);
    m_resizeTimer->setInterval(kResizeSettleMs);
    m_windows = std::make_unique<WindowManager>(this);
    m_windows->setSyncActions(m_menus.actions.sync_windows, m_menus.actions.sync_windows_toggle);
    m_windows->setDashboardActions(m_menus.actions.dashboard_vert, m_menus.actions.dashboard_horiz);

    // (The clear-all-settings question and the media-tool check run before
    // this window is built: see startup.h.)
    setDefaultSettings();
    m_windows->recomputeLayout();
    m_firstRun = loadSettings();
    m_windows->setFirstRun(m_firstRun);
    // A first run writes the record at once: the store then holds its
    // configuration version, and the next start restores the window places
    // instead of laying the windows out again.
    if (m_firstRun)
        saveSettings();
    setupGeoid();

    setWindowTitle(QStringLiteral("Volantix"));
    m_panel->placeholder->setStyleSheet(PlayerPanel::splashStyle());
    setInitialWidgetStates();
    connectWindowCommands();
    createRoles();

    m_windows->restoreMainWindowGeometry();
    setGpsPresent(true);

    QNetworkProxyFactory::setUseSystemConfiguration(true);
    qApp->installEventFilter(this);
    // The resize timer's handler belongs to playback (it fits the video).

    m_windows->createWindows();
    if (g_controlCenterDialog) {
        g_controlCenterDialog->movieList()->setHost(m_playback.get());
        // The geotags of the last run come back.
        g_controlCenterDialog->geotagPanel()->restore();
    }
    enableTransport(false);
    m_windows->showSavedWindows();
    // The per-movie settings indicator shows the default file until a movie
    // is loaded; the update check starts when it is enabled. (The snapshot
    // image type is applied here by its own role.)
    m_perMovie->settingsFileExists(SettingsFileKind::Default);
    if (settings().newVersionCheck)
        m_updateCheck->start(true);

    m_menus.actions.dashboard_vert->setChecked(settings().dashboardVertical);
    m_menus.actions.dashboard_horiz->setChecked(!settings().dashboardVertical);

    setPlaylistSink(this);
    resetTrackStore();
    m_mediaToolHooks = std::make_unique<WindowMediaToolHooks>();
    setMediaToolHooks(m_mediaToolHooks.get());
    fadeInSplash();
}

MainWindow::~MainWindow()
{
    delete m_preferences;
    qApp->removeEventFilter(this);
    if (playlistSink() == this)
        setPlaylistSink(nullptr);
    setMediaToolHooks(nullptr);
    killPlaybackTimers();
    m_windows.reset();
}

void MainWindow::setInitialWidgetStates()
{
    PlayerPanel *p = m_panel;
    p->brightnessSlider->setRange(-100, 100);
    p->brightnessSlider->setValue(0);
    p->contrastSlider->setRange(-100, 100);
    p->contrastSlider->setValue(0);
    p->playPauseButton->setEnabled(false);
    p->playPauseButton->setIcon(resourceIcon(QString(), QStyle::SP_MediaPlay, PlayerPanel::standInTint()));
    p->volumeSlider->setRange(0, 100);
    p->volumeSlider->setValue(100);
    p->muteButton->setIcon(resourceIcon(QString(), QStyle::SP_MediaVolume, PlayerPanel::standInTint()));
    p->dateLabel->setText(QStringLiteral("Volantix"));
    p->jumpToCombo->clear();
    p->jumpToCombo->addItem(QStringLiteral("Vmax"));
    p->durationLabel->clear();
    p->movieCounterLabel->clear();
    p->playPauseButton->setIcon(
        resourceIcon(QStringLiteral(":/images/play.png"), QStyle::SP_MediaPlay, PlayerPanel::standInTint()));
    p->resizeLabel->hide();

    // Controls whose handlers come with playback stay off until that role
    // connects and enables them.
    for (QWidget *w : std::initializer_list<QWidget *>{p->seekSlider, p->muteButton, p->volumeSlider,
                                                       p->brightnessSlider, p->brightnessResetButton,
                                                       p->contrastSlider, p->contrastResetButton})
        w->setEnabled(false);
}

void MainWindow::connectWindowCommands()
{
    const MainActions &a = m_menus.actions;
    connect(a.file_close, &QAction::triggered, this, &MainWindow::file_close_slot);
    connect(a.dashboard_vert, &QAction::triggered, this, &MainWindow::dashboard_vert_slot);
    connect(a.dashboard_horiz, &QAction::triggered, this, &MainWindow::dashboard_horiz_slot);
    connect(a.graph_dialog, &QAction::triggered, this, &MainWindow::graph_dialog_slot);
    connect(a.map_dialog, &QAction::triggered, this, &MainWindow::map_dialog_slot);
    connect(a.control_center_dialog, &QAction::triggered, this, &MainWindow::control_center_dialog_slot);
    connect(a.bring_to_front, &QAction::triggered, this, &MainWindow::bring_to_front_slot);
    connect(a.reset_windows, &QAction::triggered, this, &MainWindow::reset_windows_slot);
    connect(a.fullscreen, &QAction::triggered, this, &MainWindow::fullscreen_slot);
    connect(a.sync_windows, &QAction::triggered, this, &MainWindow::sync_windows_slot);
    connect(a.sync_windows_toggle, &QAction::triggered, this, &MainWindow::sync_windows_toggle_slot);
    connect(a.about, &QAction::triggered, this, &MainWindow::about_slot);
    connect(a.show_users_manual, &QAction::triggered, this, &MainWindow::show_users_manual_slot);
    connect(a.shortcuts, &QAction::triggered, this, &MainWindow::shortcuts_slot);
    connect(m_panel->movieButton, &QToolButton::clicked, this, &MainWindow::show_in_file_manager_slot);
    connect(a.export_csv, &QAction::triggered, this, &MainWindow::export_csv_slot);
    connect(a.export_gpx, &QAction::triggered, this, &MainWindow::export_gpx_slot);
    connect(a.export_kml, &QAction::triggered, this, &MainWindow::export_kml_slot);
    connect(a.export_movie, &QAction::triggered, this, &MainWindow::export_movie_slot);
    connect(a.merge_movies, &QAction::triggered, this, &MainWindow::merge_movies_slot);
    connect(a.export_screenshot, &QAction::triggered, this, &MainWindow::export_screenshot_slot);
    connect(m_panel->geotagButton, &QToolButton::clicked, this, &MainWindow::make_geotag_slot);
    connect(a.get_newest_version, &QAction::triggered, this, &MainWindow::get_newest_version_slot);
    connect(a.preferences, &QAction::triggered, this, &MainWindow::preferences_slot);
    connect(m_panel->settingsIndicatorButton, &QToolButton::clicked, this, &MainWindow::save_settings_slot);
}

void MainWindow::createRoles()
{
    // Video geometry, playback and loading; the main window only passes on
    // its timers, keys and the two loading entry points.
    m_video = std::make_unique<VideoView>(this, m_panel, m_resizeTimer);
    m_playback = std::make_unique<PlaybackController>(this, m_video.get());
    m_loader = std::make_unique<LoadController>(this, m_playback.get());
    m_playback->setBusyCheck([this] { return m_loader->busy() || exportInProgress(); });
    m_viewCoordinator = std::make_unique<ViewCoordinator>(this);
    m_snapshots = new SnapshotCommand(this);
    m_updateCheck = std::make_unique<UpdateCheck>(this);
    m_updateCheck->setBusyCheck([this] { return m_loader->busy(); });
    m_perMovie = std::make_unique<PerMovieControl>(this, m_panel->settingsIndicatorButton);
    const MainActions &a = m_menus.actions;
    connect(a.open_folder, &QAction::triggered, m_loader.get(), &LoadController::open_folder_slot);
    connect(a.open_files, &QAction::triggered, m_loader.get(), &LoadController::open_files_slot);
    connect(a.reset_view, &QAction::triggered, m_video.get(), &VideoView::reset_view_slot);
    connect(m_windows.get(), &WindowManager::dashboardRebuilt, m_playback.get(),
            &PlaybackController::dashboardRebuilt);
}

void MainWindow::applySavedPlayerSettings()
{
    const SettingsRecord &s = settings();
    PlayerPanel *p = m_panel;
    p->videoWidget->setAspectRatioMode(s.aspectMaintain ? Qt::KeepAspectRatio : Qt::IgnoreAspectRatio);
    m_player->setMuted(s.muted);
    p->muteButton->setIcon(resourceIcon(QString(), s.muted ? QStyle::SP_MediaVolumeMuted : QStyle::SP_MediaVolume,
                                        PlayerPanel::standInTint()));
    // A damaged store must not push the controls out of their ranges.
    const int volume = std::isfinite(s.volume) ? qBound(0, static_cast<int>(std::lround(s.volume * 100.0)), 100)
                                               : 100;
    p->volumeSlider->setValue(volume);
    m_player->setVolume(volume);
    const int brightness = qBound(-100, s.brightness, 100);
    const int contrast = qBound(-100, s.contrast, 100);
    p->videoWidget->setBrightness(brightness);
    p->brightnessSlider->setValue(brightness);
    p->videoWidget->setContrast(contrast);
    p->contrastSlider->setValue(contrast);
}

void MainWindow::handleCommandLine(const QStringList &arguments)
{
    // What the command line loaded is not replaced by the auto-load folder.
    if (m_loader->handleCommandLine(arguments))
        m_commandLineLoaded = true;
}

void MainWindow::loadFolderByPath(const QString &folder) { m_loader->loadFolder(folder); }

void MainWindow::enableTransport(bool enabled)
{
    PlayerPanel *p = m_panel;
    for (QWidget *w : std::initializer_list<QWidget *>{p->previousButton, p->instantReplayButton, p->nextButton,
                                                       p->playPauseButton, p->masterSlider, p->fasterButton,
                                                       p->slowerButton, p->rateLabel, p->jumpToCombo,
                                                       p->geotagButton})
        w->setEnabled(enabled);
    const MainActions &a = m_menus.actions;
    for (QAction *action : {a.export_csv, a.export_gpx, a.export_kml, a.export_movie, a.merge_movies,
                            a.export_screenshot})
        action->setEnabled(enabled);
    if (g_controlCenterDialog)
        g_controlCenterDialog->enableControls(enabled);
}

void MainWindow::setGpsPresent(bool present)
{
    if (present) {
        m_panel->noGpsLabel->clear();
    } else {
        m_panel->noGpsLabel->setText(QStringLiteral("NO GPS DATA LOADED"));
        m_panel->speedLabel->clear();
    }
}

QMessageBox *MainWindow::showNotice(const QString &text) { return showTransientNotice(this, text); }

void MainWindow::export_csv_slot() { runExportCommand(&exportCsvCommand); }
void MainWindow::export_gpx_slot() { runExportCommand(&exportGpxCommand); }
void MainWindow::export_kml_slot() { runExportCommand(&exportKmlCommand); }

void MainWindow::runExportCommand(void (*command)(QWidget *))
{
    if (m_playback->storeBusy())
        return;  // a load, a media-tool run or another export
    // The window goes on while the file is written: the roads to another
    // load or export are closed until it is done, drops included.
    const MainActions &a = m_menus.actions;
    const QList<QAction *> roads{a.open_folder, a.open_files, a.export_csv, a.export_gpx, a.export_kml};
    QList<bool> enabled;
    for (QAction *road : roads) {
        enabled << road->isEnabled();
        road->setEnabled(false);
    }
    const bool drops = acceptDrops();
    setAcceptDrops(false);
    command(this);
    setAcceptDrops(drops);
    for (int i = 0; i < roads.size(); ++i)
        roads[i]->setEnabled(enabled[i]);
}

void MainWindow::export_movie_slot()
{
    if (m_playback->storeBusy())
        return;
    const TrackStore &t = track();
    if (m_playback->isPlaying())
        m_playback->pause();
    // The position in wall-clock time: the player's times the movie's time factor.
    qint64 position = m_player->position();
    if (position > 2000000000 || position < 0)
        position = 0;
    const int block = t.Block;
    if (t.numBlocks > 0 && block >= 0 && block < MAX_BLOCKS)
        position *= t.block[block].timeFactor;
    runExportClipDialog(this, t.numBlocks > 0 ? block : -1, position, m_player->duration());
}

void MainWindow::merge_movies_slot()
{
    if (m_playback->storeBusy())
        return;
    mergeDialog dialog(this);
    applyStayOnTopFlags(&dialog);
    dialog.exec();
}

void MainWindow::make_geotag_slot()
{
    if (track().numBlocks <= 0 || m_playback->storeBusy() || !g_controlCenterDialog)
        return;
    g_controlCenterDialog->geotagPanel()->addTag(
        geotagAt(track(), m_playback->currentMoment(), settings().clockBias));
}

void MainWindow::export_screenshot_slot() { m_snapshots->exportScreenshot(); }

void MainWindow::get_newest_version_slot() { m_updateCheck->start(false); }

void MainWindow::preferences_slot() { openPreferences(); }

preferencesDialog *MainWindow::preferences() const { return m_preferences.data(); }

void MainWindow::openPreferences(const QString &tabTitle)
{
    if (!m_preferences) {
        // No parent: a window of its own beside the tool windows, deleted
        // when it closes.
        m_preferences = new preferencesDialog();
        m_preferences->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_preferences->showAtTab(tabTitle);
}

void MainWindow::save_settings_slot() { m_perMovie->save_settings_slot(); }

void MainWindow::delete_settings_slot() { m_perMovie->delete_settings_slot(); }

void MainWindow::clearPlaylist() { m_playlist->clear(); }

void MainWindow::appendToPlaylist(const QString &absolutePath)
{
    m_playlist->addMedia(QMediaContent(QUrl::fromLocalFile(absolutePath)));
}

void MainWindow::fadeInSplash()
{
    auto *effect = new QGraphicsOpacityEffect(m_panel->placeholder);
    effect->setOpacity(0.0);
    m_panel->placeholder->setGraphicsEffect(effect);
    auto *fade = new QPropertyAnimation(effect, "opacity", this);
    fade->setDuration(kSplashFadeMs);
    fade->setStartValue(0.0);
    fade->setEndValue(1.0);
    fade->setEasingCurve(QEasingCurve::OutBack);
    // Once faded in, the placeholder paints directly again.
    QWidget *placeholder = m_panel->placeholder;
    connect(fade, &QPropertyAnimation::finished, placeholder, [placeholder] {
        QTimer::singleShot(0, placeholder, [placeholder] { placeholder->setGraphicsEffect(nullptr); });
    });
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

void MainWindow::killPlaybackTimers()
{
    for (int *id : {&m_state.slowTimerId, &m_state.dashboardTimerId, &m_state.fastTimerId}) {
        if (*id != 0)
            killTimer(*id);
        *id = 0;
    }
}

void MainWindow::openUserManual(const QString &path)
{
    if (!QFileInfo::exists(path)) {
        QMessageBox::information(this, QStringLiteral("Volantix"),
                                 QStringLiteral("Could not find User's Manual PDF file: ") + path);
        return;
    }
    // A file URL built from the path: spaces, '#' and '%' in it stay part of the path.
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

// ---- slots -----------------------------------------------------------------

void MainWindow::file_close_slot() { close(); }

void MainWindow::dashboard_vert_slot() { m_windows->rebuildDashboard(true); }

void MainWindow::dashboard_horiz_slot() { m_windows->rebuildDashboard(false); }

namespace {
void showActivateRaise(QWidget *w)
{
    if (!w)
        return;
    w->show();
    w->activateWindow();
    w->raise();
}
} // namespace

void MainWindow::graph_dialog_slot() { showActivateRaise(g_graphDialog); }

void MainWindow::map_dialog_slot() { showActivateRaise(g_mapDialog); }

void MainWindow::control_center_dialog_slot() { showActivateRaise(g_controlCenterDialog); }

void MainWindow::bring_to_front_slot() { m_windows->bringToFront(); }

void MainWindow::reset_windows_slot() { m_windows->resetPositions(); }

void MainWindow::fullscreen_slot() { m_windows->toggleFullscreen(); }

void MainWindow::sync_windows_slot() { m_windows->setSyncOn(m_menus.actions.sync_windows->isChecked()); }

void MainWindow::sync_windows_toggle_slot() { m_windows->setSyncOn(!m_windows->syncOn()); }

void MainWindow::about_slot()
{
    aboutDialog box(this);
    applyStayOnTopFlags(&box);
    box.exec();
}

void MainWindow::show_users_manual_slot() { openUserManual(resourcePath(QString::fromLatin1(kUserManual))); }

void MainWindow::shortcuts_slot()
{
    shortcutsDialog box(this);
    applyStayOnTopFlags(&box);
    box.exec();
}

void MainWindow::show_in_file_manager_slot() { showInFileManager(m_state.movieInfo.absoluteFilePath()); }

// ---- events ----------------------------------------------------------------

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ApplicationActivate:
        if (watched == qApp)
            bring_to_front_slot();
        break;
    case QEvent::KeyPress: {
        // Every key press of every window passes here first. Fullscreen is
        // this window's; Space and the arrows are the playback role's.
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool altReturn = (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
                               && (key->modifiers() & ~Qt::KeypadModifier) == Qt::AltModifier;
        if (key->key() == Qt::Key_F11 || altReturn) {
            fullscreen_slot();
            return true;
        }
        if (m_playback && m_playback->filterKey(key))
            return true;
        break;
    }
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::timerEvent(QTimerEvent *event)
{
    if (!m_playback || !m_playback->timerFired(event->timerId()))
        QMainWindow::timerEvent(event);
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    if (m_playback && m_playback->handleKey(event))
        return;
    QMainWindow::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_closed) {
        m_closed = true;
        // The preferences apply what was typed and keep their place.
        if (m_preferences)
            m_preferences->close();
        m_windows->saveAtClose();
        killPlaybackTimers();
    }
    QMainWindow::closeEvent(event);
    emit closed();
}

void MainWindow::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    // Only the moves of a shown, settled window are the user's (see
    // SYNC_SETTLE_MS): the window system places a window as it appears.
    if (isVisible() && m_shownAt.isValid() && m_shownAt.elapsed() >= SYNC_SETTLE_MS)
        m_windows->mainWindowMoved(event->pos() - event->oldPos());
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    m_shownAt.start();
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    // Once, when the window first appears, and after it has appeared: the
    // load shows a progress dialog over it.
    if (settings().autoload && !m_commandLineLoaded) {
        const QString folder = settings().autoloadDir;
        QTimer::singleShot(0, this, [this, folder] { loadFolderByPath(folder); });
    }
}

} // namespace vx
