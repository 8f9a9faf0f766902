// Placeholder until the exports land.
#include "trackexport.h"

namespace vx {

ExportResult exportCsv(const QString &) { return {}; }
ExportResult exportGpx(const QString &) { return {}; }
ExportResult exportKml(const QString &) { return {}; }

} // namespace vx
