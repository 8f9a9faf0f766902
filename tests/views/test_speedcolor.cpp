// The speed colour rule: band edges in floating point, the reference speed from the statistics or the fixed maximum,
// one-colour and damaged level counts.
#include "settings/settings.h"
#include "track/trackstore.h"
#include "views/speedcolor.h"

#include <QtTest>

#include <cmath>

using namespace vx;

class TestSpeedColor : public QObject {
    Q_OBJECT

private slots:
    void colours_data()
    {
        QTest::addColumn<int>("levels");
        QTest::addColumn<bool>("autoScale");
        QTest::addColumn<double>("speedKmh");
        QTest::addColumn<QString>("colour");
        // Five levels, peak 100 km/h: bands end at 20, 40, 60, 80 (strictly above).
        QTest::newRow("5: just below 20") << 5 << true << 19.9 << "#B40032";
        QTest::newRow("5: exactly 20") << 5 << true << 20.0 << "#FF005A";
        QTest::newRow("5: 79.99") << 5 << true << 79.99 << "#6CFF00";
        QTest::newRow("5: the peak") << 5 << true << 100.0 << "#00CFFF";
        QTest::newRow("5: above the peak") << 5 << true << 180.0 << "#00CFFF";
        // 14 levels: (k + 1) / 14 in integers would be 0 for every band.
        QTest::newRow("14: zero") << 14 << true << 0.0 << "#B40032";
        QTest::newRow("14: exactly 7/14 of the peak") << 14 << true << 50.0 << "#9BFF00";
        QTest::newRow("10: 55 of 100") << 10 << true << 55.0 << "#ABFF00";
        QTest::newRow("1: always red") << 1 << true << 70.0 << "#FF0000";
        // A damaged level count reads the 14-level table.
        QTest::newRow("7 levels") << 7 << true << 99.0 << "#0050FF";
        QTest::newRow("0 levels") << 0 << true << 0.0 << "#B40032";
        // autoScaleRoute off: vmaxFixed 140 is the reference.
        QTest::newRow("fixed: 27.9") << 5 << false << 27.9 << "#B40032";
        QTest::newRow("fixed: 28") << 5 << false << 28.0 << "#FF005A";
        QTest::newRow("NaN speed") << 5 << true << std::nan("") << "#00CFFF";
    }
    void colours()
    {
        QFETCH(int, levels);
        QFETCH(bool, autoScale);
        QFETCH(double, speedKmh);
        QFETCH(QString, colour);
        setDefaultSettings();
        settings().colorLevels = levels;
        settings().autoScaleRoute = autoScale;
        TrackStats stats;
        stats.peakSpeed = 100.0f;
        QCOMPARE(speedColor(speedKmh, settings(), stats), colour);
    }
    // Every band is reached, in order; without statistics yet (peak below zero) the last band, never an index out of
    // the table.
    void everyBandIsReachedInOrder()
    {
        for (int levels : {5, 10, 14}) {
            int last = -1;
            for (int v = 0; v <= 200; ++v) {
                const int k = speedColorIndex(v * 0.5, 100.0, levels);
                QVERIFY(k == last || k == last + 1);
                last = k;
            }
            QCOMPARE(last, levels - 1);
        }
        QCOMPARE(speedColorIndex(0.0, -10000.0, 14), 13);
        QCOMPARE(QString::fromLatin1(speedColorAt(5, 99)) + speedColorAt(5, -3), QStringLiteral("#00CFFF#B40032"));
    }
};

QTEST_GUILESS_MAIN(TestSpeedColor)
#include "test_speedcolor.moc"
