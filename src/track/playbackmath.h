// The arithmetic of playback, without any window: the rate table, frame
// steps, a movie's start time and the total time offset, the look-up of the
// telemetry point that belongs to a player position, the texts of the
// duration, counter, jump-to and movie-list labels, the click-to-position
// of the sliders and the geometry of the video picture (fit, zoom, move).
//
// Times: player positions and movie lengths in milliseconds, point times in
// whole seconds since the epoch (UTC), instants in milliseconds since the
// epoch.
#pragma once

#include "trackstore.h"

#include <QDateTime>
#include <QRect>
#include <QString>
#include <QStringList>

#include <optional>

namespace vx {

struct SettingsRecord;

// ---- playback rate -----------------------------------------------------------

struct RateEntry {
    const char *label;
    double rate;
};
constexpr int RATE_COUNT = 7;
constexpr int RATE_INDEX_NORMAL = 4;   // "1x"
constexpr int RATE_INDEX_SLOWEST = 2;  // the slower button stops at "x/4"
constexpr int RATE_INDEX_FASTEST = 6;  // the faster button stops at "5x"
// "x/16" 0.0625 ... "5x" 5.0; an index out of range gives the 1x entry.
RateEntry rateEntry(int index);
int fasterRateIndex(int index);
int slowerRateIndex(int index);

// ---- movie time ----------------------------------------------------------------

// Player positions beyond this are read as 0.
constexpr qint64 MAX_PLAYER_POSITION_MS = 2000000000;

// Frames per frame step: 30 below 26 fps, 20 from 26 to 30 fps, 40 above.
int frameStepFrames(float fps);
// trunc(1000 / fps) * frames, in ms. A frame rate that is not a positive
// number counts as the store's default 29.97.
qint64 frameStepMs(float fps);

// The movie's length: trunc(timeFactor * duration * 1000) ms when the
// duration is known (> 0), else the player's duration * timeFactor.
qint64 movieLengthMs(float duration, int timeFactor, qint64 playerDurationMs);

// The wall-clock instant of the movie's first frame, for the total time
// offset: modified - trunc(duration * timeFactor * 1000) ms when duration
// >= 0; with an unknown duration the player's duration * timeFactor while
// playing, and no start time otherwise.
std::optional<qint64> movieStartMs(qint64 modifiedMs, float duration, int timeFactor, qint64 playerDurationMs,
                                   bool playing);

// gpsTime[0] of the block - the start time in whole seconds + timeBias.
// A block without a first point time (no points, or no time) has no anchor:
// the offset is timeBias alone, so its points are matched by wall clock.
qint64 totalTimeOffsetSec(const MovieBlock &block, qint64 startMs, int timeBias);

// ---- the tick ------------------------------------------------------------------

// What the views are told about the current point, in store units.
struct CurrentSample {
    double latitude = 0;
    double longitude = 0;
    float speedKmh = 0;
    double bearing = 0;
    double altitudeM = 0;
    int sats = 0;
    double travelledKm = 0;  // from the first point of block 0
    double losKm = 0;
    bool hasAltitude = false;
    bool hasSats = false;
};

struct TickInput {
    qint64 positionMs = 0;       // the player's position
    bool fastTick = false;       // the 33 ms tick adds a frame's worth at the rate
    double rate = 1.0;
    qint64 modifiedMs = 0;       // the movie file's last-modified time
    float duration = -1;         // the block's duration, seconds
    int timeFactor = 1;
    qint64 playerDurationMs = 0;
    qint64 totalOffsetSec = 0;
};

struct TickTimes {
    qint64 positionMs = 0;  // p after the time factor and the fast-tick step
    qint64 lengthMs = 0;    // the movie's length (movieLengthMs)
    qint64 instantMs = 0;   // t: movie start + p + total offset
    qint64 instantSec = 0;  // T: t in whole seconds
};
TickTimes computeTickTimes(const TickInput &in);

// The first point of `blockIndex` whose time is at or after `instantSec`
// (points without a time never match), walking from point 0, and the
// travelled distance up to it (totalDist of every block below, active or
// not, plus segDist of points 0 .. i). Returns the point, or -1 when there
// is none; `sample` is written only when a point is found.
int lookUpPoint(const TrackStore &t, int blockIndex, qint64 instantSec, CurrentSample *sample);

// Whether any point of the block has a time: a block padded to its movie's
// length without any telemetry has points, but nothing to show.
bool blockHasTelemetry(const MovieBlock &block);

// The time the date label shows: t - total offset + clockBias seconds.
qint64 displayTimeMs(qint64 instantMs, qint64 totalOffsetSec, int clockBias);

// "%02d:%02d" of whole seconds; minutes are not wrapped at 60.
QString clockText(qint64 seconds);
// "mm:ss of mm:ss" of the position and the length.
QString durationLabelText(qint64 positionMs, qint64 lengthMs);
// "%.0f %s": speed in the user's unit and the unit's name.
QString speedLabelText(float speedKmh, const SettingsRecord &s);

// "%1 of %2 movies".
QString movieCounterText(int mBlock, int playCount);

// Where the player stands, as the tick sees it: what a geotag and a snapshot
// take their moment from (no fast-tick step).
struct PlaybackMoment {
    int block = 0;                // the movie in the player
    qint64 positionMs = 0;        // the player's position
    qint64 modifiedMs = 0;        // the movie file's last-modified time
    qint64 playerDurationMs = 0;
    qint64 totalOffsetSec = 0;    // the total time offset playback uses
};
struct MomentPoint {
    TickTimes times;
    int point = -1;               // -1: no point at or after the instant
    CurrentSample sample;         // valid when point >= 0
};
// The tick's input for that moment in movie `block` (no fast-tick step).
TickInput tickInputOf(const MovieBlock &block, const PlaybackMoment &m);
// The tick's own look-up at that moment: the same instant and the same point
// the views show.
MomentPoint lookUpMoment(const TrackStore &t, const PlaybackMoment &m);

// The moment of player position `positionMs` in block `block` reckoned from
// the block alone (its file's time, its duration, timeBias): how the
// playback would place it when the movie is selected. Nothing when the
// block is not loaded.
std::optional<PlaybackMoment> blockMoment(const TrackStore &t, int block, qint64 positionMs, int timeBias);

// ---- seeking -------------------------------------------------------------------

// The player position of block `m` at which the tick finds point `point`:
// the exact inverse of computeTickTimes and lookUpPoint for that movie, with
// its own start time and offset, timeBias and timeFactor (click-to-go on the
// map and the graphs, geotag jumps). The earliest such position, kept within
// the movie's length. Nothing when the point does not exist or has no time,
// or the movie has no start time (unknown duration and no player duration).
std::optional<qint64> pointSeekMs(const MovieBlock &m, int point, qint64 modifiedMs, int timeBias,
                                  qint64 playerDurationMs = 0);

// Where a movie after the first of the play order starts: "skip" * 1000 ms,
// or 0 when that is beyond the movie's duration (or negative).
qint64 skipTargetMs(float skipSec, float duration);
// The top-speed jump: one second before the point, 0 when the point is the
// block's first (or its time is unknown).
qint64 topSpeedJumpMs(const MovieBlock &block, int point);
// The value a click at `x` of a slider `width` pixels wide stands for:
// floor((max - min) * x / width + min + 0.5), kept within min .. max.
int sliderValueForClick(int minimum, int maximum, int x, int width);

// ---- texts of the jump-to box and the movie list ------------------------------------

// "Vmax (%d %s)" of trunc(peakSpeed * speed factor), 0 when negative.
QString vmaxEntryText(float peakSpeedKmh, const SettingsRecord &s);
// " [%02d:%02d]" of the whole minutes and seconds of `duration`.
QString lengthEntryText(float duration);
// " [ddd MMM d yyyy h:mm:ss AP]" (timeFormat 0) or " [ddd MMM d yyyy hh:mm:ss]"
// of the movie start plus clockBias; empty when duration <= 0.
QString dateEntryText(const QDateTime &modified, float duration, int clockBias, int timeFormat);
// The movie's entry: file name, date text, length text.
QString movieEntryText(const MovieBlock &block, const SettingsRecord &s);
// The whole box: the Vmax entry, then one entry per active block in block
// order. Reads the statistics as they are (recompute them first).
QStringList jumpToEntries(const TrackStore &t, const SettingsRecord &s);

// "1 Movie" or "n Movies".
QString movieCountText(int playCount);
// "%02d:%02d:%02d" of the summed duration of the active blocks (a movie of
// unknown duration adds nothing).
QString totalLengthText(const TrackStore &t);
// "%0.2f MB, %.0f fps, %dx%d": (size in bytes / 1024, truncated) / 1000.
QString fileInfoText(qint64 sizeBytes, float fps, int width, int height);
// Row texts: "%-3.0lf%s" of vmax in the user's unit, "%02d:%02d" of the
// whole duration (00:00 when unknown), "%.2f MB " of bytes / 1024000.
QString rowVmaxText(double vmaxKmh, const SettingsRecord &s);
QString rowDurationText(float duration);
QString rowSizeText(qint64 sizeBytes);

// ---- the video picture ---------------------------------------------------------------

// Fit: with keepAspect the picture is as high as the container and as wide as
// the movie's frame shape allows, centred; otherwise it fills the container.
// A frame size that is not known fills the container.
QRect fitVideoRect(const QSize &container, int frameWidth, int frameHeight, bool keepAspect);

enum class VideoMove { ZoomIn = 1, ZoomOut = 2, Up = 3, Down = 4, Left = 5, Right = 6 };
constexpr double ZOOM_STEP = 1.25;
constexpr int MOVE_STEP_PX = 20;
constexpr int MIN_ZOOM_WIDTH = 200;
// The picture `video` (in the coordinates of `container`) zoomed about the
// container's centre or moved by 20 pixels; nothing when it would become
// narrower than 200 pixels.
std::optional<QRect> zoomVideoRect(const QRect &container, const QRect &video, VideoMove move);

} // namespace vx
