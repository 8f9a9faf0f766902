// The geotag text file (export and import) and the geotag store that keeps
// the list between runs.
//
// Text file: tab-separated, one header line naming the columns (the speed
// column as "Speed (mph)", "Speed (km/h)" or "Speed (m/s)"), then one line
// per tag in one of three layouts by the coordinate format: 11 columns with
// decimal degrees, 13 with degrees and minutes, 15 with degrees, minutes and
// seconds:
//   ID, title, date, time, movie file name, movie point (s), speed,
//   coordinates, movie duration (s), milliseconds since 1970.
#pragma once

#include "exportfile.h"
#include "geotags.h"

#include <QByteArray>
#include <QString>
#include <QVector>

namespace vx {

struct SettingsRecord;

// The whole text of an export of `tags` (list order) with the coordinate
// format and units of `s`. Numbers in the C locale; tabs and line ends in
// titles and movie names become blanks so that every tag stays one line.
QByteArray geotagFileText(const GeotagList &tags, const SettingsRecord &s);
// Writes the process-wide list to `path` with the current settings.
ExportResult exportGeotags(const QString &path);

// What an import read.
struct GeotagImport {
    QVector<Geotag> tags;        // at most MAX_GEOTAGS, in file order
    int skippedLines = 0;        // lines after the header that are no tag
};

// Reads the text of a geotag file. A line is a tag when it has exactly 11,
// 13 or 15 tab-separated columns of the right kind (whole-number ID and
// milliseconds, non-empty texts, decimal numbers such as "-12", ".5" or
// "3.25"); the layout is decided by the column count alone. The speed unit
// is taken from "(mph)" or "(m/s)" in the header lines before the first tag
// (km/h otherwise). A degree field written "-0" or "-00" keeps its sign.
// Positions beyond +-90 / +-180 degrees, minutes or seconds beyond 60 and
// numbers that do not fit are no tags. Each tag's movie is `movieDir` + "/"
// + its file name; nothing is looked up on disk.
GeotagImport parseGeotagText(const QByteArray &text, const QString &movieDir);

// The import of a file: read (at most 16 MiB) and parsed. ok false with the
// error text when the file cannot be read, is too large, or holds no tag at
// all (the caller then keeps its list).
struct GeotagFileRead {
    bool ok = false;
    QString errorText;
    GeotagImport import;
    QString missingMovie;        // expected path of the last tag movie that does not exist
};
GeotagFileRead readGeotagFile(const QString &path, const QString &movieDir);

// "One or more videos referenced in the geotag file was not found. ..."
// followed by the path.
QString geotagMissingMovieText(const QString &expectedPath);
// "No geotags were found in <path>."
QString geotagNothingImportedText(const QString &path);

// ---- the store between runs ----------------------------------------------------

// "<per-user data folder>/geotags.json".
QString geotagStorePath();
// The list as the store's JSON text, and back. parseGeotagStore skips
// records it cannot use and keeps at most MAX_GEOTAGS; ok is false when the
// text is not a geotag store at all.
QByteArray geotagStoreText(const GeotagList &tags);
QVector<Geotag> parseGeotagStore(const QByteArray &text, bool *ok = nullptr);
// Writes the process-wide list to `path` (the folder is created; the file
// replaced only when complete).
ExportResult saveGeotagStore(const QString &path);
// Fills the process-wide list from `path`. A missing file is an empty list;
// a file that is not a geotag store is moved aside to "<path>.damaged"
// (so that the next save does not destroy it) and the list stays empty.
bool restoreGeotagStore(const QString &path);

} // namespace vx
