// The geotag list: a tag at a playback moment, deleting and the limit, a new
// load finding each tag's movie by path, the distances; the geotag text file
// and store: round trips in every layout and unit, the import's line rules
// and hostile lines, a damaged store.
#include "export/geotagfile.h"
#include "export/geotags.h"
#include "settings/settings.h"
#include "support/testsupport.h"
#include "track/repair.h"

#include <QtTest>
#include <ctime>

using namespace vx;

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

const qint64 kWhenMs = 1716027130164;  // 2024-05-18 10:12:10.164 UTC

Geotag makeTag(const QString &title, double lat, double lon, float speedKmh, qint64 pointMs, const QString &movie)
{
    Geotag g;
    g.title = title;
    g.lat = lat;
    g.lon = lon;
    g.speed = speedKmh;
    g.moviePoint = pointMs;
    g.movieDuration = 32.5f;
    g.dateTime = QDateTime::fromMSecsSinceEpoch(kWhenMs + pointMs, Qt::UTC);
    g.movieFile = QFileInfo(movie);
    return g;
}

// Every field a tag keeps, full precision.
QString record(const Geotag &g)
{
    return QStringList{QString::number(g.id), g.title, g.movieFile.absoluteFilePath(),
                       QString::number(g.movieDuration), QString::number(g.moviePoint),
                       QString::number(g.dateTime.toMSecsSinceEpoch()), QString::number(g.speed),
                       QString::number(g.lat, 'g', 17), QString::number(g.lon, 'g', 17),
                       QString::number(g.altitude), QString::number(g.hasAltitude)}
        .join(QLatin1Char('|'));
}

// An 11-column record line with the given speed, position and point.
QByteArray line11(const QByteArray &title, const QByteArray &point, const QByteArray &speed, const QByteArray &lat,
                  const QByteArray &lon, const QByteArray &ms = "1716027130164")
{
    return "1\t" + title + "\t2024-05-18\t10:12:10\tA.MOV\t" + point + "\t" + speed + "\t" + lat + "\t" + lon
         + "\t32.0\t" + ms + "\n";
}

