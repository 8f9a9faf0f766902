#include "preferencerules.h"

#include "export/numbertext.h"
#include "graphranges.h"
#include "settings.h"
#include "track/trackstore.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace vx {

QByteArray fixedNumber(double value, int decimals)
{
    char buffer[FIXED_TEXT_MAX];
    const char *end = writeFixed(buffer, value, std::clamp(decimals, 0, FIXED_MAX_PRECISION));
    return QByteArray(buffer, static_cast<int>(end - buffer));
}

QByteArray generalNumber(double value)
{
    // to_chars writes as printf does in the C locale, whatever the locale
    // of the process.
    char buffer[64];
    const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    return r.ec == std::errc() ? QByteArray(buffer, static_cast<int>(r.ptr - buffer)) : QByteArray("0");
}

std::optional<double> parseReal(const QString &text)
{
    bool ok = false;
    const double v = text.toDouble(&ok);  // always the C locale
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<int> parseInt(const QString &text)
{
    bool ok = false;
    const int v = text.toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return v;
}

double clampGraphValue(int graph, double value)
{
    switch (graph) {
    case SpeedGraph: return std::clamp(value, 0.0, 300.0);
    case BearingGraph: return std::clamp(value, 0.0, 360.0);
    case SatsGraph: return std::clamp(std::trunc(value), 0.0, 30.0);
    default: return std::clamp(value, 0.0, 20000.0);  // distance, line of sight, altitude
    }
}

GraphRange clampedGraphRange(int graph, const GraphRange &range, double distFactor)
{
    GraphRange r = range;
    r.min = std::isfinite(r.min) ? clampGraphValue(graph, r.min) : r.min;
    r.max = std::isfinite(r.max) ? clampGraphValue(graph, r.max) : r.max;
    return checkedGraphRange(graph, r, distFactor);
}

qint64 clampTimeOffsetSec(qint64 seconds) { return std::clamp<qint64>(seconds, -MAX_TIME_OFFSET_SEC, MAX_TIME_OFFSET_SEC); }

double clampTimeOffsetHours(double hours)
{
    return std::isfinite(hours) ? std::clamp(hours, -MAX_TIME_OFFSET_HOURS, MAX_TIME_OFFSET_HOURS) : 0.0;
}

int secondsFromHours(double hours) { return static_cast<int>(std::lround(clampTimeOffsetHours(hours) * 3600.0)); }

float clampSkip(double seconds) { return static_cast<float>(std::clamp(seconds, 0.0, 86400.0)); }

float clampReplay(double seconds) { return static_cast<float>(std::clamp(seconds, MIN_REPLAY_SEC, 86400.0)); }

int clampSpeedoMax(qint64 value) { return static_cast<int>(std::clamp<qint64>(value, MIN_SPEEDO_MAX, MAX_SPEEDO_MAX)); }

float clampVolume(double volume) { return static_cast<float>(std::clamp(volume, 0.0, 1.0)); }

int clampPicture(qint64 value) { return static_cast<int>(std::clamp<qint64>(value, -PICTURE_LIMIT, PICTURE_LIMIT)); }

float vmaxFromShown(double shown, double speedFactor)
{
    if (!(speedFactor > 0) || !std::isfinite(speedFactor))
        speedFactor = 1.0;
    // Above a few thousand km/h no route colour scale makes sense.
    return static_cast<float>(std::clamp(shown / speedFactor, 0.0, 100000.0));
}

bool changeUtcOffset(SettingsRecord &s, double hours)
{
    const float now = static_cast<float>(clampTimeOffsetHours(hours));
    const float old = std::isfinite(s.utcOffset) ? s.utcOffset : 0.0f;
    if (std::fabs(static_cast<double>(now) - static_cast<double>(old)) <= 1e-7)
        return false;
    // shiftPointTimes moves times back by the hours given.
    shiftPointTimes(-static_cast<double>(old));
    s.utcOffset = now;
    shiftPointTimes(static_cast<double>(now));
    return true;
}

} // namespace vx
