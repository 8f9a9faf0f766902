// Fuzzes the per-movie settings reader: any bytes as a settings file,
// applied to the default record (with a start difference taken from the
// input's length). What it leaves must be a record the windows can show
// (graph ranges through their check, volume, picture and time values within
// their ranges, known units) and one that writes and reads back unchanged.
#include "settings/graphranges.h"
#include "settings/permoviesettings.h"
#include "settings/settings.h"

#include <QByteArray>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool once = [] {
        vx::setDefaultSettings();
        return true;
    }();
    (void)once;
    using namespace vx;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<int>(size));
    SettingsRecord s = SettingsRecord();
    recomputeFactors(s);
    PerMovieContext context;
    context.startDifferenceSec = static_cast<qint64>(size % 7) * 1000 - 3000;
    applyPerMovieSettings(bytes, s, context);

    check(s.outUnits >= 0 && s.outUnits <= 2 && s.altUnits >= 0 && s.altUnits <= 1);
    check(s.tempUnits >= 0 && s.tempUnits <= 1 && s.mapType >= 0 && s.mapType <= 3);
    check(s.volume >= 0.0f && s.volume <= 1.0f);
    check(std::abs(s.brightness) <= 100 && std::abs(s.contrast) <= 100);
    check(std::abs(s.clockBias) <= 86400 && std::abs(s.timeBias) <= 86400);
    for (int g = 0; g < GRAPH_RANGE_COUNT; ++g) {
        // The record's own fields, unchecked: they must pass the check as they are.
        GraphRange raw;
        SettingsRecord copy = s;
        setGraphRange(copy, g, graphRange(s, g));
        raw = graphRange(copy, g);
        const GraphRange now = graphRange(s, g);
        check(raw.min == now.min && raw.max == now.max && raw.ticks == now.ticks);
    }
    // Written and read back, the record writes the same text again.
    const QByteArray text = perMovieSettingsText(s, s.timeBias);
    SettingsRecord again = SettingsRecord();
    recomputeFactors(again);
    check(applyPerMovieSettings(text, again, PerMovieContext()).read);
    check(perMovieSettingsText(again, again.timeBias) == text);
    return 0;
}
