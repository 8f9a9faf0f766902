// Snapshots: names, the tick's position as addexif arguments, addexif runs
// that fail or hang, the addexif program read back with libexiv2 (every bad
// argument refused); the player window's commands on generated movies
// (EXIF position, PNG without addexif, the note once, no picture an error;
// "G" makes tags); the panel's labels whole or shortened at every layout.
#include "guitest.h"
#include "playerfixture.h"

#include "control/controlcenterdialog.h"
#include "control/geotagpanel.h"
#include "export/exiv2.h"
#include "export/geotagfile.h"
#include "export/snapshot.h"
#include "main/elidedlabel.h"
#include "main/loadcontroller.h"
#include "main/mainwindow.h"
#include "main/playbackcontroller.h"
#include "main/playerpanel.h"
#include "main/snapshotcommand.h"
#include "main/startup.h"
#include "main/windowmanager.h"
#include "views/viewhost.h"

#include <cstring>

using namespace vx;
using vxtest::addMovie;
using vxtest::flightStart;

namespace {

// The EXIF tags `keys` (short keys: GPS tags) of the image at `path` as exiv2
// writes them ("33/1 52/1 77509/10000", "S", "<none>"), joined by "|".
QString exifTag(const QString &path, std::initializer_list<const char *> keys)
{
    auto image = Exiv2::ImageFactory::open(path.toStdString());
    image->readMetadata();
    const Exiv2::ExifData &exif = image->exifData();
    QStringList values;
    for (const char *key : keys) {
        const auto it = exif.findKey(Exiv2::ExifKey(std::strchr(key, '.') ? key : std::string("Exif.GPSInfo.") + key));
        values << (it == exif.end() ? QStringLiteral("<none>") : QString::fromStdString(it->value().toString()));
    }
    return values.join(QLatin1Char('|'));
}

} // namespace

class TestSnapshotCommand : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_folder;  // S.MP4: 10 s, points 0 .. 9; E.MP4: 10 s without telemetry
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

    // Loaded, paused at `positionMs` of block `block`, its picture arrived.
    void showAt(MainWindow &w, int block, qint64 positionMs)
    {
        w.show();
        QVERIFY(w.loader()->loadFolder(m_folder));
        w.playback()->pause();
        w.playback()->jumpTo(block, positionMs);
        QTRY_COMPARE(w.player()->position(), positionMs);
        QTRY_VERIFY(!w.snapshots()->currentPicture().isNull());
    }

