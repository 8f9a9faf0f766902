// The GoPro reader: one point per whole second from payload timing, the
// stream each camera writes (GPS5, the drone's GPRI, GPS9), heights and the
// geoid, the start time from the file's modification time, real movies and
// tracks compared with an independent tool's output, and damaged movies.
#include "gpmfbuilder.h"
#include "mp4writer.h"
#include "settings/settings.h"
#include "support/testsupport.h"
#include "track/geoid.h"
#include "track/gpmfgps.h"
#include "track/goproreader.h"
#include "track/mp4source.h"
#include "track/trackstore.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <ctime>

using namespace vx;
using namespace vxtest;

namespace {

const uint8_t *bytesOf(const QByteArray &b) { return reinterpret_cast<const uint8_t *>(b.constData()); }

QByteArray readData(const QString &name)
{
    QFile f(dataPath(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// n fixes whose latitude counts the sample (47 + k/1000) and whose 3D speed
// is k m/s, so every stored point tells which sample it came from.
std::vector<GpsFix> countingFixes(int n, double altitudeM = 100)
{
    std::vector<GpsFix> fixes;
    for (int k = 0; k < n; ++k)
        fixes.push_back({47.0 + k / 1000.0, 8.0 + k / 1000.0, altitudeM, 0.5 * k, double(k)});
    return fixes;
}

// Geoid stand-ins: N = +40 m everywhere (correction −40), or no model.
bool undulation40(double, double, double *correctionM)
{
    *correctionM = -40;
    return true;
}
bool noGeoid(double, double, double *correctionM)
{
    *correctionM = 0;
    return false;
}

GpsSamples fromPayload(const QByteArray &payload, double startS, double endS, GeoidCorrectionFn geoid = noGeoid,
                       PayloadOutcome *outcome = nullptr)
{
    GpsSamples s;
    const PayloadOutcome o = appendPayloadSamples(bytesOf(payload), size_t(payload.size()), startS, endS, s, geoid);
    if (outcome)
        *outcome = o;
    return s;
}

GpsSamples fromMovie(const QByteArray &movie, GeoidCorrectionFn geoid = noGeoid, GpsReadStats *stats = nullptr)
{
    GpsSamples s;
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(movie);
    buffer->open(QIODevice::ReadOnly);
    auto source = Mp4Source::open(std::move(buffer));
    if (source) {
        const GpsReadStats st = readGpsSamples(*source, s, geoid);
        if (stats)
            *stats = st;
    }
    return s;
}

TestMovie movieOf(const std::vector<QByteArray> &payloads, uint32_t sampleDeltaMs = 1000)
{
    TestTrack t;
    t.samples = payloads;
    t.sampleDelta = sampleDeltaMs;
    TestMovie m;
    m.tracks = {t};
    return m;
}

bool sameSamples(const GpsSamples &a, const GpsSamples &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].timeS != b[i].timeS || a[i].latDeg != b[i].latDeg || a[i].lonDeg != b[i].lonDeg
            || a[i].altitudeM != b[i].altitudeM || a[i].speedKmh != b[i].speedKmh)
            return false;
    }
    return true;
}

struct CsvRow {
    double lat, lon, elevation;
    QByteArray name;
};

// The independent tool's rows: "latitude","longitude","elevation",...,"name",...
std::vector<CsvRow> csvRows(const QString &name, const QByteArray &stream)
{
    std::vector<CsvRow> rows;
    const QList<QByteArray> lines = readData(name).split('\n');
    for (int i = 1; i < lines.size(); ++i) {
        QList<QByteArray> f = lines[i].split(',');
        if (f.size() < 6)
            continue;
        for (QByteArray &v : f)
            v = v.mid(1, v.size() - 2);
        if (f[5] == stream)
            rows.push_back({f[0].toDouble(), f[1].toDouble(), f[2].toDouble(), f[5]});
    }
    return rows;
}

} // namespace

class TestGoProReader : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    // A copy of `movie` in the temporary folder, last modified at `modified`.
    QString placeMovie(const QString &name, const QByteArray &movie, const QDateTime &modified)
    {
        const QString path = dir_.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(movie) != movie.size())
            return QString();
        f.close();
        if (!f.open(QIODevice::ReadWrite) || !f.setFileTime(modified, QFileDevice::FileModificationTime))
            return QString();
        return path;
    }

