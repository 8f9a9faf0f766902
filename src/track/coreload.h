// The core of every load, without any window: the windows and the batch
// converter call loadMovies and add their own steps around it (the window
// shows the video, fills the movie list, rebuilds the jump-to list ...).
//
//   1. the load folder's absolute path is stored as "movieDirectory";
//   2. the Track store is emptied;
//   3. block i gets movie i, for the first min(100, n) movies;
//   4. the movies are probed for duration, frame size and frame rate;
//   5. the telemetry of every movie is read (telemetrysource.h);
//   6. with "Ignore GPS data" set, the blocks get their movies again;
//   7. the tracks are repaired and the statistics computed.
//
// The event loop keeps turning during the probe, the subtitle extraction
// and between movies, so a second request can arrive while a load runs: it
// is refused and the store is left whole.
#pragma once

#include "loadobserver.h"

#include <QFileInfo>
#include <QList>
#include <QString>

namespace vx {

enum class LoadStatus {
    Loaded,
    Busy,           // a load, a media-tool run or an export is under way; nothing changed
    NothingToLoad,  // the list was empty; nothing changed
};

// `observer` may be null.
LoadStatus loadMovies(const QList<QFileInfo> &movies, const QString &loadFolder, LoadObserver *observer);

// True while a load runs.
bool loadInProgress();

} // namespace vx
