// GPX track import into one MovieBlock (the sidecar <movie name>.gpx).
#pragma once

#include <QString>
#include <cstdint>

class QIODevice;

namespace vx {

struct GpxImportResult {
    bool ok = false;
    // Non-empty when the caller must show a warning; the window shows it with
    // the title "Error" (an empty track name gives "Name is empty.").
    QString warning;
};

// Reads the track points of the GPX file at `path` into block `block`.
// False, with the block untouched, when the file is missing, unreadable,
// larger than GPX_MAX_FILE_BYTES or not well-formed XML. An empty track name
// stops the import: false with the warning "Name is empty.", the points of
// the tracks before it kept. True otherwise; the block's telemetryFile is
// then the path.
GpxImportResult importGpxTrack(int block, const QString &path);

// The same over an open, readable device (tests, the fuzz target); the
// block's telemetryFile is left alone.
GpxImportResult importGpxTrack(int block, QIODevice &device);

// Larger files are refused: a GPX beside a movie holds about one point a
// second of the movie, a few megabytes at most.
constexpr qint64 GPX_MAX_FILE_BYTES = 128LL * 1024 * 1024;

// "Name is empty."
QString gpxEmptyNameWarning();

// Seconds since 1970-01-01 UTC of a GPX time text "yyyy-MM-ddThh:mm:ssZ";
// also taken: surrounding white space, a fraction of a second (dropped), a
// "+hh:mm"/"-hh:mm" zone offset or no zone (UTC). False for anything else and
// for instants outside the Track store's time range.
bool parseGpxTime(const QString &text, uint32_t *seconds);

} // namespace vx
