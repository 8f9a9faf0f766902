// libFuzzer target for the GPX track import: any bytes as the sidecar GPX
// file of block 0, then the three exports of whatever was read (to
// /dev/null), so that hostile values also pass through the formatters.
// Checks the reader's promises: a bounded point count, a warning only with a
// failed import, and a block left untouched by a failed one.
#include "export/trackexport.h"
#include "settings/settings.h"
#include "track/geo.h"
#include "track/gpxreader.h"
#include "track/trackstore.h"

#include <QBuffer>
#include <cstdint>
#include <cstdlib>

using namespace vx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool once = [] {
        setDefaultSettings();
        return true;
    }();
    (void)once;

    resetTrackStore();
    lastBearing = 0;
    TrackStore &t = track();
    MovieBlock &b = t.block[0];
    b.movieFile = QFileInfo(QStringLiteral("/movies/fuzz&<'\".mov"));
    b.numPoints = 1;
    b.gpsTime[0] = 12345;
    b.totalDist = -1;

    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<int>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const GpxImportResult r = importGpxTrack(0, buffer);

    if (b.numPoints < 0 || b.numPoints > MAX_POINTS)
        std::abort();
    if (r.ok && !r.warning.isEmpty())
        std::abort();
    if (!r.ok && r.warning.isEmpty() && (b.numPoints != 1 || b.gpsTime[0] != 12345 || b.totalDist != -1))
        std::abort();  // a refused file changed the block

    t.numBlocks = 1;
    t.relativeAltitude = size % 2 == 1;
    settings().datumFormat = static_cast<int>(size % 3);
    rebuildPlayOrder();
    const QString sink = QStringLiteral("/dev/null");
    if (!exportCsv(sink).ok || !exportGpx(sink).ok || !exportKml(sink).ok)
        std::abort();
    return 0;
}
