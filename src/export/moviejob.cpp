#include "moviejob.h"

#include "movieargs.h"
#include "movieoutput.h"
#include "track/movieprobe.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <limits>

namespace vx {

int movieJobTimeLimitMs(double expectedSeconds)
{
    const double seconds = std::isfinite(expectedSeconds) ? std::max(expectedSeconds, 0.0) : 0.0;
    const double ms = 120000.0 + seconds * 60000.0;
    return static_cast<int>(std::min(ms, static_cast<double>(std::numeric_limits<int>::max())));
}

MovieJobResult runMovieJob(QObject *parent, const MovieJob &job)
{
    MovieJobResult result;
    // The job's own token: the user's Cancel and the stall watch both end
    // the run through it, and each leaves its reason.
    ToolCancel stop;
    bool userCancelled = false;
    bool stalled = false;
    if (job.cancel) {
        if (job.cancel->isCancelled())
            userCancelled = true, stop.cancel();
        QObject::connect(job.cancel, &ToolCancel::cancelled, &stop, [&] {
            userCancelled = true;
            stop.cancel();
        });
    }
    QTimer stallTimer;
    stallTimer.setSingleShot(true);
    QObject::connect(&stallTimer, &QTimer::timeout, &stop, [&] {
        stalled = true;
        stop.cancel();
    });
    if (job.stallLimitMs > 0)
        stallTimer.start(job.stallLimitMs);

    ProgressReport report;
    ToolRun run;
    run.arguments = job.arguments;
    run.logFile = job.logFile;
    run.timeLimitMs = job.timeLimitMs > 0 ? job.timeLimitMs : movieJobTimeLimitMs(job.expectedSeconds);
    run.cancel = &stop;
    run.onOutputLine = [&](const QByteArray &line) {
        if (job.stallLimitMs > 0)
            stallTimer.start(job.stallLimitMs);
        if (report.feed(line) && job.onProgress)
            job.onProgress(progressFraction(report.outTimeUs(), job.expectedSeconds));
    };
    if (job.onProgress)
        job.onProgress(0.0);
    const MediaToolResult tool = runTool(parent, run);
    stallTimer.stop();

    switch (tool.outcome) {
    case MediaToolOutcome::Finished:
        if (tool.exitCode != 0)
            result.reason = QStringLiteral("ffmpeg ended with status %1.").arg(tool.exitCode);
        else if (QFileInfo(job.outputPath).size() <= 0)
            result.reason = QStringLiteral("ffmpeg wrote no movie.");
        else
            result.status = MovieJobStatus::Succeeded;
        break;
    case MediaToolOutcome::Crashed:
        result.reason = QStringLiteral("ffmpeg crashed or was killed.");
        break;
    case MediaToolOutcome::FailedToStart:
        result.reason = QStringLiteral("ffmpeg could not be started.");
        break;
    case MediaToolOutcome::Busy:
        result.reason = QStringLiteral("Another ffmpeg job is still running.");
        break;
    case MediaToolOutcome::TimedOut:
        result.reason = QStringLiteral("ffmpeg took far longer than expected and was stopped.");
        break;
    case MediaToolOutcome::Cancelled:
        if (userCancelled && !stalled)
            result.status = MovieJobStatus::Cancelled;
        else
            result.reason = QStringLiteral("ffmpeg stopped making progress and was stopped.");
        break;
    }
    if (result.status != MovieJobStatus::Succeeded) {
        if (!job.outputPath.isEmpty())
            QFile::remove(job.outputPath);
        if (result.status == MovieJobStatus::Failed)
            result.logTail = logTail(job.logFile);
    } else if (job.onProgress) {
        job.onProgress(1.0);
    }
    return result;
}

QString movieJobFailureText(const QString &headline, const MovieJobResult &result)
{
    QString text = headline + QStringLiteral("\n\n") + result.reason;
    if (!result.logTail.isEmpty())
        text += QStringLiteral("\n\nThe last lines of the ffmpeg report:\n\n") + result.logTail;
    return text;
}

double probeMovieSeconds(QObject *parent, const QString &path)
{
    if (QFileInfo(path).size() <= 0)
        return -1;
    ToolRun run;
    run.arguments = QStringList{QStringLiteral("-nostdin"), QStringLiteral("-hide_banner"), QStringLiteral("-i"), path};
    run.logFile = QDir(mediaToolTempDir()).filePath(QStringLiteral("check_log.txt"));
    run.timeLimitMs = 60000;
    const MediaToolResult r = runTool(parent, run);
    if (r.outcome != MediaToolOutcome::Finished)
        return -1;
    QFile log(run.logFile);
    if (!log.open(QIODevice::ReadOnly))
        return -1;
    MovieProbe probe;
    parseProbeLog(log.read(1 << 20), &probe, 1);
    return probe.duration;
}

bool mergedLengthFits(double actualSeconds, const QVector<double> &inputSeconds)
{
    if (!(actualSeconds > 0) || !std::isfinite(actualSeconds))
        return false;
    double sum = 0;
    double shortest = std::numeric_limits<double>::infinity();
    bool allKnown = true;
    for (double s : inputSeconds) {
        if (!(s >= 0) || !std::isfinite(s)) {
            allKnown = false;
            continue;
        }
        sum += s;
        shortest = std::min(shortest, s);
    }
    if (!std::isfinite(shortest))
        return true;  // nothing known to compare with
    const double tolerance = std::min(0.5 * shortest, std::max(1.0, 0.01 * sum));
    if (allKnown)
        return std::fabs(actualSeconds - sum) <= tolerance;
    return actualSeconds + tolerance >= sum;
}

} // namespace vx
