// The repair pass and the statistics: every repair case, padding, the measures across movies.
#include "settings/settings.h"
#include "support/testsupport.h"
#include "track/geo.h"
#include "track/repair.h"
#include "track/trackstore.h"

#include <QtTest>

using namespace vx;
using vxtest::column;
using vxtest::pointText;

namespace {

struct P {
    uint32_t t;
    double lat, lon;
    float speed = 10;
    double alt = 100;
    int sats = 9;
};

void setBlock(int b, const QList<P> &points, float duration = -1) {
    MovieBlock &blk = track().block[b];
    blk.movieFile = QFileInfo(QStringLiteral("/movies/m%1.mov").arg(b));
    for (int i = 0; i < points.size(); ++i) {
        const P &p = points[i];
        blk.gpsTime[i] = p.t, blk.lat[i] = p.lat, blk.lon[i] = p.lon, blk.speed[i] = p.speed, blk.altitude[i] = p.alt;
        blk.sats[i] = p.sats;
    }
    blk.numPoints = points.size();
    blk.duration = duration;
    blk.hasAltitude = blk.hasSats = true;
    track().numBlocks = std::max(track().numBlocks, b + 1);
}

const uint32_t T = 1500000000u;

// All points of block 0 as "time-T lat lon speed altitude sats", then the repair code, vmax and los of point 0.
QString repaired() {
    const MovieBlock &b = track().block[0];
    QStringList points;
    for (int i = 0; i < b.numPoints; ++i)
        points << (b.gpsTime[i] == NO_TIME ? "none" : QString::number(qint64(b.gpsTime[i]) - T)) + ' '
                      + pointText(b, i, "yxvas");
    return points.join(" | ") + QString(" / %1 %2 %3").arg(b.repairCode).arg(b.vmax).arg(b.los[0]);
}

} // namespace

Q_DECLARE_METATYPE(P)

