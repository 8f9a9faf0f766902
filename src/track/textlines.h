// Line scanning shared by the text telemetry readers and the probe-log
// parser. Input is read in fixed-size chunks (never the whole file), split
// into lines at "\n", "\r\n" or a lone "\r"; a line is handed out without its
// terminator and ends at its first NUL byte. Lines longer than MAX_LINE_BYTES
// are cut to that length (the rest up to the line end is dropped), so neither
// memory nor the pattern work per line grows with a hostile file.
//
// Bytes are Latin-1 text: byte offsets in a line equal character offsets in
// its Latin-1 QString, so a regular-expression capture can be converted
// straight from the bytes.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstring>

class QFile;
class QIODevice;
class QRegularExpression;
class QRegularExpressionMatch;

namespace vx {

constexpr int MAX_LINE_BYTES = 16384;

class LineReader {
public:
    explicit LineReader(QIODevice &in);
    // Advances to the next line; false at the end of the input.
    bool next();
    const char *data() const { return m_line; }
    int size() const { return m_size; }
    // Whether the current line holds `literal` (a cheap test before a pattern).
    template <int N>
    bool contains(const char (&literal)[N]) const { return find(m_line, m_size, literal, N - 1) >= 0; }
    // The line as Latin-1 text, converted into a buffer reused from line to
    // line (no allocation once the buffer is large enough).
    const QString &text();

    // Offset of the first `len` bytes of `literal` in s[0..n), or -1.
    static int find(const char *s, int n, const char *literal, int len);
    static int findLiteral(const char *s, int n, const char *literal);

private:
    bool fill();
    bool skipRestOfLine();

    QIODevice &m_in;
    QByteArray m_buf;
    int m_pos = 0;
    int m_end = 0;
    bool m_eof = false;
    bool m_skipLf = false;    // the last line ended with "\r": a following "\n" belongs to it
    bool m_discard = false;   // the last line was cut: drop the rest up to its end
    const char *m_line = nullptr;
    int m_size = 0;
    QString m_text;
    bool m_textValid = false;
};

// Compiles a reader pattern once, optimized, with a bound on the matching
// work per search ("(*LIMIT_MATCH=...)"): a line built to make the greedy
// ".*" parts backtrack without end finds no match instead of stalling the
// load. Real telemetry lines stay far below the bound.
constexpr int PATTERN_MATCH_LIMIT = 10000;
QRegularExpression readerPattern(const char *pattern);

// Opens `file` read-only when it names a regular file (never a directory,
// pipe or device, which could block or never end).
bool openRegularFile(QFile &file);

// The common entry of the text readers: the block's telemetryFile becomes
// `path` first (also for a file that is missing), then, when the path names
// a readable regular file, `readFrom` reads it into the block.
void readTelemetryFile(int block, const QString &path, void (*readFrom)(int, QIODevice &));

// The cue start time "(\d\d):(\d\d):(\d\d),(\d\d\d) -->" in a find-all loop:
// stores the fields of the last match in h, m, s, ms and returns true when
// the line holds at least one match.
bool scanCueTimes(const char *s, int n, int &h, int &m, int &sec, int &ms);

// Locale-independent decimal conversion of a captured number (a leading "+"
// is allowed); text that does not convert gives 0.
double parseDouble(const char *s, int n);
int parseInt(const char *s, int n);

// Conversions of capture `group` of `m`, taken from the line's bytes.
double capturedDouble(const LineReader &line, const QRegularExpressionMatch &m, int group);
int capturedInt(const LineReader &line, const QRegularExpressionMatch &m, int group);

// The find-all loop: calls `f(match)` for each match of `re` in `subject`,
// each search restarting just after the previous match, until no further
// match is found or `f` returns false.
template <class F>
void forEachMatch(const QRegularExpression &re, const QString &subject, F f);

} // namespace vx

#include <QRegularExpression>

namespace vx {

template <class F>
void forEachMatch(const QRegularExpression &re, const QString &subject, F f)
{
    int offset = 0;
    while (offset <= subject.size()) {
        const QRegularExpressionMatch m = re.match(subject, offset);
        if (!m.hasMatch())
            return;
        const int end = m.capturedEnd(0);
        if (!f(m))
            return;
        // None of the readers' patterns can match empty text; step on anyway
        // so that a loop can never stand still.
        offset = end > offset ? end : offset + 1;
    }
}

} // namespace vx
