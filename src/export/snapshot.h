// Snapshots of the movie picture: the image type, the file name that carries
// the movie, the GPS position and the playback position, the texts of the
// snapshot command, and writing the position into a JPEG with the addexif
// tool (a program of this project, shipped beside the application).
#pragma once

#include "track/playbackmath.h"

#include <QString>
#include <QStringList>

#include <optional>

class QObject;

namespace vx {

// imageType 1: "jpg" / "JPG"; any other value: "png" / "PNG".
QString snapshotExtension(int imageType);
QString snapshotFormatWord(int imageType);
bool snapshotIsJpeg(int imageType);

// "<movie file name>_<lat>,<lon>@<m>m<s.ss>s.<extension>" ("%lf" positions,
// whole minutes of the position, the rest in seconds with two decimals), for
// example clip.MOV_37.774900,-122.419400@1m23.45s.jpg. Numbers in the C
// locale.
QString snapshotFileName(const QString &movieFileName, double lat, double lon, qint64 positionMs,
                         const QString &extension);

// "Note: %1 files are saved to desktop."
QString snapshotNoteText(const QString &formatWord);
// "File error. Could not write %1: " followed by the path.
QString snapshotWriteErrorText(const QString &formatWord, const QString &path);
// The comment written into the image: "Created by Volantix".
QString snapshotComment();

// What the snapshot of a moment shows: the scaled player position (for the
// name), and the position of the tick's point, when there is one. The
// altitude is given only when it is known above sea level (the block carries
// altitude and it is not relative to the take-off).
struct SnapshotPosition {
    qint64 positionMs = 0;
    std::optional<double> lat, lon;
    std::optional<double> altitudeM;
};
SnapshotPosition snapshotPosition(const TrackStore &t, const PlaybackMoment &moment);

// ---- addexif ------------------------------------------------------------------

// <application directory>/addexif when it exists, else the addexif on PATH,
// else the application-directory path (which then does not exist).
QString addexifPath();

// SRC DST COMMENT LAT LON ALT: positions with seven decimals in the C locale;
// LAT and LON empty when there is no position (no GPS tags are written), ALT
// empty when the altitude is not known above sea level.
QStringList addexifArguments(const QString &source, const QString &destination, const QString &comment,
                             const SnapshotPosition &position);

struct AddexifResult {
    bool ok = false;
    QString errorText;  // why not, for a warning (the tool's last report lines)
};
// Runs `program` (addexifPath() when empty) with `arguments` through the
// tool runner: at most `timeLimitMs`, its standard error into a log in the
// run's private temporary folder. ok only for a normal exit with status 0.
AddexifResult runAddexif(QObject *parent, const QStringList &arguments, const QString &program = QString(),
                         int timeLimitMs = 20000);

} // namespace vx
