// GPX track import: named and unnamed tracks, the file's speed, elevation
// only on some points, the empty name, points without a time, the time
// texts, broken and hostile files, the block capacity, and real files from
// GPS loggers and cameras.
#include "track/geo.h"
#include "track/gpxreader.h"
#include "track/trackstore.h"

#include "support/testsupport.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

using namespace vx;

namespace {

const int B = 3;  // the block the tests import into

MovieBlock &blk() { return track().block[B]; }

// Marks the block so that any write to it shows.
void fillSentinel()
{
    MovieBlock &b = blk();
    for (int i = 0; i < 5; ++i) {
        b.gpsTime[i] = 777u + i;
        b.lat[i] = -1;
        b.lon[i] = -2;
        b.speed[i] = -3;
        b.altitude[i] = -4;
    }
    b.numPoints = 5;
    b.totalDist = 99;
    b.hasAltitude = true;
    b.hasSats = true;
}

void verifySentinel()
{
    const MovieBlock &b = blk();
    QCOMPARE(b.numPoints, 5);
    QCOMPARE(b.totalDist, 99.0);
    QVERIFY(b.hasAltitude);
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(b.gpsTime[i], 777u + i);
        QCOMPARE(b.lat[i], -1.0);
        QCOMPARE(b.altitude[i], -4.0);
    }
}

GpxImportResult importText(const QByteArray &xml)
{
    QBuffer buffer;
    buffer.setData(xml);
    buffer.open(QIODevice::ReadOnly);
    return importGpxTrack(B, buffer);
}

QByteArray gpx(const QByteArray &body)
{
    return "<?xml version=\"1.0\"?>\n<gpx version=\"1.0\">" + body + "</gpx>\n";
}

QByteArray pt(double lat, double lon, const QByteArray &children = QByteArray())
{
    return "<trkpt lat=\"" + QByteArray::number(lat, 'f', 6) + "\" lon=\""
         + QByteArray::number(lon, 'f', 6) + "\">" + children + "</trkpt>";
}

QByteArray timeEl(const char *text) { return QByteArray("<time>") + text + "</time>"; }

bool near(double a, double b, double tol = 1e-9) { return std::fabs(a - b) <= tol; }

} // namespace

