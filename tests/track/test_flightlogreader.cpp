// The flight-log reader on logs in the recorder's layout: four records a
// second, every fourth kept without a compass_heading column and every one
// with it, unit conversion, UTC record times and the point limit.
#include "referencereaders.h"
#include "settings/settings.h"
#include "track/subtitlereaders.h"
#include "track/trackstore.h"

#include <QBuffer>
#include <QDateTime>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

using namespace vx;

namespace {

const QByteArray kHeader = "latitude,longitude,altitude(feet),ascent(feet),speed(mph),distance(feet),max_altitude(feet),"
                           "max_ascent(feet),max_speed(mph),max_distance(feet),time(millisecond),datetime(utc),"
                           "datetime(local),satellites,pressure(Pa),temperature(F)";

// Record r of a log starting 2014-10-02 17:01:05 UTC, four a second.
QByteArray record(int r, bool compass)
{
    const QDateTime utc = QDateTime(QDate(2014, 10, 2), QTime(17, 1, 5), Qt::UTC).addMSecs(qint64(r) * 250 + 25);
    const QDateTime local = utc.addSecs(7200);
    const QString fmt = QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz0");
    QString row = QString::asprintf("%.6f,%.6f,%.1f,%.1f,%.1f,12.5,110.0,5.0,15.0,40.0,%d,", 47.0 + r * 1e-5,
                                    8.0 + r * 1e-5, 100.0 + r, 0.5, 10.0 + r % 7, r * 250)
                + utc.toString(fmt) + QLatin1Char(',') + local.toString(fmt)
                + QString::asprintf(",%02d,101325,68.5", 4 + r % 9);
    if (compass)
        row += QStringLiteral(",123.4");
    return row.toLatin1() + "\r\n";
}

QByteArray flightLog(int records, bool compass)
{
    QByteArray text = kHeader + (compass ? ",compass_heading(degrees)" : "") + "\r\n";
    for (int r = 0; r < records; ++r)
        text += record(r, compass);
    return text;
}

const MovieBlock &readText(int block, const QByteArray &text)
{
    QBuffer in;
    in.setData(text);
    in.open(QIODevice::ReadOnly);
    readFlightLogFrom(block, in);
    return track().block[block];
}

uint32_t utc(int h, int m, int s)
{
    return uint32_t(QDateTime(QDate(2014, 10, 2), QTime(h, m, s), Qt::UTC).toSecsSinceEpoch());
}

} // namespace

