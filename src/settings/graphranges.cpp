#include "graphranges.h"

#include "settings.h"

#include <algorithm>
#include <cmath>

namespace vx {

namespace {

constexpr GraphKeyLimits kKeyLimits[GRAPH_RANGE_COUNT] = {
    {5, 5, 200},      // speed
    {0.1, 1.0, 200},  // distance (times the distance factor)
    {0.1, 1.0, 100},  // line of sight (times the distance factor)
    {5, 5, 360},      // bearing
    {10, 1, 5000},    // altitude
    {1, 5, 30},       // satellites
};

int validGraph(int graph) { return graph >= 0 && graph < GRAPH_RANGE_COUNT ? graph : SpeedGraph; }

// The record's three fields of a graph.
struct Fields {
    double *min;
    double *max;
    int *ticks;
};

Fields fieldsOf(SettingsRecord &s, int graph)
{
    switch (graph) {
    case DistanceGraph: return {&s.distMin, &s.distMax, &s.nDistTicks};
    case LosGraph: return {&s.losMin, &s.losMax, &s.nLosTicks};
    case BearingGraph: return {&s.bearingMin, &s.bearingMax, &s.nBearingTicks};
    case AltitudeGraph: return {&s.altMin, &s.altMax, &s.nAltTicks};
    case SatsGraph: return {&s.satsMin, &s.satsMax, &s.nSatsTicks};
    default: return {&s.speedDashCamMin, &s.speedDashCamMax, &s.nSpeedDashCamTicks};
    }
}

GraphRange rawRange(const SettingsRecord &s, int graph)
{
    const Fields f = fieldsOf(const_cast<SettingsRecord &>(s), graph);
    return {*f.min, *f.max, *f.ticks};
}

double finiteOr(double v, double fallback)
{
    if (!std::isfinite(v))
        return fallback;
    return std::clamp(v, -GRAPH_VALUE_LIMIT, GRAPH_VALUE_LIMIT);
}

} // namespace

GraphKeyLimits graphKeyLimits(int graph, double distFactor)
{
    GraphKeyLimits k = kKeyLimits[validGraph(graph)];
    if ((graph == DistanceGraph || graph == LosGraph) && std::isfinite(distFactor) && distFactor > 0) {
        k.step *= distFactor;
        k.lowestMax *= distFactor;
        k.highestMax *= distFactor;
    }
    return k;
}

GraphRange checkedGraphRange(int graph, GraphRange r, double distFactor)
{
    graph = validGraph(graph);
    const GraphRange fallback = rawRange(SettingsRecord(), graph);
    const double step = graphKeyLimits(graph, distFactor).step;
    r.ticks = std::clamp(r.ticks, MIN_GRAPH_TICKS, MAX_GRAPH_TICKS);
    r.min = finiteOr(r.min, fallback.min);
    r.max = finiteOr(r.max, fallback.max);
    if (r.max < r.min)
        r.min = 0;
    if (r.max < r.min + step)
        r.max = r.min + step;
    return r;
}

GraphRange graphRange(const SettingsRecord &s, int graph)
{
    return checkedGraphRange(graph, rawRange(s, validGraph(graph)), s.distFactor);
}

void setGraphRange(SettingsRecord &s, int graph, const GraphRange &range)
{
    if (graph < 0 || graph >= GRAPH_RANGE_COUNT)
        return;
    const GraphRange r = checkedGraphRange(graph, range, s.distFactor);
    const Fields f = fieldsOf(s, graph);
    *f.min = r.min;
    *f.max = r.max;
    *f.ticks = r.ticks;
}

void checkGraphRanges(SettingsRecord &s)
{
    for (int graph = 0; graph < GRAPH_RANGE_COUNT; ++graph)
        setGraphRange(s, graph, rawRange(s, graph));
}

GraphRange graphRangeAfterKey(int graph, const GraphRange &range, GraphKey key, double distFactor)
{
    GraphRange r = checkedGraphRange(graph, range, distFactor);
    const GraphKeyLimits k = graphKeyLimits(graph, distFactor);
    switch (key) {
    case GraphKey::LowerMax: {
        const double floor = std::max(k.lowestMax, r.min + k.step);
        if (r.max > floor)
            r.max = std::max(r.max - k.step, floor);
        break;
    }
    case GraphKey::RaiseMax:
        if (r.max < k.highestMax)
            r.max = std::min(r.max + k.step, k.highestMax);
        break;
    case GraphKey::FewerTicks: r.ticks = std::max(r.ticks - 1, MIN_GRAPH_TICKS); break;
    case GraphKey::MoreTicks: r.ticks = std::min(r.ticks + 1, MAX_GRAPH_TICKS); break;
    }
    return checkedGraphRange(graph, r, distFactor);
}

} // namespace vx
