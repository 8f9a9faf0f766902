// Running the external media tool (ffmpeg) as a child process. The tool is
// looked for in the application's directory first, then on PATH. A run
// redirects the tool's standard error (its report) into a log file and waits
// for the tool while the event loop keeps turning; callers judge success by
// what the tool left on disk.
//
// Only one run may be under way at a time: a request made while another run
// is waiting (the event loop keeps turning, so a click can ask for one) is
// refused with MediaToolOutcome::Busy and leaves the running one untouched.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

namespace vx {

// The windows' part of a run (wait cursor, bringing the parent to the
// front); the core itself shows nothing.
class MediaToolHooks {
public:
    virtual ~MediaToolHooks() = default;
    virtual void mediaToolStarted(QObject *parent) = 0;
    virtual void mediaToolFinished(QObject *parent) = 0;
};
void setMediaToolHooks(MediaToolHooks *hooks);

// The path of the tool: <application directory>/ffmpeg when that exists,
// else the ffmpeg found on PATH, else the application-directory path (which
// then does not exist).
QString mediaToolPath();
bool mediaToolFound();

// "Could not find ffmpeg here: %1" (per-run refusal).
QString mediaToolMissingText();
// The start-up refusal: the text above, ". \n\n" and the request to copy it.
QString mediaToolMissingStartupText();

enum class MediaToolOutcome {
    Finished,       // the tool ran and exited on its own (any exit code)
    Crashed,        // the tool was killed or crashed
    FailedToStart,  // missing, not executable, its log could not be opened, or could not be started
    Busy,           // another run is under way; nothing was started
    TimedOut,       // the run's time limit passed: the tool was stopped
    Cancelled,      // the user asked to stop: the tool was stopped
};

struct MediaToolResult {
    MediaToolOutcome outcome = MediaToolOutcome::FailedToStart;
    int exitCode = -1;
};

// Runs the tool with `arguments`, its standard error written to `logFile`
// (truncated first), and waits for it without spinning the CPU.
MediaToolResult runMediaTool(QObject *parent, const QStringList &arguments, const QString &logFile);

// Stops a run from outside (a Cancel button): the window keeps the token,
// the run listens to it. A token cancelled before the run starts stops the
// run at once.
class ToolCancel : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    bool isCancelled() const { return m_cancelled; }

public slots:
    void cancel()
    {
        if (m_cancelled)
            return;
        m_cancelled = true;
        emit cancelled();
    }

signals:
    void cancelled();

private:
    bool m_cancelled = false;
};

// Everything about one run of a child program.
struct ToolRun {
    QString program;            // empty: the media tool (mediaToolPath())
    QStringList arguments;
    QString logFile;            // standard error, truncated first; empty: discarded
    int timeLimitMs = 0;        // 0: none; past it the program is stopped (TimedOut)
    // Standard output line by line as it arrives (ffmpeg's "-progress
    // pipe:1" report); without it the output is discarded.
    std::function<void(const QByteArray &line)> onOutputLine;
    ToolCancel *cancel = nullptr;
};

// The general run behind runMediaTool: one run at a time (Busy otherwise),
// the hooks told, the wait in the event loop without polling. A program
// that is stopped (time limit, cancel) is terminated, then killed if it
// does not go within a second.
MediaToolResult runTool(QObject *parent, const ToolRun &run);
bool mediaToolBusy();

// The folder for the tool's logs and extracted files: a private folder of
// this run inside the platform's temporary directory (created on first use,
// removed when the program ends), so that two copies of the program running
// at once never read each other's reports.
QString mediaToolTempDir();

} // namespace vx
