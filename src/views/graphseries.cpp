#include "graphseries.h"

#include "settings/settings.h"
#include "views/speedcolor.h"

#include <algorithm>
#include <cmath>

namespace vx {

namespace {

constexpr GraphInfo kGraphs[GRAPH_RANGE_COUNT] = {
    {"Speed", "Speed", "Speed"},
    {"Distance", "Distance", "Distance"},
    {"LOS", "Line-Of-Sight Distance from Start", "Distance"},
    {"Bearing", "Bearing", "Bearing"},
    {"Altitude", "Altitude", "Altitude"},
    {"Sats In View", "Number of Sats in View", "Count"},
};

// The bearing only counts while moving faster than this (user's unit).
constexpr double kMovingSpeed = 3.0;

constexpr double kPlotLeft = 60;
constexpr double kPlotTop = 40;
constexpr double kPlotMarginX = 100;
constexpr double kPlotMarginY = 80;

int pointsOf(const MovieBlock &m) { return std::clamp(m.numPoints, 0, MAX_POINTS); }
int blocksOf(const TrackStore &t) { return std::clamp(t.numBlocks, 0, MAX_BLOCKS); }

// A damaged distance adds nothing, so that one bad point does not turn the
// rest of the curve into NaN.
void addDistance(double *sumKm, double segKm)
{
    if (std::isfinite(segKm))
        *sumKm += segKm;
}

double finiteOrZero(double v) { return std::isfinite(v) ? v : 0.0; }

// The bearing the graph shows: the point's own while moving, else the one
// kept; 0..360.
double shownBearing(const MovieBlock &m, int i, const SettingsRecord &s, double *last)
{
    if (static_cast<double>(m.speed[i]) * s.speedFactor > kMovingSpeed && std::isfinite(m.bearing[i]))
        *last = m.bearing[i];
    return *last < 0 ? *last + 360.0 : *last;
}

// The value of point i of `m` once the travelled distance up to it and the
// bearing are known.
double seriesValue(int graph, const MovieBlock &m, int i, double distKm, double bearing, const SettingsRecord &s)
{
    switch (graph) {
    case SpeedGraph: return finiteOrZero(static_cast<double>(m.speed[i]) * s.speedFactor);
    case DistanceGraph: return finiteOrZero(distKm * s.distFactor);
    case LosGraph: return finiteOrZero(m.los[i] * s.distFactor);
    case BearingGraph: return bearing;
    case AltitudeGraph: return m.hasAltitude ? finiteOrZero(m.altitude[i] * s.altFactor) : 0.0;
    case SatsGraph: return m.hasSats ? static_cast<double>(m.sats[i]) : 0.0;
    default: return 0.0;
    }
}

QString printfNumber(const char *format, double value) { return QString::asprintf(format, value); }

bool isDistance(int graph) { return graph == DistanceGraph || graph == LosGraph; }

// Truncation toward zero in floating point (no int overflow on damaged stats).
double trunc10(double v) { return std::trunc(v / 10.0); }

} // namespace

const GraphInfo &graphInfo(int graph) { return kGraphs[graph >= 0 && graph < GRAPH_RANGE_COUNT ? graph : 0]; }

QString graphAxisCaption(int graph, const SettingsRecord &s)
{
    QString suffix;
    switch (graph) {
    case SpeedGraph: suffix = speedUnitName(s.speedUnitIndex); break;
    case DistanceGraph:
    case LosGraph: suffix = distanceUnitName(s.distUnitIndex); break;
    case BearingGraph: suffix = QStringLiteral("Degrees"); break;
    case AltitudeGraph: suffix = altitudeUnitName(s.altUnits); break;
    default: break;
    }
    const QString label = QString::fromLatin1(graphInfo(graph).yLabel);
    if (suffix.isEmpty())
        return label;
    return QStringLiteral("%1%2").arg(label, QStringLiteral(" (") + suffix + QLatin1Char(')'));
}

QString graphTickLabel(int graph, double value, const SettingsRecord &s)
{
    if (isDistance(graph) && s.distUnitIndex != 2)
        return printfNumber("%.2lf", value);
    return printfNumber("%.0lf", value);
}

QString graphValueText(int graph, double value)
{
    if (isDistance(graph))
        return printfNumber("%.2lf", value);
    if (graph == BearingGraph)
        return printfNumber("%.0lf", value) + QChar(0x00B0);
    return printfNumber("%.0lf", value);
}

std::optional<GraphRange> autoscaleGraphRange(int graph, const TrackStats &st, const SettingsRecord &s)
{
    GraphRange r{0, 0, 5};
    switch (graph) {
    case SpeedGraph:
        if (!(st.maxSpeed >= st.minSpeed))
            return std::nullopt;
        r.max = (trunc10(static_cast<double>(st.maxSpeed) * s.speedFactor) + 1) * 10;
        break;
    case DistanceGraph:
    case LosGraph: {
        const double v = (graph == DistanceGraph ? st.routeLength : st.maxLos) * s.distFactor;
        r.max = s.distUnitIndex == 2 ? (std::trunc(v / 1000.0) + 1) * 1000 : std::trunc(v) + 1;
        break;
    }
    case AltitudeGraph:
        if (!(st.maxAltitude >= st.minAltitude))
            return std::nullopt;
        // Floored, so that -23 m gives -30 and the lowest point stays inside.
        r.min = std::floor(st.minAltitude * s.altFactor / 10.0) * 10;
        r.max = (trunc10(st.maxAltitude * s.altFactor) + 1) * 10;
        break;
    case SatsGraph:
        if (st.maxSats < st.minSats)
            return std::nullopt;
        r.max = st.maxSats + 1.0;
        break;
    default:
        return std::nullopt;
    }
    return checkedGraphRange(graph, r, s.distFactor);
}

PlotFrame plotFrameOf(double sceneWidth, double sceneHeight)
{
    return {kPlotLeft, kPlotTop, sceneWidth - kPlotMarginX, sceneHeight - kPlotMarginY};
}

GraphWalkIndex buildGraphWalkIndex(const TrackStore &t)
{
    GraphWalkIndex index;
    std::fill(std::begin(index.first), std::end(index.first), -1);
    std::fill(std::begin(index.distBeforeKm), std::end(index.distBeforeKm), 0.0);
    double distKm = 0;
    for (int b = 0; b < blocksOf(t); ++b) {
        const MovieBlock &m = t.block[b];
        if (!m.active)
            continue;
        index.first[b] = index.total;
        index.distBeforeKm[b] = distKm;
        for (int i = 0; i < pointsOf(m); ++i)
            addDistance(&distKm, m.segDist[i]);
        index.total += pointsOf(m);
    }
    return index;
}

int graphPointIndex(const TrackStore &t, const GraphWalkIndex &index, int block, int point)
{
    if (block < 0 || block >= blocksOf(t) || index.first[block] < 0 || !t.block[block].active)
        return -1;
    if (point < 0 || point >= pointsOf(t.block[block]))
        return -1;
    const int g = index.first[block] + point;
    return g < index.total ? g : -1;
}

GraphCurve walkGraphCurve(int graph, const TrackStore &t, const SettingsRecord &s, const GraphRange &range,
                          const PlotFrame &frame)
{
    GraphCurve c;
    for (int b = 0; b < blocksOf(t); ++b) {
        if (t.block[b].active)
            c.total += pointsOf(t.block[b]);
    }
    if (c.total == 0 || !frame.drawable())
        return c;
    const GraphRange r = checkedGraphRange(graph, range, s.distFactor);
    const int n = c.total;
    c.xScale = graphXScale(frame, n);
    c.yScale = frame.height / (r.max - r.min);
    // Never below one pixel: a frame one pixel wide plots the ends only.
    const int pixels = std::max(static_cast<int>(frame.width), 1);
    c.step = std::max(n / pixels, 1);
    c.points.reserve(static_cast<size_t>(n / c.step + 2));

    const int levels = speedColorCount(s.colorLevels);
    const double reference = speedColorReference(s, t.stats);
    // Only the distance and the bearing look at the points between plotted
    // ones (the running sum, the last bearing while moving).
    const bool everyPoint = graph == DistanceGraph || graph == BearingGraph;
    double distKm = 0;
    double lastBearing = 0;
    double bearing = 0;
    int g = 0;  // index of the block's first point along the X axis
    int nextPlot = 0;
    for (int b = 0; b < blocksOf(t); ++b) {
        const MovieBlock &m = t.block[b];
        const int count = pointsOf(m);
        if (!m.active || count == 0)
            continue;
        int walked = 0;
        auto walkTo = [&](int last) {
            for (; walked <= last; ++walked) {
                addDistance(&distKm, m.segDist[walked]);
                if (graph == BearingGraph)
                    bearing = shownBearing(m, walked, s, &lastBearing);
            }
        };
        for (;;) {
            int i = nextPlot - g;
            if (i >= count) {
                // The very last point is always plotted (when it is a step
                // point, the loop has already ended there).
                if (g + count != n)
                    break;
                i = count - 1;
            }
            if (everyPoint)
                walkTo(i);
            const double value = seriesValue(graph, m, i, distKm, bearing, s);
            c.points.push_back({frame.left + c.xScale * (g + i), graphValueY(value, r, frame),
                                speedColorIndex(m.speed[i], reference, levels), b, i});
            if (g + i == nextPlot)
                nextPlot += c.step;
            if (g + i == n - 1)
                break;
        }
        if (everyPoint)
            walkTo(count - 1);
        g += count;
    }
    return c;
}

double graphPointValue(int graph, const TrackStore &t, const SettingsRecord &s, const GraphWalkIndex &index,
                       int block, int point, double *lastBearing)
{
    if (graphPointIndex(t, index, block, point) < 0)
        return 0;
    const MovieBlock &m = t.block[block];
    double distKm = index.distBeforeKm[block];
    if (graph == DistanceGraph) {
        for (int i = 0; i <= point; ++i)
            addDistance(&distKm, m.segDist[i]);
    }
    double kept = lastBearing ? *lastBearing : 0.0;
    const double bearing = graph == BearingGraph ? shownBearing(m, point, s, &kept) : 0.0;
    if (lastBearing)
        *lastBearing = kept;
    return seriesValue(graph, m, point, distKm, bearing, s);
}

double graphXScale(const PlotFrame &frame, int total)
{
    return total > 1 ? frame.width / (total - 1) : frame.width;
}

double graphValueY(double value, const GraphRange &range, const PlotFrame &frame)
{
    const double span = range.max - range.min;
    if (!(span > 0))
        return frame.bottom();
    const double v = std::isfinite(value) ? std::clamp(value, range.min, range.max) : range.min;
    return frame.top + frame.height / span * (range.max - v);
}

int plottedPointAt(const GraphCurve &curve, double x)
{
    if (curve.points.empty())
        return -1;
    const auto it = std::lower_bound(curve.points.begin(), curve.points.end(), x,
                                     [](const PlottedPoint &p, double v) { return p.x < v; });
    if (it == curve.points.end())
        return static_cast<int>(curve.points.size()) - 1;
    return static_cast<int>(it - curve.points.begin());
}

} // namespace vx
