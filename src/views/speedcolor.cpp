#include "speedcolor.h"

#include "settings/settings.h"
#include "track/trackstore.h"

#include <array>
#include <cmath>

namespace vx {

namespace {

constexpr std::array<const char *, 1> kOne = {"#FF0000"};
constexpr std::array<const char *, 5> kFive = {"#B40032", "#FF005A", "#FFE200", "#6CFF00", "#00CFFF"};
constexpr std::array<const char *, 10> kTen = {"#B40032", "#FF005A", "#FF9800", "#FFD600", "#F9FF00",
                                               "#ABFF00", "#00FF84", "#00F3FF", "#00C1FF", "#0078FF"};
constexpr std::array<const char *, 14> kFourteen = {"#B40032", "#FF005A", "#FF8100", "#FFB400", "#FFDA00",
                                                    "#FFFA00", "#D9FF00", "#9BFF00", "#00FF5A", "#00FFEB",
                                                    "#00E8FF", "#00C5FF", "#0098FF", "#0050FF"};

template <size_t N>
const char *entry(const std::array<const char *, N> &table, int index)
{
    if (index < 0)
        index = 0;
    if (index >= static_cast<int>(N))
        index = static_cast<int>(N) - 1;
    return table[static_cast<size_t>(index)];
}

} // namespace

int speedColorCount(int colorLevels)
{
    switch (colorLevels) {
    case 1:
    case 5:
    case 10:
        return colorLevels;
    default:
        return 14;
    }
}

const char *speedColorAt(int colorLevels, int index)
{
    switch (speedColorCount(colorLevels)) {
    case 1:
        return entry(kOne, index);
    case 5:
        return entry(kFive, index);
    case 10:
        return entry(kTen, index);
    default:
        return entry(kFourteen, index);
    }
}

int speedColorIndex(double speedKmh, double referenceKmh, int levels)
{
    if (levels <= 1)
        return 0;
    // NaN speeds fall through every comparison to the last band.
    for (int k = 0; k < levels; ++k) {
        if (static_cast<double>(k + 1) / levels * referenceKmh > speedKmh)
            return k;
    }
    return levels - 1;
}

double speedColorReference(const SettingsRecord &s, const TrackStats &stats)
{
    return s.autoScaleRoute ? static_cast<double>(stats.peakSpeed) : static_cast<double>(s.vmaxFixed);
}

QString speedColor(double speedKmh, const SettingsRecord &s, const TrackStats &stats)
{
    const int levels = speedColorCount(s.colorLevels);
    const int k = speedColorIndex(speedKmh, speedColorReference(s, stats), levels);
    return QString::fromLatin1(speedColorAt(levels, k));
}

} // namespace vx
