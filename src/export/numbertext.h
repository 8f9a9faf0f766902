// Number texts for the exports, written straight into a character buffer:
// exactly the bytes printf writes in the C locale, at a small part of its
// cost. The exports write millions of numbers; printf spends most of an
// export's time parsing its format and converting through the full decimal
// machinery, while nearly every value a track holds is a small number with
// at most nine decimals, which exact 128-bit integer arithmetic rounds just
// as printf does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vx {

// Room writeFixed needs for any double: 309 integer digits, sign, point and
// up to FIXED_MAX_PRECISION decimals, or the field width when wider.
constexpr int FIXED_MAX_PRECISION = 9;
constexpr int FIXED_MAX_WIDTH = 32;
constexpr int FIXED_TEXT_MAX = 330;

// The text of "%[0]<width>.<precision>f" (width 0: none): the value rounded
// to `precision` decimals as printf rounds (the exact binary value, ties to
// even), "-" for every negative value including -0.0 and values that round
// to zero, "nan"/"-nan" and "inf"/"-inf", right-aligned in `width` with
// spaces, or with zeros after the sign when zeroPad (never for nan and inf).
// precision 0..FIXED_MAX_PRECISION, width 0..FIXED_MAX_WIDTH. Writes at most
// FIXED_TEXT_MAX bytes, no terminating zero; returns the end of the text.
char *writeFixed(char *out, double value, int precision, int width = 0, bool zeroPad = false);

// "%d" / "%lld". At most 20 bytes; returns the end of the text.
char *writeInt(char *out, int64_t value);

// Exactly `width` decimal digits of a value in 0 .. 10^width - 1 (leading
// zeros kept), width 1..9; returns the end of the text.
char *writeDigits(char *out, uint32_t value, int width);

// The characters of a string literal (without its terminating zero) and of
// a byte string; return the end of the text.
template <size_t N>
inline char *putText(char *out, const char (&text)[N])
{
    std::memcpy(out, text, N - 1);
    return out + N - 1;
}
inline char *putText(char *out, const char *text, size_t n)
{
    std::memcpy(out, text, n);
    return out + n;
}

} // namespace vx
