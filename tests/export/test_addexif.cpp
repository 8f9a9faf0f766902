// Snapshot names, the position from the tick's point as addexif arguments,
// and an addexif that fails, hangs or cannot start; addexif, the program,
// read back with libexiv2; every bad argument refused, the file left alone.
#include "export/snapshot.h"
#include "support/exifread.h"
#include "support/testsupport.h"

#include <QImage>
#include <QtTest>

using namespace vx;
using vxtest::exifTag;

class TestAddexif : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_source;
    int run(const QStringList &args, QString *error = nullptr)
    {
        QProcess p;
        p.start(QStringLiteral(VX_BIN_DIR "/addexif"), args);
        if (!p.waitForFinished(10000))
            return -1;
        if (error)
            *error = QString::fromLocal8Bit(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_source = m_dir.filePath(QStringLiteral("camera.jpg"));
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        QVERIFY(picture.save(m_source, "JPG"));
        // What a camera wrote before: a make and a stale GPS position.
        auto image = Exiv2::ImageFactory::open(m_source.toStdString());
        image->readMetadata();
        image->exifData()["Exif.Image.Make"] = "TestCam";
        image->exifData()["Exif.GPSInfo.GPSAltitude"] = Exiv2::URational(999, 1);
        image->writeMetadata();
    }
    void positions_data()
    {
        QTest::addColumn<QStringList>("numbers");  // LAT LON ALT
        QTest::addColumn<QString>("expected");     // refs, rationals, altitude ref, altitude
        QTest::newRow("south-west, below sea level") << QStringList{"-33.8688197", "-151.2092955", "-12.25"}
                                                     << "S|33/1 52/1 77509/10000|W|151/1 12/1 334638/10000|1|1225/100";
        QTest::newRow("north-east, no altitude") << QStringList{"46.5", "7.25", ""}
                                                 << "N|46/1 30/1 0/10000|E|7/1 15/1 0/10000|<none>|<none>";
        QTest::newRow("seconds carried into the next degree") << QStringList{"10.99999999", "+179.9999999", "0"}
                                                              << "N|11/1 0/1 0/10000|E|179/1 59/1 599996/10000|0|0/100";
        QTest::newRow("the poles and the date line") << QStringList{"-90", "-180.0000000", "8848.86"}
                                                     << "S|90/1 0/1 0/10000|W|180/1 0/1 0/10000|0|884886/100";
        QTest::newRow("no position, in place") << QStringList{"", "", ""} << "<none>|<none>|<none>|<none>|<none>|999/1";
    }
    void positions()
    {
        QFETCH(QStringList, numbers);
        QFETCH(QString, expected);
        const bool inPlace = numbers.first().isEmpty();  // as the snapshot runs it
        const QString out = m_dir.filePath(QStringLiteral("out.jpg"));
        QFile::remove(out);
        QVERIFY(!inPlace || QFile::copy(m_source, out));
        QString error;
        QCOMPARE(run(QStringList{inPlace ? out : m_source, out, "Created by Volantix"} + numbers, &error), 0);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(exifTag(out, {"GPSLatitudeRef", "GPSLatitude", "GPSLongitudeRef", "GPSLongitude", "GPSAltitudeRef",
                               "GPSAltitude"}),
                 expected);  // without a position the camera's altitude stays
        QCOMPARE(exifTag(out, {"GPSVersionID", "GPSMapDatum", "Exif.Image.Make", "Exif.Photo.UserComment"}),
                 QString(inPlace ? "<none>|<none>" : "2 2 0 0|WGS-84") + "|TestCam|charset=Ascii Created by Volantix");
        auto image = Exiv2::ImageFactory::open(out.toStdString());
        image->readMetadata();
        QCOMPARE(image->comment(), std::string("Created by Volantix"));
        QCOMPARE(QImage(out).size(), QSize(64, 48));
        QVERIFY(QDir(m_dir.path()).entryList({QStringLiteral(".addexif-*")}, QDir::Hidden | QDir::Files).isEmpty());
    }

    // Every bad argument: status 2 (1 for a file that is no JPEG or is
    // missing), a message, and nothing written.
    void badArguments()
    {
        const QString target = m_dir.filePath(QStringLiteral("bad.jpg"));
        const QString notJpeg = m_dir.filePath(QStringLiteral("text.jpg"));
        const QString missing = m_dir.filePath(QStringLiteral("missing.jpg"));
        QFile::remove(target);
        QVERIFY(QFile::copy(m_source, target) && vxtest::writeFile(notJpeg, "plain text\n"));
        const QByteArray before = vxtest::readFile(target);
        const QList<QPair<QStringList, int>> cases = {
            {{"1", "2"}, 2}, {{"1", "2", "3", "4"}, 2},                      // five and seven arguments
            {{"46,5", "7", ""}, 2}, {{"46.5x", "7", ""}, 2}, {{" 46.5", "7", ""}, 2}, {{"4.65e1", "7", ""}, 2},
            {{"nan", "7", ""}, 2}, {{"1", "inf", ""}, 2}, {{"90.0000001", "7", ""}, 2}, {{"1", "-181", ""}, 2},
            {{"1", "", ""}, 2}, {{"", "", "10"}, 2}, {{"1", "2", "ten"}, 2},   // half a position, altitude alone
            {{notJpeg, "1", "2", ""}, 1}, {{missing, "1", "2", ""}, 1},
        };
        for (const auto &c : cases) {
            const bool ownFile = c.second == 1;
            const QString file = ownFile ? c.first.first() : target;
            const QStringList args = QStringList{file, file, "c"} + (ownFile ? QStringList(c.first.mid(1)) : c.first);
            QString error;
            QCOMPARE(run(args, &error), c.second);
            QVERIFY2(!error.isEmpty(), qPrintable(args.join('|')));
        }
        QCOMPARE(vxtest::readFile(target), before);
        QCOMPARE(vxtest::readFile(notJpeg), QByteArray("plain text\n"));
        QVERIFY(!QFile::exists(missing));
    }

    void names()
    {
        const struct {
            const char *movie;
            double lat, lon;
            qint64 positionMs;
            int imageType;
            const char *name;
        } cases[] = {
            {"clip.MOV", 37.7749, -122.4194, 83450, 1, "clip.MOV_37.774900,-122.419400@1m23.45s.jpg"},
            {"GX010001.MP4", 0, 0, 0, 0, "GX010001.MP4_0.000000,0.000000@0m0.00s.png"},
            {"a b.mp4", -33.8688197, -151.2092956, 3600999, 7, "a b.mp4_-33.868820,-151.209296@60m1.00s.png"},
        };
        for (const auto &c : cases)
            QCOMPARE(snapshotFileName(c.movie, c.lat, c.lon, c.positionMs, snapshotExtension(c.imageType)),
                     QString::fromLatin1(c.name));
    }

    // positionMs, hasAltitude, relative altitude -> LAT LON ALT.
    void positionAndArguments()
    {
        const struct { qint64 positionMs; bool hasAltitude, relative; QStringList numbers; } cases[] = {
            {1000, true, false, {"-33.8688197", "-151.2092955", "-12.25"}},  // above sea level
            {1000, true, true, {"-33.8688197", "-151.2092955", ""}},         // height above take-off
            {1000, false, false, {"-33.8688197", "-151.2092955", ""}},       // no altitude
            {5000, true, false, {"", "", ""}},                               // past the telemetry
        };
        for (const auto &c : cases) {
            resetTrackStore();
            TrackStore &t = track();
            t.numBlocks = 1;
            t.relativeAltitude = c.relative;
            MovieBlock &m = t.block[0];
            m.numPoints = 2;
            m.duration = 10;
            m.timeFactor = 2;  // a time-lapse: the name shows the scaled position
            m.hasAltitude = c.hasAltitude;
            for (int i = 0; i < 2; ++i) {
                m.gpsTime[i] = 1000000 + static_cast<uint32_t>(i) * 2;
                m.lat[i] = -33.86881966;
                m.lon[i] = -151.20929554;
                m.altitude[i] = -12.25;
            }
            PlaybackMoment moment;
            moment.modifiedMs = 1000000LL * 1000 + 20000;
            moment.positionMs = c.positionMs;
            moment.totalOffsetSec = 0;
            const SnapshotPosition p = snapshotPosition(t, moment);
            QCOMPARE(p.positionMs, c.positionMs * 2);
            QCOMPARE(addexifArguments("/d/a.jpg", "/d/a.jpg", snapshotComment(), p),
                     QStringList({"/d/a.jpg", "/d/a.jpg", "Created by Volantix"}) + c.numbers);
        }
    }
    void runs()
    {
        QTemporaryDir dir;
        const struct {
            QByteArray script;
            bool executable;
            QString error;  // empty: success
        } cases[] = {
            {"[ \"$6\" = \"\" ] && exit 0; exit 3\n", true, QString()},
            {"echo one >&2; echo 'addexif: not a JPEG' >&2; exit 1\n", true, "one\naddexif: not a JPEG"},
            {"kill -9 $$\n", true, "addexif stopped unexpectedly."},
            {"exec sleep 30\n", true, "addexif did not finish within 0.4 seconds."},
            {"exit 0\n", false, "Could not start %1."},
        };
        int n = 0;
        for (const auto &c : cases) {
            const QString program = dir.filePath(QString::number(++n));
            QVERIFY(vxtest::writeFile(program, "#!/bin/sh\n" + c.script));
            QFile(program).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                          | (c.executable ? QFileDevice::ExeOwner : QFileDevice::Permission(0)));
            QElapsedTimer clock;
            clock.start();
            const AddexifResult r = runAddexif(nullptr, {"a", "b", "c", "1.0000000", "2.0000000", ""}, program, 400);
            QVERIFY(clock.elapsed() < 10000);
            QCOMPARE(r.ok, c.error.isEmpty());
            QCOMPARE(r.errorText, QString(c.error).replace("%1", program));
        }
    }
};

QTEST_MAIN(TestAddexif)
#include "test_addexif.moc"
