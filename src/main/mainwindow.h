// The player window as a container: it builds the player panel, the menus and
// the toolbar, owns the media player and its playlist and the window
// management, watches the whole application's events (application-wide keys,
// the application becoming active), and saves and closes everything when it
// closes. Loading and playback are separate roles that drive the widgets and
// the player through the accessors below.
#pragma once

#include "main/mainmenus.h"
#include "track/trackstore.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMainWindow>
#include <QPointer>

#include <memory>

class QMediaPlayer;
class QMediaPlaylist;
class QMessageBox;
class QPropertyAnimation;
class QTimer;

namespace vx {

class LoadController;
class MovieSequencer;
class PerMovieControl;
class PlaybackController;
class PlayerPanel;
class SnapshotCommand;
class UpdateCheck;
class VideoView;
class ViewCoordinator;
class WindowManager;
class WindowMediaToolHooks;
class preferencesDialog;

// Playback state the design keeps with the player window. The playback
// timers are started on the main window (QObject::startTimer) so that the
// close can kill them; their ids live here.
struct PlayerState {
    int slowTimerId = 0;       // 1000 ms tick
    int dashboardTimerId = 0;  // 100 ms tick
    int fastTimerId = 0;       // 33 ms tick
    bool playing = false;
    int rateIndex = 4;         // 1x
    qint64 pendingSeekMs = 0;  // 0 = none
    QFileInfo movieInfo;       // the movie in the player
    QDateTime movieModified;   // its last-modified time (the time base)
};

class MainWindow : public QMainWindow, public PlaylistSink {
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    PlayerPanel *panel() const { return m_panel; }
    const MainActions &actions() const { return m_menus.actions; }
    const MainMenus &menus() const { return m_menus; }
    WindowManager *windows() const { return m_windows.get(); }
    QMediaPlayer *player() const { return m_player; }
    // The movies in play order with the current one; the sequencer points
    // the player at it and moves on at the end of a movie.
    QMediaPlaylist *playlist() const { return m_playlist; }
    MovieSequencer *sequencer() const { return m_sequencer; }
    QTimer *resizeTimer() const { return m_resizeTimer; }
    PlayerState &playerState() { return m_state; }
    // The roles: the video geometry, playback, loading.
    VideoView *videoView() const { return m_video.get(); }
    PlaybackController *playback() const { return m_playback.get(); }
    LoadController *loader() const { return m_loader.get(); }
    // What the secondary windows ask of the player window (ViewHost).
    ViewCoordinator *viewCoordinator() const { return m_viewCoordinator.get(); }
    SnapshotCommand *snapshots() const { return m_snapshots; }
    UpdateCheck *updateCheck() const { return m_updateCheck.get(); }
    // The per-movie settings indicator and files.
    PerMovieControl *perMovie() const { return m_perMovie.get(); }
    // The preferences dialog while it is open (one at a time), else null.
    preferencesDialog *preferences() const;
    // Opens the preferences, or brings the open one forward, at the tab
    // titled `tabTitle` (the last one shown when empty or not there).
    void openPreferences(const QString &tabTitle = QString());
    bool firstRun() const { return m_firstRun; }

    // Start-up: the stored aspect-ratio mode, mute state, volume,
    // brightness and contrast applied to the player and its controls.
    void applySavedPlayerSettings();

    // The loading entry points (filled by the loading role): the command
    // line, once at start-up, and a folder opened by path (also the
    // auto-load folder when the window is first shown).
    virtual void handleCommandLine(const QStringList &arguments);
    virtual void loadFolderByPath(const QString &folder);

    // The transport controls, the export, clip and merge commands and the
    // control center's controls, on or off together.
    void enableTransport(bool enabled);
    // false: "NO GPS DATA LOADED" and no speed; true: the no-GPS label cleared.
    void setGpsPresent(bool present);
    // A message over the bottom of the window that goes away by itself.
    QMessageBox *showNotice(const QString &text);

    // The user manual in the resource directory, or a box saying it is
    // missing; the path can be given (tests).
    void openUserManual(const QString &path);

    // PlaylistSink: the player's playlist mirrors the play order.
    void clearPlaylist() override;
    void appendToPlaylist(const QString &absolutePath) override;

signals:
    // The window has saved everything and closed; the event loop ends.
    void closed();

public slots:
    void file_close_slot();
    void dashboard_vert_slot();
    void dashboard_horiz_slot();
    void graph_dialog_slot();
    void map_dialog_slot();
    void control_center_dialog_slot();
    void bring_to_front_slot();
    void reset_windows_slot();
    void fullscreen_slot();
    void sync_windows_slot();
    void sync_windows_toggle_slot();
    void about_slot();
    void show_users_manual_slot();
    void shortcuts_slot();
    void show_in_file_manager_slot();
    void export_csv_slot();
    void export_gpx_slot();
    void export_kml_slot();
    void export_movie_slot();
    void merge_movies_slot();
    // A geotag at the playback position ("G", the geotag button, the graph
    // window's "G").
    void make_geotag_slot();
    // A snapshot of the picture ("P", the toolbar).
    void export_screenshot_slot();
    void get_newest_version_slot();
    void preferences_slot();
    void save_settings_slot();
    void delete_settings_slot();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void setInitialWidgetStates();
    void connectWindowCommands();
    void createRoles();
    void fadeInSplash();
    void killPlaybackTimers();
    // Runs one export command; while it writes, nothing can load or export.
    void runExportCommand(void (*command)(QWidget *));

    PlayerPanel *m_panel = nullptr;
    MainMenus m_menus;
    QMediaPlayer *m_player = nullptr;
    QMediaPlaylist *m_playlist = nullptr;
    MovieSequencer *m_sequencer = nullptr;
    QTimer *m_resizeTimer = nullptr;
    std::unique_ptr<WindowManager> m_windows;
    std::unique_ptr<WindowMediaToolHooks> m_mediaToolHooks;
    std::unique_ptr<VideoView> m_video;
    std::unique_ptr<PlaybackController> m_playback;
    std::unique_ptr<LoadController> m_loader;
    std::unique_ptr<ViewCoordinator> m_viewCoordinator;
    SnapshotCommand *m_snapshots = nullptr;
    std::unique_ptr<UpdateCheck> m_updateCheck;
    std::unique_ptr<PerMovieControl> m_perMovie;
    QPointer<preferencesDialog> m_preferences;
    PlayerState m_state;
    bool m_firstRun = false;
    bool m_shownOnce = false;
    QElapsedTimer m_shownAt;
    bool m_closed = false;
    bool m_commandLineLoaded = false;
};

// The player window while the program runs (null before and after).
extern MainWindow *g_mainWindow;

} // namespace vx
