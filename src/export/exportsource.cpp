// The export source taken from the process-wide store, settings and geotag
// list, and the forms of the exports that read them directly.
#include "trackexport.h"

#include "geotags.h"
#include "settings/settings.h"
#include "track/trackstore.h"

#include <algorithm>

namespace vx {

int64_t ExportSource::activePoints() const
{
    int64_t n = 0;
    for (const Movie &m : movies)
        n += m.active ? m.points : 0;
    return n;
}

ExportSource exportSource()
{
    const TrackStore &t = track();
    const SettingsRecord &s = settings();
    ExportSource src;
    src.store = &t;
    const int numBlocks = std::clamp(t.numBlocks, 0, MAX_BLOCKS);
    src.movies.resize(numBlocks);
    for (int b = 0; b < numBlocks; ++b) {
        const MovieBlock &blk = t.block[b];
        ExportSource::Movie &m = src.movies[b];
        m.active = blk.active;
        m.points = std::clamp(blk.numPoints, 0, MAX_POINTS);
        m.hasAltitude = blk.hasAltitude;
        m.hasSats = blk.hasSats;
        m.fileName = blk.movieFile.fileName();
        m.nameUtf8 = m.fileName.toUtf8();
        m.nameXml = xmlEscaped(m.fileName);
    }
    src.datumFormat = s.datumFormat == 0 || s.datumFormat == 1 ? s.datumFormat : 2;
    src.speedFactor = s.speedFactor;
    src.distFactor = s.distFactor;
    src.altFactor = s.altFactor;
    src.localTimeOffset = s.localTimeOffset;
    src.speedUnit = speedUnitName(s.speedUnitIndex).toUtf8();
    src.distUnit = distanceUnitName(s.distUnitIndex).toUtf8();
    src.altUnit = altitudeUnitName(s.altUnits).toUtf8();
    src.relativeAltitude = t.relativeAltitude;

    const int playCount = std::clamp(t.playCount, 0, MAX_BLOCKS);
    for (int k = 0; k < playCount; ++k) {
        const int b = t.playOrder[k];
        if (b < 0 || b >= numBlocks || src.movies[b].points < 1)
            continue;
        if (src.viewFirst < 0)
            src.viewFirst = b;
        src.viewLast = b;
    }

    const GeotagList &tags = geotags();
    const int count = std::clamp(tags.count, 0, MAX_GEOTAGS);
    src.tags.resize(count);
    for (int i = 0; i < count; ++i) {
        const Geotag &g = tags.tag[i];
        src.tags[i] = {xmlEscaped(g.title), g.lat, g.lon, g.movieAvailable, geotagHasPosition(g)};
    }
    return src;
}

ExportResult exportCsv(const QString &path) { return writeCsv(exportSource(), path, nullptr); }
ExportResult exportGpx(const QString &path) { return writeGpx(exportSource(), path, nullptr); }
ExportResult exportKml(const QString &path) { return writeKml(exportSource(), path, nullptr); }

ExportResult exportGpxPerMovie(const QString &combinedPath)
{
    return writeGpxPerMovie(exportSource(), combinedPath, nullptr);
}

ExportResult exportGpxRange(const QString &path, int firstBlock, int firstPoint, int lastBlock, int endPoint)
{
    return writeGpxRange(exportSource(), path, firstBlock, firstPoint, lastBlock, endPoint, nullptr);
}

} // namespace vx
