// The exports byte for byte against golden hashes of a generated store (a
// flight, rounding ties, impossible values, raw bits, over-full blocks) in
// every layout and unit, on one thread and three (tests/data/export/
// golden.sha256 says how; VX_WRITE_GOLDEN=<file> writes a fresh table).
#include "export/exportpipeline.h"
#include "export/geotags.h"
#include "export/trackexport.h"
#include "settings/settings.h"
#include "support/testsupport.h"
#include "track/trackstore.h"

#include "edgevalues.h"

#include <QtTest>
#include <cmath>

using namespace vx;
using namespace vxtest;

namespace {

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
};

QTEST_GUILESS_MAIN(TestExportGolden)
#include "test_exportgolden.moc"
