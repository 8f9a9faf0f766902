// Telemetry source selection: for each movie of a load, the first source
// that applies is read into its block:
//
//   1. <load folder>/<movie name>.gpx            GPX track import
//   2. <movie folder>/<movie name>.srt           sidecar subtitles
//   3. <movie folder>/<movie name>.csv           flight log
//   4. GoPro movies (the load's first movie holds "HERO" in its first
//      megabyte, or this movie has a GPMF metadata track)
//   5. otherwise the movie's subtitle stream 2, copied out by the media tool
//      to <temporary directory>/<movie name>.nmea.srt and read from there.
//
// Sidecar names are compared ignoring case, as the desktop file systems do,
// so DJI_0001.MOV finds DJI_0001.SRT and dji_0001.srt alike.
#pragma once

#include <QByteArray>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class QObject;

namespace vx {

class LoadObserver;

// Byte offset of the first occurrence of `needle` in the file, or 0 when it
// is not found (or the file cannot be read). The file is searched in passes
// of about a megabyte; no further pass starts beyond `limit` bytes.
qint64 findInFile(const QString &path, const QByteArray &needle, qint64 limit);

// Looks up file names in folders ignoring case. Each folder is listed once;
// an entry spelled exactly as asked is preferred over one differing in case.
class FolderIndex {
public:
    // The path of the regular file in `folder` named `fileName` ignoring
    // case, or an empty string.
    QString find(const QString &folder, const QString &fileName);

private:
    QHash<QString, QHash<QString, QStringList>> m_folders;  // folder -> folded name -> names
};

// Where the subtitle stream of `movie` is copied to: the temporary directory
// and the movie's file name with ".MP4" and ".MOV" replaced by ".nmea.srt";
// a name those leave unchanged (a lower-case ".mp4", ".avi") has its
// extension replaced, so the output is never a second copy of the movie's name.
QString subtitleExtractionPath(const QFileInfo &movie);

enum class ExtractOutcome {
    Finished,     // the tool ran; the output exists when the stream did
    ToolMissing,  // show mediaToolMissingText()
    Busy,         // another media-tool run is under way; nothing was run
};

// Copies subtitle stream `stream` of `movie` to text at *out. Any older
// output of that name is removed first, so a stale file of an earlier movie
// can never be read as this movie's telemetry.
ExtractOutcome extractSubtitles(QObject *parent, const QFileInfo &movie, int stream, QString *out);

// Fills blocks 0 .. n - 1 (n = min(movies, MAX_BLOCKS)) from their sources,
// reporting progress and warnings to `observer` (never null here), and
// sets numBlocks = n. The playlist is rebuilt from the n movies first.
void loadTelemetry(const QList<QFileInfo> &movies, const QString &loadFolder, LoadObserver *observer);

} // namespace vx
