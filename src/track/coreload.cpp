#include "coreload.h"

#include "mediatool.h"
#include "movieprobe.h"
#include "repair.h"
#include "settings/settings.h"
#include "telemetrysource.h"
#include "trackstore.h"

#include <QDir>
#include <QSettings>

#include <algorithm>

namespace vx {

namespace {

bool g_loading = false;

class LoadingFlag {
public:
    LoadingFlag() { g_loading = true; }
    ~LoadingFlag() { g_loading = false; }
    LoadingFlag(const LoadingFlag &) = delete;
    LoadingFlag &operator=(const LoadingFlag &) = delete;
};

} // namespace

bool loadInProgress() { return g_loading; }

LoadStatus loadMovies(const QList<QFileInfo> &movies, const QString &loadFolder, LoadObserver *observer)
{
    if (g_loading || mediaToolBusy() || trackStoreHeld())
        return LoadStatus::Busy;
    if (movies.isEmpty())
        return LoadStatus::NothingToLoad;
    const LoadingFlag loading;
    LoadObserver silent;
    if (!observer)
        observer = &silent;

    {
        QSettings store(QString::fromLatin1(keys::ORGANIZATION), QString::fromLatin1(keys::APPLICATION));
        store.setValue(QString::fromLatin1(keys::MOVIE_DIRECTORY), QDir(loadFolder).absolutePath());
    }
    resetTrackStore();
    TrackStore &t = track();
    const int n = std::min(static_cast<int>(movies.size()), MAX_BLOCKS);
    for (int i = 0; i < n; ++i)
        t.block[i].movieFile = movies[i];
    t.numBlocks = n;
    probeMovies(observer->parentWindow());
    t.numBlocks = 0;
    loadTelemetry(movies, loadFolder, observer);
    if (settings().ignoreGps) {
        for (int i = 0; i < n; ++i)
            t.block[i].movieFile = movies[i];
        t.numBlocks = n;
    }
    repairTrack();
    computeTrackStats();
    return LoadStatus::Loaded;
}

} // namespace vx
