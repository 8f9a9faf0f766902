#include "clipexport.h"

#include "movieargs.h"

#include <QLocale>

#include <cmath>

namespace vx {

namespace {

// 'g' form, but never an exponent (a field showing "1e-05" reads badly).
QString gText(double value, int digits)
{
    const QString text = QString::number(value, 'g', digits);
    return text.contains(QLatin1Char('e')) ? toolSeconds(value) : text;
}

} // namespace

ClipChoices &clipChoices()
{
    static ClipChoices choices;
    return choices;
}

MinutesSeconds splitMinutesSeconds(double totalSeconds)
{
    if (!std::isfinite(totalSeconds))
        totalSeconds = 0;
    const double minutes = std::trunc(totalSeconds / 60.0);
    return {QString::number(static_cast<qint64>(minutes)), gText(totalSeconds - minutes * 60.0, 4)};
}

QString durationFieldText(double seconds) { return gText(seconds, 6); }

double fieldValue(const QString &text)
{
    bool ok = false;
    double v = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok)
        v = QLocale().toDouble(text.trimmed(), &ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

QString clipInfoText(int timeFactor, double movieSeconds)
{
    if (timeFactor < 2)
        return QStringLiteral("Movie Duration: %1 seconds").arg(movieSeconds);
    return QStringLiteral("Timelapse Duration: %1 minutes").arg(timeFactor * movieSeconds / 60.0);
}

ClipRange checkClipRange(double startFieldSeconds, double durationFieldSeconds, int timeFactor,
                         double movieSeconds)
{
    const double f = timeFactor >= 1 ? timeFactor : 1;
    const double minimum = 0.1 * f;
    ClipRange r;
    r.durationSeconds = durationFieldSeconds / f;
    r.startSeconds = startFieldSeconds / f;
    const double s = r.startSeconds;
    const double d = r.durationSeconds;
    const bool known = movieSeconds > 0;
    const double D = movieSeconds;
    if (!std::isfinite(s) || s < 0)
        r.error = QStringLiteral("The start time must be greater than 0 seconds.");
    else if (!std::isfinite(d) || s + d < 0)
        r.error = QStringLiteral("The stop time must be greater than 0 secondsseconds");
    else if (d < minimum)
        r.error = QStringLiteral("Duration must be longer than %1 seconds.").arg(minimum);
    else if (known && d > D - minimum)
        r.error = QStringLiteral("Duration must be shorter than %1 seconds.").arg(f * D - minimum);
    else if (known && s + d > D - minimum)
        r.error = QStringLiteral("Start Time plus duration must be shorter than %1 seconds.").arg(f * D - minimum);
    r.ok = r.error.isEmpty();
    return r;
}

QString clipNoMoviesText() { return QStringLiteral("Can not export. No movies loaded."); }

QString clipCompleteText(const QString &fileName, const QString &fileManager)
{
    return QStringLiteral("Export Complete! %1 created. Reveal in %2?").arg(fileName, fileManager);
}

} // namespace vx
