// The GPMF cursor: stepping, searching and scaled reading of KLV items
// (format notes in gpmfstream.h).
#include "gpmfstream.h"

#include "mp4source.h"  // fourCC

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vx {

namespace {

bool validKey(uint32_t key)
{
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = char((key >> shift) & 0xFF);
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ' ';
        if (!ok)
            return false;
    }
    return true;
}

// Words of data after an item header (data padded to 32 bits).
uint32_t dataWords(uint32_t header)
{
    const uint32_t size = (header >> 16) & 0xFF;
    const uint32_t repeat = header & 0xFFFF;
    return (size * repeat + 3) / 4;
}

bool numericType(char type) { return gpmfTypeSize(type) > 0 && type != 'G' && type != 'U'; }

uint16_t rd16(const uint8_t *p) { return uint16_t(p[0] << 8 | p[1]); }
uint32_t rd32(const uint8_t *p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}
uint64_t rd64(const uint8_t *p) { return uint64_t(rd32(p)) << 32 | rd32(p + 4); }

// One big-endian element of a numeric type as a double.
double readValue(const uint8_t *p, char type)
{
    switch (type) {
    case 'b':
    case 'c':
        return double(int8_t(p[0]));
    case 'B':
        return double(p[0]);
    case 's':
        return double(int16_t(rd16(p)));
    case 'S':
        return double(rd16(p));
    case 'l':
        return double(int32_t(rd32(p)));
    case 'L':
    case 'F':
        return double(rd32(p));
    case 'q':
        return double(int32_t(rd32(p))) / 65536.0;
    case 'f': {
        const uint32_t bits = rd32(p);
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return double(f);
    }
    case 'd': {
        const uint64_t bits = rd64(p);
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }
    case 'j':
        return double(int64_t(rd64(p)));
    case 'J':
        return double(rd64(p));
    case 'Q':
        return double(int64_t(rd64(p))) / 4294967296.0;
    default:
        return 0;
    }
}

} // namespace

int gpmfTypeSize(char type)
{
    switch (type) {
    case 'b':
    case 'B':
    case 'c':
        return 1;
    case 's':
    case 'S':
        return 2;
    case 'l':
    case 'L':
    case 'f':
    case 'q':
    case 'F':
        return 4;
    case 'd':
    case 'j':
    case 'J':
    case 'Q':
        return 8;
    case 'G':
    case 'U':
        return 16;
    default:
        return 0;
    }
}

uint32_t GpmfStream::word(uint32_t index) const { return index < words_ ? rd32(data_ + size_t(index) * 4) : 0; }

uint32_t GpmfStream::skipFill(uint32_t pos, uint32_t end) const
{
    while (pos < end && word(pos) == 0)
        ++pos;
    return pos;
}

bool GpmfStream::init(const uint8_t *payload, size_t bytes)
{
    *this = GpmfStream();
    if (!payload)
        return false;
    data_ = payload;
    words_ = uint32_t(std::min<size_t>(bytes / 4, 0xFFFFFFFFu));
    pos_ = skipFill(0, words_);
    if (uint64_t(pos_) + 2 > words_ || !validKey(word(pos_))) {
        words_ = 0;  // nothing readable: every later call fails
        pos_ = 0;
        return false;
    }
    noteDevice();
    return true;
}

uint32_t GpmfStream::key() const { return word(pos_); }
char GpmfStream::type() const { return char(word(pos_ + 1) >> 24); }
uint32_t GpmfStream::structSize() const { return (word(pos_ + 1) >> 16) & 0xFF; }
uint32_t GpmfStream::repeat() const { return word(pos_ + 1) & 0xFFFF; }

bool GpmfStream::itemFits() const
{
    const uint64_t end = levelEnd(level_);
    return words_ > 0 && uint64_t(pos_) + 2 <= end && uint64_t(pos_) + 2 + dataWords(word(pos_ + 1)) <= end;
}

const uint8_t *GpmfStream::rawData() const { return itemFits() ? data_ + (size_t(pos_) + 2) * 4 : nullptr; }

uint32_t GpmfStream::rawDataBytes() const { return itemFits() ? structSize() * repeat() : 0; }

void GpmfStream::noteDevice()
{
    const uint32_t k = key();
    if (k != fourCC("DVID") && k != fourCC("DVNM"))
        return;
    const uint8_t *d = rawData();
    const uint32_t bytes = rawDataBytes();
    if (!d)
        return;
    if (k == fourCC("DVID")) {
        if (bytes >= 4)
            deviceId_ = rd32(d);
    } else {
        const size_t n = std::min<size_t>(bytes, sizeof deviceName_ - 1);
        std::memcpy(deviceName_, d, n);
        deviceName_[n] = 0;
    }
}

bool GpmfStream::next(Recurse recurse)
{
    bad_ = true;
    if (words_ == 0 || uint64_t(pos_) + 2 > levelEnd(level_))
        return false;
    const uint32_t header = word(pos_ + 1);
    const uint64_t itemEnd = uint64_t(pos_) + 2 + dataWords(header);
    if (itemEnd > levelEnd(level_))
        return false;  // the item claims more words than its nest has left

    int level = level_;
    uint32_t newPos;
    if ((header >> 24) == 0 && recurse == AllLevels) {
        if (level_ >= MAX_NEST)
            return false;
        level = level_ + 1;
        nestStart_[level] = pos_;
        nestEnd_[level] = uint32_t(itemEnd);
        newPos = pos_ + 2;
    } else {
        newPos = uint32_t(itemEnd);
    }
    for (;;) {
        newPos = skipFill(newPos, levelEnd(level));
        if (newPos < levelEnd(level))
            break;
        if (level == 0 || (recurse == CurrentLevel && level == level_)) {
            bad_ = false;  // end of the payload (or of the nest searched)
            return false;
        }
        --level;           // the nest is finished
    }
    if (uint64_t(newPos) + 2 > levelEnd(level) || !validKey(word(newPos)))
        return false;
    pos_ = newPos;
    level_ = level;
    bad_ = false;
    noteDevice();
    return true;
}

