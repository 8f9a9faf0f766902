// The geoid model and its evaluator: the built EGM96 model against the NGA
// check values, the missing and damaged model, positions off the globe, the
// library's environment settings, and the grid converter on synthetic grids
// whose heights are known everywhere.
#include "track/geoid.h"

#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>
#include <cmath>
#include <cstring>
#include <functional>

using namespace vx;

namespace {

// A global GTX grid (big-endian header of four doubles and two int32, then
// float32 heights from south to north) with heights from `height(lat, lon)`.
QByteArray makeGtx(double west, double step, const std::function<double(double, double)> &height)
{
    const int rows = static_cast<int>(std::lround(180.0 / step)) + 1;
    const int cols = static_cast<int>(std::lround(360.0 / step));
    QByteArray out;
    auto putDouble = [&out](double d) {
        quint64 bits;
        std::memcpy(&bits, &d, 8);
        bits = qToBigEndian(bits);
        out.append(reinterpret_cast<const char *>(&bits), 8);
    };
    auto putInt = [&out](qint32 v) {
        v = qToBigEndian(v);
        out.append(reinterpret_cast<const char *>(&v), 4);
    };
    putDouble(-90.0);
    putDouble(west);
    putDouble(step);
    putDouble(step);
    putInt(rows);
    putInt(cols);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            const float h = static_cast<float>(height(-90.0 + r * step, west + c * step));
            quint32 bits;
            std::memcpy(&bits, &h, 4);
            bits = qToBigEndian(bits);
            out.append(reinterpret_cast<const char *>(&bits), 4);
        }
    }
    return out;
}

// Runs the converter; its exit status (-1 when it could not run).
int convert(const QString &gtx, const QString &pgm)
{
    QProcess p;
    p.start(QStringLiteral(VX_GTX2PGM), {gtx, pgm});
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return -1;
    return p.exitCode();
}

double correctionAt(double lat, double lon, bool *ok)
{
    double c = 12345;
    *ok = geoidCorrection(lat, lon, &c);
    return c;
}

} // namespace

class TestGeoid : public QObject {
    Q_OBJECT

private slots:
    void builtModelMatchesNgaCheckValues_data()
    {
        // The check points published by NGA with the EGM96 15-minute grid
        // (latitude, longitude east, geoid height N in metres).
        QTest::addColumn<double>("lat");
        QTest::addColumn<double>("lon");
        QTest::addColumn<double>("n");
        QTest::newRow("Mississippi") << 38.628155 << 269.779155 << -31.628;
        QTest::newRow("Brazil") << -14.621217 << 305.021114 << -2.969;
        QTest::newRow("Mongolia") << 46.874319 << 102.448729 << -43.575;
        QTest::newRow("Australia") << -23.617446 << 133.874712 << 15.871;
        QTest::newRow("near Greenwich, west side") << 38.625473 << 359.9995 << 50.066;
        QTest::newRow("Gulf of Guinea") << -0.466744 << 0.0023 << 17.329;
    }

    void builtModelMatchesNgaCheckValues()
    {
        QFETCH(double, lat);
        QFETCH(double, lon);
        QFETCH(double, n);
        setupGeoid();  // <build>/Resources/geoid, beside <build>/bin
        QVERIFY2(geoidAvailable(), "the build must produce Resources/geoid/egm96-15.pgm");
        bool ok = false;
        const double c = correctionAt(lat, lon, &ok);
        QVERIFY(ok);
        QVERIFY2(std::fabs(-c - n) <= 0.05, qPrintable(QString::number(-c, 'f', 4)));
        // Longitudes east and west of Greenwich name the same place.
        const double c2 = correctionAt(lat, lon - 360.0, &ok);
        QVERIFY(ok);
        QVERIFY(std::fabs(c2 - c) < 1e-9);
    }

    void missingModelGivesNoCorrection()
    {
        QTemporaryDir empty;
        setupGeoid(empty.path());
        QVERIFY(!geoidAvailable());
        bool ok = true;
        QCOMPARE(correctionAt(46.874319, 102.448729, &ok), 0.0);
        QVERIFY(!ok);

        setupGeoid(QString());  // never the library's own default location
        QVERIFY(!geoidAvailable());
        QCOMPARE(correctionAt(10, 10, &ok), 0.0);
        QVERIFY(!ok);
    }

