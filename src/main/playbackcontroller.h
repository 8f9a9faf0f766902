// Playback and its synchronisation with the telemetry: play and pause, the
// three timers (1000 ms slow tick, 100 ms dashboard tick, 33 ms fast tick at
// rates other than 1x), the tick that turns the player's position into the
// current telemetry point and pushes it to the views, selecting a movie,
// jumping to a movie and a position, the continuation from one movie to the
// next, the transport controls (frame steps, instant replay, rate, the seek,
// master and jump-to controls), the volume and picture controls, and the
// keys of the player.
//
// The player and the widgets belong to the main window; this role drives
// them. The movie list talks to it through MovieListHost.
#pragma once

#include "control/movielist.h"
#include "track/playbackmath.h"

#include <QMediaPlayer>
#include <QObject>

#include <functional>
#include <optional>

class QKeyEvent;
class QMediaPlaylist;
class QSlider;
class QTimer;

namespace vx {

class MainWindow;
class PlayerPanel;
class VideoView;
class dataDialog;
struct PlayerState;

class PlaybackController : public QObject, public MovieListHost {
    Q_OBJECT

public:
    PlaybackController(MainWindow *window, VideoView *video, QObject *parent = nullptr);
    ~PlaybackController() override;

    // Whether anything else may change the Track store now (a load or a
    // media-tool run is under way); requests from the user are ignored then.
    void setBusyCheck(std::function<bool()> busy) { m_busy = std::move(busy); }
    bool storeBusy() const override;

    // ---- play and pause -----------------------------------------------------
    void play();
    void pause();
    // By the playing flag (the button and Space).
    void toggle();
    bool isPlaying() const;

    // ---- movies and positions -------------------------------------------------
    // Block b becomes the movie in the player and plays from its start
    // (or its skip); the labels, the movie list and the views follow.
    void selectMovie(int block);
    // Block b at `positionMs`; playing or paused as before.
    void jumpTo(int block, qint64 positionMs);
    // One full tick now, at `positionMs` when given (a seek just asked for),
    // else at the player's position. Nothing with "Ignore GPS data" or
    // without movies.
    void refresh(std::optional<qint64> positionMs = std::nullopt);
    // Frame steps (Left and Right): 30, 20 or 40 frames by the frame rate.
    void frameStep(bool forward);
    void nextMovie();
    void previousMovie();

    // ---- the time base ------------------------------------------------------------
    // gpsTime[0] - movie start (whole seconds) + timeBias; after a select, a
    // new duration and a change of the time preferences.
    void recomputeTimeOffset();
    qint64 totalOffsetSec() const { return m_totalOffsetSec; }

    // The rate back to 1x (after a load).
    void resetRate();
    // A load starts: playback pauses and the current sample is forgotten.
    void prepareForLoad();
    // The dashboard and the graph window learn whether block b carries
    // altitude and satellite counts.
    void tellTelemetryPresence(int block);
    // The "F" key and the GoPro load: the dashboard's vehicle image.
    void setArrowVehicle(bool arrow);

    // ---- what the tick found -------------------------------------------------------------
    const CurrentSample &currentSample() const { return m_sample; }
    bool hasCurrentSample() const { return m_hasSample; }
    int currentPoint() const { return m_point; }   // -1 when the last tick found none
    qint64 lastInstantMs() const { return m_lastInstantMs; }
    // Where the player stands now, with the time base the tick uses (the
    // geotag and the snapshot take their moment from it).
    PlaybackMoment currentMoment() const;

    // ---- MovieListHost ------------------------------------------------------------------
    void activeMoviesChanged(bool followCurrent) override;
    void jumpToMovie(int block, qint64 positionMs) override;
    // The jump-to list, master slider, counter, map routes and graphs after
    // the set of active movies changed.
    void postChangeUpdate();

    // ---- events the main window passes on --------------------------------------------------------
    // A playback timer fired; false when `timerId` is not one of them.
    bool timerFired(int timerId);
    // Space and the arrows, seen first in every window; true when consumed.
    bool filterKey(const QKeyEvent *key);
    // The keys of the player window itself (it has the focus).
    bool handleKey(const QKeyEvent *key);

public slots:
    void pause_button_slot();
    void play_pause_slot();
    void backX_button_slot();
    void forwardX_button_slot();
    void instant_replay_slot();
    void faster_slot();
    void slower_slot();
    void jump_to_activated_slot(int index);
    void master_slider_released_slot();
    void master_slider_moved_slot(int value);
    void master_slider_value_changed_slot(int value);
    void seek_slider_value_changed_slot(int value);
    void seek_slider_pressed_slot();
    void seek_slider_released_slot();
    void set_position_slot(int positionMs);
    void position_changed_slot(qint64 positionMs);
    void durationChanged(qint64 durationMs);
    void mediaStateChanged(QMediaPlayer::State state);
    void media_status_changed_slot(QMediaPlayer::MediaStatus status);
    void current_media_changed_slot();
    // The sequence went on by itself (see MovieSequencer::movedOn).
    void sequence_moved_slot(int index, bool failed);
    void handleError();
    void volume_changed_slot(int value);
    void mute_clicked_slot();
    void brightness_changed_slot(int value);
    void brightness_reset_slot();
    void contrast_changed_slot(int value);
    void contrast_reset_slot();
    void dashboardRebuilt(vx::dataDialog *dashboard);

protected:
    // The sliders' mouse state for click-to-position.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Tick { Slow, Fast, Dashboard, Refresh };
    void tick(Tick kind, std::optional<qint64> positionMs);
    void pushToViews(const TickTimes &times, int block, int point, bool dashboardSpeed);
    // The select steps shared with the automatic continuation.
    void showSelectedMovie(int block);
    // The per-movie settings files of the movie: the default file first,
    // then the movie's own.
    void loadPerMovieSettings(int block);
    void setRateIndex(int index);
    void jumpToTopSpeed();
    void continueWith(int playPosition);
    void finishPlayOrder();
    void startTimerIfStopped(int *id, int intervalMs, Qt::TimerType type = Qt::CoarseTimer);
    void stopTimer(int *id);
    void setPlayIcon(bool showPause);
    void seekPlayer(qint64 positionMs);
    // Click-to-position: the value under the last left press, when the
    // press is down inside `slider` and is not a handle drag.
    std::optional<int> clickValue(QSlider *slider) const;

    MainWindow *m_window;
    PlayerPanel *m_panel;
    QMediaPlayer *m_player;
    QMediaPlaylist *m_playlist;
    PlayerState &m_state;
    VideoView *m_video;
    std::function<bool()> m_busy;

    bool m_fastMode = false;
    bool m_skipApplied = false;
    bool m_seekResume = false;
    bool m_endPending = false;      // the end of the play order is being handled
    bool m_lastMediaInvalid = false;
    bool m_inClickToPosition = false;
    bool m_arrowVehicle = false;
    qint64 m_totalOffsetSec = 0;
    CurrentSample m_sample;
    bool m_hasSample = false;
    int m_point = -1;
    qint64 m_lastInstantMs = 0;

    struct SliderMouse {
        bool leftDown = false;
        int x = 0;
        bool inside = false;
    };
    SliderMouse m_seekMouse;
    SliderMouse m_masterMouse;
};

} // namespace vx
