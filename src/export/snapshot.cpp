#include "snapshot.h"

#include "formatters.h"
#include "settings/appdirs.h"
#include "track/mediatool.h"

#include <QFile>
#include <QStandardPaths>

#include <cmath>

namespace vx {

namespace {

QString lastLines(const QString &path, int count)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    const qint64 keep = 4096;
    if (f.size() > keep)
        f.seek(f.size() - keep);
    QStringList lines = QString::fromLocal8Bit(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (lines.size() > count)
        lines = lines.mid(lines.size() - count);
    return lines.join(QLatin1Char('\n')).trimmed();
}

} // namespace

bool snapshotIsJpeg(int imageType) { return imageType == 1; }

QString snapshotExtension(int imageType)
{
    return snapshotIsJpeg(imageType) ? QStringLiteral("jpg") : QStringLiteral("png");
}

QString snapshotFormatWord(int imageType)
{
    return snapshotIsJpeg(imageType) ? QStringLiteral("JPG") : QStringLiteral("PNG");
}

QString snapshotFileName(const QString &movieFileName, double lat, double lon, qint64 positionMs,
                         const QString &extension)
{
    const qint64 p = std::max<qint64>(positionMs, 0);
    const long minutes = static_cast<long>(p / 60000);
    // The rest of the minute in seconds, reckoned in single precision.
    const float seconds = static_cast<float>(p - static_cast<qint64>(minutes) * 60000) / 1000.0f;
    return movieFileName + QLatin1Char('_')
         + QString::fromLatin1(cFormat("%lf,%lf@%ldm%.2lfs.", lat, lon, minutes, static_cast<double>(seconds)))
         + extension;
}

QString snapshotNoteText(const QString &formatWord)
{
    return QStringLiteral("Note: %1 files are saved to desktop.").arg(formatWord);
}

QString snapshotWriteErrorText(const QString &formatWord, const QString &path)
{
    return QStringLiteral("File error. Could not write %1: ").arg(formatWord) + path;
}

QString snapshotComment() { return QStringLiteral("Created by Volantix"); }

SnapshotPosition snapshotPosition(const TrackStore &t, const PlaybackMoment &moment)
{
    SnapshotPosition out;
    const MomentPoint found = lookUpMoment(t, moment);
    out.positionMs = found.times.positionMs;
    if (found.point < 0)
        return out;
    out.lat = found.sample.latitude;
    out.lon = found.sample.longitude;
    if (found.sample.hasAltitude && !t.relativeAltitude && std::isfinite(found.sample.altitudeM))
        out.altitudeM = found.sample.altitudeM;
    return out;
}

QString addexifPath()
{
    const QString local = applicationDir() + QStringLiteral("/addexif");
    if (QFile::exists(local))
        return local;
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("addexif"));
    return onPath.isEmpty() ? local : onPath;
}

QStringList addexifArguments(const QString &source, const QString &destination, const QString &comment,
                             const SnapshotPosition &position)
{
    QStringList args = {source, destination, comment};
    const bool hasPosition = position.lat && position.lon && std::isfinite(*position.lat)
                             && std::isfinite(*position.lon);
    if (hasPosition) {
        args << QString::fromLatin1(cFormat("%.7f", *position.lat))
             << QString::fromLatin1(cFormat("%.7f", *position.lon));
    } else {
        args << QString() << QString();
    }
    args << (hasPosition && position.altitudeM ? QString::fromLatin1(cFormat("%.2f", *position.altitudeM))
                                               : QString());
    return args;
}

AddexifResult runAddexif(QObject *parent, const QStringList &arguments, const QString &program, int timeLimitMs)
{
    AddexifResult r;
    ToolRun run;
    run.program = program.isEmpty() ? addexifPath() : program;
    run.arguments = arguments;
    run.logFile = mediaToolTempDir() + QStringLiteral("/addexif_log.txt");
    run.timeLimitMs = timeLimitMs;
    const MediaToolResult result = runTool(parent, run);
    switch (result.outcome) {
    case MediaToolOutcome::Finished:
        if (result.exitCode == 0) {
            r.ok = true;
            return r;
        }
        r.errorText = lastLines(run.logFile, 3);
        if (r.errorText.isEmpty())
            r.errorText = QStringLiteral("addexif ended with status %1.").arg(result.exitCode);
        return r;
    case MediaToolOutcome::Crashed: r.errorText = QStringLiteral("addexif stopped unexpectedly."); return r;
    case MediaToolOutcome::FailedToStart: r.errorText = QStringLiteral("Could not start %1.").arg(run.program); return r;
    case MediaToolOutcome::Busy: r.errorText = QStringLiteral("Another tool run is under way."); return r;
    case MediaToolOutcome::TimedOut:
        r.errorText = QStringLiteral("addexif did not finish within %1 seconds.").arg(timeLimitMs / 1000.0);
        return r;
    case MediaToolOutcome::Cancelled: r.errorText = QStringLiteral("addexif was stopped."); return r;
    }
    return r;
}

} // namespace vx
