#include "textlines.h"

#include "trackstore.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QRegularExpressionMatch>
#include <charconv>

namespace vx {

namespace {

// Room for several maximal lines, so that a line never waits for more room.
constexpr int CHUNK_BYTES = 1 << 20;
static_assert(CHUNK_BYTES >= 4 * MAX_LINE_BYTES, "a chunk must hold several lines");

// Index of the first "\n" or "\r" in s[0..n), or -1. Lines are short, so a
// plain loop with one cheap comparison per byte beats library searches.
int findLineEnd(const char *s, int n)
{
    for (int i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c <= '\r' && (c == '\n' || c == '\r'))
            return i;
    }
    return -1;
}

} // namespace

LineReader::LineReader(QIODevice &in)
    : m_in(in)
{
    m_buf.resize(CHUNK_BYTES);
}

// Moves the unread rest to the front and reads more; false when nothing new
// arrived (end of input or a read error, which ends the input too).
bool LineReader::fill()
{
    if (m_eof)
        return false;
    if (m_pos > 0) {
        std::memmove(m_buf.data(), m_buf.constData() + m_pos, static_cast<size_t>(m_end - m_pos));
        m_end -= m_pos;
        m_pos = 0;
    }
    const qint64 got = m_in.read(m_buf.data() + m_end, CHUNK_BYTES - m_end);
    if (got <= 0) {
        m_eof = true;
        return false;
    }
    m_end += static_cast<int>(got);
    return true;
}

// Drops bytes up to and including the next line end; false at the end of input.
bool LineReader::skipRestOfLine()
{
    for (;;) {
        if (m_pos == m_end && !fill())
            return false;
        const int e = findLineEnd(m_buf.constData() + m_pos, m_end - m_pos);
        if (e >= 0) {
            m_skipLf = m_buf[m_pos + e] == '\r';
            m_pos += e + 1;
            return true;
        }
        m_pos = m_end;
    }
}

bool LineReader::next()
{
    m_textValid = false;
    if (m_discard) {
        m_discard = false;
        if (!skipRestOfLine())
            return false;
    }
    if (m_skipLf) {
        if (m_pos == m_end && !fill())
            return false;
        if (m_buf[m_pos] == '\n')
            ++m_pos;
        m_skipLf = false;
    }
    if (m_pos == m_end && !fill())
        return false;

    int len;
    for (;;) {
        const int avail = m_end - m_pos;
        const int window = avail < MAX_LINE_BYTES ? avail : MAX_LINE_BYTES;
        const int e = findLineEnd(m_buf.constData() + m_pos, window);
        if (e >= 0) {
            len = e;
            m_skipLf = m_buf[m_pos + e] == '\r';
            m_line = m_buf.constData() + m_pos;
            m_pos += e + 1;
            break;
        }
        if (avail < MAX_LINE_BYTES) {
            if (fill())
                continue;
            len = avail;  // the last line, without a terminator
            m_line = m_buf.constData() + m_pos;
            m_pos = m_end;
            break;
        }
        // Over-long: keep the first MAX_LINE_BYTES; the rest is dropped when
        // the next line is asked for (the kept bytes stay in place until then).
        len = MAX_LINE_BYTES;
        m_line = m_buf.constData() + m_pos;
        m_pos += MAX_LINE_BYTES;
        m_discard = true;
        break;
    }
    const void *nul = std::memchr(m_line, '\0', static_cast<size_t>(len));
    m_size = nul ? static_cast<int>(static_cast<const char *>(nul) - m_line) : len;
    return true;
}

const QString &LineReader::text()
{
    if (!m_textValid) {
        // Reuses the buffer's capacity; every Latin-1 byte is one UTF-16 unit.
        m_text.resize(m_size);
        QChar *out = m_text.data();
        const auto *in = reinterpret_cast<const unsigned char *>(m_line);
        for (int i = 0; i < m_size; ++i)
            out[i] = QChar(static_cast<ushort>(in[i]));
        m_textValid = true;
    }
    return m_text;
}

