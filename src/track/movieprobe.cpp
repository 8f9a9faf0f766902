// The probe report is the media tool's standard error for a run with inputs
// only, for example
//
//   Input #0, mov,mp4,m4a,3gp,3g2,mj2, from '/movies/DJI_0001.MOV':
//     Duration: 00:01:02.50, start: 0.000000, bitrate: 86 kb/s
//     Stream #0:0[0x1](und): Video: h264 (High) (avc1 / 0x31637661),
//       yuv420p, 3840x2160 [SAR 1:1 DAR 16:9], 29.97 fps, 29.97 tbr, ...
//   At least one output file must be specified
//
// (the stream line is one line in the report).
#include "movieprobe.h"

#include "mediatool.h"
#include "textlines.h"
#include "trackstore.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <cstring>

namespace vx {

namespace {

// The report of 100 movies is a few hundred kilobytes; more is not a report.
constexpr qint64 MAX_REPORT_BYTES = 64 << 20;

struct ProbePatterns {
    QRegularExpression duration = readerPattern("Duration: *(\\d\\d):(\\d\\d):(\\d\\d.\\d*)");
    QRegularExpression size = readerPattern(", (\\d+)x(\\d+)");
    QRegularExpression fps = readerPattern(", ([0-9]*\\.?[0-9]+) fps,");
};

const ProbePatterns &patterns()
{
    static const ProbePatterns p;
    return p;
}

float capturedFloat(const LineReader &line, const QRegularExpressionMatch &m, int group)
{
    return static_cast<float>(capturedDouble(line, m, group));
}

// The tool writes "Input #n, <formats>, from '<file>':" for each input it opens.
bool isInputHeader(const char *line, qsizetype size) { return size >= 7 && std::memcmp(line, "Input #", 7) == 0; }

// The input's own duration line: "  Duration: 00:01:02.50, start: ..." (a
// metadata value that happens to hold the word comes after its key).
bool isDurationLine(const char *line, int size)
{
    int i = 0;
    while (i < size && line[i] == ' ')
        ++i;
    return size - i >= 9 && std::memcmp(line + i, "Duration:", 9) == 0;
}

} // namespace

void parseProbeLog(const QByteArray &report, MovieProbe *movies, int count)
{
    const ProbePatterns &p = patterns();
    QBuffer in;
    in.setData(report);
    if (!in.open(QIODevice::ReadOnly))
        return;
    LineReader line(in);
    int input = -1;
    bool duration = false, size = false, fps = false;
    while (line.next()) {
        // The header holds the file's name, which may spell anything.
        if (isInputHeader(line.data(), line.size())) {
            ++input;
            duration = size = fps = false;
            continue;
        }
        if (input < 0 || input >= count)
            continue;
        MovieProbe &m = movies[input];
        if (!duration && isDurationLine(line.data(), line.size())) {
            const QRegularExpressionMatch d = p.duration.match(line.text());
            if (d.hasMatch()) {
                m.duration = capturedFloat(line, d, 3) + capturedFloat(line, d, 2) * 60.0f
                           + capturedFloat(line, d, 1) * 3600.0f;
                duration = true;
            }
        }
        if (!line.contains("Video:"))
            continue;
        if (!size) {
            const QRegularExpressionMatch r = p.size.match(line.text());
            if (r.hasMatch()) {
                m.width = capturedInt(line, r, 1);
                m.height = capturedInt(line, r, 2);
                size = true;
            }
        }
        if (!fps && line.contains(" fps,")) {
            const QRegularExpressionMatch f = p.fps.match(line.text());
            if (f.hasMatch()) {
                m.fps = capturedFloat(line, f, 1);
                fps = true;
            }
        }
    }
}

int describedInputs(const QByteArray &report)
{
    int inputs = 0;
    qsizetype at = 0;
    while (at < report.size()) {
        qsizetype end = report.indexOf('\n', at);
        if (end < 0)
            end = report.size();
        inputs += isInputHeader(report.constData() + at, end - at);
        at = end + 1;
    }
    return inputs;
}

QString probeLogPath() { return mediaToolTempDir() + QStringLiteral("/stdout.txt"); }

bool probeMovies(QObject *parent)
{
    if (!mediaToolFound())
        return false;
    TrackStore &t = track();
    const int n = std::min(std::max(t.numBlocks, 0), MAX_BLOCKS);
    MovieProbe probes[MAX_BLOCKS];
    for (int b = 0; b < n; ++b) {
        probes[b].duration = t.block[b].duration;
        probes[b].fps = t.block[b].fps;
        probes[b].width = t.block[b].width;
        probes[b].height = t.block[b].height;
    }
    const QString log = probeLogPath();
    // Each run describes the movies from `first` up to the first one the
    // tool cannot open; the next run starts after that one. Every run moves
    // at least one movie on, so there are at most n runs.
    for (int first = 0; first < n;) {
        QStringList arguments;
        for (int b = first; b < n; ++b)
            arguments << QStringLiteral("-i") << t.block[b].movieFile.absoluteFilePath();
        const MediaToolResult run = runMediaTool(parent, arguments, log);
        if (run.outcome == MediaToolOutcome::Busy || run.outcome == MediaToolOutcome::FailedToStart) {
            if (first == 0)
                return false;
            break;
        }
        QFile file(log);
        if (!file.open(QIODevice::ReadOnly))
            break;
        const QByteArray report = file.read(MAX_REPORT_BYTES);
        const int described = std::min(describedInputs(report), n - first);
        parseProbeLog(report, probes + first, described);
        first += described + 1;
    }
    for (int b = 0; b < n; ++b) {
        t.block[b].duration = probes[b].duration;
        t.block[b].fps = probes[b].fps;
        t.block[b].width = probes[b].width;
        t.block[b].height = probes[b].height;
    }
    return true;
}

} // namespace vx
