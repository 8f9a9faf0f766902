// The flight-log reader: which records are kept, units, UTC record times, the point limit, hostile logs.
#include "referencereaders.h"
#include "settings/settings.h"
#include "support/testsupport.h"
#include "track/subtitlereaders.h"
#include "track/trackstore.h"

#include <QtTest>

using namespace vx;
using vxtest::pointText;

namespace {

const QByteArray kHeader = "latitude,longitude,altitude(feet),ascent(feet),speed(mph),distance(feet),max_altitude(feet),"
                           "max_ascent(feet),max_speed(mph),max_distance(feet),time(millisecond),datetime(utc),"
                           "datetime(local),satellites,pressure(Pa),temperature(F)";

// A log starting 2014-10-02 17:01:05 UTC, four records a second.
QByteArray flightLog(int records, bool compass) {
    QByteArray text = kHeader + (compass ? ",compass_heading(degrees)" : "") + "\r\n";
    const QString fmt = QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz0");
    for (int r = 0; r < records; ++r) {
        const QDateTime utc = QDateTime(QDate(2014, 10, 2), QTime(17, 1, 5), Qt::UTC).addMSecs(qint64(r) * 250 + 25);
        text += (QString::asprintf("%.6f,%.6f,%.1f,%.1f,%.1f,12.5,110.0,5.0,15.0,40.0,%d,", 47.0 + r * 1e-5,
                                   8.0 + r * 1e-5, 100.0 + r, 0.5, 10.0 + r % 7, r * 250)
                 + utc.toString(fmt) + ',' + utc.addSecs(7200).toString(fmt)
                 + QString::asprintf(",%02d,101325,68.5", 4 + r % 9) + (compass ? ",123.4" : "")).toLatin1() + "\r\n";
    }
    return text;
}

const MovieBlock &readText(int block, const QByteArray &text) { return vxref::readBytes(readFlightLogFrom, block, text); }

uint32_t utc(int s) { return uint32_t(QDateTime(QDate(2014, 10, 2), QTime(17, 1, 0), Qt::UTC).toSecsSinceEpoch()) + s; }

} // namespace

class TestFlightLogReader : public QObject {
    Q_OBJECT

private slots:
    void init() {
        setDefaultSettings();
        resetTrackStore();
    }
    void recordsKept() {
        // Without a compass column records 0, 4, 8 ... (one a second); feet and mph become metres and km/h.
        const MovieBlock &b = readText(0, flightLog(40, false));
        QCOMPARE(b.numPoints, 10);
        for (int i = 0; i < 10; ++i)
            QCOMPARE(pointText(b, i, "tys"), QString("%1 %2 %3").arg(utc(5 + i)).arg(47.0 + 4 * i * 1e-5, 0, 'g', 10)
                                                 .arg(4 + 4 * i % 9));
        QCOMPARE(pointText(b, 1, "xav"), "8.00004 31.69919899 22.53082");  // 104 ft, 14 mph
        QVERIFY(b.hasAltitude && b.hasSats && track().relativeAltitude);
        const MovieBlock &c = readText(1, flightLog(40, true));
        QCOMPARE(QString::number(c.numPoints) + ' ' + vxtest::column(c, 't', 0, 5) + ' ' + pointText(c, 39, "y") + ' '
                     + pointText(c, 2, "s"), QString("40 %1 %1 %1 %1 %2 47.00039 6").arg(utc(5)).arg(utc(6)));
    }
    void fourThousandPointsAtMost() {
        for (bool compass : {false, true}) {
            QVERIFY(vxref::disagreement(readFlightLogFrom, vxref::readFlightLog, flightLog(compass ? 4100 : 16400, compass))
                        .isEmpty());
            QCOMPARE(track().block[0].numPoints, MAX_POINTS);
            QCOMPARE(track().block[0].lat[MAX_POINTS - 1], 47.0 + (compass ? 1 : 4) * 3999 * 1e-5);
        }
    }
    void impossibleDatesHaveNoTime() {
        const MovieBlock &b = readText(0, kHeader + ",compass_heading\n"
                                          "1,2,3,0,4,0,0,0,0,0,0,2014-02-30 17:01:05.0,2014-02-30 19:01:05.0,04,1,2,3\n"
                                          "1,2,3,0,4,0,0,0,0,0,0,2014-10-02 24:00:00.0,2014-10-02 19:01:05.0,04,1,2,3\n"
                                          "1,2,3,0,4,0,0,0,0,0,0,0000-01-01 00:00:00.0,2014-10-02 19:01:05.0,04,1,2,3\n"
                                          "1,2,3,0,4,0,0,0,0,0,0,2016-02-29 23:59:59.0,2014-10-02 19:01:05.0,04,1,2,3\n");
        QCOMPARE(vxtest::column(b, 't'), "none none none "
                     + QString::number(QDateTime(QDate(2016, 2, 29), QTime(23, 59, 59), Qt::UTC).toSecsSinceEpoch()));
    }
    void recordTimesAgreeWithTheCalendar() {
        QRandomGenerator rng(20240601);
        for (int i = 0; i < 20000; ++i) {
            const int y = 1 + int(rng.bounded(9999u)), mo = int(rng.bounded(14u)), d = int(rng.bounded(33u));
            const int h = int(rng.bounded(26u)), mi = int(rng.bounded(61u)), s = int(rng.bounded(61u));
            QDateTime dt = QDateTime::fromString(QString::asprintf("%04d%02d%02d%02d%02d%02d", y, mo, d, h, mi, s),
                                                 QStringLiteral("yyyyMMddhhmmss"));
            dt.setTimeSpec(Qt::UTC);
            QCOMPARE(utcSecondsOrNoTime(y, mo, d, h, mi, s), dt.isValid() ? uint32_t(dt.toSecsSinceEpoch()) : NO_TIME);
        }
    }
    void hostileAndBrokenLogs() {
        for (int outside : {-1, MAX_BLOCKS})  // never written, nor the store's flag set
            readText(outside, flightLog(9, false));
        QVERIFY(!track().relativeAltitude && track().playOrder[5] == 0);
        QTemporaryDir dir;
        readFlightLog(2, dir.filePath("none.csv"));
        QVERIFY(track().block[2].numPoints == 0 && track().block[2].telemetryFile.fileName() == "none.csv");
        QByteArray text = flightLog(9, false);
        text.insert(text.size() / 2, QByteArray("\0\xff\xfe,,,,1,2", 9));
        text += QByteArray(100000, ',') + "\n1,2,3\n";
        QVERIFY(vxref::disagreement(readFlightLogFrom, vxref::readFlightLog, text).isEmpty());
        QVERIFY(track().block[0].numPoints >= 1 && track().block[0].numPoints <= 3);
    }
};

QTEST_GUILESS_MAIN(TestFlightLogReader)
#include "test_flightlogreader.moc"
