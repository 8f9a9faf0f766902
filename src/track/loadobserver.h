// What a load tells whoever started it. The core shows nothing itself: the
// main window implements this with its progress dialog and message boxes,
// the batch converter with lines on standard error. Every method has a
// do-nothing default.
#pragma once

#include <QString>

class QObject;

namespace vx {

class LoadObserver {
public:
    virtual ~LoadObserver() = default;
    // The window that owns media-tool runs of the load (wait cursor); may be null.
    virtual QObject *parentWindow() { return nullptr; }
    // The playlist has been rebuilt from all movies: the window waits, with a
    // time limit, until the player reports the first medium as loaded.
    virtual void waitForPlayer() {}
    // Telemetry reading starts: the window shows "Processing..." with range 0 .. movieCount.
    virtual void loadStarted(int /*movieCount*/) {}
    // "Processing %1 of %2..." with the one-based index and the count.
    virtual void loadProgress(int /*oneBasedIndex*/, int /*count*/) {}
    // Telemetry reading is over: the progress display closes.
    virtual void loadFinishedReading() {}
    // A message the window shows in a warning box: title "Volantix" for
    // "Could not find ffmpeg here: %1", "Error" for the GPX import's warnings.
    virtual void warning(const QString & /*title*/, const QString & /*text*/) {}
    // GoPro telemetry was read: the dashboard shows its arrow vehicle.
    virtual void useArrowVehicle(bool /*arrow*/) {}
};

// "Processing %1 of %2..." filled in.
QString processingText(int oneBasedIndex, int count);

} // namespace vx