private slots:
    void initTestCase()
    {
        // Local time differs from UTC here, so the local reading of the
        // modification time is visible.
        qputenv("TZ", "America/Los_Angeles");
        tzset();
        QVERIFY(dir_.isValid());
        setupGeoid(dir_.filePath("no-geoid-here"));
    }

    void init()
    {
        setDefaultSettings();
        resetTrackStore();
    }

    // A payload covering 1.000 … 2.000 s with 18 samples gives one point at
    // t = 1, from its first sample.
    void onePointPerSecond()
    {
        const GpsSamples s = fromPayload(gps5Payload(countingFixes(18)), 1.0, 2.0);
        QCOMPARE(s.size(), size_t(1));
        QCOMPARE(s[0].timeS, 1);
        QCOMPARE(s[0].latDeg, 47.0);
        QCOMPARE(s[0].speedKmh, 0.0f);
    }

    // 0.5 … 1.5 s with 18 samples: t = 0 from sample 0 and t = 1 from
    // sample 9, each with its own values.
    void payloadAcrossASecond()
    {
        const GpsSamples s = fromPayload(gps5Payload(countingFixes(18)), 0.5, 1.5);
        QCOMPARE(s.size(), size_t(2));
        QCOMPARE(s[0].timeS, 0);
        QCOMPARE(s[0].latDeg, 47.0);
        QCOMPARE(s[1].timeS, 1);
        QCOMPARE(s[1].latDeg, 47.009);
        QCOMPARE(s[1].lonDeg, 8.009);
        QCOMPARE(s[1].speedKmh, float(9 * 3.6));
        QCOMPARE(s[1].altitudeM, 100.0);
    }

    // The first sample of a second wins across payloads too: a payload that
    // starts within a stored second adds only its later seconds.
    void firstSampleOfASecondWinsAcrossPayloads()
    {
        GpsSamples s = fromPayload(gps5Payload(countingFixes(10)), 0.0, 0.9);
        QCOMPARE(s.size(), size_t(1));
        const QByteArray second = gps5Payload(countingFixes(10));
        QCOMPARE(appendPayloadSamples(bytesOf(second), size_t(second.size()), 0.9, 1.8, s, noGeoid),
                 PayloadOutcome::Read);
        QCOMPARE(s.size(), size_t(2));
        QCOMPARE(s[1].timeS, 1);
        QCOMPARE(s[1].latDeg, 47.002);  // sample 2 of the second payload starts 1.08 s
    }

    // Ellipsoid heights get the geoid correction (100 m where N = +40 m is
    // stored as 60 m); without the model they stay. Streams that give heights
    // above mean sea level (GPSA "MSLV", the drone's GPRI) are not corrected.
    void heights()
    {
        QCOMPARE(fromPayload(gps5Payload(countingFixes(1)), 0, 1, undulation40)[0].altitudeM, 60.0);
        QCOMPARE(fromPayload(gps9Payload(countingFixes(1)), 0, 1, undulation40)[0].altitudeM, 60.0);
        QCOMPARE(fromPayload(gps5Payload(countingFixes(1)), 0, 1, noGeoid)[0].altitudeM, 100.0);
        QCOMPARE(fromPayload(gps5Payload(countingFixes(1), true), 0, 1, undulation40)[0].altitudeM, 100.0);
        QCOMPARE(fromPayload(gpriPayload(countingFixes(1)), 0, 1, undulation40)[0].altitudeM, 100.0);
        // The program's own geoid set-up without its model file: raw heights.
        QVERIFY(!geoidAvailable());
        QCOMPARE(fromPayload(gps5Payload(countingFixes(1)), 0, 1, geoidCorrection)[0].altitudeM, 100.0);
    }

    // Which stream a payload is read from, and the elements each gives.
    void streamChoice()
    {
        // GPRI: latitude, longitude, altitude from elements 1-3, ground speed
        // from element 6.
        GpsSamples s = fromPayload(gpriPayload(countingFixes(3)), 0, 3);
        QCOMPARE(s.size(), size_t(3));
        QCOMPARE(s[2].latDeg, 47.002);
        QCOMPARE(s[2].lonDeg, 8.002);
        QCOMPARE(s[2].speedKmh, float(1.0 * 3.6));  // 2D speed 0.5 × 2
        // GPS9 only: its own layout, 3D speed.
        s = fromPayload(gps9Payload(countingFixes(3)), 0, 3);
        QCOMPARE(s.size(), size_t(3));
        QCOMPARE(s[2].latDeg, 47.002);
        QCOMPARE(s[2].speedKmh, float(2 * 3.6));
        // GPS5 wins over GPS9 (HERO11 writes both, with different samples).
        const QByteArray hero11 = splitPayloads(readData("gpmf/hero11.raw"))[10];
        s = fromPayload(hero11, 10, 11);
        QCOMPARE(s.size(), size_t(1));
        QCOMPARE(s[0].latDeg, 42.4261381);
        QCOMPARE(s[0].speedKmh, float(0.4 * 3.6));
        // GPRI when there is no GPS5: the drone's position, not its clock.
        s = fromPayload(readData("gpmf/karma.raw"), 0, 1);
        QCOMPARE(s.size(), size_t(1));
        QCOMPARE(s[0].latDeg, 33.125368);
        QCOMPARE(s[0].lonDeg, -117.3310641);
        QCOMPARE(s[0].altitudeM, 15.445);
        QCOMPARE(s[0].speedKmh, float(0.59 * 3.6));
        // No GPS stream at all.
        PayloadOutcome o;
        QVERIFY(fromPayload(payloadWithoutGps(), 0, 1, noGeoid, &o).empty());
        QCOMPARE(o, PayloadOutcome::NoGps);
    }

    // Damaged GPS items are skipped, whole payloads with them.
    void damagedPayloads_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<int>("outcome");
        const QByteArray good = gps5Payload(countingFixes(2));
        QByteArray truncated = good.left(good.size() - 8);
        QTest::newRow("cut short") << truncated << int(PayloadOutcome::Damaged);
        QTest::newRow("empty") << QByteArray() << int(PayloadOutcome::Damaged);
        QTest::newRow("three elements") << nest("DEVC", nest("STRM", klv("GPS5", 'l', 12, QByteArray(24, 1))))
                                        << int(PayloadOutcome::Damaged);
        QTest::newRow("zero divisor")
            << nest("DEVC", nest("STRM", klv("SCAL", 'l', 4, int32s({0})) + klv("GPS5", 'l', 20, QByteArray(20, 1))))
            << int(PayloadOutcome::Damaged);
        QTest::newRow("GPRI without TYPE") << nest("DEVC", nest("STRM", klv("GPRI", '?', 30, QByteArray(30, 1))))
                                           << int(PayloadOutcome::Damaged);
        QTest::newRow("no samples") << nest("DEVC", nest("STRM", klv("GPS5", 'l', 20, QByteArray(), 0)))
                                    << int(PayloadOutcome::Read);
    }

    void damagedPayloads()
    {
        QFETCH(QByteArray, payload);
        QFETCH(int, outcome);
        PayloadOutcome o;
        QVERIFY(fromPayload(payload, 0, 1, noGeoid, &o).empty());
        QCOMPARE(int(o), outcome);
    }

    // Samples without a usable value (NaN floats) are left out; sample times
    // beyond any movie end the reading.
    void unusableValuesAndTimes()
    {
        QByteArray samples = be32(0x7FC00000) + be32(0) + be32(0) + be32(0) + be32(0);  // NaN latitude
        samples += be32(0x42400000) + be32(0x41000000) + be32(0) + be32(0) + be32(0);  // 48, 8
        const QByteArray p = nest("DEVC", nest("STRM", klv("GPS5", 'f', 20, samples)));
        GpsSamples s = fromPayload(p, 0, 1);
        QCOMPARE(s.size(), size_t(1));
        QCOMPARE(s[0].latDeg, 48.0);
        PayloadOutcome o;
        QVERIFY(fromPayload(gps5Payload(countingFixes(2)), 3e9, 3e9 + 1, noGeoid, &o).empty());
        QCOMPARE(o, PayloadOutcome::NoTiming);
        QVERIFY(fromPayload(gps5Payload(countingFixes(2)), NAN, 1, noGeoid, &o).empty());
        QCOMPARE(o, PayloadOutcome::NoTiming);
    }

    // At most 4000 points are stored; the rest of the movie is not read.
    void pointCap()
    {
        std::vector<QByteArray> payloads(4100, gps5Payload(countingFixes(1)));
        GpsReadStats stats;
        const GpsSamples s = fromMovie(buildMovie(movieOf(payloads)), noGeoid, &stats);
        QCOMPARE(s.size(), size_t(MAX_POINTS));
        QCOMPARE(s.back().timeS, MAX_POINTS - 1);
        QCOMPARE(stats.payloadsRead, uint32_t(MAX_POINTS));
    }

    // Every index layout gives the same points (byte-level checks of the
    // layouts: test_mp4source); a damaged payload is skipped and the rest
    // read; an unreadable payload ends the reading with the points read so
    // far kept.
    void goodAndDamagedMovies()
    {
        std::vector<QByteArray> payloads;
        for (int i = 0; i < 9; ++i)
            payloads.push_back(gps5Payload(countingFixes(18, 100 + i)));
        const GpsSamples reference = fromMovie(buildMovie(movieOf(payloads)));
        QCOMPARE(reference.size(), size_t(9));
        QCOMPARE(reference[8].altitudeM, 108.0);
        for (bool co64 : {false, true}) {
            for (const std::vector<TestChunkRun> &runs : {std::vector<TestChunkRun>{}, {{1, 4}, {2, 1}, {3, 2}}}) {
                TestMovie m = movieOf(payloads);
                m.tracks[0].co64 = co64;
                m.tracks[0].stsc = runs;
                m.tracks.push_back(repairDataTrack(3));
                QVERIFY(sameSamples(fromMovie(buildMovie(m)), reference));
            }
        }

        // Payload 4 with a KLV size past its end: skipped, the others read.
        std::vector<QByteArray> damaged = payloads;
        damaged[4][7] = char(0xFF);
        GpsReadStats stats;
        GpsSamples s = fromMovie(buildMovie(movieOf(damaged)), noGeoid, &stats);
        QCOMPARE(s.size(), size_t(8));
        QCOMPARE(s[4].timeS, 5);
        QCOMPARE(stats.payloadsDamaged, 1u);

        // The movie cut inside payload 6 (index first): payloads 0-5 kept.
        TestMovie m = movieOf(payloads);
        m.moovFirst = true;
        const QByteArray movie = buildMovie(m);
        const int cut = movie.lastIndexOf("DEVC", movie.lastIndexOf("DEVC", movie.lastIndexOf("DEVC") - 1) - 1) + 10;
        s = fromMovie(movie.left(cut));
        QCOMPARE(s.size(), size_t(6));
        QVERIFY(sameSamples(s, GpsSamples(reference.begin(), reference.begin() + 6)));

        // No timing at all: nothing is read.
        m = movieOf(payloads);
        m.tracks[0].writeStts = false;
        QVERIFY(fromMovie(buildMovie(m)).empty());
    }

    // Into the store: the last stored second is the file's modification time
    // read as local time; 12:00:40 with t = 40 last gives 12:00:00 first.
    void blockFillAndStartTime()
    {
        std::vector<QByteArray> payloads;
        for (int i = 0; i <= 40; ++i)
            payloads.push_back(gps5Payload({{46.0 + i / 1000.0, 7.0, 500.0 + i, 1.0, 2.0}}));
        const QDate day(2024, 7, 14);
        const QDateTime modified(day, QTime(12, 0, 40), Qt::LocalTime);
        const QString path = placeMovie("GX010040.MP4", buildMovie(movieOf(payloads)), modified);
        QVERIFY(!path.isEmpty());

        MovieBlock &b = track().block[3];
        b.movieFile = QFileInfo(path);
        const GoProReadResult r = readGoProTelemetry(3);
        QCOMPARE(r.pointsStored, 41);
        QVERIFY(r.gpmfTrackFound);
        QVERIFY(r.useArrowVehicle);
        QCOMPARE(r.payloadsRead, 41);
        QCOMPARE(b.numPoints, 41);
        QCOMPARE(qint64(b.gpsTime[0]), QDateTime(day, QTime(12, 0, 0), Qt::LocalTime).toSecsSinceEpoch());
        QCOMPARE(qint64(b.gpsTime[40]), modified.toSecsSinceEpoch());
        QCOMPARE(qint64(b.gpsTime[0]), QDateTime(day, QTime(19, 0, 0), Qt::UTC).toSecsSinceEpoch());
        QCOMPARE(b.lat[40], 46.04);
        QCOMPARE(b.lon[0], 7.0);
        QCOMPARE(b.altitude[40], 540.0);
        QCOMPARE(b.speed[0], 7.2f);
        QVERIFY(b.hasAltitude);
        QVERIFY(!b.hasSats);
        QCOMPARE(b.telemetryFile.absoluteFilePath(), QFileInfo(path).absoluteFilePath());
    }

    // Movies the reader cannot use leave their block as it was.
    void blocksWithoutTelemetry()
    {
        const QString noGps = placeMovie("nogps.mp4", buildMovie(movieOf({payloadWithoutGps()})),
                                         QDateTime::currentDateTime());
        TestMovie fdscOnly;
        fdscOnly.tracks = {repairDataTrack()};
        const QString sos = placeMovie("sos.mp4", buildMovie(fdscOnly), QDateTime::currentDateTime());
        MovieBlock &b = track().block[0];
        for (const QString &path : {noGps, sos, dir_.filePath("missing.mp4"), QString()}) {
            b.movieFile = QFileInfo(path);
            const GoProReadResult r = readGoProTelemetry(0);
            QCOMPARE(r.pointsStored, 0);
            QCOMPARE(r.gpmfTrackFound, path == noGps);
            QCOMPARE(b.numPoints, 0);
            QVERIFY(!b.hasAltitude);
            QVERIFY(b.telemetryFile.filePath().isEmpty());
        }
        QCOMPARE(readGoProTelemetry(-1).pointsStored, 0);
        QCOMPARE(readGoProTelemetry(MAX_BLOCKS).pointsStored, 0);
    }

    // Real movies end to end. max-heromode.mp4 (GPS5): eleven points whose
    // values were decoded by hand from its payloads. Its sample table gives
    // ten payloads of 1.001 s and a last one of 0.533 s: each payload starts
    // within its own second, so every point is its payload's first sample
    // (the average, 0.958 s, started the last payload 0.43 s early, in the
    // second before, and point 10 was a later sample of it).
    void maxMovie()
    {
        const QDateTime modified(QDate(2020, 1, 5), QTime(10, 0, 0), Qt::LocalTime);
        const QString path = placeMovie("max-heromode.mp4", readData("gpmf/max-heromode.mp4"), modified);
        MovieBlock &b = track().block[0];
        b.movieFile = QFileInfo(path);
        QCOMPARE(readGoProTelemetry(0).pointsStored, 11);
        QCOMPARE(b.lat[0], 33.12677);
        QCOMPARE(b.lon[0], -117.3273436);
        QCOMPARE(b.altitude[0], -22.959);
        QCOMPARE(b.speed[0], 3.6f);
        QCOMPARE(b.lat[6], 33.1267087);  // sample 0 of payload 6
        QCOMPARE(b.lat[10], 33.1266707);  // sample 0 of payload 10, at 10.010 s
        QCOMPARE(b.altitude[10], -23.515);
        QCOMPARE(qint64(b.gpsTime[10]), modified.toSecsSinceEpoch());
        QCOMPARE(qint64(b.gpsTime[0]), modified.toSecsSinceEpoch() - 10);
    }

    // karma.mp4 holds the drone's GPRI only: positions near 33.1254 N,
    // 117.331 W, equal to the independent tool's karma.csv (which starts one
    // second later, at the second payload).
    void karmaMovie()
    {
        const QString path = placeMovie("karma.mp4", readData("gpmf/karma.mp4"), QDateTime::currentDateTime());
        MovieBlock &b = track().block[0];
        b.movieFile = QFileInfo(path);
        QCOMPARE(readGoProTelemetry(0).pointsStored, 12);
        for (int i = 0; i < 12; ++i) {
            QVERIFY(qAbs(b.lat[i] - 33.1254) < 0.001);
            QVERIFY(qAbs(b.lon[i] + 117.331) < 0.001);
            QVERIFY(b.altitude[i] > 15 && b.altitude[i] < 17);
        }
        const std::vector<CsvRow> rows = csvRows("gpmf/karma.csv", QByteArray());
        QCOMPARE(rows.size(), size_t(11));
        for (int i = 0; i < 11; ++i) {
            QVERIFY(qAbs(b.lat[i + 1] - rows[size_t(i)].lat) < 1e-7);
            QVERIFY(qAbs(b.lon[i + 1] - rows[size_t(i)].lon) < 1e-7);
            QVERIFY(qAbs(b.altitude[i + 1] - rows[size_t(i)].elevation) < 1e-3);
        }
        QCOMPARE(b.speed[11], float(8.06 * 3.6));
    }

    // Whole tracks of HERO11 (GPS5 and GPS9) and HERO13 (GPS9 only) put into
    // movies with half-second payloads, as the cameras write them. Point t
    // comes from payload 2t; its position must equal the independent tool's
    // row for that payload's sample. Tolerance 1e-7 degrees (about 1 cm): both
    // sides are the same int32 ÷ 10^7 values and the tool prints 7 decimals,
    // so any larger difference is a decoding fault. Heights (GPSA "MSLV", no
    // correction) to the tool's 3 printed decimals.
    void wholeTracksAgainstIndependentTool_data()
    {
        QTest::addColumn<QString>("track");
        QTest::addColumn<QString>("csv");
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<int>("payloads");
        QTest::newRow("hero11 reads GPS5") << "gpmf/hero11.bin" << "gpmf/hero11.csv" << QByteArray("GPS5") << 679;
        QTest::newRow("hero13 reads GPS9") << "gpmf/hero13.bin" << "gpmf/hero13.csv" << QByteArray("GPS9") << 407;
    }

    void wholeTracksAgainstIndependentTool()
    {
        QFETCH(QString, track);
        QFETCH(QString, csv);
        QFETCH(QByteArray, stream);
        QFETCH(int, payloads);
        const std::vector<QByteArray> p = splitPayloads(readData(track));
        QCOMPARE(int(p.size()), payloads);
        const std::vector<CsvRow> rows = csvRows(csv, stream);
        QCOMPARE(int(rows.size()), payloads);

        const GpsSamples s = fromMovie(buildMovie(movieOf(p, 500)), undulation40);
        QCOMPARE(int(s.size()), (payloads + 1) / 2);
        for (size_t i = 0; i < s.size(); ++i) {
            const CsvRow &row = rows[size_t(2 * s[i].timeS)];
            QCOMPARE(s[i].timeS, int(i));
            QVERIFY2(qAbs(s[i].latDeg - row.lat) < 1e-7 && qAbs(s[i].lonDeg - row.lon) < 1e-7,
                     qPrintable(QString("point %1").arg(i)));
            QVERIFY(qAbs(s[i].altitudeM - row.elevation) < 1e-3);
        }
    }

    // Which movies are GoPro movies: a "meta" track described as "gpmd".
    void gpmfTrackDetection()
    {
        QVERIFY(hasGpmfTrack(dataPath("gpmf/max-heromode.mp4")));
        QVERIFY(hasGpmfTrack(dataPath("gpmf/karma.mp4")));
        TestMovie both = movieOf({gps5Payload(countingFixes(1))});
        both.tracks.insert(both.tracks.begin(), repairDataTrack());
        QVERIFY(hasGpmfTrack(placeMovie("both.mp4", buildMovie(both), QDateTime::currentDateTime())));
        TestMovie fdscOnly;
        fdscOnly.tracks = {repairDataTrack()};
        QVERIFY(!hasGpmfTrack(placeMovie("fdsc.mp4", buildMovie(fdscOnly), QDateTime::currentDateTime())));
        TestMovie wrongHandler = movieOf({gps5Payload(countingFixes(1))});
        wrongHandler.tracks[0].handler = "data";
        QVERIFY(!hasGpmfTrack(placeMovie("data.mp4", buildMovie(wrongHandler), QDateTime::currentDateTime())));
        QVERIFY(!hasGpmfTrack(dataPath("gpmf/hero5.raw")));
        QVERIFY(!hasGpmfTrack(dataPath("gpmf/nothing-here.mp4")));
        QVERIFY(!hasGpmfTrack(QString()));
    }
};

QTEST_GUILESS_MAIN(TestGoProReader)
#include "test_goproreader.moc"
