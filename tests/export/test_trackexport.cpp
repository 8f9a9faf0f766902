// CSV, GPX and KML byte for byte on the fixture (every layout and unit by hash is test_exportgolden's),
// hostile store values, and write failures and stops that leave nothing.
#include "export/trackexport.h"

#include "exportfixture.h"
#include "filesizelimit.h"
#include "support/testsupport.h"

#include <QDomDocument>
#include <QtTest>

using namespace vx;
using vxtest::readFile;

namespace {

const QByteArray kGpxPoint[3] = {
    "\t\t\t<trkpt lat=\"-20.2533000\" lon=\"149.0251000\">\n\t\t\t\t<ele>1.9</ele>\n"
    "\t\t\t\t<time>2017-03-11T21:22:05Z</time>\n\t\t\t\t<speed>10.0</speed>\n\t\t\t</trkpt>\n",
    "\t\t\t<trkpt lat=\"-20.2534000\" lon=\"149.0252000\">\n\t\t\t\t<ele>2.3</ele>\n"
    "\t\t\t\t<time>2017-03-11T21:22:06Z</time>\n\t\t\t\t<speed>15.1</speed>\n\t\t\t</trkpt>\n",
    "\t\t\t<trkpt lat=\"0.5000000\" lon=\"-0.2500000\">\n\t\t\t\t<ele>0.0</ele>\n"
    "\t\t\t\t<time>2017-03-12T00:00:00Z</time>\n\t\t\t\t<speed>2.8</speed>\n\t\t\t</trkpt>\n"};

// A GPX file of the given points of the fixture (0, 1: DJI_0001.MOV; 2: a&b<c>.mov).
QByteArray gpxFile(const char *startTime, std::initializer_list<int> points) {
    QByteArray out = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                     "<gpx xmlns=\"http://www.topografix.com/GPX/1/0\" version=\"1.0\" creator=\"Volantix\">\n"
                     "\t<metadata>\n\t\t<name>Produced by Volantix version 1.1.4</name>\n\t</metadata>\n\t<trk>\n"
                     "\t\t<name>Track Start Time: " + QByteArray(startTime) + "</name>\n\t\t<trkseg>\n";
    for (int p : points)
        out += kGpxPoint[p];
    return out + "\t\t</trkseg>\n\t</trk>\n</gpx>\n";
}

const char *const kCsvHeader = "Filename,DateLocal,TimeLocal,DateUTC,TimeUTC,Latitude(Deg),Longitude(Deg),"
                               "Speed(km/h),Distance(km),LOS(km),Bearing(Deg)";

} // namespace

class TestTrackExport : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    QString out(const char *name) { return dir.filePath(QString::fromLatin1(name)); }
    // What an export wrote to out(name), or "<failed>".
    QByteArray written(const ExportResult &r, const char *name) { return r.ok ? readFile(out(name)) : "<failed>"; }

