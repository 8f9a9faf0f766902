// GPS samples of GoPro GPMF payloads: which stream of a payload carries the
// position, how its elements become point values, and how payload timing
// gives each point its second.
//
// Streams read, the first present in a payload wins:
//  - "GPS5": latitude deg, longitude deg, altitude m, 2D speed m/s,
//    3D speed m/s (every GoPro with GPS up to HERO11).
//  - "GPRI", the Karma drone's "GPS RAW" (TYPE "JlllSSSSBB"): time s,
//    latitude deg, longitude deg, altitude m, two accuracies m, ground speed
//    m/s, course deg, fix, satellites.
//  - "GPS9" (HERO11 and later; HERO13 writes only this, TYPE "lllllllSS"):
//    latitude deg, longitude deg, altitude m, 2D speed m/s, 3D speed m/s,
//    days since 2000-01-01, seconds of that day, DOP, fix.
// Every element is divided by its "SCAL" divisor. The stored speed is the
// 3D speed (GPS5, GPS9) or the ground speed (GPRI), × 3.6 for km/h.
// Heights are above the WGS-84 ellipsoid and get the geoid correction,
// except where the stream gives heights above mean sea level already: a
// "GPSA" item "MSLV" in the stream's nest (HERO8 and later firmware), or the
// drone's GPRI record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vx {

class Mp4Source;

struct GpsSample {
    int32_t timeS = 0;  // whole seconds from the movie start
    double latDeg = 0;
    double lonDeg = 0;
    float speedKmh = 0;
    double altitudeM = 0;
};

// The reader's result: at most MAX_POINTS samples, one per whole second.
using GpsSamples = std::vector<GpsSample>;

// The geoid correction to add to an ellipsoid height (geoidCorrection of
// geoid.h, or a stand-in in tests).
using GeoidCorrectionFn = bool (*)(double latDeg, double lonDeg, double *correctionM);

enum class PayloadOutcome {
    Read,      // its GPS samples were taken (possibly none new)
    NoGps,     // no GPS stream in it
    Damaged,   // bad KLV structure or unreadable GPS item: skipped
    NoTiming,  // its sample times cannot be told: reading stops
    Full,      // MAX_POINTS samples stored: reading stops
};

// Adds the GPS samples of one payload that covers startS … endS seconds.
// Sample k of n has the time trunc(startS + k × (endS − startS) ÷ n); a
// sample whose second equals that of the last stored sample is skipped (the
// first sample of each second wins), as is one with a non-finite value.
PayloadOutcome appendPayloadSamples(const uint8_t *payload, size_t bytes, double startS, double endS,
                                    GpsSamples &samples, GeoidCorrectionFn geoid);

struct GpsReadStats {
    uint32_t payloadsRead = 0;
    uint32_t payloadsWithGps = 0;
    uint32_t payloadsDamaged = 0;
};

// Reads the payloads of `source` in order until one cannot be read or has no
// timing, or MAX_POINTS samples are stored. Nothing when the metadata length
// is not above 0.
GpsReadStats readGpsSamples(Mp4Source &source, GpsSamples &samples, GeoidCorrectionFn geoid);

} // namespace vx
