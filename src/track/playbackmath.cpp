#include "playbackmath.h"

#include "settings/settings.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace vx {

namespace {

constexpr RateEntry kRates[RATE_COUNT] = {
    {"x/16", 0.0625}, {"x/8", 0.125}, {"x/4", 0.25}, {"x/2", 0.5}, {"1x", 1.0}, {"2x", 2.0}, {"5x", 5.0},
};

constexpr float kDefaultFps = 29.97f;

qint64 floorDiv(qint64 a, qint64 b)
{
    qint64 q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

// Clamps a double into the qint64 range before converting (a damaged
// duration or setting must not overflow).
qint64 toInt64(double v)
{
    if (!std::isfinite(v))
        return 0;
    constexpr double kLimit = 9.0e18;
    return static_cast<qint64>(std::trunc(std::clamp(v, -kLimit, kLimit)));
}

// duration * timeFactor * 1000 in the store's float, as the movie's length
// is reckoned everywhere (205.4 s is 205400 ms, not 205399).
double msOfDuration(float duration, int timeFactor)
{
    return static_cast<double>(duration * static_cast<float>(timeFactor) * 1000.0f);
}

QString printfText(const char *format, ...) __attribute__((format(printf, 1, 2)));
QString printfText(const char *format, ...)
{
    char buffer[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return QString::fromLatin1(buffer);
}

} // namespace

RateEntry rateEntry(int index)
{
    if (index < 0 || index >= RATE_COUNT)
        return kRates[RATE_INDEX_NORMAL];
    return kRates[index];
}

int fasterRateIndex(int index)
{
    if (index >= RATE_INDEX_FASTEST)
        return RATE_INDEX_FASTEST;
    return std::max(index + 1, 0);
}

int slowerRateIndex(int index)
{
    if (index <= RATE_INDEX_SLOWEST)
        return index < 0 ? RATE_INDEX_SLOWEST : index;
    return std::min(index - 1, RATE_INDEX_FASTEST);
}

int frameStepFrames(float fps)
{
    if (!(fps > 0) || !std::isfinite(fps))
        fps = kDefaultFps;
    if (fps < 26)
        return 30;
    if (fps <= 30)
        return 20;
    return 40;
}

qint64 frameStepMs(float fps)
{
    if (!(fps > 0) || !std::isfinite(fps))
        fps = kDefaultFps;
    const qint64 frameMs = static_cast<qint64>(1000.0f / fps);
    return frameMs * frameStepFrames(fps);
}

qint64 movieLengthMs(float duration, int timeFactor, qint64 playerDurationMs)
{
    if (duration > 0)
        return toInt64(msOfDuration(duration, timeFactor));
    return std::max<qint64>(playerDurationMs, 0) * timeFactor;
}

std::optional<qint64> movieStartMs(qint64 modifiedMs, float duration, int timeFactor, qint64 playerDurationMs,
                                   bool playing)
{
    if (duration >= 0)
        return modifiedMs - toInt64(msOfDuration(duration, timeFactor));
    if (playing)
        return modifiedMs - std::max<qint64>(playerDurationMs, 0) * timeFactor;
    return std::nullopt;
}

qint64 totalTimeOffsetSec(const MovieBlock &block, qint64 startMs, int timeBias)
{
    if (block.numPoints <= 0 || block.gpsTime[0] == NO_TIME)
        return timeBias;
    return static_cast<qint64>(block.gpsTime[0]) - floorDiv(startMs, 1000) + timeBias;
}

TickTimes computeTickTimes(const TickInput &in)
{
    TickTimes out;
    qint64 p = in.positionMs;
    if (p > MAX_PLAYER_POSITION_MS || p < 0)
        p = 0;
    p *= in.timeFactor;
    if (in.fastTick)
        p += toInt64(in.rate * 33.33);
    out.positionMs = p;
    out.lengthMs = movieLengthMs(in.duration, in.timeFactor, in.playerDurationMs);
    out.instantMs = in.modifiedMs - out.lengthMs + p + in.totalOffsetSec * 1000;
    out.instantSec = floorDiv(out.instantMs, 1000);
    return out;
}

std::optional<qint64> pointSeekMs(const MovieBlock &m, int point, qint64 modifiedMs, int timeBias,
                                  qint64 playerDurationMs)
{
    if (point < 0 || point >= std::clamp(m.numPoints, 0, MAX_POINTS) || m.gpsTime[point] == NO_TIME)
        return std::nullopt;
    const int factor = std::max(m.timeFactor, 1);
    const std::optional<qint64> start = movieStartMs(modifiedMs, m.duration, factor, playerDurationMs,
                                                     playerDurationMs > 0);
    if (!start)
        return std::nullopt;
    const qint64 lengthMs = movieLengthMs(m.duration, factor, playerDurationMs);
    // The instant at player position 0, as computeTickTimes reckons it.
    const qint64 baseMs = modifiedMs - lengthMs + totalTimeOffsetSec(m, *start, timeBias) * 1000;
    const qint64 scaledMs = static_cast<qint64>(m.gpsTime[point]) * 1000 - baseMs;
    // The tick multiplies the position by the time factor: round up so the
    // instant is not short of the point's second.
    qint64 positionMs = scaledMs <= 0 ? 0 : (scaledMs + factor - 1) / factor;
    if (lengthMs > 0)
        positionMs = std::min(positionMs, lengthMs / factor);
    return positionMs;
}

int lookUpPoint(const TrackStore &t, int blockIndex, qint64 instantSec, CurrentSample *sample)
{
    if (blockIndex < 0 || blockIndex >= MAX_BLOCKS)
        return -1;
    double d = 0;
    for (int b = 0; b < blockIndex; ++b)
        d += t.block[b].totalDist;
    const MovieBlock &m = t.block[blockIndex];
    const int n = std::clamp(m.numPoints, 0, MAX_POINTS);
    for (int i = 0; i < n; ++i) {
        d += m.segDist[i];
        const uint32_t time = m.gpsTime[i];
        if (time == NO_TIME || static_cast<qint64>(time) < instantSec)
            continue;
        if (sample) {
            sample->latitude = m.lat[i];
            sample->longitude = m.lon[i];
            sample->speedKmh = m.speed[i];
            sample->bearing = m.bearing[i];
            sample->altitudeM = m.altitude[i];
            sample->sats = m.sats[i];
            sample->travelledKm = d;
            sample->losKm = m.los[i];
            sample->hasAltitude = m.hasAltitude;
            sample->hasSats = m.hasSats;
        }
        return i;
    }
    return -1;
}

TickInput tickInputOf(const MovieBlock &block, const PlaybackMoment &m)
{
    TickInput in;
    in.positionMs = m.positionMs;
    in.modifiedMs = m.modifiedMs;
    in.duration = block.duration;
    in.timeFactor = block.timeFactor;
    in.playerDurationMs = m.playerDurationMs;
    in.totalOffsetSec = m.totalOffsetSec;
    return in;
}

MomentPoint lookUpMoment(const TrackStore &t, const PlaybackMoment &m)
{
    MomentPoint out;
    if (m.block < 0 || m.block >= MAX_BLOCKS)
        return out;
    out.times = computeTickTimes(tickInputOf(t.block[m.block], m));
    out.point = lookUpPoint(t, m.block, out.times.instantSec, &out.sample);
    return out;
}

std::optional<PlaybackMoment> blockMoment(const TrackStore &t, int block, qint64 positionMs, int timeBias)
{
    if (block < 0 || block >= std::clamp(t.numBlocks, 0, MAX_BLOCKS))
        return std::nullopt;
    const MovieBlock &b = t.block[block];
    PlaybackMoment m;
    m.block = block;
    m.positionMs = positionMs;
    m.modifiedMs = b.movieFile.lastModified().toMSecsSinceEpoch();
    // Without a known duration the movie starts at its file time, as the
    // player would reckon it before it reports a length.
    const qint64 start = movieStartMs(m.modifiedMs, b.duration, b.timeFactor, 0, false).value_or(m.modifiedMs);
    m.totalOffsetSec = totalTimeOffsetSec(b, start, timeBias);
    return m;
}

bool blockHasTelemetry(const MovieBlock &block)
{
    const int n = std::clamp(block.numPoints, 0, MAX_POINTS);
    for (int i = 0; i < n; ++i) {
        if (block.gpsTime[i] != NO_TIME)
            return true;
    }
    return false;
}

qint64 displayTimeMs(qint64 instantMs, qint64 totalOffsetSec, int clockBias)
{
    return instantMs - totalOffsetSec * 1000 + static_cast<qint64>(clockBias) * 1000;
}

QString clockText(qint64 seconds)
{
    if (seconds < 0)
        seconds = 0;
    return printfText("%02lld:%02lld", static_cast<long long>(seconds / 60), static_cast<long long>(seconds % 60));
}

QString durationLabelText(qint64 positionMs, qint64 lengthMs)
{
    return clockText(positionMs / 1000) + QStringLiteral(" of ") + clockText(lengthMs / 1000);
}

QString speedLabelText(float speedKmh, const SettingsRecord &s)
{
    return printfText("%.0f %s", static_cast<double>(speedKmh) * s.speedFactor,
                      speedUnitName(s.speedUnitIndex).toLatin1().constData());
}

QString movieCounterText(int mBlock, int playCount)
{
    return QStringLiteral("%1 of %2 movies").arg(mBlock + 1).arg(playCount);
}

qint64 skipTargetMs(float skipSec, float duration)
{
    const double skipMs = static_cast<double>(skipSec) * 1000.0;
    if (!std::isfinite(skipMs) || skipMs > static_cast<double>(duration) * 1000.0 || skipMs < 0)
        return 0;
    return toInt64(skipMs);
}

qint64 topSpeedJumpMs(const MovieBlock &block, int point)
{
    if (point <= 0 || point >= std::min(block.numPoints, MAX_POINTS))
        return 0;
    if (block.gpsTime[point] == NO_TIME || block.gpsTime[0] == NO_TIME)
        return 0;
    const qint64 delta = static_cast<qint64>(block.gpsTime[point]) - static_cast<qint64>(block.gpsTime[0]);
    return delta > 0 ? (delta - 1) * 1000 : 0;
}

int sliderValueForClick(int minimum, int maximum, int x, int width)
{
    if (width <= 0 || maximum < minimum)
        return minimum;
    const double v = std::floor(static_cast<double>(maximum - minimum) * x / width + minimum + 0.5);
    return static_cast<int>(std::clamp(v, static_cast<double>(minimum), static_cast<double>(maximum)));
}

QString vmaxEntryText(float peakSpeedKmh, const SettingsRecord &s)
{
    qint64 v = toInt64(static_cast<double>(peakSpeedKmh) * s.speedFactor);
    if (v < 0)
        v = 0;
    return printfText("Vmax (%lld %s)", static_cast<long long>(v),
                      speedUnitName(s.speedUnitIndex).toLatin1().constData());
}

QString lengthEntryText(float duration)
{
    qint64 whole = toInt64(duration);
    if (whole < 0)
        whole = 0;
    return printfText(" [%02lld:%02lld]", static_cast<long long>(whole / 60), static_cast<long long>(whole % 60));
}

QString dateEntryText(const QDateTime &modified, float duration, int clockBias, int timeFormat)
{
    if (!(duration > 0) || !modified.isValid())
        return QString();
    const QDateTime start = modified.addMSecs(-toInt64(msOfDuration(duration, 1)))
                                .addSecs(clockBias);
    const QString format = timeFormat == 0 ? QStringLiteral("ddd MMM d yyyy h:mm:ss AP")
                                           : QStringLiteral("ddd MMM d yyyy hh:mm:ss");
    return QStringLiteral(" [") + QLocale().toString(start, format) + QLatin1Char(']');
}

QString movieEntryText(const MovieBlock &block, const SettingsRecord &s)
{
    return block.movieFile.fileName()
           + dateEntryText(block.movieFile.lastModified(), block.duration, s.clockBias, s.timeFormat)
           + lengthEntryText(block.duration);
}

QStringList jumpToEntries(const TrackStore &t, const SettingsRecord &s)
{
    QStringList entries{vmaxEntryText(t.stats.peakSpeed, s)};
    for (int b = 0; b < std::clamp(t.numBlocks, 0, MAX_BLOCKS); ++b) {
        if (t.block[b].active)
            entries << movieEntryText(t.block[b], s);
    }
    return entries;
}

QString movieCountText(int playCount)
{
    return playCount == 1 ? QStringLiteral("1 Movie") : QStringLiteral("%1 Movies").arg(playCount);
}

QString totalLengthText(const TrackStore &t)
{
    double seconds = 0;
    for (int b = 0; b < std::clamp(t.numBlocks, 0, MAX_BLOCKS); ++b) {
        if (t.block[b].active && t.block[b].duration > 0)
            seconds += t.block[b].duration;
    }
    const qint64 whole = toInt64(seconds);
    return printfText("%02lld:%02lld:%02lld", static_cast<long long>(whole / 3600),
                      static_cast<long long>(whole / 60 % 60), static_cast<long long>(whole % 60));
}

QString fileInfoText(qint64 sizeBytes, float fps, int width, int height)
{
    const double mb = static_cast<double>(sizeBytes / 1024) / 1000.0;
    return printfText("%0.2f MB, %.0f fps, %dx%d", mb, static_cast<double>(fps), width, height);
}

QString rowVmaxText(double vmaxKmh, const SettingsRecord &s)
{
    return printfText("%-3.0lf%s", vmaxKmh * s.speedFactor, speedUnitName(s.speedUnitIndex).toLatin1().constData());
}

QString rowDurationText(float duration)
{
    const qint64 whole = std::max<qint64>(toInt64(duration), 0);
    return printfText("%02lld:%02lld", static_cast<long long>(whole / 60), static_cast<long long>(whole % 60));
}

QString rowSizeText(qint64 sizeBytes)
{
    return printfText("%.2f MB ", static_cast<double>(sizeBytes) / 1024000.0);
}

QRect fitVideoRect(const QSize &container, int frameWidth, int frameHeight, bool keepAspect)
{
    if (!keepAspect || frameWidth <= 0 || frameHeight <= 0)
        return QRect(0, 0, container.width(), container.height());
    const int width = static_cast<int>(static_cast<qint64>(container.height()) * frameWidth / frameHeight);
    return QRect((container.width() - width) / 2, 0, width, container.height());
}

std::optional<QRect> zoomVideoRect(const QRect &container, const QRect &video, VideoMove move)
{
    const double w = video.width();
    const double h = video.height();
    if (w <= 0 || h <= 0)
        return std::nullopt;
    double W = w;
    if (move == VideoMove::ZoomIn)
        W = w * ZOOM_STEP;
    else if (move == VideoMove::ZoomOut)
        W = w / ZOOM_STEP;
    const double cx = container.x() + container.width() / 2.0;
    const double cy = container.y() + container.height() / 2.0;
    double cx2 = cx;
    double cy2 = cy;
    switch (move) {
    case VideoMove::Up: cy2 -= MOVE_STEP_PX; break;
    case VideoMove::Down: cy2 += MOVE_STEP_PX; break;
    case VideoMove::Left: cx2 -= MOVE_STEP_PX; break;
    case VideoMove::Right: cx2 += MOVE_STEP_PX; break;
    default: break;
    }
    if (W < MIN_ZOOM_WIDTH)
        return std::nullopt;
    const double H = h * W / w;
    // A picture this large is no longer a picture; the widget sizes are ints.
    if (W > 1.0e6 || H > 1.0e6)
        return std::nullopt;
    const double x = cx2 - ((cx - video.x()) / w) * W;
    const double y = cy2 - ((cy - video.y()) / h) * H;
    return QRect(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)), static_cast<int>(std::lround(W)),
                 static_cast<int>(std::lround(H)));
}

} // namespace vx
