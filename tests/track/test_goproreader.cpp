// The GoPro reader: points per whole second, each camera's stream, the geoid, the start time, real movies and tracks
// against an independent tool's output, damaged movies.
#include "gpmfbuilder.h"
#include "mp4writer.h"
#include "settings/settings.h"
#include "support/testsupport.h"
#include "track/geoid.h"
#include "track/goproreader.h"
#include "track/gpmfgps.h"
#include "track/mp4source.h"
#include "track/trackstore.h"

#include <QtTest>
#include <ctime>

using namespace vx;
using namespace vxtest;

namespace {

const uint8_t *bytesOf(const QByteArray &b) { return reinterpret_cast<const uint8_t *>(b.constData()); }

QByteArray readData(const QString &name) { return readFile(dataPath(name)); }

// n fixes whose latitude (47 + k/1000) and 3D speed (k m/s) tell which sample a point came from.
std::vector<GpsFix> countingFixes(int n, double altitudeM = 100) {
    std::vector<GpsFix> fixes;
    for (int k = 0; k < n; ++k)
        fixes.push_back({47.0 + k / 1000.0, 8.0 + k / 1000.0, altitudeM, 0.5 * k, double(k)});
    return fixes;
}

// Geoid stand-ins: N = +40 m everywhere (correction −40), or no model.
bool undulation40(double, double, double *correctionM) { return *correctionM = -40, true; }
bool noGeoid(double, double, double *correctionM) { return *correctionM = 0, false; }

// Every sample as "second lat lon speed altitude".
QString text(const GpsSamples &s) {
    QStringList out;
    for (const GpsSample &p : s)
        out << QString("%1 %2 %3 %4 %5").arg(p.timeS).arg(p.latDeg, 0, 'g', 10).arg(p.lonDeg, 0, 'g', 10)
                   .arg(double(p.speedKmh), 0, 'g', 7).arg(p.altitudeM, 0, 'g', 10);
    return out.join(" | ");
}

GpsSamples fromMovie(const QByteArray &movie, GeoidCorrectionFn geoid = noGeoid, GpsReadStats *stats = nullptr) {
    GpsSamples s;
    GpsReadStats ignored;
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(movie);
    buffer->open(QIODevice::ReadOnly);
    if (auto source = Mp4Source::open(std::move(buffer)))
        *(stats ? stats : &ignored) = readGpsSamples(*source, s, geoid);
    return s;
}

// A position to the decimals the independent tool prints: both sides are the same int32 ÷ 10^n values.
QString fix(double lat, double lon, double heightM) {
    return QString("%1 %2 %3").arg(lat, 0, 'f', 7).arg(lon, 0, 'f', 7).arg(heightM, 0, 'f', 3);
}

// The independent tool's rows of one stream ("latitude","longitude","elevation",...,"name",...).
QStringList csvFixes(const QString &name, const QByteArray &stream) {
    QStringList rows;
    for (const QByteArray &line : readData(name).split('\n').mid(1)) {
        const QList<QByteArray> f = line.split(',');
        auto field = [&](int i) { return f[i].mid(1, f[i].size() - 2); };
        if (f.size() >= 6 && field(5) == stream)
            rows << fix(field(0).toDouble(), field(1).toDouble(), field(2).toDouble());
    }
    return rows;
}

} // namespace

class TestGoProReader : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    // A copy of `movie` in the temporary folder, last modified at `modified`.
    QString placeMovie(const QString &name, const QByteArray &movie, const QDateTime &time = QDateTime::currentDateTime()) {
        QFile f(dir_.filePath(name));
        const bool ok = writeFile(f.fileName(), movie) && f.open(QIODevice::ReadWrite);
        return ok && f.setFileTime(time, QFileDevice::FileModificationTime) ? f.fileName() : QString();
    }
    // Reads the movie at `path` into block 0.
    GoProReadResult readBlock(const QString &path) {
        track().block[0].movieFile = QFileInfo(path);
        return readGoProTelemetry(0);
    }

