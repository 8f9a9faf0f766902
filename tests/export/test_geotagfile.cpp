// The geotag text file and store: round trips in every layout and unit, the
// import's line rules and hostile lines, a damaged store.
#include "export/geotagfile.h"
#include "settings/settings.h"
#include "support/testsupport.h"

#include "geotagfixture.h"

#include <QtTest>
#include <ctime>

using namespace vx;
using vxtest::makeTag;

namespace {

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

class TestGeotagFile : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void init()
    {
        setDefaultSettings();
        clearGeotags();
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

QTEST_GUILESS_MAIN(TestGeotagFile)
#include "test_geotagfile.moc"
