#include "formatters.h"

#include "numbertext.h"

#include <clocale>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <locale.h>

namespace vx {

namespace {

// Switches this thread to the C locale for the lifetime of the object.
class CLocaleScope {
public:
    CLocaleScope() : previous(uselocale(cLocale())) {}
    ~CLocaleScope() { uselocale(previous); }
    CLocaleScope(const CLocaleScope &) = delete;
    CLocaleScope &operator=(const CLocaleScope &) = delete;

private:
    static locale_t cLocale()
    {
        static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
        return c;
    }
    locale_t previous;
};

void appendV(QByteArray &out, const char *format, va_list args)
{
    CLocaleScope c;
    char small[128];
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (n < 0)
        return;
    if (static_cast<size_t>(n) < sizeof small) {
        out.append(small, n);
        return;
    }
    const int start = out.size();
    out.resize(start + n + 1);
    std::vsnprintf(out.data() + start, static_cast<size_t>(n) + 1, format, args);
    out.resize(start + n);
}

// Whole degrees toward zero; -0 only for a negative value.
double wholeDegrees(double x)
{
    const double d = std::trunc(x);
    return d == 0 && !(x < 0) ? 0.0 : d;
}

void fillOne(int datumFormat, bool signedValues, double x, int degreeWidth, char *deg, char *min,
             char *sec)
{
    // The parts come out separated by a zero byte each.
    char text[COORDINATE_TEXT_MAX + 3];
    char *end = writeCoordinate(text, datumFormat, signedValues, x, degreeWidth, "", 1);
    *end = '\0';
    char *parts[3] = {deg, min, sec};
    const char *from = text;
    for (int i = 0; i < 3; ++i) {
        const size_t n = from < end ? std::strlen(from) : 0;
        std::memcpy(parts[i], from, n);
        parts[i][n] = '\0';
        from += n + 1;
    }
}

char *put(char *out, const char *text, int n)
{
    std::memcpy(out, text, static_cast<size_t>(n));
    return out + n;
}

void appendDigits(QByteArray &out, int value, int width)
{
    char digits[12];
    for (int i = width - 1; i >= 0; --i) {
        digits[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    out.append(digits, width);
}

} // namespace

QString exportApplicationName() { return QStringLiteral("Volantix"); }
QString exportApplicationVersion() { return QStringLiteral(VX_VERSION); }

QByteArray cFormat(const char *format, ...)
{
    QByteArray out;
    va_list args;
    va_start(args, format);
    appendV(out, format, args);
    va_end(args);
    return out;
}

void appendCFormat(QByteArray &out, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    appendV(out, format, args);
    va_end(args);
}

char *writeCoordinate(char *out, int datumFormat, bool signedValues, double x, int degreeWidth,
                      const char *separator, int separatorLength)
{
    const double shown = signedValues ? x : std::fabs(x);
    if (datumFormat == 0)
        return writeFixed(out, shown, 6, 7);  // "%7.6lf"
    // "%0Nd" of the whole degrees, kept in floating point so that no value
    // (however far out of range) overflows an integer conversion.
    out = writeFixed(out, wholeDegrees(shown), 0, degreeWidth, true);
    out = put(out, separator, separatorLength);
    const double a = std::fabs(x);
    const double minutes = (a - std::trunc(a)) * 60.0;
    if (datumFormat == 1)
        return writeFixed(out, minutes, 4, 7, true);  // "%07.4lf"
    out = writeFixed(out, std::trunc(minutes), 0, 2, true);  // "%02d"
    out = put(out, separator, separatorLength);
    return writeFixed(out, (minutes - std::trunc(minutes)) * 60.0, 2, 5, true);  // "%05.2lf"
}

void formatCoordinates(int datumFormat, bool signedValues, double latDeg, double lonDeg,
                       CoordinateBuffers &out)
{
    if (datumFormat != 0 && datumFormat != 1)
        datumFormat = 2;
    fillOne(datumFormat, signedValues, latDeg, 2, out.latDeg, out.latMin, out.latSec);
    fillOne(datumFormat, signedValues, lonDeg, 3, out.lonDeg, out.lonMin, out.lonSec);
}

CoordinateText formatCoordinates(int datumFormat, bool signedValues, double latDeg, double lonDeg)
{
    CoordinateBuffers b;
    formatCoordinates(datumFormat, signedValues, latDeg, lonDeg, b);
    return {b.latDeg, b.latMin, b.latSec, b.lonDeg, b.lonMin, b.lonSec};
}

CivilTime civilFromSeconds(int64_t seconds)
{
    int64_t days = seconds / 86400;
    int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    // Days since 1970-01-01 to a proleptic Gregorian date, by 400-year eras
    // counted from 0000-03-01.
    const int64_t z = days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    CivilTime t;
    t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    t.year = yoe + era * 400 + (t.month <= 2 ? 1 : 0);
    t.hour = static_cast<int>(rest / 3600);
    t.minute = static_cast<int>(rest / 60 % 60);
    t.second = static_cast<int>(rest % 60);
    return t;
}

void appendDateText(QByteArray &out, const CivilTime &t)
{
    if (t.year < 0 || t.year > 9999) {
        appendCFormat(out, "%04lld-%02d-%02d", static_cast<long long>(t.year), t.month, t.day);
        return;
    }
    appendDigits(out, static_cast<int>(t.year), 4);
    out += '-';
    appendDigits(out, t.month, 2);
    out += '-';
    appendDigits(out, t.day, 2);
}

void appendTimeText(QByteArray &out, const CivilTime &t)
{
    appendDigits(out, t.hour, 2);
    out += ':';
    appendDigits(out, t.minute, 2);
    out += ':';
    appendDigits(out, t.second, 2);
}

QByteArray dateText(const CivilTime &t)
{
    QByteArray out;
    appendDateText(out, t);
    return out;
}

QByteArray timeText(const CivilTime &t)
{
    QByteArray out;
    appendTimeText(out, t);
    return out;
}

void appendTimestamp(QByteArray &out, uint32_t gpsTime)
{
    const CivilTime t = civilFromSeconds(gpsTime);
    appendDateText(out, t);
    out += 'T';
    appendTimeText(out, t);
    out += 'Z';
}

char *DateTimeWriter::write(char *out, int64_t seconds, const char *between, int betweenLength)
{
    int64_t day = seconds / 86400;
    int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --day;
    }
    if (day != m_day) {
        QByteArray date;
        appendDateText(date, civilFromSeconds(day * 86400));
        m_dateLength = std::min(date.size(), static_cast<int>(sizeof m_date));
        std::memcpy(m_date, date.constData(), static_cast<size_t>(m_dateLength));
        m_day = day;
    }
    out = put(out, m_date, m_dateLength);
    out = put(out, between, betweenLength);
    const int r = static_cast<int>(rest);
    out = writeDigits(out, static_cast<uint32_t>(r / 3600), 2);
    *out++ = ':';
    out = writeDigits(out, static_cast<uint32_t>(r / 60 % 60), 2);
    *out++ = ':';
    return writeDigits(out, static_cast<uint32_t>(r % 60), 2);
}

QByteArray formatTimestamp(uint32_t gpsTime)
{
    QByteArray out;
    appendTimestamp(out, gpsTime);
    return out;
}

QByteArray xmlEscaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const ushort u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += c;
            out += text.at(++i);
            continue;
        }
        if (c.isSurrogate() || u == 0xFFFE || u == 0xFFFF || (u < 0x20 && u != 0x9 && u != 0xA && u != 0xD))
            continue;
        switch (u) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        case '\'': out += QLatin1String("&apos;"); break;
        default: out += c; break;
        }
    }
    return out.toUtf8();
}

} // namespace vx
