// The player window's snapshot commands on generated movies: EXIF position,
// PNG without addexif, the note once, no picture an error; "G" makes tags.
#include "guitest.h"
#include "playerfixture.h"

#include "control/controlcenterdialog.h"
#include "control/geotagpanel.h"
#include "export/geotagfile.h"
#include "main/loadcontroller.h"
#include "main/mainwindow.h"
#include "main/playbackcontroller.h"
#include "main/snapshotcommand.h"
#include "main/startup.h"
#include "support/exifread.h"
#include "views/viewhost.h"

using namespace vx;
using vxtest::addMovie;
using vxtest::exifTag;
using vxtest::flightStart;

class TestSnapshotCommand : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_folder;  // S.MP4: 10 s, points 0 .. 9; E.MP4: 10 s without telemetry

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
};

QTEST_MAIN(TestSnapshotCommand)
#include "test_snapshotcommand.moc"
