// Values that break number texts, for the golden exports and the number-text
// tests: rounding ties k/2^n in every precision used, signed zero, carries,
// impossible positions, nan and inf; and a double from raw bits.
#pragma once

#include <QtGlobal>
#include <cstring>
#include <limits>

namespace vxtest {

inline double fromBits(quint64 bits)
{
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

const double kEdges[] = {
    0.0, -0.0, 0.5, -0.5, 0.25, 0.75, -0.25, 0.125, 0.375, -0.625, 0.0625, 0.1875, 1.03125, -2.09375,
    1.0 / 128, 3.0 / 128, -5.0 / 128, 1.0 / 256, 3.0 / 256, 45.0 + 7.0 / 256, -179.0 - 9.0 / 256, 0.05, 0.15,
    0.35, 2.675, 1.005, 89.999999999, -89.99999995, 179.99999999, -0.00000005, 0.0000000499, 9.5, 10.5,
    -9.5, 59.99999, 1e-300, 5e-324, -5e-324, 1e9, 1e9 - 0.5, 999999999.99999994, 4503599627370496.5,
    9007199254740993.0, 1e15 + 0.5, 1e17, 1e22, 1.7976931348623157e308, -1e308, 1e300,
    std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::quiet_NaN(),
    std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(), 2147483647.5,
    -2147483648.5, 123456.789, -0.049999999, 0.95, 99999.95, 9999.95};
constexpr int kEdgeCount = sizeof kEdges / sizeof kEdges[0];

} // namespace vxtest
