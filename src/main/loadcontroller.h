// Every road to a load, and the player window's part of it: "Open Movie
// Folder...", "Open Movie Files...", drag and drop (movie files, folders and
// camera cards), the command line at start-up and the auto-load folder. A
// load runs the core load (coreload.h) behind a window-modal "Processing %1
// of %2..." progress, then shows the video, fills the movie list, sets the
// counter, the master slider, the jump-to list and the views, and starts the
// first movie.
//
// Loads and media-tool runs keep the event loop turning, so the user can
// still drop, click and type while one is under way: any request that would
// start another load or change the Track store then is ignored.
#pragma once

#include "track/loadobserver.h"
#include "track/trackstore.h"

#include <QFileInfo>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QUrl>

class QComboBox;
class QProgressDialog;
class QWidget;

namespace vx {

class MainWindow;
class PlaybackController;

// The jump-to box: "Vmax (%d %s)" and one entry per active movie, after the
// statistics are computed again. Also used after the movie list changes.
void rebuildJumpToList(QComboBox *box);

// The two file dialogs of the open commands (tests answer them).
class FileChooser {
public:
    virtual ~FileChooser() = default;
    // Empty when cancelled.
    virtual QString chooseFolder(QWidget *parent, const QString &title, const QString &startFolder) = 0;
    virtual QStringList chooseFiles(QWidget *parent, const QString &title, const QString &startFolder,
                                    const QString &filter) = 0;
};

// Where a dropped volume root (a path ending with the separator) is read
// from: DCIM/100MEDIA, else DCIM/100_NOML, else the root itself.
QString cardMovieFolder(const QString &root);

class LoadController : public QObject, public LoadObserver, public TrackStoreObserver {
    Q_OBJECT

public:
    LoadController(MainWindow *window, PlaybackController *playback, QObject *parent = nullptr);
    ~LoadController() override;

    // A load (the core's or this window's steps after it) or a media-tool
    // run is under way.
    bool busy() const;

    // nullptr: the platform's dialogs.
    void setFileChooser(FileChooser *chooser) { m_chooser = chooser; }
    // How long a load waits for the player to open the first movie.
    void setPlayerWaitLimitMs(int ms) { m_playerWaitMs = ms; }

    // The command line's paths, --input= or plain (the program name first); true when they
    // started a load.
    bool handleCommandLine(const QStringList &arguments);
    // A folder chosen by the user or the auto-load folder. With nothing to
    // load the warning is shown and playback resumes when `resume`.
    bool loadFolder(const QString &folder, bool resume = false);
    // The dropped URLs, as a drop on the player window.
    bool dropUrls(const QList<QUrl> &urls);
    // Load (list, folder): the core load and the window's steps. False when
    // refused (busy) or when nothing was loaded.
    bool load(const QList<QFileInfo> &movies, const QString &folder);

    // LoadObserver
    QObject *parentWindow() override;
    void waitForPlayer() override;
    void loadStarted(int movieCount) override;
    void loadProgress(int oneBasedIndex, int count) override;
    void loadFinishedReading() override;
    void warning(const QString &title, const QString &text) override;
    void useArrowVehicle(bool arrow) override;

    // TrackStoreObserver: the dashboard and the graphs start again.
    void trackStoreReset() override;

public slots:
    void open_folder_slot();
    void open_files_slot();

protected:
    // Drops on the player window.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void windowSteps();
    void nothingFound(const QString &text, bool resume);
    QString startFolder() const;

    MainWindow *m_window;
    PlaybackController *m_playback;
    FileChooser *m_chooser = nullptr;
    QPointer<QProgressDialog> m_progress;
    bool m_loading = false;
    int m_playerWaitMs = 5000;
};

} // namespace vx