    void libraryEnvironmentPlaysNoPart()
    {
        // A valid model where the library's environment points, none in the
        // program's own directory: still no correction.
        QTemporaryDir elsewhere, own;
        QVERIFY(QFile::copy(QStringLiteral(VX_GEOID_MODEL), elsewhere.filePath("egm96-15.pgm")));
        QVERIFY(QFile::copy(QStringLiteral(VX_GEOID_MODEL), elsewhere.filePath("egm96-5.pgm")));
        qputenv("GEOGRAPHICLIB_GEOID_PATH", QFile::encodeName(elsewhere.path()));
        qputenv("GEOID_PATH", QFile::encodeName(elsewhere.path()));
        qputenv("GEOGRAPHICLIB_DATA", QFile::encodeName(elsewhere.path()));
        setupGeoid(own.path());
        bool ok = true;
        QCOMPARE(correctionAt(46.874319, 102.448729, &ok), 0.0);
        QVERIFY(!ok);
        qunsetenv("GEOGRAPHICLIB_GEOID_PATH");
        qunsetenv("GEOID_PATH");
        qunsetenv("GEOGRAPHICLIB_DATA");
    }

    void damagedModelGivesNoCorrection_data()
    {
        QTest::addColumn<QByteArray>("content");
        QFile model(QStringLiteral(VX_GEOID_MODEL));
        QVERIFY(model.open(QIODevice::ReadOnly));
        const QByteArray good = model.readAll();
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not a pgm") << QByteArray("hello\n");
        QTest::newRow("truncated pixels") << good.left(good.size() / 2);
        QTest::newRow("header only") << good.left(good.indexOf("65535\n") + 6);
        QByteArray noScale = good;
        noScale.replace("# Scale", "# Sxale");
        QTest::newRow("no scale") << noScale;
        QByteArray wrongMax = good;
        wrongMax.replace("\n65535\n", "\n255\n\n\n\n");
        QTest::newRow("8-bit maxval") << wrongMax;
    }

