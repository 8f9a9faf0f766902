// The exports byte for byte against golden hashes of a generated store (a
// flight, rounding ties, impossible values, raw bits, over-full blocks) in
// every layout and unit, on one thread and three (tests/data/export/
// golden.sha256 says how; VX_WRITE_GOLDEN=<file> writes a fresh table); the
// number texts against printf on values chosen to break a fixed-point
// formatter and raw bits (fuzz/fuzz_numbertext runs it unbounded).
#include "export/exportpipeline.h"
#include "export/geotags.h"
#include "export/numbertext.h"
#include "export/trackexport.h"
#include "settings/settings.h"
#include "support/testsupport.h"
#include "track/trackstore.h"

#include <QtTest>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

using namespace vx;

namespace {

double fromBits(quint64 bits)
{
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

// splitmix64: the same numbers on every platform and compiler.
struct Rng {
    uint64_t s;
    uint64_t next()
    {
        uint64_t z = (s += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double uniform(double lo, double hi) { return lo + (hi - lo) * (static_cast<double>(next() >> 11) * 0x1p-53); }
    double anyBits() { return fromBits(next()); }
};

// Rounding ties k/2^n in every precision used, signed zero, carries, and impossible positions.
const double kEdges[] = {
    0.0, -0.0, 0.5, -0.5, 0.25, 0.75, -0.25, 0.125, 0.375, -0.625, 0.0625, 0.1875, 1.03125, -2.09375,
    1.0 / 128, 3.0 / 128, -5.0 / 128, 1.0 / 256, 3.0 / 256, 45.0 + 7.0 / 256, -179.0 - 9.0 / 256, 0.05, 0.15,
    0.35, 2.675, 1.005, 89.999999999, -89.99999995, 179.99999999, -0.00000005, 0.0000000499, 9.5, 10.5,
    -9.5, 59.99999, 1e-300, 5e-324, -5e-324, 1e9, 1e9 - 0.5, 999999999.99999994, 4503599627370496.5,
    9007199254740993.0, 1e15 + 0.5, 1e17, 1e22, 1.7976931348623157e308, -1e308, 1e300,
    std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::quiet_NaN(),
    std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(), 2147483647.5,
    -2147483648.5, 123456.789, -0.049999999, 0.95, 99999.95, 9999.95};
constexpr int kEdgeCount = sizeof kEdges / sizeof kEdges[0];

void realisticFlight(MovieBlock &b, Rng &r, int n)
{
    double lat = 46.5, lon = 7.25;
    for (int i = 0; i < n; ++i) {
        lat += r.uniform(-2e-5, 2e-5);
        lon += r.uniform(-2e-5, 2e-5);
        b.gpsTime[i] = 1489267325u + i;
        b.lat[i] = lat;
        b.lon[i] = lon;
        b.speed[i] = static_cast<float>(r.uniform(0, 150));
        b.segDist[i] = r.uniform(0, 0.05);
        b.los[i] = r.uniform(0, 3);
        b.bearing[i] = r.uniform(-180, 180);
        b.altitude[i] = r.uniform(-50, 3000);
        b.sats[i] = static_cast<int>(r.next() % 31);
    }
}

// Every field from the edge table, staggered so that each value meets each column.
void edgeValues(MovieBlock &b, int n)
{
    const uint32_t times[] = {0u, 1u, 86399u, 951782400u, 1489276800u, 2147483647u, 4102444799u, NO_TIME - 1, NO_TIME};
    for (int i = 0; i < n; ++i) {
        b.gpsTime[i] = times[i % 9];
        b.lat[i] = kEdges[i % kEdgeCount];
        b.lon[i] = -kEdges[(i + 7) % kEdgeCount];
        b.speed[i] = static_cast<float>(kEdges[(i + 13) % kEdgeCount]);
        b.segDist[i] = std::fabs(kEdges[(i + 3) % kEdgeCount]) < 1e6 ? kEdges[(i + 3) % kEdgeCount] : 0.0;
        b.los[i] = kEdges[(i + 19) % kEdgeCount];
        b.bearing[i] = kEdges[(i + 29) % kEdgeCount];
        b.altitude[i] = kEdges[(i + 31) % kEdgeCount];
        b.sats[i] = i % 5 == 0 ? std::numeric_limits<int>::min() : (i % 7 == 0 ? -3 : i);
    }
}

// Raw bit patterns in the position columns, wide ranges elsewhere.
void wildValues(MovieBlock &b, Rng &r, int n)
{
    for (int i = 0; i < n; ++i) {
        b.gpsTime[i] = static_cast<uint32_t>(r.next());
        b.lat[i] = i % 3 == 0 ? r.anyBits() : r.uniform(-90, 90);
        b.lon[i] = i % 4 == 0 ? r.anyBits() : r.uniform(-180, 180);
        b.speed[i] = static_cast<float>(i % 5 == 0 ? r.anyBits() : r.uniform(-10, 400));
        b.segDist[i] = r.uniform(0, 2);
        b.los[i] = i % 6 == 0 ? r.anyBits() : r.uniform(0, 1e4);
        b.bearing[i] = r.uniform(-180, 180);
        b.altitude[i] = i % 7 == 0 ? r.anyBits() : r.uniform(-500, 9000);
        b.sats[i] = static_cast<int>(r.next());
    }
}

void buildStore()
{
    resetTrackStore();
    clearGeotags();
    TrackStore &t = track();
    Rng r{20240601};
    auto movie = [&](int b, const char *name, bool altitude, bool sats, int points) -> MovieBlock & {
        MovieBlock &m = t.block[b];
        m.movieFile = QFileInfo(QString::fromUtf8(name));
        m.hasAltitude = altitude;
        m.hasSats = sats;
        m.numPoints = points;
        return m;
    };
    realisticFlight(movie(0, "/flights/DJI_0001.MOV", true, true, 1500), r, 1500);
    realisticFlight(movie(1, "/flights/disabled.MOV", true, false, 40), r, 40);
    t.block[1].active = false;
    edgeValues(movie(2, "/flights/Ünïcode & <odd> \"name\".mp4", false, true, 5 * kEdgeCount), 5 * kEdgeCount);
    movie(3, "/flights/empty.mov", true, true, 0);
    wildValues(movie(4, "/flights/GOPR0042.MP4", true, true, MAX_POINTS), r, MAX_POINTS);
    wildValues(movie(5, "/flights/over.full.mov", false, false, MAX_POINTS + 9), r, MAX_POINTS);
    edgeValues(movie(6, "/flights/nodot", true, false, kEdgeCount), kEdgeCount);
    t.numBlocks = 7;
    rebuildPlayOrder();
    const char *titles[] = {"Take-off", "Über <the> \"bridge\" & 'lake'", "\x01\x1f control", ""};
    for (int i = 0; i < 4; ++i) {
        Geotag g;
        g.title = QString::fromUtf8(titles[i]);
        g.lat = kEdges[(i * 11) % kEdgeCount];
        g.lon = r.uniform(-180, 180);
        g.movieAvailable = i % 2 == 0;
        addGeotag(g);
    }
}

void useSettings(int datumFormat, int outUnits, int altUnits, float localTimeOffset)
{
    setDefaultSettings();
    settings().datumFormat = datumFormat;
    settings().outUnits = outUnits;
    settings().altUnits = altUnits;
    settings().localTimeOffset = localTimeOffset;
    recomputeFactors();
}

QByteArray sha256(const QByteArray &b) { return QCryptographicHash::hash(b, QCryptographicHash::Sha256).toHex(); }

// Writes one variant into `dir`; the hash of what it wrote (names and contents in order).
QByteArray runVariant(const QString &name, const QDir &dir)
{
    const QStringList p = name.split(QLatin1Char('-'));
    const QString path = dir.filePath(name);
    bool ok = false;
    QByteArray bytes;
    if (p[0] == QLatin1String("csv")) {
        const float offsets[] = {-7.5f, 5.75f, 0.0f, -12.0f};
        const int f = p[1].mid(1).toInt(), u = p[2].mid(1).toInt(), a = p[3].mid(1).toInt();
        useSettings(f, u, a, offsets[(f + u + a) % 4]);
        ok = exportCsv(path).ok;
    } else if (p[0] == QLatin1String("kml")) {
        useSettings(0, p[1].mid(1).toInt(), 0, 0.0f);
        track().relativeAltitude = p[2] == QLatin1String("relative");
        ok = exportKml(path).ok;
    } else if (name == QLatin1String("gpx-combined")) {
        useSettings(0, 0, 0, 0.0f);
        ok = exportGpx(path).ok;
    } else if (name == QLatin1String("gpx-range")) {
        ok = exportGpxRange(path, 0, 100, 4, 50).ok;
    } else if (name == QLatin1String("gpx-permovie")) {
        QDir sub(dir.filePath(name));
        sub.mkpath(QStringLiteral("."));
        ok = exportGpxPerMovie(sub.filePath(QStringLiteral("all.gpx"))).ok;
        for (const QString &f : sub.entryList(QDir::Files, QDir::Name))
            bytes += f.toUtf8() + '\n' + vxtest::readFile(sub.filePath(f));
    }
    return ok ? sha256(bytes.isEmpty() ? vxtest::readFile(path) : bytes) : QByteArray("<failed>");
}

QStringList variantNames()
{
    QStringList names;
    for (int f : {0, 1, 2, 7})
        for (int u = 0; u < 3; ++u)
            for (int a = 0; a < 2; ++a)
                names << QStringLiteral("csv-f%1-u%2-a%3").arg(f).arg(u).arg(a);
    names << QStringLiteral("gpx-combined") << QStringLiteral("gpx-range") << QStringLiteral("gpx-permovie");
    for (int u = 0; u < 3; ++u)
        for (const char *mode : {"absolute", "relative"})
            names << QStringLiteral("kml-u%1-%2").arg(u).arg(QLatin1String(mode));
    return names;
}

// "hash  name" lines; '#' starts a comment.
QHash<QString, QByteArray> readGolden(const QString &path)
{
    QHash<QString, QByteArray> table;
    for (const QByteArray &line : vxtest::readFile(path).split('\n'))
        if (!line.startsWith('#') && line.indexOf("  ") > 0)
            table.insert(QString::fromUtf8(line.mid(line.indexOf("  ") + 2)), line.left(line.indexOf("  ")));
    return table;
}

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

class TestExportGolden : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QHash<QString, QByteArray> golden;

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        buildStore();
        const QByteArray writeTo = qgetenv("VX_WRITE_GOLDEN");
        if (!writeTo.isEmpty()) {
            QByteArray table;
            for (const QString &name : variantNames())
                table += runVariant(name, QDir(dir.path())) + "  " + name.toUtf8() + '\n';
            QVERIFY(vxtest::writeFile(QString::fromLocal8Bit(writeTo), table));
            QSKIP("golden table written");
        }
        golden = readGolden(vxtest::dataPath(QStringLiteral("export/golden.sha256")));
        QCOMPARE(golden.size(), variantNames().size());
    }
    void cleanupTestCase() { setExportThreadCount(0); }
    void sameBytesAsBefore_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("threads");
        for (int threads : {1, 3})
            for (const QString &name : variantNames())
                QTest::newRow(qPrintable(QStringLiteral("%1, %2 thread(s)").arg(name).arg(threads))) << name << threads;
    }
    void sameBytesAsBefore()
    {
        QFETCH(QString, name);
        QFETCH(int, threads);
        setExportThreadCount(threads);
        QCOMPARE(runVariant(name, QDir(dir.path())), golden.value(name));
    }

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

QTEST_GUILESS_MAIN(TestExportGolden)
#include "test_exportgolden.moc"
