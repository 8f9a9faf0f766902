// GPX track import: named and unnamed tracks, measures, times, the empty name, broken files, capacity, real files.
#include "track/geo.h"
#include "track/gpxreader.h"
#include "track/trackstore.h"

#include "support/testsupport.h"

#include <QtTest>
#include <cmath>

using namespace vx;
using vxtest::column;
using vxtest::pointText;

namespace {

const int B = 3;  // the block the tests import into

MovieBlock &blk() { return track().block[B]; }

// Marks the block so that any write to it shows.
void fillSentinel() {
    for (int i = 0; i < 5; ++i)
        blk().gpsTime[i] = 777u + i, blk().lat[i] = -1, blk().altitude[i] = -4;
    blk().numPoints = 5;
    blk().totalDist = 99;
    blk().hasAltitude = blk().hasSats = true;
}

void verifySentinel() {
    QCOMPARE(blk().numPoints, 5);
    QCOMPARE(blk().totalDist, 99.0);
    QVERIFY(blk().hasAltitude);
    QCOMPARE(column(blk(), 't') + column(blk(), 'y') + column(blk(), 'a'),
             "777 778 779 780 781-1 -1 -1 -1 -1-4 -4 -4 -4 -4");
}

GpxImportResult importText(QByteArray xml) {
    QBuffer buffer(&xml);
    buffer.open(QIODevice::ReadOnly);
    return importGpxTrack(B, buffer);
}

QByteArray gpx(const QByteArray &body) { return "<?xml version=\"1.0\"?>\n<gpx version=\"1.0\">" + body + "</gpx>\n"; }

QByteArray pt(double lat, double lon, const QByteArray &children = QByteArray()) {
    return "<trkpt lat=\"" + QByteArray::number(lat, 'f', 6) + "\" lon=\"" + QByteArray::number(lon, 'f', 6) + "\">"
         + children + "</trkpt>";
}

QByteArray at(int second) {
    return "<time>2020-01-01T00:00:" + QByteArray::number(second).rightJustified(2, '0') + "Z</time>";
}

const uint32_t T2020 = 1577836800u;

} // namespace

