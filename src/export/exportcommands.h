// The export menu commands of the main window: the save dialog of the export
// file chooser, the writing on another thread while the windows go on (with
// a progress dialog when it takes a while), the per-movie GPX question, and
// the file-error warning. The writing itself is the core's (trackexport.h).
#pragma once

#include "exportfile.h"

#include <QString>
#include <cstdint>
#include <functional>

class QWidget;

namespace vx {

void exportCsvCommand(QWidget *parent);
void exportGpxCommand(QWidget *parent);
void exportKmlCommand(QWidget *parent);

// Runs `write` on another thread and keeps the event loop turning until it
// ends, so the windows go on painting and playing. Meanwhile the Track store
// is held (loads refuse to start) and exportInProgress() is true. When the
// export lasts longer than half a second a window-modal progress dialog over
// `parent` shows how many of `totalPoints` are written; its Cancel button
// asks the export to stop (it then reports cancelled and leaves nothing
// behind). Refused (reported as cancelled, nothing run) while another export,
// a load or a media-tool run is under way.
ExportResult runExportInBackground(QWidget *parent, const QString &fileName, int64_t totalPoints,
                                   const std::function<ExportResult(ExportProgress &)> &write);
bool exportInProgress();

// How long an export runs before its progress dialog appears.
constexpr int EXPORT_PROGRESS_DELAY_MS = 500;

} // namespace vx
