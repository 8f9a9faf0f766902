// GPX 1.0 export: one track with one segment; per point the position (7
// decimals), elevation in metres (0.0 for a movie without altitude), the UTC
// time and the speed in metres per second, whatever the unit settings. The
// same layout serves the combined file, the per-movie files and the movie
// merge's GPX (exportGpxRange).
#include "trackexport.h"

#include "track/trackstore.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace vx {

namespace {

constexpr double KMH_TO_MS = 0.27777777777778;

void appendHead(QByteArray &out, uint32_t startTime)
{
    const QByteArray app = xmlEscaped(exportApplicationName());
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
    out += "<gpx xmlns=\"http://www.topografix.com/GPX/1/0\" version=\"1.0\" creator=\"" + app + "\">\n";
    out += "\t<metadata>\n";
    out += "\t\t<name>Produced by " + app + " version " + xmlEscaped(exportApplicationVersion())
         + "</name>\n";
    out += "\t</metadata>\n";
    out += "\t<trk>\n";
    out += "\t\t<name>Track Start Time: ";
    appendTimestamp(out, startTime);
    out += "</name>\n";
    out += "\t\t<trkseg>\n";
}

void appendPoint(QByteArray &out, const MovieBlock &b, int i)
{
    appendCFormat(out, "\t\t\t<trkpt lat=\"%.7lf\" lon=\"%.7lf\">\n\t\t\t\t<ele>%.1lf</ele>\n", b.lat[i],
                  b.lon[i], b.hasAltitude ? b.altitude[i] : 0.0);
    out += "\t\t\t\t<time>";
    appendTimestamp(out, b.gpsTime[i]);
    out += "</time>\n";
    appendCFormat(out, "\t\t\t\t<speed>%.1lf</speed>\n\t\t\t</trkpt>\n", b.speed[i] * KMH_TO_MS);
}

int pointsOf(const MovieBlock &b) { return std::clamp(b.numPoints, 0, MAX_POINTS); }

// The range [from, to) of block b that the range writer covers.
void rangeOf(int b, int firstBlock, int firstPoint, int lastBlock, int endPoint, int *from, int *to)
{
    const int n = pointsOf(track().block[b]);
    *from = b == firstBlock ? std::clamp(firstPoint, 0, n) : 0;
    *to = b == lastBlock ? std::clamp(endPoint, 0, n) : n;
}

} // namespace

ExportResult exportGpxRange(const QString &path, int firstBlock, int firstPoint, int lastBlock,
                            int endPoint)
{
    ExportFile file(path);
    if (!file.open())
        return file.failure();
    QByteArray &out = file.text();
    const TrackStore &t = track();
    const int numBlocks = std::clamp(t.numBlocks, 0, MAX_BLOCKS);
    firstBlock = std::max(firstBlock, 0);
    lastBlock = std::min(lastBlock, numBlocks - 1);

    // The track is named after the range's first point; when that point does
    // not exist, after the first point written, else 1970-01-01T00:00:00Z.
    uint32_t startTime = 0;
    bool haveStart = false;
    if (firstBlock <= lastBlock && firstPoint >= 0 && firstPoint < pointsOf(t.block[firstBlock])) {
        startTime = t.block[firstBlock].gpsTime[firstPoint];
        haveStart = true;
    }
    for (int b = firstBlock; !haveStart && b <= lastBlock; ++b) {
        int from, to;
        rangeOf(b, firstBlock, firstPoint, lastBlock, endPoint, &from, &to);
        if (t.block[b].active && from < to) {
            startTime = t.block[b].gpsTime[from];
            haveStart = true;
        }
    }

    appendHead(out, startTime);
    for (int b = firstBlock; b <= lastBlock; ++b) {
        const MovieBlock &blk = t.block[b];
        if (!blk.active)
            continue;
        int from, to;
        rangeOf(b, firstBlock, firstPoint, lastBlock, endPoint, &from, &to);
        for (int i = from; i < to; ++i)
            appendPoint(out, blk, i);
        file.writeIfLarge();
    }
    out += "\t\t</trkseg>\n\t</trk>\n</gpx>\n";
    return file.finish();
}

ExportResult exportGpx(const QString &path)
{
    const TrackStore &t = track();
    const int numBlocks = std::clamp(t.numBlocks, 0, MAX_BLOCKS);
    const int lastBlock = numBlocks - 1;
    const int endPoint = numBlocks > 0 ? pointsOf(t.block[lastBlock]) : 0;
    return exportGpxRange(path, 0, 0, lastBlock, endPoint);
}

ExportResult exportGpxPerMovie(const QString &combinedPath)
{
    const TrackStore &t = track();
    const int numBlocks = std::clamp(t.numBlocks, 0, MAX_BLOCKS);
    const QFileInfo combined(combinedPath);
    const QString dir = combined.absolutePath();
    ExportResult result{true, QString()};
    for (int b = 0; b < numBlocks; ++b) {
        const MovieBlock &blk = t.block[b];
        if (!blk.active)
            continue;
        const QString movieName = blk.movieFile.fileName();
        const int dot = movieName.lastIndexOf(QLatin1Char('.'));
        if (dot < 0)
            break;  // a movie name without an extension ends the pass
        if (pointsOf(blk) < 1)
            continue;  // no telemetry, nothing to write
        const QString path = dir + QLatin1Char('/') + movieName.left(dot) + QStringLiteral(".gpx");
        if (QFileInfo(path).absoluteFilePath() == combined.absoluteFilePath())
            continue;  // never replace the combined file just written
        const ExportResult r = exportGpxRange(path, b, 0, b, pointsOf(blk));
        if (!r.ok && result.ok)
            result = r;
    }
    return result;
}

} // namespace vx
