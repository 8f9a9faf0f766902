// The Track store: reset values, play order, the time shift and the repair message table.
#include "settings/settings.h"
#include "support/testsupport.h"
#include "track/trackstore.h"

#include <QtTest>

using namespace vx;

namespace {

struct Recorder : PlaylistSink, TrackStoreObserver {
    QStringList items;
    int resets = 0;
    void clearPlaylist() override { items.clear(); }
    void appendToPlaylist(const QString &path) override { items << path; }
    void trackStoreReset() override { ++resets; }
};

void fillBlock(int b, int n) {
    MovieBlock &blk = track().block[b];
    blk.movieFile = QFileInfo(QStringLiteral("/movies/m%1.mov").arg(b));
    for (int i = 0; i < n; ++i)
        blk.gpsTime[i] = 1500000000u + i;
    blk.numPoints = n;
}

} // namespace

class TestTrackStore : public QObject {
    Q_OBJECT

private slots:
    void init() {
        setDefaultSettings();
        setPlaylistSink(nullptr);
        setTrackStoreObserver(nullptr);
        resetTrackStore();
    }
    void resetGivesEmptyStoreWithSensibleScales() {
        TrackStore &t = track();
        fillBlock(0, 5);
        t.numBlocks = t.playCount = 1;
        t.Block = 4;
        t.relativeAltitude = true;
        MovieBlock &b = t.block[MAX_BLOCKS - 1];
        b.movieFile = QFileInfo("/m/x.mov");
        b.active = b.hasAltitude = b.hasSats = false;
        b.repairCode = b.numPoints = b.width = b.height = b.timeFactor = 3;
        b.vmax = b.totalDist = b.duration = b.fps = 50;
        Recorder recorder;
        recorder.items << "x";
        setPlaylistSink(&recorder);
        setTrackStoreObserver(&recorder);
        resetTrackStore();
        QCOMPARE(QString("%1 %2 %3 %4").arg(t.numBlocks).arg(t.playCount).arg(t.Block).arg(t.relativeAltitude), "0 0 0 0");
        for (const MovieBlock &m : {t.block[0], t.block[MAX_BLOCKS - 1]}) {
            QVERIFY(m.movieFile.filePath().isEmpty() && m.active && !m.hasAltitude && !m.hasSats);
            QCOMPARE(QString("%1 %2 %3 %4 %5 %6 %7 %8 %9").arg(m.repairCode).arg(m.numPoints).arg(m.timeFactor)
                         .arg(m.duration).arg(m.fps).arg(m.vmax).arg(m.totalDist).arg(m.width).arg(m.height),
                     "0 0 1 -1 29.97 -1000 0 0 0");
        }
        QCOMPARE(QString("%1 %2 %3").arg(t.stats.maxSats).arg(t.stats.minSats).arg(t.stats.peakSpeed), "30 0 -10000");
        // 100 in the user's speed unit (mph by default), 10 miles, 100 feet.
        QVERIFY(qAbs(t.stats.maxSpeed * settings().speedFactor - 100.0) < 1e-4
                && qAbs(t.stats.routeLength * settings().distFactor - 10.0) < 1e-9
                && qAbs(t.stats.maxAltitude * settings().altFactor - 100.0) < 1e-9);
        QVERIFY(recorder.resets == 1 && recorder.items.isEmpty() && !anyBlockHasPoints(false));
        settings().outUnits = 2;
        settings().altUnits = 1;
        recomputeFactors();
        resetTrackStore();
        QCOMPARE(double(t.stats.maxSpeed), double(float(100.0 / 0.27777777777778)));
        QVERIFY(t.stats.maxLos == 10.0 / 1000.0 && t.stats.maxAltitude == 100.0);
    }
    void playOrderFollowsActiveFlags() {
        Recorder playlist;
        setPlaylistSink(&playlist);
        TrackStore &t = track();
        for (int b = 0; b < 4; ++b)
            fillBlock(b, 3);
        t.numBlocks = 4;
        t.block[1].active = false;
        rebuildPlayOrder();
        QCOMPARE(QString("%1: %2 %3 %4, %5 %6 | ").arg(t.playCount).arg(t.playOrder[0]).arg(t.playOrder[1])
                     .arg(t.playOrder[2]).arg(playPositionOf(2)).arg(playPositionOf(1)) + playlist.items.join(' '),
                 "3: 0 2 3, 1 -1 | /movies/m0.mov /movies/m2.mov /movies/m3.mov");
        QVERIFY(anyBlockHasPoints());
        for (int b = 0; b < 4; ++b)
            t.block[b].active = false;
        rebuildPlayOrder();
        QVERIFY(t.playCount == 0 && playlist.items.isEmpty() && !anyBlockHasPoints() && anyBlockHasPoints(false));
    }
    void shiftMovesKnownTimesOnly() {
        fillBlock(0, 3);
        fillBlock(1, 2);
        fillBlock(2, 2);  // beyond numBlocks: untouched
        TrackStore &t = track();
        t.numBlocks = 2;
        t.block[0].gpsTime[1] = NO_TIME;
        shiftPointTimes(0.00000005);  // a tiny shift changes nothing
        QCOMPARE(t.block[0].gpsTime[0], 1500000000u);
        shiftPointTimes(-8);
        QCOMPARE(vxtest::column(t.block[0], 't') + " | " + vxtest::column(t.block[1], 't') + " | "
                     + vxtest::column(t.block[2], 't'),
                 "1500028800 none 1500028802 | 1500028800 1500028801 | 1500000000 1500000001");
        shiftPointTimes(1.0 / 3600.0 * 2.9);  // fractions of a second truncated toward zero
        const uint32_t forward = t.block[0].gpsTime[0];
        shiftPointTimes(-1.0 / 3600.0 * 2.9);
        QVERIFY(forward == 1500028798u && t.block[0].gpsTime[0] == 1500028800u);
    }
    void repairMessages() {
        QCOMPARE((QStringList{repairMessage(0), repairMessage(4), repairMessage(5), repairMessage(6), repairMessage(-1)}),
                 (QStringList{"No Error.", "Found fewer GPS points than expected for this movie. Attempting workaround.",
                              "Some GPS data points out of chronological order. Applying a fix.", "", ""}));
    }
};

QTEST_GUILESS_MAIN(TestTrackStore)
#include "test_trackstore.moc"
