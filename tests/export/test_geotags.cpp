// The geotag list: a tag at a playback moment takes the point the tick shows
// (the total time offset, the time bias, the clock bias, no point past the
// telemetry), deleting keeps the order and renumbers, the limit, a new load
// finds each tag's movie again by its path, and the distances.
#include "export/geotags.h"
#include "support/testsupport.h"
#include "track/repair.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace vx;

namespace {

// 10:00:00 UTC of a fixed day.
const qint64 kTen = QDateTime(QDate(2024, 5, 18), QTime(10, 0, 0), Qt::UTC).toMSecsSinceEpoch();

// Block b: the movie `path` (60 s, last modified 10:01:00), 60 points a
// second apart from 10:00:00 + firstPointSec, 10 m apart northwards.
void setBlock(int b, const QString &path, int firstPointSec = 0, bool active = true)
{
    MovieBlock &m = track().block[b];
    m.movieFile = QFileInfo(path);
    m.duration = 60;
    m.active = active;
    m.numPoints = 60;
    m.hasAltitude = true;
    for (int i = 0; i < 60; ++i) {
        m.gpsTime[i] = static_cast<uint32_t>(kTen / 1000 + firstPointSec + i);
        m.lat[i] = 46.0 + i * 0.00009;
        m.lon[i] = 7.0;
        m.speed[i] = static_cast<float>(i);
        m.altitude[i] = 100 + i;
    }
    track().numBlocks = std::max(track().numBlocks, b + 1);
}

} // namespace

