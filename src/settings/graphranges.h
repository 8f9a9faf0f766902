// The Y ranges of the six graphs (speed, distance, line of sight, bearing,
// altitude, satellites): where the settings record keeps them, the limits of
// the range keys, and the one check every range passes whatever its source
// (the settings store, the keys, autoscale, the per-movie settings file, the
// preferences). Values are in the user's units.
#pragma once

namespace vx {

struct SettingsRecord;

enum GraphIndex : int {
    SpeedGraph = 0,
    DistanceGraph = 1,
    LosGraph = 2,
    BearingGraph = 3,
    AltitudeGraph = 4,
    SatsGraph = 5,
};
constexpr int GRAPH_RANGE_COUNT = 6;

constexpr int MIN_GRAPH_TICKS = 2;
constexpr int MAX_GRAPH_TICKS = 10;
// Larger magnitudes are no plot anyone can read (and their tick labels
// would run to hundreds of digits).
constexpr double GRAPH_VALUE_LIMIT = 1.0e9;

struct GraphRange {
    double min = 0;
    double max = 1;
    int ticks = 4;
};

// The step of the maximum keys and the lowest and highest maximum they
// reach. Distance and line of sight are scaled by the distance unit factor.
struct GraphKeyLimits {
    double step;
    double lowestMax;
    double highestMax;
};
GraphKeyLimits graphKeyLimits(int graph, double distFactor);

// The range as it may be drawn: finite values within +-GRAPH_VALUE_LIMIT
// (a value that is not a number takes the graph's default), 2 to 10 ticks,
// and a maximum at least the minimum plus one key step. A maximum below the
// minimum resets the minimum to 0 first, as the preferences do.
GraphRange checkedGraphRange(int graph, GraphRange range, double distFactor);

// The graph's fields of the record, checked, and writing them back checked.
// An index outside 0..5 reads as the speed graph and writes nothing.
GraphRange graphRange(const SettingsRecord &s, int graph);
void setGraphRange(SettingsRecord &s, int graph, const GraphRange &range);
// Every graph's fields of the record through the check.
void checkGraphRanges(SettingsRecord &s);

// The range keys: "1" lowers the maximum by a step, never below the lowest
// maximum nor below the minimum plus a step; "2" raises it, never above the
// highest maximum; "3" and "4" take a tick away or add one (2..10). A key
// never moves the maximum the other way: a maximum already beyond its limit
// stays where it is.
enum class GraphKey { LowerMax, RaiseMax, FewerTicks, MoreTicks };
GraphRange graphRangeAfterKey(int graph, const GraphRange &range, GraphKey key, double distFactor);

} // namespace vx
