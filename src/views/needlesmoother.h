// How the dashboard's speed needle and vehicle image follow the telemetry.
// Points usually come once a second while the dashboard is told ten times
// a second; rather than jump once a second, the shown value eases toward
// the latest sample: at each update it closes the fraction
// min(1, elapsed / 1000 ms) of the remaining gap, where elapsed is the real
// time since the ease began. The ease begins again when a new second of
// telemetry arrives and the present ease is at least 0.9 s old, so at 1x
// the needle holds at the first update of a second and then moves 10 %,
// 20 %, ... of the remaining gap; at faster rates (several telemetry
// seconds per real second) the ease is not cut short and the needle still
// settles within a second; at slow rates it settles after a second and
// never overshoots.
//
// The heading turns only while the speed is above 3 (in the user's unit),
// the short way round: each new heading is taken within (-180, 180] of the
// last one, so the shown heading is continuous over any number of turns.
// After reset() (a new movie, a seek, a change of the speed unit) the next
// update shows its speed and heading at once.
#pragma once

#include <QtGlobal>

namespace vx {

constexpr float HEADING_MIN_SPEED = 3.0f;

class NeedleSmoother {
public:
    struct Shown {
        float speed = 0;
        double heading = 0;  // degrees, continuous (may lie outside 0..360)
    };

    // speed in the user's unit, heading in degrees, sampleSec the whole
    // second of the telemetry point, nowMs a steady clock in milliseconds.
    Shown update(float speed, double heading, qint64 sampleSec, qint64 nowMs);
    void reset() { m_first = true; }
    Shown shown() const { return m_shown; }

    // `degrees` folded into (-180, 180].
    static double shortTurn(double degrees);

private:
    // One ease: the second it follows and when it began.
    struct Ease {
        bool started = false;
        qint64 sampleSec = 0;
        qint64 beganMs = 0;
        double fraction(qint64 sampleSec, qint64 nowMs);
    };

    bool m_first = true;
    Shown m_shown;
    double m_lastRawHeading = 0;  // the last heading taken, unwrapped
    Ease m_speedEase;
    Ease m_headingEase;
};

} // namespace vx
