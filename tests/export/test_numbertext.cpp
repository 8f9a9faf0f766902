// The export number texts against the C library's printf, the reference they
// must match byte for byte: every precision, width and padding, on families
// of values chosen to break a fixed-point formatter (exact binary ties in the
// last digit, values a hair beside them, carries into a new digit, the fast
// range's edge, subnormals, signed zero, nan and inf) and on raw random bit
// patterns. fuzz/fuzz_numbertext.cpp runs the same comparison unbounded.
#include "export/numbertext.h"

#include <QRandomGenerator>
#include <QtTest>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

using namespace vx;

namespace {

// Returns an empty string on a match, else a description of the first
// difference.
QByteArray compareFixed(double value, int precision, int width, bool zeroPad)
{
    char want[400];
    std::snprintf(want, sizeof want, zeroPad ? "%0*.*f" : "%*.*f", width, precision, value);
    char got[FIXED_TEXT_MAX + 8];
    const char *end = writeFixed(got, value, precision, width, zeroPad);
    const QByteArray have(got, static_cast<int>(end - got));
    if (have == want && have.size() <= FIXED_TEXT_MAX)
        return QByteArray();
    char text[600];
    std::snprintf(text, sizeof text, "value %a precision %d width %d%s: printf \"%s\", ours \"%s\"", value,
                  precision, width, zeroPad ? " zero-padded" : "", want, have.constData());
    return QByteArray(text);
}

double fromBits(quint64 bits)
{
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

// The formats the exports use ("%7.6lf", "%02.0f", "%07.4lf", "%05.2lf",
// "%5.1f", "%12.3lf", "%.7lf", "%.1lf", "%lf", "%.2lf") and a few more.
struct Format {
    int precision, width;
    bool zeroPad;
};
const Format kFormats[] = {{6, 7, false}, {0, 2, true}, {0, 3, true}, {4, 7, true}, {2, 5, true},
                           {1, 5, false}, {3, 12, false}, {7, 0, false}, {1, 0, false}, {6, 0, false},
                           {2, 0, false}, {1, 7, false}, {0, 0, false}, {5, 9, false}, {8, 0, false},
                           {9, 14, true}, {3, 32, true}};

} // namespace

class TestNumberText : public QObject {
    Q_OBJECT

private slots:
    void fixedMatchesPrintf_data()
    {
        QTest::addColumn<QVector<double>>("values");
        auto *rng = QRandomGenerator::global();
        const double inf = std::numeric_limits<double>::infinity();
        const double nan = std::numeric_limits<double>::quiet_NaN();

        QTest::newRow("specials") << QVector<double>{0.0, -0.0, inf, -inf, nan, -nan, 5e-324, -5e-324,
                                                     2.2250738585072014e-308, std::numeric_limits<double>::max(),
                                                     -std::numeric_limits<double>::max(), 1e300, 0.1, 0.7};

        // Exact ties in every decimal place up to the tenth: k / 2^n with an
        // odd k has exactly n decimals, and it is a tie at precision n - 1.
        QVector<double> ties;
        for (int n = 1; n <= 10; ++n)
            for (int k = 1; k < 400; k += 2)
                for (double sign : {1.0, -1.0})
                    ties << sign * std::ldexp(k, -n) << sign * (123.0 + std::ldexp(k, -n));
        QTest::newRow("binary ties") << ties;

        // A hair beside the ties and beside every rounding step of the
        // decimal grid: the neighbouring doubles of j / 10^p and of
        // (j + 0.5) / 10^p.
        QVector<double> beside;
        for (int p = 0; p <= 9; ++p) {
            for (int i = 0; i < 300; ++i) {
                const double j = static_cast<double>(rng->bounded(2000000));
                for (double x : {j / std::pow(10.0, p), (j + 0.5) / std::pow(10.0, p)})
                    beside << x << std::nextafter(x, 0.0) << std::nextafter(x, 1e300) << -x;
            }
        }
        QTest::newRow("beside the rounding steps") << beside;

        // Carries into a new digit (9.96 -> "10.0") and the edge of the
        // exact fast range (2^30) with its neighbours.
        QVector<double> carries;
        for (double x : {0.95, 9.95, 99.95, 999.9999999, 59.99999, 59.999999999, 99999.95, 1073741823.9999999,
                         1073741824.0, 1073741824.5, 1073741825.0, 999999999.99999994, 1e9, 4294967295.5}) {
            carries << x << -x << std::nextafter(x, 0.0) << std::nextafter(x, 1e300);
        }
        QTest::newRow("carries and the fast range's edge") << carries;

        QVector<double> telemetry;
        for (int i = 0; i < 10000; ++i)
            telemetry << rng->bounded(360.0) - 180.0 << rng->bounded(60.0) << rng->bounded(1e6)
                      << rng->bounded(1e-3) - 5e-4;
        QTest::newRow("telemetry ranges") << telemetry;

        QVector<double> bits;
        for (int i = 0; i < 10000; ++i)
            bits << fromBits(rng->generate64());
        // and as many with a small exponent, where the fast path works
        for (int i = 0; i < 10000; ++i)
            bits << fromBits((rng->generate64() & 0x800FFFFFFFFFFFFFull) | (quint64(980 + rng->bounded(80)) << 52));
        QTest::newRow("random bit patterns") << bits;
    }

    void fixedMatchesPrintf()
    {
        QFETCH(QVector<double>, values);
        int checked = 0;
        for (double v : values) {
            for (const Format &f : kFormats) {
                const QByteArray difference = compareFixed(v, f.precision, f.width, f.zeroPad);
                if (!difference.isEmpty())
                    QFAIL(difference.constData());
                ++checked;
            }
        }
        QVERIFY(checked > 0);
    }

    void integersMatchPrintf()
    {
        QVector<qint64> values{0, 1, -1, 9, 10, 99, 100, std::numeric_limits<qint64>::max(),
                               std::numeric_limits<qint64>::min(), std::numeric_limits<int>::min(),
                               std::numeric_limits<int>::max()};
        for (int i = 0; i < 20000; ++i)
            values << (static_cast<qint64>(QRandomGenerator::global()->generate64()) >> (i % 64));
        for (qint64 v : values) {
            char want[32], got[32];
            std::snprintf(want, sizeof want, "%lld", static_cast<long long>(v));
            const char *end = writeInt(got, v);
            QCOMPARE(QByteArray(got, static_cast<int>(end - got)), QByteArray(want));
        }
        char digits[16];
        QCOMPARE(QByteArray(digits, static_cast<int>(writeDigits(digits, 7, 2) - digits)), QByteArray("07"));
        QCOMPARE(QByteArray(digits, static_cast<int>(writeDigits(digits, 2024, 4) - digits)), QByteArray("2024"));
        QCOMPARE(QByteArray(digits, static_cast<int>(writeDigits(digits, 42, 5) - digits)), QByteArray("00042"));
    }
};

QTEST_GUILESS_MAIN(TestNumberText)
#include "test_numbertext.moc"
