// GPS samples of GPMF payloads (stream choice and conversion in gpmfgps.h).
#include "gpmfgps.h"

#include "gpmfstream.h"
#include "mp4source.h"
#include "trackstore.h"

#include <algorithm>
#include <cmath>

namespace vx {

namespace {

// Where a stream keeps the values a point needs.
struct GpsLayout {
    uint32_t key;
    int lat, lon, alt, speed;
    bool heightAboveSeaLevel;  // heights need no geoid correction
};

constexpr GpsLayout kLayouts[] = {
    {fourCC("GPS5"), 0, 1, 2, 4, false},
    // The drone's record of its GPS receiver: heights above mean sea level.
    {fourCC("GPRI"), 1, 2, 3, 6, true},
    {fourCC("GPS9"), 0, 1, 2, 4, false},
};

// A "GPSA" item of "MSLV" in the stream's nest: heights above mean sea level.
bool declaresSeaLevelHeights(const GpmfStream &item)
{
    GpmfStream a = item;
    if (!a.findPrevious(fourCC("GPSA"), GpmfStream::CurrentLevel)) {
        a = item;
        if (!a.findNext(fourCC("GPSA"), GpmfStream::CurrentLevel))
            return false;
    }
    const uint8_t *d = a.rawData();
    if (!d || a.rawDataBytes() < 4)
        return false;
    const uint32_t v = uint32_t(d[0]) << 24 | uint32_t(d[1]) << 16 | uint32_t(d[2]) << 8 | uint32_t(d[3]);
    return v == fourCC("MSLV");
}

} // namespace

PayloadOutcome appendPayloadSamples(const uint8_t *payload, size_t bytes, double startS, double endS,
                                    GpsSamples &samples, GeoidCorrectionFn geoid)
{
    if (samples.size() >= size_t(MAX_POINTS))
        return PayloadOutcome::Full;
    GpmfStream stream;
    if (!stream.init(payload, bytes))
        return PayloadOutcome::Damaged;

    const GpsLayout *layout = nullptr;
    GpmfStream item;
    for (const GpsLayout &l : kLayouts) {
        item = stream;
        if (item.findNext(l.key, GpmfStream::AllLevels)) {
            layout = &l;
            break;
        }
    }
    if (!layout) {
        // Tell a payload without GPS from one whose structure is broken.
        GpmfStream walk = stream;
        while (walk.next())
            ;
        return walk.structureBad() ? PayloadOutcome::Damaged : PayloadOutcome::NoGps;
    }

    const uint32_t n = item.repeat();
    const int elements = item.elementsInStruct();
    const int needed = std::max(std::max(layout->lat, layout->lon), std::max(layout->alt, layout->speed)) + 1;
    if (elements < needed || !item.rawData())
        return PayloadOutcome::Damaged;
    if (n == 0)
        return PayloadOutcome::Read;
    if (!std::isfinite(startS) || !std::isfinite(endS))
        return PayloadOutcome::NoTiming;
    const bool seaLevel = layout->heightAboveSeaLevel || declaresSeaLevelHeights(item);

    double v[GpmfStream::MAX_ELEMENTS];
    for (uint32_t k = 0; k < n; ++k) {
        const double t = std::trunc(startS + k * (endS - startS) / n);
        if (!(t >= 0 && t <= 2147483647.0))
            return PayloadOutcome::NoTiming;
        const int32_t second = int32_t(t);
        if (!samples.empty() && samples.back().timeS == second)
            continue;  // one point per whole second: the first sample wins
        if (!item.scaledData(v, size_t(elements), k, 1))
            return PayloadOutcome::Damaged;
        GpsSample s;
        s.timeS = second;
        s.latDeg = v[layout->lat];
        s.lonDeg = v[layout->lon];
        s.altitudeM = v[layout->alt];
        s.speedKmh = float(v[layout->speed] * 3.6);
        if (!std::isfinite(s.latDeg) || !std::isfinite(s.lonDeg) || !std::isfinite(s.altitudeM)
            || !std::isfinite(s.speedKmh))
            continue;
        double correctionM = 0;
        if (!seaLevel && geoid && geoid(s.latDeg, s.lonDeg, &correctionM))
            s.altitudeM += correctionM;
        samples.push_back(s);
        if (samples.size() >= size_t(MAX_POINTS))
            return PayloadOutcome::Full;
    }
    return PayloadOutcome::Read;
}

GpsReadStats readGpsSamples(Mp4Source &source, GpsSamples &samples, GeoidCorrectionFn geoid)
{
    GpsReadStats stats;
    if (!(source.metadataLengthS() > 0))
        return stats;
    samples.reserve(size_t(MAX_POINTS));
    std::vector<uint8_t> buffer;
    for (uint32_t i = 0; i < source.payloadCount(); ++i) {
        double startS = 0, endS = 0;
        if (!source.payloadTime(i, &startS, &endS) || !source.readPayload(i, buffer))
            break;
        ++stats.payloadsRead;
        const PayloadOutcome outcome =
            appendPayloadSamples(buffer.data(), buffer.size(), startS, endS, samples, geoid);
        if (outcome == PayloadOutcome::Read || outcome == PayloadOutcome::Full)
            ++stats.payloadsWithGps;
        else if (outcome == PayloadOutcome::Damaged)
            ++stats.payloadsDamaged;
        if (outcome == PayloadOutcome::Full || outcome == PayloadOutcome::NoTiming)
            break;
    }
    return stats;
}

} // namespace vx
