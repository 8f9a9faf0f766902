// One media-tool job that makes a movie (a clip, a merge, an acceleration):
// the tool runs with its progress report on standard output, the report
// drives a fraction for the window's bar, a cancel token stops it, and the
// job fails on its own when the tool stops reporting or runs far longer than
// its output's length can explain. The job succeeded only when the tool
// exited normally with status 0 and left a non-empty output; in every other
// case the output is removed.
#pragma once

#include "track/mediatool.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

namespace vx {

// Without a progress line for this long the tool counts as hung. It reports
// twice a second while it works.
constexpr int MOVIE_JOB_STALL_MS = 120 * 1000;
// The longest a job may take: two minutes plus one minute per second of
// output (a slow re-encode of a large picture is far quicker than that).
int movieJobTimeLimitMs(double expectedSeconds);

struct MovieJob {
    QStringList arguments;        // the whole list, the output included
    QString logFile;              // the tool's report (standard error)
    QString outputPath;           // the file the tool writes
    double expectedSeconds = 0;   // the output's length: the bar and the time limit
    std::function<void(double fraction)> onProgress;
    ToolCancel *cancel = nullptr;
    int stallLimitMs = MOVIE_JOB_STALL_MS;
    int timeLimitMs = 0;          // 0: movieJobTimeLimitMs(expectedSeconds)
};

enum class MovieJobStatus { Succeeded, Failed, Cancelled };

struct MovieJobResult {
    MovieJobStatus status = MovieJobStatus::Failed;
    QString reason;   // why it failed, one sentence
    QString logTail;  // the last lines of the tool's report
};

MovieJobResult runMovieJob(QObject *parent, const MovieJob &job);

// "<headline>\n\n<reason>" and, when the report has any, "\n\nThe last lines
// of the ffmpeg report:\n\n<lines>".
QString movieJobFailureText(const QString &headline, const MovieJobResult &result);

// The length of a movie file in seconds as the tool reports it; -1 when it
// cannot tell (the file is no movie, the tool is missing or busy).
double probeMovieSeconds(QObject *parent, const QString &path);

// Whether a merged movie of `actualSeconds` holds all its inputs: within
// half the shortest input (a dropped movie always fails) and within 1 s or
// 1 % of the sum. Inputs of unknown length (< 0) only let the check ask that
// the known ones fit.
bool mergedLengthFits(double actualSeconds, const QVector<double> &inputSeconds);

} // namespace vx
