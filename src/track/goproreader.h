// GoPro telemetry: the GPS stream of the GPMF metadata track ("meta" track
// with sample description "gpmd") inside an MP4 movie, one point per whole
// second of movie (layers: mp4source.h, gpmfstream.h, gpmfgps.h).
#pragma once

#include <QString>

namespace vx {

struct GoProReadResult {
    int pointsStored = 0;
    // The dashboard shows its arrow vehicle image for GoPro telemetry; the
    // window applies this (the core has no windows). Set once the movie's
    // GPMF track was found, whether or not it held positions.
    bool useArrowVehicle = false;
    // The movie has a "meta" track with a "gpmd" description.
    bool gpmfTrackFound = false;
    // Payloads read, and those skipped for a bad structure.
    int payloadsRead = 0;
    int payloadsDamaged = 0;
};

// Fills block `block` from the GPMF track of its movieFile: gpsTime (the
// file's last-modification time, read as local time, marks the last stored
// second), lat, lon, altitude (hasAltitude = true), speed (km/h), numPoints,
// and telemetryFile = the movie. Sats are not written. A movie without the
// track, or without positions, leaves the block as it was.
GoProReadResult readGoProTelemetry(int block);

// Whether the movie's own index has a "meta" track whose sample description
// is "gpmd" (only the index is read).
bool hasGpmfTrack(const QString &moviePath);

} // namespace vx