class TestGpxReader : public QObject {
    Q_OBJECT

private slots:
    void init() {
        resetTrackStore();
        lastBearing = 0;
    }
    // Every point by `fields` (see pointText), then totalDist and hasAltitude.
    void tracks_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("fields");
        QTest::addColumn<QString>("points");
        QTest::newRow("name not first appends")
            << "<trk><name>a</name>" + pt(1, 1) + "</trk><trk><type>x</type><name>b</name>" + pt(2, 2) + "</trk>"
            << QByteArray("y") << "1 | 2 / 0 0";
        QTest::newRow("a blank name restarts, the elevation flag stays")
            << "<trk><name>a</name>" + pt(1, 1, "<ele>5</ele>") + "</trk><trk><name> </name>" + pt(2, 2) + "</trk>"
            << QByteArray("y") << "2 / 0 1";
        QTest::newRow("nested elements, points outside tracks")
            << "<wpt lat=\"9\" lon=\"1\"/><rte><rtept lat=\"9\" lon=\"1\"/></rte>" + pt(9, 1) + "<trk><name>a</name>"
                   + pt(1, 1) + "<trk><name>b</name>" + pt(2, 2)
                   + "</trk><trkpt lat=\"3\" lon=\"3\"><ext><ele>9</ele></ext>" + pt(4, 4) + "</trkpt></trk>"
            << QByteArray("y") << "1 | 2 | 3 / 0 0";
        QTest::newRow("small entity expansion") << "<?xml version=\"1.0\"?><!DOCTYPE gpx [<!ENTITY a \"aaaaaaaaaa\">"
                "<!ENTITY b \"" + QByteArray("&a;").repeated(10) + "\">]><gpx><trk><name>&b;</name>" + pt(1, 1)
                + "</trk></gpx>" << QByteArray("y") << "1 / 0 0";
        QTest::newRow("huge name, deep nesting") << "<trk><name>" + QByteArray(4 << 20, 'n') + "</name>"
                + QByteArray("<x>").repeated(20000) + QByteArray("</x>").repeated(20000) + pt(6, 7) + "</trk>"
                << QByteArray("y") << "6 / 0 0";
        // An appended track's first point is measured from the track before, a restarted one's is not.
        QTest::newRow("restart, append")
            << "<trk><name>one</name>" + pt(10, 20, at(0)) + pt(10.01, 20, at(10)) + "</trk><trk><name>two</name>"
                   + pt(50, 8, at(0)) + pt(50, 8.001, at(5)) + "</trk><trk>" + pt(50.01, 8.001, at(25)) + "</trk>"
            << QByteArray("tdvb")
            << "1577836800 0 0 0 | 1577836805 0.07155481079 51.51946 89.99961698 | "
               "1577836825 1.11319491 200.3751 0 / 1.184749721 0";
        // The file's speed (m/s) wins; an unreadable one is 0.
        QTest::newRow("file speed")
            << "<trk><trkseg>" + pt(0, 0, at(0) + "<speed>5</speed>") + pt(1, 1, at(1) + "<speed>5</speed>")
                   + pt(1, 1.5, at(2) + "<speed>  0.5e1 </speed>") + pt(1, 1.6, at(3) + "<speed>fast</speed>")
                   + "</trkseg></trk>"
            << QByteArray("vd") << "18 0 | 18 157.4255371 | 18 55.65126809 | 0 11.13025363 / 224.2070588 0";
        QTest::newRow("ele on the first point only")
            << "<trk><trkseg>" + pt(1, 1, "<ele>123.5</ele>" + at(0)) + pt(1, 1.1, at(1)) + pt(1, 1.2, at(2))
                   + "</trkseg></trk>"
            << QByteArray("a") << "123.5 | 0 | 0 / 22.26050726 1";
        // No time: 0, later the time before; within one second no distance, no speed, the last course.
        QTest::newRow("no time: the time before")
            << "<trk><trkseg>" + pt(1, 1) + pt(1, 1.1) + pt(1, 1.2, at(0)) + pt(1, 1.3, at(10)) + pt(1, 1.4)
                   + pt(1, 1.5, "<time>not a time</time>") + "</trkseg></trk>"
            << QByteArray("tdvb")
            << "0 0 0 0 | 0 0 0 0 | 1577836800 11.13025363 2.539484e-05 89.99912738 | 1577836810 11.13025363 4006.891 "
               "89.99912738 | 1577836810 0 0 89.99912738 | 1577836810 0 0 89.99912738 / 22.26050726 0";
        // Missing, not finite, comma decimal (any locale) and beyond the store: 0.
        QTest::newRow("attributes and numbers")
            << QByteArray("<trk><trkseg><trkpt lon=\"5.5\"/><trkpt lat=\"nan\" lon=\"inf\"/><trkpt lat=\" 1.25 \" "
                          "lon=\"1,5\"><ele>1e999</ele></trkpt><trkpt lat=\"2\" lon=\"3\"><speed>1e300</speed></trkpt>"
                          "</trkseg></trk>")
            << QByteArray("yxavdb") << "0 5.5 0 0 0 0 | 0 0 0 0 0 0 | 1.25 0 0 0 0 0 | 2 3 0 0 0 0 / 0 1";
    }
    void tracks() {
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, fields);
        const GpxImportResult r = importText(body.startsWith("<?xml") ? body : gpx(body));
        QVERIFY(r.ok && r.warning.isEmpty() && !blk().hasSats);
        QStringList points;
        for (int i = 0; i < blk().numPoints; ++i)
            points << pointText(blk(), i, fields.constData());
        QTEST(points.join(" | ") + QString(" / %1 %2").arg(blk().totalDist, 0, 'g', 10).arg(blk().hasAltitude), "points");
    }
    void timeTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("seconds");  // -1: not a time
        const struct { const char *text; qint64 seconds; } cases[] = {
            {"2017-03-11T21:22:05Z", 1489267325}, {"  2017-03-11T21:22:05Z\n", 1489267325},
            {"2008-01-27T13:03:22.836Z", 1201439002}, {"2017-03-11T21:22:05", 1489267325},
            {"2017-03-11T23:22:05+02:00", 1489267325}, {"2017-03-11T16:52:05-04:30", 1489267325},
            {"1970-01-01T00:00:00Z", 0}, {"2000-02-29T00:00:00Z", 951782400}, {"2106-02-07T06:28:14Z", 0xFFFFFFFE},
            {"2106-02-07T06:28:15Z", -1} /* the no-time marker itself */, {"1969-12-31T23:59:59Z", -1},
            {"2001-02-29T00:00:00Z", -1}, {"2017-10-31T00:00:00Z", 1509408000}, {"2017-10-32T00:00:00Z", -1},
            {"2017-13-11T21:22:05Z", -1}, {"2017-03-11T24:00:00Z", -1}, {"2024-02-29T00:00:00Z", 1709164800},
            {"2017-03-11T21:22:60Z", -1}, {"2017-03-11 21:22:05Z", -1}, {"2017-03-11T21:22:05.Z", -1},
            {"2017-03-11T21:22:05ZZ", -1}, {"2017-03-11T21:22:05+24:00", -1}, {"2017-03-11T21:22:05+0200", -1}, {"2017-3-11T21:22:05Z", -1},
            {"９９９９-03-11T21:22:05Z", -1}, {"", -1}};
        for (const auto &c : cases)
            QTest::newRow(c.text) << QString::fromUtf8(c.text) << c.seconds;
    }
    void timeTexts() {
        QFETCH(QString, text);
        uint32_t s = 12345;
        const bool ok = parseGpxTime(text, &s);
        QTEST(ok ? qint64(s) : (s == 12345 ? -1 : -2), "seconds");  // untouched when not a time
    }
    void emptyNameStopsWithTheEarlierPointsKept() {
        fillSentinel();
        blk().numPoints = 0;
        GpxImportResult r = importText(gpx("<trk><name></name>" + pt(1, 1) + "</trk>"));
        QCOMPARE(QString("%1 %2 ").arg(r.ok).arg(blk().numPoints) + r.warning, "0 0 Name is empty.");
        resetTrackStore();  // the named track before stays, nothing after the empty name is read
        r = importText(gpx("<trk><name>good</name><trkseg>" + pt(1, 1, at(0)) + pt(1, 2, at(1)) + pt(1, 3, at(2))
                           + "</trkseg></trk><trk><name/>" + pt(9, 9) + "</trk><trk><name>later</name>" + pt(8, 8)
                           + "</trk>"));
        QVERIFY(!r.ok && r.warning == gpxEmptyNameWarning());
        QCOMPARE(QString::number(blk().numPoints) + ' ' + pointText(blk(), 2, "tx"), "3 1577836802 3");
        QVERIFY(blk().totalDist > 200);
    }
    void brokenFilesLeaveTheBlockUntouched_data() {
        QTest::addColumn<QByteArray>("content");
        const QByteArray good = gpx("<trk><name>x</name>" + pt(1, 1) + pt(1, 2) + "</trk>");
        // Entity expansion to 10^11 characters: refused.
        QByteArray bomb = "<?xml version=\"1.0\"?><!DOCTYPE gpx [<!ENTITY a \"aaaaaaaaaa\">";
        for (char c = 'b'; c <= 'k'; ++c)
            bomb += QByteArray("<!ENTITY ") + c + " \"" + (QByteArray("&") + char(c - 1) + ";").repeated(10) + "\">";
        bomb += "]><gpx><trk><name>&k;</name>" + pt(1, 1) + "</trk></gpx>";
        QTest::newRow("truncated") << good.left(good.size() - 10);
        QTest::newRow("two roots") << good + "<gpx/>";
        QTest::newRow("undefined entity") << gpx("<trk><name>&nope;</name>" + pt(1, 1) + "</trk>");
        QTest::newRow("broken after an empty name") << gpx("<trk><name></name></trk><trk>").left(60);
        QTest::newRow("broken inside a name") << QByteArray("<gpx><trk><name>a<b></name></trk></gpx>");
        QTest::newRow("entity bomb") << bomb;
    }
    void brokenFilesLeaveTheBlockUntouched() {
        QFETCH(QByteArray, content);
        fillSentinel();
        lastBearing = 42;
        const GpxImportResult r = importText(content);
        QVERIFY(!r.ok && r.warning.isEmpty());
        verifySentinel();
        QCOMPARE(lastBearing, 42.0);
    }
    void missingUnreadableAndOversizedFiles() {
        QTemporaryDir dir;
        fillSentinel();
        QFile big(dir.filePath("big.gpx"));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(GPX_MAX_FILE_BYTES + 1));
        big.close();
        const QString good = vxtest::dataPath("gpx/nmea.gpx");
        for (const auto &[block, path] : {qMakePair(B, dir.filePath("missing.gpx")), qMakePair(B, dir.path()),
                                          qMakePair(B, big.fileName()), qMakePair(-1, good), qMakePair(MAX_BLOCKS, good)})
            QVERIFY(!importGpxTrack(block, path).ok);
        verifySentinel();
        QVERIFY(blk().telemetryFile.filePath().isEmpty());
        QVERIFY(importGpxTrack(B, good).ok);
        QCOMPARE(blk().telemetryFile.absoluteFilePath(), QFileInfo(good).absoluteFilePath());
    }
    void capacityIsTheBlockSize() {
        QByteArray body = "<trk><name>long</name><trkseg>";
        for (int i = 0; i < MAX_POINTS + 50; ++i)
            body += "<trkpt lat=\"1\" lon=\"" + QByteArray::number(i * 1e-4, 'f', 4) + "\"><time>"
                  + QDateTime::fromSecsSinceEpoch(1600000000 + i, Qt::UTC).toString(Qt::ISODate).toLatin1()
                  + "</time></trkpt>";
        body += "</trkseg></trk>";
        QVERIFY(importText(gpx(body)).ok);
        QCOMPARE(pointText(blk(), MAX_POINTS - 1, "t") + ' ' + QString::number(blk().numPoints), "1600003999 4000");
        // The dropped points add nothing to the distance (50 more would add 1.25 %).
        const double km = (MAX_POINTS - 1) * 1e-4 * DEG_TO_RAD * EARTH_RADIUS_KM * std::cos(DEG_TO_RAD);
        QVERIFY2(std::fabs(blk().totalDist - km) < km * 1e-4, qPrintable(QString::number(blk().totalDist)));
        resetTrackStore();  // a later named track starts again from point 0
        QVERIFY(importText(gpx(body + "<trk><name>short</name>" + pt(7, 7) + "</trk>")).ok);
        QCOMPARE(column(blk(), 'y'), "7");
    }
    // Real files, one per quirk; three worked out by hand: first and last point, totalDist, hasAltitude.
    void everySampleFileLoads_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("points");  // of the last named track and what follows it
        QTest::addColumn<QString>("ends");
        QTest::newRow("camera, one track") << "garmin-virb-ultra-30-output.gpx" << 145 << "";
        QTest::newRow("watch, no ele") << "garmin-forerunner-10-output.gpx" << 514
                                       << "1371095795 52.40317407 13.41936294 0 0 1.026 0 | 1371097491 52.42726458 "
                                          "13.3139787 0 0.006909338214 1.422 164.9175544 / 10.21385143 0";
        QTest::newRow("logger, names in points, waypoints") << "mtk_logger.gpx" << 2 << "";
        QTest::newRow("8 tracks") << "cerknicko-jezero.gpx" << 21
                                  << "1281024337 45.79120581 14.30453818 511.078003 0 0 0 | 1281025429 45.79087338 "
                                     "14.30444204 562.508545 0.009928554723 2.553057 -172.5071842 / 0.3470000824 1";
        // No ele; the last point has no time: the second before, the course before.
        QTest::newRow("8 tracks, no ele") << "cerknicko-jezero-without-elevations.gpx" << 21
                                          << "1281024337 45.79120581 14.30453818 0 0 0 0 | 1281025415 45.79087338 "
                                             "14.30444204 0 0 0 -165.3885849 / 0.3370715276 0";
        QTest::newRow("type before name") << "korita-zbevnica.gpx" << 337 << "";
        QTest::newRow("no namespace") << "track_with_speed.gpx" << 3 << "";
    }
    void everySampleFileLoads() {
        QFETCH(QString, file);
        QFETCH(int, points);
        QFETCH(QString, ends);
        QVERIFY(importGpxTrack(B, vxtest::dataPath("gpx/" + file)).ok);
        QCOMPARE(blk().numPoints, points);
        QVERIFY(!blk().hasSats);
        for (int i = 0; i < points; ++i)
            QVERIFY(std::isfinite(blk().segDist[i]) && blk().segDist[i] >= 0 && std::isfinite(blk().speed[i])
                    && blk().speed[i] >= 0 && blk().gpsTime[i] > 1000000000u && blk().gpsTime[i] < 1800000000u);
        if (!ends.isEmpty())
            QCOMPARE(pointText(blk(), 0, "tyxadvb") + " | " + pointText(blk(), points - 1, "tyxadvb")
                         + QString(" / %1 %2").arg(blk().totalDist, 0, 'g', 10).arg(blk().hasAltitude), ends);
    }
};

QTEST_GUILESS_MAIN(TestGpxReader)
#include "test_gpxreader.moc"