class TestRepair : public QObject {
    Q_OBJECT

private slots:
    void init() {
        setDefaultSettings();
        resetTrackStore();
        lastBearing = 0;
    }
    void cases_data() {
        QTest::addColumn<QList<P>>("points");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<float>("utcOffset");
        QTest::newRow("time backwards: the point before, a second on")
            << QList<P>{{T + 100, 1, 1, 10, 100, 9}, {T + 101, 1.1, 1.1, 20, 200, 8}, {T + 99, 5, 5, 99, 999, 2},
                        {T + 103, 1.3, 1.3, 30, 300, 7}}
            << "100 1 1 10 100 9 | 101 1.1 1.1 20 200 8 | 102 1.1 1.1 20 200 8 | 103 1.3 1.3 30 300 7 / 5 30 0" << 0.0f;
        // Pulled back silently, though the next point is then > 300 s after the reference.
        QTest::newRow("jump forward") << QList<P>{{T, 1, 1}, {T + 400, 1, 1}, {T + 401, 1, 1}}
                                      << "0 1 1 10 100 9 | 1 1 1 10 100 9 | 2 1 1 10 100 9 / 0 10 0" << 0.0f;
        // Leading unknown times are dated back from the first valid point; a later one copies the point before.
        QTest::newRow("unknown times")
            << QList<P>{{NO_TIME, 7, 7, 5}, {NO_TIME, 8, 8, 6}, {T, 1, 1, 10}, {NO_TIME, 9, 9, 50}, {T + 2, 2, 2, 20}}
            << "-2 1 1 10 100 9 | -1 1 1 10 100 9 | 0 1 1 10 100 9 | 1 1 1 10 100 9 | 2 2 2 20 100 9 / 2 20 0" << 0.0f;
        const uint32_t y2010 = 1262304000u;
        QTest::newRow("before 2010")
            << QList<P>{{y2010 - 2, 1, 1, 11}, {y2010 - 1, 2, 2, 12}, {y2010, 3, 3, 13}, {y2010 + 1, 4, 4, 14}}
            << "-237696002 3 3 13 100 9 | -237696001 3 3 13 100 9 | -237696000 3 3 13 100 9 | -237695999 4 4 14 100 9"
               " / 2 14 0" << 0.0f;
        // Subtitle telemetry without dates: left as it is, not collapsed onto its last position.
        QTest::newRow("no dates") << QList<P>{{1, 10, 10, 5}, {2, 11, 11, 6}, {3, 12, 12, 7}}
                                  << "-1499999999 10 10 5 100 9 | -1499999998 11 11 6 100 9 | -1499999997 12 12 7 100 9"
                                     " / 0 7 0" << 0.0f;
        // Zero positions take the good one before (or the first good one); one zero coordinate is left alone.
        QTest::newRow("zero positions")
            << QList<P>{{T, 0, 0}, {T + 1, 40, 8}, {T + 2, 0, 0}, {T + 3, 41, 9}, {T + 4, 0, 5}}
            << "0 40 8 10 100 9 | 1 40 8 10 100 9 | 2 40 8 10 100 9 | 3 41 9 10 100 9 | 4 0 5 10 100 9 / 1 10 0" << 0.0f;
        QTest::newRow("speeds out of range")
            << QList<P>{{T, 1, 1, -3}, {T + 1, 1, 1, 40}, {T + 2, 1, 1, 612}, {T + 3, 1, 1, 500}}
            << "0 1 1 0 100 9 | 1 1 1 40 100 9 | 2 1 1 40 100 9 | 3 1 1 500 100 9 / 3 500 0" << 0.0f;
        QTest::newRow("utc offset") << QList<P>{{T, 1, 1}, {T + 1, 1, 1}}
                                    << "-7200 1 1 10 100 9 | -7199 1 1 10 100 9 / 0 10 0" << 2.0f;
    }
    void cases() {
        QFETCH(QList<P>, points);
        QFETCH(float, utcOffset);
        settings().utcOffset = utcOffset;
        setBlock(0, points);
        repairTrack();
        QTEST(repaired(), "expected");
    }
    void shortTrackIsPadded() {
        QVERIFY(inValidTimeWindow(2000000000u) && !inValidTimeWindow(2000000001u) && !inValidTimeWindow(NO_TIME));
        QList<P> points;
        for (int i = 0; i < 27; ++i)
            points.append({T + 10 + i, 45.0 + i * 1e-3, 7.0, float(i), 100.0 + i, 5});
        setBlock(0, points, 30.4f);
        QList<P> many;
        for (int i = 0; i < 3990; ++i)
            many.append({T + i, 1, 1});
        setBlock(1, many, 5000.0f);
        setBlock(2, points, -1);  // unknown duration: nothing
        repairTrack();
        // Three copies of the first point without motion before it; the rest moved on by three.
        const MovieBlock &b = track().block[0];
        QCOMPARE(repaired().section(" | ", 0, 3) + " | " + repaired().section(" | ", 29),
                 "7 45 7 0 100 5 | 8 45 7 0 100 5 | 9 45 7 0 100 5 | 10 45 7 0 100 5 | 36 45.026 7 26 126 5 / 4 26 0");
        QCOMPARE(column(b, 'd', 0, 3) + ' ' + column(b, 'l', 0, 3) + ' ' + column(b, 'c', 0, 3), "0 0 0 0 0 0 0 0 0");
        QVERIFY(b.los[29] > 2.8 && b.los[29] < 2.95 && b.cumDist[29] == b.totalDist);  // moved with its point
        QVERIFY(track().block[1].numPoints == MAX_POINTS && track().block[1].gpsTime[0] == T - 10);
        QCOMPARE(track().block[2].numPoints, 27);
        init();  // an empty block: points without a time at 0,0
        setBlock(0, {}, 3.9f);
        repairTrack();
        QCOMPARE(repaired() + ' ' + column(b, 'c') + QString(" %1").arg(b.totalDist),
                 "none 0 0 0 0 0 | none 0 0 0 0 0 | none 0 0 0 0 0 / 4 0 0 0 0 0 0");
    }
    void twoMoviesAreOneFlight() {
        setBlock(0, {{T, 47.0, 8.0}, {T + 1, 47.001, 8.0}, {T + 2, 47.002, 8.0}});
        setBlock(1, {{T + 100, 47.003, 8.001}, {T + 101, 47.004, 8.002}});
        setBlock(2, {});
        repairTrack();
        const MovieBlock &a = track().block[0], &b = track().block[1];
        // Distance from the last point of the movie before, line of sight from the first movie's home.
        QVERIFY(b.segDist[0] == greatCircleStep(47.002, 8.0, 47.003, 8.001).distKm
                && b.los[0] == greatCircleStep(47.0, 8.0, 47.003, 8.001).distKm
                && b.los[1] == greatCircleStep(47.0, 8.0, 47.004, 8.002).distKm);
        QVERIFY(pointText(a, 0, "dlb") == "0 0 0" && qAbs(a.bearing[1]) < 1e-9);  // due north
        QVERIFY(b.cumDist[1] == b.segDist[0] + b.segDist[1] && b.totalDist == b.cumDist[1]);
        QVERIFY(track().block[2].totalDist == 0.0 && track().block[2].vmax == 0.0);
        QVERIFY(track().playCount == 3 && track().playOrder[2] == 2);
    }
    void bearingOfAStandingPoint() {  // not moved, or in the same second: the course from home
        setBlock(0, {{T, 10.0, 10.0}, {T + 1, 10.0, 10.1}, {T + 2, 10.0, 10.1}, {T + 2, 10.1, 10.1}});
        repairTrack();
        const MovieBlock &b = track().block[0];
        QVERIFY(qAbs(b.bearing[1] - 90.0) < 0.1);
        QVERIFY(b.segDist[2] == 0.0 && b.bearing[2] == greatCircleStep(10.0, 10.0, 10.0, 10.1).bearingDeg);
        QVERIFY(b.segDist[3] == 0.0 && b.bearing[3] == greatCircleStep(10.0, 10.0, 10.1, 10.1).bearingDeg);
    }
    void speedSmoothing() {
        // Only with relative altitude (subtitle telemetry), only blocks of more than five points.
        QList<P> points;
        for (float v : {0, 0, 50, 0, 0, 0, 0})
            points.append({T + uint32_t(points.size()), 1, 1, v});
        setBlock(0, points);
        setBlock(1, points.mid(0, 5));
        track().relativeAltitude = true;
        repairTrack();
        QCOMPARE(column(track().block[0], 'v') + " | " + column(track().block[1], 'v'), "0 0 10 2 0 0 0 | 0 0 50 0 0");
        init();
        setBlock(0, points);
        repairTrack();
        QCOMPARE(track().block[0].speed[2], 50.0f);
    }
    void statistics() {
        setBlock(0, {{T, 1, 1, 30, 50, 4}, {T + 1, 1.01, 1, 80, 60, 12}, {T + 2, 1.02, 1, 80, 70, 6}});
        setBlock(1, {{T + 3, 1.03, 1, 90, -20, 30}});
        setBlock(2, {{T + 4, 1.04, 1, 200, 900, 99}});
        track().block[1].hasAltitude = track().block[1].hasSats = false;
        track().block[2].active = false;
        repairTrack();
        computeTrackStats();
        const TrackStats &s = track().stats;
        const auto text = [&s] {
            return QString("%1 %2 %3 %4 %5 | %6 %7 | %8 %9").arg(s.maxSpeed).arg(s.peakSpeed).arg(s.topSpeedBlock)
                .arg(s.topSpeedPoint).arg(s.minSpeed).arg(s.minAltitude).arg(s.maxAltitude).arg(s.minSats).arg(s.maxSats);
        };
        QCOMPARE(text(), "90 90 1 0 30 | 50 70 | 4 12");
        QVERIFY(s.routeLength == track().block[0].totalDist + track().block[1].totalDist);
        QVERIFY(s.minLos == 0.0 && s.maxLos == track().block[1].los[0]);
        track().block[1].active = false;  // ties: the first top speed
        computeTrackStats();
        QCOMPARE(s.topSpeedPoint, 1);
        track().block[0].active = false;  // no active block: the start values
        computeTrackStats();
        QCOMPARE(text(), "-100000 -100000 0 0 10000 | 100000 -100000 | 100000 -100000");
        QCOMPARE(s.routeLength, 0.0);
    }
    void corruptCountsStayInside() {
        setBlock(0, {{T, 1, 1}});
        track().block[0].numPoints = MAX_POINTS + 50;
        track().block[0].duration = 1e30f;
        track().numBlocks = MAX_BLOCKS + 3;
        repairTrack();
        computeTrackStats();
        QVERIFY(track().playCount == MAX_BLOCKS && track().block[0].numPoints == MAX_POINTS);
    }
};

QTEST_GUILESS_MAIN(TestRepair)
#include "test_repair.moc"
