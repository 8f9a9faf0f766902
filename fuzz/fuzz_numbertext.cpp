// libFuzzer target for the export number texts: the first eight bytes are a
// double (any bit pattern), the next three choose the precision (0..9), the
// width (0..32) and zero padding; the text must equal the C library's printf
// of the same format, byte for byte, and stay within FIXED_TEXT_MAX. Eight
// more bytes are an integer for writeInt against "%lld".
#include "export/numbertext.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace vx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 11)
        return 0;
    double value;
    std::memcpy(&value, data, sizeof value);
    const int precision = data[8] % (FIXED_MAX_PRECISION + 1);
    const int width = data[9] % (FIXED_MAX_WIDTH + 1);
    const bool zeroPad = data[10] & 1;

    char want[512];
    std::snprintf(want, sizeof want, zeroPad ? "%0*.*f" : "%*.*f", width, precision, value);
    char got[FIXED_TEXT_MAX];
    const char *end = writeFixed(got, value, precision, width, zeroPad);
    const size_t n = static_cast<size_t>(end - got);
    if (n != std::strlen(want) || std::memcmp(got, want, n) != 0) {
        std::fprintf(stderr, "%a %%%s%d.%df: printf \"%s\", ours \"%.*s\"\n", value, zeroPad ? "0" : "", width,
                     precision, want, static_cast<int>(n), got);
        std::abort();
    }

    if (size >= 19) {
        int64_t i;
        std::memcpy(&i, data + 11, sizeof i);
        char wantInt[32], gotInt[32];
        std::snprintf(wantInt, sizeof wantInt, "%lld", static_cast<long long>(i));
        const char *e = writeInt(gotInt, i);
        if (static_cast<size_t>(e - gotInt) != std::strlen(wantInt) || std::memcmp(gotInt, wantInt, std::strlen(wantInt)))
            std::abort();
    }
    return 0;
}
