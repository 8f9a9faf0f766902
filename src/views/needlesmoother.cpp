#include "views/needlesmoother.h"

#include <cmath>

namespace vx {

namespace {
constexpr qint64 kEaseMs = 1000;
// A new second restarts the ease only when this much of it has passed.
constexpr qint64 kRestartMs = 900;
// The continuous heading is moved back by whole turns beyond this.
constexpr double kRebaseDegrees = 3600;

bool finite(double v) { return std::isfinite(v); }
} // namespace

double NeedleSmoother::shortTurn(double degrees)
{
    double d = std::fmod(degrees, 360.0);
    if (d <= -180)
        d += 360;
    else if (d > 180)
        d -= 360;
    return d;
}

double NeedleSmoother::Ease::fraction(qint64 second, qint64 nowMs)
{
    if (!started || (second != sampleSec && nowMs - beganMs >= kRestartMs) || nowMs < beganMs) {
        started = true;
        beganMs = nowMs;
    }
    sampleSec = second;
    return std::min(1.0, double(nowMs - beganMs) / kEaseMs);
}

NeedleSmoother::Shown NeedleSmoother::update(float speed, double heading, qint64 sampleSec, qint64 nowMs)
{
    if (!finite(speed))
        speed = m_shown.speed;
    if (!finite(heading))
        heading = m_lastRawHeading;
    if (m_first) {
        m_first = false;
        m_shown.speed = speed;
        m_shown.heading = heading;
        m_lastRawHeading = heading;
        m_speedEase = Ease();
        m_headingEase = Ease();
        m_speedEase.fraction(sampleSec, nowMs);
        m_headingEase.fraction(sampleSec, nowMs);
        return m_shown;
    }

    const double f = m_speedEase.fraction(sampleSec, nowMs);
    m_shown.speed = float(speed - (speed - m_shown.speed) * (1 - f));

    if (speed > HEADING_MIN_SPEED) {
        const double g = m_headingEase.fraction(sampleSec, nowMs);
        const double target = m_lastRawHeading + shortTurn(heading - m_lastRawHeading);
        m_shown.heading = target - (target - m_shown.heading) * (1 - g);
        m_lastRawHeading = target;
        if (std::fabs(m_lastRawHeading) > kRebaseDegrees) {
            const double turns = 360.0 * std::trunc(m_lastRawHeading / 360.0);
            m_lastRawHeading -= turns;
            m_shown.heading -= turns;
        }
    }
    return m_shown;
}

} // namespace vx
