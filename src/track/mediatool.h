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

#include <QString>
#include <QStringList>

class QObject;

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
    FailedToStart,  // missing, not executable, or could not be started
    Busy,           // another run is under way; nothing was started
};

struct MediaToolResult {
    MediaToolOutcome outcome = MediaToolOutcome::FailedToStart;
    int exitCode = -1;
};

// Runs the tool with `arguments`, its standard error written to `logFile`
// (truncated first), and waits for it without spinning the CPU.
MediaToolResult runMediaTool(QObject *parent, const QStringList &arguments, const QString &logFile);
bool mediaToolBusy();

// The folder for the tool's logs and extracted files: a private folder of
// this run inside the platform's temporary directory (created on first use,
// removed when the program ends), so that two copies of the program running
// at once never read each other's reports.
QString mediaToolTempDir();

} // namespace vx
