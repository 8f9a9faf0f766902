// The one check every graph range passes (store, keys, autoscale, per-movie
// file, preferences) and the range keys at their limits.
#include "settings/graphranges.h"
#include "settings/settings.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using namespace vx;

Q_DECLARE_METATYPE(vx::GraphRange)
Q_DECLARE_METATYPE(vx::GraphKey)

namespace {
const double kNaN = std::nan("");
constexpr double kMiles = 0.621371;
GraphRange R(double min, double max, int ticks) { return {min, max, ticks}; }
} // namespace

class TestGraphRanges : public QObject {
    Q_OBJECT

private slots:
    void check_data()
    {
        QTest::addColumn<int>("graph");
        QTest::addColumn<double>("distFactor");
        QTest::addColumn<GraphRange>("in");
        QTest::addColumn<GraphRange>("want");
        QTest::newRow("sound, negative min") << int(AltitudeGraph) << 1.0 << R(-30, 200, 5) << R(-30, 200, 5);
        // A tick count of 0 would divide by zero.
        QTest::newRow("0 ticks") << int(SpeedGraph) << 1.0 << R(0, 100, 0) << R(0, 100, 2);
        QTest::newRow("11 ticks") << int(BearingGraph) << 1.0 << R(0, 360, 11) << R(0, 360, 10);
        QTest::newRow("NaN: defaults") << int(SatsGraph) << 1.0 << R(kNaN, kNaN, 4) << R(0, 30, 4);
        QTest::newRow("inf min") << int(AltitudeGraph) << 1.0 << R(-INFINITY, 300, 4) << R(0, 300, 4);
        QTest::newRow("huge: bounded") << int(DistanceGraph) << 1.0 << R(-1e300, 1e300, 4) << R(-1e9, 1e9, 4);
        // A maximum below the minimum resets the minimum, as the preferences do.
        QTest::newRow("max below min") << int(SpeedGraph) << 1.0 << R(50, 20, 4) << R(0, 20, 4);
        QTest::newRow("equal ends") << int(AltitudeGraph) << 1.0 << R(100, 100, 4) << R(100, 110, 4);
        QTest::newRow("meters: step 100") << int(LosGraph) << 1000.0 << R(0, 50, 4) << R(0, 100, 4);
        QTest::newRow("bad graph: speed") << 17 << 1.0 << R(0, 1, 4) << R(0, 5, 4);
    }
    void check()
    {
        QFETCH(int, graph);
        QFETCH(double, distFactor);
        QFETCH(GraphRange, in);
        QFETCH(GraphRange, want);
        const GraphRange r = checkedGraphRange(graph, in, distFactor);
        QVERIFY2(r.min == want.min && r.max == want.max && r.ticks == want.ticks,
                 qPrintable(QStringLiteral("%1..%2/%3").arg(r.min).arg(r.max).arg(r.ticks)));
    }

    void keys_data()
    {
        QTest::addColumn<int>("graph");
        QTest::addColumn<double>("distFactor");
        QTest::addColumn<GraphRange>("in");
        QTest::addColumn<GraphKey>("key");
        QTest::addColumn<GraphRange>("want");
        const GraphKey lower = GraphKey::LowerMax, raise = GraphKey::RaiseMax;
        QTest::newRow("2 at 200") << int(SpeedGraph) << 1.0 << R(0, 200, 4) << raise << R(0, 200, 4);
        QTest::newRow("2 stops at 200") << int(SpeedGraph) << 1.0 << R(0, 198, 4) << raise << R(0, 200, 4);
        // Autoscale may pass the highest maximum: "2" must not lower it.
        QTest::newRow("2 above 200") << int(SpeedGraph) << 1.0 << R(0, 250, 4) << raise << R(0, 250, 4);
        QTest::newRow("1 at 5") << int(SpeedGraph) << 1.0 << R(0, 5, 4) << lower << R(0, 5, 4);
        // ... nor "1" raise one below the lowest maximum.
        QTest::newRow("1 below 5") << int(SatsGraph) << 1.0 << R(0, 3, 4) << lower << R(0, 3, 4);
        QTest::newRow("1 stops at min + step") << int(AltitudeGraph) << 1.0 << R(100, 115, 4) << lower << R(100, 110, 4);
        QTest::newRow("1 meters") << int(DistanceGraph) << 1000.0 << R(0, 1500, 4) << lower << R(0, 1400, 4);
        QTest::newRow("1 miles, lowest") << int(LosGraph) << kMiles << R(0, 0.65, 4) << lower << R(0, kMiles, 4);
        QTest::newRow("3 at 2") << int(SpeedGraph) << 1.0 << R(0, 100, 2) << GraphKey::FewerTicks << R(0, 100, 2);
        QTest::newRow("4 at 10") << int(SatsGraph) << 1.0 << R(0, 30, 10) << GraphKey::MoreTicks << R(0, 30, 10);
        QTest::newRow("4 from 0") << int(SatsGraph) << 1.0 << R(0, 30, 0) << GraphKey::MoreTicks << R(0, 30, 3);
    }
    void keys()
    {
        QFETCH(int, graph);
        QFETCH(double, distFactor);
        QFETCH(GraphRange, in);
        QFETCH(GraphKey, key);
        QFETCH(GraphRange, want);
        const GraphRange r = graphRangeAfterKey(graph, in, key, distFactor);
        QVERIFY2(r.min == want.min && r.max == want.max && r.ticks == want.ticks,
                 qPrintable(QStringLiteral("%1..%2/%3").arg(r.min).arg(r.max).arg(r.ticks)));
    }

    // Each graph has fields of its own; a damaged store loads checked.
    void recordAndStore()
    {
        setDefaultSettings();
        SettingsRecord &s = settings();
        for (int g = 0; g < GRAPH_RANGE_COUNT; ++g)
            setGraphRange(s, g, {double(g), 100.0 + g, 2 + g});
        setGraphRange(s, GRAPH_RANGE_COUNT, {0, 0, 0});
        for (int g = 0; g < GRAPH_RANGE_COUNT; ++g)
            QVERIFY(graphRange(s, g).min == g && graphRange(s, g).max == 100 + g && graphRange(s, g).ticks == 2 + g);
        QCOMPARE(s.satsMax, 105.0);

        QTemporaryDir dir;
        QSettings store(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
        store.beginGroup(QStringLiteral("configuration"));
        store.setValue(QStringLiteral("nSpeedDashCamTicks"), 0);
        store.setValue(QStringLiteral("distMax"), QStringLiteral("nan"));
        store.setValue(QStringLiteral("satsMin"), 20);
        store.setValue(QStringLiteral("satsMax"), 10);
        store.endGroup();
        loadSettings(store);
        QVERIFY(s.nSpeedDashCamTicks == 2 && s.distMax == 10.0 && s.satsMin == 0 && s.satsMax == 10);
    }
};

QTEST_GUILESS_MAIN(TestGraphRanges)
#include "test_graphranges.moc"
