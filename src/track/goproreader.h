// GoPro telemetry: the GPS stream of the GPMF metadata track ("meta" track
// with sample description "gpmd") inside an MP4 movie.
#pragma once

#include <QString>

namespace vx {

struct GoProReadResult {
    int pointsStored = 0;
    // The dashboard shows its arrow vehicle image for GoPro telemetry; the
    // window applies this (the core has no windows).
    bool useArrowVehicle = false;
};

// Fills block `block` from the GPMF track of its movieFile.
GoProReadResult readGoProTelemetry(int block);

// Whether the movie's own index has a "meta" track whose sample description
// is "gpmd" (only the index is read).
bool hasGpmfTrack(const QString &moviePath);

} // namespace vx
