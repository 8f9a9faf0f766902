// GPX 1.0 export: one track with one segment; per point the position (7
// decimals), elevation in metres (0.0 for a movie without altitude), the UTC
// time and the speed in metres per second, whatever the unit settings. The
// same layout serves the combined file, the per-movie files and the movie
// merge's GPX (exportGpxRange).
#include "trackexport.h"

#include "exportpipeline.h"
#include "numbertext.h"
#include "track/trackstore.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <vector>

namespace vx {

namespace {

constexpr double KMH_TO_MS = 0.27777777777778;

QByteArray head(uint32_t startTime)
{
    const QByteArray app = xmlEscaped(exportApplicationName());
    QByteArray out;
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
    return out;
}

// Points [from, to) of one block.
void writePoints(TextBuffer &out, const MovieBlock &b, int from, int to)
{
    DateTimeWriter time;
    for (int i = from; i < to; ++i) {
        char *p = out.room(3 * FIXED_TEXT_MAX + DATE_TIME_TEXT_MAX + 128);
        p = putText(p, "\t\t\t<trkpt lat=\"");
        p = writeFixed(p, b.lat[i], 7);
        p = putText(p, "\" lon=\"");
        p = writeFixed(p, b.lon[i], 7);
        p = putText(p, "\">\n\t\t\t\t<ele>");
        p = writeFixed(p, b.hasAltitude ? b.altitude[i] : 0.0, 1);
        p = putText(p, "</ele>\n\t\t\t\t<time>");
        p = time.write(p, b.gpsTime[i], "T", 1);
        p = putText(p, "Z</time>\n\t\t\t\t<speed>");
        p = writeFixed(p, b.speed[i] * KMH_TO_MS, 1);
        p = putText(p, "</speed>\n\t\t\t</trkpt>\n");
        out.advance(p);
    }
}

// The range [from, to) of block b that the range writer covers.
void rangeOf(const ExportSource &src, int b, int firstBlock, int firstPoint, int lastBlock, int endPoint, int *from,
             int *to)
{
    const int n = src.movies[b].points;
    *from = b == firstBlock ? std::clamp(firstPoint, 0, n) : 0;
    *to = b == lastBlock ? std::clamp(endPoint, 0, n) : n;
}

} // namespace

ExportResult writeGpxRange(const ExportSource &src, const QString &path, int firstBlock, int firstPoint,
                           int lastBlock, int endPoint, ExportProgress *progress)
{
    ExportFile file(path, progress);
    if (!file.open())
        return file.failure();
    const int numBlocks = src.movies.size();
    firstBlock = std::max(firstBlock, 0);
    lastBlock = std::min(lastBlock, numBlocks - 1);

    // The track is named after the range's first point; when that point does
    // not exist, after the first point written, else 1970-01-01T00:00:00Z.
    uint32_t startTime = 0;
    bool haveStart = false;
    if (firstBlock <= lastBlock && firstPoint >= 0 && firstPoint < src.movies[firstBlock].points) {
        startTime = src.store->block[firstBlock].gpsTime[firstPoint];
        haveStart = true;
    }
    for (int b = firstBlock; !haveStart && b <= lastBlock; ++b) {
        int from, to;
        rangeOf(src, b, firstBlock, firstPoint, lastBlock, endPoint, &from, &to);
        if (src.movies[b].active && from < to) {
            startTime = src.store->block[b].gpsTime[from];
            haveStart = true;
        }
    }

    file.write(head(startTime));
    struct Piece {
        int block, from, to;
    };
    std::vector<Piece> pieces;  // read by several threads: no implicit sharing
    for (int b = firstBlock; b <= lastBlock; ++b) {
        int from, to;
        rangeOf(src, b, firstBlock, firstPoint, lastBlock, endPoint, &from, &to);
        if (src.movies[b].active && from < to)
            pieces.push_back({b, from, to});
    }
    writePiecesInOrder(
        file, static_cast<int>(pieces.size()),
        [&](int k, TextBuffer &out) { writePoints(out, src.store->block[pieces[k].block], pieces[k].from, pieces[k].to); },
        [&](int k) { return pieces[k].to - pieces[k].from; });
    file.write(QByteArray("\t\t</trkseg>\n\t</trk>\n</gpx>\n"));
    return file.finish();
}

ExportResult writeGpx(const ExportSource &src, const QString &path, ExportProgress *progress)
{
    const int lastBlock = src.movies.size() - 1;
    const int endPoint = lastBlock >= 0 ? src.movies[lastBlock].points : 0;
    return writeGpxRange(src, path, 0, 0, lastBlock, endPoint, progress);
}

ExportResult writeGpxPerMovie(const ExportSource &src, const QString &combinedPath, ExportProgress *progress)
{
    const QFileInfo combined(combinedPath);
    const QString dir = combined.absolutePath();
    ExportResult result{true, QString()};
    for (int b = 0; b < src.movies.size(); ++b) {
        const ExportSource::Movie &m = src.movies[b];
        if (!m.active)
            continue;
        const int dot = m.fileName.lastIndexOf(QLatin1Char('.'));
        if (dot < 0)
            break;  // a movie name without an extension ends the pass
        if (m.points < 1)
            continue;  // no telemetry, nothing to write
        const QString path = dir + QLatin1Char('/') + m.fileName.left(dot) + QStringLiteral(".gpx");
        if (QFileInfo(path).absoluteFilePath() == combined.absoluteFilePath())
            continue;  // never replace the combined file just written
        const ExportResult r = writeGpxRange(src, path, b, 0, b, m.points, progress);
        if (r.cancelled)
            return r;
        if (!r.ok && result.ok)
            result = r;
    }
    return result;
}

} // namespace vx
