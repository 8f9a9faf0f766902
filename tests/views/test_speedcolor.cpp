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
    void colours()
    {
        const struct { int levels; bool autoScale; double speedKmh; const char *colour; } rows[] = {
            // Five levels, peak 100 km/h: bands end at 20, 40, 60, 80 (strictly above), the peak and beyond.
            {5, true, 19.9, "#B40032"}, {5, true, 20, "#FF005A"}, {5, true, 79.99, "#6CFF00"},
            {5, true, 100, "#00CFFF"}, {5, true, 180, "#00CFFF"}, {5, true, std::nan(""), "#00CFFF"},
            // 14 levels: (k + 1) / 14 in integers would be 0 for every band; 7/14 of the peak; one level always red.
            {14, true, 0, "#B40032"}, {14, true, 50, "#9BFF00"}, {10, true, 55, "#ABFF00"}, {1, true, 70, "#FF0000"},
            // A damaged level count reads the 14-level table.
            {7, true, 99, "#0050FF"}, {0, true, 0, "#B40032"},
            // autoScaleRoute off: vmaxFixed 140 is the reference.
            {5, false, 27.9, "#B40032"}, {5, false, 28, "#FF005A"}};
        TrackStats stats;
        stats.peakSpeed = 100.0f;
        for (const auto &row : rows) {
            setDefaultSettings();
            std::tie(settings().colorLevels, settings().autoScaleRoute) = std::pair(row.levels, row.autoScale);
            QVERIFY2(speedColor(row.speedKmh, settings(), stats) == row.colour,
                     qPrintable(QStringLiteral("%1 levels, %2 km/h").arg(row.levels).arg(row.speedKmh)));
        }
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
