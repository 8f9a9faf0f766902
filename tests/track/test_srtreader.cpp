// The sidecar subtitle reader: every line layout, real files by hand, agreement with the plain transcription.
#include "referencereaders.h"
#include "settings/settings.h"
#include "support/testsupport.h"
#include "track/geo.h"
#include "track/subtitlereaders.h"
#include "track/trackstore.h"

#include <QtTest>

using namespace vx;
using vxtest::pointText;

namespace {

QString localTime(int y, int mo, int d, int h, int mi, int s) {
    return QString::number(QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::LocalTime).toSecsSinceEpoch());
}

const MovieBlock &readText(const QByteArray &text, int block = 0) {
    return vxref::readBytes(readSidecarSubtitlesFrom, block, text);
}

QByteArray disagreement(const QByteArray &bytes, bool matchLimit = true) {
    return vxref::disagreement(readSidecarSubtitlesFrom, vxref::readSidecar, bytes, matchLimit);
}

// One cue a second starting at `first`, each with the given text line.
QByteArray cues(const QList<QByteArray> &lines, int first = 1) {
    QByteArray out;
    for (int i = 0; i < lines.size(); ++i) {
        const int s = first + i, e = s + 1;
        out += QString::asprintf("%d\n%02d:%02d:%02d,000 --> %02d:%02d:%02d,000\n", i + 1, s / 3600, s / 60 % 60,
                                 s % 60, e / 3600, e / 60 % 60, e % 60).toLatin1() + lines[i] + "\n\n";
    }
    return out;
}

const QByteArray kSingleLine = "F/3.2, SS 160, ISO 100, EV 0, GPS (8.2090, 47.4692, 18), D 49.21m, H 45.60m, "
                               "H.S 0.20m/s, V.S 0.00m/s ";

} // namespace

