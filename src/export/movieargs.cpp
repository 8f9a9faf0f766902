#include "movieargs.h"

#include <algorithm>
#include <cmath>

namespace vx {

namespace {

struct RateRow {
    const char *label;
    const char *video;
    const char *audio;
};
const RateRow kRates[EXPORT_RATE_COUNT] = {
    {"0.125x", "setpts=8.0*PTS", "atempo=0.5,atempo=0.5,atempo=0.5"},
    {"0.25x", "setpts=4.0*PTS", "atempo=0.5,atempo=0.5"},
    {"0.5x", "setpts=2.0*PTS", "atempo=0.5"},
    {"1.0x", "", ""},
    {"2.0x", "setpts=0.5*PTS", "atempo=2.0"},
    {"4.0x", "setpts=0.25*PTS", "atempo=2.0,atempo=2.0"},
    {"8.0x", "setpts=0.125*PTS", "atempo=2.0,atempo=2.0,atempo=2.0"},
};

QString rateText(int index, const char *RateRow::*field)
{
    return validExportRate(index) ? QString::fromLatin1(kRates[index].*field) : QString();
}

// The filters of a rate other than 1.0x, and the sound: its filter or "-an".
QStringList filterArguments(int rateIndex, bool includeAudio)
{
    QStringList a{QStringLiteral("-filter:v"), exportRateVideoFilter(rateIndex)};
    if (includeAudio)
        a << QStringLiteral("-filter:a") << exportRateAudioFilter(rateIndex);
    else
        a << QStringLiteral("-an");
    return a;
}

} // namespace

bool validExportRate(int index) { return index >= 0 && index < EXPORT_RATE_COUNT; }

QString exportRateLabel(int index) { return rateText(index, &RateRow::label); }
QString exportRateVideoFilter(int index) { return rateText(index, &RateRow::video); }
QString exportRateAudioFilter(int index) { return rateText(index, &RateRow::audio); }

double exportRateValue(int index)
{
    return validExportRate(index) ? std::ldexp(1.0, index - EXPORT_RATE_NORMAL) : 1.0;
}

QString toolSeconds(double seconds)
{
    if (!std::isfinite(seconds))
        return QStringLiteral("0");
    // QString::number always writes the C locale.
    QString text = QString::number(seconds, 'f', 6);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text;
}

QStringList progressArguments()
{
    return {QStringLiteral("-nostdin"), QStringLiteral("-progress"), QStringLiteral("pipe:1"),
            QStringLiteral("-nostats")};
}

double clipOutputSeconds(const ClipRequest &request)
{
    return request.durationSeconds / exportRateValue(request.rateIndex);
}

QStringList clipArguments(const ClipRequest &r)
{
    QStringList a = progressArguments();
    a << QStringLiteral("-ss") << toolSeconds(r.startSeconds) << QStringLiteral("-i") << r.moviePath;
    if (r.rateIndex == EXPORT_RATE_NORMAL || !validExportRate(r.rateIndex)) {
        a << QStringLiteral("-y") << QStringLiteral("-vcodec") << QStringLiteral("copy");
        if (r.includeAudio)
            a << QStringLiteral("-acodec") << QStringLiteral("copy");
        else
            a << QStringLiteral("-an");
        a << QStringLiteral("-t") << toolSeconds(r.durationSeconds) << r.outputPath;
        return a;
    }
    a << filterArguments(r.rateIndex, r.includeAudio);
    a << QStringLiteral("-t") << toolSeconds(clipOutputSeconds(r)) << QStringLiteral("-y") << r.outputPath;
    return a;
}

QStringList mergeArguments(const QString &listPath, bool includeAudio, const QString &outputPath)
{
    QStringList a = progressArguments();
    a << QStringLiteral("-f") << QStringLiteral("concat") << QStringLiteral("-safe") << QStringLiteral("0")
      << QStringLiteral("-i") << listPath;
    if (includeAudio)
        a << QStringLiteral("-c") << QStringLiteral("copy");
    else
        a << QStringLiteral("-c:v") << QStringLiteral("copy") << QStringLiteral("-an");
    a << QStringLiteral("-y") << outputPath;
    return a;
}

QStringList accelerationArguments(const QString &mergedPath, int rateIndex, bool includeAudio,
                                  const QString &outputPath)
{
    QStringList a = progressArguments();
    a << QStringLiteral("-i") << mergedPath << filterArguments(rateIndex, includeAudio) << QStringLiteral("-y")
      << outputPath;
    return a;
}

bool hasLineBreak(const QString &path)
{
    return path.contains(QLatin1Char('\n')) || path.contains(QLatin1Char('\r'));
}

bool concatListText(const QStringList &absolutePaths, QByteArray *text, QString *badPath)
{
    QByteArray out;
    for (const QString &path : absolutePaths) {
        if (hasLineBreak(path)) {
            if (badPath)
                *badPath = path;
            return false;
        }
        QString quoted = path;
        quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
        out += "file '" + quoted.toUtf8() + "'\n";
    }
    *text = out;
    return true;
}

bool ProgressReport::feed(const QByteArray &line)
{
    const int eq = line.indexOf('=');
    if (eq <= 0)
        return false;
    const QByteArray key = line.left(eq).trimmed();
    const QByteArray value = line.mid(eq + 1).trimmed();
    if (key == "progress") {
        if (value == "end")
            m_ended = true;
        return false;
    }
    if (key != "out_time_us")
        return false;
    bool ok = false;
    const qint64 us = value.toLongLong(&ok);
    if (!ok)
        return false;
    m_outTimeUs = std::max<qint64>(us, 0);
    return true;
}

double progressFraction(qint64 outTimeUs, double expectedSeconds)
{
    if (!(expectedSeconds > 0) || !std::isfinite(expectedSeconds))
        return 0.0;
    return std::clamp(static_cast<double>(outTimeUs) / (expectedSeconds * 1e6), 0.0, 1.0);
}

} // namespace vx
