// The one check every graph range passes (store, keys, autoscale, per-movie file, preferences) and the range keys at
// their limits.
#include "settings/graphranges.h"
#include "settings/settings.h"
#include "support/testsupport.h"

#include <QtTest>

#include <cmath>

using namespace vx;

Q_DECLARE_METATYPE(vx::GraphRange)

namespace {
const double kNaN = std::nan("");
constexpr double kMiles = 0.621371;
constexpr int kCheck = -1;  // no key: the plain check
GraphRange R(double min, double max, int ticks) { return {min, max, ticks}; }
} // namespace

class TestGraphRanges : public QObject {
    Q_OBJECT

private slots:
    void check_data() {
        QTest::addColumn<int>("graph");
        QTest::addColumn<double>("distFactor");
        QTest::addColumn<GraphRange>("in");
        QTest::addColumn<int>("key");
        QTest::addColumn<GraphRange>("want");
        auto row = [](const char *name, int graph, double factor, GraphRange in, int key, GraphRange want) {
            QTest::newRow(name) << graph << factor << in << key << want;
        };
        row("sound, negative min", AltitudeGraph, 1, R(-30, 200, 5), kCheck, R(-30, 200, 5));
        row("0 ticks", SpeedGraph, 1, R(0, 100, 0), kCheck, R(0, 100, 2));  // would divide by zero
        row("11 ticks", BearingGraph, 1, R(0, 360, 11), kCheck, R(0, 360, 10));
        row("NaN: defaults", SatsGraph, 1, R(kNaN, kNaN, 4), kCheck, R(0, 30, 4));
        row("inf min", AltitudeGraph, 1, R(-INFINITY, 300, 4), kCheck, R(0, 300, 4));
        row("huge: bounded", DistanceGraph, 1, R(-1e300, 1e300, 4), kCheck, R(-1e9, 1e9, 4));
        // A maximum below the minimum resets the minimum, as the preferences do.
        row("max below min", SpeedGraph, 1, R(50, 20, 4), kCheck, R(0, 20, 4));
        row("equal ends", AltitudeGraph, 1, R(100, 100, 4), kCheck, R(100, 110, 4));
        row("meters: step 100", LosGraph, 1000, R(0, 50, 4), kCheck, R(0, 100, 4));
        row("bad graph: speed", 17, 1, R(0, 1, 4), kCheck, R(0, 5, 4));
        const int lower = int(GraphKey::LowerMax), raise = int(GraphKey::RaiseMax);
        row("2 at 200", SpeedGraph, 1, R(0, 200, 4), raise, R(0, 200, 4));
        row("2 stops at 200", SpeedGraph, 1, R(0, 198, 4), raise, R(0, 200, 4));
        // Autoscale may pass the highest maximum: "2" must not lower it,
        row("2 above 200", SpeedGraph, 1, R(0, 250, 4), raise, R(0, 250, 4));
        row("1 at 5", SpeedGraph, 1, R(0, 5, 4), lower, R(0, 5, 4));
        // ... nor "1" raise one below the lowest maximum.
        row("1 below 5", SatsGraph, 1, R(0, 3, 4), lower, R(0, 3, 4));
        row("1 stops at min + step", AltitudeGraph, 1, R(100, 115, 4), lower, R(100, 110, 4));
        row("1 meters", DistanceGraph, 1000, R(0, 1500, 4), lower, R(0, 1400, 4));
        row("1 miles, lowest", LosGraph, kMiles, R(0, 0.65, 4), lower, R(0, kMiles, 4));
        row("3 at 2", SpeedGraph, 1, R(0, 100, 2), int(GraphKey::FewerTicks), R(0, 100, 2));
        row("4 at 10", SatsGraph, 1, R(0, 30, 10), int(GraphKey::MoreTicks), R(0, 30, 10));
        row("4 from 0", SatsGraph, 1, R(0, 30, 0), int(GraphKey::MoreTicks), R(0, 30, 3));
    }
    void check() {
        QFETCH(int, graph);
        QFETCH(double, distFactor);
        QFETCH(GraphRange, in);
        QFETCH(int, key);
        QFETCH(GraphRange, want);
        const GraphRange r = key == kCheck ? checkedGraphRange(graph, in, distFactor)
                                           : graphRangeAfterKey(graph, in, GraphKey(key), distFactor);
        QVERIFY2(r.min == want.min && r.max == want.max && r.ticks == want.ticks,
                 qPrintable(QStringLiteral("%1..%2/%3").arg(r.min).arg(r.max).arg(r.ticks)));
    }

    // Each graph has fields of its own; a damaged store loads checked.
    void recordAndStore() {
        setDefaultSettings();
        SettingsRecord &s = settings();
        for (int g = 0; g < GRAPH_RANGE_COUNT; ++g)
            setGraphRange(s, g, {double(g), 100.0 + g, 2 + g});
        setGraphRange(s, GRAPH_RANGE_COUNT, {0, 0, 0});
        for (int g = 0; g < GRAPH_RANGE_COUNT; ++g)
            QVERIFY(graphRange(s, g).min == g && graphRange(s, g).max == 100 + g && graphRange(s, g).ticks == 2 + g);
        QCOMPARE(s.satsMax, 105.0);

        QTemporaryDir dir;
        QVERIFY(vxtest::writeFile(dir.filePath("s.ini"),
                                  "[configuration]\nnSpeedDashCamTicks=0\ndistMax=nan\nsatsMin=20\nsatsMax=10\n"));
        QSettings store(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
        loadSettings(store);
        QVERIFY(s.nSpeedDashCamTicks == 2 && s.distMax == 10.0 && s.satsMin == 0 && s.satsMax == 10);
    }
};

QTEST_GUILESS_MAIN(TestGraphRanges)
#include "test_graphranges.moc"
