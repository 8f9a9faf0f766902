#include "mediatool.h"

#include "settings/appdirs.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

namespace vx {

namespace {

MediaToolHooks *g_hooks = nullptr;
bool g_running = false;

QString applicationDirToolPath() { return applicationDir() + QStringLiteral("/ffmpeg"); }

} // namespace

void setMediaToolHooks(MediaToolHooks *hooks) { g_hooks = hooks; }

QString mediaToolPath()
{
    const QString local = applicationDirToolPath();
    if (QFile::exists(local))
        return local;
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    return onPath.isEmpty() ? local : onPath;
}

bool mediaToolFound() { return QFile::exists(mediaToolPath()); }

QString mediaToolMissingText()
{
    return QStringLiteral("Could not find ffmpeg here: %1").arg(mediaToolPath());
}

QString mediaToolMissingStartupText()
{
    return QStringLiteral("Could not find ffmpeg here: %1. \n\n").arg(mediaToolPath())
         + QStringLiteral("Please copy ffmpeg to this location and restart the program.");
}

bool mediaToolBusy() { return g_running; }

QString mediaToolTempDir()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/volantix-XXXXXX"));
    // Should the private folder be impossible, the shared one still works.
    return dir.isValid() ? dir.path() : QDir::tempPath();
}

MediaToolResult runMediaTool(QObject *parent, const QStringList &arguments, const QString &logFile)
{
    ToolRun run;
    run.arguments = arguments;
    run.logFile = logFile;
    return runTool(parent, run);
}

MediaToolResult runTool(QObject *parent, const ToolRun &run)
{
    MediaToolResult result;
    if (g_running) {
        result.outcome = MediaToolOutcome::Busy;
        return result;
    }
    if (run.cancel && run.cancel->isCancelled()) {
        result.outcome = MediaToolOutcome::Cancelled;
        return result;
    }
    g_running = true;
    if (g_hooks)
        g_hooks->mediaToolStarted(parent);

    QProcess process;
    if (run.logFile.isEmpty())
        process.setStandardErrorFile(QProcess::nullDevice());
    else
        process.setStandardErrorFile(run.logFile, QIODevice::Truncate);
    if (!run.onOutputLine)
        process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardInputFile(QProcess::nullDevice());

    QEventLoop loop;
    bool done = false;
    // Set when we stop the program ourselves: its end is then reported as
    // the reason we stopped it, not as a crash.
    MediaToolOutcome stoppedAs = MediaToolOutcome::Finished;
    bool stopped = false;
    QTimer killTimer;
    killTimer.setSingleShot(true);
    QObject::connect(&killTimer, &QTimer::timeout, &process, &QProcess::kill);
    const auto stop = [&](MediaToolOutcome why) {
        if (stopped || done)
            return;
        stopped = true;
        stoppedAs = why;
        process.terminate();
        killTimer.start(1000);
    };

    QByteArray pending;
    const auto deliverLines = [&](bool flush) {
        pending += process.readAllStandardOutput();
        int newline;
        while ((newline = pending.indexOf('\n')) >= 0) {
            QByteArray line = pending.left(newline);
            pending.remove(0, newline + 1);
            if (line.endsWith('\r'))
                line.chop(1);
            run.onOutputLine(line);
        }
        // A report never needs more than a line; a program that writes
        // without line ends must not fill memory.
        if (flush || pending.size() > 65536) {
            if (!pending.isEmpty())
                run.onOutputLine(pending);
            pending.clear();
        }
    };
    if (run.onOutputLine)
        QObject::connect(&process, &QProcess::readyReadStandardOutput, &loop, [&] { deliverLines(false); });

    QObject::connect(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &loop,
                     [&](int code, QProcess::ExitStatus status) {
                         result.exitCode = code;
                         if (stopped)
                             result.outcome = stoppedAs;
                         else
                             result.outcome = status == QProcess::NormalExit ? MediaToolOutcome::Finished
                                                                             : MediaToolOutcome::Crashed;
                         done = true;
                         loop.quit();
                     });
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            result.outcome = MediaToolOutcome::FailedToStart;
            done = true;
            loop.quit();
        }
    });
    QTimer limit;
    limit.setSingleShot(true);
    if (run.timeLimitMs > 0) {
        QObject::connect(&limit, &QTimer::timeout, &loop, [&] { stop(MediaToolOutcome::TimedOut); });
        limit.start(run.timeLimitMs);
    }
    if (run.cancel)
        QObject::connect(run.cancel, &ToolCancel::cancelled, &loop, [&] { stop(MediaToolOutcome::Cancelled); });

    process.start(run.program.isEmpty() ? mediaToolPath() : run.program, run.arguments, QIODevice::ReadWrite);
    // The event loop sleeps in the system's wait until the child reports; no
    // polling. A program that never starts ends the wait through
    // errorOccurred (also when its log cannot be opened).
    if (!done)
        loop.exec();
    if (run.onOutputLine && result.outcome != MediaToolOutcome::FailedToStart)
        deliverLines(true);

    if (g_hooks)
        g_hooks->mediaToolFinished(parent);
    g_running = false;
    return result;
}

} // namespace vx
