#include "numbertext.h"

#include <array>
#include <charconv>
#include <utility>
#include <cstring>

namespace vx {

namespace {

const char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

constexpr uint64_t kPow10[] = {1ull,      10ull,      100ull,      1000ull,      10000ull,
                               100000ull, 1000000ull, 10000000ull, 100000000ull, 1000000000ull};

// The digits of v, no leading zeros, ending at `end`; returns their start.
char *unsignedBackwards(char *end, uint64_t v)
{
    while (v >= 100) {
        const unsigned r = static_cast<unsigned>(v % 100);
        v /= 100;
        end -= 2;
        std::memcpy(end, kPairs + 2 * r, 2);
    }
    if (v >= 10) {
        end -= 2;
        std::memcpy(end, kPairs + 2 * v, 2);
    } else {
        *--end = static_cast<char>('0' + v);
    }
    return end;
}

void twoDigits(char *at, uint32_t v) { std::memcpy(at, kPairs + 2 * v, 2); }

void fourDigits(char *at, uint32_t v)
{
    twoDigits(at, v / 100);
    twoDigits(at + 2, v % 100);
}

// Exactly N digits of v < 10^N, leading zeros kept. Groups of four are made
// from independent quotients, so the processor works on them side by side.
template <int N>
void fixedDigits(char *at, uint32_t v)
{
    if constexpr (N == 1) {
        *at = static_cast<char>('0' + v);
    } else if constexpr (N == 2) {
        twoDigits(at, v);
    } else if constexpr (N == 3) {
        *at = static_cast<char>('0' + v / 100);
        twoDigits(at + 1, v % 100);
    } else if constexpr (N == 4) {
        fourDigits(at, v);
    } else {
        fixedDigits<N - 4>(at, v / 10000);
        fourDigits(at + N - 4, v % 10000);
    }
}

// The digits of v < 10^10, no leading zeros, `count` of them.
void wholeDigits(char *at, uint32_t v, int count)
{
    switch (count) {
    case 1: fixedDigits<1>(at, v); break;
    case 2: fixedDigits<2>(at, v); break;
    case 3: fixedDigits<3>(at, v); break;
    case 4: fixedDigits<4>(at, v); break;
    case 5: fixedDigits<5>(at, v); break;
    case 6: fixedDigits<6>(at, v); break;
    case 7: fixedDigits<7>(at, v); break;
    case 8: fixedDigits<8>(at, v); break;
    case 9: fixedDigits<9>(at, v); break;
    default:
        *at = static_cast<char>('0' + v / 1000000000);
        fixedDigits<9>(at + 1, v % 1000000000);
        break;
    }
}

char *pad(char *out, int count, char c)
{
    if (count > 0) {
        std::memset(out, c, static_cast<size_t>(count));
        out += count;
    }
    return out;
}

// Places `body` (sign first when negative) right-aligned in `width`.
char *placeBody(char *out, bool negative, const char *digits, int length, int width, bool zeroPad)
{
    const int fill = width - length - (negative ? 1 : 0);
    if (!zeroPad)
        out = pad(out, fill, ' ');
    if (negative)
        *out++ = '-';
    if (zeroPad)
        out = pad(out, fill, '0');
    std::memcpy(out, digits, static_cast<size_t>(length));
    return out + length;
}

// Values out of the fast range and nan/inf. std::to_chars with a precision
// converts as printf does in the C locale, exactly, whatever the magnitude.
char *slowFixed(char *out, double value, bool negative, bool finite, int precision, int width, bool zeroPad)
{
    char body[FIXED_TEXT_MAX];
    int length;
    if (!finite) {
        const bool isNan = value != value;
        std::memcpy(body, isNan ? "nan" : "inf", 3);
        length = 3;
        zeroPad = false;  // printf pads nan and inf with spaces
    } else {
        const double magnitude = negative ? -value : value;
        const std::to_chars_result r =
            std::to_chars(body, body + sizeof body, magnitude, std::chars_format::fixed, precision);
        length = r.ec == std::errc() ? static_cast<int>(r.ptr - body) : 0;
    }
    return placeBody(out, negative, body, length, width, zeroPad);
}

// Digits of v < 2^32 without a loop: for v in [2^i, 2^(i+1)) the count is
// k or k + 1 (k the count of 2^i), and adding 2^32 - 10^k carries into the
// upper half exactly when v >= 10^k.
constexpr uint64_t digitCountStep(int i)
{
    int k = 1;
    for (uint64_t p = 10; p <= (uint64_t{1} << i); p *= 10)
        ++k;
    uint64_t tenK = 1;
    for (int j = 0; j < k; ++j)
        tenK *= 10;
    return (uint64_t(k) << 32) + (tenK <= (uint64_t{1} << 32) ? (uint64_t{1} << 32) - tenK : 0);
}
template <int... I>
constexpr std::array<uint64_t, 32> digitCountTable(std::integer_sequence<int, I...>)
{
    return {digitCountStep(I)...};
}
constexpr std::array<uint64_t, 32> kDigitSteps = digitCountTable(std::make_integer_sequence<int, 32>());

int digitCount(uint32_t v) { return static_cast<int>((v + kDigitSteps[31 - __builtin_clz(v | 1)]) >> 32); }

template <int P>
char *fixedWithPrecision(char *out, double value, int width, bool zeroPad)
{
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const bool negative = (bits >> 63) != 0;
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    // Below 2^30 every value is m * 2^-s with s >= 23; value * 10^P then
    // fits 83 bits and its integer part 64 bits.
    if (biased >= 1023 + 30)
        return slowFixed(out, value, negative, biased != 0x7FF, P, width, zeroPad);
    const uint64_t fraction = bits & ((uint64_t{1} << 52) - 1);
    const uint64_t m = biased == 0 ? fraction : fraction | (uint64_t{1} << 52);
    const int s = biased == 0 ? 1074 : 1075 - biased;
    uint64_t q = 0;
    if (s < 84) {
        // The exact product, rounded to an integer as printf rounds: up when
        // the rest is above one half, to even when it is exactly one half.
        const unsigned __int128 product = static_cast<unsigned __int128>(m) * kPow10[P];
        q = static_cast<uint64_t>(product >> s);
        const unsigned __int128 rest = product - (static_cast<unsigned __int128>(q) << s);
        const unsigned __int128 half = static_cast<unsigned __int128>(1) << (s - 1);
        if (rest > half || (rest == half && (q & 1)))
            ++q;
    }
    const uint32_t whole = static_cast<uint32_t>(q / kPow10[P]);  // at most 2^30
    const int wholeCount = digitCount(whole);
    const int length = (negative ? 1 : 0) + wholeCount + (P > 0 ? P + 1 : 0);
    const int fill = width - length;
    if (!zeroPad)
        for (int i = 0; i < fill; ++i)
            *out++ = ' ';
    if (negative)
        *out++ = '-';
    if (zeroPad)
        for (int i = 0; i < fill; ++i)
            *out++ = '0';
    wholeDigits(out, whole, wholeCount);
    out += wholeCount;
    if constexpr (P > 0) {
        *out++ = '.';
        fixedDigits<P>(out, static_cast<uint32_t>(q % kPow10[P]));
        out += P;
    }
    return out;
}

} // namespace

char *writeFixed(char *out, double value, int precision, int width, bool zeroPad)
{
    if (width < 0)
        width = 0;
    else if (width > FIXED_MAX_WIDTH)
        width = FIXED_MAX_WIDTH;
    switch (precision) {
    case 0: return fixedWithPrecision<0>(out, value, width, zeroPad);
    case 1: return fixedWithPrecision<1>(out, value, width, zeroPad);
    case 2: return fixedWithPrecision<2>(out, value, width, zeroPad);
    case 3: return fixedWithPrecision<3>(out, value, width, zeroPad);
    case 4: return fixedWithPrecision<4>(out, value, width, zeroPad);
    case 5: return fixedWithPrecision<5>(out, value, width, zeroPad);
    case 6: return fixedWithPrecision<6>(out, value, width, zeroPad);
    case 7: return fixedWithPrecision<7>(out, value, width, zeroPad);
    case 8: return fixedWithPrecision<8>(out, value, width, zeroPad);
    default: return fixedWithPrecision<9>(out, value, width, zeroPad);
    }
}

char *writeInt(char *out, int64_t value)
{
    // The magnitude in unsigned arithmetic: -INT64_MIN does not fit int64_t.
    const uint64_t magnitude = value < 0 ? uint64_t{0} - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    if (value < 0)
        *out++ = '-';
    char digits[20];
    char *end = digits + sizeof digits;
    const char *start = unsignedBackwards(end, magnitude);
    const size_t n = static_cast<size_t>(end - start);
    std::memcpy(out, start, n);
    return out + n;
}

char *writeDigits(char *out, uint32_t value, int width)
{
    if (width == 2 && value < 100) {
        std::memcpy(out, kPairs + 2 * value, 2);
        return out + 2;
    }
    for (int i = width - 1; i >= 0; --i) {
        out[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    return out + width;
}

} // namespace vx
