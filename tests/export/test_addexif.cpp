// The addexif program read back with libexiv2: the position as rationals,
// the altitude, the datum, both comments, the camera's tags kept; every bad
// argument refused and the file left alone.
#include "support/exifread.h"
#include "support/testsupport.h"

#include <QImage>
#include <QtTest>

using vxtest::exifTag;

class TestAddexif : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_source;
    // The addexif program's exit status (-1: it did not end normally).
    int run(const QStringList &args, QString *error)
    {
        QProcess p;
        p.start(QStringLiteral(VX_BIN_DIR "/addexif"), args);
        const bool ended = p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit;
        *error = QString::fromLocal8Bit(p.readAllStandardError());
        return ended ? p.exitCode() : -1;
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

    // LAT LON ALT -> refs, carried rationals, altitude; no position: in place.
    void positions()
    {
        const QList<QPair<QStringList, QString>> cases = {
            {{"-33.8688197", "-151.2092955", "-12.25"}, "S|33/1 52/1 77509/10000|W|151/1 12/1 334638/10000|1|1225/100"},
            {{"46.5", "7.25", ""}, "N|46/1 30/1 0/10000|E|7/1 15/1 0/10000|<none>|<none>"},
            {{"10.99999999", "+179.9999999", "0"}, "N|11/1 0/1 0/10000|E|179/1 59/1 599996/10000|0|0/100"},
            {{"-90", "-180.0000000", "8848.86"}, "S|90/1 0/1 0/10000|W|180/1 0/1 0/10000|0|884886/100"},
            {{"", "", ""}, "<none>|<none>|<none>|<none>|<none>|999/1"},  // the camera's altitude stays
        };
        for (const auto &c : cases) {
            const bool inPlace = c.first.first().isEmpty();
            const QString out = m_dir.filePath(QStringLiteral("out.jpg"));
            QFile::remove(out);
            QVERIFY(!inPlace || QFile::copy(m_source, out));
            QString error;
            QCOMPARE(run(QStringList{inPlace ? out : m_source, out, "Created by Volantix"} + c.first, &error), 0);
            QVERIFY2(error.isEmpty(), qPrintable(error));
            QCOMPARE(exifTag(out, {"GPSLatitudeRef", "GPSLatitude", "GPSLongitudeRef", "GPSLongitude",
                                   "GPSAltitudeRef", "GPSAltitude"}),
                     c.second);
            QCOMPARE(exifTag(out, {"GPSVersionID", "GPSMapDatum", "Exif.Image.Make", "Exif.Photo.UserComment"}),
                     QString(inPlace ? "<none>|<none>" : "2 2 0 0|WGS-84") + "|TestCam|charset=Ascii Created by Volantix");
            auto image = Exiv2::ImageFactory::open(out.toStdString());
            image->readMetadata();
            QCOMPARE(image->comment(), std::string("Created by Volantix"));
            QCOMPARE(QImage(out).size(), QSize(64, 48));
            QVERIFY(QDir(m_dir.path()).entryList({QStringLiteral(".addexif-*")}, QDir::Hidden | QDir::Files).isEmpty());
        }
    }

    // Bad arguments: status 2 (1: no JPEG, or missing), a message, nothing written.
    void badArguments()
    {
        const QString target = m_dir.filePath("bad.jpg"), notJpeg = m_dir.filePath("text.jpg"),
                      missing = m_dir.filePath("missing.jpg");
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
};

QTEST_MAIN(TestAddexif)
#include "test_addexif.moc"
