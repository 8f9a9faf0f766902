// Where the clip export and the movie merge write, and how they make sure
// they never destroy anything: the output names, the check against the loaded
// movies and their telemetry files, and the movie being written under a
// temporary name in the target folder until it is complete.
#pragma once

#include <QString>
#include <QStringList>

namespace vx {

// ---- names ---------------------------------------------------------------------------
// "<movie name up to its last dot>_NNN.mov" in `directory`, with the first
// counter 000 ... 999 whose file does not exist; empty when all are taken
// (an existing clip is never replaced).
QString clipOutputPath(const QString &directory, const QString &movieFileName);
constexpr int CLIP_COUNTER_LIMIT = 999;

// The merged movie of a chosen path: the file name from its last "." on
// replaced by ".mov"; empty when the file name has no ".".
QString mergedMoviePath(const QString &chosenPath);
// The merged GPX file beside it: the same base with ".gpx".
QString mergedGpxPath(const QString &mergedMoviePath);
// The accelerated movie: the merged base with "_<rate label>.mov", such as
// "merged_dashcam_movies_4.0x.mov".
QString acceleratedMoviePath(const QString &mergedMoviePath, int rateIndex);

// ---- the loaded files ------------------------------------------------------------------
// Whether two paths may name one file: the same canonical path, the same file
// reached through a link (same device and inode), or names that differ only
// in letter case within one folder (FAT and exFAT cards see those as one file).
bool mayBeSameFile(const QString &a, const QString &b);
// The movies of every used block and the telemetry files read for them.
QStringList loadedSourceFiles();
// The first of `sources` that `path` may be, or an empty string.
QString clashingSource(const QString &path, const QStringList &sources);

// ---- writing ---------------------------------------------------------------------------
// A movie being made. create() makes a new, empty file under a temporary name
// in the target's folder ("<target base>.partial-XXXXXX<target extension>",
// so the tool still picks the format from the extension); that it can be
// made proves the folder writable. The tool writes the temporary file;
// commit() renames it to the target. Until then the target is untouched, and
// an output that is not committed is removed.
class PendingOutput {
public:
    explicit PendingOutput(const QString &targetPath);
    ~PendingOutput();
    PendingOutput(const PendingOutput &) = delete;
    PendingOutput &operator=(const PendingOutput &) = delete;

    bool create();
    QString tempPath() const { return m_temp; }
    QString targetPath() const { return m_target; }
    // replaceExisting false: fails when the target exists (it is never
    // replaced); true: an existing target is replaced in one step.
    bool commit(bool replaceExisting);
    void discard();

private:
    QString m_target;
    QString m_temp;
};

// The last `maxLines` non-empty lines of a log file (read from its last
// 16 KiB), joined by line feeds; empty when there is none.
QString logTail(const QString &logPath, int maxLines = 8);

} // namespace vx
