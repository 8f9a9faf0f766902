// What the graphs plot, without a window: the cursor's place and value against the curve's with an inactive movie
// between active ones, the bearing's freeze and reset, damaged store values, and autoscale.
#include "graphfixture.h"
#include "settings/settings.h"
#include "views/graphseries.h"

#include <QtTest>

#include <cmath>

using namespace vx;
using namespace vxtest;

class TestGraphSeries : public QObject {
    Q_OBJECT
    const PlotFrame m_frame = plotFrameOf(1100, 280);  // 1000 x 200 pixels

private slots:
    void init() { setDefaultSettings(); }
    // Every point's place and value are the curve's; the hidden movie is nowhere and adds no distance; missing
    // altitude and satellites are 0.
    void cursorMatchesCurve()
    {
        fillGraphStore({{300}, {200, false}, {250, true, false, false}});
        const GraphWalkIndex index = buildGraphWalkIndex(track());
        QVERIFY(index.total == 550 && index.first[1] == -1 && index.first[2] == 300);
        QVERIFY(graphPointIndex(track(), index, 1, 5) == -1 && graphPointIndex(track(), index, 2, 250) == -1);
        for (int graph : {SpeedGraph, DistanceGraph, LosGraph, AltitudeGraph, SatsGraph}) {
            const GraphRange r = graphRange(settings(), graph);
            const GraphCurve c = walkGraphCurve(graph, track(), settings(), r, m_frame);
            QCOMPARE(int(c.points.size()), 550);
            QVERIFY(c.points.front().x == m_frame.left && c.points.back().x == m_frame.right());
            for (const PlottedPoint &p : c.points) {
                const int g = graphPointIndex(track(), index, p.block, p.point);
                QCOMPARE(m_frame.left + graphXScale(m_frame, index.total) * g, p.x);
                const double v = graphPointValue(graph, track(), settings(), index, p.block, p.point, nullptr);
                QCOMPARE(graphValueY(v, r, m_frame), p.y);
            }
        }
        double km = 0;
        for (int b : {0, 2})
            for (int i = 0; i < track().block[b].numPoints; ++i)
                km += track().block[b].segDist[i];
        const auto value = [&](int graph, int b, int i) {
            return graphPointValue(graph, track(), settings(), index, b, i, nullptr);
        };
        QCOMPARE(value(DistanceGraph, 2, 249), km * kMilesPerKm);
        QVERIFY(value(AltitudeGraph, 2, 10) == 0.0 && value(SatsGraph, 2, 10) == 0.0 && value(SatsGraph, 0, 10) == 5.0);
    }
    // 0..360, frozen at or below 3 in the user's unit, afresh at every walk; the cursor keeps its own.
    void bearingFreezesAndResets()
    {
        fillGraphStore({{6}});
        MovieBlock &m = track().block[0];
        const float speeds[] = {1, 10, 10, 4.8f, 2, 50};  // 4.8 km/h is 2.98 mph
        const double bearings[] = {100, -90, 45, 170, 20, 10};
        const double want[] = {0, 270, 45, 45, 45, 10};
        std::copy(std::begin(speeds), std::end(speeds), m.speed);
        std::copy(std::begin(bearings), std::end(bearings), m.bearing);
        const GraphRange r = graphRange(settings(), BearingGraph);
        for (int pass = 0; pass < 2; ++pass) {
            const GraphCurve c = walkGraphCurve(BearingGraph, track(), settings(), r, m_frame);
            for (int i = 0; i < 6; ++i)
                QCOMPARE(c.points[size_t(i)].y, graphValueY(want[i], r, m_frame));
        }
        const GraphWalkIndex index = buildGraphWalkIndex(track());
        double kept = 123;
        QCOMPARE(graphPointValue(BearingGraph, track(), settings(), index, 0, 4, &kept), 123.0);
        QCOMPARE(graphPointValue(BearingGraph, track(), settings(), index, 0, 1, &kept), 270.0);
    }
    // Damaged values never reach the scene as NaN.
    void damagedValues()
    {
        fillGraphStore({{100}});
        MovieBlock &m = track().block[0];
        m.speed[3] = std::nanf("");
        m.altitude[4] = m.segDist[5] = std::nan("");
        m.los[6] = -INFINITY;
        const GraphWalkIndex index = buildGraphWalkIndex(track());
        for (int graph = 0; graph < GRAPH_RANGE_COUNT; ++graph) {
            for (const PlottedPoint &p : walkGraphCurve(graph, track(), settings(), {0, 0, 0}, m_frame).points)
                QVERIFY(std::isfinite(p.x) && std::isfinite(p.y));
            QVERIFY(std::isfinite(graphPointValue(graph, track(), settings(), index, 0, 99, nullptr)));
        }
    }
    // Autoscale to the statistic in the user's units, floored (-23 m gives -30, not -20); nothing without one.
    void autoscale()
    {
        const struct { int graph, outUnits, altUnits; double value; const char *want; } rows[] = {
            {SpeedGraph, 0, 0, 37.4 / kMilesPerKm, "0..40/5"}, {SpeedGraph, 1, 0, 40, "0..50/5"},
            {DistanceGraph, 1, 0, 2.3, "0..3/5"}, {DistanceGraph, 2, 0, 2.3, "0..3000/5"},
            {LosGraph, 0, 0, 0.4, "0..1/5"}, {AltitudeGraph, 1, 1, -23, "-30..130/5"},
            {AltitudeGraph, 1, 0, -23, "-80..410/5"}, {AltitudeGraph, 1, 1, 17, "10..130/5"},
            {SatsGraph, 1, 1, 12, "0..13/5"}, {BearingGraph, 1, 1, 0, "none"}, {AltitudeGraph, 1, 1, qQNaN(), "none"},
            {SatsGraph, 1, 1, qQNaN(), "none"}};
        for (const auto &row : rows) {
            std::tie(settings().outUnits, settings().altUnits) = std::pair(row.outUnits, row.altUnits);
            recomputeFactors();
            fillGraphStore({});  // the statistics of no value at all
            TrackStats st = track().stats;
            if (!std::isnan(row.value)) {
                std::tie(st.minSpeed, st.maxSpeed, st.minSats, st.maxSats) =
                    std::tuple(0, row.value, 3, int(row.value));
                st.routeLength = st.maxLos = st.minAltitude = row.value;
                st.maxAltitude = 123.0;
            }
            const std::optional<GraphRange> got = autoscaleGraphRange(row.graph, st, settings());
            QCOMPARE(got ? QStringLiteral("%1..%2/%3").arg(got->min).arg(got->max).arg(got->ticks) : "none", row.want);
        }
    }
};

QTEST_GUILESS_MAIN(TestGraphSeries)
#include "test_graphseries.moc"