int LineReader::find(const char *s, int n, const char *literal, int len)
{
    // Lines are short: finding the first byte with memchr and comparing the
    // rest is cheaper than a general substring search with its set-up.
    if (len <= 0)
        return 0;
    const char *p = s;
    const char *const last = s + n - len;
    while (p <= last) {
        p = static_cast<const char *>(std::memchr(p, literal[0], static_cast<size_t>(last - p + 1)));
        if (!p)
            return -1;
        if (std::memcmp(p + 1, literal + 1, static_cast<size_t>(len - 1)) == 0)
            return static_cast<int>(p - s);
        ++p;
    }
    return -1;
}

int LineReader::findLiteral(const char *s, int n, const char *literal)
{
    return find(s, n, literal, static_cast<int>(std::strlen(literal)));
}

QRegularExpression readerPattern(const char *pattern)
{
    QRegularExpression re(QStringLiteral("(*LIMIT_MATCH=%1)").arg(PATTERN_MATCH_LIMIT) + QString::fromLatin1(pattern));
    re.optimize();
    return re;
}

bool openRegularFile(QFile &file)
{
    if (!QFileInfo(file.fileName()).isFile())
        return false;
    return file.open(QIODevice::ReadOnly);
}

void readTelemetryFile(int block, const QString &path, void (*readFrom)(int, QIODevice &))
{
    if (block < 0 || block >= MAX_BLOCKS)
        return;
    track().block[block].telemetryFile = QFileInfo(path);
    QFile file(path);
    if (openRegularFile(file))
        readFrom(block, file);
}

bool scanCueTimes(const char *s, int n, int &h, int &m, int &sec, int &ms)
{
    // Every match is "dd:dd:dd,ddd -->" (17 bytes) and ends in " -->", which
    // holds no digit, colon or comma: matches cannot overlap, so the find-all
    // loop meets exactly the arrows that follow a complete time.
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    auto two = [](const char *p) { return (p[0] - '0') * 10 + (p[1] - '0'); };
    bool found = false;
    if (n < 16)
        return false;
    // Look for each ">" (rarer than the arrow's space) at index 15 or later.
    const char *at = s + 15;
    const char *const end = s + n;
    while (at < end) {
        at = static_cast<const char *>(std::memchr(at, '>', static_cast<size_t>(end - at)));
        if (!at)
            break;
        const char *p = at - 15;
        if (at[-3] == ' ' && at[-2] == '-' && at[-1] == '-' && digit(p[0]) && digit(p[1]) && p[2] == ':'
            && digit(p[3]) && digit(p[4]) && p[5] == ':' && digit(p[6]) && digit(p[7]) && p[8] == ','
            && digit(p[9]) && digit(p[10]) && digit(p[11])) {
            h = two(p);
            m = two(p + 3);
            sec = two(p + 6);
            ms = (p[9] - '0') * 100 + two(p + 10);
            found = true;
        }
        ++at;
    }
    return found;
}

double parseDouble(const char *s, int n)
{
    if (n > 0 && *s == '+') {
        ++s;
        --n;
        if (n > 0 && (*s == '-' || *s == '+'))
            return 0.0;
    }
    double value = 0.0;
    const auto r = std::from_chars(s, s + n, value);
    if (r.ec != std::errc() || r.ptr != s + n)
        return 0.0;
    return value;
}

int parseInt(const char *s, int n)
{
    if (n > 0 && *s == '+') {
        ++s;
        --n;
        if (n > 0 && (*s == '-' || *s == '+'))
            return 0;
    }
    int value = 0;
    const auto r = std::from_chars(s, s + n, value);
    if (r.ec != std::errc() || r.ptr != s + n)
        return 0;
    return value;
}

double capturedDouble(const LineReader &line, const QRegularExpressionMatch &m, int group)
{
    const int start = m.capturedStart(group);
    if (start < 0)
        return 0.0;
    return parseDouble(line.data() + start, m.capturedLength(group));
}

int capturedInt(const LineReader &line, const QRegularExpressionMatch &m, int group)
{
    const int start = m.capturedStart(group);
    if (start < 0)
        return 0;
    return parseInt(line.data() + start, m.capturedLength(group));
}

} // namespace vx
