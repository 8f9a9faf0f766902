// The export menu commands of the main window: the save dialog of the export
// file chooser, the per-movie GPX question, and the file-error warning. The
// writing itself is the core's (trackexport.h).
#pragma once

class QWidget;

namespace vx {

void exportCsvCommand(QWidget *parent);
void exportGpxCommand(QWidget *parent);
void exportKmlCommand(QWidget *parent);

} // namespace vx
