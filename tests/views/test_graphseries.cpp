// What the graphs plot, without a window: the walk's step and ends, the
// cursor's value and place against the curve's (an inactive movie between
// active ones), the bearing's freeze and reset, damaged store values, the
// click look-up and autoscale.
#include "graphfixture.h"
#include "settings/settings.h"
#include "views/graphseries.h"

#include <QtTest>

#include <cmath>

using namespace vx;
using namespace vxtest;

Q_DECLARE_METATYPE(std::optional<vx::GraphRange>)

namespace {

// A scene of `width` x `height` plot pixels.
PlotFrame frameOf(double width, double height) { return plotFrameOf(width + 100, height + 80); }

GraphCurve walk(int graph, double width, double height = 200)
{
    return walkGraphCurve(graph, track(), settings(), graphRange(settings(), graph), frameOf(width, height));
}

} // namespace

class TestGraphSeries : public QObject {
    Q_OBJECT

private slots:
    void init() { setDefaultSettings(); }

    // About one plotted point per pixel, from the first point to the last.
    void walkStepAndEnds_data()
    {
        QTest::addColumn<int>("points");
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("plotted");
        QTest::newRow("1000 at 500: every second") << 1000 << 500.0 << 200.0 << 2 << 501;
        QTest::newRow("1000 at 524") << 1000 << 524.0 << 200.0 << 1 << 1000;
        QTest::newRow("999 at 500: last added") << 999 << 500.0 << 200.0 << 1 << 999;
        QTest::newRow("4000 at 300") << 4000 << 300.0 << 200.0 << 13 << 309;
        QTest::newRow("one point") << 1 << 500.0 << 200.0 << 1 << 1;
        QTest::newRow("no point") << 0 << 500.0 << 200.0 << 1 << 0;
        // One pixel wide: the ends only, not every point.
        QTest::newRow("1 pixel wide") << 1000 << 1.0 << 200.0 << 1000 << 2;
        QTest::newRow("under a pixel wide") << 1000 << 0.5 << 200.0 << 1 << 0;
        QTest::newRow("under a pixel high") << 1000 << 500.0 << 0.9 << 1 << 0;
        QTest::newRow("negative size") << 1000 << -80.0 << -50.0 << 1 << 0;
    }
    void walkStepAndEnds()
    {
        QFETCH(int, points);
        QFETCH(double, width);
        QFETCH(double, height);
        QFETCH(int, step);
        QFETCH(int, plotted);
        fillGraphStore({{points}});
        for (int graph = 0; graph < GRAPH_RANGE_COUNT; ++graph) {
            const GraphCurve c = walk(graph, width, height);
            QCOMPARE(c.step, step);
            QCOMPARE(int(c.points.size()), plotted);
            const PlotFrame f = frameOf(width, height);
            for (size_t i = 0; i < c.points.size(); ++i) {
                const PlottedPoint &p = c.points[i];
                QVERIFY(std::isfinite(p.x) && std::isfinite(p.y));
                QVERIFY(p.y >= f.top && p.y <= f.bottom() && p.x >= f.left && p.x <= f.right());
                QVERIFY(i == 0 || p.x > c.points[i - 1].x);
            }
            if (plotted > 0) {
                QCOMPARE(c.points.front().point, 0);
                QCOMPARE(c.points.back().point, points - 1);
                // The curve spans the frame.
                QCOMPARE(c.points.front().x, f.left);
                QCOMPARE(c.points.back().x, points > 1 ? f.right() : f.left);
            }
        }
    }

    // The cursor's place and value at any point are the curve's, with an
    // inactive movie between active ones; a point of the inactive movie is
    // nowhere.
    void cursorMatchesCurve()
    {
        fillGraphStore({{300}, {200, false}, {250, true, false, false}});
        const GraphWalkIndex index = buildGraphWalkIndex(track());
        QCOMPARE(index.total, 550);
        QCOMPARE(index.first[1], -1);
        QCOMPARE(index.first[2], 300);
        QCOMPARE(graphPointIndex(track(), index, 1, 5), -1);
        QCOMPARE(graphPointIndex(track(), index, 2, 250), -1);
        QCOMPARE(graphPointIndex(track(), index, 2, 249), 549);
        const PlotFrame f = frameOf(1000, 200);
        for (int graph : {SpeedGraph, DistanceGraph, LosGraph, AltitudeGraph, SatsGraph}) {
            const GraphRange r = graphRange(settings(), graph);
            const GraphCurve c = walkGraphCurve(graph, track(), settings(), r, f);
            QCOMPARE(int(c.points.size()), 550);
            for (const PlottedPoint &p : c.points) {
                QVERIFY(p.block != 1);
                const int g = graphPointIndex(track(), index, p.block, p.point);
                QCOMPARE(f.left + graphXScale(f, index.total) * g, p.x);
                const double v = graphPointValue(graph, track(), settings(), index, p.block, p.point, nullptr);
                QCOMPARE(graphValueY(v, r, f), p.y);
            }
        }
        // Distance runs over the active movies only: its last value is the
        // sum of their segDist, not of the hidden one's.
        double km = 0;
        for (int b : {0, 2})
            for (int i = 0; i < track().block[b].numPoints; ++i)
                km += track().block[b].segDist[i];
        QCOMPARE(graphPointValue(DistanceGraph, track(), settings(), index, 2, 249, nullptr),
                 km * settings().distFactor);
        // Block 2 has neither altitude nor satellites: 0, as on the curve.
        QCOMPARE(graphPointValue(AltitudeGraph, track(), settings(), index, 2, 10, nullptr), 0.0);
        QCOMPARE(graphPointValue(SatsGraph, track(), settings(), index, 2, 10, nullptr), 0.0);
        QCOMPARE(graphPointValue(SatsGraph, track(), settings(), index, 0, 10, nullptr), 4.0 + 10 % 9);
    }

