// GPMF key-length-value walker: a cursor over one payload of a GoPro
// metadata track.
//
// Format read: a payload is a sequence of KLV items, each an 8-byte header
// (a four-character key; a one-byte type; a one-byte structure size in bytes
// per sample; a big-endian uint16 repeat count of samples) followed by
// structure size × repeat bytes of big-endian data, zero-padded to a multiple
// of 4 bytes. Type 0 is a nest whose data is again a sequence of KLV items
// (devices "DEVC" hold streams "STRM" that hold the sensor items). Words of
// value 0 between items are fill. A key is valid when each of its characters
// is an ASCII letter, digit or space. Type "?" is a structure whose element
// types are spelled by the "TYPE" item before it in the same nest ("f[8]L"
// repeats an element); "SCAL" before an item holds its divisors, one for all
// elements or one per element.
//
// The cursor never reads outside the payload: every item is checked against
// the words left in its nest before its data is used, nests are limited to
// MAX_NEST levels, and a failed search leaves the cursor where it was. The
// payload's bytes stay with the caller and must outlive the cursor.
#pragma once

#include <QByteArray>
#include <cstddef>
#include <cstdint>

namespace vx {

// Bytes of one element of GPMF type `type`: 1 for "b", "B", "c"; 2 for "s",
// "S"; 4 for "l", "L", "f", "q", "F"; 8 for "d", "j", "J", "Q"; 16 for "G",
// "U"; 0 for a nest (type 0), "?" and unknown types.
int gpmfTypeSize(char type);

class GpmfStream {
public:
    static constexpr int MAX_NEST = 16;
    // Elements of a structure after "[n]" expansion (a structure has at most
    // 255 bytes, so at most 255 elements).
    static constexpr int MAX_ELEMENTS = 255;

    enum Recurse {
        CurrentLevel,  // stay within the current nest; nests are stepped over
        AllLevels,     // enter nests and leave finished ones
    };

    // Starts at the first item of `bytes` bytes (only whole 32-bit words
    // count). False when the payload holds no valid first item.
    bool init(const uint8_t *payload, size_t bytes);

    // Steps to the next item. False (cursor unchanged) at the end of the
    // payload (or of the current nest with CurrentLevel) and on a bad
    // structure: an item longer than the words left in its nest, a nest
    // deeper than MAX_NEST, or an invalid key.
    bool next(Recurse recurse = AllLevels);
    // Steps until an item with `key`; the cursor is restored when none follows.
    bool findNext(uint32_t key, Recurse recurse = AllLevels);
    // Whether the last failed step (of next or findNext) met a bad structure
    // rather than the end of the payload or nest.
    bool structureBad() const { return bad_; }
    // Looks for `key` among the items before the cursor in the current nest,
    // and with AllLevels also in the enclosing nests (nearest first). The
    // cursor is restored when none is found.
    bool findPrevious(uint32_t key, Recurse recurse = CurrentLevel);

    uint32_t key() const;
    char type() const;
    uint32_t structSize() const;
    uint32_t repeat() const;
    int nestLevel() const { return level_; }
    // Elements in one sample: structure size ÷ type size, or the length of
    // the expanded "TYPE" for "?"; 0 when that cannot be told.
    int elementsInStruct() const;
    // The item's data (structure size × repeat bytes); null when the item
    // does not fit in its nest.
    const uint8_t *rawData() const;
    uint32_t rawDataBytes() const;
    // Writes samples first … first + count − 1 of the item at the cursor,
    // every element read big-endian with its type and divided by its "SCAL"
    // divisor, as float64 sample after sample into out[0 … count × elements).
    // False when the element types cannot be told, "SCAL" has neither one
    // value nor one per element or holds a zero, an element type has no
    // numeric value ("G", "U", nests), or the samples do not fit in the item
    // or in `outCapacity`.
    bool scaledData(double *out, size_t outCapacity, uint32_t first, uint32_t count) const;
    // The element types of the item at the cursor, one character per element.
    bool elementTypes(char *types, int *elements) const;

    uint32_t deviceId() const { return deviceId_; }
    QByteArray deviceName() const { return QByteArray(deviceName_); }

private:
    uint32_t word(uint32_t index) const;
    uint32_t levelEnd(int level) const { return level == 0 ? words_ : nestEnd_[level]; }
    uint32_t skipFill(uint32_t pos, uint32_t end) const;
    bool itemFits() const;
    void noteDevice();

    const uint8_t *data_ = nullptr;
    uint32_t words_ = 0;
    uint32_t pos_ = 0;                  // word index of the current item's key
    int level_ = 0;                     // 0 = top level of the payload
    uint32_t nestStart_[MAX_NEST + 1] = {};  // key word of the nest of each level
    uint32_t nestEnd_[MAX_NEST + 1] = {};    // first word after it
    uint32_t deviceId_ = 0;
    char deviceName_[32] = {};
    bool bad_ = false;
};

} // namespace vx
