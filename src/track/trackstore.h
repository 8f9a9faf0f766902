// The Track store: the one in-memory home of every loaded movie and its
// telemetry. One fixed-size MovieBlock per movie (at most MAX_BLOCKS), each
// with up to MAX_POINTS points kept as parallel arrays (structure of arrays).
// The whole store is allocated once for the life of the process; loading
// never allocates per point, and every lookup is a direct index.
//
// Units inside the store are fixed: degrees, km, km/h, metres and UTC
// seconds. Conversion to the user's units happens only at display and export
// time (see settings.h).
//
// Only the GUI thread (or the batch converter's main thread) touches it, but
// for an export written from the window: its threads read the points while
// the GUI thread holds the store (TrackStoreHold below).
#pragma once

#include <QFileInfo>
#include <QString>
#include <cstdint>

namespace vx {

constexpr int MAX_BLOCKS = 100;
constexpr int MAX_POINTS = 4000;

// gpsTime value of a point without a usable time; skipped by every time shift.
constexpr uint32_t NO_TIME = 0xFFFFFFFFu;

struct MovieBlock {
    bool active = true;        // enabled: in the playlist, shown, exported
    int32_t repairCode = 0;    // last repair applied, index into repairMessage()
    QFileInfo movieFile;       // empty path marks a free block
    QFileInfo telemetryFile;   // the telemetry file actually read

    uint32_t gpsTime[MAX_POINTS];  // seconds since 1970-01-01 UTC, NO_TIME = unknown
    double lat[MAX_POINTS];        // degrees, north positive
    double lon[MAX_POINTS];        // degrees, east positive
    float speed[MAX_POINTS];       // km/h
    double segDist[MAX_POINTS];    // km from the previous point
    double los[MAX_POINTS];        // km from the home point (first point of block 0)
    double cumDist[MAX_POINTS];    // km, running sum of segDist within the block
    double bearing[MAX_POINTS];    // degrees, -180 .. 180
    double altitude[MAX_POINTS];   // metres, meaningful only with hasAltitude
    int32_t sats[MAX_POINTS];      // satellites, meaningful only with hasSats

    int32_t numPoints = 0;     // valid points, 0 .. MAX_POINTS
    int32_t timeFactor = 1;    // multiplier on player positions (ms)
    double totalDist = 0;      // km
    double vmax = -1000;       // km/h
    float duration = -1;       // seconds, -1 = unknown
    float fps = 29.97f;
    int32_t height = 0;        // pixels, 0 = unknown
    int32_t width = 0;
    bool hasAltitude = false;
    bool hasSats = false;

    // Writes point `to` from point `from` for every per-point array.
    void copyPoint(int to, int from);
};

// Summary over the active blocks, recomputed after loading and after every
// change of an `active` flag (see computeTrackStats in repair.h).
struct TrackStats {
    float minSpeed = 0;        // km/h
    float maxSpeed = 0;        // km/h
    int topSpeedBlock = 0;
    int topSpeedPoint = 0;
    double routeLength = 0;    // km
    double minLos = 0;         // km
    double maxLos = 0;         // km
    double minAltitude = 0;    // m
    double maxAltitude = 0;    // m
    int minSats = 0;
    int maxSats = 0;
    float peakSpeed = -10000;  // km/h
};

// What the store needs from the media player without depending on it: the
// player's playlist mirrors playOrder. The GUI installs one; without it the
// play order is still kept, only no player is told.
class PlaylistSink {
public:
    virtual ~PlaylistSink() = default;
    virtual void clearPlaylist() = 0;
    virtual void appendToPlaylist(const QString &absolutePath) = 0;
};

// Told when the store is emptied, so the windows can reset their graphs and
// the dashboard (the core itself has no windows).
class TrackStoreObserver {
public:
    virtual ~TrackStoreObserver() = default;
    virtual void trackStoreReset() = 0;
};

struct TrackStore {
    MovieBlock block[MAX_BLOCKS];
    int numBlocks = 0;
    int playOrder[MAX_BLOCKS] = {};  // play position -> block index
    int playCount = 0;
    int Block = 0;                   // current block (the movie in the player)
    int mBlock = 0;                  // current play position (index into playOrder)
    TrackStats stats;
    // Telemetry of the load came from a sidecar subtitle or flight-log file:
    // heights are above take-off; switches on speed smoothing and the KML
    // relative altitude mode.
    bool relativeAltitude = false;
};

// The process-wide store, allocated once (about 30 MB) on first use.
TrackStore &track();

// Texts for repairCode 0..5; an empty string for any other code.
QString repairMessage(int code);
constexpr int REPAIR_MESSAGE_COUNT = 6;

void setPlaylistSink(PlaylistSink *sink);
PlaylistSink *playlistSink();
void setTrackStoreObserver(TrackStoreObserver *observer);

// Empties the store before a load: every block to its reset values, the
// relative-altitude flag cleared, the statistics to their empty-scale values
// in the user's units, counters to zero, then the observer and playlist told.
void resetTrackStore();

// playOrder/playCount and the player's playlist from the `active` flags.
void rebuildPlayOrder();

// Every known point time of the used blocks moves back by trunc(hours*3600) s;
// nothing happens when |hours| < 1e-7.
void shiftPointTimes(double hours);

// Play position of block b in playOrder, or -1 when b is not active.
int playPositionOf(int b);

// Whether any used block (only the active ones when activeOnly) holds points.
bool anyBlockHasPoints(bool activeOnly = true);

// While another thread reads the store (an export being written from the
// window), the GUI thread holds it: loads refuse to start, and the windows
// change nothing in it (their storeBusy checks see trackStoreHeld()).
// Taken and released on the GUI thread only.
class TrackStoreHold {
public:
    TrackStoreHold();
    ~TrackStoreHold();
    TrackStoreHold(const TrackStoreHold &) = delete;
    TrackStoreHold &operator=(const TrackStoreHold &) = delete;
};
bool trackStoreHeld();

} // namespace vx
