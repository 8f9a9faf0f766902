// Snapshot names, the tick's position as addexif arguments, addexif runs
// that fail, hang or cannot start.
#include "export/snapshot.h"
#include "support/testsupport.h"

#include <QtTest>

using namespace vx;

class TestSnapshot : public QObject {
    Q_OBJECT

private slots:
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

QTEST_GUILESS_MAIN(TestSnapshot)
#include "test_snapshot.moc"
