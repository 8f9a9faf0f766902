// Text formatters shared by the exports, the dashboard and the geotag list:
// coordinates by datumFormat, UTC timestamps, XML text, and printf-style
// numbers that never follow the user's locale.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace vx {

// The application name written into exports and used as the title of their
// message boxes, and the version the exports name.
QString exportApplicationName();  // "Volantix"
QString exportApplicationVersion();  // "1.1.4"

// printf-style text in the C locale (a decimal point, never a comma),
// whatever locale the process runs in.
QByteArray cFormat(const char *format, ...) __attribute__((format(printf, 1, 2)));
void appendCFormat(QByteArray &out, const char *format, ...) __attribute__((format(printf, 2, 3)));

// Coordinate texts of one position. datumFormat 0: degrees ("%7.6lf");
// 1: whole degrees (latitude "%02d", longitude "%03d") and minutes
// ("%07.4lf"); 2 (and any other value): whole degrees, whole minutes ("%02d")
// and seconds ("%05.2lf"). Minutes and seconds are always unsigned; degrees
// carry the sign when signedValues, else are of the absolute value. A
// negative position of less than one whole degree keeps its sign ("-0",
// "-00") in formats 1 and 2. Texts a format does not use are empty.
struct CoordinateText {
    QByteArray latDeg, latMin, latSec;
    QByteArray lonDeg, lonMin, lonSec;
};
CoordinateText formatCoordinates(int datumFormat, bool signedValues, double latDeg, double lonDeg);

// The same texts in six caller-owned buffers (no allocation), for code that
// formats many positions. Each buffer holds any double's text.
constexpr int COORDINATE_BUFFER_SIZE = 400;
struct CoordinateBuffers {
    char latDeg[COORDINATE_BUFFER_SIZE], latMin[COORDINATE_BUFFER_SIZE], latSec[COORDINATE_BUFFER_SIZE];
    char lonDeg[COORDINATE_BUFFER_SIZE], lonMin[COORDINATE_BUFFER_SIZE], lonSec[COORDINATE_BUFFER_SIZE];
};
void formatCoordinates(int datumFormat, bool signedValues, double latDeg, double lonDeg,
                       CoordinateBuffers &out);

// The texts of one coordinate as above, written one after the other with
// `separator` between them (degreeWidth 2 for a latitude, 3 for a
// longitude; datumFormat 0, 1 or 2). Writes at most
// COORDINATE_TEXT_MAX + 2 * separatorLength bytes; returns the end.
constexpr int COORDINATE_TEXT_MAX = 3 * 330;
char *writeCoordinate(char *out, int datumFormat, bool signedValues, double deg, int degreeWidth,
                      const char *separator, int separatorLength);

// Calendar parts of a UTC instant in seconds since 1970 (negative allowed).
struct CivilTime {
    int64_t year;
    int month, day, hour, minute, second;
};
CivilTime civilFromSeconds(int64_t seconds);
QByteArray dateText(const CivilTime &t);  // "yyyy-MM-dd"
QByteArray timeText(const CivilTime &t);  // "hh:mm:ss", 24-hour
void appendDateText(QByteArray &out, const CivilTime &t);
void appendTimeText(QByteArray &out, const CivilTime &t);

// The timestamp formatter: "yyyy-MM-ddThh:mm:ssZ" of a point time in UTC,
// for example 2017-03-11T21:22:05Z.
QByteArray formatTimestamp(uint32_t gpsTime);
void appendTimestamp(QByteArray &out, uint32_t gpsTime);

// "yyyy-MM-dd" + `between` + "hh:mm:ss" of many instants in a row, the
// calendar worked out once per day. Writes at most DATE_TIME_TEXT_MAX +
// betweenLength bytes; returns the end.
constexpr int DATE_TIME_TEXT_MAX = 40;
class DateTimeWriter {
public:
    char *write(char *out, int64_t seconds, const char *between, int betweenLength);

private:
    int64_t m_day = INT64_MIN;
    char m_date[24] = {};
    int m_dateLength = 0;
};

// Text for XML content and attribute values: & < > " ' escaped, and
// characters XML 1.0 does not allow (control characters other than tab,
// line feed and carriage return; U+FFFE, U+FFFF; unpaired surrogates)
// dropped. UTF-8.
QByteArray xmlEscaped(const QString &text);

} // namespace vx