private slots:
    void initTestCase()
    {
        vxtest::silencePlatformWarnings();
        setApplicationIdentity();
        m_folder = m_dir.filePath(QStringLiteral("flight"));
        QVERIFY(m_dir.isValid() && QDir().mkpath(m_folder));
        QVERIFY(addMovie(m_folder, "play25.mp4", "S.MP4", flightStart(), 10, 10));
        QVERIFY(addMovie(m_folder, "play25.mp4", "E.MP4", flightStart().addSecs(60), 10, 0));
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
    void init()
    {
        vxtest::store().clear();
        vxtest::store().setValue(QStringLiteral("configuration/confVersion"), 1);
        vxtest::store().sync();
        QFile::remove(geotagStorePath());
        setDefaultSettings();
    }
    void snapshotsOnTheDesktop()
    {
        MainWindow w;
        const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
        QVERIFY(!QFileInfo::exists(desktop));
        showAt(w, 0, 4500);
        QCOMPARE(w.snapshots()->currentPicture().size(), QSize(64, 48));
        // The real addexif: point 4; heights above take-off give no altitude.
        settings().imageType = 1;
        vxtest::BoxAnswerer boxes({"OK"});
        const QString jpg = w.snapshots()->exportScreenshot();
        QCOMPARE(jpg, QDir(desktop).filePath("S.MP4_46.504000,7.500000@0m4.50s.jpg"));
        QCOMPARE(QImage(jpg).size(), QSize(64, 48));
        QCOMPARE(exifTag(jpg, {"GPSLatitude", "GPSLongitudeRef", "GPSAltitude", "Exif.Photo.UserComment"}),
                 "46/1 30/1 144000/10000|E|<none>|charset=Ascii Created by Volantix");
        // What the command passes: seven decimals, no altitude; PNG never runs it.
        const QString record = m_dir.filePath("args.txt"), fake = m_dir.filePath("fake-addexif");
        QVERIFY(vxtest::writeFile(fake, "#!/bin/sh\nprintf '%s|' \"$@\" >> '" + record.toUtf8() + "'\n"));
        QFile(fake).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        w.snapshots()->setExifTool(fake);
        w.snapshots()->exportScreenshot();
        settings().imageType = 0;
        const QString png = w.snapshots()->exportScreenshot();
        QCOMPARE(QFileInfo(png).fileName() + QString::number(QImage(png).width()),
                 QStringLiteral("S.MP4_46.504000,7.500000@0m4.50s.png64"));
        QCOMPARE(vxtest::readFile(record), (jpg + "|" + jpg + "|Created by Volantix|46.5040000|7.5000000||").toUtf8());
        QCOMPARE(boxes.texts, QStringList{"Note: JPG files are saved to desktop."});  // once
        QVERIFY(boxes.unexpected.isEmpty());
    }
    void noPointNoGpsAndNoPictureIsAnError()
    {
        MainWindow w;
        const QString folder = m_dir.filePath("shots/new");
        w.snapshots()->setFolder(folder);
        showAt(w, 1, 7000);
        settings().imageType = 1;
        vxtest::BoxAnswerer boxes({"OK"});
        const QString shot = w.snapshots()->exportScreenshot();
        QCOMPARE(QFileInfo(shot).fileName(), "E.MP4_0.000000,0.000000@0m7.00s.jpg");
        QCOMPARE(exifTag(shot, {"GPSLatitude", "GPSVersionID", "Exif.Photo.UserComment"}),
                 "<none>|<none>|charset=Ascii Created by Volantix");
        // Another movie chosen: no picture until its first frame, nothing written.
        w.playback()->selectMovie(0);
        QVERIFY(w.snapshots()->exportScreenshot().isEmpty());
        QTRY_COMPARE(boxes.texts.size(), 2);
        QVERIFY(boxes.texts[1].startsWith("There is no picture of the movie to save yet."));
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 1);
    }
    void geotagsAtTheTicksPoint()
    {
        MainWindow w;
        showAt(w, 0, 4500);
        QTest::keyClick(&w, Qt::Key_G);
        settings().timeBias = 2;
        w.playback()->recomputeTimeOffset();
        viewHost()->makeGeotag();
        const GeotagList &l = geotags();
        QCOMPARE(QList<int>({l.count, g_controlCenterDialog->geotagPanel()->rowCount()}), QList<int>({2, 2}));
        QCOMPARE(l.tag[0].lat, track().block[0].lat[4]);
        QCOMPARE(l.tag[0].dateTime, flightStart().addMSecs(4500));
        // The time bias moves the second tag's point two seconds on.
        QCOMPARE(QList<qint64>({l.tag[0].pointIndex, l.tag[0].moviePoint, l.tag[1].pointIndex}),
                 QList<qint64>({4, 4500, 6}));
    }

    // The panel's longest labels at each layout: whole or shortened with "…", inside.
    void labelsAreWholeOrShortened_data()
    {
        QTest::addColumn<QSize>("screen");  // empty: this screen's default layout; 0 x 0: minimum width
        QTest::addColumn<bool>("gps");
        for (bool gps : {false, true}) {
            const QByteArray kind = gps ? " with speed" : " without GPS";
            QTest::newRow(("default layout" + kind).constData()) << QSize() << gps;
            QTest::newRow(("1280x1024 screen" + kind).constData()) << QSize(1280, 1024) << gps;
            QTest::newRow(("1920x1080 screen" + kind).constData()) << QSize(1920, 1080) << gps;
            QTest::newRow(("minimum width" + kind).constData()) << QSize(0, 0) << gps;
        }
    }
    void labelsAreWholeOrShortened()
    {
        QFETCH(QSize, screen);
        QFETCH(bool, gps);
        MainWindow w;
        PlayerPanel *p = w.panel();
        const WindowPlace player = screen.isValid() && !screen.isEmpty()
                                       ? computeDefaultLayout(screen, 30).player
                                       : w.windows()->layout().player;
        w.resize(screen.isEmpty() && screen.isValid() ? QSize(1, player.size.height()) : player.size);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.setGpsPresent(gps);
        const QString date = QLocale().toString(QDateTime(QDate(2026, 9, 30), QTime(23, 59, 59)), QLocale::LongFormat);
        const QList<QPair<QLabel *, QString>> texts = {
            {p->speedLabel, gps ? "188 km/h" : p->speedLabel->text()},
            {p->fileNameLabel, "DJI_20260930235959_0100_D.MP4"}, {p->fileInfoLabel, "3999.99 MB, 59.94 fps, 3840x2160"},
            {p->dateLabel, date}, {p->movieCounterLabel, "100 of 100 movies"}, {p->durationLabel, "119:59 of 120:00"},
            {p->rateLabel, "x/16"}};
        for (const auto &t : texts)
            t.first->setText(t.second);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCoreApplication::processEvents();
        if (screen.isEmpty() && screen.isValid())
            QCOMPARE(w.width(), w.minimumSizeHint().width());
        int shortened = 0;
        for (QLabel *label : p->findChildren<QLabel *>()) {
            if (!label->isVisibleTo(&w) || label->text().isEmpty())
                continue;
            const auto *elided = qobject_cast<ElidedLabel *>(label);
            const QString shown = elided ? elided->shownText() : label->text();
            const QString what =
                QStringLiteral("%1: \"%2\" in %3 px").arg(label->objectName(), shown).arg(label->contentsRect().width());
            QVERIFY2(!shown.isEmpty() && label->fontMetrics().horizontalAdvance(shown) <= label->contentsRect().width(),
                     qPrintable(what));
            QVERIFY2(shown == label->text() || shown.contains(QStringLiteral("\u2026")), qPrintable(what));
            QVERIFY2(w.rect().contains(QRect(label->mapTo(&w, QPoint()), label->size())), qPrintable(what));
            shortened += shown != label->text();
        }
        // From a 1280-pixel screen on the date is whole, on full HD everything.
        if (screen.width() >= 1280)
            QCOMPARE(static_cast<ElidedLabel *>(p->dateLabel)->shownText(), p->dateLabel->text());
        if (screen.width() >= 1920)
            QCOMPARE(shortened, 0);
        w.close();
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

    // positionMs, hasAltitude, relative altitude -> LAT LON ALT; snapshot names.
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
        const struct { const char *movie; double lat, lon; qint64 ms; int type; const char *name; } names[] = {
            {"clip.MOV", 37.7749, -122.4194, 83450, 1, "clip.MOV_37.774900,-122.419400@1m23.45s.jpg"},
            {"GX010001.MP4", 0, 0, 0, 0, "GX010001.MP4_0.000000,0.000000@0m0.00s.png"},
            {"a b.mp4", -33.8688197, -151.2092956, 3600999, 7, "a b.mp4_-33.868820,-151.209296@60m1.00s.png"},
        };
        for (const auto &c : names)
            QCOMPARE(snapshotFileName(c.movie, c.lat, c.lon, c.ms, snapshotExtension(c.type)),
                     QString::fromLatin1(c.name));
    }
    void runs()
    {
        QTemporaryDir dir;
        const struct { QByteArray script; bool executable; QString error; } cases[] = {  // no error: success
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

QTEST_MAIN(TestSnapshotCommand)
#include "test_snapshotcommand.moc"
