// The batch converter end to end: <build>/bin/volantix runs as a child
// process with no display in its environment, on movies made during the
// build with sidecar and embedded telemetry, and on the ways it must fail.
#include "export/trackexport.h"
#include "settings/settings.h"
#include "support/testsupport.h"
#include "track/coreload.h"
#include "track/geo.h"
#include "track/moviediscovery.h"
#include "track/trackstore.h"

#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace vx;

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    QStringList errLines() const
    {
        return QString::fromLocal8Bit(err).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestBatch : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_home;
    QString m_movies;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    Run volantix(const QStringList &arguments, const QString &pathVariable = QString()) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        env.insert(QStringLiteral("HOME"), m_home);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home + QStringLiteral("/.config"));
        if (!pathVariable.isNull())
            env.insert(QStringLiteral("PATH"), pathVariable);
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(VX_BIN_DIR "/volantix"), arguments);
        Run r;
        if (!p.waitForFinished(120000))
            return r;
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
        r.out = p.readAllStandardOutput();
        r.err = p.readAllStandardError();
        return r;
    }

    // The in-process exports write files once they exist in this build.
    static bool exportsWrite()
    {
        QTemporaryDir dir;
        const QString probe = dir.filePath(QStringLiteral("probe.csv"));
        return exportCsv(probe).ok && QFileInfo::exists(probe);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_home = path(QStringLiteral("home"));
        m_movies = path(QStringLiteral("flight"));
        QVERIFY(QDir().mkpath(m_home + QStringLiteral("/.config/Norvane")));
        QVERIFY(QDir().mkpath(m_movies));
        QVERIFY(QFile::copy(vxtest::generatedPath(QStringLiteral("plain.mov")), m_movies + QStringLiteral("/DJI_0001.MOV")));
        QVERIFY(QFile::copy(vxtest::dataPath(QStringLiteral("srt/p4_rtk.SRT")), m_movies + QStringLiteral("/DJI_0001.srt")));
        QVERIFY(QFile::copy(vxtest::generatedPath(QStringLiteral("sub.mp4")), m_movies + QStringLiteral("/DJI_0002.MP4")));
        // Stored settings the conversion must use: km/h and metres, deg-min.
        QSettings stored(m_home + QStringLiteral("/.config/Norvane/Volantix.conf"), QSettings::IniFormat);
        stored.setValue(QStringLiteral("configuration/outUnits"), 1);
        stored.setValue(QStringLiteral("configuration/altUnits"), 1);
        stored.setValue(QStringLiteral("configuration/datumFormat"), 1);
        stored.setValue(QStringLiteral("configuration/localTimeOffset"), -7.5);
        stored.sync();
        QVERIFY(QFileInfo::exists(QStringLiteral(VX_BIN_DIR "/volantix")));
    }

    void convertsAFolderWithoutADisplay()
    {
        const QString csv = path(QStringLiteral("out.csv")), gpx = path(QStringLiteral("out.gpx")),
                      kml = path(QStringLiteral("out.kml"));
        const Run r = volantix({QStringLiteral("--input=") + m_movies, QStringLiteral("--export-csv=") + csv,
                                QStringLiteral("--export-gpx=") + gpx, QStringLiteral("--export-kml=") + kml});
        QVERIFY2(r.errLines().contains(QStringLiteral("Processing 1 of 2...")), r.err.constData());
        QVERIFY(r.errLines().contains(QStringLiteral("Processing 2 of 2...")));
        QVERIFY(!r.err.contains("display"));
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("DJI_0001.gpx"))));  // no per-movie GPX files
        // The settings store now remembers the folder, as a window load would.
        QSettings stored(m_home + QStringLiteral("/.config/Norvane/Volantix.conf"), QSettings::IniFormat);
        QCOMPARE(stored.value(QStringLiteral("movieDirectory")).toString(), m_movies);

        if (!exportsWrite()) {
            // The exports of this build write nothing yet: the converter
            // must say so and fail rather than report success.
            QCOMPARE(r.exitCode, 1);
            QVERIFY(r.err.contains("Could not write to") || r.err.contains("File error"));
            return;
        }
        QCOMPARE(r.exitCode, 0);
        // Exactly what the menu exports write after the same load with the
        // same stored settings.
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_home + QStringLiteral("/.config"));
        setDefaultSettings();
        QSettings same(m_home + QStringLiteral("/.config/Norvane/Volantix.conf"), QSettings::IniFormat);
        loadSettings(same);
        lastBearing = 0;
        QCOMPARE(loadMovies(listMovieFolder(m_movies, settings().dateSort), m_movies, nullptr), LoadStatus::Loaded);
        QCOMPARE(track().block[0].numPoints, 55);
        QCOMPARE(track().block[1].numPoints, 3);
        const QString here = path(QStringLiteral("here"));
        QVERIFY(exportCsv(here + QStringLiteral(".csv")).ok);
        QVERIFY(exportGpx(here + QStringLiteral(".gpx")).ok);
        QVERIFY(exportKml(here + QStringLiteral(".kml")).ok);
        QCOMPARE(readAll(csv), readAll(here + QStringLiteral(".csv")));
        QCOMPARE(readAll(gpx), readAll(here + QStringLiteral(".gpx")));
        QCOMPARE(readAll(kml), readAll(here + QStringLiteral(".kml")));
        QVERIFY(readAll(csv).contains("Speed(km/h)"));
    }

    void failures_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("withoutTool");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("printed");
        const QString out = QStringLiteral("--export-csv=") + QDir::tempPath() + QStringLiteral("/vx-batch-none.csv");
        QTest::newRow("no input") << QStringList{out} << false << "--input" << "";
        QTest::newRow("missing movie") << QStringList{QStringLiteral("--input=/nowhere/a.MP4"), out} << false
                                       << "no movie" << "/nowhere/a.MP4 does not exist!\nNo *.mov, *.mp4, or *.avi movies found!\n";
        QTest::newRow("missing folder") << QStringList{QStringLiteral("--input=/nowhere"), out} << false << "no movie"
                                        << "/nowhere does not exist!\nNo *.mov, *.mp4, or *.avi movies found!\n";
        QTest::newRow("no movie in a plain path") << QStringList{QStringLiteral("/dev/null"), out} << false << "no movie"
                                                  << "No *.mov, *.mp4, or *.avi movies found!\n";
        QTest::newRow("no file name") << QStringList{QStringLiteral("--input=/nowhere"), QStringLiteral("--export-kml=")}
                                      << false << "--export-kml=" << "";
        QTest::newRow("no ffmpeg") << QStringList{QStringLiteral("--input=/nowhere"), out} << true
                                   << "Could not find ffmpeg here: " << "";
    }
    void failures()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, withoutTool);
        QFETCH(QString, reason);
        QFETCH(QString, printed);
        QTemporaryDir empty;
        QFile::remove(QDir::tempPath() + QStringLiteral("/vx-batch-none.csv"));
        const Run r = volantix(arguments, withoutTool ? empty.path() : QString());
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.errLines().size(), 1);
        QVERIFY2(r.errLines().first().contains(reason), r.err.constData());
        QCOMPARE(QString::fromLocal8Bit(r.out), printed);
        QVERIFY(!QFileInfo::exists(QDir::tempPath() + QStringLiteral("/vx-batch-none.csv")));
    }

    // A movie whose name holds a double quote, '#', blanks and non-ASCII
    // letters, named by --input= and as a plain path (its folder).
    void namesAsTheShellPassesThem()
    {
        const QString folder = path(QStringLiteral("odd \"names\" #1 Grüße"));
        QVERIFY(QDir().mkpath(folder));
        const QString movie = folder + QStringLiteral("/a\"b #2.MOV");
        QVERIFY(QFile::copy(m_movies + QStringLiteral("/DJI_0001.MOV"), movie));
        QVERIFY(QFile::copy(m_movies + QStringLiteral("/DJI_0001.srt"), folder + QStringLiteral("/a\"b #2.srt")));
        const QString csv = path(QStringLiteral("odd.csv"));
        for (const QString &input : {QStringLiteral("--input=") + movie, folder}) {
            QFile::remove(csv);
            const Run r = volantix({input, QStringLiteral("--export-csv=") + csv});
            QVERIFY2(r.exitCode == 0 && r.errLines().contains(QStringLiteral("Processing 1 of 1...")), r.err.constData());
            QVERIFY(r.out.isEmpty());
            QVERIFY(readAll(csv).contains("Speed("));
        }
    }

    void unwritableFileFails()
    {
        const Run r = volantix({QStringLiteral("--input=") + m_movies + QStringLiteral("/DJI_0001.MOV"),
                                QStringLiteral("--export-csv=/nonexistent-folder/x.csv")});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.errLines().contains(QStringLiteral("Processing 1 of 1...")));
        QVERIFY2(r.err.contains("/nonexistent-folder/x.csv"), r.err.constData());
    }
};

QTEST_GUILESS_MAIN(TestBatch)
#include "test_batch.moc"
