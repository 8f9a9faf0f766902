// The CSV, GPX and KML exports: the files byte for byte, read back with an
// XML parser; disabled movies, movies without altitude or satellites, the
// running distance across movies, local time offsets, unit settings, names
// that need escaping, an empty store, the per-movie GPX files, the range
// writer, and write failures.
#include "export/trackexport.h"

#include "exportfixture.h"
#include "filesizelimit.h"
#include "support/testsupport.h"

#include <QDir>
#include <QDomDocument>
#include <QTemporaryDir>
#include <QtTest>

using namespace vx;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// A null document when the text is not well-formed XML.
QDomDocument parse(const QByteArray &xml)
{
    QDomDocument doc;
    QString error;
    int line = 0;
    if (!doc.setContent(xml, true, &error, &line)) {
        qWarning("not well-formed at line %d: %s", line, qPrintable(error));
        return QDomDocument();
    }
    return doc;
}

const char *const kGpxHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<gpx xmlns=\"http://www.topografix.com/GPX/1/0\" version=\"1.0\" creator=\"Volantix\">\n"
    "\t<metadata>\n"
    "\t\t<name>Produced by Volantix version 1.1.4</name>\n"
    "\t</metadata>\n"
    "\t<trk>\n";

const char *const kGpxPoint0 =
    "\t\t\t<trkpt lat=\"-20.2533000\" lon=\"149.0251000\">\n"
    "\t\t\t\t<ele>1.9</ele>\n"
    "\t\t\t\t<time>2017-03-11T21:22:05Z</time>\n"
    "\t\t\t\t<speed>10.0</speed>\n"
    "\t\t\t</trkpt>\n";
const char *const kGpxPoint1 =
    "\t\t\t<trkpt lat=\"-20.2534000\" lon=\"149.0252000\">\n"
    "\t\t\t\t<ele>2.3</ele>\n"
    "\t\t\t\t<time>2017-03-11T21:22:06Z</time>\n"
    "\t\t\t\t<speed>15.1</speed>\n"
    "\t\t\t</trkpt>\n";
const char *const kGpxPoint2 =
    "\t\t\t<trkpt lat=\"0.5000000\" lon=\"-0.2500000\">\n"
    "\t\t\t\t<ele>0.0</ele>\n"
    "\t\t\t\t<time>2017-03-12T00:00:00Z</time>\n"
    "\t\t\t\t<speed>2.8</speed>\n"
    "\t\t\t</trkpt>\n";
const char *const kGpxTail = "\t\t</trkseg>\n\t</trk>\n</gpx>\n";

QByteArray gpxFile(const char *startTime, const QByteArray &points)
{
    return QByteArray(kGpxHead) + "\t\t<name>Track Start Time: " + startTime + "</name>\n\t\t<trkseg>\n"
         + points + kGpxTail;
}

QByteArray iconStyle(const char *scale, const char *href)
{
    QByteArray s = "\t\t\t<IconStyle>\n";
    if (scale)
        s += QByteArray("\t\t\t\t<scale>") + scale + "</scale>\n";
    return s + "\t\t\t\t<Icon>\n\t\t\t\t\t<href>" + href + "</href>\n\t\t\t\t</Icon>\n\t\t\t</IconStyle>\n";
}

QByteArray styleMap(const char *id)
{
    return QByteArray("\t\t<StyleMap id=\"") + id
         + "\">\n\t\t\t<Pair>\n\t\t\t\t<key>normal</key>\n\t\t\t\t<styleUrl>#" + id
         + "_n</styleUrl>\n\t\t\t</Pair>\n\t\t\t<Pair>\n\t\t\t\t<key>highlight</key>\n\t\t\t\t<styleUrl>#" + id
         + "_h</styleUrl>\n\t\t\t</Pair>\n\t\t</StyleMap>\n";
}