class TestSrtReader : public QObject {
    Q_OBJECT

private slots:
    void init() {
        setDefaultSettings();
        resetTrackStore();
        lastBearing = 0;
        track().block[0].sats[0] = 77;  // left over from an earlier load
    }
    // Every point as "time lat lon altitude sats", then the hasAltitude, hasSats and relativeAltitude flags.
    void layouts_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("points");
        const QString t = localTime(2017, 8, 5, 14, 11, 51), t1 = localTime(2017, 8, 5, 14, 11, 52);
        const QByteArray g = "GPS(1.5,2.5,3) BAROMETER:1";
        QTest::newRow("one point a second: the first")
            << QByteArray("00:00:05,000 --> 00:00:05,500\nGPS(10.0,20.0,7) BAROMETER:3.0\n"
                          "00:00:05,500 --> 00:00:06,000\nGPS(11.0,21.0,8) BAROMETER:4.0\nGPS(12.0,22.0,9) BAROMETER:5.0\n"
                          "00:00:06,000 --> 00:00:07,000\nGPS(10.0,20.0,7) BAROMETER:3.0\n")
            << "5 20 10 3 7 | 6 20 10 3 7 / 111";
        QTest::newRow("no dates: from 1970") << cues({g, g}, 3600) << "3600 2.5 1.5 1 3 | 3601 2.5 1.5 1 3 / 111";
        QTest::newRow("first cue at 0") << cues({g, g}, 0) << "0 2.5 1.5 1 3 | 1 2.5 1.5 1 3 / 111";
        QTest::newRow("padded date, the first before a point wins")
            << QByteArray("00:00:00,000 --> 00:00:01,000\n2017.8.5 14:11:51\nGPS(1,2,3) BAROMETER:1\n"
                          "00:00:01,000 --> 00:00:02,000\n2019-01-01 00:00:00\nGPS(1,2,3) BAROMETER:1\n")
            << t + " 2 1 1 3 | " + t1 + " 2 1 1 3 / 111";
        QTest::newRow("one-digit hour: from NO_TIME, wrapping")
            << QByteArray("00:00:02,000 --> 00:00:03,000\n2017-08-05 9:11:51\nGPS(1,2,3) BAROMETER:1\n")
            << "1 2 1 1 3 / 111";
        QTest::newRow("longtitude, longitude")
            << cues({"[latitude : 22.5] [longtitude : 114.0]", "[latitude : 23.5] [longitude : 114.0]"})
            << "1 22.5 114 0 0 | 2 23.5 114 0 0 / 001";
        QTest::newRow("altitude, rel_alt preferred")
            << cues({"[latitude: 41.4] [longitude: 2.2] [altitude: 117.0]",
                     "[altitude: 9.0] [latitude: 1.5] [longitude: 2.5] [rel_alt: -4.5 abs_alt: 0.4]"})
            << "1 41.4 2.2 117 0 | 2 1.5 2.5 -4.5 0 / 101";
        QTest::newRow("latitude first, M suffixes: hasSats kept") << cues({"GPS(1.0,2.0,5) BAROMETER:1.0",
                                                 "GPS(36.6146,-6.1120,0.0M) BAROMETER:0.3M"})
                                        << "1 2 1 1 5 | 2 36.6146 -6.112 0.3 0 / 111";
        QTest::newRow("decimal third value: altitude") << cues({"GPS(8.5,47.25,412.5)"}) << "1 47.25 8.5 412.5 0 / 101";
        // The line cut at its NUL does not match; a count too large is 0; "2." reads as 2.
        QTest::newRow("hostile") << QByteArray("00:00:01,000 --> 00:00:02,000\nGPS(5.0,6.0,3) BAR\0OMETER:1.0\n", 60)
                                        + "GPS(1.0,2.0,99999999999) BAROMETER:1.0\n"
                                        + "00:00:02,000 --> 00:00:03,000\nGPS(+1.5,-.5,4) Hb:+2.\n"
                                 << "1 2 1 1 0 | 2 -0.5 1.5 2 4 / 111";
        QByteArray evil;  // would backtrack for minutes without the bound
        while (evil.size() < 8000)
            evil += "GPS(1, 2, 3),H 1";
        QTest::newRow("backtracking") << "00:00:01,000 --> x\n" + (evil + "\n").repeated(20)
                                             + "GPS(4.5,5.5,6) BAROMETER:7\n" << "1 5.5 4.5 7 6 / 111";
    }
    void layouts() {
        QFETCH(QByteArray, text);
        const MovieBlock &b = readText(text);
        QStringList points;
        for (int i = 0; i < b.numPoints; ++i)
            points << pointText(b, i, "tyxas");
        const QString flags = QString(" / %1%2%3").arg(b.hasAltitude).arg(b.hasSats).arg(track().relativeAltitude);
        QTEST(points.join(" | ") + flags, "points");
        const QByteArray difference = disagreement(text);
        QVERIFY2(difference.isEmpty(), difference.constData());
    }
    // Speed, distance, bearing, totalDist: distance per hour; standing: no speed, the bearing before; m/s or
    // with "n/a" from the positions.
    void speedsAndBearings() {
        const QByteArray na = "F/2.8, SS 30, ISO 260, EV -1.7, GPS (8.2100, 47.4692, 17), D 221.21m, H 20.70m, H.S n/a";
        QStringList texts;
        for (const QByteArray &text : {cues({"GPS(10.0,20.0,7) BAROMETER:1", "GPS(10.1,20.1,7) BAROMETER:1",
                                             "GPS(10.1,20.1,7) BAROMETER:1"}), cues({kSingleLine, na, na})}) {
            const MovieBlock &b = readText(text);
            texts << QString("%1 | %2 | %3 / %4").arg(pointText(b, 0, "vdb"), pointText(b, 1, "vdb"),
                                                      pointText(b, 2, "vdb")).arg(b.totalDist, 0, 'g', 10);
        }
        QCOMPARE(texts.join(" // "), "0 0 0 | 54984.04 15.27334392 43.19295384 | 0 0 43.19295384 / 15.27334392 // "
                                     "0.72 0 0 | 270.9019 0.07525054113 89.99963154 | 0 0 89.99963154 / 0.07525054113");
    }
    // Count, first point "time lat lon altitude sats", last "time lat lon altitude", hasAltitude and hasSats.
    void fixtures_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("points");
        const auto t = localTime;
        const QString mavic = "468 " + t(2017, 8, 5, 14, 11, 52) + " -20.2533 149.0251 1.9 16 | "
                            + t(2017, 8, 5, 14, 19, 39) + " -20.2532 149.0251 0 / 11";
        QTest::newRow("HOME line date") << "mavic_pro.SRT" << mavic;
        QTest::newRow("single-digit month, Hb/Hs") << "old_format.SRT" << mavic;
        QTest::newRow("latitude first, CRLF") << "matrice_300.srt"
                                              << "381 " + t(2022, 6, 21, 16, 6, 17) + " 36.6146 -6.112 0.3 0 | "
                                                     + t(2022, 6, 21, 16, 12, 37) + " 36.6146 -6.112 0 / 10";
        QTest::newRow("H.S n/a") << "mavic_mini.SRT"
                                 << "117 0 48.0771 -121.7458 200.7 17 | 116 48.0775 -121.7476 200.8 / 11";
        QTest::newRow("single line, HOME without date") << "p4_rtk.SRT"
                                << "55 0 -34.237922 -58.851745 85.8 15 | 54 -34.232349 -58.849196 85.8 / 11";
        QTest::newRow("longtitude, BOM, no height, 25 cues/s") << "mavic_2pro_new.SRT"
                                        << "370 " + t(2019, 9, 27, 10, 28, 8) + " -35.080155 -60.286702 0 0 | "
                                               + t(2019, 9, 27, 10, 34, 17) + " -35.077989 -60.314473 0 / 00";
        QTest::newRow("rel_alt, 30 cues/s") << "DJI_0023.SRT"
                                       << "41 " + t(2022, 12, 29, 8, 32, 20) + " 41.151572 16.412772 50.7 0 | "
                                              + t(2022, 12, 29, 8, 33, 0) + " 41.153834 16.41284 40.8 / 10";
        // Single-line cues from 00:15:04, then bracketed ones whose date comes too late.
        QTest::newRow("mixed, BOM") << "mix_p4rtk_mavic2pro.srt"
                                 << "7 904 -34.6502 -59.409424 17.39 16 | 910 -34.65118 -59.409483 120.098999 / 10";
        QTest::newRow("no gps") << "mavic_air.SRT" << "0 / 00";
    }
    void fixtures() {
        QFETCH(QString, file);
        const QString path = vxtest::dataPath("srt/" + file);
        QVERIFY(QFileInfo(path).isFile());
        readSidecarSubtitles(3, path);
        const MovieBlock &b = track().block[3];
        QCOMPARE(b.telemetryFile.absoluteFilePath(), QFileInfo(path).absoluteFilePath());
        QVERIFY(track().relativeAltitude);
        const int n = b.numPoints;
        QTEST(QString::number(n) + (n ? ' ' + pointText(b, 0, "tyxas") + " | " + pointText(b, n - 1, "tyxa") : "")
                  + QString(" / %1%2").arg(b.hasAltitude).arg(b.hasSats), "points");
        for (int i = 1; i < n; ++i)
            QVERIFY2(b.gpsTime[i] > b.gpsTime[i - 1], qPrintable(QString::number(i)));
    }
    // Both subtitle readers on every sample, without the bound on matching work.
    void everySampleAgreesWithThePlainReaders() {
        const QDir dir(vxtest::dataPath("srt"));
        QVERIFY(dir.entryList(QDir::Files).size() >= 26);
        int embedded = 0;  // p4p_sample, p4_rtk and the mixed file carry the embedded layout
        for (const QString &name : dir.entryList(QDir::Files)) {
            resetTrackStore();
            const QByteArray bytes = vxtest::readFile(dir.filePath(name));
            QByteArray difference = disagreement(bytes, false);
            QVERIFY2(difference.isEmpty(), qPrintable(name + ": " + difference));
            difference = vxref::disagreement(readEmbeddedSubtitlesFrom, vxref::readEmbedded, bytes, false);
            QVERIFY2(difference.isEmpty(), qPrintable(name + " (embedded): " + difference));
            embedded += track().block[0].numPoints > 0;
        }
        QCOMPARE(embedded, 3);
    }
    void fourThousandPointsAtMost() {
        QList<QByteArray> lines;
        for (int i = 0; i < 4100; ++i)
            lines.append(QString::asprintf("GPS(%.4f,20.0,9) BAROMETER:1.0", 10.0 + i * 1e-4).toLatin1());
        QVERIFY(disagreement(cues(lines)).isEmpty());
        QCOMPARE(track().block[0].numPoints, MAX_POINTS);
        QCOMPARE(pointText(track().block[0], MAX_POINTS - 1, "tx"), "4000 10.3999");
    }
    void missingOrUnreadableFiles() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("folder.srt"));
        for (const char *name : {"none.srt", "folder.srt"}) {
            readSidecarSubtitles(0, dir.filePath(name));
            QCOMPARE(QString::number(track().block[0].numPoints) + track().block[0].telemetryFile.fileName(),
                     QString("0") + name);
            QVERIFY(!track().relativeAltitude);
        }
        readEmbeddedSubtitles(1, dir.filePath("none.nmea.srt"));  // the embedded reader likewise
        QCOMPARE(QString::number(track().block[1].numPoints) + track().block[1].telemetryFile.fileName(),
                 "0none.nmea.srt");
        readSidecarSubtitles(-1, dir.filePath("none.srt"));  // outside the store: ignored
        readSidecarSubtitles(MAX_BLOCKS, dir.filePath("none.srt"));
    }
};

QTEST_GUILESS_MAIN(TestSrtReader)
#include "test_srtreader.moc"
