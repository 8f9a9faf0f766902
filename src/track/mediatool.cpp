#include "mediatool.h"

#include "settings/appdirs.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

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
    MediaToolResult result;
    if (g_running) {
        result.outcome = MediaToolOutcome::Busy;
        return result;
    }
    g_running = true;
    if (g_hooks)
        g_hooks->mediaToolStarted(parent);

    QProcess process;
    process.setStandardErrorFile(logFile, QIODevice::Truncate);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardInputFile(QProcess::nullDevice());

    QEventLoop loop;
    bool done = false;
    QObject::connect(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &loop,
                     [&](int code, QProcess::ExitStatus status) {
                         result.exitCode = code;
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

    process.start(mediaToolPath(), arguments, QIODevice::ReadWrite);
    // The event loop sleeps in the system's wait until the child reports; no
    // polling. A tool that never starts ends the wait through errorOccurred.
    if (!done)
        loop.exec();

    if (g_hooks)
        g_hooks->mediaToolFinished(parent);
    g_running = false;
    return result;
}

} // namespace vx
