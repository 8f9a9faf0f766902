// The Track store: reset values, play order, the time shift and the repair
// message table.
#include "settings/settings.h"
#include "track/trackstore.h"

#include <QtTest>

using namespace vx;

namespace {

struct RecordingPlaylist : PlaylistSink {
    QStringList items;
    int clears = 0;
    void clearPlaylist() override { items.clear(); ++clears; }
    void appendToPlaylist(const QString &path) override { items << path; }
};

struct RecordingObserver : TrackStoreObserver {
    int resets = 0;
    void trackStoreReset() override { ++resets; }
};

void fillBlock(int b, const QString &name, int n)
{
    MovieBlock &blk = track().block[b];
    blk.movieFile = QFileInfo(QStringLiteral("/movies/") + name);
    for (int i = 0; i < n; ++i) {
        blk.gpsTime[i] = 1500000000u + i;
        blk.lat[i] = 10 + i;
    }
    blk.numPoints = n;
}

} // namespace

class TestTrackStore : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        setDefaultSettings();
        setPlaylistSink(nullptr);
        setTrackStoreObserver(nullptr);
        resetTrackStore();
    }

    void resetGivesEmptyStoreWithSensibleScales()
    {
        fillBlock(0, QStringLiteral("a.mov"), 5);
        TrackStore &t = track();
        t.numBlocks = 1;
        t.block[0].active = false;
        t.block[0].repairCode = 3;
        t.block[0].vmax = 50;
        t.block[0].duration = 12;
        t.block[0].hasSats = true;
        t.relativeAltitude = true;
        t.Block = 4;
        t.playCount = 1;

        RecordingPlaylist playlist;
        playlist.items << QStringLiteral("x");
        RecordingObserver observer;
        setPlaylistSink(&playlist);
        setTrackStoreObserver(&observer);
        resetTrackStore();

        QCOMPARE(t.numBlocks, 0);
        QCOMPARE(t.playCount, 0);
        QCOMPARE(t.Block, 0);
        QVERIFY(!t.relativeAltitude);
        for (const MovieBlock &b : t.block) {
            QVERIFY(b.movieFile.filePath().isEmpty());
            QVERIFY(b.active);
            QCOMPARE(b.repairCode, 0);
            QCOMPARE(b.numPoints, 0);
            QCOMPARE(b.timeFactor, 1);
            QCOMPARE(b.duration, -1.0f);
            QCOMPARE(b.fps, 29.97f);
            QCOMPARE(b.vmax, -1000.0);
            QCOMPARE(b.totalDist, 0.0);
            QVERIFY(!b.hasAltitude && !b.hasSats);
            QCOMPARE(b.width, 0);
            QCOMPARE(b.height, 0);
        }
        QCOMPARE(t.stats.maxSats, 30);
        QCOMPARE(t.stats.minSats, 0);
        QCOMPARE(t.stats.peakSpeed, -10000.0f);
        // 100 in the user's speed unit (mph by default)
        QVERIFY(qAbs(t.stats.maxSpeed * settings().speedFactor - 100.0) < 1e-4);
        QVERIFY(qAbs(t.stats.routeLength * settings().distFactor - 10.0) < 1e-9);
        QVERIFY(qAbs(t.stats.maxAltitude * settings().altFactor - 100.0) < 1e-9);
        QCOMPARE(observer.resets, 1);
        QVERIFY(playlist.items.isEmpty());
        QVERIFY(!anyBlockHasPoints(false));
    }

    void resetScalesFollowTheUnits()
    {
        settings().outUnits = 2;
        settings().altUnits = 1;
        recomputeFactors();
        resetTrackStore();
        QCOMPARE(double(track().stats.maxSpeed), double(float(100.0 / 0.27777777777778)));
        QCOMPARE(track().stats.maxLos, 10.0 / 1000.0);
        QCOMPARE(track().stats.maxAltitude, 100.0);
    }

    void playOrderFollowsActiveFlags()
    {
        RecordingPlaylist playlist;
        setPlaylistSink(&playlist);
        TrackStore &t = track();
        for (int b = 0; b < 4; ++b)
            fillBlock(b, QStringLiteral("m%1.mov").arg(b), 3);
        t.numBlocks = 4;
        t.block[1].active = false;
        rebuildPlayOrder();
        QCOMPARE(t.playCount, 3);
        QCOMPARE(t.playOrder[0], 0);
        QCOMPARE(t.playOrder[1], 2);
        QCOMPARE(t.playOrder[2], 3);
        QCOMPARE(playlist.items, (QStringList{"/movies/m0.mov", "/movies/m2.mov", "/movies/m3.mov"}));
        QCOMPARE(playPositionOf(2), 1);
        QCOMPARE(playPositionOf(1), -1);
        QVERIFY(anyBlockHasPoints());

        for (int b = 0; b < 4; ++b)
            t.block[b].active = false;
        rebuildPlayOrder();
        QCOMPARE(t.playCount, 0);
        QVERIFY(playlist.items.isEmpty());
        QVERIFY(!anyBlockHasPoints());
        QVERIFY(anyBlockHasPoints(false));
    }

    void tinyShiftChangesNothing()
    {
        fillBlock(0, QStringLiteral("a.mov"), 3);
        track().numBlocks = 1;
        shiftPointTimes(0.00000005);
        QCOMPARE(track().block[0].gpsTime[0], 1500000000u);
    }

    void shiftMovesKnownTimesOnly()
    {
        fillBlock(0, QStringLiteral("a.mov"), 3);
        fillBlock(1, QStringLiteral("b.mov"), 2);
        fillBlock(2, QStringLiteral("c.mov"), 2);  // beyond numBlocks: untouched
        TrackStore &t = track();
        t.numBlocks = 2;
        t.block[0].gpsTime[1] = NO_TIME;
        shiftPointTimes(-8);
        QCOMPARE(t.block[0].gpsTime[0], 1500000000u + 28800u);
        QCOMPARE(t.block[0].gpsTime[1], NO_TIME);
        QCOMPARE(t.block[0].gpsTime[2], 1500000002u + 28800u);
        QCOMPARE(t.block[1].gpsTime[1], 1500000001u + 28800u);
        QCOMPARE(t.block[2].gpsTime[0], 1500000000u);
        // fractions of a second are truncated toward zero
        shiftPointTimes(1.0 / 3600.0 * 2.9);
        QCOMPARE(t.block[0].gpsTime[0], 1500000000u + 28800u - 2u);
        shiftPointTimes(-1.0 / 3600.0 * 2.9);
        QCOMPARE(t.block[0].gpsTime[0], 1500000000u + 28800u);
    }

    void repairMessages()
    {
        QCOMPARE(repairMessage(0), QStringLiteral("No Error."));
        QCOMPARE(repairMessage(4), QStringLiteral("Found fewer GPS points than expected for this movie. Attempting workaround."));
        QCOMPARE(repairMessage(5), QStringLiteral("Some GPS data points out of chronological order. Applying a fix."));
        QCOMPARE(repairMessage(6), QString());
        QCOMPARE(repairMessage(-1), QString());
    }

    void capacities()
    {
        QCOMPARE(MAX_BLOCKS, 100);
        QCOMPARE(MAX_POINTS, 4000);
        QCOMPARE(int(sizeof(track().block) / sizeof(track().block[0])), 100);
        QCOMPARE(int(sizeof(track().block[0].gpsTime) / sizeof(uint32_t)), 4000);
    }
};

QTEST_GUILESS_MAIN(TestTrackStore)
#include "test_trackstore.moc"
