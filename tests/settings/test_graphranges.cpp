// The one check every graph range passes (from the store, the keys,
// autoscale, the per-movie file, the preferences) and the range keys at
// their limits.
#include "settings/graphranges.h"
#include "settings/settings.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <limits>

using namespace vx;

Q_DECLARE_METATYPE(vx::GraphKey)

namespace {
const double kNaN = std::nan("");
const double kInf = std::numeric_limits<double>::infinity();
constexpr double kMiles = 0.621371;
} // namespace

class TestGraphRanges : public QObject {
    Q_OBJECT

    void addRangeColumns()
    {
        QTest::addColumn<int>("graph");
        QTest::addColumn<double>("distFactor");
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::addColumn<int>("ticks");
    }

private slots:
    void check_data()
    {
        addRangeColumns();
        QTest::addColumn<double>("wantMin");
        QTest::addColumn<double>("wantMax");
        QTest::addColumn<int>("wantTicks");
        QTest::newRow("sound range kept") << int(SpeedGraph) << 1.0 << 0.0 << 100.0 << 4 << 0.0 << 100.0 << 4;
        QTest::newRow("negative altitude kept") << int(AltitudeGraph) << 1.0 << -30.0 << 200.0 << 5 << -30.0 << 200.0 << 5;
        // A tick count of 0 would divide by zero.
        QTest::newRow("0 ticks") << int(SpeedGraph) << 1.0 << 0.0 << 100.0 << 0 << 0.0 << 100.0 << 2;
        QTest::newRow("negative ticks") << int(LosGraph) << 1.0 << 0.0 << 10.0 << -7 << 0.0 << 10.0 << 2;
        QTest::newRow("11 ticks") << int(BearingGraph) << 1.0 << 0.0 << 360.0 << 11 << 0.0 << 360.0 << 10;
        QTest::newRow("NaN max: default") << int(SpeedGraph) << 1.0 << 0.0 << kNaN << 4 << 0.0 << 100.0 << 4;
        QTest::newRow("inf min: default") << int(AltitudeGraph) << 1.0 << -kInf << 300.0 << 4 << 0.0 << 300.0 << 4;
        QTest::newRow("NaN both: sats default") << int(SatsGraph) << 1.0 << kNaN << kNaN << 4 << 0.0 << 30.0 << 4;
        QTest::newRow("huge: bounded") << int(DistanceGraph) << 1.0 << -1e300 << 1e300 << 4 << -1e9 << 1e9 << 4;
        // A maximum below the minimum resets the minimum, as the preferences do.
        QTest::newRow("max below min") << int(SpeedGraph) << 1.0 << 50.0 << 20.0 << 4 << 0.0 << 20.0 << 4;
        QTest::newRow("equal ends: one step up") << int(AltitudeGraph) << 1.0 << 100.0 << 100.0 << 4 << 100.0 << 110.0 << 4;
        QTest::newRow("meters: step 100") << int(DistanceGraph) << 1000.0 << 0.0 << 50.0 << 4 << 0.0 << 100.0 << 4;
        QTest::newRow("max 0, min 0") << int(SatsGraph) << 1.0 << 0.0 << 0.0 << 4 << 0.0 << 1.0 << 4;
        QTest::newRow("bad graph reads as speed") << 17 << 1.0 << 0.0 << 1.0 << 4 << 0.0 << 5.0 << 4;
    }
    void check()
    {
        QFETCH(int, graph);
        QFETCH(double, distFactor);
        QFETCH(double, min);
        QFETCH(double, max);
        QFETCH(int, ticks);
        QFETCH(double, wantMin);
        QFETCH(double, wantMax);
        QFETCH(int, wantTicks);
        const GraphRange r = checkedGraphRange(graph, {min, max, ticks}, distFactor);
        QCOMPARE(r.min, wantMin);
        QCOMPARE(r.max, wantMax);
        QCOMPARE(r.ticks, wantTicks);
        // Checking again changes nothing.
        const GraphRange again = checkedGraphRange(graph, r, distFactor);
        QVERIFY(again.min == r.min && again.max == r.max && again.ticks == r.ticks);
    }

