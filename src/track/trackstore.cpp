#include "trackstore.h"

#include "settings/settings.h"

#include <QUrl>
#include <cmath>
#include <memory>

namespace vx {

namespace {

PlaylistSink *g_playlist = nullptr;
TrackStoreObserver *g_observer = nullptr;
int g_holds = 0;

const char *const kRepairMessages[REPAIR_MESSAGE_COUNT] = {
    "No Error.",
    "Bad GPS position detected. At least one point has lat/lon of 0,0 deg.",
    "Bad GPS time value detected in at least one point. Applying a fix.",
    "At least one point has a speed value out of range. Applying a fix.",
    "Found fewer GPS points than expected for this movie. Attempting workaround.",
    "Some GPS data points out of chronological order. Applying a fix.",
};

} // namespace

TrackStore &track()
{
    // Allocated once and never freed: the store lives for the whole run.
    static TrackStore *store = new TrackStore;
    return *store;
}

void MovieBlock::copyPoint(int to, int from)
{
    gpsTime[to] = gpsTime[from];
    lat[to] = lat[from];
    lon[to] = lon[from];
    speed[to] = speed[from];
    segDist[to] = segDist[from];
    los[to] = los[from];
    cumDist[to] = cumDist[from];
    bearing[to] = bearing[from];
    altitude[to] = altitude[from];
    sats[to] = sats[from];
}

QString repairMessage(int code)
{
    if (code < 0 || code >= REPAIR_MESSAGE_COUNT)
        return QString();
    return QString::fromLatin1(kRepairMessages[code]);
}

void setPlaylistSink(PlaylistSink *sink) { g_playlist = sink; }

TrackStoreHold::TrackStoreHold() { ++g_holds; }
TrackStoreHold::~TrackStoreHold() { --g_holds; }
bool trackStoreHeld() { return g_holds > 0; }
PlaylistSink *playlistSink() { return g_playlist; }
void setTrackStoreObserver(TrackStoreObserver *observer) { g_observer = observer; }

void resetTrackStore()
{
    TrackStore &t = track();
    for (MovieBlock &b : t.block) {
        b.movieFile = QFileInfo();
        b.telemetryFile = QFileInfo();
        b.active = true;
        b.repairCode = 0;
        b.numPoints = 0;
        b.timeFactor = 1;
        b.duration = -1;
        b.fps = 29.97f;
        b.totalDist = 0;
        b.vmax = -1000;
        b.hasAltitude = false;
        b.hasSats = false;
        b.width = 0;
        b.height = 0;
    }
    t.relativeAltitude = false;

    const SettingsRecord &s = settings();
    TrackStats &st = t.stats;
    st.minSpeed = 0;
    st.maxSpeed = static_cast<float>(100.0 / s.speedFactor);
    st.topSpeedBlock = 0;
    st.topSpeedPoint = 0;
    st.routeLength = 10.0 / s.distFactor;
    st.minLos = 0;
    st.maxLos = 10.0 / s.distFactor;
    st.minAltitude = 0;
    st.maxAltitude = 100.0 / s.altFactor;
    st.minSats = 0;
    st.maxSats = 30;
    st.peakSpeed = -10000;

    t.numBlocks = 0;
    t.playCount = 0;
    t.Block = 0;
    t.mBlock = 0;

    if (g_observer)
        g_observer->trackStoreReset();
    if (g_playlist)
        g_playlist->clearPlaylist();
}

void rebuildPlayOrder()
{
    TrackStore &t = track();
    if (g_playlist)
        g_playlist->clearPlaylist();
    int n = 0;
    for (int b = 0; b < t.numBlocks && b < MAX_BLOCKS; ++b) {
        if (!t.block[b].active)
            continue;
        t.playOrder[n++] = b;
        if (g_playlist)
            g_playlist->appendToPlaylist(t.block[b].movieFile.absoluteFilePath());
    }
    t.playCount = n;
}

void shiftPointTimes(double hours)
{
    if (std::fabs(hours) < 1e-7)
        return;
    const auto shift = static_cast<int64_t>(std::trunc(hours * 3600.0));
    TrackStore &t = track();
    for (int b = 0; b < t.numBlocks && b < MAX_BLOCKS; ++b) {
        MovieBlock &blk = t.block[b];
        for (int i = 0; i < blk.numPoints && i < MAX_POINTS; ++i) {
            if (blk.gpsTime[i] != NO_TIME)
                blk.gpsTime[i] = static_cast<uint32_t>(static_cast<int64_t>(blk.gpsTime[i]) - shift);
        }
    }
}

int playPositionOf(int b)
{
    const TrackStore &t = track();
    for (int k = 0; k < t.playCount; ++k) {
        if (t.playOrder[k] == b)
            return k;
    }
    return -1;
}

bool anyBlockHasPoints(bool activeOnly)
{
    const TrackStore &t = track();
    for (int b = 0; b < t.numBlocks && b < MAX_BLOCKS; ++b) {
        if ((!activeOnly || t.block[b].active) && t.block[b].numPoints > 0)
            return true;
    }
    return false;
}

} // namespace vx
