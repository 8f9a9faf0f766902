// Track exports of the active movies: CSV (three coordinate layouts), GPX 1.0
// and KML 2.2, plus the coordinate and timestamp formatters they share.
#pragma once

#include <QString>

namespace vx {

struct ExportResult {
    bool ok = false;
    QString errorText;  // for the window's warning box when !ok
};

ExportResult exportCsv(const QString &path);
ExportResult exportGpx(const QString &path);  // the combined file
ExportResult exportKml(const QString &path);

} // namespace vx
