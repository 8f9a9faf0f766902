// The geoid: the built model against NGA's check values, missing and damaged models, the grid converter.
#include "track/geoid.h"

#include "support/testsupport.h"

#include <QtTest>
#include <cmath>
#include <functional>

using namespace vx;

namespace {

// A global GTX grid: big-endian header (four doubles, two int32), float32 heights south to north; 2-degree steps.
QByteArray makeGtx(const std::function<double(double)> &height) {
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);  // big-endian
    s.setFloatingPointPrecision(QDataStream::DoublePrecision);
    s << -90.0 << -180.0 << 2.0 << 2.0 << qint32(91) << qint32(180);
    s.setFloatingPointPrecision(QDataStream::SinglePrecision);
    for (int r = 0; r < 91 * 180; ++r)
        s << float(height(-90.0 + r / 180 * 2));
    return out;
}

// The correction at a place, or NAN when there is none (then it must be 0).
double correctionAt(double lat, double lon) {
    double c = 12345;
    if (geoidCorrection(lat, lon, &c))
        return c;
    return c == 0.0 ? NAN : -999999;
}

} // namespace

class TestGeoid : public QObject {
    Q_OBJECT

private slots:
    void builtModelMatchesNgaCheckValues_data() {
        QTest::addColumn<double>("lat");
        QTest::addColumn<double>("lon");
        QTest::addColumn<double>("n");
        QTest::newRow("Mississippi") << 38.628155 << 269.779155 << -31.628;
        QTest::newRow("Australia") << -23.617446 << 133.874712 << 15.871;
        QTest::newRow("near Greenwich, west side") << 38.625473 << 359.9995 << 50.066;
        QTest::newRow("Gulf of Guinea") << -0.466744 << 0.0023 << 17.329;
        QTest::newRow("Mongolia, 1000 turns on") << 46.874319 << 102.448729 + 360.0 * 1000 << -43.575;
    }
    void builtModelMatchesNgaCheckValues() {
        QFETCH(double, lat);
        QFETCH(double, lon);
        QFETCH(double, n);
        setupGeoid();  // <build>/Resources/geoid, beside <build>/bin
        QVERIFY2(geoidAvailable(), "the build must produce Resources/geoid/egm96-15.pgm");
        const double c = correctionAt(lat, lon);
        QVERIFY2(std::fabs(-c - n) <= 0.05, qPrintable(QString::number(-c, 'f', 4)));
        QVERIFY(std::fabs(correctionAt(lat, lon - 360.0) - c) < 1e-9);
    }
    void positionsOffTheGlobeHaveNoCorrection() {
        setupGeoid();
        const double bad[][2] = {{90.5, 10}, {-135, 10}, {NAN, 10}, {10, NAN}, {INFINITY, 0}, {0, -INFINITY},
                                 {1e300, 1e300}};
        for (const auto &p : bad)
            QVERIFY(std::isnan(correctionAt(p[0], p[1])));
        QVERIFY(!std::isnan(correctionAt(90, 0)) && !std::isnan(correctionAt(-90, 123)));
    }
    void missingModelGivesNoCorrection() {
        QTemporaryDir empty, elsewhere;
        for (const QString &folder : {empty.path(), QString()}) {
            setupGeoid(folder);
            QVERIFY(!geoidAvailable() && std::isnan(correctionAt(46.874319, 102.448729)));
        }
        // Nor where the library's environment points.
        for (const char *name : {"egm96-15.pgm", "egm96-5.pgm"})
            QVERIFY(QFile::copy(QStringLiteral(VX_GEOID_MODEL), elsewhere.filePath(name)));
        for (const char *var : {"GEOGRAPHICLIB_GEOID_PATH", "GEOID_PATH", "GEOGRAPHICLIB_DATA"})
            qputenv(var, QFile::encodeName(elsewhere.path()));
        setupGeoid(empty.path());
        QVERIFY(std::isnan(correctionAt(46.874319, 102.448729)));
        for (const char *var : {"GEOGRAPHICLIB_GEOID_PATH", "GEOID_PATH", "GEOGRAPHICLIB_DATA"})
            qunsetenv(var);
    }
    void damagedModelGivesNoCorrection_data() {
        QTest::addColumn<QByteArray>("content");
        const QByteArray good = vxtest::readFile(QStringLiteral(VX_GEOID_MODEL));
        QTest::newRow("not a pgm") << QByteArray("hello\n");
        QTest::newRow("truncated pixels") << good.left(good.size() / 2);
        QTest::newRow("no scale") << QByteArray(good).replace("# Scale", "# Sxale");
        QTest::newRow("8-bit maxval") << QByteArray(good).replace("\n65535\n", "\n255\n\n\n\n");
    }
    void damagedModelGivesNoCorrection() {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        QVERIFY(vxtest::writeFile(dir.filePath("egm96-15.pgm"), content));
        setupGeoid(dir.path());
        QVERIFY(geoidAvailable());  // the file is there; it just does not evaluate
        for (int i = 0; i < 3; ++i)
            QVERIFY(std::isnan(correctionAt(46.874319, 102.448729 + i)));
    }
    // Grids that are no whole global model are refused, the previous model kept.
    void converterRejectsBadGridsAndKeepsTheOldModel_data() {
        QTest::addColumn<QByteArray>("gtx");
        const QByteArray good = makeGtx([](double) { return 5.0; });
        const auto withInts = [&good](qint32 rows, qint32 cols) {
            QByteArray b = good;
            QDataStream s(&b, QIODevice::ReadWrite);
            s.device()->seek(32);
            s << rows << cols;
            return b;
        };
        QTest::newRow("short header") << good.left(30);
        QTest::newRow("truncated heights") << good.left(good.size() - 4);
        QTest::newRow("trailing bytes") << good + QByteArray(4, '\0');
        QTest::newRow("rows do not reach the pole") << withInts(90, 180);
        QTest::newRow("absurd size") << withInts(0x7fffffff, 0x7fffffff);
        QTest::newRow("not global") << QByteArray(good).replace(0, 8, QByteArray("\xC0\x50\x00\x00\x00\x00\x00\x00", 8));
        QTest::newRow("height beyond the image range") << makeGtx([](double lat) { return lat > 60 ? 500.0 : 0.0; });
        QTest::newRow("not a number") << makeGtx([](double lat) { return lat > 60 ? NAN : 0.0; });
    }
    void converterRejectsBadGridsAndKeepsTheOldModel() {
        QFETCH(QByteArray, gtx);
        QTemporaryDir dir;
        const QString out = dir.filePath("egm96-15.pgm");
        QVERIFY(vxtest::writeFile(out, "previous model"));
        QVERIFY(vxtest::writeFile(dir.filePath("g.gtx"), gtx));
        QProcess p;
        p.start(QStringLiteral(VX_GTX2PGM), {dir.filePath("g.gtx"), out});
        QVERIFY(p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 1);
        QCOMPARE(vxtest::readFile(out) + ' ' + QByteArray::number(QDir(dir.path()).entryList(QDir::Files).size()),
                 "previous model 2");  // no leftovers
    }
};

QTEST_GUILESS_MAIN(TestGeoid)
#include "test_geoid.moc"
