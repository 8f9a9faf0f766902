// The repair pass and the statistics: every documented case, the choices
// made where the behaviour was open, and the measures across movies.
#include "settings/settings.h"
#include "track/geo.h"
#include "track/repair.h"
#include "track/trackstore.h"

#include <QtTest>

using namespace vx;

namespace {

struct P {
    uint32_t t;
    double lat;
    double lon;
    float speed = 10;
    double alt = 100;
    int sats = 9;
};

void setBlock(int b, const QList<P> &points, float duration = -1)
{
    MovieBlock &blk = track().block[b];
    blk.movieFile = QFileInfo(QStringLiteral("/movies/m%1.mov").arg(b));
    for (int i = 0; i < points.size(); ++i) {
        blk.gpsTime[i] = points[i].t;
        blk.lat[i] = points[i].lat;
        blk.lon[i] = points[i].lon;
        blk.speed[i] = points[i].speed;
        blk.altitude[i] = points[i].alt;
        blk.sats[i] = points[i].sats;
    }
    blk.numPoints = points.size();
    blk.duration = duration;
    blk.hasAltitude = blk.hasSats = true;
    track().numBlocks = std::max(track().numBlocks, b + 1);
}

const uint32_t T = 1500000000u;

} // namespace

class TestRepair : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        setDefaultSettings();
        resetTrackStore();
        lastBearing = 0;
    }

    void timesRunningBackwards()
    {
        setBlock(0, {{T + 100, 1.0, 1.0, 10, 100, 9}, {T + 101, 1.1, 1.1, 20, 200, 8}, {T + 99, 5, 5, 99, 999, 2},
                     {T + 103, 1.3, 1.3, 30, 300, 7}});
        repairTrack();
        const MovieBlock &b = track().block[0];
        QCOMPARE(b.gpsTime[2], T + 102);
        QCOMPARE(b.lat[2], 1.1);
        QCOMPARE(b.lon[2], 1.1);
        QCOMPARE(b.speed[2], 20.0f);
        QCOMPARE(b.altitude[2], 200.0);
        QCOMPARE(b.sats[2], 8);
        QCOMPARE(b.gpsTime[3], T + 103);
        QCOMPARE(b.repairCode, 5);
    }

    void forwardJumpIsPulledBackSilently()
    {
        setBlock(0, {{T, 1, 1}, {T + 400, 1, 1}, {T + 401, 1, 1}});
        repairTrack();
        const MovieBlock &b = track().block[0];
        QCOMPARE(b.gpsTime[1], T + 1);
        QCOMPARE(b.gpsTime[2], T + 2);  // now also more than 300 s after the reference
        QCOMPARE(b.repairCode, 0);
    }

    void unknownTimesAreOutOfOrder()
    {
        // Leading points without a time count up from the carried reference
        // (0 before block 0), then the bad-time repair dates them back from
        // the first valid point. Point 0 has no predecessor and keeps its values.
        setBlock(0, {{NO_TIME, 7, 7, 5}, {NO_TIME, 8, 8, 6}, {T, 1, 1, 10}, {NO_TIME, 9, 9, 50}, {T + 2, 2, 2, 20}});
        repairTrack();
        const MovieBlock &b = track().block[0];
        QCOMPARE(b.gpsTime[0], T - 2);
        QCOMPARE(b.gpsTime[1], T - 1);
        QCOMPARE(b.lat[0], 1.0);  // from the first valid point, by the bad-time repair
        QCOMPARE(b.speed[1], 10.0f);
        QCOMPARE(b.gpsTime[3], T + 1);
        QCOMPARE(b.lat[3], 1.0);  // copied from point 2
        QCOMPARE(b.repairCode, 2);
    }

    void timesBefore2010()
    {
        setBlock(0, {{1262303998u, 1, 1, 11}, {1262303999u, 2, 2, 12}, {1262304000u, 3, 3, 13}, {1262304001u, 4, 4, 14}});
        repairTrack();
        const MovieBlock &b = track().block[0];
        QCOMPARE(b.gpsTime[0], 1262303998u);
        QCOMPARE(b.gpsTime[1], 1262303999u);
        for (int i : {0, 1}) {
            QCOMPARE(b.lat[i], 3.0);
            QCOMPARE(b.lon[i], 3.0);
            QCOMPARE(b.speed[i], 13.0f);
        }
        QCOMPARE(b.lat[3], 4.0);
        QCOMPARE(b.repairCode, 2);
        QVERIFY(inValidTimeWindow(2000000000u));
        QVERIFY(!inValidTimeWindow(2000000001u));
        QVERIFY(!inValidTimeWindow(NO_TIME));
    }

    void trackWithoutDatesKeepsItsPositions()
    {
        // Subtitle telemetry without dates: times are small offsets, none
        // valid. The block is left as it is rather than collapsed onto its
        // last position.
        setBlock(0, {{1, 10, 10, 5}, {2, 11, 11, 6}, {3, 12, 12, 7}});
        repairTrack();
        const MovieBlock &b = track().block[0];
        QCOMPARE(b.gpsTime[0], 1u);
        QCOMPARE(b.lat[0], 10.0);
        QCOMPARE(b.lat[1], 11.0);
        QCOMPARE(b.repairCode, 0);
    }

    void zeroPositions()
    {
        setBlock(0, {{T, 0, 0}, {T + 1, 40, 8}, {T + 2, 0, 0}, {T + 3, 41, 9}, {T + 4, 0, 5}});
        repairTrack();
        const MovieBlock &b = track().block[0];
        QCOMPARE(b.lat[2], 40.0);  // the good position before it
        QCOMPARE(b.lon[2], 8.0);
        QCOMPARE(b.lat[0], 40.0);  // before any good one: the first good position
        QCOMPARE(b.lon[0], 8.0);
        QCOMPARE(b.lat[4], 0.0);   // only one coordinate near zero: left alone
        QCOMPARE(b.lon[4], 5.0);
        QCOMPARE(b.repairCode, 1);
        QCOMPARE(b.los[0], 0.0);   // home is the repaired first point
    }

    void speedsOutOfRange()
    {
        setBlock(0, {{T, 1, 1, -3}, {T + 1, 1, 1, 40}, {T + 2, 1, 1, 612}, {T + 3, 1, 1, 500}});
        repairTrack();
        const MovieBlock &b = track().block[0];
        QCOMPARE(b.speed[0], 0.0f);
        QCOMPARE(b.speed[2], 40.0f);
        QCOMPARE(b.speed[3], 500.0f);
        QCOMPARE(b.repairCode, 3);
        QCOMPARE(b.vmax, 500.0);
    }

    void shortTrackIsPadded()
    {
        QList<P> points;
        for (int i = 0; i < 27; ++i)
            points.append({T + 10 + i, 45.0 + i * 1e-3, 7.0, float(i), 100.0 + i, 5});
        setBlock(0, points, 30.4f);
        repairTrack();
        const MovieBlock &b = track().block[0];
        QCOMPARE(b.numPoints, 30);
        QCOMPARE(b.repairCode, 4);
        for (int j = 0; j < 3; ++j) {
            QCOMPARE(b.gpsTime[j], T + 10 - 3 + j);
            QCOMPARE(b.lat[j], 45.0);
            QCOMPARE(b.speed[j], 0.0f);
            QCOMPARE(b.altitude[j], 100.0);
            QCOMPARE(b.segDist[j], 0.0);
            QCOMPARE(b.los[j], 0.0);
            QCOMPARE(b.cumDist[j], 0.0);
        }
        QCOMPARE(b.gpsTime[3], T + 10);
        QCOMPARE(b.lat[29], 45.0 + 26 * 1e-3);
        QVERIFY(b.los[29] > 2.8 && b.los[29] < 2.95);  // moved with its point
        QCOMPARE(b.cumDist[29], b.totalDist);

        // Unknown duration: nothing; never beyond 4000 points.
        init();
        setBlock(0, points, -1);
        QList<P> many;
        for (int i = 0; i < 3990; ++i)
            many.append({T + i, 1, 1});
        setBlock(1, many, 5000.0f);
        repairTrack();
        QCOMPARE(track().block[0].numPoints, 27);
        QCOMPARE(track().block[1].numPoints, MAX_POINTS);
        QCOMPARE(track().block[1].gpsTime[0], T - 10);
    }

    void emptyBlockIsPaddedWithUnknownPoints()
    {
        setBlock(0, {}, 3.9f);
        repairTrack();
        const MovieBlock &b = track().block[0];
        QCOMPARE(b.numPoints, 3);
        QCOMPARE(b.repairCode, 4);
        for (int j = 0; j < 3; ++j) {
            QCOMPARE(b.gpsTime[j], NO_TIME);
            QCOMPARE(b.lat[j], 0.0);
            QCOMPARE(b.cumDist[j], 0.0);
        }
        QCOMPARE(b.totalDist, 0.0);
        QCOMPARE(b.vmax, 0.0);
    }

    void twoMoviesAreOneFlight()
    {
        setBlock(0, {{T, 47.0, 8.0}, {T + 1, 47.001, 8.0}, {T + 2, 47.002, 8.0}});
        setBlock(1, {{T + 100, 47.003, 8.001}, {T + 101, 47.004, 8.002}});
        setBlock(2, {});
        repairTrack();
        const MovieBlock &a = track().block[0];
        const MovieBlock &b = track().block[1];
        QCOMPARE(b.segDist[0], greatCircleStep(47.002, 8.0, 47.003, 8.001).distKm);
        QCOMPARE(b.los[0], greatCircleStep(47.0, 8.0, 47.003, 8.001).distKm);
        QCOMPARE(b.los[1], greatCircleStep(47.0, 8.0, 47.004, 8.002).distKm);
        QCOMPARE(a.segDist[0], 0.0);
        QCOMPARE(a.los[0], 0.0);
        QCOMPARE(a.bearing[0], 0.0);
        QVERIFY(qAbs(a.bearing[1]) < 1e-9);  // due north
        QCOMPARE(b.cumDist[1], b.segDist[0] + b.segDist[1]);
        QCOMPARE(b.totalDist, b.cumDist[1]);
        QCOMPARE(track().block[2].totalDist, 0.0);
        QCOMPARE(track().block[2].vmax, 0.0);
        QCOMPARE(track().playCount, 3);
        QCOMPARE(track().playOrder[2], 2);
    }

    void bearingOfAStandingPoint()
    {
        // A point that does not move takes the course from home computed
        // just before; one that shares its predecessor's time likewise.
        setBlock(0, {{T, 10.0, 10.0}, {T + 1, 10.0, 10.1}, {T + 2, 10.0, 10.1}, {T + 2, 10.1, 10.1}});
        repairTrack();
        const MovieBlock &b = track().block[0];
        QVERIFY(qAbs(b.bearing[1] - 90.0) < 0.1);
        QCOMPARE(b.segDist[2], 0.0);
        QCOMPARE(b.bearing[2], greatCircleStep(10.0, 10.0, 10.0, 10.1).bearingDeg);
        QCOMPARE(b.segDist[3], 0.0);
        QCOMPARE(b.bearing[3], greatCircleStep(10.0, 10.0, 10.1, 10.1).bearingDeg);
    }

    void speedSmoothing()
    {
        const QList<float> speeds{0, 0, 50, 0, 0, 0, 0};
        QList<P> points;
        for (int i = 0; i < speeds.size(); ++i)
            points.append({T + i, 1, 1, speeds[i]});
        setBlock(0, points);
        setBlock(1, points.mid(0, 5));
        track().relativeAltitude = true;
        repairTrack();
        const QList<float> smoothed{0, 0, 10, 2, 0, 0, 0};
        for (int i = 0; i < 7; ++i)
            QCOMPARE(track().block[0].speed[i], smoothed[i]);
        QCOMPARE(track().block[1].speed[2], 50.0f);  // five points: never smoothed

        init();
        setBlock(0, points);
        repairTrack();
        QCOMPARE(track().block[0].speed[2], 50.0f);
    }

    void utcOffsetShiftsEveryKnownTime()
    {
        settings().utcOffset = 2.0f;
        setBlock(0, {{T, 1, 1}, {T + 1, 1, 1}});
        repairTrack();
        QCOMPARE(track().block[0].gpsTime[0], T - 7200);
        QCOMPARE(track().block[0].gpsTime[1], T - 7199);
    }

    void statistics()
    {
        setBlock(0, {{T, 1, 1, 30, 50, 4}, {T + 1, 1.01, 1, 80, 60, 12}, {T + 2, 1.02, 1, 80, 70, 6}});
        setBlock(1, {{T + 3, 1.03, 1, 90, -20, 30}});
        setBlock(2, {{T + 4, 1.04, 1, 200, 900, 99}});
        track().block[1].hasAltitude = false;
        track().block[1].hasSats = false;
        track().block[2].active = false;
        repairTrack();
        computeTrackStats();
        const TrackStats &s = track().stats;
        QCOMPARE(s.maxSpeed, 90.0f);
        QCOMPARE(s.peakSpeed, 90.0f);
        QCOMPARE(s.topSpeedBlock, 1);
        QCOMPARE(s.topSpeedPoint, 0);
        QCOMPARE(s.minSpeed, 30.0f);
        QCOMPARE(s.minAltitude, 50.0);
        QCOMPARE(s.maxAltitude, 70.0);
        QCOMPARE(s.minSats, 4);
        QCOMPARE(s.maxSats, 12);
        QCOMPARE(s.routeLength, track().block[0].totalDist + track().block[1].totalDist);
        QCOMPARE(s.minLos, 0.0);
        QCOMPARE(s.maxLos, track().block[1].los[0]);

        // Ties keep the first occurrence of the top speed.
        track().block[1].active = false;
        computeTrackStats();
        QCOMPARE(s.topSpeedPoint, 1);

        // No active block with points: the start values remain.
        track().block[0].active = false;
        computeTrackStats();
        QCOMPARE(s.minSpeed, 10000.0f);
        QCOMPARE(s.maxSpeed, -100000.0f);
        QCOMPARE(s.minSats, 100000);
        QCOMPARE(s.maxAltitude, -100000.0);
        QCOMPARE(s.routeLength, 0.0);
    }

    void corruptCountsStayInside()
    {
        setBlock(0, {{T, 1, 1}});
        track().block[0].numPoints = MAX_POINTS + 50;
        track().block[0].duration = 1e30f;
        track().numBlocks = MAX_BLOCKS + 3;
        repairTrack();
        computeTrackStats();
        QCOMPARE(track().playCount, MAX_BLOCKS);
        QCOMPARE(track().block[0].numPoints, MAX_POINTS);
    }
};

QTEST_GUILESS_MAIN(TestRepair)
#include "test_repair.moc"
