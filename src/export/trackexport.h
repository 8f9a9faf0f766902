// Track exports of the active movies: CSV (three coordinate layouts), GPX 1.0
// and KML 2.2. Each writes exactly the file at `path` (no dialog, no
// message): the menu commands (exportcommands.h) and the batch converter call
// them and show or print errorText when ok is false. Numbers are written in
// the C locale; text inserted into XML is escaped.
//
// Every export comes in two forms: exportCsv(path) and its kin read the
// process-wide store, settings and geotags and write at once; writeCsv(source,
// path, progress) and its kin write from an ExportSource taken beforehand, so
// that the writing can run on another thread while the windows go on.
#pragma once

#include "exportfile.h"
#include "formatters.h"

#include <QByteArray>
#include <QString>
#include <QVector>
#include <cstdint>

namespace vx {

struct TrackStore;

// Everything an export reads besides the per-point arrays, copied from the
// store, the settings and the geotag list on the GUI thread. The point arrays
// are read in place from `store`: it must not change until the export ends
// (the window holds it with a TrackStoreHold).
struct ExportSource {
    struct Movie {
        bool active = false;
        int points = 0;  // 0 .. MAX_POINTS
        bool hasAltitude = false;
        bool hasSats = false;
        QString fileName;     // the movie's name without its folder
        QByteArray nameUtf8;  // CSV
        QByteArray nameXml;   // GPX and KML, escaped
    };
    struct Tag {
        QByteArray titleXml;
        double lat = 0, lon = 0;
        bool movieAvailable = false;
        bool hasPosition = true;  // false: taken where its movie had no telemetry
    };

    const TrackStore *store = nullptr;
    QVector<Movie> movies;  // blocks 0 .. numBlocks - 1
    int datumFormat = 0;    // 0, 1 or 2
    double speedFactor = 1, distFactor = 1, altFactor = 1;
    float localTimeOffset = 0;  // hours
    QByteArray speedUnit, distUnit, altUnit;  // UTF-8
    bool relativeAltitude = false;
    // The KML view: the first and the last played movie that hold points (-1: none).
    int viewFirst = -1, viewLast = -1;
    QVector<Tag> tags;

    // Points the active movies hold: the work of one CSV, GPX or KML file.
    int64_t activePoints() const;
};

// From the process-wide store, settings and geotag list.
ExportSource exportSource();

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

// The same from a source; `progress` may be null.
ExportResult writeCsv(const ExportSource &source, const QString &path, ExportProgress *progress);
ExportResult writeGpx(const ExportSource &source, const QString &path, ExportProgress *progress);
ExportResult writeKml(const ExportSource &source, const QString &path, ExportProgress *progress);
ExportResult writeGpxPerMovie(const ExportSource &source, const QString &combinedPath, ExportProgress *progress);
ExportResult writeGpxRange(const ExportSource &source, const QString &path, int firstBlock, int firstPoint,
                           int lastBlock, int endPoint, ExportProgress *progress);

} // namespace vx