// The styles every KML file holds, before the geotag styles.
QByteArray kmlFixedStyles()
{
    const char *none = "https://earth.google.com/images/kml-icons/track-directional/track-none.png";
    const char *zero = "https://earth.google.com/images/kml-icons/track-directional/track-0.png";
    const char *pal = "https://maps.google.com/mapfiles/kml/pal4/icon61.png";
    return "\t\t<Style id=\"track_n\">\n" + iconStyle(".5", none)
         + "\t\t\t<LabelStyle>\n\t\t\t\t<scale>0</scale>\n\t\t\t</LabelStyle>\n\t\t</Style>\n"
         + "\t\t<!-- Highlighted track style -->\n\t\t<Style id=\"track_h\">\n" + iconStyle("1.2", none)
         + "\t\t</Style>\n" + styleMap("track")
         + "\t\t<!-- Normal multiTrack style -->\n\t\t<Style id=\"multiTrack_n\">\n" + iconStyle(nullptr, zero)
         + "\t\t\t<LineStyle>\n\t\t\t\t<color>bb3333ff</color>\n\t\t\t\t<width>6</width>\n\t\t\t</LineStyle>\n"
         + "\t\t</Style>\n"
         + "\t\t<!-- Highlighted multiTrack style -->\n\t\t<Style id=\"multiTrack_h\">\n" + iconStyle("1.2", zero)
         + "\t\t\t<LineStyle>\n\t\t\t\t<color>bb3333ff</color>\n\t\t\t\t<width>8</width>\n\t\t\t</LineStyle>\n"
         + "\t\t</Style>\n" + styleMap("multiTrack")
         + "\t\t<!-- Normal waypoint style -->\n\t\t<Style id=\"waypoint_n\">\n" + iconStyle(nullptr, pal)
         + "\t\t</Style>\n"
         + "\t\t<!-- Highlighted waypoint style -->\n\t\t<Style id=\"waypoint_h\">\n" + iconStyle("1.2", pal)
         + "\t\t</Style>\n" + styleMap("waypoint")
         + "\t\t<Style id=\"lineStyle\">\n"
         + "\t\t\t<LineStyle>\n\t\t\t\t<color>99ffac59</color>\n\t\t\t\t<width>6</width>\n\t\t\t</LineStyle>\n"
         + "\t\t</Style>\n";
}

const char *const kKmlSchema =
    "\t\t<Schema id=\"schema\">\n"
    "\t\t\t<gx:SimpleArrayField name=\"speed\" type=\"float\">\n"
    "\t\t\t\t<displayName>Speed</displayName>\n"
    "\t\t\t</gx:SimpleArrayField>\n"
    "\t\t</Schema>\n";

const char *const kKmlHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<kml xmlns=\"http://www.opengis.net/kml/2.2\" xmlns:gx=\"http://www.google.com/kml/ext/2.2\">\n"
    "\t<Document>\n"
    "\t\t<name>Volantix Route</name>\n"
    "\t\t<!-- Normal track style -->\n";

QByteArray trackPlacemark(const QByteArray &name, bool relative, const QByteArray &whens,
                          const QByteArray &coords, const QByteArray &values)
{
    return "\t\t\t<Placemark>\n\t\t\t\t<name>Vehicle (" + name
         + ")</name>\n\t\t\t\t<styleUrl>#multiTrack</styleUrl>\n\t\t\t\t<gx:Track>\n"
         + (relative ? "\t\t\t\t\t<altitudeMode>relativeToGround</altitudeMode>\n" : "") + whens + coords
         + "\t\t\t\t\t<ExtendedData>\n\t\t\t\t\t\t<SchemaData schemaUrl=\"#schema\">\n"
           "\t\t\t\t\t\t\t<gx:SimpleArrayData name=\"speed\">\n"
         + values
         + "\t\t\t\t\t\t\t</gx:SimpleArrayData>\n\t\t\t\t\t\t</SchemaData>\n\t\t\t\t\t</ExtendedData>\n"
           "\t\t\t\t</gx:Track>\n\t\t\t</Placemark>\n";
}

} // namespace

class TestTrackExport : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    QString out(const char *name) { return dir.filePath(QString::fromLatin1(name)); }

