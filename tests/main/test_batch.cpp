// The batch converter end to end: <build>/bin/volantix as a child process without a display, and its failures.
#include "export/trackexport.h"
#include "settings/settings.h"
#include "support/testsupport.h"
#include "track/coreload.h"
#include "track/geo.h"
#include "track/moviediscovery.h"
#include "track/trackstore.h"
#include <QtTest>

using namespace vx;

namespace {
struct Run {
    int exitCode = -1;
    QByteArray out, err;
    QStringList errLines() const { return QString::fromLocal8Bit(err).split('\n', Qt::SkipEmptyParts); }
};
} // namespace

class TestBatch : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_home, m_movies;
    QString path(const QString &name) const { return m_dir.filePath(name); }
    Run volantix(const QStringList &arguments, const QString &pathVariable = QString()) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        env.insert("HOME", m_home), env.insert("XDG_CONFIG_HOME", m_home + "/.config");
        if (!pathVariable.isNull())
            env.insert("PATH", pathVariable);
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(VX_BIN_DIR "/volantix"), arguments);
        return !p.waitForFinished(120000) ? Run()
               : Run{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2, p.readAllStandardOutput(), p.readAllStandardError()};
    }
private slots:
    void initTestCase() {
        m_home = path("home"), m_movies = path("flight");
        QVERIFY(QDir().mkpath(m_home + "/.config/Norvane") && QDir().mkpath(m_movies));
        QVERIFY(QFile::copy(vxtest::generatedPath("plain.mov"), m_movies + "/DJI_0001.MOV"));
        QVERIFY(QFile::copy(vxtest::dataPath("srt/p4_rtk.SRT"), m_movies + "/DJI_0001.srt"));
        QVERIFY(QFile::copy(vxtest::generatedPath("sub.mp4"), m_movies + "/DJI_0002.MP4"));
        // Stored settings the conversion must use: km/h and metres, deg-min.
        QSettings stored(m_home + "/.config/Norvane/Volantix.conf", QSettings::IniFormat);
        for (const char *key : {"outUnits", "altUnits", "datumFormat"})
            stored.setValue(QString("configuration/") + key, 1);
        stored.setValue("configuration/localTimeOffset", -7.5);
    }
    void convertsAFolderWithoutADisplay() {
        const Run r = volantix({"--input=" + m_movies, "--export-csv=" + path("out.csv"), "--export-gpx=" + path("out.gpx"),
                                "--export-kml=" + path("out.kml")});
        QVERIFY2(r.errLines().contains("Processing 1 of 2...") && r.errLines().contains("Processing 2 of 2..."), r.err.constData());
        QVERIFY(r.exitCode == 0 && !r.err.contains("display") && !QFileInfo::exists(path("DJI_0001.gpx")));
        QSettings stored(m_home + "/.config/Norvane/Volantix.conf", QSettings::IniFormat);  // remembers the folder
        QCOMPARE(stored.value("movieDirectory").toString(), m_movies);
        // Exactly what the menu exports write after the same load with the same stored settings.
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_home + "/.config");
        setDefaultSettings(), loadSettings(stored), lastBearing = 0;
        QCOMPARE(loadMovies(listMovieFolder(m_movies, settings().dateSort), m_movies, nullptr), LoadStatus::Loaded);
        QVERIFY(exportCsv(path("here.csv")).ok && exportGpx(path("here.gpx")).ok && exportKml(path("here.kml")).ok);
        for (const char *type : {"csv", "gpx", "kml"})
            QCOMPARE(vxtest::readFile(path("out.") + type), vxtest::readFile(path("here.") + type));
        QVERIFY(vxtest::readFile(path("out.csv")).contains("Speed(km/h)") && track().block[0].numPoints == 55);
    }
    void failures_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("withoutTool");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("printed");
        const QString out = "--export-csv=" + QDir::tempPath() + "/vx-batch-none.csv";
        QTest::newRow("no input") << QStringList{out} << false << "--input" << "";
        QTest::newRow("missing movie") << QStringList{"--input=/nowhere/a.MP4", out} << false
                                       << "no movie" << "/nowhere/a.MP4 does not exist!\nNo *.mov, *.mp4, or *.avi movies found!\n";
        QTest::newRow("no movie in a plain path") << QStringList{"/dev/null", out} << false << "no movie"
                                                  << "No *.mov, *.mp4, or *.avi movies found!\n";
        QTest::newRow("no file name") << QStringList{"--input=/nowhere", "--export-kml="} << false << "--export-kml=" << "";
        QTest::newRow("no ffmpeg") << QStringList{"--input=/nowhere", out} << true << "Could not find ffmpeg here: " << "";
    }
    void failures() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, withoutTool);
        QFETCH(QString, reason);
        QFETCH(QString, printed);
        QTemporaryDir empty;
        QFile::remove(QDir::tempPath() + "/vx-batch-none.csv");
        const Run r = volantix(arguments, withoutTool ? empty.path() : QString());
        QVERIFY2(r.exitCode == 1 && r.errLines().size() == 1 && r.errLines().first().contains(reason), r.err.constData());
        QCOMPARE(QString::fromLocal8Bit(r.out), printed);
        QVERIFY(!QFileInfo::exists(QDir::tempPath() + "/vx-batch-none.csv"));
    }
    // A name with a double quote, '#', blanks and non-ASCII letters, by --input= and as a plain path (its folder).
    void namesAsTheShellPassesThem() {
        const QString folder = path("odd \"names\" #1 Grüße"), movie = folder + "/a\"b #2.MOV", csv = path("odd.csv");
        QVERIFY(QDir().mkpath(folder) && QFile::copy(m_movies + "/DJI_0001.MOV", movie));
        QVERIFY(QFile::copy(m_movies + "/DJI_0001.srt", folder + "/a\"b #2.srt"));
        for (const QString &input : {"--input=" + movie, folder}) {
            QFile::remove(csv);
            const Run r = volantix({input, "--export-csv=" + csv});
            QVERIFY2(r.exitCode == 0 && r.errLines().contains("Processing 1 of 1..."), r.err.constData());
            QVERIFY(r.out.isEmpty() && vxtest::readFile(csv).contains("Speed("));
        }
    }
    void unwritableFileFails() {
        const Run r = volantix({"--input=" + m_movies + "/DJI_0001.MOV", "--export-csv=/nonexistent-folder/x.csv"});
        QVERIFY2(r.exitCode == 1 && r.errLines().contains("Processing 1 of 1...") && r.err.contains("/nonexistent-folder/x.csv"),
                 r.err.constData());
    }
};

QTEST_GUILESS_MAIN(TestBatch)
#include "test_batch.moc"
