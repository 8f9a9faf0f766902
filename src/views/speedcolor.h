// The speed colour rule shared by the map route and the graph curves: a
// speed is coloured by where it falls between 0 and a reference speed,
// split into `colorLevels` equal bands (1, 5, 10 or 14 colours, slowest
// first). Pure functions of the settings and the track statistics; no
// window needed.
#pragma once

#include <QString>

namespace vx {

struct SettingsRecord;
struct TrackStats;

// The colour tables, "#RRGGBB" each. A level count without a table of its
// own (a damaged setting) uses the 14-level table.
int speedColorCount(int colorLevels);
const char *speedColorAt(int colorLevels, int index);

// The band of speed v against reference R with N levels: the smallest k
// (0-based) with (k + 1) / N * R > v, reckoned in floating point; N - 1
// when there is none (v >= R, or R not above 0). N = 1 always gives 0.
int speedColorIndex(double speedKmh, double referenceKmh, int levels);

// The reference speed: peakSpeed of the statistics with autoScaleRoute on,
// else vmaxFixed (both km/h).
double speedColorReference(const SettingsRecord &s, const TrackStats &stats);

// "#RRGGBB" of a speed in km/h under the settings.
QString speedColor(double speedKmh, const SettingsRecord &s, const TrackStats &stats);

} // namespace vx