class TestGeotags : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_movie[3];

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        for (int i = 0; i < 3; ++i) {
            m_movie[i] = m_dir.filePath(QStringLiteral("M%1.MOV").arg(i));
            QVERIFY(vxtest::writeFile(m_movie[i], "x"));
            QFile f(m_movie[i]);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(QDateTime::fromMSecsSinceEpoch(kTen + 60000), QFileDevice::FileModificationTime));
        }
    }
    void init()
    {
        resetTrackStore();
        clearGeotags();
    }

    void tagAtTheMoment_data()
    {
        QTest::addColumn<int>("firstPointSec");
        QTest::addColumn<int>("timeBias");
        QTest::addColumn<int>("clockBias");
        QTest::addColumn<qint64>("positionMs");
        QTest::addColumn<int>("point");
        QTest::addColumn<qint64>("dateMs");  // after 10:00:00
        QTest::newRow("12.5 s into the movie") << 0 << 0 << 0 << qint64(12500) << 12 << qint64(12500);
        // The telemetry's clock runs 5 s after the file's: playback anchors
        // the first point to the movie's start, and so does the tag.
        QTest::newRow("telemetry clock 5 s late") << 5 << 0 << 0 << qint64(12500) << 12 << qint64(12500);
        QTest::newRow("time bias 2 s") << 0 << 2 << 0 << qint64(12500) << 14 << qint64(12500);
        QTest::newRow("clock bias moves the date only") << 0 << 0 << 3 << qint64(12500) << 12 << qint64(15500);
        QTest::newRow("past the last point") << 0 << 0 << 0 << qint64(60500) << -1 << qint64(60500);
    }
    void tagAtTheMoment()
    {
        QFETCH(int, firstPointSec);
        QFETCH(int, timeBias);
        QFETCH(int, clockBias);
        QFETCH(qint64, positionMs);
        QFETCH(int, point);
        QFETCH(qint64, dateMs);
        setBlock(0, m_movie[0]);
        setBlock(1, m_movie[1], firstPointSec);
        const MovieBlock &m = track().block[1];
        PlaybackMoment moment;
        moment.block = 1;
        moment.positionMs = positionMs;
        moment.modifiedMs = kTen + 60000;
        moment.totalOffsetSec = totalTimeOffsetSec(m, *movieStartMs(moment.modifiedMs, 60, 1, 0, true), timeBias);
        const Geotag g = geotagAt(track(), moment, clockBias);
        QCOMPARE(g.dateTime.toMSecsSinceEpoch(), kTen + dateMs);
        QCOMPARE(g.moviePoint, positionMs);
        QCOMPARE(g.movieBlock, 1);
        QVERIFY(g.movieAvailable);
        QCOMPARE(g.pointBlock, point < 0 ? -1 : 1);
        QCOMPARE(g.pointIndex, std::max(point, 0));
        QCOMPARE(g.lat, point < 0 ? 0.0 : m.lat[point]);
        QCOMPARE(g.speed, point < 0 ? 0.0f : m.speed[point]);
        QCOMPARE(g.hasAltitude, point >= 0);
        // A new load finds the same point for the tag.
        Geotag again = g;
        resolveGeotag(again, track(), timeBias);
        QCOMPARE(again.pointBlock, point < 0 ? -1 : 1);
        QCOMPARE(again.pointIndex, std::max(point, 0));
    }

    void deleteKeepsTheOrderAndTheLimitHolds()
    {
        for (int i = 1; i <= 5; ++i) {
            Geotag g;
            g.title = QString::number(i);
            QVERIFY(addGeotag(g));
        }
        QVERIFY(removeGeotag(1));
        QVERIFY(!removeGeotag(4));
        QCOMPARE(geotags().count, 4);
        const QStringList order = {QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5")};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(geotags().tag[i].title, order[i]);
            QCOMPARE(geotags().tag[i].id, i + 1);
        }
        QVector<Geotag> many(MAX_GEOTAGS + 5);
        replaceGeotags(many);
        QCOMPARE(geotags().count, MAX_GEOTAGS);
        QVERIFY(!addGeotag(Geotag()));
    }

    void aNewLoadFindsTheMoviesByPath()
    {
        // Tags made while M2 was block 2; the new load has M2 as block 0.
        setBlock(0, m_movie[0]);
        setBlock(1, m_movie[1]);
        setBlock(2, m_movie[2]);
        Geotag onM2;
        onM2.movieFile = QFileInfo(m_movie[2]);
        onM2.movieBlock = 2;
        onM2.moviePoint = 30000;
        Geotag elsewhere = onM2;
        elsewhere.movieFile = QFileInfo(m_dir.filePath(QStringLiteral("other/../M9.MOV")));
        Geotag viaDotDot = onM2;
        viaDotDot.movieFile = QFileInfo(m_dir.filePath(QStringLiteral("sub/../M2.MOV")));
        replaceGeotags({onM2, elsewhere, viaDotDot});
        resetTrackStore();
        setBlock(0, m_movie[2]);
        setBlock(1, m_movie[0]);
        resolveGeotags(track(), 0);
        const GeotagList &l = geotags();
        QCOMPARE(l.tag[0].movieBlock, 0);
        QVERIFY(l.tag[0].movieAvailable);
        QCOMPARE(l.tag[0].pointBlock, 0);
        QCOMPARE(l.tag[0].pointIndex, 30);
        QCOMPARE(l.tag[1].movieBlock, -1);
        QVERIFY(!l.tag[1].movieAvailable);
        QCOMPARE(l.tag[1].pointBlock, -1);
        QCOMPARE(l.tag[2].movieBlock, 0);
        // Loaded, but its file has gone since.
        QVERIFY(QFile::rename(m_movie[2], m_movie[2] + QStringLiteral(".away")));
        resolveGeotags(track(), 0);
        QFile::rename(m_movie[2] + QStringLiteral(".away"), m_movie[2]);
        QCOMPARE(l.tag[0].movieBlock, 0);
        QVERIFY(!l.tag[0].movieAvailable);
    }

    void distances()
    {
        setBlock(0, m_movie[0]);
        setBlock(1, m_movie[1], 100, false);  // switched off: its length is not on the way
        setBlock(2, m_movie[2], 200);
        repairTrack();
        computeTrackStats();
        Geotag tag;
        tag.lat = track().block[2].lat[10];
        tag.lon = 7.0;
        tag.altitude = 1110;  // 1000 m above point 10
        tag.hasAltitude = true;
        tag.pointBlock = 2;
        tag.pointIndex = 10;
        const MovieBlock &a = track().block[0], &c = track().block[2];
        CurrentPosition here{c.lat[10], 7.0, true, 2, 10};
        GeotagDistances d = geotagDistances(tag, track(), here);
        QVERIFY(std::abs(*d.losKm - 1.0) < 1e-6);
        QCOMPARE(*d.routeKm, 0.0);
        here = CurrentPosition{a.lat[20], 7.0, false, 0, 20};
        d = geotagDistances(tag, track(), here);
        const double flat = std::acos(std::cos((tag.lat - a.lat[20]) * M_PI / 180)) * 6378.137;
        QVERIFY(std::abs(*d.losKm - flat) < 1e-9);
        QVERIFY(std::abs(*d.routeKm - (a.totalDist - a.cumDist[20] + c.cumDist[10])) < 1e-12);
        QVERIFY(c.cumDist[10] > 0.09 && a.totalDist > 0.5);
        tag.pointBlock = -1;
        d = geotagDistances(tag, track(), here);
        QVERIFY(d.losKm && !d.routeKm);
        tag.lat = tag.lon = 0;  // taken where the movie had no telemetry
        QVERIFY(!geotagDistances(tag, track(), here).losKm);
    }
};

QTEST_GUILESS_MAIN(TestGeotags)
#include "test_geotags.moc"
