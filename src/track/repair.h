// The repair pass and the derived measures. After every load, once the
// readers have filled the Track store and the movies have been probed,
// repairTrack mends each block in place (UTC offset, times running
// backwards, impossible clock values, out-of-range speeds, zero positions,
// fewer points than the movie has seconds), records the last repair in each
// block's repairCode, and computes segDist, los, bearing, cumDist, totalDist
// and vmax, treating the loaded movies as one continuous flight in block
// order. computeTrackStats then sums up the active blocks.
#pragma once

#include <cstdint>

namespace vx {

// Times from 2010-01-01 00:00:00 UTC to 2033-05-18 03:33:20 UTC, both included.
constexpr uint32_t VALID_TIME_FIRST = 1262304000u;
constexpr uint32_t VALID_TIME_LAST = 2000000000u;
inline bool inValidTimeWindow(uint32_t t) { return t - VALID_TIME_FIRST < VALID_TIME_LAST - VALID_TIME_FIRST + 1; }

// Runs once per load over blocks 0 .. numBlocks - 1; running it twice would
// apply the UTC offset twice.
void repairTrack();

// TrackStats over the active blocks; after repairTrack and after every
// change of an `active` flag.
void computeTrackStats();

} // namespace vx