private slots:
    void init() { vxtest::loadExportFixture(); }

    void csvDecimalDegrees()
    {
        // Local time 7.5 h behind UTC; the distance runs on across movies;
        // the disabled movie writes nothing; the movie without altitude and
        // satellites writes 0 in those columns.
        QVERIFY(exportCsv(out("a.csv")).ok);
        QCOMPARE(readAll(out("a.csv")),
                 QByteArray("Filename,DateLocal,TimeLocal,DateUTC,TimeUTC,Latitude(Deg),Longitude(Deg),"
                            "Speed(km/h),Distance(km),LOS(km),Bearing(Deg),Altitude(m),SatCount\n"
                            "DJI_0001.MOV, 2017-03-11, 13:52:05, 2017-03-11, 21:22:05, -20.253300, 149.025100,"
                            " 36.0,       0.000,       0.000,    0.0,    1.9,16\n"
                            "DJI_0001.MOV, 2017-03-11, 13:52:06, 2017-03-11, 21:22:06, -20.253400, 149.025200,"
                            " 54.5,       0.015,       0.015,  135.3,    2.3,17\n"
                            "a&b<c>.mov, 2017-03-11, 16:30:00, 2017-03-12, 00:00:00, 0.500000, -0.250000,"
                            " 10.0,       1.515,       2.250,  -90.0,    0.0,0\n"));
    }

    void csvOtherLayoutsAndUnits()
    {
        SettingsRecord &s = settings();
        s.outUnits = 0;  // mph, miles
        s.altUnits = 0;  // feet
        s.datumFormat = 2;
        s.localTimeOffset = 5.75f;  // local date runs a day ahead
        recomputeFactors();
        QVERIFY(exportCsv(out("b.csv")).ok);
        const QList<QByteArray> lines = readAll(out("b.csv")).split('\n');
        QCOMPARE(lines.size(), 5);  // header, three rows, the empty rest after the last line feed
        QCOMPARE(lines[0], QByteArray("Filename,DateLocal,TimeLocal,DateUTC,TimeUTC,Latitude(Deg),Latitude(Min),"
                                      "Latitude(Sec),Longitude(Deg),Longitude(Min),Longitude(Sec),Speed(mph),"
                                      "Distance(miles),LOS(miles),Bearing(Deg),Altitude(ft),SatCount"));
        QCOMPARE(lines[1], QByteArray("DJI_0001.MOV, 2017-03-12, 03:07:05, 2017-03-11, 21:22:05, -20, 15, 11.88, "
                                      "149, 01, 30.36, 22.4,       0.000,       0.000,    0.0,    6.2,16"));
        QCOMPARE(lines[3], QByteArray("a&b<c>.mov, 2017-03-12, 05:45:00, 2017-03-12, 00:00:00, 00, 30, 00.00, "
                                      "-00, 15, 00.00,  6.2,       0.941,       1.398,  -90.0,    0.0,0"));
        QVERIFY(lines[4].isEmpty());

        s.datumFormat = 1;
        s.outUnits = 2;  // m/s, meters
        recomputeFactors();
        QVERIFY(exportCsv(out("c.csv")).ok);
        const QList<QByteArray> dm = readAll(out("c.csv")).split('\n');
        QCOMPARE(dm[0], QByteArray("Filename,DateLocal,TimeLocal,DateUTC,TimeUTC,Latitude(Deg),Latitude(Min),"
                                   "Longitude(Deg),Longitude(Min),Speed(m/s),Distance(meters),LOS(meters),"
                                   "Bearing(Deg),Altitude(ft),SatCount"));
        QCOMPARE(dm[2], QByteArray("DJI_0001.MOV, 2017-03-12, 03:07:06, 2017-03-11, 21:22:06, -20, 15.2040, "
                                   "149, 01.5120, 15.1,      15.100,      15.100,  135.3,    7.4,17"));
    }

    void csvColumnsComeFromEveryLoadedMovie()
    {
        TrackStore &t = track();
        // Only the disabled movie has altitude and satellites: the columns
        // are still there, and the enabled movies fill them with 0.
        t.block[0].hasAltitude = false;
        t.block[0].hasSats = false;
        t.block[1].hasSats = true;
        QVERIFY(exportCsv(out("d.csv")).ok);
        QList<QByteArray> lines = readAll(out("d.csv")).split('\n');
        QVERIFY(lines[0].endsWith(",Bearing(Deg),Altitude(m),SatCount"));
        QVERIFY(lines[1].endsWith(",    0.0,    0.0,0"));
        QCOMPARE(lines.size(), 5);

        // Nobody has them: no columns.
        t.block[1].hasAltitude = false;
        t.block[1].hasSats = false;
        QVERIFY(exportCsv(out("e.csv")).ok);
        lines = readAll(out("e.csv")).split('\n');
        QVERIFY(lines[0].endsWith(",LOS(km),Bearing(Deg)"));
        QVERIFY(lines[1].endsWith(",    0.0"));
        QCOMPARE(lines[1].count(','), 10);
    }

    void gpxCombinedIgnoresUnits()
    {
        // Metres and metres per second whatever the settings say.
        settings().outUnits = 0;
        settings().altUnits = 0;
        recomputeFactors();
        QVERIFY(exportGpx(out("all.gpx")).ok);
        const QByteArray gpx = readAll(out("all.gpx"));
        QCOMPARE(gpx, gpxFile("2017-03-11T21:22:05Z", QByteArray(kGpxPoint0) + kGpxPoint1 + kGpxPoint2));
        QDomDocument doc = parse(gpx);
        QCOMPARE(doc.documentElement().namespaceURI(), QStringLiteral("http://www.topografix.com/GPX/1/0"));
        QCOMPARE(doc.elementsByTagNameNS("http://www.topografix.com/GPX/1/0", "trkpt").size(), 3);
    }

    void gpxTrackTimeComesFromBlockZero()
    {
        // Even when block 0 is disabled (its points are not written).
        track().block[0].active = false;
        QVERIFY(exportGpx(out("t.gpx")).ok);
        QCOMPARE(readAll(out("t.gpx")), gpxFile("2017-03-11T21:22:05Z", kGpxPoint2));
        // A block 0 without points: the first point written names the track.
        track().block[0].numPoints = 0;
        QVERIFY(exportGpx(out("u.gpx")).ok);
        QCOMPARE(readAll(out("u.gpx")), gpxFile("2017-03-12T00:00:00Z", kGpxPoint2));
    }

    void gpxPerMovieFiles()
    {
        QTemporaryDir d;
        const QString combined = d.filePath("export.gpx");
        QVERIFY(exportGpx(combined).ok);
        QVERIFY(exportGpxPerMovie(combined).ok);
        QStringList files = QDir(d.path()).entryList(QDir::Files);
        files.sort();
        QCOMPARE(files, (QStringList{"DJI_0001.gpx", "a&b<c>.gpx", "export.gpx"}));
        QCOMPARE(readAll(d.filePath("DJI_0001.gpx")),
                 gpxFile("2017-03-11T21:22:05Z", QByteArray(kGpxPoint0) + kGpxPoint1));
        QCOMPARE(readAll(d.filePath("a&b<c>.gpx")), gpxFile("2017-03-12T00:00:00Z", kGpxPoint2));
        QVERIFY(!parse(readAll(d.filePath("a&b<c>.gpx"))).isNull());

        // A combined file named like a movie's GPX is not overwritten by it.
        QTemporaryDir e;
        const QString clash = e.filePath("DJI_0001.gpx");
        QVERIFY(exportGpx(clash).ok);
        QVERIFY(exportGpxPerMovie(clash).ok);
        QCOMPARE(readAll(clash), gpxFile("2017-03-11T21:22:05Z", QByteArray(kGpxPoint0) + kGpxPoint1 + kGpxPoint2));
        QVERIFY(QFileInfo::exists(e.filePath("a&b<c>.gpx")));

        // A movie name without a dot ends the pass.
        QTemporaryDir f;
        track().block[0].movieFile = QFileInfo(QStringLiteral("/movies/NODOT"));
        QVERIFY(exportGpxPerMovie(f.filePath("export.gpx")).ok);
        QVERIFY(QDir(f.path()).entryList(QDir::Files).isEmpty());
    }

    void gpxPerMovieFailureIsReportedAndTheRestWritten()
    {
        QTemporaryDir d;
        QVERIFY(QDir(d.path()).mkdir("DJI_0001.gpx"));  // a folder in the way
        const ExportResult r = exportGpxPerMovie(d.filePath("export.gpx"));
        QVERIFY(!r.ok);
        QCOMPARE(r.errorText, "File error. Could not write to: " + d.filePath("DJI_0001.gpx"));
        QCOMPARE(readAll(d.filePath("a&b<c>.gpx")), gpxFile("2017-03-12T00:00:00Z", kGpxPoint2));
    }

    void gpxRangeWriter()
    {
        // From point 1 of block 0 to before point 1 of block 2; the
        // disabled block between is left out.
        QVERIFY(exportGpxRange(out("r1.gpx"), 0, 1, 2, 1).ok);
        QCOMPARE(readAll(out("r1.gpx")), gpxFile("2017-03-11T21:22:06Z", QByteArray(kGpxPoint1) + kGpxPoint2));
        // Within one block.
        QVERIFY(exportGpxRange(out("r2.gpx"), 0, 0, 0, 1).ok);
        QCOMPARE(readAll(out("r2.gpx")), gpxFile("2017-03-11T21:22:05Z", kGpxPoint0));
        // Out-of-range arguments are held to the store.
        QVERIFY(exportGpxRange(out("r3.gpx"), -5, 99, 50, 99).ok);
        QCOMPARE(readAll(out("r3.gpx")), gpxFile("2017-03-12T00:00:00Z", kGpxPoint2));
        QVERIFY(exportGpxRange(out("r4.gpx"), 2, 0, 0, 5).ok);  // backwards: an empty track
        QCOMPARE(readAll(out("r4.gpx")), gpxFile("1970-01-01T00:00:00Z", QByteArray()));
    }

    void kmlWithGeotags()
    {
        settings().outUnits = 0;  // speed values in mph; coordinates stay degrees and metres
        recomputeFactors();
        track().relativeAltitude = true;
        Geotag a;
        a.title = QStringLiteral("Tom's \"big\" jump & <landing>");
        a.lat = 46.5;
        a.lon = 7.25;
        a.movieAvailable = true;
        Geotag b;
        b.title = QStringLiteral("Second");
        b.lat = -33.9;
        b.lon = 151.2;
        QVERIFY(addGeotag(a));
        QVERIFY(addGeotag(Geotag()));  // taken without telemetry: no place, its number skipped
        QVERIFY(addGeotag(b));

        QVERIFY(exportKml(out("a.kml")).ok);
        const QByteArray kml = readAll(out("a.kml"));
        const QByteArray pins = "https://maps.google.com/mapfiles/kml/pushpin/";
        const QByteArray expected =
            QByteArray(kKmlHead)
            + "\t\t<LookAt>\n\t\t\t<gx:TimeSpan>\n\t\t\t\t<begin>2017-03-11T21:22:05Z</begin>\n"
              "\t\t\t\t<end>2017-03-12T00:00:00Z</end>\n\t\t\t</gx:TimeSpan>\n"
              "\t\t\t<longitude>149.025101</longitude>\n\t\t\t<latitude>-20.253300</latitude>\n"
              "\t\t\t<range>1300.000000</range>\n\t\t</LookAt>\n"
            + kmlFixedStyles()
            + "\t\t<Style id=\"geotagStyle1\">\n" + iconStyle("1.2", pins + "ylw-pushpin.png")
            + "\t\t</Style>\n"
            + "\t\t<Style id=\"geotagStyle3\">\n" + iconStyle("1.2", pins + "wht-pushpin.png")
            + "\t\t</Style>\n" + kKmlSchema
            + "\t\t<Placemark id=\"geotag1\">\n"
              "\t\t\t<name>Tom&apos;s &quot;big&quot; jump &amp; &lt;landing&gt;</name>\n"
              "\t\t\t<styleUrl>#geotagStyle1</styleUrl>\n\t\t\t<Point>\n"
              "\t\t\t\t<coordinates>7.250000,46.500000,0</coordinates>\n\t\t\t</Point>\n\t\t</Placemark>\n"
              "\t\t<Placemark id=\"geotag3\">\n\t\t\t<name>Second</name>\n"
              "\t\t\t<styleUrl>#geotagStyle3</styleUrl>\n\t\t\t<Point>\n"
              "\t\t\t\t<coordinates>151.200000,-33.900000,0</coordinates>\n\t\t\t</Point>\n\t\t</Placemark>\n"
              "\t\t<Folder>\n\t\t\t<name>Tracks</name>\n"
            + trackPlacemark("DJI_0001.MOV", true,
                             "\t\t\t\t\t<when>2017-03-11T21:22:05Z</when>\n"
                             "\t\t\t\t\t<when>2017-03-11T21:22:06Z</when>\n",
                             "\t\t\t\t\t<gx:coord>149.025100 -20.253300 1.900000</gx:coord>\n"
                             "\t\t\t\t\t<gx:coord>149.025200 -20.253400 2.260000</gx:coord>\n",
                             "\t\t\t\t\t\t\t\t<gx:value>22.37 mph</gx:value>\n"
                             "\t\t\t\t\t\t\t\t<gx:value>33.86 mph</gx:value>\n")
            + trackPlacemark("a&amp;b&lt;c&gt;.mov", true, "\t\t\t\t\t<when>2017-03-12T00:00:00Z</when>\n",
                             "\t\t\t\t\t<gx:coord>-0.250000 0.500000 0.000000</gx:coord>\n",
                             "\t\t\t\t\t\t\t\t<gx:value>6.21 mph</gx:value>\n")
            + "\t\t</Folder>\n\t</Document>\n</kml>\n";
        QCOMPARE(kml, expected);

        // Read back: the escaped texts come back as they were written.
        QDomDocument doc = parse(kml);
        const QString kmlNs = QStringLiteral("http://www.opengis.net/kml/2.2");
        const QString gxNs = QStringLiteral("http://www.google.com/kml/ext/2.2");
        QCOMPARE(doc.documentElement().namespaceURI(), kmlNs);
        const QDomNodeList placemarks = doc.elementsByTagNameNS(kmlNs, "Placemark");
        QCOMPARE(placemarks.size(), 4);
        QCOMPARE(placemarks.at(0).firstChildElement("name").text(), a.title);
        QCOMPARE(placemarks.at(3).firstChildElement("name").text(), QStringLiteral("Vehicle (a&b<c>.mov)"));
        QCOMPARE(doc.elementsByTagNameNS(gxNs, "coord").size(), 3);
        QCOMPARE(doc.elementsByTagNameNS(gxNs, "value").size(), 3);
    }

    void kmlWithoutGeotagsOrRelativeHeights()
    {
        QVERIFY(exportKml(out("b.kml")).ok);
        const QByteArray kml = readAll(out("b.kml"));
        QVERIFY(!kml.contains("geotag"));
        QVERIFY(!kml.contains("chart"));
        QVERIFY(!kml.contains("altitudeMode"));
        QVERIFY(kml.contains(kmlFixedStyles() + kKmlSchema + "\t\t<Folder>\n"));
        QVERIFY(kml.contains("<gx:value>36.00 km/h</gx:value>"));
        QVERIFY(!parse(kml).isNull());
    }

    void kmlViewSkipsMoviesWithoutPoints()
    {
        // The first played movie has no points: the view starts at the
        // next one that has.
        track().block[0].numPoints = 0;
        QVERIFY(exportKml(out("c.kml")).ok);
        const QByteArray kml = readAll(out("c.kml"));
        QVERIFY(kml.contains("\t\t\t\t<begin>2017-03-12T00:00:00Z</begin>\n\t\t\t\t<end>2017-03-12T00:00:00Z</end>\n"
                             "\t\t\t</gx:TimeSpan>\n\t\t\t<longitude>-0.250000</longitude>\n"
                             "\t\t\t<latitude>0.500000</latitude>\n"));
        QCOMPARE(kml.count("<Placemark>"), 1);
    }

    void emptyStoreWritesTheFrames()
    {
        resetTrackStore();
        QVERIFY(exportCsv(out("empty.csv")).ok);
        QCOMPARE(readAll(out("empty.csv")),
                 QByteArray("Filename,DateLocal,TimeLocal,DateUTC,TimeUTC,Latitude(Deg),Longitude(Deg),"
                            "Speed(km/h),Distance(km),LOS(km),Bearing(Deg)\n"));
        QVERIFY(exportGpx(out("empty.gpx")).ok);
        QCOMPARE(readAll(out("empty.gpx")), gpxFile("1970-01-01T00:00:00Z", QByteArray()));
        QVERIFY(exportKml(out("empty.kml")).ok);
        QCOMPARE(readAll(out("empty.kml")), QByteArray(kKmlHead) + kmlFixedStyles() + kKmlSchema
                                                 + "\t\t<Folder>\n\t\t\t<name>Tracks</name>\n\t\t</Folder>\n"
                                                   "\t</Document>\n</kml>\n");
    }

    void hostileStoreValues()
    {
        // Whatever a broken telemetry file left in the store, the files stay
        // well-formed and the counts bounded.
        TrackStore &t = track();
        t.block[0].lat[0] = 1e300;
        t.block[0].lon[0] = NAN;
        t.block[0].speed[0] = INFINITY;
        t.block[0].altitude[0] = -1e308;
        t.block[0].gpsTime[0] = NO_TIME;
        t.block[2].numPoints = MAX_POINTS + 7;  // never read past the arrays
        t.block[2].movieFile = QFileInfo(QString::fromUtf8("/m/\x01weird\"'&<>.mov"));
        t.numBlocks = 3;
        settings().datumFormat = 1;
        QVERIFY(exportCsv(out("h.csv")).ok);
        QCOMPARE(readAll(out("h.csv")).count('\n'), 1 + 2 + MAX_POINTS);
        QVERIFY(exportGpx(out("h.gpx")).ok);
        QVERIFY(!parse(readAll(out("h.gpx"))).isNull());
        QVERIFY(exportKml(out("h.kml")).ok);
        QDomDocument kml = parse(readAll(out("h.kml")));
        QVERIFY(!kml.isNull());
        QCOMPARE(kml.elementsByTagName("when").size(), 2 + MAX_POINTS);
    }

    // Rows 0 CSV, 1 GPX, 2 KML and 3 `fourth`, a GPX writer of the test's choice.
    static void exportRows(const char *fourth)
    {
        QTest::addColumn<int>("which");
        QTest::newRow("csv") << 0;
        QTest::newRow("gpx") << 1;
        QTest::newRow("kml") << 2;
        QTest::newRow(fourth) << 3;
    }

    void writeFailuresAreReported_data() { exportRows("gpx range"); }

    void writeFailuresAreReported()
    {
        if (!QFileInfo::exists("/dev/full"))
            QSKIP("no /dev/full here");
        QFETCH(int, which);
        const QString full = QStringLiteral("/dev/full");
        const ExportResult r = which == 0   ? exportCsv(full)
                               : which == 1 ? exportGpx(full)
                               : which == 2 ? exportKml(full)
                                            : exportGpxRange(full, 0, 0, 2, 1);
        QVERIFY(!r.ok);
        QCOMPARE(r.errorText, QStringLiteral("File error. Could not write to: /dev/full"));

        // A missing folder: reported, nothing created.
        const QString missing = dir.filePath("gone/x.out");
        const ExportResult m = which == 0   ? exportCsv(missing)
                               : which == 1 ? exportGpx(missing)
                               : which == 2 ? exportKml(missing)
                                            : exportGpxRange(missing, 0, 0, 2, 1);
        QVERIFY(!m.ok);
        QCOMPARE(m.errorText, "File error. Could not write to: " + missing);
        QVERIFY(!QFileInfo::exists(dir.filePath("gone")));
    }

    void longExportFailingOrStoppedLeavesNothing_data() { exportRows("gpx per movie"); }

    void longExportFailingOrStoppedLeavesNothing()
    {
        // A full store (about 50 MB a file) on a disk that fills up after
        // 4 MB (after 256 kB for the per-movie files of half a MB each):
        // reported, the previous file untouched, no temporary file left, and
        // the export ends at the failure instead of making the rest of the
        // text. A stop request ends it the same way, silently.
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
        ExportProgress progress;
        ExportResult r;
        {
            vxtest::FileSizeLimit limit(which == 3 ? 256 << 10 : 4 << 20);
            QVERIFY(limit.ok);
            r = write(&progress);
        }
        QVERIFY(!r.ok);
        QVERIFY(!r.cancelled);
        QCOMPARE(r.errorText, "File error. Could not write to: " + path);
        if (which != 3)
            QVERIFY(progress.pointsDone < src.activePoints() / 4);
        QCOMPARE(readAll(path), QByteArray("previous\n"));
        const QStringList kept{QFileInfo(path).fileName()};
        QCOMPARE(QDir(d.path()).entryList(QDir::Files | QDir::Hidden), kept);

        ExportProgress stop;
        stop.cancelRequested = true;
        r = write(&stop);
        QVERIFY(r.cancelled);
        QVERIFY(!r.ok);
        QCOMPARE(readAll(path), QByteArray("previous\n"));
        QCOMPARE(QDir(d.path()).entryList(QDir::Files | QDir::Hidden), kept);
    }
};

QTEST_GUILESS_MAIN(TestTrackExport)
#include "test_trackexport.moc"