    // The bearing is 0..360, freezes at or below 3 in the user's unit and
    // starts afresh at every walk.
    void bearingFreezesAndResets()
    {
        fillGraphStore({{6}});
        MovieBlock &m = track().block[0];
        const float speeds[] = {1, 10, 10, 4.8f, 2, 50};  // 4.8 km/h is 2.98 mph
        const double bearings[] = {100, -90, 45, 170, 20, 10};
        for (int i = 0; i < 6; ++i) {
            m.speed[i] = speeds[i];
            m.bearing[i] = bearings[i];
        }
        const double want[] = {0, 270, 45, 45, 45, 10};
        for (int pass = 0; pass < 2; ++pass) {
            const GraphRange r = graphRange(settings(), BearingGraph);
            const GraphCurve c = walk(BearingGraph, 600);
            QCOMPARE(int(c.points.size()), 6);
            for (int i = 0; i < 6; ++i)
                QCOMPARE(c.points[size_t(i)].y, graphValueY(want[i], r, frameOf(600, 200)));
        }
        // The cursor keeps its own: a slow point shows what it showed before.
        const GraphWalkIndex index = buildGraphWalkIndex(track());
        double kept = 123;
        QCOMPARE(graphPointValue(BearingGraph, track(), settings(), index, 0, 4, &kept), 123.0);
        QCOMPARE(graphPointValue(BearingGraph, track(), settings(), index, 0, 1, &kept), 270.0);
        QCOMPARE(kept, -90.0);
    }

    // Damaged values never reach the scene as NaN: NaN speed, altitude,
    // distance and a range with no span.
    void damagedValues()
    {
        fillGraphStore({{100}});
        MovieBlock &m = track().block[0];
        m.speed[3] = std::nanf("");
        m.altitude[4] = std::nan("");
        m.segDist[5] = std::numeric_limits<double>::infinity();
        m.los[6] = -std::numeric_limits<double>::infinity();
        for (int graph = 0; graph < GRAPH_RANGE_COUNT; ++graph) {
            const GraphCurve c = walkGraphCurve(graph, track(), settings(), {0, 0, 0}, frameOf(300, 100));
            for (const PlottedPoint &p : c.points)
                QVERIFY(std::isfinite(p.x) && std::isfinite(p.y));
        }
        const GraphWalkIndex index = buildGraphWalkIndex(track());
        QVERIFY(std::isfinite(graphPointValue(DistanceGraph, track(), settings(), index, 0, 99, nullptr)));
        QCOMPARE(graphPointValue(AltitudeGraph, track(), settings(), index, 0, 4, nullptr), 0.0);
        QCOMPARE(graphPointValue(SpeedGraph, track(), settings(), index, 7, 0, nullptr), 0.0);
    }

    void clickLookUp()
    {
        GraphCurve c;
        QCOMPARE(plottedPointAt(c, 100), -1);
        for (int i = 0; i < 5; ++i)
            c.points.push_back({60.0 + 10 * i, 0, 0, 0, i});
        QCOMPARE(plottedPointAt(c, 0), 0);
        QCOMPARE(plottedPointAt(c, 60), 0);
        QCOMPARE(plottedPointAt(c, 60.01), 1);
        QCOMPARE(plottedPointAt(c, 90), 3);
        QCOMPARE(plottedPointAt(c, 100), 4);
        QCOMPARE(plottedPointAt(c, 500), 4);  // past the end: the last point
    }