class TestFlightLogReader : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        setDefaultSettings();
        resetTrackStore();
    }

    void everyFourthRecordWithoutCompass()
    {
        const MovieBlock &b = readText(0, flightLog(40, false));
        QCOMPARE(b.numPoints, 10);
        for (int i = 0; i < 10; ++i) {
            QCOMPARE(b.gpsTime[i], utc(17, 1, 5 + i));  // records 0, 4, 8 ...
            QCOMPARE(b.lat[i], 47.0 + 4 * i * 1e-5);
        }
        QCOMPARE(b.lon[1], 8.0 + 4e-5);
        QCOMPARE(b.sats[1], 4 + 4 % 9);
        QVERIFY(b.hasAltitude && b.hasSats);
        QVERIFY(track().relativeAltitude);
    }

    void everyRecordWithCompass()
    {
        const MovieBlock &b = readText(0, flightLog(40, true));
        QCOMPARE(b.numPoints, 40);
        QCOMPARE(b.gpsTime[0], utc(17, 1, 5));
        QCOMPARE(b.gpsTime[3], utc(17, 1, 5));
        QCOMPARE(b.gpsTime[4], utc(17, 1, 6));
        QCOMPARE(b.lat[39], 47.0 + 39 * 1e-5);
        QCOMPARE(b.sats[2], 6);
    }

    void unitsBecomeMetresAndKmh()
    {
        const QByteArray text = kHeader + "\n"
                                + "47.5,8.25,100.0,0,10,0,0,0,0,0,0,2014-10-02 17:01:05.0250,"
                                  "2014-10-02 19:01:05.0250,04,101325,68.5\n";
        const MovieBlock &b = readText(0, text);
        QCOMPARE(b.numPoints, 1);
        QVERIFY(qAbs(b.altitude[0] - 30.48) < 1e-4);
        QVERIFY(qAbs(double(b.speed[0]) - 16.0934) < 1e-3);
        QCOMPARE(b.sats[0], 4);
        QCOMPARE(b.gpsTime[0], utc(17, 1, 5));
    }

    void fourThousandPointsAtMost()
    {
        const QByteArray without = flightLog(16400, false);
        const MovieBlock &b = readText(0, without);
        QCOMPARE(b.numPoints, MAX_POINTS);
        QCOMPARE(b.lat[MAX_POINTS - 1], 47.0 + 4 * 3999 * 1e-5);
        vxref::readFlightLog(1, without);
        QVERIFY(vxref::compareBlocks(0, 1).isEmpty());

        const QByteArray with = flightLog(4100, true);
        const MovieBlock &c = readText(2, with);
        QCOMPARE(c.numPoints, MAX_POINTS);
        QCOMPARE(c.lat[MAX_POINTS - 1], 47.0 + 3999 * 1e-5);
        vxref::readFlightLog(3, with);
        QVERIFY(vxref::compareBlocks(2, 3).isEmpty());
    }

    void impossibleDatesHaveNoTime()
    {
        const QByteArray text = kHeader + ",compass_heading\n"
                                + "1,2,3,0,4,0,0,0,0,0,0,2014-02-30 17:01:05.0,2014-02-30 19:01:05.0,04,1,2,3\n"
                                + "1,2,3,0,4,0,0,0,0,0,0,2014-10-02 24:00:00.0,2014-10-02 19:01:05.0,04,1,2,3\n"
                                + "1,2,3,0,4,0,0,0,0,0,0,0000-01-01 00:00:00.0,2014-10-02 19:01:05.0,04,1,2,3\n"
                                + "1,2,3,0,4,0,0,0,0,0,0,2016-02-29 23:59:59.0,2014-10-02 19:01:05.0,04,1,2,3\n";
        const MovieBlock &b = readText(0, text);
        QCOMPARE(b.numPoints, 4);
        QCOMPARE(b.gpsTime[0], NO_TIME);
        QCOMPARE(b.gpsTime[1], NO_TIME);
        QCOMPARE(b.gpsTime[2], NO_TIME);
        QCOMPARE(b.gpsTime[3], uint32_t(QDateTime(QDate(2016, 2, 29), QTime(23, 59, 59), Qt::UTC).toSecsSinceEpoch()));
    }

    void recordTimesAgreeWithTheCalendar()
    {
        QRandomGenerator rng(20240601);
        for (int i = 0; i < 20000; ++i) {
            const int y = 1 + int(rng.bounded(9999u));
            const int mo = int(rng.bounded(14u));
            const int d = int(rng.bounded(33u));
            const int h = int(rng.bounded(26u));
            const int mi = int(rng.bounded(61u));
            const int s = int(rng.bounded(61u));
            const QString text = QString::asprintf("%04d%02d%02d%02d%02d%02d", y, mo, d, h, mi, s);
            QDateTime dt = QDateTime::fromString(text, QStringLiteral("yyyyMMddhhmmss"));
            dt.setTimeSpec(Qt::UTC);
            const uint32_t expected = dt.isValid() ? uint32_t(dt.toSecsSinceEpoch()) : NO_TIME;
            QCOMPARE(utcSecondsOrNoTime(y, mo, d, h, mi, s), expected);
        }
    }

    void hostileAndBrokenLogs()
    {
        QByteArray text = flightLog(9, false);
        text.insert(text.size() / 2, QByteArray("\0\xff\xfe,,,,1,2", 9));
        text += QByteArray(100000, ',') + "\n" + "1,2,3\n";
        const MovieBlock &b = readText(0, text);
        vxref::readFlightLog(1, text);
        QVERIFY(vxref::compareBlocks(0, 1).isEmpty());
        QVERIFY(b.numPoints >= 1 && b.numPoints <= 3);

        QTemporaryDir dir;
        readFlightLog(2, dir.filePath(QStringLiteral("none.csv")));
        QCOMPARE(track().block[2].numPoints, 0);
        QCOMPARE(track().block[2].telemetryFile.fileName(), QStringLiteral("none.csv"));
    }
};

QTEST_GUILESS_MAIN(TestFlightLogReader)
#include "test_flightlogreader.moc"
