// Playback arithmetic with damaged values: steps, start and offset, the tick's look-up, texts, seeks, geometry.
#include "settings/settings.h"
#include "track/playbackmath.h"
#include "track/trackstore.h"

#include <QtTest>

#include <cmath>
#include <limits>

using namespace vx;

namespace {

// Block b gets n points one second apart from t0, 0.1 km apart.
void fillBlock(int b, int n, uint32_t t0) {
    MovieBlock &m = track().block[b];
    for (int i = 0; i < n; ++i)
        m.gpsTime[i] = t0 + uint32_t(i), m.lat[i] = 46.0 + b + i * 0.001, m.segDist[i] = 0.1, m.los[i] = 0.5 * i;
    m.numPoints = n;
    m.totalDist = 0.1 * n;
}

} // namespace

class TestPlaybackMath : public QObject {
    Q_OBJECT

private slots:
    void init() {
        setDefaultSettings();
        resetTrackStore();
    }
    void frameStepsAndRates() {
        // A rate the probe cannot have meant counts as the store's 29.97.
        QString steps;
        for (float fps : {25.0f, 29.97f, 60.0f, 0.0f, -5.0f, std::nanf(""), std::numeric_limits<float>::infinity()})
            steps += QString::number(frameStepMs(fps)) + ' ';
        QCOMPARE(steps + QString::number(frameStepFrames(30.0f)) + ' ' + QString::number(frameStepFrames(30.01f)),
                 "1200 660 640 660 660 660 660 20 40");
        // Slower stops at "x/4", faster at the fastest; a damaged index reads the 1x entry.
        QVERIFY(QString(rateEntry(slowerRateIndex(RATE_INDEX_SLOWEST)).label) == "x/4"
                && fasterRateIndex(RATE_INDEX_FASTEST) == RATE_INDEX_FASTEST && rateEntry(99).rate == 1.0);
        QCOMPARE(QString(rateEntry(RATE_COUNT).label), "1x");
    }
    void movieStartAndTotalOffset() {
        // 205.4 s is 205400 ms in the store's float, not 205399.
        QVERIFY(movieLengthMs(205.4f, 1, 999) == 205400 && movieLengthMs(-1.0f, 1, 7000) == 7000
                && movieLengthMs(1e30f, 1, 0) > 0);
        const qint64 modified = 1700000010500;
        QVERIFY(movieStartMs(modified, 10.0f, 1, 0, false) == 1700000000500
                && movieStartMs(modified, -1.0f, 1, 4000, true) == 1700000006500
                && !movieStartMs(modified, -1.0f, 1, 4000, false));
        fillBlock(0, 5, 1700000100);
        // The start in whole seconds (.5 counts as 0); no anchor (no points, no time at point 0): timeBias alone.
        QString offsets = QString::number(totalTimeOffsetSec(track().block[0], 1700000000500, 2)) + ' '
                        + QString::number(totalTimeOffsetSec(track().block[1], 1700000000500, 3));
        track().block[0].gpsTime[0] = NO_TIME;
        QCOMPARE(offsets + ' ' + QString::number(totalTimeOffsetSec(track().block[0], 1700000000500, 3)), "102 3 3");
    }
    void theTickFindsTheFirstPointAtOrAfterTheInstant() {
        fillBlock(0, 10, 1700000000);
        fillBlock(1, 10, 1700000100);
        fillBlock(2, 20, 1700000200);
        track().numBlocks = 3;
        track().block[0].active = false;  // the distance counts every block below
        TickInput in;
        in.modifiedMs = 1700000220000;  // a 20 s movie that started at block 2's first point
        in.duration = 20.0f;
        in.totalOffsetSec = totalTimeOffsetSec(track().block[2], 1700000200000, 0);
        in.positionMs = 3500;
        CurrentSample s;
        QCOMPARE(lookUpPoint(track(), 2, computeTickTimes(in).instantSec, &s), 3);
        QCOMPARE(QString("%1 %2").arg(s.travelledKm).arg(s.losKm), "2.4 1.5");
        in.totalOffsetSec = totalTimeOffsetSec(track().block[2], 1700000200000, 2);  // timeBias 2: two points on
        QCOMPARE(lookUpPoint(track(), 2, computeTickTimes(in).instantSec, &s), 5);
        // Positions past 2e9 ms read as 0; a fast tick adds trunc(rate * 33.33).
        in.positionMs = 2000000001;
        const qint64 past = computeTickTimes(in).positionMs;
        in.positionMs = 1000, in.fastTick = true, in.rate = 5.0;
        QVERIFY(past == 0 && computeTickTimes(in).positionMs == 1166);
        s.latitude = 12.5;  // after the last point: none, the sample left as it was
        QVERIFY(lookUpPoint(track(), 2, 1700000230, &s) == -1 && s.latitude == 12.5);
        track().block[2].gpsTime[3] = NO_TIME;  // matches no instant
        QCOMPARE(lookUpPoint(track(), 2, 1700000203, &s), 4);
        track().block[2].numPoints = MAX_POINTS + 50;  // damaged counts and indexes: nothing outside the store
        QCOMPARE(lookUpPoint(track(), 2, 4000000000LL, &s), -1);
        track().block[2].numPoints = -3;
        QVERIFY(lookUpPoint(track(), 2, 0, &s) == -1 && lookUpPoint(track(), MAX_BLOCKS, 0, &s) == -1);
    }
    void textsOfTheLabelsJumpToBoxAndMovieList() {
        const QDateTime modified(QDate(2023, 7, 14), QTime(21, 5, 30), Qt::LocalTime);
        QStringList texts{durationLabelText(65400, 3725000), durationLabelText(-5000, 0), lengthEntryText(205.4f),
                          vmaxEntryText(80.0f, settings()), vmaxEntryText(-10000.0f, settings()),
                          dateEntryText(modified, 30.0f, 0, 0), dateEntryText(modified, 30.0f, 3600, 1),
                          dateEntryText(modified, 0.0f, 0, 0)};
        settings().speedUnitIndex = 7;  // no such unit: no name
        texts << vmaxEntryText(10.0f, settings()) << movieCountText(1) << movieCountText(0) << rowDurationText(-1.0f)
              << fileInfoText(376144, 25.0f, 640, 360);
        QCOMPARE(texts.join(" | "), "01:05 of 62:05 | 00:00 of 00:00 |  [03:25] | Vmax (49 mph) | Vmax (0 mph) | "
                                    " [Fri Jul 14 2023 9:05:00 PM] |  [Fri Jul 14 2023 22:05:00] |  | Vmax (6 ) | "
                                    "1 Movie | 0 Movies | 00:00 | 0.37 MB, 25 fps, 640x360");
        TrackStore &t = track();
        t.numBlocks = 5;
        const float durations[] = {60.5f, 120.2f, 3599.9f, 500.0f, -1.0f};
        for (int b = 0; b < 5; ++b)
            t.block[b].duration = durations[b];
        t.block[3].active = false;  // switched off or unknown: not counted
        QCOMPARE(totalLengthText(t), "01:03:00");
    }
    void seekTargets() {
        QString skips;  // "skip" 3 s, unless beyond the movie or not a number
        for (float skip : {3.0f, 12.0f, -2.0f, std::nanf("")})
            skips += QString::number(skipTargetMs(skip, 10.0f)) + ' ';
        QCOMPARE(skips, "3000 0 0 0 ");
        fillBlock(0, 30, 1700000000);  // the top-speed jump: 0 at the first point, a second early after it
        const MovieBlock &m = track().block[0];
        track().block[0].gpsTime[30] = 1700000100;  // stale, beyond the movie's points
        QCOMPARE(QString("%1 %2 %3").arg(topSpeedJumpMs(m, 0)).arg(topSpeedJumpMs(m, 12)).arg(topSpeedJumpMs(m, 30)),
                 "0 11000 0");
        track().block[0].gpsTime[12] = NO_TIME;
        QCOMPARE(QString("%1 | %2 %3 %4 %5").arg(topSpeedJumpMs(m, 12)).arg(sliderValueForClick(0, 2, 74, 100))
                     .arg(sliderValueForClick(0, 2, 76, 100)).arg(sliderValueForClick(0, 5, 130, 100))
                     .arg(sliderValueForClick(3, 5, 10, 0)), "0 | 1 2 5 3");
    }
    // Click-to-go lands where the tick finds the clicked point again.
    void pointSeekIsTheTicksInverse_data() {
        QTest::addColumn<qint64>("modifiedMs");
        QTest::addColumn<float>("duration");
        QTest::addColumn<int>("timeFactor");
        QTest::addColumn<int>("timeBias");
        QTest::addColumn<qint64>("playerDurationMs");
        QTest::newRow("start at .7 s") << qint64(1700000030700) << 30.0f << 1 << 0 << qint64(0);
        QTest::newRow("time bias") << qint64(1700000030250) << 30.0f << 1 << -7 << qint64(0);
        QTest::newRow("time factor 3") << qint64(1700000090400) << 30.0f << 3 << 2 << qint64(0);
        QTest::newRow("unknown duration") << qint64(1700000030300) << -1.0f << 1 << 1 << qint64(30000);
    }
    void pointSeekIsTheTicksInverse() {
        QFETCH(qint64, modifiedMs);
        QFETCH(float, duration);
        QFETCH(int, timeFactor);
        QFETCH(int, timeBias);
        QFETCH(qint64, playerDurationMs);
        fillBlock(0, 40, 1700000100);
        MovieBlock &m = track().block[0];
        m.gpsTime[6] = m.gpsTime[5];  // two points in one second: the tick finds the first
        m.duration = duration, m.timeFactor = timeFactor;
        const qint64 start = *movieStartMs(modifiedMs, duration, timeFactor, playerDurationMs, true);
        TickInput in;
        in.modifiedMs = modifiedMs, in.duration = duration, in.timeFactor = timeFactor;
        in.playerDurationMs = playerDurationMs, in.totalOffsetSec = totalTimeOffsetSec(m, start, timeBias);
        for (int point : {0, 1, 5, 6, 17, 39}) {
            const std::optional<qint64> p = pointSeekMs(m, point, modifiedMs, timeBias, playerDurationMs);
            QVERIFY(p);
            in.positionMs = *p;
            const int found = lookUpPoint(track(), 0, computeTickTimes(in).instantSec, nullptr);
            const int expected = point == 6 ? 5 : point;
            if (*p > 0 && *p < movieLengthMs(duration, timeFactor, playerDurationMs) / timeFactor) {
                QCOMPARE(found, expected);
                in.positionMs = *p - 1;  // the earliest such position
                if (expected > 0)
                    QVERIFY(lookUpPoint(track(), 0, computeTickTimes(in).instantSec, nullptr) < expected);
            }
            QVERIFY(*p >= 0 && *p <= movieLengthMs(duration, timeFactor, playerDurationMs) / timeFactor);
        }
        m.gpsTime[9] = NO_TIME;  // no time, no such point, no start time: nowhere to go
        for (int point : {9, 40, -1})
            QVERIFY(!pointSeekMs(m, point, modifiedMs, timeBias, playerDurationMs));
        m.duration = -1;
        QVERIFY(!pointSeekMs(m, 3, modifiedMs, timeBias, 0));
    }
    void pictureGeometry() {
        QCOMPARE(fitVideoRect(QSize(800, 400), 640, 360, true), QRect(44, 0, 711, 400));
        for (const QRect &r : {fitVideoRect(QSize(800, 400), 640, 360, false), fitVideoRect(QSize(800, 400), 0, 0, true)})
            QCOMPARE(r, QRect(0, 0, 800, 400));
        const QRect box(0, 0, 800, 400), pic(100, 0, 600, 400);  // zooming keeps the centre's point in place
        const QRect in = *zoomVideoRect(box, pic, VideoMove::ZoomIn);
        QCOMPARE(in, QRect(25, -50, 750, 500));
        QCOMPARE((QList<QRect>{*zoomVideoRect(box, in, VideoMove::ZoomOut), *zoomVideoRect(box, pic, VideoMove::Up),
                               *zoomVideoRect(box, pic, VideoMove::Right)}),
                 (QList<QRect>{pic, pic.translated(0, -20), pic.translated(20, 0)}));
        // Never narrower than 200 pixels, never from an empty picture.
        QVERIFY(!zoomVideoRect(box, QRect(0, 0, 240, 100), VideoMove::ZoomOut)
                && zoomVideoRect(box, QRect(0, 0, 250, 100), VideoMove::ZoomOut)
                && !zoomVideoRect(box, QRect(0, 0, 0, 0), VideoMove::Up));
    }
};

QTEST_APPLESS_MAIN(TestPlaybackMath)
#include "test_playbackmath.moc"