private slots:
    void init() { vxtest::loadExportFixture(); }

    void csvFile() {
        // The disabled movie writes nothing; the one without altitude and satellites writes 0 there.
        QCOMPARE(written(exportCsv(out("a.csv")), "a.csv"), QByteArray(kCsvHeader) + ",Altitude(m),SatCount\n"
            "DJI_0001.MOV, 2017-03-11, 13:52:05, 2017-03-11, 21:22:05, -20.253300, 149.025100, 36.0,       0.000,       0.000,    0.0,    1.9,16\n"
            "DJI_0001.MOV, 2017-03-11, 13:52:06, 2017-03-11, 21:22:06, -20.253400, 149.025200, 54.5,       0.015,       0.015,  135.3,    2.3,17\n"
            "a&b<c>.mov, 2017-03-11, 16:30:00, 2017-03-12, 00:00:00, 0.500000, -0.250000, 10.0,       1.515,       2.250,  -90.0,    0.0,0\n");
        // Only the disabled movie has altitude and satellites: the columns stay, filled with 0.
        TrackStore &t = track();
        t.block[0].hasAltitude = t.block[0].hasSats = false;
        t.block[1].hasSats = true;
        QCOMPARE(written(exportCsv(out("d.csv")), "d.csv").split('\n').mid(0, 2).join('|'),
                 QByteArray(kCsvHeader) + ",Altitude(m),SatCount|DJI_0001.MOV, 2017-03-11, 13:52:05, 2017-03-11, 21:22:05,"
                                         " -20.253300, 149.025100, 36.0,       0.000,       0.000,    0.0,    0.0,0");
    }

    void gpxFiles() {
        // Metres and metres per second whatever the settings say.
        settings().outUnits = settings().altUnits = 0;
        recomputeFactors();
        QCOMPARE(written(exportGpx(out("all.gpx")), "all.gpx"), gpxFile("2017-03-11T21:22:05Z", {0, 1, 2}));
        // Ranges: across the disabled block, within one block, held to the store, backwards (empty).
        QCOMPARE(written(exportGpxRange(out("r1.gpx"), 0, 1, 2, 1), "r1.gpx"), gpxFile("2017-03-11T21:22:06Z", {1, 2}));
        QCOMPARE(written(exportGpxRange(out("r2.gpx"), 0, 0, 0, 1), "r2.gpx"), gpxFile("2017-03-11T21:22:05Z", {0}));
        QCOMPARE(written(exportGpxRange(out("r3.gpx"), -5, 99, 50, 99), "r3.gpx"), gpxFile("2017-03-12T00:00:00Z", {2}));
        QCOMPARE(written(exportGpxRange(out("r4.gpx"), 2, 0, 0, 5), "r4.gpx"), gpxFile("1970-01-01T00:00:00Z", {}));
        // The track time is block 0's even when disabled; without points there, the first point written.
        track().block[0].active = false;
        QCOMPARE(written(exportGpx(out("t.gpx")), "t.gpx"), gpxFile("2017-03-11T21:22:05Z", {2}));
        track().block[0].numPoints = 0;
        QCOMPARE(written(exportGpx(out("u.gpx")), "u.gpx"), gpxFile("2017-03-12T00:00:00Z", {2}));
    }

    void gpxPerMovieFiles() {
        QTemporaryDir d;
        QVERIFY(exportGpxPerMovie(d.filePath("export.gpx")).ok);
        QCOMPARE(QDir(d.path()).entryList(QDir::Files, QDir::Name), (QStringList{"DJI_0001.gpx", "a&b<c>.gpx"}));
        QCOMPARE(readFile(d.filePath("DJI_0001.gpx")), gpxFile("2017-03-11T21:22:05Z", {0, 1}));
        QCOMPARE(readFile(d.filePath("a&b<c>.gpx")), gpxFile("2017-03-12T00:00:00Z", {2}));

        // A combined file named like a movie's GPX is not overwritten by it.
        QTemporaryDir e;
        QVERIFY(exportGpx(e.filePath("DJI_0001.gpx")).ok);
        QVERIFY(exportGpxPerMovie(e.filePath("DJI_0001.gpx")).ok);
        QCOMPARE(readFile(e.filePath("DJI_0001.gpx")), gpxFile("2017-03-11T21:22:05Z", {0, 1, 2}));
        QVERIFY(QFileInfo::exists(e.filePath("a&b<c>.gpx")));

        // A failure (a folder in the way) is reported and the rest written.
        QTemporaryDir f;
        QVERIFY(QDir(f.path()).mkdir("DJI_0001.gpx"));
        const ExportResult r = exportGpxPerMovie(f.filePath("export.gpx"));
        QCOMPARE(r.ok ? "ok" : r.errorText, "File error. Could not write to: " + f.filePath("DJI_0001.gpx"));
        QCOMPARE(readFile(f.filePath("a&b<c>.gpx")), gpxFile("2017-03-12T00:00:00Z", {2}));

        // A movie name without a dot ends the pass.
        QTemporaryDir g;
        track().block[0].movieFile = QFileInfo("/movies/NODOT");
        QVERIFY(exportGpxPerMovie(g.filePath("export.gpx")).ok);
        QVERIFY(QDir(g.path()).entryList(QDir::Files).isEmpty());
    }

    void kmlWithGeotags() {
        settings().outUnits = 0;  // speed values in mph; coordinates stay degrees and metres
        recomputeFactors();
        track().relativeAltitude = true;
        Geotag a, b;
        std::tie(a.title, a.lat, a.lon, a.movieAvailable) = std::make_tuple("Tom's \"big\" jump & <landing>", 46.5, 7.25, true);
        std::tie(b.title, b.lat, b.lon) = std::make_tuple("Second", -33.9, 151.2);
        // One taken without telemetry between them: no place, its number skipped.
        QVERIFY(addGeotag(a) && addGeotag(Geotag()) && addGeotag(b));
        // With a movie the yellow push pin, without the white one.
        QCOMPARE(written(exportKml(out("a.kml")), "a.kml"), readFile(vxtest::dataPath("export/geotags.kml")));
    }

    void kmlViewStartsAtTheFirstPlayedMovieWithPoints() {
        track().block[0].numPoints = 0;
        const QByteArray c = written(exportKml(out("c.kml")), "c.kml");
        QVERIFY(c.contains("\t\t\t\t<begin>2017-03-12T00:00:00Z</begin>\n\t\t\t\t<end>2017-03-12T00:00:00Z</end>\n"
                           "\t\t\t</gx:TimeSpan>\n\t\t\t<longitude>-0.250000</longitude>\n\t\t\t<latitude>0.500000</latitude>\n"));
        QCOMPARE(c.count("<Placemark>"), 1);
    }

    void emptyStoreWritesTheFrames() {
        resetTrackStore();
        QCOMPARE(written(exportCsv(out("e.csv")), "e.csv"), QByteArray(kCsvHeader) + "\n");
        QCOMPARE(written(exportGpx(out("e.gpx")), "e.gpx"), gpxFile("1970-01-01T00:00:00Z", {}));
        QCOMPARE(written(exportKml(out("e.kml")), "e.kml"), readFile(vxtest::dataPath("export/empty.kml")));
    }

    void hostileStoreValues() {
        // Whatever a broken telemetry file left in the store: well-formed files, bounded counts.
        MovieBlock &a = track().block[0], &c = track().block[2];
        std::tie(a.lat[0], a.lon[0], a.speed[0], a.altitude[0], a.gpsTime[0]) = std::make_tuple(1e300, NAN, INFINITY, -1e308, NO_TIME);
        c.numPoints = MAX_POINTS + 7;  // never read past the arrays
        c.movieFile = QFileInfo(QString::fromUtf8("/m/\x01weird\"'&<>.mov"));
        settings().datumFormat = 1;
        QVERIFY(exportCsv(out("h.csv")).ok);
        QCOMPARE(readFile(out("h.csv")).count('\n'), 1 + 2 + MAX_POINTS);
        QVERIFY(exportGpx(out("h.gpx")).ok && exportKml(out("h.kml")).ok);
        QDomDocument gpx, kml;  // stays empty when not well-formed
        QVERIFY(gpx.setContent(readFile(out("h.gpx"))) && kml.setContent(readFile(out("h.kml"))));
        QCOMPARE(gpx.elementsByTagName("trkpt").size() + kml.elementsByTagName("when").size(), 2 * (2 + MAX_POINTS));
    }

    void writeFailuresAreReported() {
        // A missing folder: reported, nothing created (a full device is test_exportfile's).
        const QString path = dir.filePath("gone/x.out");
        for (const ExportResult &r : {exportCsv(path), exportGpx(path), exportKml(path), exportGpxRange(path, 0, 0, 2, 1)})
            QCOMPARE(r.ok ? "ok" : r.errorText, "File error. Could not write to: " + path);
        QVERIFY(!QFileInfo::exists(dir.filePath("gone")));
    }

    void longExportFailingOrStoppedLeavesNothing_data() {
        QTest::addColumn<int>("which");
        int which = 0;
        for (const char *name : {"csv", "gpx", "kml", "gpx per movie"})
            QTest::newRow(name) << which++;
    }
    void longExportFailingOrStoppedLeavesNothing() {
        // A full store on a disk filling up early, or a stop: the old file kept, no temporary left, an early end.
        QFETCH(int, which);
        vxtest::fillFullStore();
        QTemporaryDir d;
        const QString path = d.filePath(which == 3 ? "DJI_0000.gpx" : "track.out");
        QVERIFY(vxtest::writeFile(path, "previous\n"));
        const ExportSource src = exportSource();
        auto write = [&](ExportProgress *progress) {
            return which == 0   ? writeCsv(src, path, progress)
                   : which == 1 ? writeGpx(src, path, progress)
                   : which == 2 ? writeKml(src, path, progress)
                                : writeGpxPerMovie(src, d.filePath("all.gpx"), progress);
        };
        ExportProgress progress, stop;
        ExportResult r;
        {
            vxtest::FileSizeLimit limit(which == 3 ? 256 << 10 : 4 << 20);
            QVERIFY(limit.ok);
            r = write(&progress);
        }
        QVERIFY(!r.ok && !r.cancelled);
        QCOMPARE(r.errorText, "File error. Could not write to: " + path);
        QVERIFY(which == 3 || progress.pointsDone < src.activePoints() / 4);
        const QStringList kept{QFileInfo(path).fileName()};
        QCOMPARE(QDir(d.path()).entryList(QDir::Files | QDir::Hidden), kept);
        stop.cancelRequested = true;
        r = write(&stop);
        QVERIFY(r.cancelled && !r.ok);
        QCOMPARE(readFile(path), "previous\n");
        QCOMPARE(QDir(d.path()).entryList(QDir::Files | QDir::Hidden), kept);
    }
};

QTEST_GUILESS_MAIN(TestTrackExport)
#include "test_trackexport.moc"
