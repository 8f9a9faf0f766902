// The dashboard's needle and heading smoothing, driven with made-up clocks: the 10 % rule at 1x, reset, the short way
// across north, long orbits, the speed below which the vehicle does not turn, and fast and slow rates.
#include "views/needlesmoother.h"

#include <QtTest>

#include <cmath>

using namespace vx;

class TestNeedleSmoother : public QObject {
    Q_OBJECT

private slots:
    // At 1x the dashboard is told every 100 ms: the first update of a new second holds, the k-th one closes k tenths
    // of the remaining gap. reset() (new movie, seek, other unit) shows the next values at once. Numbers that are not
    // numbers do not reach the needle.
    void tenPercentRule()
    {
        NeedleSmoother s;
        QCOMPARE(s.update(20, 0, 100, 0).speed, 20.0f);    // first call: at once
        QCOMPARE(s.update(40, 0, 100, 100).speed, 22.0f);  // 10 % of 20
        QCOMPARE(s.update(40, 0, 100, 200).speed, 25.6f);  // 20 % of 18
        float shown = 25.6f;
        for (qint64 t = 300; t < 1000; t += 100)
            shown = s.update(40, 0, 100, t).speed;
        QVERIFY(std::fabs(shown - 40) < 0.01);
        // A new second: the needle stays where it was, then eases again.
        QCOMPARE(s.update(10, 0, 101, 1000).speed, shown);
        QCOMPARE(s.update(10, 0, 101, 1100).speed, float(10 - (10 - shown) * 0.9));
        s.update(60, 180, 101, 1200);
        s.reset();
        for (const NeedleSmoother::Shown &now : {s.update(33, 270, 2000, 1250), s.update(qQNaN(), qInf(), 2000, 1250)})
            QVERIFY(now.speed == 33.0f && now.heading == 270.0);
        QCOMPARE(s.update(50, 270, 2000, 1350).speed, 34.7f);  // and eases from there
    }
    // Across north the short way, at any speed above 3.0 and never at or below it.
    void heading()
    {
        const struct { double from, to; float speed; double turn; } rows[] = {  // turn: after the ease
            {350, 10, 10, 20}, {10, 350, 10, -20}, {180, -180, 10, 0},  // -180 is 180
            {0, 180, 10, 180},                                          // half a turn: clockwise
            {350, 10, 3.0f, 0}, {350, 10, 3.01f, 20}};                  // at 3.0 no turn, just above it turns
        for (const auto &row : rows) {
            NeedleSmoother s;
            const double start = s.update(row.speed, row.from, 0, 0).heading;
            double previous = start;
            for (qint64 t = 100; t <= 1000; t += 100) {
                const double h = s.update(row.speed, row.to, 0, t).heading;
                QVERIFY(row.turn >= 0 ? h >= previous : h <= previous);  // the same way, never past the target
                previous = h;
            }
            QVERIFY2(std::fabs(previous - start - row.turn) < 1e-9, qPrintable(QString::number(row.from)));
        }
    }
    // Three orbits at 20 degrees a second: every shown step stays within +-30 degrees (no spin of -340 at the start
    // of a new circle) and the vehicle ends where the heading is.
    void threeOrbits()
    {
        NeedleSmoother s;
        double shown = s.update(20, 0, 0, 0).heading;
        qint64 t = 0;
        for (int second = 0; second <= 3 * 18; ++second) {
            const double heading = std::fmod(second * 20.0, 360.0);
            for (int tick = 0; tick < 10; ++tick, t += 100) {
                const double h = s.update(20, heading, second, t).heading;
                QVERIFY2(std::fabs(h - shown) <= 30, qPrintable(QStringLiteral("second %1").arg(second)));
                shown = h;
            }
        }
        QVERIFY(std::fabs(NeedleSmoother::shortTurn(shown - 0.0)) < 0.1);
    }
    // At 5x five telemetry seconds pass per real second: the needle still settles within a second. At x/4 one
    // telemetry second lasts four real seconds: the needle settles after one and never overshoots.
    void rates()
    {
        for (double rate : {5.0, 2.0, 1.0, 0.25, 0.0625}) {
            NeedleSmoother s;
            s.update(0, 0, 0, 0);
            float previous = 0;
            for (qint64 t = 100; t <= 1100; t += 100) {
                const float shown = s.update(80, 0, qint64(t * rate / 1000), t).speed;
                QVERIFY(shown >= previous && shown <= 80);
                previous = shown;
            }
            QVERIFY2(std::fabs(previous - 80) < 0.1, qPrintable(QStringLiteral("%1 at %2x").arg(previous).arg(rate)));
        }
    }
};

QTEST_APPLESS_MAIN(TestNeedleSmoother)
#include "test_needlesmoother.moc"
