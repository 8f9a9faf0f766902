// The export number texts against printf on values chosen to break a
// fixed-point formatter and on raw bits (fuzz/fuzz_numbertext runs the same
// comparison unbounded).
#include "export/numbertext.h"

#include "edgevalues.h"

#include <QtTest>
#include <cmath>
#include <cstdio>

using namespace vx;
using namespace vxtest;

namespace {

// Empty on a match, else the first difference described.
QByteArray compareFixed(double value, int precision, int width, bool zeroPad)
{
    char want[400], got[FIXED_TEXT_MAX + 8], text[600];
    std::snprintf(want, sizeof want, zeroPad ? "%0*.*f" : "%*.*f", width, precision, value);
    const QByteArray have(got, static_cast<int>(writeFixed(got, value, precision, width, zeroPad) - got));
    if (have == want && have.size() <= FIXED_TEXT_MAX)
        return QByteArray();
    std::snprintf(text, sizeof text, "value %a precision %d width %d%s: printf \"%s\", ours \"%s\"", value,
                  precision, width, zeroPad ? " zero-padded" : "", want, have.constData());
    return QByteArray(text);
}

// {precision, width, zero-padded}: the exports' formats ("%7.6lf", "%02.0f", "%07.4lf",
// "%05.2lf", "%5.1f", "%12.3lf", "%.7lf", "%.1lf", "%lf", "%.2lf") and a few more.
const int kFormats[][3] = {{6, 7, 0}, {0, 2, 1}, {0, 3, 1}, {4, 7, 1}, {2, 5, 1}, {1, 5, 0}, {3, 12, 0}, {7, 0, 0},
                           {1, 0, 0}, {6, 0, 0}, {2, 0, 0}, {1, 7, 0}, {0, 0, 0}, {5, 9, 0}, {8, 0, 0}, {9, 14, 1},
                           {3, 32, 1}};

} // namespace

class TestNumberText : public QObject {
    Q_OBJECT

private slots:
    void fixedMatchesPrintf_data()
    {
        QTest::addColumn<QVector<double>>("values");
        auto *rng = QRandomGenerator::global();
        // The store's edge values, carries (9.96 -> "10.0"), 2^30, and neighbours.
        QVector<double> edges;
        for (double x : kEdges)
            edges << x << -x << std::nextafter(x, 0.0) << std::nextafter(x, 1e300);
        for (double x : {0.1, 0.7, 2.2250738585072014e-308, 9.95, 99.95, 999.9999999, 59.999999999,
                         1073741823.9999999, 1073741824.0, 1073741824.5, 1073741825.0, 4294967295.5})
            edges << x << -x << std::nextafter(x, 0.0) << std::nextafter(x, 1e300);
        QTest::newRow("edges and carries") << edges;
        // k / 2^n with an odd k has n decimals: a tie at precision n - 1.
        QVector<double> ties;
        for (int n = 1; n <= 10; ++n)
            for (int k = 1; k < 400; k += 2)
                for (double sign : {1.0, -1.0})
                    ties << sign * std::ldexp(k, -n) << sign * (123.0 + std::ldexp(k, -n));
        QTest::newRow("binary ties") << ties;
        // The neighbours of the decimal grid's steps j / 10^p and (j + 0.5) / 10^p.
        QVector<double> beside;
        for (int p = 0; p <= 9; ++p)
            for (int i = 0; i < 300; ++i) {
                const double j = static_cast<double>(rng->bounded(2000000));
                for (double x : {j / std::pow(10.0, p), (j + 0.5) / std::pow(10.0, p)})
                    beside << x << std::nextafter(x, 0.0) << std::nextafter(x, 1e300) << -x;
            }
        QTest::newRow("beside the rounding steps") << beside;

        QVector<double> bits;
        for (int i = 0; i < 10000; ++i)
            bits << fromBits(rng->generate64());
        // and as many with the exponents of telemetry, where the fast path works
        for (int i = 0; i < 10000; ++i)
            bits << fromBits((rng->generate64() & 0x800FFFFFFFFFFFFFull) | (quint64(980 + rng->bounded(80)) << 52));
        QTest::newRow("random bit patterns") << bits;
    }
    void fixedMatchesPrintf()
    {
        QFETCH(QVector<double>, values);
        QVERIFY(!values.isEmpty());
        for (double v : values)
            for (const auto &f : kFormats) {
                const QByteArray difference = compareFixed(v, f[0], f[1], f[2] != 0);
                if (!difference.isEmpty())
                    QFAIL(difference.constData());
            }
    }
    void integersMatchPrintf()
    {
        QVector<qint64> values{0, 1, -1, 9, 10, 99, 100, std::numeric_limits<qint64>::max(),
                               std::numeric_limits<qint64>::min(), std::numeric_limits<int>::min(),
                               std::numeric_limits<int>::max()};
        for (int i = 0; i < 20000; ++i)
            values << (static_cast<qint64>(QRandomGenerator::global()->generate64()) >> (i % 64));
        char want[32], d[32];
        for (qint64 v : values) {
            std::snprintf(want, sizeof want, "%lld", static_cast<long long>(v));
            QCOMPARE(QByteArray(d, static_cast<int>(writeInt(d, v) - d)), QByteArray(want));
        }
        QByteArray digits;
        for (const auto &n : {std::pair<uint32_t, int>(7, 2), {2024, 4}, {42, 5}})
            digits += QByteArray(d, static_cast<int>(writeDigits(d, n.first, n.second) - d)) + ' ';
        QCOMPARE(digits, QByteArray("07 2024 00042 "));
    }
};

QTEST_GUILESS_MAIN(TestNumberText)
#include "test_numbertext.moc"
