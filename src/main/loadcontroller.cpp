#include "loadcontroller.h"

#include "control/controlcenterdialog.h"
#include "control/geotagpanel.h"
#include "main/mainwindow.h"
#include "main/playbackcontroller.h"
#include "main/playerpanel.h"
#include "main/videoview.h"
#include "settings/settings.h"
#include "track/coreload.h"
#include "track/mediatool.h"
#include "track/moviediscovery.h"
#include "track/playbackmath.h"
#include "track/repair.h"
#include "views/datadialog.h"
#include "views/graphdialog.h"
#include "views/mapdialog.h"

#include <QAction>
#include <QComboBox>
#include <QDebug>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QLabel>
#include <QMediaPlayer>
#include <QMediaPlaylist>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressDialog>
#include <QSettings>
#include <QSlider>
#include <QTimer>
#include <QVideoWidget>

namespace vx {

namespace {

const char *const kTitle = "Volantix";

class PlatformFileChooser : public FileChooser {
public:
    QString chooseFolder(QWidget *parent, const QString &title, const QString &startFolder) override
    {
        return QFileDialog::getExistingDirectory(parent, title, startFolder,
                                                 QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    }
    QStringList chooseFiles(QWidget *parent, const QString &title, const QString &startFolder,
                            const QString &filter) override
    {
        return QFileDialog::getOpenFileNames(parent, title, startFolder, filter);
    }
};

PlatformFileChooser g_platformChooser;

// A dropped "/.file/id=" path is a file reference of the platform's URL
// services; this platform has none, so the path stays as it is.
QString resolveFileReference(const QString &path) { return path; }

// The flag that marks this window's load, from the core load to the first
// movie, released however the load ends.
class LoadingScope {
public:
    explicit LoadingScope(bool *flag)
        : m_flag(flag)
    {
        *m_flag = true;
    }
    ~LoadingScope() { *m_flag = false; }
    LoadingScope(const LoadingScope &) = delete;
    LoadingScope &operator=(const LoadingScope &) = delete;

private:
    bool *m_flag;
};

} // namespace

void rebuildJumpToList(QComboBox *box)
{
    computeTrackStats();
    const QStringList entries = jumpToEntries(track(), settings());
    const QSignalBlocker quiet(box);
    box->clear();
    box->addItems(entries);
}

QString cardMovieFolder(const QString &root)
{
    const QString sep = QStringLiteral("/");
    for (const char *sub : {"100MEDIA", "100_NOML"}) {
        const QString folder = root + QStringLiteral("DCIM") + sep + QString::fromLatin1(sub) + sep;
        if (QFileInfo(folder).isDir())
            return folder;
    }
    return root;
}

LoadController::LoadController(MainWindow *window, PlaybackController *playback, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_playback(playback)
{
    m_window->setAcceptDrops(true);
    m_window->installEventFilter(this);
    setTrackStoreObserver(this);
}

LoadController::~LoadController()
{
    setTrackStoreObserver(nullptr);
    if (m_progress)
        delete m_progress;
}

bool LoadController::busy() const { return m_loading || loadInProgress() || mediaToolBusy() || trackStoreHeld(); }

QString LoadController::startFolder() const
{
    const QSettings store(QString::fromLatin1(keys::ORGANIZATION), QString::fromLatin1(keys::APPLICATION));
    return store.value(QString::fromLatin1(keys::MOVIE_DIRECTORY), QDir::currentPath()).toString();
}

void LoadController::nothingFound(const QString &text, bool resume)
{
    QMessageBox::warning(m_window, QString::fromLatin1(kTitle), text);
    m_window->activateWindow();
    m_window->raise();
    if (resume)
        m_playback->play();
}

// ---- the roads to a load -------------------------------------------------------

bool LoadController::handleCommandLine(const QStringList &arguments)
{
    const InputSelection sel = parseInputArguments(arguments.mid(1), settings().dateSort);
    printMessages(sel.messages);
    if (sel.movies.isEmpty())
        return false;
    return load(sel.movies, sel.loadFolder);
}

void LoadController::open_folder_slot()
{
    if (busy())
        return;
    const bool wasPlaying = m_playback->isPlaying();
    m_playback->pause();
    FileChooser *chooser = m_chooser ? m_chooser : &g_platformChooser;
    const QString folder = chooser->chooseFolder(m_window, QStringLiteral("Open Movie Directory"), startFolder());
    if (folder.isEmpty()) {
        m_window->activateWindow();
        m_window->raise();
        if (wasPlaying)
            m_playback->play();
        return;
    }
    loadFolder(folder, wasPlaying);
}

void LoadController::open_files_slot()
{
    if (busy())
        return;
    const bool wasPlaying = m_playback->isPlaying();
    m_playback->pause();
    FileChooser *chooser = m_chooser ? m_chooser : &g_platformChooser;
    const QStringList files = chooser->chooseFiles(m_window, QStringLiteral("Select Movie Files to Open"),
                                                   startFolder(), QStringLiteral("Movies (*.mp4 *.mov *.avi)"));
    if (files.isEmpty()) {
        m_window->activateWindow();
        m_window->raise();
        if (wasPlaying)
            m_playback->play();
        return;
    }
    QList<QFileInfo> movies;
    for (const QString &f : files)
        movies << QFileInfo(f);
    sortMovies(movies, settings().dateSort);
    load(movies, QFileInfo(files.last()).absolutePath());
}

bool LoadController::loadFolder(const QString &folder, bool resume)
{
    if (busy()) {
        qDebug().noquote() << QStringLiteral("A load is under way; not loading %1").arg(folder);
        return false;
    }
    const QList<QFileInfo> movies = listMovieFolder(folder, settings().dateSort);
    if (movies.isEmpty()) {
        nothingFound(QStringLiteral("No movie files found in this directory."), resume);
        return false;
    }
    return load(movies, folder);
}

bool LoadController::dropUrls(const QList<QUrl> &urls)
{
    if (busy())
        return false;
    const bool wasPlaying = m_playback->isPlaying();
    m_playback->pause();
    const bool dateSort = settings().dateSort;
    QList<QFileInfo> movies;
    QString folder;
    bool cardOrder = false;
    for (const QUrl &url : urls) {
        QString path = url.toLocalFile();
        // Only files of this computer can be loaded (a dropped web link
        // has no local path, and an empty path would mean "here").
        if (path.isEmpty())
            continue;
        if (path.startsWith(QLatin1String("/.file/id=")))
            path = resolveFileReference(path);
        if (isMovieFileName(path)) {
            movies << QFileInfo(path);
            folder = QFileInfo(path).absolutePath();
            cardOrder = false;
        } else if (!path.endsWith(QLatin1Char('/'))) {
            movies = listMovieFolder(path, dateSort);
            folder = path;
            cardOrder = false;
        } else {
            folder = cardMovieFolder(path);
            movies = listMovieFolder(folder, true);
            cardOrder = true;
        }
    }
    if (movies.isEmpty()) {
        nothingFound(QStringLiteral("No movie files found."), wasPlaying);
        return false;
    }
    // A camera card plays in the order it was filmed, whatever the sort setting.
    if (!cardOrder)
        sortMovies(movies, dateSort);
    return load(movies, folder);
}

bool LoadController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window)
        return false;
    switch (event->type()) {
    case QEvent::DragEnter: {
        auto *e = static_cast<QDragEnterEvent *>(event);
        if (e->mimeData() && e->mimeData()->hasUrls())
            e->acceptProposedAction();
        return true;
    }
    case QEvent::DragMove: {
        auto *e = static_cast<QDragMoveEvent *>(event);
        if (e->mimeData() && e->mimeData()->hasUrls())
            e->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto *e = static_cast<QDropEvent *>(event);
        if (!e->mimeData() || !e->mimeData()->hasUrls())
            return true;
        e->acceptProposedAction();
        const QList<QUrl> urls = e->mimeData()->urls();
        // After the drop has finished: the load shows a modal progress.
        QTimer::singleShot(0, this, [this, urls] { dropUrls(urls); });
        return true;
    }
    default:
        return false;
    }
}

// ---- the load ------------------------------------------------------------------

bool LoadController::load(const QList<QFileInfo> &movies, const QString &folder)
{
    if (busy()) {
        qDebug().noquote() << QStringLiteral("A load is under way; the new request is ignored");
        return false;
    }
    if (movies.isEmpty())
        return false;
    const LoadingScope scope(&m_loading);
    m_playback->prepareForLoad();
    if (loadMovies(movies, folder, this) != LoadStatus::Loaded)
        return false;
    windowSteps();
    return true;
}

void LoadController::windowSteps()
{
    TrackStore &t = track();
    PlayerPanel *p = m_window->panel();
    p->videoWidget->show();
    p->placeholder->setStyleSheet(QStringLiteral("background-color: rgb(0, 0, 0);"));

    if (g_controlCenterDialog) {
        g_controlCenterDialog->show();
        g_controlCenterDialog->fillLists();
    }
    // Also without points: the tabs follow the loaded movies.
    if (g_graphDialog)
        g_graphDialog->moviesLoaded();

    t.mBlock = 0;
    t.Block = 0;
    p->movieCounterLabel->setText(movieCounterText(t.mBlock, t.playCount));
    {
        const QSignalBlocker quiet(p->masterSlider);
        p->masterSlider->setRange(0, std::max(t.playCount - 1, 0));
        p->masterSlider->setTickPosition(QSlider::TicksBelow);
        p->masterSlider->setTickInterval(1);
        p->masterSlider->setValue(0);
    }
    m_window->actions().open_folder->setToolTip(QString());
    m_window->actions().open_files->setToolTip(QString());

    m_window->enableTransport(true);
    m_window->videoView()->fitVideo();
    m_playback->tellTelemetryPresence(0);
    rebuildJumpToList(p->jumpToCombo);
    if (g_dataDialog)
        g_dataDialog->rebuildSpeedGauge();
    if (g_mapDialog)
        g_mapDialog->moviesLoaded();
    m_playback->resetRate();
    m_playback->selectMovie(0);
    m_window->activateWindow();
    m_window->raise();
}

// ---- LoadObserver ------------------------------------------------------------------

QObject *LoadController::parentWindow() { return m_window; }

void LoadController::waitForPlayer()
{
    QMediaPlaylist *playlist = m_window->playlist();
    QMediaPlayer *player = m_window->player();
    if (playlist->isEmpty())
        return;
    // The player opens the first movie. It may report at once (a file it
    // cannot read), so the reports are watched before it is asked; a movie
    // it cannot open, or one it is slow to open, must not hold the load up.
    // An error alone proves nothing (the player warns about data tracks of
    // movies that play); a movie it cannot play is passed over by the
    // sequencer, which moves the playlist on.
    bool settled = false;
    QEventLoop loop;
    auto settle = [&] {
        settled = true;
        loop.quit();
    };
    const QMetaObject::Connection status =
        connect(player, &QMediaPlayer::mediaStatusChanged, &loop, [&](QMediaPlayer::MediaStatus s) {
            if (s == QMediaPlayer::LoadedMedia || s == QMediaPlayer::BufferedMedia
                || s == QMediaPlayer::BufferingMedia || s == QMediaPlayer::InvalidMedia
                || s == QMediaPlayer::EndOfMedia)
                settle();
        });
    // The playlist moving away from the first movie means it gave up on it.
    const QMetaObject::Connection moved = connect(playlist, &QMediaPlaylist::currentIndexChanged, &loop,
                                                  [&](int index) {
                                                      if (index != 0)
                                                          settle();
                                                  });
    playlist->setCurrentIndex(0);
    const QMediaPlayer::MediaStatus now = player->mediaStatus();
    if (now == QMediaPlayer::LoadedMedia || now == QMediaPlayer::BufferedMedia)
        settled = true;
    if (!settled) {
        QTimer limit;
        limit.setSingleShot(true);
        connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
        limit.start(m_playerWaitMs);
        loop.exec();
    }
    disconnect(status);
    disconnect(moved);
    if (!settled)
        qDebug().noquote() << QStringLiteral("The player did not open %1 in time; loading goes on")
                                  .arg(playlist->media(0).request().url().toLocalFile());
}

void LoadController::loadStarted(int movieCount)
{
    if (m_progress)
        delete m_progress;
    m_progress = new QProgressDialog(m_window);
    m_progress->setObjectName(QStringLiteral("loadProgress"));
    m_progress->setWindowTitle(QString::fromLatin1(kTitle));
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setCancelButton(nullptr);
    // It stays up through the last movie and closes when reading is over.
    m_progress->setAutoReset(false);
    m_progress->setAutoClose(false);
    m_progress->setLabelText(QStringLiteral("Processing..."));
    m_progress->setRange(0, movieCount);
    m_progress->setMinimumDuration(0);
    m_progress->setValue(0);
    m_progress->show();
}

void LoadController::loadProgress(int oneBasedIndex, int count)
{
    if (!m_progress)
        return;
    m_progress->setLabelText(processingText(oneBasedIndex, count));
    m_progress->setValue(oneBasedIndex);
}

void LoadController::loadFinishedReading()
{
    if (!m_progress)
        return;
    m_progress->close();
    m_progress->deleteLater();
    m_progress = nullptr;
}

void LoadController::warning(const QString &title, const QString &text)
{
    QMessageBox::warning(m_window, title, text);
}

void LoadController::useArrowVehicle(bool arrow) { m_playback->setArrowVehicle(arrow); }

void LoadController::trackStoreReset()
{
    // The geotags' movies are no longer loaded until the load finds them.
    if (g_controlCenterDialog)
        g_controlCenterDialog->geotagPanel()->resolveMovies();
    if (g_dataDialog)
        g_dataDialog->resetToEmpty();
    if (g_graphDialog)
        g_graphDialog->resetGraphs();
}

} // namespace vx
