// The arithmetic of playback: rate limits, frame steps, the movie start and
// the total time offset, the point look-up of the tick, the label and
// jump-to texts, the movie-list totals, slider clicks and the picture
// geometry, with the edge cases of the design and damaged values.
#include "settings/settings.h"
#include "track/playbackmath.h"
#include "track/trackstore.h"

#include <QtTest>

#include <cmath>
#include <limits>

using namespace vx;

namespace {

// Block b gets n points one second apart from t0, 0.1 km apart.
void fillBlock(int b, int n, uint32_t t0)
{
    MovieBlock &m = track().block[b];
    for (int i = 0; i < n; ++i) {
        m.gpsTime[i] = t0 + static_cast<uint32_t>(i);
        m.lat[i] = 46.0 + b + i * 0.001;
        m.lon[i] = 7.0;
        m.speed[i] = 10.0f * i;
        m.segDist[i] = 0.1;
        m.los[i] = 0.5 * i;
        m.bearing[i] = 90;
        m.altitude[i] = 100 + i;
        m.sats[i] = 7 + i;
    }
    m.numPoints = n;
    m.totalDist = 0.1 * n;
    m.hasAltitude = true;
    m.hasSats = (b % 2) == 0;
}

} // namespace

class TestPlaybackMath : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        setDefaultSettings();
        resetTrackStore();
    }

    void rateTableAndItsLimits()
    {
        QCOMPARE(QString::fromLatin1(rateEntry(0).label), QStringLiteral("x/16"));
        QCOMPARE(rateEntry(0).rate, 0.0625);
        QCOMPARE(QString::fromLatin1(rateEntry(RATE_INDEX_NORMAL).label), QStringLiteral("1x"));
        QCOMPARE(rateEntry(6).rate, 5.0);
        // Slower stops at "x/4", faster at "5x".
        QCOMPARE(slowerRateIndex(3), 2);
        QCOMPARE(slowerRateIndex(2), 2);
        QCOMPARE(QString::fromLatin1(rateEntry(slowerRateIndex(2)).label), QStringLiteral("x/4"));
        QCOMPARE(fasterRateIndex(5), 6);
        QCOMPARE(fasterRateIndex(6), 6);
        // A damaged index falls back to 1x rather than reading past the table.
        QCOMPARE(rateEntry(-1).rate, 1.0);
        QCOMPARE(rateEntry(99).rate, 1.0);
    }

    void frameStepsByFrameRate()
    {
        QCOMPARE(frameStepMs(25.0f), qint64(1200));
        QCOMPARE(frameStepMs(29.97f), qint64(660));
        QCOMPARE(frameStepMs(60.0f), qint64(640));
        QCOMPARE(frameStepFrames(26.0f), 20);
        QCOMPARE(frameStepFrames(30.0f), 20);
        QCOMPARE(frameStepFrames(30.01f), 40);
        // A rate the probe cannot have meant: the store's default 29.97.
        QCOMPARE(frameStepMs(0.0f), qint64(660));
        QCOMPARE(frameStepMs(-5.0f), qint64(660));
        QCOMPARE(frameStepMs(std::nanf("")), qint64(660));
        QCOMPARE(frameStepMs(std::numeric_limits<float>::infinity()), qint64(660));
        QCOMPARE(frameStepMs(5000.0f), qint64(0));
    }

    void movieLengthStartAndTotalOffset()
    {
        QCOMPARE(movieLengthMs(205.4f, 1, 999), qint64(205400));
        QCOMPARE(movieLengthMs(-1.0f, 1, 7000), qint64(7000));
        QCOMPARE(movieLengthMs(-1.0f, 2, -5), qint64(0));
        QCOMPARE(movieLengthMs(1e30f, 1, 0) > 0, true);  // no overflow into a negative length

        const qint64 modified = 1700000010500;
        QCOMPARE(movieStartMs(modified, 10.0f, 1, 0, false), std::optional<qint64>(1700000000500));
        QCOMPARE(movieStartMs(modified, -1.0f, 1, 4000, true), std::optional<qint64>(1700000006500));
        QCOMPARE(movieStartMs(modified, -1.0f, 1, 4000, false), std::optional<qint64>());

        fillBlock(0, 5, 1700000100);
        const MovieBlock &m = track().block[0];
        // Whole seconds of the start: 1700000000.5 -> 1700000000.
        QCOMPARE(totalTimeOffsetSec(m, 1700000000500, 0), qint64(100));
        QCOMPARE(totalTimeOffsetSec(m, 1700000000500, 2), qint64(102));
        // No anchor: a block without points, or whose first point has no time.
        track().block[1].numPoints = 0;
        QCOMPARE(totalTimeOffsetSec(track().block[1], 1700000000500, 3), qint64(3));
        track().block[0].gpsTime[0] = NO_TIME;
        QCOMPARE(totalTimeOffsetSec(track().block[0], 1700000000500, 3), qint64(3));
    }

    void tickTimesAndTheTimeBias()
    {
        fillBlock(0, 20, 1700000000);
        TickInput in;
        in.modifiedMs = 1700000010000;  // a 10 s movie that started at the first point
        in.duration = 10.0f;
        in.totalOffsetSec = totalTimeOffsetSec(track().block[0], 1700000000000, 0);
        in.positionMs = 2500;
        TickTimes tt = computeTickTimes(in);
        QCOMPARE(tt.lengthMs, qint64(10000));
        QCOMPARE(tt.instantSec, qint64(1700000002));
        CurrentSample s;
        QCOMPARE(lookUpPoint(track(), 0, tt.instantSec, &s), 2);
        // timeBias 2: the same frame matches the point two seconds later.
        in.totalOffsetSec = totalTimeOffsetSec(track().block[0], 1700000000000, 2);
        tt = computeTickTimes(in);
        QCOMPARE(lookUpPoint(track(), 0, tt.instantSec, &s), 4);
        QCOMPARE(s.latitude, track().block[0].lat[4]);

        // Positions beyond 2e9 ms (and negative ones) read as 0; a fast tick
        // adds trunc(rate * 33.33) ms.
        in.positionMs = 2000000001;
        QCOMPARE(computeTickTimes(in).positionMs, qint64(0));
        in.positionMs = -40;
        QCOMPARE(computeTickTimes(in).positionMs, qint64(0));
        in.positionMs = 1000;
        in.fastTick = true;
        in.rate = 5.0;
        QCOMPARE(computeTickTimes(in).positionMs, qint64(1166));
        in.rate = 0.0625;
        QCOMPARE(computeTickTimes(in).positionMs, qint64(1002));
    }

    void pointLookUpWalksFromTheFirstPoint()
    {
        fillBlock(0, 10, 1700000000);
        fillBlock(1, 10, 1700000100);
        fillBlock(2, 10, 1700000200);
        track().numBlocks = 3;
        track().block[0].active = false;  // the distance counts every block below
        CurrentSample s;
        QCOMPARE(lookUpPoint(track(), 2, 1700000203, &s), 3);
        QCOMPARE(s.travelledKm, 0.1 * 10 + 0.1 * 10 + 0.1 * 4);
        QCOMPARE(s.losKm, 1.5);
        QCOMPARE(s.sats, 10);
        QVERIFY(s.hasAltitude && s.hasSats);
        // Before the first point: point 0; after the last: none, and the
        // sample is left as it was.
        QCOMPARE(lookUpPoint(track(), 2, 1600000000, &s), 0);
        s.latitude = 12.5;
        QCOMPARE(lookUpPoint(track(), 2, 1700000210, &s), -1);
        QCOMPARE(s.latitude, 12.5);
        // A point without a time matches no instant.
        track().block[2].gpsTime[3] = NO_TIME;
        QCOMPARE(lookUpPoint(track(), 2, 1700000203, &s), 4);
        // Damaged counts and indexes read nothing outside the store.
        track().block[2].numPoints = MAX_POINTS + 50;
        QCOMPARE(lookUpPoint(track(), 2, 4000000000LL, &s), -1);
        track().block[2].numPoints = -3;
        QCOMPARE(lookUpPoint(track(), 2, 0, &s), -1);
        QCOMPARE(lookUpPoint(track(), -1, 0, &s), -1);
        QCOMPARE(lookUpPoint(track(), MAX_BLOCKS, 0, &s), -1);
    }

    void labelTexts()
    {
        QCOMPARE(durationLabelText(65400, 3725000), QStringLiteral("01:05 of 62:05"));
        QCOMPARE(durationLabelText(-10, 0), QStringLiteral("00:00 of 00:00"));
        QCOMPARE(movieCounterText(0, 100), QStringLiteral("1 of 100 movies"));
        QCOMPARE(displayTimeMs(1700000005000, 100, 3600), qint64(1700003505000));
        settings().outUnits = 1;
        recomputeFactors();
        QCOMPARE(speedLabelText(49.6f, settings()), QStringLiteral("50 km/h"));
        settings().speedUnitIndex = 7;
        QCOMPARE(speedLabelText(10.0f, settings()), QStringLiteral("10 "));
        QCOMPARE(fileInfoText(376144, 25.0f, 640, 360), QStringLiteral("0.37 MB, 25 fps, 640x360"));
    }

    void jumpToTexts()
    {
        QCOMPARE(lengthEntryText(205.4f), QStringLiteral(" [03:25]"));
        QCOMPARE(lengthEntryText(-1.0f), QStringLiteral(" [00:00]"));
        settings().outUnits = 0;
        recomputeFactors();
        QCOMPARE(vmaxEntryText(80.0f, settings()), QStringLiteral("Vmax (49 mph)"));
        QCOMPARE(vmaxEntryText(-10000.0f, settings()), QStringLiteral("Vmax (0 mph)"));
        settings().speedUnitIndex = -1;
        QCOMPARE(vmaxEntryText(10.0f, settings()), QStringLiteral("Vmax (6 )"));

        const QDateTime modified(QDate(2023, 7, 14), QTime(21, 5, 30), Qt::LocalTime);
        QCOMPARE(dateEntryText(modified, 30.0f, 0, 0), QStringLiteral(" [Fri Jul 14 2023 9:05:00 PM]"));
        QCOMPARE(dateEntryText(modified, 30.0f, 3600, 1), QStringLiteral(" [Fri Jul 14 2023 22:05:00]"));
        QVERIFY(dateEntryText(modified, 0.0f, 0, 0).isEmpty());
        QVERIFY(dateEntryText(QDateTime(), 10.0f, 0, 0).isEmpty());
    }

    void jumpToEntriesListActiveMoviesInBlockOrder()
    {
        setDefaultSettings();
        TrackStore &t = track();
        t.numBlocks = 3;
        const char *names[] = {"/m/B.MOV", "/m/a.MOV", "/m/c.MOV"};
        for (int b = 0; b < 3; ++b) {
            t.block[b].movieFile = QFileInfo(QString::fromLatin1(names[b]));
            t.block[b].duration = 205.4f;
        }
        t.block[1].active = false;
        t.stats.peakSpeed = 100.0f;
        const QStringList entries = jumpToEntries(t, settings());
        QCOMPARE(entries.size(), 3);
        QCOMPARE(entries[0], QStringLiteral("Vmax (62 mph)"));
        // The files do not exist: no modification time, no date text.
        QCOMPARE(entries[1], QStringLiteral("B.MOV [03:25]"));
        QCOMPARE(entries[2], QStringLiteral("c.MOV [03:25]"));
    }

    void movieListTotalsAndRowTexts()
    {
        QCOMPARE(movieCountText(1), QStringLiteral("1 Movie"));
        QCOMPARE(movieCountText(0), QStringLiteral("0 Movies"));
        QCOMPARE(movieCountText(7), QStringLiteral("7 Movies"));
        TrackStore &t = track();
        t.numBlocks = 5;
        t.block[0].duration = 60.5f;
        t.block[1].duration = 120.2f;
        t.block[2].duration = 3599.9f;
        t.block[3].duration = 500.0f;
        t.block[3].active = false;   // switched off: not counted
        t.block[4].duration = -1.0f;  // unknown: adds nothing
        QCOMPARE(totalLengthText(t), QStringLiteral("01:03:00"));

        settings().outUnits = 1;
        recomputeFactors();
        QCOMPARE(rowVmaxText(48.7, settings()), QStringLiteral("49 km/h"));
        QCOMPARE(rowVmaxText(5.0, settings()), QStringLiteral("5  km/h"));
        QCOMPARE(rowDurationText(205.9f), QStringLiteral("03:25"));
        QCOMPARE(rowDurationText(-1.0f), QStringLiteral("00:00"));
        QCOMPARE(rowSizeText(2048000), QStringLiteral("2.00 MB "));
    }

    void seekingTargets()
    {
        // "skip" 3 s, unless it is beyond the movie.
        QCOMPARE(skipTargetMs(3.0f, 10.0f), qint64(3000));
        QCOMPARE(skipTargetMs(12.0f, 10.0f), qint64(0));
        QCOMPARE(skipTargetMs(3.0f, -1.0f), qint64(0));
        QCOMPARE(skipTargetMs(-2.0f, 10.0f), qint64(0));
        QCOMPARE(skipTargetMs(std::nanf(""), 10.0f), qint64(0));

        fillBlock(0, 30, 1700000000);
        QCOMPARE(topSpeedJumpMs(track().block[0], 0), qint64(0));
        QCOMPARE(topSpeedJumpMs(track().block[0], 1), qint64(0));
        QCOMPARE(topSpeedJumpMs(track().block[0], 12), qint64(11000));
        QCOMPARE(topSpeedJumpMs(track().block[0], 30), qint64(0));  // beyond the points
        track().block[0].gpsTime[12] = NO_TIME;
        QCOMPARE(topSpeedJumpMs(track().block[0], 12), qint64(0));

        QCOMPARE(sliderValueForClick(0, 10000, 50, 100), 5000);
        QCOMPARE(sliderValueForClick(0, 2, 74, 100), 1);
        QCOMPARE(sliderValueForClick(0, 2, 76, 100), 2);
        QCOMPARE(sliderValueForClick(0, 5, 130, 100), 5);
        QCOMPARE(sliderValueForClick(0, 5, -20, 100), 0);
        QCOMPARE(sliderValueForClick(3, 5, 10, 0), 3);
    }

    void pictureGeometry()
    {
        // Keep aspect: as high as the container, centred.
        QCOMPARE(fitVideoRect(QSize(800, 400), 640, 360, true), QRect(44, 0, 711, 400));
        QCOMPARE(fitVideoRect(QSize(800, 400), 640, 360, false), QRect(0, 0, 800, 400));
        QCOMPARE(fitVideoRect(QSize(800, 400), 0, 0, true), QRect(0, 0, 800, 400));

        const QRect box(0, 0, 800, 400);
        const QRect pic(100, 0, 600, 400);
        // Zooming keeps the point under the container's centre in place.
        const QRect in = *zoomVideoRect(box, pic, VideoMove::ZoomIn);
        QCOMPARE(in, QRect(25, -50, 750, 500));
        const QRect out = *zoomVideoRect(box, in, VideoMove::ZoomOut);
        QCOMPARE(out, pic);
        QCOMPARE(*zoomVideoRect(box, pic, VideoMove::Up), pic.translated(0, -20));
        QCOMPARE(*zoomVideoRect(box, pic, VideoMove::Down), pic.translated(0, 20));
        QCOMPARE(*zoomVideoRect(box, pic, VideoMove::Left), pic.translated(-20, 0));
        QCOMPARE(*zoomVideoRect(box, pic, VideoMove::Right), pic.translated(20, 0));
        // Never narrower than 200 pixels, never from an empty picture.
        QVERIFY(!zoomVideoRect(box, QRect(0, 0, 240, 100), VideoMove::ZoomOut));
        QVERIFY(zoomVideoRect(box, QRect(0, 0, 250, 100), VideoMove::ZoomOut));
        QVERIFY(!zoomVideoRect(box, QRect(0, 0, 0, 0), VideoMove::Up));
    }
};

QTEST_APPLESS_MAIN(TestPlaybackMath)
#include "test_playbackmath.moc"