    void damagedModelGivesNoCorrection()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        QVERIFY(vxtest::writeFile(dir.filePath("egm96-15.pgm"), content));
        setupGeoid(dir.path());
        QVERIFY(geoidAvailable());  // the file is there; it just does not evaluate
        for (int i = 0; i < 3; ++i) {
            bool ok = true;
            QCOMPARE(correctionAt(46.874319, 102.448729 + i, &ok), 0.0);
            QVERIFY(!ok);
        }
    }

    void positionsOffTheGlobeHaveNoCorrection()
    {
        setupGeoid();
        QVERIFY(geoidAvailable());
        const double bad[][2] = {{90.5, 10}, {-135, 10}, {NAN, 10}, {10, NAN},
                                 {INFINITY, 0}, {0, -INFINITY}, {1e300, 1e300}};
        for (const auto &p : bad) {
            bool ok = true;
            QCOMPARE(correctionAt(p[0], p[1], &ok), 0.0);
            QVERIFY(!ok);
        }
        // The poles themselves and huge finite longitudes are fine.
        bool ok = false;
        correctionAt(90, 0, &ok);
        QVERIFY(ok);
        correctionAt(-90, 123, &ok);
        QVERIFY(ok);
        const double far = correctionAt(46.874319, 102.448729 + 360.0 * 1000, &ok);
        QVERIFY(ok);
        QVERIFY(std::fabs(-far - (-43.575)) <= 0.05);
    }

    void constantGridsGiveTheCorrectedHeights()
    {
        // N = +40 m everywhere: an ellipsoid height of 100 m is 60 m above
        // the geoid; N = -30 m makes it 130 m.
        const std::pair<double, double> cases[] = {{40.0, 60.0}, {-30.0, 130.0}};
        for (const auto &c : cases) {
            QTemporaryDir dir;
            const double n = c.first;
            QVERIFY(vxtest::writeFile(dir.filePath("g.gtx"),
                                      makeGtx(-180, 1.0, [n](double, double) { return n; })));
            QCOMPARE(convert(dir.filePath("g.gtx"), dir.filePath("egm96-15.pgm")), 0);
            setupGeoid(dir.path());
            bool ok = false;
            const double corr = correctionAt(-33.9, 151.2, &ok);
            QVERIFY(ok);
            QVERIFY(std::fabs(100.0 + corr - c.second) < 0.002);
        }
    }

    void converterKeepsOrientation_data()
    {
        QTest::addColumn<double>("west");
        QTest::newRow("grid from 180W") << -180.0;
        QTest::newRow("grid from 0E") << 0.0;
        QTest::newRow("grid from 90E") << 90.0;
    }

    void converterKeepsOrientation()
    {
        // A height that grows northward and eastward (away from the date
        // line, where longitudes jump): the cubic fit reproduces it, so any
        // flipped row order or shifted column shows at once.
        QFETCH(double, west);
        auto field = [](double lat, double lon) {
            const double east = std::remainder(lon, 360.0);
            return lat * 0.5 + east * 0.2;
        };
        QTemporaryDir dir;
        QVERIFY(vxtest::writeFile(dir.filePath("g.gtx"), makeGtx(west, 0.5, field)));
        QCOMPARE(convert(dir.filePath("g.gtx"), dir.filePath("egm96-15.pgm")), 0);
        setupGeoid(dir.path());
        const double points[][2] = {{46.87, 102.45}, {-33.9, 151.2}, {51.5, -0.13},
                                    {-12.3, -77.0}, {0.0, 0.0}, {70.1, -150.7}};
        for (const auto &p : points) {
            bool ok = false;
            const double corr = correctionAt(p[0], p[1], &ok);
            QVERIFY(ok);
            QVERIFY2(std::fabs(-corr - field(p[0], p[1])) < 0.01,
                     qPrintable(QStringLiteral("%1,%2: %3").arg(p[0]).arg(p[1]).arg(-corr)));
        }
    }

    void converterRejectsBadGridsAndKeepsTheOldModel_data()
    {
        QTest::addColumn<QByteArray>("gtx");
        const QByteArray good = makeGtx(-180, 2.0, [](double, double) { return 5.0; });
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("short header") << good.left(30);
        QTest::newRow("truncated heights") << good.left(good.size() - 4);
        QTest::newRow("trailing bytes") << good + QByteArray(4, '\0');
        QByteArray rows = good;
        qint32 evenRows = qToBigEndian<qint32>(90);
        rows.replace(32, 4, reinterpret_cast<const char *>(&evenRows), 4);
        QTest::newRow("rows do not reach the pole") << rows;
        QByteArray huge = good;
        qint32 many = qToBigEndian<qint32>(0x7fffffff);
        huge.replace(32, 4, reinterpret_cast<const char *>(&many), 4);
        huge.replace(36, 4, reinterpret_cast<const char *>(&many), 4);
        QTest::newRow("absurd size") << huge;
        QTest::newRow("not global") << makeGtx(-180, 2.0, [](double, double) { return 5.0; })
                                           .replace(0, 8, QByteArray("\xC0\x50\x00\x00\x00\x00\x00\x00", 8));
        QTest::newRow("height beyond the image range")
            << makeGtx(-180, 2.0, [](double lat, double) { return lat > 60 ? 500.0 : 0.0; });
        QTest::newRow("not a number")
            << makeGtx(-180, 2.0, [](double lat, double) { return lat > 60 ? NAN : 0.0; });
    }

    void converterRejectsBadGridsAndKeepsTheOldModel()
    {
        QFETCH(QByteArray, gtx);
        QTemporaryDir dir;
        const QString out = dir.filePath("egm96-15.pgm");
        QVERIFY(vxtest::writeFile(out, "previous model"));
        QVERIFY(vxtest::writeFile(dir.filePath("g.gtx"), gtx));
        QCOMPARE(convert(dir.filePath("g.gtx"), out), 1);
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("previous model"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);  // no leftovers
    }
};

QTEST_GUILESS_MAIN(TestGeoid)
#include "test_geoid.moc"
