// Track exports of the active movies: CSV (three coordinate layouts), GPX 1.0
// and KML 2.2. Each writes exactly the file at `path` (no dialog, no
// message): the menu commands (exportcommands.h) and the batch converter call
// them and show or print errorText when ok is false. Numbers are written in
// the C locale; text inserted into XML is escaped.
#pragma once

#include "exportfile.h"
#include "formatters.h"

#include <QString>

namespace vx {

ExportResult exportCsv(const QString &path);
// The combined GPX file: every active block's points in one track segment,
// the track named after the start time of block 0.
ExportResult exportGpx(const QString &path);
ExportResult exportKml(const QString &path);

// The per-movie GPX files offered after the combined one: for each active
// block with points, "<movie name up to its last dot>.gpx" in the directory
// of `combinedPath`, holding that block's points. A movie name without a dot
// ends the pass; a name that would overwrite the combined file is skipped.
// Every file is attempted; ok is false (errorText naming the first failed
// file) when any could not be written.
ExportResult exportGpxPerMovie(const QString &combinedPath);

// The GPX layout writer shared with the movie merge: the points of every
// active block from `firstBlock` to `lastBlock`, starting at `firstPoint` of
// the first block and ending before `endPoint` of the last; the track is named
// after the time of the range's first point.
ExportResult exportGpxRange(const QString &path, int firstBlock, int firstPoint, int lastBlock,
                            int endPoint);

} // namespace vx
