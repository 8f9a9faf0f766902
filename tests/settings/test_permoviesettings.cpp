// The per-movie settings file: the golden default file, the reader against damaged and hostile lines and the clamps
// of what it loads, save and load again (under a comma locale too), odd paths and files; the resource folder.
#include "settings/appdirs.h"
#include "settings/permoviesettings.h"
#include "settings/settings.h"
#include "support/testsupport.h"

#include <QtTest>

#include <clocale>
#include <sys/stat.h>
#include <unistd.h>

using namespace vx;

namespace {

// The record as lines: what the file holds (timeZoneOffset standing for timeBias), plus the settings the file reads
// but never writes.
QStringList snapshot(const SettingsRecord &s) {
    return (QString::fromLatin1(perMovieSettingsText(s, s.timeBias))
            + QStringLiteral("mapType %1\nbrightness %2\ncontrast %3\ndistance %4").arg(s.mapType).arg(s.brightness)
                  .arg(s.contrast).arg(distanceUnitName(s.distUnitIndex))).split('\n');
}

SettingsRecord base() {
    setDefaultSettings();
    SettingsRecord s = settings();
    s.mapType = 2;  // so that a value read as 0 shows
    return s;
}

} // namespace

class TestPerMovieSettings : public QObject {
    Q_OBJECT

private slots:
    void readerTakesOnlyWhatItUnderstands_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("startDifference");  // -1: unknown
        QTest::addColumn<QStringList>("expected");
        const QStringList none;
        auto row = [](const char *name, const QByteArray &text, const QStringList &expected, int diff = 0) {
            QTest::newRow(name) << text << diff << expected;
        };
        // Distance scales step by 100 m in meters: the 10 m maxima become 100.
        row("CRLF, distance follows speed, no final newline", "speedUnits m/s\r\naltUnits m",
            {"speedUnits m/s", "altUnits m", "distMax 100.0", "losMax 100.0", "distance meters"});
        // A NUL ends the line: the first line counts, the second is "temp".
        row("NUL", QByteArray("tempUnits C\0junk\ntemp\0Units F\n", 30), {"tempUnits C"});
        row("malformed, unknown, not numbers, not finite, not UTF-8",
            "speedUnits  m/s\nspeedUnits m/s \nspeedUnits knots\ndatumFormat DMS\nSpeedUnits km/h\nwarpFactor 9\n"
            "clockBias twelve\nspeedTicks 4.5\nvolume ,5\nvolume nan\nspeedMax inf\ndistMin -inf\naltMax 1e39\n"
            "speedUnits \xff\xfe\n", none);
        row("0 and huge ticks", "speedTicks 0\nlosTicks 99999999999\nbearingTicks 1000\n",
            {"speedTicks 2", "bearingTicks 10"});
        // The graph clamps; a maximum below the minimum resets the minimum; satellites are whole.
        row("graph ranges", "speedMax 500\nspeedMin -5\naltMax 99999\ndistMin 8\ndistMax 5\nsatsMax 12.7\n",
            {"speedMax 300.0", "distMax 5.0", "altMax 20000.0", "satsMax 12.0"});
        row("one decimal on writing", "volume 0.75\n", {"volume 0.8"});
        row("volume clamps", "volume 1.7\nmuted true\n", {"muted true", "volume 1.0"});
        row("volume below 0", "volume -0.3\n", {"volume 0.0"});
        row("mapType 3 kept", "mapType 3\n", {"mapType 3"});
        row("mapType 4 gives 0", "mapType 4\n", {"mapType 0"});
        row("negative mapType gives 0", "mapType -1\n", {"mapType 0"});
        row("picture clamps, clock bias within a day", "brightness 500\ncontrast -500\nclockBias 999999\n",
            {"clockBias 86400", "brightness 100", "contrast -100"});
        row("words", "aspectMaintain false\ninvertMouseZoomDir True\ntimeFormat 24hr\ndatumFormat dms\n",
            {"aspectMaintain false", "timeFormat 24hr", "datumFormat dms"});
        row("read but never written", "alwaysAutoFix true\ngforcesMax 9\nhdopTicks 2\nsync_windows maybe\n", none);
        // A newer revision is reported; sync_windows is handed back, not applied to the record.
        row("revision 1", "revision 1\n", none);
        row("revision not a number", "revision two\n", none);
        row("revision 0, sync off", "revision 0\nsync_windows false\n", {"sync_windows 0"});
        row("revision 2, sync on", "revision 2\nsync_windows true\n", {"newer revision", "sync_windows 1"});
        row("total offset to time bias", "timeZoneOffset 130\n", {"timeZoneOffset 30"}, 100);
        row("time bias within a day", "timeZoneOffset -200000\n", {"timeZoneOffset -86400"}, 0);
        row("start difference unknown", "timeZoneOffset 130\n", none, -1);
    }

    void readerTakesOnlyWhatItUnderstands() {
        QFETCH(QByteArray, text);
        QFETCH(int, startDifference);
        QFETCH(QStringList, expected);
        SettingsRecord before = base();
        before.volume = 0.5f;
        SettingsRecord s = before;
        const PerMovieContext context{startDifference < 0 ? std::optional<qint64>() : startDifference};
        const PerMovieLoad load = applyPerMovieSettings(text, s, context);
        QVERIFY(load.read);
        QStringList changed = snapshot(s);  // the lines that are not as they were
        for (const QString &line : snapshot(before))
            changed.removeAll(line);
        if (load.newerRevision)
            changed << "newer revision";
        if (load.syncWindows)
            changed << QStringLiteral("sync_windows %1").arg(*load.syncWindows);
        QCOMPARE(changed, expected);
    }

    void defaultsMatchTheGoldenFile() {
        const QString golden = vxtest::dataPath(QStringLiteral("settings/default_settings.vlx"));
        const QByteArray expected = vxtest::readFile(golden);
        const SettingsRecord defaults = base();
        QCOMPARE(perMovieSettingsText(defaults, 0), expected);
        QCOMPARE(expected.count('\n'), 30);
        // Read back into a record that differs everywhere it can.
        SettingsRecord s = defaults;
        s.outUnits = 2, s.altUnits = 1, s.tempUnits = 1, s.clockBias = 50, s.timeBias = 9, s.timeFormat = 1;
        s.datumFormat = 2, s.aspectMaintain = false, s.muted = true, s.volume = 0.1f, s.speedDashCamMax = 40;
        s.nSatsTicks = 7, s.bearingMin = 90;
        QVERIFY(loadPerMovieSettings(golden, s, PerMovieContext()).read);
        QCOMPARE(snapshot(s), snapshot(defaults));
    }

    // Saved with the movie 500 s into the telemetry (the file holds the total offset), loaded and saved again:
    // nothing changes, under a comma locale too (numbers written and read with points).
    void saveAndLoadAgainChangesNothing_data() {
        QTest::addColumn<QByteArray>("locale");
        QTest::newRow("C") << QByteArray("C");
        QTest::newRow("comma") << QByteArray("de_DE.UTF-8");
    }

    void saveAndLoadAgainChangesNothing() {
        QFETCH(QByteArray, locale);
        const std::string previous = std::setlocale(LC_ALL, nullptr);
        const auto restore = qScopeGuard([&] {
            std::setlocale(LC_ALL, previous.c_str());
            QLocale::setDefault(QLocale::c());
        });
        if (!std::setlocale(LC_ALL, locale.constData()))
            QSKIP("no comma locale installed (de_DE.UTF-8)");
        QLocale::setDefault(QLocale(QString::fromLatin1(locale.left(5))));
        char probe[16];
        std::snprintf(probe, sizeof probe, "%.1f", 0.5);
        QCOMPARE(QByteArray(probe), locale == "C" ? "0.5" : "0,5");  // the locale is in force
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("m_settings.vlx"));
        SettingsRecord s = base();
        s.outUnits = 2, s.volume = 0.25f, s.speedDashCamMax = 50.25, s.timeBias = 7, s.clockBias = -3600;
        s.nDistTicks = 9, s.datumFormat = 1;
        QVERIFY(!savePerMovieSettings(path, s, 500 + s.timeBias));
        QByteArray first;  // the file after the first load and save; the next two leave it as it is
        for (int round = 0; round < 3; ++round) {
            s = base();
            QVERIFY(loadPerMovieSettings(path, s, PerMovieContext{500}).read);
            // "%.1f" of 0.25 is "0.2", of 50.25 "50.2"
            QVERIFY(s.timeBias == 7 && s.volume == 0.2f && s.speedDashCamMax == double(50.2f));
            QVERIFY(!savePerMovieSettings(path, s, 500 + s.timeBias));
            first = round ? first : vxtest::readFile(path);
            QCOMPARE(vxtest::readFile(path), first);
        }
        QVERIFY(first.contains("\nvolume 0.2\n") && first.contains("\nspeedMax 50.2\n"));
    }

    // The paths (a dotted folder, a name outside Latin-1), the documents folder made for the default file, and files
    // that are not plain settings files.
    void pathsAndFilesThatAreNotPlain() {
        QCOMPARE(movieSettingsPath("/v/day.2/clip"), QStringLiteral("/v/day.2/clip_settings.vlx"));
        QCOMPARE(movieSettingsPath("/v/a.b.mp4"), QStringLiteral("/v/a.b_settings.vlx"));
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        QDir(documents).removeRecursively();
        QCOMPARE(defaultSettingsPath(), documents + QStringLiteral("/default_settings.vlx"));
        QVERIFY(!savePerMovieSettings(defaultSettingsPath(), base(), 0) && QFileInfo(defaultSettingsPath()).isFile());
        // A file where the folder should be: reported, nothing written.
        QDir(documents).removeRecursively();
        QVERIFY(vxtest::writeFile(documents, "not a folder"));
        QCOMPARE(savePerMovieSettings(defaultSettingsPath(), base(), 0), perMovieWriteErrorText(defaultSettingsPath()));
        QFile::remove(documents);
        QTemporaryDir dir;
        const QString unicode = dir.filePath(QStringLiteral("Flug über Zürich 飛行.v2"));
        QVERIFY(QDir().mkpath(unicode));
        // Written and read back through a path outside Latin-1 and a dotted folder.
        const QString path = movieSettingsPath(unicode + QStringLiteral("/Ölsee.mov"));
        SettingsRecord s = base(), loaded = base();
        s.outUnits = 1;
        QVERIFY(!savePerMovieSettings(path, s, 0));
        QVERIFY(loadPerMovieSettings(path, loaded, PerMovieContext()).read && loaded.outUnits == 1);
        QCOMPARE(QDir(unicode).entryList(QDir::Files), QStringList{QStringLiteral("Ölsee_settings.vlx")});
        // A pipe, a folder, a file beyond the size limit, a missing file: nothing loaded, nothing hangs; a pipe or a
        // folder takes no save, nor /proc, where nobody may create files, not even the administrator.
        const QString fifo = dir.filePath("pipe_settings.vlx"), folder = dir.filePath("folder_settings.vlx"),
                      large = dir.filePath("large_settings.vlx");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QVERIFY(QDir().mkpath(folder)
                && vxtest::writeFile(large, "speedUnits m/s\n" + QByteArray(PER_MOVIE_FILE_MAX_BYTES, '\n')));
        const qint64 started = QDateTime::currentMSecsSinceEpoch();
        for (const QString &p : {fifo, folder, large, dir.filePath("none_settings.vlx")})
            QVERIFY2(!loadPerMovieSettings(p, loaded, PerMovieContext()).read, qPrintable(p));
        for (const QString &p : {fifo, folder, QStringLiteral("/proc/volantix_settings.vlx")})
            QCOMPARE(savePerMovieSettings(p, s, 0), perMovieWriteErrorText(p));
        QVERIFY(QDateTime::currentMSecsSinceEpoch() - started < 5000);
        QCOMPARE(loaded.outUnits, 1);
        // A folder that cannot be written: the existing file stays whole.
        const QString locked = dir.filePath(QStringLiteral("locked")), kept = locked + "/k_settings.vlx";
        QVERIFY(QDir().mkpath(locked) && vxtest::writeFile(kept, "speedUnits km/h\n"));
        QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner));
        const bool writable = ::access(QFile::encodeName(locked).constData(), W_OK) == 0;  // root writes anyway
        const std::optional<QString> error = savePerMovieSettings(kept, s, 0);
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (writable)
            QSKIP("running as a user who may write into read-only folders");
        QCOMPARE(error, perMovieWriteErrorText(kept));
        QCOMPARE(vxtest::readFile(kept), QByteArray("speedUnits km/h\n"));
    }

    // The resource directory of a program in the build tree (<build>/bin next to <build>/Resources) and of an
    // installed one (<prefix>/bin next to <prefix>/share/volantix), and which wins when both or neither exist.
    void resourceDirectoryByLayout_data() {
        QTest::addColumn<QStringList>("folders");  // made under the root beside "bin"
        QTest::addColumn<QString>("expected");     // relative to the root
        QTest::newRow("build tree") << QStringList{"Resources"} << "Resources/";
        QTest::newRow("installed") << QStringList{"share/volantix"} << "share/volantix/";
        QTest::newRow("both: the build tree's") << QStringList{"Resources", "share/volantix"} << "Resources/";
        QTest::newRow("neither: the build tree's name") << QStringList{} << "Resources/";
        QTest::newRow("another program's share") << QStringList{"share/other"} << "Resources/";
    }

    void resourceDirectoryByLayout() {
        QFETCH(QStringList, folders);
        QFETCH(QString, expected);
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkpath("bin"));
        for (const QString &f : folders)
            QVERIFY(QDir(root.path()).mkpath(f));
        QCOMPARE(resourceDirFor(root.filePath("bin")), root.path() + '/' + expected);
    }
};

QTEST_GUILESS_MAIN(TestPerMovieSettings)
#include "test_permoviesettings.moc"
