#include "telemetrysource.h"

#include "goproreader.h"
#include "gpxreader.h"
#include "loadobserver.h"
#include "mediatool.h"
#include "subtitlereaders.h"
#include "textlines.h"
#include "trackstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>

namespace vx {

namespace {

constexpr int SEARCH_BLOCK_BYTES = 16384;
constexpr int SEARCH_PASS_BYTES = 1000000;
constexpr int EMBEDDED_SUBTITLE_STREAM = 2;
constexpr qint64 GOPRO_SEARCH_LIMIT = 500;

const char *const kApplicationTitle = "Volantix";

} // namespace

QString processingText(int oneBasedIndex, int count)
{
    return QStringLiteral("Processing %1 of %2...").arg(oneBasedIndex).arg(count);
}

qint64 findInFile(const QString &path, const QByteArray &needle, qint64 limit)
{
    QFile file(path);
    if (needle.isEmpty() || !openRegularFile(file))
        return 0;
    const int passBytes = std::max(SEARCH_PASS_BYTES - needle.size(), needle.size() + 1);
    QByteArray buffer;
    buffer.reserve(passBytes + SEARCH_BLOCK_BYTES);
    qint64 start = 0;
    for (;;) {
        if (!file.seek(start))
            return 0;
        buffer.resize(0);
        bool ended = false;
        while (buffer.size() < passBytes) {
            const int have = buffer.size();
            buffer.resize(have + SEARCH_BLOCK_BYTES);
            const qint64 got = file.read(buffer.data() + have, SEARCH_BLOCK_BYTES);
            buffer.resize(have + static_cast<int>(std::max<qint64>(got, 0)));
            if (got < SEARCH_BLOCK_BYTES) {
                ended = true;
                break;
            }
        }
        const int at = buffer.indexOf(needle);
        if (at >= 0)
            return start + at;
        const qint64 end = start + buffer.size();
        // A pass that reached the end of the file has seen everything; going
        // back for the overlap would read the same tail for ever.
        if (ended || end > limit)
            return 0;
        start = end - needle.size() - 1;
    }
}

QString FolderIndex::find(const QString &folder, const QString &fileName)
{
    const QString exact = QDir(folder).filePath(fileName);
    if (QFileInfo(exact).isFile())
        return exact;
    auto it = m_folders.find(folder);
    if (it == m_folders.end()) {
        QHash<QString, QStringList> names;
        const QStringList entries = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
        for (const QString &entry : entries)
            names[entry.toCaseFolded()].append(entry);
        it = m_folders.insert(folder, names);
    }
    const auto match = it->constFind(fileName.toCaseFolded());
    if (match == it->constEnd())
        return QString();
    for (const QString &name : *match) {
        const QString path = QDir(folder).filePath(name);
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

QString subtitleExtractionPath(const QFileInfo &movie)
{
    const QString name = movie.fileName();
    QString out = name;
    out.replace(QStringLiteral(".MP4"), QStringLiteral(".nmea.srt"));
    out.replace(QStringLiteral(".MOV"), QStringLiteral(".nmea.srt"));
    if (out == name)
        out = movie.completeBaseName() + QStringLiteral(".nmea.srt");
    return mediaToolTempDir() + QLatin1Char('/') + out;
}

ExtractOutcome extractSubtitles(QObject *parent, const QFileInfo &movie, int stream, QString *out)
{
    out->clear();
    if (!mediaToolFound())
        return ExtractOutcome::ToolMissing;
    if (mediaToolBusy())
        return ExtractOutcome::Busy;
    const QString target = subtitleExtractionPath(movie);
    if (QFileInfo(target).absoluteFilePath() == movie.absoluteFilePath())
        return ExtractOutcome::Finished;  // never let the tool write over the movie
    QFile::remove(target);
    if (QFileInfo::exists(target))
        return ExtractOutcome::Finished;  // an old output that cannot go: read nothing
    const QStringList arguments{QStringLiteral("-i"),   movie.absoluteFilePath(),
                                QStringLiteral("-y"),   QStringLiteral("-an"),
                                QStringLiteral("-vn"),  QStringLiteral("-map"),
                                QStringLiteral("0:") + QString::number(stream),
                                QStringLiteral("-c:s:0"), QStringLiteral("srt"),
                                target};
    const MediaToolResult run
        = runMediaTool(parent, arguments, mediaToolTempDir() + QStringLiteral("/export_log.txt"));
    if (run.outcome == MediaToolOutcome::Busy)
        return ExtractOutcome::Busy;
    *out = target;
    return ExtractOutcome::Finished;
}

namespace {

// Reads block i from the first source that applies.
class SourceChain {
public:
    SourceChain(const QString &loadFolder, LoadObserver *observer)
        : m_loadFolder(loadFolder), m_observer(observer) {}

    void read(int i)
    {
        MovieBlock &blk = track().block[i];
        const QFileInfo movie = blk.movieFile;
        const QString base = movie.completeBaseName();
        const QString movieFolder = movie.absolutePath();

        const QString gpx = m_names.find(m_loadFolder, base + QStringLiteral(".gpx"));
        if (!gpx.isEmpty()) {
            const GpxImportResult r = importGpxTrack(i, gpx);
            if (!r.warning.isEmpty())
                m_observer->warning(QStringLiteral("Error"), r.warning);
            return;
        }
        // A sidecar file that gives no position at all (a table of some other
        // program beside a camera movie, subtitles without GPS) does not hide
        // the telemetry the camera wrote into the movie itself.
        const bool relativeBefore = track().relativeAltitude;
        const QString srt = m_names.find(movieFolder, base + QStringLiteral(".srt"));
        const QString csv = srt.isEmpty() ? m_names.find(movieFolder, base + QStringLiteral(".csv")) : QString();
        if (!srt.isEmpty() || !csv.isEmpty()) {
            if (!srt.isEmpty())
                readSidecarSubtitles(i, srt);
            else
                readFlightLog(i, csv);
            if (blk.numPoints > 0 || !hasGpmfTrack(movie.absoluteFilePath()))
                return;
            track().relativeAltitude = relativeBefore;
            blk.hasAltitude = false;
            blk.hasSats = false;
        }
        if (goProLoad() || hasGpmfTrack(movie.absoluteFilePath())) {
            const GoProReadResult r = readGoProTelemetry(i);
            if (r.useArrowVehicle)
                m_observer->useArrowVehicle(true);
            return;
        }
        QString out;
        switch (extractSubtitles(m_observer->parentWindow(), movie, EMBEDDED_SUBTITLE_STREAM, &out)) {
        case ExtractOutcome::ToolMissing:
            m_observer->warning(QString::fromLatin1(kApplicationTitle), mediaToolMissingText());
            break;
        case ExtractOutcome::Busy:
            break;
        case ExtractOutcome::Finished:
            if (!out.isEmpty() && QFileInfo(out).isFile())
                readEmbeddedSubtitles(i, out);
            break;
        }
    }

private:
    // The first movie of the load decides for all of them.
    bool goProLoad()
    {
        if (!m_goProKnown) {
            const QString first = track().block[0].movieFile.absoluteFilePath();
            m_goPro = findInFile(first, QByteArrayLiteral("HERO"), GOPRO_SEARCH_LIMIT) > 0;
            m_goProKnown = true;
        }
        return m_goPro;
    }

    QString m_loadFolder;
    LoadObserver *m_observer;
    FolderIndex m_names;
    bool m_goProKnown = false;
    bool m_goPro = false;
};

} // namespace

void loadTelemetry(const QList<QFileInfo> &movies, const QString &loadFolder, LoadObserver *observer)
{
    TrackStore &t = track();
    const int n = std::min(static_cast<int>(movies.size()), MAX_BLOCKS);
    t.numBlocks = n;
    rebuildPlayOrder();
    observer->waitForPlayer();
    observer->loadStarted(n);
    SourceChain chain(loadFolder, observer);
    for (int i = 0; i < n; ++i) {
        observer->loadProgress(i + 1, n);
        QCoreApplication::processEvents();
        chain.read(i);
    }
    t.numBlocks = n;
    observer->loadFinishedReading();
}

} // namespace vx
