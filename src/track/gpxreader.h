// GPX track import into one MovieBlock (the sidecar <movie name>.gpx).
#pragma once

#include <QString>

namespace vx {

struct GpxImportResult {
    bool ok = false;
    // Non-empty when the caller must show a warning; the window shows it with
    // the title "Error" (an empty track name gives "Name is empty.").
    QString warning;
};

GpxImportResult importGpxTrack(int block, const QString &path);

} // namespace vx