const QByteArray kHeaderKmh = "ID\tGeoTag Name\tGeoTag Date\tGeoTag Time\tMovie Name\tMovie Point (sec)\t"
                              "Speed (km/h)\tLatitude (deg)\tLongitude (deg)\tMovie Duration (secs)\tmSeconds1970\n";

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

    // Each layout and unit, both ways round; dates follow the time zone, instants do not.
    void roundTrips()
    {
        const struct { int datumFormat, outUnits; double lat, lon; QByteArray zone; } cases[] = {
            {0, 1, -33.8688197, -151.2092955, {}}, {1, 0, -33.8688197, -151.2092955, {}},
            {2, 2, -33.8688197, -151.2092955, {}}, {2, 0, -0.5123456, -0.0004321, {}},  // within a degree: -00
            {1, 1, 89.9999999, 179.9999999, {}},   {0, 1, 10.0, 20.0, "America/St_Johns"},  // UTC -2:30 in May
        };
        const QString movie = m_dir.filePath(QStringLiteral("DJI_0001.MOV"));
        const QByteArray before = qgetenv("TZ");
        for (const auto &c : cases) {
            clearGeotags();
            QVERIFY(addGeotag(makeTag(QStringLiteral("Bridge \u00e9t\u00e9"), c.lat, c.lon, 47.25f, 12345, movie)));
            QVERIFY(addGeotag(makeTag(QStringLiteral("Second"), -c.lat, -c.lon, 0.0f, 0, movie)));
            settings().datumFormat = c.datumFormat;
            settings().outUnits = c.outUnits;
            recomputeFactors();
            qputenv("TZ", c.zone.isEmpty() ? before : c.zone);
            tzset();
            const QByteArray text = geotagFileText(geotags(), settings());
            const GeotagImport in = parseGeotagText(text, m_dir.path());
            qputenv("TZ", before);
            tzset();
            QVERIFY2(c.zone.isEmpty() || text.contains("\t2024-05-18\t07:42:10\t"), text.constData());
            QCOMPARE(in.tags.size(), 2);
            QCOMPARE(in.skippedLines, 0);
            const double tolerance = (c.datumFormat + 1) * 1e-6, factor = settings().speedFactor;  // printed precision
            for (int i = 0; i < 2; ++i) {
                const Geotag &a = geotags().tag[i], &b = in.tags[i];
                QVERIFY2(std::abs(b.lat - a.lat) <= tolerance, qPrintable(QString::number(b.lat, 'f', 9)));
                QVERIFY2(std::abs(b.lon - a.lon) <= tolerance, qPrintable(QString::number(b.lon, 'f', 9)));
                QCOMPARE(std::signbit(b.lat), std::signbit(a.lat));
                QVERIFY(std::abs(b.moviePoint - a.moviePoint) <= 50);
                QVERIFY(std::abs(b.speed * factor - a.speed * factor) <= 0.05 + 1e-6);
                Geotag same = b;  // the rest exactly
                same.id = a.id;
                same.lat = a.lat;
                same.lon = a.lon;
                same.moviePoint = a.moviePoint;
                same.speed = a.speed;
                QCOMPARE(record(same), record(a));
            }
        }
    }

    // Each text's first tag: count|lat|speed km/h|point ms|movie.
    void importLines()
    {
        const QByteArray one = line11("A", "1.0", "10.0", "1.5", "2"), crlf = "\r\n";
        const QList<QPair<QByteArray, QString>> cases = {
            {QByteArray(kHeaderKmh).replace("(km/h)", "(mph)") + one, "1|1.5|16.0934|1000|A.MOV"},
            {QByteArray(kHeaderKmh).replace("(km/h)", "(m/s)") + one, "1|1.5|36|1000|A.MOV"},
            {kHeaderKmh + line11("Triumph (mph) (m/s)", "1", "10", "1.5", "2"), "1|1.5|10|1000|A.MOV"},  // no unit
            {kHeaderKmh + line11("A", "12.3", "1", "1", "2") + line11("B", "4.0999", "1", "1", "2"), "2|1|1|12300|A.MOV"},
            // 15 and 13 columns: one tag each, "-00" keeps its sign
            {"1\tA\td\tt\tA.MOV\t1.0\t3.0\t-00\t30\t36.00\t-000\t00\t01.00\t32.0\t5\n", "1|-0.51|3|1000|A.MOV"},
            {"1\tA\td\tt\tA.MOV\t2\t3\t-00\t30.0000\t010\t15.0000\t32\t5\n", "1|-0.5|3|2000|A.MOV"},
            {"\xEF\xBB\xBF" + QByteArray(kHeaderKmh).replace("\n", crlf)
                 + line11("A", ".5", "+2", "-.25", "2").replace("\n", crlf),
             "1|-0.25|2|500|A.MOV"},  // BOM and CRLF
            {kHeaderKmh + line11("A", "1", "1", "1", "1").repeated(101), "100|1|1|1000|A.MOV"},
        };
        for (const auto &c : cases) {
            const GeotagImport in = parseGeotagText(c.first, m_dir.path());
            QVERIFY(!in.tags.isEmpty());
            const Geotag &g = in.tags[0];
            QCOMPARE(QStringList({QString::number(in.tags.size()), QString::number(g.lat), QString::number(g.speed),
                                  QString::number(g.moviePoint), g.movieFile.fileName()})
                         .join('|'),
                     c.second);
        }
    }

    // Lines that are no tag: nothing of them is taken.
    void linesThatAreNoTag()
    {
        const QByteArray dms = "1\tA\td\tt\tA.MOV\t2\t3\t10\tMIN\t010\t15\t32\t5\n";
        const QList<QByteArray> lines = {
            line11("A", "1", "1", "1", "2", "5x"), line11("A", "1", "1", "1", "2", "5\t6"),  // text after, 16 columns
            line11("A", "1", "1", "1", "2\t3"), line11("A", "1", "1", "1,5", "2"),           // 12 columns, comma
            line11("A", "1", "1", "1e1", "2"), line11("A", "1", "1", "1.", "2"),              // exponent, trailing dot
            line11("A", "1", "1", "91", "2"), line11("A", "1", "1", "1", "-180.5"),           // out of range
            QByteArray(dms).replace("MIN", "61"), QByteArray(dms).replace("MIN", "-1"),       // minutes
            line11("A", "1", "1" + QByteArray(400, '0'), "1", "2"),                         // 400 digits
            line11("A", "1", "1", "1", "2", QByteArray(19, '9')), line11("", "1", "1", "1", "2"),
            line11("A", "1", "1", "1", "2").replace("A.MOV", "dir/"), line11("A", "1", "1", "1", "2").replace("A.MOV", "."),
        };
        for (const QByteArray &line : lines)
            QVERIFY2(parseGeotagText(kHeaderKmh + line, m_dir.path()).tags.isEmpty(), line.constData());
        QVERIFY(!parseGeotagText(kHeaderKmh + QByteArray(dms).replace("MIN", "59.9"), m_dir.path()).tags.isEmpty());
    }
    void fileReadsReportWhatIsMissing()
    {
        const QString movie = m_dir.filePath("HERE.MOV"), path = m_dir.filePath("tags.text");
        QVERIFY(vxtest::writeFile(movie, "x"));
        addGeotag(makeTag("here", 1, 2, 3, 0, movie));
        addGeotag(makeTag("gone", 1, 2, 3, 0, m_dir.filePath("GONE.MOV")));
        QVERIFY(exportGeotags(path).ok);
        const GeotagFileRead r = readGeotagFile(path, m_dir.path());
        QVERIFY(r.ok && r.import.tags.size() == 2);
        QCOMPARE(r.missingMovie, m_dir.filePath("GONE.MOV"));
        QVERIFY(vxtest::writeFile(path, kHeaderKmh + "no tags here\n"));
        const GeotagFileRead none = readGeotagFile(path, m_dir.path());
        QVERIFY(!none.ok);
        QCOMPARE(none.errorText, geotagNothingImportedText(path));
        QVERIFY(!readGeotagFile(m_dir.filePath(QStringLiteral("absent.text")), m_dir.path()).ok);
        QVERIFY(!exportGeotags(m_dir.filePath(QStringLiteral("no/such/folder/t.text"))).ok);
    }
    void storeKeepsEverything()
    {
        Geotag g = makeTag(QStringLiteral("kept\ttab"), -12.3456789, -45.6789012, 33.5f, 98765,
                           m_dir.filePath(QStringLiteral("sub/M.MP4")));
        g.altitude = -27.5;
        g.hasAltitude = true;
        for (int i = 0; i < MAX_GEOTAGS; ++i)
            addGeotag(g);
        const QString path = m_dir.filePath(QStringLiteral("store/geotags.json"));
        QVERIFY(saveGeotagStore(path).ok);
        clearGeotags();
        QVERIFY(restoreGeotagStore(path));
        QCOMPARE(geotags().count, MAX_GEOTAGS);
        g.id = MAX_GEOTAGS;
        QCOMPARE(record(geotags().tag[MAX_GEOTAGS - 1]), record(g));
    }
    // Damaged stores: only good records taken, the file put aside, not overwritten.
    void hostileStores()
    {
        const QByteArray good = R"({"title":"t","movieFile":"/m.MOV","movieDuration":1,"moviePoint":2,)"
                                R"("dateTime":3,"speed":4,"lat":5,"lon":6,"altitude":7})";
        const auto bad = [&](const char *from, const char *to) { return QByteArray(good).replace(from, to); };
        const QList<QPair<QByteArray, int>> cases = {  // the text, the records taken (-1: not a store)
            {"{\"geotags\":[", -1}, {"{\"geotags\":5}", -1}, {"[]", -1},
            {"{\"geotags\":[" + good + ",1,{}," + bad("\"lat\":5", "\"lat\":95") + ","
                 + bad("\"title\":\"t\"", "\"title\":7") + "," + bad("\"speed\":4", "\"speed\":\"4\"") + "," + good + "]}",
             2},
        };
        for (const auto &c : cases) {
            bool ok = c.second < 0;
            QCOMPARE(parseGeotagStore(c.first, &ok).size(), std::max(c.second, 0));
            QCOMPARE(ok, c.second >= 0);
            const QString path = m_dir.filePath(QStringLiteral("hostile.json"));
            QVERIFY(vxtest::writeFile(path, c.first));
            QFile::remove(path + QStringLiteral(".damaged"));
            QCOMPARE(restoreGeotagStore(path), c.second >= 0);
            QCOMPARE(geotags().count, std::max(c.second, 0));
            QCOMPARE(QFile::exists(path + QStringLiteral(".damaged")), c.second < 0);
        }
    }
};

QTEST_GUILESS_MAIN(TestGeotags)
#include "test_geotags.moc"