bool GpmfStream::findNext(uint32_t wanted, Recurse recurse)
{
    const GpmfStream saved = *this;
    while (next(recurse)) {
        if (key() == wanted)
            return true;
    }
    const bool bad = bad_;
    *this = saved;
    bad_ = bad;
    return false;
}

bool GpmfStream::findPrevious(uint32_t wanted, Recurse recurse)
{
    if (words_ == 0)
        return false;
    const int lowest = recurse == AllLevels ? 0 : level_;
    for (int level = level_; level >= lowest; --level) {
        const uint32_t end = levelEnd(level);
        const uint32_t to = level == level_ ? pos_ : nestStart_[level + 1];
        uint32_t q = skipFill(level == 0 ? 0 : nestStart_[level] + 2, end);
        bool found = false;
        uint32_t foundAt = 0;
        while (q < to && uint64_t(q) + 2 <= end) {
            const uint32_t k = word(q);
            if (!validKey(k))
                break;
            if (k == wanted) {
                found = true;
                foundAt = q;  // keep looking: the nearest one wins
            }
            const uint64_t itemEnd = uint64_t(q) + 2 + dataWords(word(q + 1));
            if (itemEnd > end)
                break;
            q = skipFill(uint32_t(itemEnd), end);
        }
        if (found) {
            level_ = level;
            pos_ = foundAt;
            return true;
        }
    }
    return false;
}

bool GpmfStream::elementTypes(char *types, int *elements) const
{
    const char t = type();
    int count = 0;
    if (t != '?') {
        const int size = gpmfTypeSize(t);
        if (size <= 0 || structSize() == 0 || structSize() % uint32_t(size) != 0)
            return false;
        count = int(structSize()) / size;
        std::memset(types, t, size_t(count));
        *elements = count;
        return true;
    }

    GpmfStream typeItem = *this;
    if (!typeItem.findPrevious(fourCC("TYPE"), AllLevels) || typeItem.type() != 'c')
        return false;
    const uint8_t *p = typeItem.rawData();
    const uint32_t n = typeItem.rawDataBytes();
    if (!p)
        return false;
    uint32_t bytes = 0;
    for (uint32_t i = 0; i < n && p[i]; ++i) {
        const char c = char(p[i]);
        if (c == '[') {
            // "x[n]": the element before repeats n times in all.
            uint32_t times = 0;
            for (++i; i < n && p[i] >= '0' && p[i] <= '9'; ++i) {
                times = times * 10 + uint32_t(p[i] - '0');
                if (times > uint32_t(MAX_ELEMENTS))
                    return false;
            }
            if (count == 0 || times == 0 || i >= n || p[i] != ']')
                return false;
            const char repeated = types[count - 1];
            for (uint32_t r = 1; r < times; ++r) {
                if (count >= MAX_ELEMENTS)
                    return false;
                types[count++] = repeated;
                bytes += uint32_t(gpmfTypeSize(repeated));
            }
            continue;
        }
        const int size = gpmfTypeSize(c);
        if (size <= 0 || count >= MAX_ELEMENTS)
            return false;
        types[count++] = c;
        bytes += uint32_t(size);
    }
    // The expanded structure must be exactly one sample long.
    if (count == 0 || bytes != structSize())
        return false;
    *elements = count;
    return true;
}

int GpmfStream::elementsInStruct() const
{
    char types[MAX_ELEMENTS];
    int elements = 0;
    return elementTypes(types, &elements) ? elements : 0;
}

bool GpmfStream::scaledData(double *out, size_t outCapacity, uint32_t first, uint32_t count) const
{
    const uint8_t *data = rawData();
    if (!data || !out || type() == 0)
        return false;
    char types[MAX_ELEMENTS];
    int elements = 0;
    if (!elementTypes(types, &elements))
        return false;
    for (int e = 0; e < elements; ++e) {
        if (!numericType(types[e]))
            return false;
    }
    if (uint64_t(first) + count > repeat() || uint64_t(count) * uint64_t(elements) > outCapacity)
        return false;

    double divisor[MAX_ELEMENTS];
    for (int e = 0; e < elements; ++e)
        divisor[e] = 1.0;
    GpmfStream scal = *this;
    if (scal.findPrevious(fourCC("SCAL"), CurrentLevel)) {
        const uint8_t *s = scal.rawData();
        const int size = gpmfTypeSize(scal.type());
        if (!s || !numericType(scal.type()))
            return false;
        const uint32_t values = scal.rawDataBytes() / uint32_t(size);
        if (values != 1 && values != uint32_t(elements))
            return false;
        for (int e = 0; e < elements; ++e) {
            divisor[e] = readValue(s + (values == 1 ? 0 : size_t(e) * size_t(size)), scal.type());
            if (divisor[e] == 0 || !std::isfinite(divisor[e]))
                return false;  // a zero divisor would turn every value infinite
        }
    }

    const size_t sampleBytes = structSize();
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t *sample = data + (size_t(first) + i) * sampleBytes;
        size_t offset = 0;
        for (int e = 0; e < elements; ++e) {
            out[size_t(i) * size_t(elements) + size_t(e)] = readValue(sample + offset, types[e]) / divisor[e];
            offset += size_t(gpmfTypeSize(types[e]));
        }
    }
    return true;
}

} // namespace vx