private slots:
    void initTestCase() {
        // Local time differs from UTC here, so the local reading of the modification time is visible.
        qputenv("TZ", "America/Los_Angeles");
        tzset();
        setupGeoid(dir_.filePath("no-geoid-here"));
        QVERIFY(!geoidAvailable());
    }

    void init() {
        setDefaultSettings();
        resetTrackStore();
    }
    // Payloads read alone: one point per whole second, its first sample; GPRI elements 1-3 and 6; ellipsoid heights
    // corrected (N = +40 m; the program's own without its model: none), GPRI's not (GPS5 over GPS9 and "MSLV": the
    // whole tracks below). Damaged items skip the payload; NaN samples are left out; times beyond any movie end it.
    void payloads_data() {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("end");
        QTest::addColumn<int>("geoid");  // 0 no model, 1 N = +40 m, 2 the program's own
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("samples");
        const QByteArray good = gps5Payload(countingFixes(2));
        const int read = int(PayloadOutcome::Read), damaged = int(PayloadOutcome::Damaged);
        const int noTiming = int(PayloadOutcome::NoTiming);
        QTest::newRow("a whole second, GPS5 corrected") << gps5Payload(countingFixes(18)) << 1.0 << 2.0 << 1 << read
                                                        << "1 47 8 0 60";
        QTest::newRow("half a second late") << gps5Payload(countingFixes(18)) << 0.5 << 1.5 << 0 << read
                                            << "0 47 8 0 100 | 1 47.009 8.009 32.4 100";
        QTest::newRow("program's geoid, no model") << good << 0.0 << 0.1 << 2 << read << "0 47 8 0 100";
        QTest::newRow("karma: GPRI") << readData("gpmf/karma.raw") << 0.0 << 1.0 << 1 << read
                                     << "0 33.125368 -117.3310641 " + QString::number(double(float(0.59 * 3.6))) + " 15.445";
        QTest::newRow("GPS9") << gps9Payload(countingFixes(3)) << 0.0 << 3.0 << 1 << read
                              << "0 47 8 0 60 | 1 47.001 8.001 3.6 60 | 2 47.002 8.002 7.2 60";
        QTest::newRow("no GPS") << payloadWithoutGps() << 0.0 << 1.0 << 0 << int(PayloadOutcome::NoGps) << "";
        QTest::newRow("cut short") << good.left(good.size() - 8) << 0.0 << 1.0 << 0 << damaged << "";
        QTest::newRow("three elements") << nest("DEVC", nest("STRM", klv("GPS5", 'l', 12, QByteArray(24, 1)))) << 0.0 << 1.0
                                        << 0 << damaged << "";
        QTest::newRow("zero divisor")
            << nest("DEVC", nest("STRM", klv("SCAL", 'l', 4, int32s({0})) + klv("GPS5", 'l', 20, QByteArray(20, 1)))) << 0.0
            << 1.0 << 0 << damaged << "";
        QTest::newRow("no samples") << nest("DEVC", nest("STRM", klv("GPS5", 'l', 20, QByteArray(), 0))) << 0.0 << 1.0 << 0
                                    << read << "";
        const QByteArray floats = int32s({0x7FC00000, 0, 0, 0, 0, 0x42400000, 0x41000000, 0, 0, 0});  // NaN, then 48 8
        QTest::newRow("NaN sample") << nest("DEVC", nest("STRM", klv("GPS5", 'f', 20, floats))) << 0.0 << 1.0 << 0 << read
                                    << "0 48 8 0 0";
        QTest::newRow("beyond any movie") << good << 3e9 << 3e9 + 1 << 0 << noTiming << "";
        QTest::newRow("NaN time") << good << double(NAN) << double(NAN) << 0 << noTiming << "";
    }
    void payloads() {
        QFETCH(QByteArray, payload);
        QFETCH(double, start);
        QFETCH(double, end);
        QFETCH(int, geoid);
        GpsSamples s;
        const PayloadOutcome o = appendPayloadSamples(bytesOf(payload), size_t(payload.size()), start, end, s,
                                                      geoid == 2 ? geoidCorrection : geoid ? undulation40 : noGeoid);
        QTEST(text(s), "samples");
        QTEST(int(o), "outcome");
    }
    // A payload starting within a stored second adds only later seconds.
    void acrossPayloads() {
        GpsSamples s;
        const QByteArray p = gps5Payload(countingFixes(10));
        QVERIFY(appendPayloadSamples(bytesOf(p), size_t(p.size()), 0.0, 0.9, s, noGeoid) == PayloadOutcome::Read
                && appendPayloadSamples(bytesOf(p), size_t(p.size()), 0.9, 1.8, s, noGeoid) == PayloadOutcome::Read);
        QCOMPARE(text(s), "0 47 8 0 100 | 1 47.002 8.002 7.2 100");
    }
    // A damaged payload is skipped; an unreadable one ends the reading, the points so far kept. At most 4000 points
    // are stored; the rest of the movie is not read.
    void goodDamagedAndLongMovies() {
        GpsReadStats stats;
        const std::vector<QByteArray> longMovie(4100, gps5Payload(countingFixes(1)));
        const GpsSamples many = fromMovie(buildMovie(movieOf(longMovie)), noGeoid, &stats);
        QCOMPARE(QString("%1 %2 %3").arg(many.size()).arg(many.back().timeS).arg(stats.payloadsRead),
                 QString("%1 %2 %1").arg(MAX_POINTS).arg(MAX_POINTS - 1));
        std::vector<QByteArray> payloads;
        for (int i = 0; i < 9; ++i)
            payloads.push_back(gps5Payload(countingFixes(18, 100 + i)));
        const QString reference = text(fromMovie(buildMovie(movieOf(payloads))));
        QVERIFY(reference.count(" | ") == 8 && reference.endsWith("8 47 8 0 108"));
        // Payload 4 with a KLV size past its end: skipped, the others read.
        std::vector<QByteArray> damaged = payloads;
        damaged[4][7] = char(0xFF);
        const GpsSamples s = fromMovie(buildMovie(movieOf(damaged)), noGeoid, &stats);
        QCOMPARE(QString("%1 %2 %3").arg(s.size()).arg(s[4].timeS).arg(stats.payloadsDamaged), "8 5 1");
        // The movie cut inside payload 6 (index first): payloads 0-5 kept.
        TestMovie m = movieOf(payloads);
        m.moovFirst = true;
        const QByteArray movie = buildMovie(m);
        const int cut = movie.lastIndexOf("DEVC", movie.lastIndexOf("DEVC", movie.lastIndexOf("DEVC") - 1) - 1) + 10;
        QCOMPARE(text(fromMovie(movie.left(cut))), reference.section(" | ", 0, 5));
        // No timing at all: nothing is read.
        m.tracks[0].writeStts = false;
        QVERIFY(fromMovie(buildMovie(m)).empty());
    }
    // Into the store: the last second is the modification time read as local time (12:00:40 at t = 40).
    void blockFillAndStartTime() {
        std::vector<QByteArray> payloads;
        for (int i = 0; i <= 40; ++i)
            payloads.push_back(gps5Payload({{46.0 + i / 1000.0, 7.0, 500.0 + i, 1.0, 2.0}}));
        const QDateTime modified(QDate(2024, 7, 14), QTime(12, 0, 40), Qt::LocalTime);
        const QString path = placeMovie("GX010040.MP4", buildMovie(movieOf(payloads)), modified);
        const GoProReadResult r = readBlock(path);
        const MovieBlock &b = track().block[0];
        QVERIFY(r.gpmfTrackFound && r.useArrowVehicle);
        QCOMPARE(QString("%1 %2 %3").arg(r.pointsStored).arg(r.payloadsRead).arg(b.numPoints), "41 41 41");
        QCOMPARE(qint64(b.gpsTime[0]), QDateTime(QDate(2024, 7, 14), QTime(19, 0, 0), Qt::UTC).toSecsSinceEpoch());
        QCOMPARE(qint64(b.gpsTime[40]), modified.toSecsSinceEpoch());
        QCOMPARE(pointText(b, 0, "yxav") + " | " + pointText(b, 40, "yxav"), "46 7 500 7.2 | 46.04 7 540 7.2");
        QVERIFY(b.hasAltitude && !b.hasSats);
        QCOMPARE(b.telemetryFile.absoluteFilePath(), QFileInfo(path).absoluteFilePath());
    }
    // GoPro movies have a "meta" track of "gpmd"; movies the reader cannot use leave their block as it was.
    void blocksWithoutTelemetry() {
        TestMovie fdscOnly;
        fdscOnly.tracks = {repairDataTrack()};
        const QString noGps = placeMovie("nogps.mp4", buildMovie(movieOf({payloadWithoutGps()})));
        const QString sos = placeMovie("sos.mp4", buildMovie(fdscOnly));
        for (const QString &path : {noGps, sos, dataPath("gpmf/nothing-here.mp4"), QString()}) {
            const GoProReadResult r = readBlock(path);
            QVERIFY(hasGpmfTrack(path) == (path == noGps) && r.gpmfTrackFound == (path == noGps));
            QVERIFY(r.pointsStored + track().block[0].numPoints == 0 && !track().block[0].hasAltitude);
            QVERIFY(track().block[0].telemetryFile.filePath().isEmpty());
        }
        QCOMPARE(readGoProTelemetry(-1).pointsStored + readGoProTelemetry(MAX_BLOCKS).pointsStored, 0);
    }
    // max-heromode.mp4: eleven points decoded by hand; ten payloads of 1.001 s and one of 0.533 s, each point its
    // payload's first sample (by the average duration point 10 was a later sample of payload 9). karma.mp4, the
    // drone's GPRI only: equal to the independent tool's karma.csv (from the second payload on).
    void realMovies() {
        QCOMPARE(readBlock(placeMovie("max-heromode.mp4", readData("gpmf/max-heromode.mp4"))).pointsStored, 11);
        const MovieBlock &b = track().block[0];
        QCOMPARE(pointText(b, 0, "yxav") + " | " + pointText(b, 6, "y") + " | " + pointText(b, 10, "ya"),
                 "33.12677 -117.3273436 -22.959 3.6 | 33.1267087 | 33.1266707 -23.515");
        QCOMPARE(readBlock(placeMovie("karma.mp4", readData("gpmf/karma.mp4"))).pointsStored, 12);
        QStringList points;
        for (int i = 1; i < 12; ++i)
            points << fix(b.lat[i], b.lon[i], b.altitude[i]);
        QCOMPARE(points, csvFixes("gpmf/karma.csv", QByteArray()));
        QVERIFY(qAbs(b.lat[0] - 33.1254) < 0.001 && qAbs(b.lon[0] + 117.331) < 0.001);
        QCOMPARE(b.speed[11], float(8.06 * 3.6));
    }
    // Whole HERO11 (GPS5 and GPS9: GPS5 read) and HERO13 (GPS9) tracks in half-second payloads: point t is the
    // independent tool's row 2t; heights above sea level ("MSLV") get no correction.
    void wholeTracksAgainstIndependentTool_data() {
        QTest::addColumn<QString>("camera");
        QTest::addColumn<QByteArray>("stream");
        QTest::newRow("hero11 reads GPS5") << "hero11" << QByteArray("GPS5");
        QTest::newRow("hero13 reads GPS9") << "hero13" << QByteArray("GPS9");
    }
    void wholeTracksAgainstIndependentTool() {
        QFETCH(QString, camera);
        QFETCH(QByteArray, stream);
        const std::vector<QByteArray> p = splitPayloads(readData("gpmf/" + camera + ".bin"));
        const QStringList rows = csvFixes("gpmf/" + camera + ".csv", stream);
        QVERIFY(p.size() > 400 && p.size() == size_t(rows.size()));
        QStringList got, want;
        for (const GpsSample &s : fromMovie(buildMovie(movieOf(p, 500)), undulation40)) {
            got << QString::number(s.timeS) + ' ' + fix(s.latDeg, s.lonDeg, s.altitudeM);
            want << QString::number(got.size() - 1) + ' ' + rows.value(2 * (got.size() - 1));
        }
        QCOMPARE(got.size(), (rows.size() + 1) / 2);
        QCOMPARE(got, want);
    }
};

QTEST_GUILESS_MAIN(TestGoProReader)
#include "test_goproreader.moc"
