// What the clip export, the movie merge and the acceleration step hand to the
// media tool: the export rate table, numbers in the tool's own notation, the
// argument lists, the concat list of a merge, and the tool's progress report.
// Everything here is pure: no files, no processes.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vx {

// ---- the export rate table ---------------------------------------------------
// Seven rates, rate = 2^(index - 3): "0.125x" ... "8.0x"; index 3 ("1.0x")
// plays at the movie's own rate (no filters, the streams are copied).
constexpr int EXPORT_RATE_COUNT = 7;
constexpr int EXPORT_RATE_NORMAL = 3;
bool validExportRate(int index);
QString exportRateLabel(int index);        // "2.0x"; empty when out of range
QString exportRateVideoFilter(int index);  // "setpts=0.5*PTS"; empty at 1.0x
QString exportRateAudioFilter(int index);  // "atempo=2.0"; empty at 1.0x
double exportRateValue(int index);         // 0.125 ... 8.0; 1.0 when out of range

// Seconds as the tool reads them: fixed notation in the C locale, at most six
// decimals, trailing zeros dropped ("5", "0.00001", never "1e-05"). A value
// that is not finite, or rounds to zero, gives "0".
QString toolSeconds(double seconds);

// Put in front of every job: no reading of standard input (a question about
// an existing file must never wait for an answer), the progress report on
// standard output, no status line on standard error.
QStringList progressArguments();  // -nostdin -progress pipe:1 -nostats

// ---- argument lists ------------------------------------------------------------------
struct ClipRequest {
    QString moviePath;
    double startSeconds = 0;     // into the movie file
    double durationSeconds = 0;  // of the range taken from the movie
    int rateIndex = EXPORT_RATE_NORMAL;
    bool includeAudio = true;
    QString outputPath;
};
// The length of the clip made from the request: the range divided by the rate.
double clipOutputSeconds(const ClipRequest &request);
// 1.0x: -ss S -i movie -y -vcodec copy (-acodec copy | -an) -t D out
// other rates: -ss S -i movie -filter:v V (-filter:a A | -an) -t D/rate -y out
QStringList clipArguments(const ClipRequest &request);

// -f concat -safe 0 -i list (-c copy | -c:v copy -an) -y out
QStringList mergeArguments(const QString &listPath, bool includeAudio, const QString &outputPath);
// -i merged -filter:v V (-filter:a A | -an) -y out
QStringList accelerationArguments(const QString &mergedPath, int rateIndex, bool includeAudio,
                                  const QString &outputPath);

// ---- the concat list ---------------------------------------------------------------
// One line "file '<path>'" per movie, in UTF-8, each ' of a path written as
// '\'' (close the quote, an escaped quote, open again). A path holding a line
// break cannot be written (the list is read line by line): false with the
// offending path in *badPath.
bool concatListText(const QStringList &absolutePaths, QByteArray *text, QString *badPath = nullptr);
bool hasLineBreak(const QString &path);

// ---- the progress report ---------------------------------------------------------------------
// With "-progress pipe:1" the tool writes blocks of key=value lines, each
// block ending with "progress=continue" (or "progress=end" at the end).
// out_time_us is the output time reached in microseconds; "N/A" and negative
// values occur before the first packet.
class ProgressReport {
public:
    // One line of the report; true when it moved the output time.
    bool feed(const QByteArray &line);
    qint64 outTimeUs() const { return m_outTimeUs; }
    bool ended() const { return m_ended; }

private:
    qint64 m_outTimeUs = 0;
    bool m_ended = false;
};
// outTimeUs over the expected length, within 0 .. 1; 0 when the length is unknown.
double progressFraction(qint64 outTimeUs, double expectedSeconds);

} // namespace vx
