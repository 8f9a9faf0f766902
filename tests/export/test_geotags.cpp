// The geotag list: a tag at a playback moment, deleting and the limit, a new
// load finding each tag's movie by path, the distances.
#include "export/geotags.h"
#include "settings/settings.h"
#include "support/testsupport.h"
#include "track/repair.h"

#include "geotagfixture.h"

#include <QtTest>

using namespace vx;
using vxtest::makeTag;

namespace {

// 10:00:00 UTC of a fixed day.
const qint64 kTen = QDateTime(QDate(2024, 5, 18), QTime(10, 0, 0), Qt::UTC).toMSecsSinceEpoch();

// Block b: `path` (60 s, modified 10:01), 60 points 1 s and 10 m apart from 10:00 + firstPointSec.
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
            QVERIFY(f.open(QIODevice::ReadWrite)
                    && f.setFileTime(QDateTime::fromMSecsSinceEpoch(kTen + 60000), QFileDevice::FileModificationTime));
        }
    }
    void init()
    {
        setDefaultSettings();
        resetTrackStore();
        clearGeotags();
    }

    // firstPointSec, timeBias, clockBias, positionMs -> point (-1: none), date after 10:00.
    void tagAtTheMoment()
    {
        const struct { int firstPointSec, timeBias, clockBias, positionMs, point, dateMs; } cases[] = {
            {0, 0, 0, 12500, 12, 12500}, {5, 0, 0, 12500, 12, 12500},  // telemetry 5 s late: anchored to the start
            {0, 2, 0, 12500, 14, 12500}, {0, 0, 3, 12500, 12, 15500},  // time bias 2 s; clock bias: the date only
            {0, 0, 0, 60500, -1, 60500},                                // past the last point
        };
        for (const auto &c : cases) {
            setBlock(0, m_movie[0]);
            setBlock(1, m_movie[1], c.firstPointSec);
            const MovieBlock &m = track().block[1];
            PlaybackMoment moment;
            moment.block = 1;
            moment.positionMs = c.positionMs;
            moment.modifiedMs = kTen + 60000;
            moment.totalOffsetSec =
                totalTimeOffsetSec(m, *movieStartMs(moment.modifiedMs, 60, 1, 0, true), c.timeBias);
            const Geotag g = geotagAt(track(), moment, c.clockBias);
            const int p = std::max(c.point, 0);
            QCOMPARE(QList<qint64>({g.dateTime.toMSecsSinceEpoch() - kTen, g.moviePoint, g.movieBlock,
                                    g.movieAvailable, g.pointBlock, g.pointIndex, g.hasAltitude}),
                     QList<qint64>({c.dateMs, c.positionMs, 1, 1, c.point < 0 ? -1 : 1, p, c.point >= 0}));
            QCOMPARE(g.lat, c.point < 0 ? 0.0 : m.lat[p]);
            QCOMPARE(g.speed, c.point < 0 ? 0.0f : m.speed[p]);
            // A new load finds the same point for the tag.
            Geotag again = g;
            resolveGeotag(again, track(), c.timeBias);
            QCOMPARE(QList<int>({again.pointBlock, again.pointIndex}), QList<int>({c.point < 0 ? -1 : 1, p}));
        }
    }
    void deleteKeepsTheOrderAndTheLimitHolds()
    {
        for (const char *title : {"1", "2", "3", "4", "5"})
            QVERIFY(addGeotag(makeTag(title, 0, 0, 0, 0, QString())));
        QVERIFY(removeGeotag(1) && !removeGeotag(4));
        QStringList order;
        for (int i = 0; i < geotags().count; ++i)
            order << QStringLiteral("%1:%2").arg(geotags().tag[i].id).arg(geotags().tag[i].title);
        QCOMPARE(order, (QStringList{"1:1", "2:3", "3:4", "4:5"}));
        replaceGeotags(QVector<Geotag>(MAX_GEOTAGS + 5));
        QVERIFY(geotags().count == MAX_GEOTAGS && !addGeotag(Geotag()));
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
        // movie block, available, point block, point index of each tag.
        const auto found = [] {
            QList<int> v;
            for (int i = 0; i < geotags().count; ++i)
                v << geotags().tag[i].movieBlock << geotags().tag[i].movieAvailable << geotags().tag[i].pointBlock
                  << geotags().tag[i].pointIndex;
            return v;
        };
        QCOMPARE(found().mid(0, 9), (QList<int>{0, 1, 0, 30, -1, 0, -1, 0, 0}));  // the third: its movie block
        // Loaded, but its file has gone since.
        QVERIFY(QFile::rename(m_movie[2], m_movie[2] + QStringLiteral(".away")));
        resolveGeotags(track(), 0);
        QFile::rename(m_movie[2] + QStringLiteral(".away"), m_movie[2]);
        QCOMPARE(found().mid(0, 2), (QList<int>{0, 0}));
    }
    void distances()
    {
        setBlock(0, m_movie[0]);
        setBlock(1, m_movie[1], 100, false);  // switched off: its length is not on the way
        setBlock(2, m_movie[2], 200);
        repairTrack();
        computeTrackStats();
        Geotag tag = makeTag("t", track().block[2].lat[10], 7.0, 0, 0, QString());
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
