#include "playbackcontroller.h"

#include "control/controlcenterdialog.h"
#include "main/loadcontroller.h"
#include "main/mainwindow.h"
#include "main/moviesequencer.h"
#include "main/permoviecontrol.h"
#include "main/playerpanel.h"
#include "main/resourceicon.h"
#include "main/videoview.h"
#include "settings/settings.h"
#include "track/coreload.h"
#include "track/trackstore.h"
#include "views/datadialog.h"
#include "views/graphdialog.h"
#include "views/mapdialog.h"

#include <QComboBox>
#include <QDebug>
#include <QLabel>
#include <QLocale>
#include <QMediaPlaylist>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QVideoWidget>

namespace vx {

namespace {
constexpr int kSlowTickMs = 1000;
constexpr int kDashboardTickMs = 100;
constexpr int kFastTickMs = 33;

bool visible(const QWidget *w) { return w && w->isVisible(); }
} // namespace

PlaybackController::PlaybackController(MainWindow *window, VideoView *video, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_panel(window->panel())
    , m_player(window->player())
    , m_playlist(window->playlist())
    , m_state(window->playerState())
    , m_video(video)
{
    PlayerPanel *p = m_panel;
    connect(m_player, &QMediaPlayer::stateChanged, this, &PlaybackController::mediaStateChanged);
    connect(m_player, &QMediaPlayer::positionChanged, this, &PlaybackController::position_changed_slot);
    connect(m_player, &QMediaPlayer::durationChanged, this, &PlaybackController::durationChanged);
    connect(m_player, QOverload<QMediaPlayer::Error>::of(&QMediaPlayer::error), this,
            &PlaybackController::handleError);
    connect(m_player, &QMediaPlayer::mediaStatusChanged, this, &PlaybackController::media_status_changed_slot);
    connect(m_player, &QMediaPlayer::currentMediaChanged, this, &PlaybackController::current_media_changed_slot);
    connect(window->sequencer(), &MovieSequencer::movedOn, this, &PlaybackController::sequence_moved_slot);

    connect(p->playPauseButton, &QToolButton::clicked, this, &PlaybackController::pause_button_slot);
    connect(p->previousButton, &QToolButton::clicked, this, &PlaybackController::backX_button_slot);
    connect(p->nextButton, &QToolButton::clicked, this, &PlaybackController::forwardX_button_slot);
    connect(p->instantReplayButton, &QToolButton::clicked, this, &PlaybackController::instant_replay_slot);
    connect(p->fasterButton, &QToolButton::clicked, this, &PlaybackController::faster_slot);
    connect(p->slowerButton, &QToolButton::clicked, this, &PlaybackController::slower_slot);
    connect(p->jumpToCombo, QOverload<int>::of(&QComboBox::activated), this,
            &PlaybackController::jump_to_activated_slot);
    connect(p->masterSlider, &QSlider::sliderReleased, this, &PlaybackController::master_slider_released_slot);
    connect(p->masterSlider, &QSlider::sliderMoved, this, &PlaybackController::master_slider_moved_slot);
    connect(p->masterSlider, &QSlider::valueChanged, this, &PlaybackController::master_slider_value_changed_slot);
    connect(p->seekSlider, &QSlider::valueChanged, this, &PlaybackController::seek_slider_value_changed_slot);
    connect(p->seekSlider, &QSlider::sliderPressed, this, &PlaybackController::seek_slider_pressed_slot);
    connect(p->seekSlider, &QSlider::sliderReleased, this, &PlaybackController::seek_slider_released_slot);
    connect(p->seekSlider, &QSlider::sliderMoved, this, &PlaybackController::set_position_slot);
    connect(p->volumeSlider, &QSlider::valueChanged, this, &PlaybackController::volume_changed_slot);
    connect(p->muteButton, &QToolButton::clicked, this, &PlaybackController::mute_clicked_slot);
    connect(p->brightnessSlider, &QSlider::valueChanged, this, &PlaybackController::brightness_changed_slot);
    connect(p->brightnessResetButton, &QToolButton::clicked, this, &PlaybackController::brightness_reset_slot);
    connect(p->contrastSlider, &QSlider::valueChanged, this, &PlaybackController::contrast_changed_slot);
    connect(p->contrastResetButton, &QToolButton::clicked, this, &PlaybackController::contrast_reset_slot);
    p->seekSlider->installEventFilter(this);
    p->masterSlider->installEventFilter(this);
    p->masterSlider->setTickPosition(QSlider::TicksBelow);
    p->masterSlider->setTickInterval(1);
    p->masterSlider->setRange(0, 0);

    // The picture and sound controls work with or without a movie.
    for (QWidget *w : std::initializer_list<QWidget *>{p->seekSlider, p->muteButton, p->volumeSlider,
                                                       p->brightnessSlider, p->brightnessResetButton,
                                                       p->contrastSlider, p->contrastResetButton})
        w->setEnabled(true);
}

PlaybackController::~PlaybackController() = default;

bool PlaybackController::storeBusy() const { return loadInProgress() || (m_busy && m_busy()); }

// ---- play and pause ----------------------------------------------------------

void PlaybackController::startTimerIfStopped(int *id, int intervalMs, Qt::TimerType type)
{
    if (*id == 0)
        *id = m_window->startTimer(intervalMs, type);
}

void PlaybackController::stopTimer(int *id)
{
    if (*id != 0)
        m_window->killTimer(*id);
    *id = 0;
}

void PlaybackController::setPlayIcon(bool showPause)
{
    m_panel->playPauseButton->setIcon(resourceIcon(showPause ? QStringLiteral(":/images/pause.png")
                                                             : QStringLiteral(":/images/play.png"),
                                                   showPause ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay,
                                                   PlayerPanel::standInTint()));
}

void PlaybackController::play()
{
    if (m_fastMode)
        startTimerIfStopped(&m_state.fastTimerId, kFastTickMs);
    if (m_player->state() != QMediaPlayer::PlayingState) {
        m_player->play();
        m_video->nudge();
        setPlayIcon(true);
    }
    startTimerIfStopped(&m_state.slowTimerId, kSlowTickMs);
    startTimerIfStopped(&m_state.dashboardTimerId, kDashboardTickMs);
    m_state.playing = true;
}

void PlaybackController::pause()
{
    if (m_fastMode) {
        stopTimer(&m_state.fastTimerId);
        stopTimer(&m_state.dashboardTimerId);
    }
    if (m_player->state() == QMediaPlayer::PlayingState) {
        m_player->pause();
        setPlayIcon(false);
    }
    stopTimer(&m_state.slowTimerId);
    stopTimer(&m_state.dashboardTimerId);
    m_state.playing = false;
}

void PlaybackController::toggle()
{
    if (m_state.playing)
        pause();
    else
        play();
}

bool PlaybackController::isPlaying() const { return m_state.playing; }

void PlaybackController::pause_button_slot()
{
    if (track().numBlocks > 0 && !storeBusy())
        toggle();
}

void PlaybackController::play_pause_slot()
{
    if (track().numBlocks <= 0 || storeBusy())
        return;
    if (m_player->state() == QMediaPlayer::PlayingState)
        pause();
    else
        play();
}

bool PlaybackController::timerFired(int timerId)
{
    if (timerId == 0)
        return false;
    if (timerId == m_state.slowTimerId)
        tick(Tick::Slow, std::nullopt);
    else if (timerId == m_state.fastTimerId)
        tick(Tick::Fast, std::nullopt);
    else if (timerId == m_state.dashboardTimerId)
        tick(Tick::Dashboard, std::nullopt);
    else
        return false;
    return true;
}

// ---- the tick ------------------------------------------------------------------

void PlaybackController::refresh(std::optional<qint64> positionMs)
{
    if (settings().ignoreGps || track().numBlocks <= 0)
        return;
    tick(Tick::Refresh, positionMs);
}

void PlaybackController::tick(Tick kind, std::optional<qint64> positionMs)
{
    const TrackStore &t = track();
    // While a load fills the store there is nothing consistent to show.
    if (t.numBlocks <= 0 || loadInProgress() || t.Block < 0 || t.Block >= t.numBlocks)
        return;
    const MovieBlock &m = t.block[t.Block];
    // The geotags and the snapshots take their moment the same way.
    PlaybackMoment moment = currentMoment();
    if (positionMs)
        moment.positionMs = *positionMs;
    TickInput in = tickInputOf(m, moment);
    in.fastTick = kind == Tick::Fast;
    in.rate = rateEntry(m_state.rateIndex).rate;
    const TickTimes times = computeTickTimes(in);
    if (settings().ignoreGps)
        return;

    m_panel->durationLabel->setText(durationLabelText(times.positionMs, times.lengthMs));
    m_lastInstantMs = times.instantMs;
    const int point = lookUpPoint(t, t.Block, times.instantSec, &m_sample);
    m_point = point;
    if (point >= 0)
        m_hasSample = true;
    const int block = point >= 0 ? t.Block : 0;
    const int shownPoint = point >= 0 ? point : 0;

    if (kind == Tick::Dashboard) {
        if (visible(g_dataDialog) && m_hasSample)
            g_dataDialog->updateSpeedHeading(static_cast<float>(m_sample.speedKmh * settings().speedFactor),
                                             m_sample.bearing, QDateTime::fromMSecsSinceEpoch(times.instantMs));
        return;
    }
    const QDateTime display =
        QDateTime::fromMSecsSinceEpoch(displayTimeMs(times.instantMs, m_totalOffsetSec, settings().clockBias));
    m_panel->dateLabel->setText(QLocale().toString(display, QLocale::LongFormat));
    if (m_hasSample)
        m_panel->speedLabel->setText(speedLabelText(m_sample.speedKmh, settings()));
    // A refresh after a seek also moves the speed gauge: the 100 ms tick
    // does not run while paused.
    pushToViews(times, block, shownPoint, kind == Tick::Refresh);
}

void PlaybackController::pushToViews(const TickTimes &times, int block, int point, bool dashboardSpeed)
{
    if (!m_hasSample)
        return;
    const SettingsRecord &s = settings();
    const CurrentSample &c = m_sample;
    const QDateTime time = QDateTime::fromMSecsSinceEpoch(times.instantMs);
    if (visible(g_dataDialog)) {
        DashboardPoint d;
        d.time = time;
        d.hasAltitude = c.hasAltitude;
        d.hasSats = c.hasSats;
        d.sats = c.sats;
        d.latitude = c.latitude;
        d.longitude = c.longitude;
        d.altitudeM = c.altitudeM;
        d.travelledDist = c.travelledKm * s.distFactor;
        g_dataDialog->updatePoint(d);
        if (dashboardSpeed) {
            // A refresh (a seek, a step, a jump, changed settings) shows the
            // new speed and heading at once, not eased from the old ones.
            g_dataDialog->resetSpeedSmoothing();
            g_dataDialog->updateSpeedHeading(static_cast<float>(c.speedKmh * s.speedFactor), c.bearing, time);
        }
    }
    if (visible(g_mapDialog))
        g_mapDialog->updatePoint(MapPoint{c.latitude, c.longitude, c.altitudeM, c.speedKmh, c.bearing});
    if (visible(g_graphDialog)) {
        GraphPoint g;
        g.found = m_point >= 0;
        g.block = block;
        g.point = point;
        g.time = time;
        g.sats = c.sats;
        g.altitudeM = c.altitudeM;
        g.travelledDist = c.travelledKm * s.distFactor;
        g.losDist = c.losKm * s.distFactor;
        g.bearing = c.bearing;
        g.speed = c.speedKmh * s.speedFactor;
        for (int i = 0; i < GRAPH_COUNT; ++i)
            g_graphDialog->updatePoint(i, g);
    }
    if (visible(g_controlCenterDialog))
        g_controlCenterDialog->updateCurrentPoint(
            GeotagPoint{c.latitude, c.longitude, c.bearing, c.hasAltitude, block, point});
}

// ---- the time base --------------------------------------------------------------

void PlaybackController::recomputeTimeOffset()
{
    const TrackStore &t = track();
    if (t.Block < 0 || t.Block >= MAX_BLOCKS)
        return;
    const MovieBlock &m = t.block[t.Block];
    const qint64 modified = m_state.movieModified.isValid() ? m_state.movieModified.toMSecsSinceEpoch() : 0;
    const std::optional<qint64> start = movieStartMs(modified, m.duration, m.timeFactor, m_player->duration(),
                                                     m_player->state() == QMediaPlayer::PlayingState);
    if (start)
        m_totalOffsetSec = totalTimeOffsetSec(m, *start, settings().timeBias);
}

PlaybackMoment PlaybackController::currentMoment() const
{
    PlaybackMoment m;
    m.block = track().Block;
    m.positionMs = m_player->position();
    m.modifiedMs = m_state.movieModified.isValid() ? m_state.movieModified.toMSecsSinceEpoch() : 0;
    m.playerDurationMs = m_player->duration();
    m.totalOffsetSec = m_totalOffsetSec;
    return m;
}

// ---- select, continue, jump -------------------------------------------------------

void PlaybackController::loadPerMovieSettings(int block)
{
    // The default file, then the movie's own, into the settings record; the
    // windows are told once the movie's time base is set (showSelectedMovie).
    if (block == track().Block && m_window->perMovie())
        m_window->perMovie()->movieBecameCurrent();
}

void PlaybackController::selectMovie(int block)
{
    TrackStore &t = track();
    if (block < 0 || block >= t.numBlocks)
        return;
    m_state.movieInfo = t.block[block].movieFile;
    t.Block = block;
    loadPerMovieSettings(block);
    pause();
    m_skipApplied = false;
    m_lastMediaInvalid = false;
    m_endPending = false;
    m_video->nudge();
    t.mBlock = playPositionOf(block);
    m_playlist->setCurrentIndex(t.mBlock);
    play();
    showSelectedMovie(block);
}

void PlaybackController::showSelectedMovie(int block)
{
    TrackStore &t = track();
    const MovieBlock &m = t.block[block];
    PlayerPanel *p = m_panel;
    p->movieCounterLabel->setText(movieCounterText(t.mBlock, t.playCount));
    m_state.movieModified = m.movieFile.lastModified();
    {
        const QSignalBlocker quiet(p->masterSlider);
        p->masterSlider->setValue(t.mBlock);
    }
    p->fileNameLabel->setText(m.movieFile.fileName());
    p->fileInfoLabel->setText(fileInfoText(m.movieFile.size(), m.fps, m.width, m.height));
    p->movieButton->setToolTip(m.movieFile.filePath());
    setPlayIcon(true);
    if (g_controlCenterDialog)
        g_controlCenterDialog->movieList()->markCurrent(block);
    recomputeTimeOffset();
    tellTelemetryPresence(block);
    if (g_dataDialog)
        g_dataDialog->resetSpeedSmoothing();
    m_window->setGpsPresent(!settings().ignoreGps && blockHasTelemetry(m));
    if (m_window->perMovie())
        m_window->perMovie()->finishMovieChange();
}

void PlaybackController::continueWith(int playPosition)
{
    TrackStore &t = track();
    if (playPosition < 0 || playPosition >= t.playCount)
        return;
    t.mBlock = playPosition;
    t.Block = t.playOrder[playPosition];
    m_video->nudge();
    m_state.movieInfo = t.block[t.Block].movieFile;
    loadPerMovieSettings(t.Block);
    // Each movie of the play order gets its skip once, also when it follows
    // by itself.
    m_skipApplied = false;
    showSelectedMovie(t.Block);
}

void PlaybackController::jumpTo(int block, qint64 positionMs)
{
    const TrackStore &t = track();
    // The map, the graphs and the geotags ask for jumps at any time.
    if (block < 0 || block >= t.numBlocks || storeBusy())
        return;
    positionMs = std::max<qint64>(positionMs, 0);
    const bool wasPlaying = m_state.playing;
    if (block == t.Block && m_playlist->currentIndex() == t.mBlock && t.mBlock >= 0) {
        seekPlayer(positionMs);
    } else {
        m_state.pendingSeekMs = positionMs;
        const int before = m_playlist->currentIndex();
        selectMovie(block);
        // The player applies the pending seek when its new movie arrives;
        // without a new movie there is nothing to wait for.
        if (m_playlist->currentIndex() == before)
            m_state.pendingSeekMs = 0;
        // The jump's position wins over the movie's skip.
        m_skipApplied = true;
        seekPlayer(positionMs);
        if (!wasPlaying)
            pause();
    }
    refresh(positionMs);
}

void PlaybackController::jumpToMovie(int block, qint64 positionMs) { jumpTo(block, positionMs); }

void PlaybackController::seekPlayer(qint64 positionMs) { m_player->setPosition(std::max<qint64>(positionMs, 0)); }

void PlaybackController::current_media_changed_slot()
{
    if (m_state.pendingSeekMs != 0) {
        seekPlayer(m_state.pendingSeekMs);
        m_state.pendingSeekMs = 0;
    }
}

void PlaybackController::media_status_changed_slot(QMediaPlayer::MediaStatus status)
{
    if (loadInProgress() || m_window->sequencer()->pointing())
        return;
    TrackStore &t = track();
    if (status != QMediaPlayer::LoadedMedia && status != QMediaPlayer::BufferedMedia)
        return;
    m_lastMediaInvalid = false;
    if (m_skipApplied || t.numBlocks <= 0 || m_window->sequencer()->currentFailed())
        return;
    m_skipApplied = true;
    const qint64 skip = skipTargetMs(settings().skip, t.block[t.Block].duration);
    // The first movie of the play order always starts at its beginning.
    if (skip > 0 && t.playCount > 0 && t.Block != t.playOrder[0])
        seekPlayer(skip);
}

void PlaybackController::sequence_moved_slot(int index, bool failed)
{
    const TrackStore &t = track();
    if (loadInProgress() || t.numBlocks <= 0)
        return;
    if (index >= 0 && index < t.playCount) {
        // The next movie of the play order, after the end of one or past
        // one the player cannot play: it plays on, or waits paused.
        if (index != t.mBlock)
            continueWith(index);
        if (m_state.playing)
            m_player->play();
        else
            m_player->pause();
        return;
    }
    m_lastMediaInvalid = failed;
    finishPlayOrder();
}

void PlaybackController::finishPlayOrder()
{
    if (m_endPending)
        return;
    m_endPending = true;
    // After the player has finished with its playlist: pause on the last
    // movie, at its last frame, and keep the counter.
    QTimer::singleShot(0, this, [this] {
        if (!m_endPending)
            return;
        m_endPending = false;
        TrackStore &t = track();
        if (m_state.playing)
            pause();
        setPlayIcon(false);
        if (t.numBlocks <= 0 || t.mBlock < 0 || t.mBlock >= t.playCount || m_lastMediaInvalid)
            return;
        const MovieBlock &m = t.block[t.Block];
        const qint64 length = movieLengthMs(m.duration, 1, m_player->duration());
        m_playlist->setCurrentIndex(t.mBlock);
        m_player->pause();
        seekPlayer(std::max<qint64>(length - frameStepMs(m.fps) / frameStepFrames(m.fps), 0));
        setPlayIcon(false);
    });
}

// ---- the movie list's changes ---------------------------------------------------------

void PlaybackController::activeMoviesChanged(bool followCurrent)
{
    TrackStore &t = track();
    const qint64 position = m_player->position();
    const bool wasPlaying = m_state.playing;
    rebuildPlayOrder();
    int below = 0;
    for (int b = 0; b < t.Block && b < t.numBlocks; ++b)
        below += t.block[b].active ? 1 : 0;
    t.mBlock = below;
    if (followCurrent) {
        if (t.playCount == 0) {
            pause();
            m_player->stop();
        } else if (t.Block >= 0 && t.Block < t.numBlocks && t.block[t.Block].active) {
            // The movie on screen goes on where it was.
            t.mBlock = playPositionOf(t.Block);
            m_skipApplied = true;
            m_playlist->setCurrentIndex(t.mBlock);
            seekPlayer(position);
            if (wasPlaying) {
                m_player->play();
                m_video->nudge();
            } else {
                m_player->pause();
            }
        } else {
            // The movie on screen was switched off: the next active one
            // plays (the last one when none follows).
            selectMovie(t.playOrder[std::min(below, t.playCount - 1)]);
        }
    }
    postChangeUpdate();
}

void PlaybackController::postChangeUpdate()
{
    const TrackStore &t = track();
    PlayerPanel *p = m_panel;
    rebuildJumpToList(p->jumpToCombo);
    {
        const QSignalBlocker quiet(p->masterSlider);
        p->masterSlider->setMaximum(std::max(t.playCount - 1, 0));
        p->masterSlider->setTickInterval(1);
    }
    p->movieCounterLabel->setText(t.playCount > 0 ? movieCounterText(t.mBlock, t.playCount)
                                                  : movieCounterText(-1, 0));
    if (g_mapDialog)
        g_mapDialog->activeMoviesChanged();
    // Also when no active movie has points: the graphs must not keep the
    // curves of movies just hidden.
    if (g_graphDialog)
        g_graphDialog->activeMoviesChanged();
}

void PlaybackController::tellTelemetryPresence(int block)
{
    const TrackStore &t = track();
    if (block < 0 || block >= MAX_BLOCKS)
        return;
    const MovieBlock &m = t.block[block];
    if (g_dataDialog)
        g_dataDialog->setTelemetryPresence(m.hasAltitude, m.hasSats);
    if (g_graphDialog)
        g_graphDialog->setTelemetryPresence(m.hasAltitude, m.hasSats);
}

void PlaybackController::setArrowVehicle(bool arrow)
{
    m_arrowVehicle = arrow;
    if (g_dataDialog)
        g_dataDialog->setArrowVehicle(arrow);
}

void PlaybackController::dashboardRebuilt(dataDialog *dashboard)
{
    if (!dashboard)
        return;
    dashboard->setArrowVehicle(m_arrowVehicle);
    if (track().numBlocks > 0) {
        const MovieBlock &m = track().block[track().Block];
        dashboard->setTelemetryPresence(m.hasAltitude, m.hasSats);
    }
}

void PlaybackController::prepareForLoad()
{
    pause();
    m_hasSample = false;
    m_sample = CurrentSample();
    m_point = -1;
    m_state.pendingSeekMs = 0;
}

// ---- player reports -----------------------------------------------------------------

void PlaybackController::position_changed_slot(qint64 positionMs)
{
    QSlider *s = m_panel->seekSlider;
    if (s->isSliderDown())
        return;
    const QSignalBlocker quiet(s);
    s->setValue(static_cast<int>(std::clamp<qint64>(positionMs, 0, MAX_PLAYER_POSITION_MS)));
}

void PlaybackController::durationChanged(qint64 durationMs)
{
    m_panel->seekSlider->setRange(0, static_cast<int>(std::clamp<qint64>(durationMs, 0, MAX_PLAYER_POSITION_MS)));
    recomputeTimeOffset();
}

void PlaybackController::mediaStateChanged(QMediaPlayer::State state)
{
    setPlayIcon(state == QMediaPlayer::PlayingState);
}

void PlaybackController::handleError()
{
    // Logged only: whether the movie is passed over is the sequencer's call.
    qDebug().noquote() << QStringLiteral("Media Error: ") + m_player->errorString();
}

} // namespace vx
