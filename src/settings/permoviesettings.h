// The per-movie settings file: the display settings that suit one movie
// (units, coordinate format, graph axes, time corrections, volume) in a small
// text file beside it, "<movie path without its extension>_settings.vlx", or,
// when no movie is loaded, "default_settings.vlx" in the user's documents
// folder, which is applied to every movie before the movie's own file.
//
// Format: one setting per line, "<name> <value>\n", a single space between
// them. The writer emits 30 lines in a fixed order; the reader knows 41 names
// (some read but never written, some only skipped). Numbers are written and
// read in the C locale: reals with one decimal ("%.1f", so 0.75 reads back as
// 0.8), integers in base 10; words come from the unit and format lists of the
// settings record.
//
// Reading is careful with what it meets: only a regular file of at most
// PER_MOVIE_FILE_MAX_BYTES is read (a pipe never blocks the program); each
// line is taken up to its first NUL, without "\r" or "\n"; a line that is not
// exactly "<known name> <value>" is skipped; a value that is not a number,
// not finite or not in its word list leaves its setting as it was; what is
// read gets the preferences' clamps (graph ranges through the range check).
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <optional>

namespace vx {

struct SettingsRecord;

constexpr qint64 PER_MOVIE_FILE_MAX_BYTES = 64 * 1024;
// The revision this program writes; a file of a later one is read with a warning.
constexpr int PER_MOVIE_REVISION = 1;

enum class SettingsFileKind { Default, Movie };

// The movie's settings file: the movie's path with the extension of its file
// name removed ("clip.MOV" -> "clip_settings.vlx"; a dot in a folder name is
// not an extension), beside the movie.
QString movieSettingsPath(const QString &moviePath);
// "<documents folder>/default_settings.vlx".
QString defaultSettingsPath();

// The 30 lines. `totalOffsetSec` is the total time offset written as
// "timeZoneOffset": the start difference of the current movie plus timeBias
// (timeBias alone when no movie is loaded).
QByteArray perMovieSettingsText(const SettingsRecord &s, qint64 totalOffsetSec);

// Writes the file through a temporary file renamed into place; the folder of
// the default file is created first. An existing target that is not a regular
// file is refused. On failure the text to show is returned.
std::optional<QString> savePerMovieSettings(const QString &path, const SettingsRecord &s, qint64 totalOffsetSec);

struct PerMovieLoad {
    bool read = false;                // the file was there and was read
    bool newerRevision = false;       // "revision" was 2 or more
    std::optional<bool> syncWindows;  // a "sync_windows" line: applied by the window code
};

// How a loaded "timeZoneOffset" (a total offset) becomes timeBias: timeBias =
// the value - the start difference of the movie it is loaded for. The
// default file is written with no movie loaded, so its start difference is
// 0. Without a known start difference the line changes nothing.
struct PerMovieContext {
    std::optional<qint64> startDifferenceSec = 0;
};

// Applies the lines of `text` to `s` (factors recomputed).
PerMovieLoad applyPerMovieSettings(const QByteArray &text, SettingsRecord &s, const PerMovieContext &context);
// Reads and applies the file; `read` false (and nothing changed) when it is
// missing, not a regular file, too large or unreadable.
PerMovieLoad loadPerMovieSettings(const QString &path, SettingsRecord &s, const PerMovieContext &context);

// ---- texts -----------------------------------------------------------------------------
QString perMovieWriteErrorText(const QString &path);
QString perMovieNotFoundText(const QString &path);
QString perMovieDeleteQuestion(SettingsFileKind kind);
QString perMovieRemoveErrorText(const QString &path);
QString perMovieNewerRevisionText();
// The indicator's tool tip: save or delete, for this movie or the default.
QString perMovieIndicatorToolTip(bool present, bool moviesLoaded);
QString perMovieIndicatorIcon(bool present);

} // namespace vx