    void autoscale_data()
    {
        QTest::addColumn<int>("graph");
        QTest::addColumn<int>("outUnits");
        QTest::addColumn<int>("altUnits");
        QTest::addColumn<double>("value");  // the statistic the graph scales to
        QTest::addColumn<std::optional<GraphRange>>("want");
        const std::optional<GraphRange> none;
        auto r = [](double min, double max) { return std::optional<GraphRange>(GraphRange{min, max, 5}); };
        QTest::newRow("37.4 mph") << int(SpeedGraph) << 0 << 0 << 37.4 / 0.621371 << r(0, 40);
        QTest::newRow("40 km/h: next ten") << int(SpeedGraph) << 1 << 0 << 40.0 << r(0, 50);
        QTest::newRow("route 2.3 km") << int(DistanceGraph) << 1 << 0 << 2.3 << r(0, 3);
        QTest::newRow("route 2.3 km in meters") << int(DistanceGraph) << 2 << 0 << 2.3 << r(0, 3000);
        QTest::newRow("no route: a whole unit") << int(DistanceGraph) << 1 << 0 << 0.0 << r(0, 1);
        QTest::newRow("LOS 0.4 km in miles") << int(LosGraph) << 0 << 0 << 0.4 << r(0, 1);
        QTest::newRow("altitude -23 m") << int(AltitudeGraph) << 1 << 1 << -23.0 << r(-30, 130);
        QTest::newRow("altitude -23 m in feet") << int(AltitudeGraph) << 1 << 0 << -23.0 << r(-80, 410);
        QTest::newRow("altitude 17 m") << int(AltitudeGraph) << 1 << 1 << 17.0 << r(10, 130);
        QTest::newRow("12 sats") << int(SatsGraph) << 1 << 1 << 12.0 << r(0, 13);
        QTest::newRow("bearing: nothing") << int(BearingGraph) << 1 << 1 << 0.0 << none;
        QTest::newRow("no altitude data") << int(AltitudeGraph) << 1 << 1 << qQNaN() << none;
        QTest::newRow("no sats data") << int(SatsGraph) << 1 << 1 << qQNaN() << none;
    }
    void autoscale()
    {
        QFETCH(int, graph);
        QFETCH(int, outUnits);
        QFETCH(int, altUnits);
        QFETCH(double, value);
        QFETCH(std::optional<GraphRange>, want);
        settings().outUnits = outUnits;
        settings().altUnits = altUnits;
        recomputeFactors();
        TrackStats st;  // as computeTrackStats leaves it with no value
        st.minAltitude = 100000;
        st.maxAltitude = -100000;
        st.minSats = 100000;
        st.maxSats = -100000;
        if (!std::isnan(value)) {
            st.maxSpeed = static_cast<float>(value);
            st.routeLength = st.maxLos = value;
            st.minAltitude = value;
            st.maxAltitude = 123.0;
            st.minSats = 3;
            st.maxSats = static_cast<int>(value);
        }
        const std::optional<GraphRange> got = autoscaleGraphRange(graph, st, settings());
        QCOMPARE(got.has_value(), want.has_value());
        if (want) {
            QCOMPARE(got->min, want->min);
            QCOMPARE(got->max, want->max);
            QCOMPARE(got->ticks, want->ticks);
        }
    }

    void texts()
    {
        settings().outUnits = 2;
        settings().altUnits = 0;
        recomputeFactors();
        QCOMPARE(graphAxisCaption(SpeedGraph, settings()), QStringLiteral("Speed (m/s)"));
        QCOMPARE(graphAxisCaption(LosGraph, settings()), QStringLiteral("Distance (meters)"));
        QCOMPARE(graphAxisCaption(BearingGraph, settings()), QStringLiteral("Bearing (Degrees)"));
        QCOMPARE(graphAxisCaption(AltitudeGraph, settings()), QStringLiteral("Altitude (ft)"));
        QCOMPARE(graphAxisCaption(SatsGraph, settings()), QStringLiteral("Count"));
        // Meters: whole tick labels, values still with two decimals.
        QCOMPARE(graphTickLabel(DistanceGraph, 2500.0, settings()), QStringLiteral("2500"));
        QCOMPARE(graphValueText(DistanceGraph, 2500.0), QStringLiteral("2500.00"));
        settings().outUnits = 1;
        recomputeFactors();
        QCOMPARE(graphTickLabel(LosGraph, 2.5, settings()), QStringLiteral("2.50"));
        QCOMPARE(graphValueText(BearingGraph, 270.4), QStringLiteral("270") + QChar(0xB0));
        QCOMPARE(QString::fromLatin1(graphInfo(LosGraph).title), QStringLiteral("Line-Of-Sight Distance from Start"));
        QCOMPARE(QString::fromLatin1(graphInfo(SatsGraph).tabText), QStringLiteral("Sats In View"));
    }
};

QTEST_GUILESS_MAIN(TestGraphSeries)
#include "test_graphseries.moc"
