// What the graph window plots, without any window: the six series (their
// texts, units and number formats), the walk over the active movies that
// turns a series into plotted points, the value and position of the cursor
// at a given point, the point under a click, and autoscale.
//
// The curve and the cursor use the same sums: the X position of a point is
// its index counted over the active movies only, and the travelled distance
// is the running sum of segDist over the same points. A point of an inactive
// movie is nowhere on the graph.
#pragma once

#include "settings/graphranges.h"
#include "track/trackstore.h"

#include <QString>

#include <optional>
#include <vector>

namespace vx {

struct SettingsRecord;

// ---- the series ------------------------------------------------------------------

struct GraphInfo {
    const char *tabText;
    const char *title;
    const char *yLabel;
};
const GraphInfo &graphInfo(int graph);

// "Speed (mph)", "Distance (meters)", "Bearing (Degrees)", "Count".
QString graphAxisCaption(int graph, const SettingsRecord &s);
// A tick label of the Y axis ("%.0lf", distances "%.2lf" unless in meters).
QString graphTickLabel(int graph, double value, const SettingsRecord &s);
// The cursor's value text ("%.0lf", distances "%.2lf", the bearing with "°").
QString graphValueText(int graph, double value);

// The range autoscale gives the graph (ticks 5): speed and satellites from
// 0 to the next step above the highest value, distance and line of sight to
// the next whole unit (thousand in meters), altitude from the ten below the
// lowest to the ten above the highest. Nothing for the bearing, and nothing
// when the loaded movies have no value of the series.
std::optional<GraphRange> autoscaleGraphRange(int graph, const TrackStats &stats, const SettingsRecord &s);

// ---- the plot --------------------------------------------------------------------

// The plot frame inside a scene: 60 pixels left, 40 above, 40 right and below.
struct PlotFrame {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    double right() const { return left + width; }
    double bottom() const { return top + height; }
    // A frame under one pixel wide or high shows nothing.
    bool drawable() const { return width >= 1 && height >= 1; }
};
PlotFrame plotFrameOf(double sceneWidth, double sceneHeight);

// Where the active movies lie on the X axis, in block order: the index of
// each active block's first point and the travelled distance before it.
// Built once per change of the store; -1 marks an inactive or unused block.
struct GraphWalkIndex {
    int total = 0;  // points of the active blocks
    int first[MAX_BLOCKS];
    double distBeforeKm[MAX_BLOCKS];
};
GraphWalkIndex buildGraphWalkIndex(const TrackStore &t);

// The index of (block, point) along the X axis, or -1 when the block is not
// active or the point does not exist.
int graphPointIndex(const TrackStore &t, const GraphWalkIndex &index, int block, int point);

struct PlottedPoint {
    double x;
    double y;
    int colorIndex;  // speed colour of the point (speedColorAt with colorLevels)
    int block;
    int point;
};

struct GraphCurve {
    int total = 0;      // N: points of the active blocks
    int step = 1;       // every step-th point is plotted, and the last one
    double xScale = 0;  // pixels per point
    double yScale = 0;  // pixels per unit of the series
    std::vector<PlottedPoint> points;  // x strictly increasing
};

// The walk: every step-th point of the active blocks from the first one,
// and always the last, with step = N / int(width) (at least 1), so there is
// about one plotted point per pixel. Values in the user's units, clamped to
// the range; the bearing freezes while the speed is at or below 3 in the
// user's unit (starting from 0 at each walk). Nothing when the frame is not
// drawable or there is no point.
GraphCurve walkGraphCurve(int graph, const TrackStore &t, const SettingsRecord &s, const GraphRange &range,
                          const PlotFrame &frame);

// The series' value at a point, as the curve computes it, before clamping.
// The bearing is the point's own when the speed is above 3 in the user's
// unit, else *lastBearing (which it updates), 0..360. Missing altitude or
// satellites are 0.
double graphPointValue(int graph, const TrackStore &t, const SettingsRecord &s, const GraphWalkIndex &index,
                       int block, int point, double *lastBearing);

// Pixels per point along the X axis: the first point on the frame's left
// edge, the last on its right edge.
double graphXScale(const PlotFrame &frame, int total);

// Y of a value on the plot, the value clamped into the range.
double graphValueY(double value, const GraphRange &range, const PlotFrame &frame);

// The plotted point a click at scene x goes to: the first whose x is at or
// right of it, the last one when the click is past the end; -1 when nothing
// is plotted. Binary search.
int plottedPointAt(const GraphCurve &curve, double x);

} // namespace vx