    void keys_data()
    {
        addRangeColumns();
        QTest::addColumn<GraphKey>("key");
        QTest::addColumn<double>("wantMax");
        QTest::addColumn<int>("wantTicks");
        QTest::newRow("2 at 200 keeps 200") << int(SpeedGraph) << 1.0 << 0.0 << 200.0 << 4 << GraphKey::RaiseMax << 200.0 << 4;
        QTest::newRow("2 stops at 200") << int(SpeedGraph) << 1.0 << 0.0 << 198.0 << 4 << GraphKey::RaiseMax << 200.0 << 4;
        // Autoscale may go beyond the highest maximum: "2" must not lower it.
        QTest::newRow("2 above the highest keeps") << int(SpeedGraph) << 1.0 << 0.0 << 250.0 << 4 << GraphKey::RaiseMax << 250.0 << 4;
        QTest::newRow("2 altitude") << int(AltitudeGraph) << 1.0 << 0.0 << 500.0 << 4 << GraphKey::RaiseMax << 510.0 << 4;
        QTest::newRow("1 at the lowest keeps") << int(SpeedGraph) << 1.0 << 0.0 << 5.0 << 4 << GraphKey::LowerMax << 5.0 << 4;
        // "1" must not raise a maximum that is already below the lowest.
        QTest::newRow("1 below the lowest keeps") << int(SatsGraph) << 1.0 << 0.0 << 3.0 << 4 << GraphKey::LowerMax << 3.0 << 4;
        QTest::newRow("1 stops at min + step") << int(AltitudeGraph) << 1.0 << 100.0 << 115.0 << 4 << GraphKey::LowerMax << 110.0 << 4;
        QTest::newRow("1 at min + step keeps") << int(AltitudeGraph) << 1.0 << 100.0 << 110.0 << 4 << GraphKey::LowerMax << 110.0 << 4;
        QTest::newRow("1 meters: 100 m") << int(DistanceGraph) << 1000.0 << 0.0 << 1500.0 << 4 << GraphKey::LowerMax << 1400.0 << 4;
        QTest::newRow("1 miles: lowest 1 km") << int(LosGraph) << kMiles << 0.0 << 0.65 << 4 << GraphKey::LowerMax << kMiles << 4;
        QTest::newRow("2 LOS km at 100") << int(LosGraph) << 1.0 << 0.0 << 100.0 << 4 << GraphKey::RaiseMax << 100.0 << 4;
        QTest::newRow("3 at 2 keeps 2") << int(SpeedGraph) << 1.0 << 0.0 << 100.0 << 2 << GraphKey::FewerTicks << 100.0 << 2;
        QTest::newRow("3 from 5") << int(BearingGraph) << 1.0 << 0.0 << 360.0 << 5 << GraphKey::FewerTicks << 360.0 << 4;
        QTest::newRow("4 at 10 keeps 10") << int(SatsGraph) << 1.0 << 0.0 << 30.0 << 10 << GraphKey::MoreTicks << 30.0 << 10;
        QTest::newRow("4 from damaged 0") << int(SatsGraph) << 1.0 << 0.0 << 30.0 << 0 << GraphKey::MoreTicks << 30.0 << 3;
    }
    void keys()
    {
        QFETCH(int, graph);
        QFETCH(double, distFactor);
        QFETCH(double, min);
        QFETCH(double, max);
        QFETCH(int, ticks);
        QFETCH(GraphKey, key);
        QFETCH(double, wantMax);
        QFETCH(int, wantTicks);
        const GraphRange r = graphRangeAfterKey(graph, {min, max, ticks}, key, distFactor);
        QCOMPARE(r.min, min);
        QCOMPARE(r.max, wantMax);
        QCOMPARE(r.ticks, wantTicks);
    }

    // Each graph reads and writes its own three fields, checked; a damaged
    // store loads checked.
    void recordAndStore()
    {
        setDefaultSettings();
        SettingsRecord &s = settings();
        for (int g = 0; g < GRAPH_RANGE_COUNT; ++g)
            setGraphRange(s, g, {double(g), 100.0 + g, 2 + g});
        QVERIFY(s.speedDashCamMin == 0 && s.speedDashCamMax == 100 && s.nSpeedDashCamTicks == 2);
        QVERIFY(s.distMin == 1 && s.distMax == 101 && s.nDistTicks == 3);
        QVERIFY(s.losMin == 2 && s.losMax == 102 && s.nLosTicks == 4);
        QVERIFY(s.bearingMin == 3 && s.bearingMax == 103 && s.nBearingTicks == 5);
        QVERIFY(s.altMin == 4 && s.altMax == 104 && s.nAltTicks == 6);
        QVERIFY(s.satsMin == 5 && s.satsMax == 105 && s.nSatsTicks == 7);
        setGraphRange(s, 6, {0, 0, 0});
        setGraphRange(s, -1, {0, 0, 0});
        QCOMPARE(graphRange(s, SatsGraph).max, 105.0);
        s.nAltTicks = 0;
        s.altMax = kNaN;
        QCOMPARE(graphRange(s, AltitudeGraph).ticks, 2);
        QCOMPARE(graphRange(s, AltitudeGraph).max, 500.0);

        QTemporaryDir dir;
        QSettings store(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
        store.setValue(QStringLiteral("configuration/nSpeedDashCamTicks"), 0);
        store.setValue(QStringLiteral("configuration/distMax"), QStringLiteral("nan"));
        store.setValue(QStringLiteral("configuration/satsMin"), 20);
        store.setValue(QStringLiteral("configuration/satsMax"), 10);
        store.setValue(QStringLiteral("configuration/nBearingTicks"), 99);
        loadSettings(store);
        QCOMPARE(s.nSpeedDashCamTicks, 2);
        QCOMPARE(s.distMax, 10.0);
        QVERIFY(s.satsMin == 0 && s.satsMax == 10);
        QCOMPARE(s.nBearingTicks, 10);
    }
};

QTEST_GUILESS_MAIN(TestGraphRanges)
#include "test_graphranges.moc"
