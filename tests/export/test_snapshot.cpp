// Snapshot names and the addexif run: the name's layout, the position taken
// from the tick's point (none past the telemetry; an altitude only when it
// is above sea level), seven decimals and empty arguments for what is not
// known, and a tool that fails, hangs or cannot start is reported.
#include "export/snapshot.h"
#include "support/testsupport.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace vx;

class TestSnapshot : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString tool(const char *name, const QByteArray &script, bool executable = true)
    {
        const QString path = m_dir.filePath(QString::fromLatin1(name));
        vxtest::writeFile(path, "#!/bin/sh\n" + script);
        QFile(path).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                   | (executable ? QFileDevice::ExeOwner : QFileDevice::Permission(0)));
        return path;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void names_data()
    {
        QTest::addColumn<QString>("movie");
        QTest::addColumn<double>("lat");
        QTest::addColumn<double>("lon");
        QTest::addColumn<qint64>("positionMs");
        QTest::addColumn<int>("imageType");
        QTest::addColumn<QString>("name");
        QTest::newRow("jpg") << "clip.MOV" << 37.7749 << -122.4194 << qint64(83450) << 1
                             << "clip.MOV_37.774900,-122.419400@1m23.45s.jpg";
        QTest::newRow("png, no point") << "GX010001.MP4" << 0.0 << 0.0 << qint64(0) << 0
                                       << "GX010001.MP4_0.000000,0.000000@0m0.00s.png";
        QTest::newRow("an hour, south-west") << "a b.mp4" << -33.8688197 << -151.2092956 << qint64(3600999) << 7
                                             << "a b.mp4_-33.868820,-151.209296@60m1.00s.png";
    }
    void names()
    {
        QFETCH(QString, movie);
        QFETCH(double, lat);
        QFETCH(double, lon);
        QFETCH(qint64, positionMs);
        QFETCH(int, imageType);
        QFETCH(QString, name);
        QCOMPARE(snapshotFileName(movie, lat, lon, positionMs, snapshotExtension(imageType)), name);
    }

    void positionAndArguments_data()
    {
        QTest::addColumn<qint64>("positionMs");
        QTest::addColumn<bool>("hasAltitude");
        QTest::addColumn<bool>("relative");
        QTest::addColumn<QStringList>("numbers");  // LAT LON ALT
        QTest::newRow("above sea level") << qint64(1000) << true << false
                                         << QStringList{"-33.8688197", "-151.2092955", "-12.25"};
        QTest::newRow("height above take-off") << qint64(1000) << true << true
                                               << QStringList{"-33.8688197", "-151.2092955", ""};
        QTest::newRow("no altitude") << qint64(1000) << false << false
                                     << QStringList{"-33.8688197", "-151.2092955", ""};
        QTest::newRow("past the telemetry") << qint64(5000) << true << false << QStringList{"", "", ""};
    }
    void positionAndArguments()
    {
        QFETCH(qint64, positionMs);
        QFETCH(bool, hasAltitude);
        QFETCH(bool, relative);
        QFETCH(QStringList, numbers);
        resetTrackStore();
        TrackStore &t = track();
        t.numBlocks = 1;
        t.relativeAltitude = relative;
        MovieBlock &m = t.block[0];
        m.numPoints = 2;
        m.duration = 10;
        m.timeFactor = 2;  // a time-lapse: the name shows the scaled position
        m.hasAltitude = hasAltitude;
        for (int i = 0; i < 2; ++i) {
            m.gpsTime[i] = 1000000 + static_cast<uint32_t>(i) * 2;
            m.lat[i] = -33.86881966;
            m.lon[i] = -151.20929554;
            m.altitude[i] = -12.25;
        }
        PlaybackMoment moment;
        moment.modifiedMs = 1000000LL * 1000 + 20000;
        moment.positionMs = positionMs;
        moment.totalOffsetSec = 0;
        const SnapshotPosition p = snapshotPosition(t, moment);
        QCOMPARE(p.positionMs, positionMs * 2);
        const QStringList args = addexifArguments(QStringLiteral("/d/a.jpg"), QStringLiteral("/d/a.jpg"),
                                                  snapshotComment(), p);
        QCOMPARE(args, QStringList({"/d/a.jpg", "/d/a.jpg", "Created by Volantix"}) + numbers);
    }

    void runs_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<bool>("executable");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("error");
        QTest::newRow("success") << QByteArray("[ \"$6\" = \"\" ] && exit 0; exit 3\n") << true << true << QString();
        QTest::newRow("fails") << QByteArray("echo one >&2; echo 'addexif: not a JPEG' >&2; exit 1\n") << true << false
                               << "one\naddexif: not a JPEG";
        QTest::newRow("killed") << QByteArray("kill -9 $$\n") << true << false << "addexif stopped unexpectedly.";
        QTest::newRow("hangs") << QByteArray("exec sleep 30\n") << true << false
                               << "addexif did not finish within 0.4 seconds.";
        QTest::newRow("not executable") << QByteArray("exit 0\n") << false << false << "Could not start %1.";
    }
    void runs()
    {
        QFETCH(QByteArray, script);
        QFETCH(bool, executable);
        QFETCH(bool, ok);
        QFETCH(QString, error);
        const QString program = tool(QTest::currentDataTag(), script, executable);
        QElapsedTimer clock;
        clock.start();
        const AddexifResult r = runAddexif(nullptr, {"a", "b", "c", "1.0000000", "2.0000000", ""}, program, 400);
        QVERIFY(clock.elapsed() < 10000);
        QCOMPARE(r.ok, ok);
        QCOMPARE(r.errorText, error.arg(program));
    }
};

QTEST_GUILESS_MAIN(TestSnapshot)
#include "test_snapshot.moc"