class TestGpxReader : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        resetTrackStore();
        lastBearing = 0;
    }

    void namedTrackRestartsUnnamedTrackAppends()
    {
        // Two named tracks: only the second's points stay.
        GpxImportResult r = importText(gpx(
            "<trk><name>one</name><trkseg>" + pt(10, 20, timeEl("2020-01-01T00:00:00Z"))
            + pt(10.01, 20, timeEl("2020-01-01T00:00:10Z")) + pt(10.02, 20, timeEl("2020-01-01T00:00:20Z"))
            + "</trkseg></trk>"
            "<trk><name>two</name><trkseg>" + pt(50, 8, timeEl("2021-05-05T10:00:00Z"))
            + pt(50, 8.001, timeEl("2021-05-05T10:00:05Z")) + "</trkseg></trk>"));
        QVERIFY(r.ok);
        QVERIFY(r.warning.isEmpty());
        QCOMPARE(blk().numPoints, 2);
        QCOMPARE(blk().lat[0], 50.0);
        QCOMPARE(blk().gpsTime[0], 1620208800u);
        QCOMPARE(blk().segDist[0], 0.0);  // first point of a restarted track
        QCOMPARE(blk().speed[0], 0.0f);
        QCOMPARE(blk().bearing[0], 0.0);
        const GeoStep s = greatCircleStep(50, 8, 50, 8.001);
        QVERIFY(near(blk().segDist[1], s.distKm));
        QVERIFY(near(blk().totalDist, s.distKm));
        QVERIFY(near(blk().speed[1], s.distKm / 5 * 3600, 1e-3));
        QVERIFY(near(blk().bearing[1], 90.0, 0.01));

        // A second track without a name is appended to the first; its
        // first point continues from the last point of the first track.
        resetTrackStore();
        r = importText(gpx(
            "<trk><name>one</name><trkseg>" + pt(10, 20, timeEl("2020-01-01T00:00:00Z"))
            + pt(10.01, 20, timeEl("2020-01-01T00:00:10Z")) + "</trkseg></trk>"
            "<trk><trkseg>" + pt(10.02, 20, timeEl("2020-01-01T00:00:30Z")) + "</trkseg></trk>"));
        QVERIFY(r.ok);
        QCOMPARE(blk().numPoints, 3);
        QCOMPARE(blk().lat[2], 10.02);
        const GeoStep s2 = greatCircleStep(10.01, 20, 10.02, 20);
        QVERIFY(near(blk().segDist[2], s2.distKm));
        QVERIFY(near(blk().speed[2], s2.distKm / 20 * 3600, 1e-3));
        QVERIFY(near(blk().totalDist, greatCircleStep(10, 20, 10.01, 20).distKm + s2.distKm));

        // A track whose first child is something else also appends.
        resetTrackStore();
        r = importText(gpx("<trk><name>a</name>" + pt(1, 1) + "</trk><trk><type>x</type><name>b</name>"
                           + pt(2, 2) + "</trk>"));
        QVERIFY(r.ok);
        QCOMPARE(blk().numPoints, 2);
    }

    void fileSpeedWinsOverDistance()
    {
        const GpxImportResult r = importText(gpx(
            "<trk><trkseg>" + pt(0, 0, timeEl("2020-01-01T00:00:00Z") + "<speed>5</speed>")
            + pt(1, 1, timeEl("2020-01-01T00:00:01Z") + "<speed>5</speed>")
            + pt(1, 1.5, timeEl("2020-01-01T00:00:02Z") + "<speed>  0.5e1 </speed>")
            + pt(1, 1.6, timeEl("2020-01-01T00:00:03Z") + "<speed>fast</speed>") + "</trkseg></trk>"));
        QVERIFY(r.ok);
        QCOMPARE(blk().numPoints, 4);
        QCOMPARE(blk().speed[0], 18.0f);
        QCOMPARE(blk().speed[1], 18.0f);  // ~157 km in a second, still 18 km/h
        QCOMPARE(blk().speed[2], 18.0f);
        QCOMPARE(blk().speed[3], 0.0f);   // an unreadable number is 0
        QVERIFY(blk().segDist[1] > 150);  // the distance itself is still measured
    }

    void elevationOnlyOnTheFirstPoint()
    {
        const GpxImportResult r = importText(gpx(
            "<trk><trkseg>" + pt(1, 1, "<ele>123.5</ele>" + timeEl("2020-01-01T00:00:00Z"))
            + pt(1, 1.1, timeEl("2020-01-01T00:00:01Z")) + pt(1, 1.2, timeEl("2020-01-01T00:00:02Z"))
            + "</trkseg></trk>"));
        QVERIFY(r.ok);
        QCOMPARE(blk().numPoints, 3);
        QVERIFY(blk().hasAltitude);
        QCOMPARE(blk().altitude[0], 123.5);
        QCOMPARE(blk().altitude[1], 0.0);
        QCOMPARE(blk().altitude[2], 0.0);

        // The flag, once set, survives a restart by a later named track.
        resetTrackStore();
        importText(gpx("<trk><name>a</name>" + pt(1, 1, "<ele>5</ele>") + "</trk><trk><name>b</name>"
                       + pt(2, 2) + "</trk>"));
        QCOMPARE(blk().numPoints, 1);
        QVERIFY(blk().hasAltitude);
        QCOMPARE(blk().altitude[0], 0.0);

        resetTrackStore();
        importText(gpx("<trk>" + pt(1, 1) + "</trk>"));
        QVERIFY(!blk().hasAltitude);
        QVERIFY(!blk().hasSats);
    }

    void emptyNameStopsWithTheEarlierPointsKept()
    {
        // On the first track: nothing stored.
        fillSentinel();
        blk().numPoints = 0;
        GpxImportResult r = importText(gpx("<trk><name></name>" + pt(1, 1) + "</trk>"));
        QVERIFY(!r.ok);
        QCOMPARE(r.warning, QStringLiteral("Name is empty."));
        QCOMPARE(blk().numPoints, 0);

        // After a complete named track: its points stay counted, and
        // nothing after the empty name is read.
        resetTrackStore();
        r = importText(gpx("<trk><name>good</name><trkseg>" + pt(1, 1, timeEl("2020-01-01T00:00:00Z"))
                           + pt(1, 2, timeEl("2020-01-01T00:00:01Z")) + pt(1, 3, timeEl("2020-01-01T00:00:02Z"))
                           + "</trkseg></trk><trk><name/>" + pt(9, 9)
                           + "</trk><trk><name>later</name>" + pt(8, 8) + "</trk>"));
        QVERIFY(!r.ok);
        QCOMPARE(r.warning, gpxEmptyNameWarning());
        QCOMPARE(blk().numPoints, 3);
        QCOMPARE(blk().lon[2], 3.0);
        QCOMPARE(blk().gpsTime[2], 1577836802u);
        QVERIFY(blk().totalDist > 200);

        // A name of blanks is a name.
        resetTrackStore();
        r = importText(gpx("<trk><name> </name>" + pt(1, 1) + "</trk>"));
        QVERIFY(r.ok);
        QCOMPARE(blk().numPoints, 1);
    }

    void pointWithoutTimeTakesThePreviousTime()
    {
        const GpxImportResult r = importText(gpx(
            "<trk><trkseg>" + pt(1, 1) + pt(1, 1.1) + pt(1, 1.2, timeEl("2020-01-01T00:00:00Z"))
            + pt(1, 1.3, timeEl("2020-01-01T00:00:10Z")) + pt(1, 1.4) + pt(1, 1.5, timeEl("not a time"))
            + "</trkseg></trk>"));
        QVERIFY(r.ok);
        QCOMPARE(blk().numPoints, 6);
        QCOMPARE(blk().gpsTime[0], 0u);  // the first point without a time: 0
        QCOMPARE(blk().gpsTime[1], 0u);  // same second as the first: no distance
        QCOMPARE(blk().segDist[1], 0.0);
        QCOMPARE(blk().speed[1], 0.0f);
        QCOMPARE(blk().gpsTime[2], 1577836800u);
        QVERIFY(blk().segDist[2] > 0);  // a new second: measured from the point before
        const double bearing3 = blk().bearing[3];
        QVERIFY(near(bearing3, 90.0, 0.1));
        QCOMPARE(blk().gpsTime[4], 1577836810u);
        QCOMPARE(blk().segDist[4], 0.0);
        QCOMPARE(blk().bearing[4], bearing3);  // the last course
        QCOMPARE(blk().gpsTime[5], 1577836810u);  // an unreadable time counts as none
        QCOMPARE(blk().segDist[5], 0.0);
    }

    void timeTexts()
    {
        struct Case {
            const char *text;
            bool ok;
            uint32_t seconds;
        };
        const Case cases[] = {
            {"2017-03-11T21:22:05Z", true, 1489267325u},
            {"  2017-03-11T21:22:05Z\n", true, 1489267325u},
            {"2008-01-27T13:03:22.836Z", true, 1201439002u},
            {"2017-03-11T21:22:05", true, 1489267325u},
            {"2017-03-11T23:22:05+02:00", true, 1489267325u},
            {"2017-03-11T16:52:05-04:30", true, 1489267325u},
            {"1970-01-01T00:00:00Z", true, 0u},
            {"2000-02-29T00:00:00Z", true, 951782400u},
            {"2106-02-07T06:28:14Z", true, 0xFFFFFFFEu},
            {"2106-02-07T06:28:15Z", false, 0},  // the no-time marker itself
            {"1969-12-31T23:59:59Z", false, 0},
            {"2001-02-29T00:00:00Z", false, 0},
            {"2017-13-11T21:22:05Z", false, 0},
            {"2017-03-11T24:00:00Z", false, 0},
            {"2017-03-11T21:22:60Z", false, 0},
            {"2017-03-11 21:22:05Z", false, 0},
            {"2017-03-11T21:22:05.Z", false, 0},
            {"2017-03-11T21:22:05ZZ", false, 0},
            {"2017-03-11T21:22:05+0200", false, 0},
            {"2017-3-11T21:22:05Z", false, 0},
            {"９９９９-03-11T21:22:05Z", false, 0},
            {"", false, 0},
        };
        for (const Case &c : cases) {
            uint32_t s = 12345;
            const bool ok = parseGpxTime(QString::fromUtf8(c.text), &s);
            QVERIFY2(ok == c.ok, c.text);
            if (ok)
                QVERIFY2(s == c.seconds, c.text);
            else
                QVERIFY2(s == 12345, c.text);  // untouched
        }
    }

    void attributesAndNumbers()
    {
        const GpxImportResult r = importText(gpx(
            "<trk><trkseg><trkpt lon=\"5.5\"/><trkpt lat=\"nan\" lon=\"inf\"/>"
            "<trkpt lat=\" 1.25 \" lon=\"1,5\"><ele>1e999</ele></trkpt>"
            "<trkpt lat=\"2\" lon=\"3\"><speed>1e300</speed></trkpt></trkseg></trk>"));
        QVERIFY(r.ok);
        QCOMPARE(blk().numPoints, 4);
        QCOMPARE(blk().lat[0], 0.0);  // missing attribute
        QCOMPARE(blk().lon[0], 5.5);
        QCOMPARE(blk().lat[1], 0.0);  // not finite numbers read as 0
        QCOMPARE(blk().lon[1], 0.0);
        QCOMPARE(blk().lat[2], 1.25);
        QCOMPARE(blk().lon[2], 0.0);  // no comma decimals, whatever the locale
        QCOMPARE(blk().altitude[2], 0.0);
        QCOMPARE(blk().speed[3], 0.0f);  // beyond what the store can hold
        for (int i = 0; i < 4; ++i)
            QVERIFY(std::isfinite(blk().segDist[i]) && std::isfinite(blk().bearing[i]));
    }

    void brokenFilesLeaveTheBlockUntouched_data()
    {
        QTest::addColumn<QByteArray>("content");
        const QByteArray good = gpx("<trk><name>x</name>" + pt(1, 1) + pt(1, 2) + "</trk>");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not xml") << QByteArray("lat,lon\n1,2\n");
        QTest::newRow("truncated") << good.left(good.size() - 10);
        QTest::newRow("mismatched tags") << gpx("<trk><name>x</name>" + pt(1, 1) + "</trkseg></trk>");
        QTest::newRow("two roots") << good + "<gpx/>";
        QTest::newRow("bad attribute") << gpx("<trk><trkpt lat=1 lon=\"2\"/></trk>");
        QTest::newRow("undefined entity") << gpx("<trk><name>&nope;</name>" + pt(1, 1) + "</trk>");
        QTest::newRow("broken after an empty name")
            << gpx("<trk><name></name></trk><trk>").left(60);
        QTest::newRow("broken inside a name")
            << QByteArray("<gpx><trk><name>a<b></name></trk></gpx>");
    }

    void brokenFilesLeaveTheBlockUntouched()
    {
        QFETCH(QByteArray, content);
        fillSentinel();
        lastBearing = 42;
        const GpxImportResult r = importText(content);
        QVERIFY(!r.ok);
        QVERIFY(r.warning.isEmpty());
        verifySentinel();
        QCOMPARE(lastBearing, 42.0);
    }

    void missingUnreadableAndOversizedFiles()
    {
        QTemporaryDir dir;
        fillSentinel();
        QVERIFY(!importGpxTrack(B, dir.filePath("missing.gpx")).ok);
        QVERIFY(!importGpxTrack(B, dir.path()).ok);  // a directory
        // Far larger than any GPX beside a movie: refused without reading.
        {
            QFile big(dir.filePath("big.gpx"));
            QVERIFY(big.open(QIODevice::WriteOnly));
            QVERIFY(big.resize(GPX_MAX_FILE_BYTES + 1));
        }
        QVERIFY(!importGpxTrack(B, dir.filePath("big.gpx")).ok);
        QVERIFY(!importGpxTrack(-1, vxtest::dataPath("gpx/nmea.gpx")).ok);
        QVERIFY(!importGpxTrack(MAX_BLOCKS, vxtest::dataPath("gpx/nmea.gpx")).ok);
        verifySentinel();
        QVERIFY(blk().telemetryFile.filePath().isEmpty());

        QVERIFY(importGpxTrack(B, vxtest::dataPath("gpx/nmea.gpx")).ok);
        QCOMPARE(blk().telemetryFile.absoluteFilePath(),
                 QFileInfo(vxtest::dataPath("gpx/nmea.gpx")).absoluteFilePath());
    }

    void hostileDocuments()
    {
        // Entity expansion bombs, deep nesting, a huge text, odd nesting of
        // the elements the reader looks for: no crash, bounded work, and a
        // clear answer.
        auto bomb = [](char last) {
            QByteArray doc = "<?xml version=\"1.0\"?><!DOCTYPE gpx [<!ENTITY a \"aaaaaaaaaa\">";
            char prev = 'a';
            for (char c = 'b'; c <= last; ++c, ++prev)
                doc += QByteArray("<!ENTITY ") + c + " \""
                     + QByteArray(10, '&').replace("&", QByteArray("&") + prev + ";") + "\">";
            return doc + "]><gpx><trk><name>&" + last + ";</name>" + pt(1, 1) + "</trk></gpx>";
        };
        QVERIFY(importText(bomb('b')).ok);  // 100 characters: fine
        QCOMPARE(blk().numPoints, 1);
        fillSentinel();
        QVERIFY(!importText(bomb('k')).ok);  // 10^11 characters: refused
        verifySentinel();

        QByteArray deep = "<gpx><trk>";
        for (int i = 0; i < 20000; ++i)
            deep += "<x>";
        for (int i = 0; i < 20000; ++i)
            deep += "</x>";
        deep += pt(4, 5) + "</trk></gpx>";
        QVERIFY(importText(deep).ok);
        QCOMPARE(blk().numPoints, 1);
        QCOMPARE(blk().lat[0], 4.0);

        resetTrackStore();
        const QByteArray hugeName = "<gpx><trk><name>" + QByteArray(4 << 20, 'n') + "</name>" + pt(6, 7) + "</trk></gpx>";
        QVERIFY(importText(hugeName).ok);
        QCOMPARE(blk().numPoints, 1);

        // A trk inside a trk is part of the outer one; a trkpt inside a
        // trkpt is not a point; an ele below a child of a trkpt is not the
        // point's ele.
        resetTrackStore();
        QVERIFY(importText(gpx("<trk><name>a</name>" + pt(1, 1) + "<trk><name>b</name>" + pt(2, 2)
                               + "</trk><trkpt lat=\"3\" lon=\"3\"><ext><ele>9</ele></ext>" + pt(4, 4)
                               + "</trkpt></trk>"))
                    .ok);
        QCOMPARE(blk().numPoints, 3);
        QCOMPARE(blk().lat[1], 2.0);
        QCOMPARE(blk().lat[2], 3.0);
        QVERIFY(!blk().hasAltitude);

        // Points outside any track are not read.
        resetTrackStore();
        QVERIFY(importText(gpx("<wpt lat=\"1\" lon=\"1\"/><rte><rtept lat=\"1\" lon=\"1\"/></rte>" + pt(1, 1))).ok);
        QCOMPARE(blk().numPoints, 0);
    }

    void capacityIsTheBlockSize()
    {
        QByteArray body = "<trk><name>long</name><trkseg>";
        for (int i = 0; i < MAX_POINTS + 50; ++i)
            body += "<trkpt lat=\"1\" lon=\"" + QByteArray::number(i * 1e-4, 'f', 4) + "\"><time>"
                  + QDateTime::fromSecsSinceEpoch(1600000000 + i, Qt::UTC).toString(Qt::ISODate).toLatin1()
                  + "</time></trkpt>";
        body += "</trkseg></trk>";
        QVERIFY(importText(gpx(body)).ok);
        QCOMPARE(blk().numPoints, MAX_POINTS);
        QCOMPARE(blk().gpsTime[MAX_POINTS - 1], 1600000000u + MAX_POINTS - 1);
        // The dropped points add nothing to the distance: 3999 steps of
        // 1e-4 degrees of longitude at latitude 1 (about 11.1 m each).
        double sum = 0;
        for (int i = 0; i < MAX_POINTS; ++i)
            sum += blk().segDist[i];
        QVERIFY(near(blk().totalDist, sum, 1e-9));
        const double expectedKm = (MAX_POINTS - 1) * 1e-4 * DEG_TO_RAD * EARTH_RADIUS_KM * std::cos(DEG_TO_RAD);
        QVERIFY2(near(sum, expectedKm, expectedKm * 0.01), qPrintable(QString::number(sum)));

        // A later named track starts again from point 0.
        resetTrackStore();
        QVERIFY(importText(gpx(body + "<trk><name>short</name>" + pt(7, 7) + "</trk>")).ok);
        QCOMPARE(blk().numPoints, 1);
        QCOMPARE(blk().lat[0], 7.0);
    }

    void everySampleFileLoads_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("points");  // of the last named track and what follows it
        QTest::newRow("camera, one track") << "garmin-virb-ultra-30-output.gpx" << 145;
        QTest::newRow("watch, no ele") << "garmin-forerunner-10-output.gpx" << 514;
        QTest::newRow("logger, 4 tracks") << "mtk_logger_gp245.gpx" << 8;
        QTest::newRow("logger, waypoints") << "mtk_logger.gpx" << 2;
        QTest::newRow("nmea") << "nmea.gpx" << 154;
        QTest::newRow("8 tracks") << "cerknicko-jezero.gpx" << 21;
        QTest::newRow("8 tracks, no ele") << "cerknicko-jezero-without-elevations.gpx" << 21;
        QTest::newRow("type before name") << "korita-zbevnica.gpx" << 337;
        QTest::newRow("tiny") << "track_with_speed.gpx" << 3;
    }

    void everySampleFileLoads()
    {
        QFETCH(QString, file);
        QFETCH(int, points);
        const GpxImportResult r = importGpxTrack(B, vxtest::dataPath("gpx/" + file));
        QVERIFY(r.ok);
        QCOMPARE(blk().numPoints, points);
        for (int i = 0; i < points; ++i) {
            QVERIFY(std::isfinite(blk().segDist[i]) && blk().segDist[i] >= 0);
            QVERIFY(std::isfinite(blk().speed[i]) && blk().speed[i] >= 0);
            QVERIFY(blk().gpsTime[i] > 1000000000u && blk().gpsTime[i] < 1800000000u);
        }
    }

    void multiTrackFileKeepsItsLastTrack()
    {
        // cerknicko-jezero.gpx: eight tracks named "ACTIVE LOG", "ACTIVE LOG
        // #2", ...; the last one ("ACTIVE LOG #8") has 21 points with ele.
        QVERIFY(importGpxTrack(B, vxtest::dataPath("gpx/cerknicko-jezero.gpx")).ok);
        const MovieBlock &b = blk();
        QCOMPARE(b.numPoints, 21);
        QVERIFY(b.hasAltitude);
        QVERIFY(!b.hasSats);
        // <trkpt lat="45.791205810" lon="14.304538183"> <ele>511.078003</ele>
        // <time>2010-08-05T16:05:37Z</time>
        QCOMPARE(b.gpsTime[0], 1281024337u);
        QCOMPARE(b.lat[0], 45.791205810);
        QCOMPARE(b.lon[0], 14.304538183);
        QCOMPARE(b.altitude[0], 511.078003);
        QCOMPARE(b.segDist[0], 0.0);
        QCOMPARE(b.speed[0], 0.0f);
        QCOMPARE(b.bearing[0], 0.0);
        // <trkpt lat="45.790873384" lon="14.304442042"> <ele>562.508545</ele>
        // <time>2010-08-05T16:23:49Z</time>, 14 s after the point before.
        QCOMPARE(b.gpsTime[20], 1281025429u);
        QCOMPARE(b.lat[20], 45.790873384);
        QCOMPARE(b.lon[20], 14.304442042);
        QCOMPARE(b.altitude[20], 562.508545);
        QVERIFY(near(b.segDist[20], 0.009928554722690604, 1e-9));
        QVERIFY(near(b.bearing[20], -172.50718424046036, 1e-6));
        QVERIFY(near(b.speed[20], 2.55305692869187, 1e-4));
        QVERIFY(near(b.totalDist, 0.34700008236200963, 1e-9));
    }

    void fileWithoutElevation()
    {
        // The same tracks without any ele; the last point of the last track
        // has no time either, so it shares the second of the point before.
        QVERIFY(importGpxTrack(B, vxtest::dataPath("gpx/cerknicko-jezero-without-elevations.gpx")).ok);
        const MovieBlock &b = blk();
        QCOMPARE(b.numPoints, 21);
        QVERIFY(!b.hasAltitude);
        QCOMPARE(b.gpsTime[0], 1281024337u);
        QCOMPARE(b.lat[0], 45.791205810);
        QCOMPARE(b.lon[0], 14.304538183);
        QCOMPARE(b.altitude[0], 0.0);
        QCOMPARE(b.speed[0], 0.0f);
        QCOMPARE(b.gpsTime[19], 1281025415u);  // 2010-08-05T16:23:35Z
        QCOMPARE(b.gpsTime[20], 1281025415u);  // no time of its own
        QCOMPARE(b.lat[20], 45.790873384);
        QCOMPARE(b.lon[20], 14.304442042);
        QCOMPARE(b.segDist[20], 0.0);
        QCOMPARE(b.speed[20], 0.0f);
        QVERIFY(near(b.bearing[20], -165.3885848657217, 1e-6));  // course of 18 -> 19
        QVERIFY(near(b.totalDist, 0.337071527639319, 1e-9));

        // garmin-forerunner-10-output.gpx: one unnamed track of 514 points
        // with speed and no ele.
        resetTrackStore();
        QVERIFY(importGpxTrack(B, vxtest::dataPath("gpx/garmin-forerunner-10-output.gpx")).ok);
        QCOMPARE(b.numPoints, 514);
        QVERIFY(!b.hasAltitude);
        // <trkpt lat="52.403174071" lon="13.419362940"> <time>2013-06-13T03:56:35Z</time>
        // <speed>0.285000</speed>
        QCOMPARE(b.gpsTime[0], 1371095795u);
        QCOMPARE(b.lat[0], 52.403174071);
        QCOMPARE(b.lon[0], 13.419362940);
        QCOMPARE(b.speed[0], static_cast<float>(0.285 * 3.6));
        // <trkpt lat="52.427264582" lon="13.313978696"> <time>2013-06-13T04:24:51Z</time>
        // <speed>0.395000</speed>
        QCOMPARE(b.gpsTime[513], 1371097491u);
        QCOMPARE(b.lat[513], 52.427264582);
        QCOMPARE(b.lon[513], 13.313978696);
        QCOMPARE(b.speed[513], static_cast<float>(0.395 * 3.6));
        QCOMPARE(b.altitude[513], 0.0);
    }
};

QTEST_GUILESS_MAIN(TestGpxReader)
#include "test_gpxreader.moc"
