// Telemetry source selection: findInFile, sidecar names, the subtitle extraction, the order sources are tried in.
#include "settings/settings.h"
#include "support/testsupport.h"
#include "track/loadobserver.h"
#include "track/mediatool.h"
#include "track/telemetrysource.h"
#include "track/trackstore.h"

#include <QtTest>

using namespace vx;

namespace {

struct RecordingObserver : LoadObserver, PlaylistSink {
    QStringList events;
    void waitForPlayer() override { events << "wait"; }
    void loadStarted(int n) override { events << QString("start %1").arg(n); }
    void loadProgress(int i, int n) override { events << processingText(i, n); }
    void loadFinishedReading() override { events << "done"; }
    void warning(const QString &title, const QString &text) override { events << title + '|' + text; }
    void clearPlaylist() override {}
    void appendToPlaylist(const QString &path) override { events << "play " + QFileInfo(path).absoluteFilePath(); }
};

const QByteArray kSidecar = "1\n00:00:00,000 --> 00:00:01,000\nGPS(7.5,46.5,12) BAROMETER:3.5\n\n"
                            "2\n00:00:01,000 --> 00:00:02,000\nGPS(7.6,46.6,12) BAROMETER:4.5\n";

} // namespace

class TestTelemetrySource : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    RecordingObserver m_observer;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    bool copyGenerated(const QString &name, const QString &to) { return QFile::copy(vxtest::generatedPath(name), path(to)); }

    void load(const QStringList &names) {
        resetTrackStore();
        QList<QFileInfo> movies;
        for (int i = 0; i < names.size(); ++i)
            track().block[i].movieFile = (movies << QFileInfo(path(names[i]))).last();
        loadTelemetry(movies, m_dir.path(), &m_observer);
    }
    // Which file each block read and how many points it got.
    static QString sources(int blocks) {
        QStringList out;
        for (int b = 0; b < blocks; ++b)
            out << track().block[b].telemetryFile.fileName() + ' ' + QString::number(track().block[b].numPoints);
        return out.join(" | ");
    }

private slots:
    void init() {
        setDefaultSettings();
        resetTrackStore();
        m_observer.events.clear();
        QDir dir(m_dir.path());
        for (const QString &name : dir.entryList(QDir::Files))
            dir.remove(name);
    }

    void findInFile_data() {
        QTest::addColumn<int>("at");  // where "HERO" is written in 2.5 MB of 'x'; -1: a 6-byte file "abcdef"
        QTest::addColumn<QByteArray>("needle");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<qint64>("found");
        QTest::newRow("across the first block boundary") << 16384 - 2 << QByteArray("HERO") << qint64(500) << qint64(16382);
        QTest::newRow("beyond the limit") << 1500000 << QByteArray("HERO") << qint64(500) << qint64(0);
        QTest::newRow("in the second pass") << 1500000 << QByteArray("HERO") << qint64(10000000) << qint64(1500000);
        QTest::newRow("across the end of the first pass") << 999997 << QByteArray("HERO") << qint64(10000000) << qint64(999997);
        QTest::newRow("short file, huge limit") << -1 << QByteArray("HERO") << (qint64(1) << 40) << qint64(0);
        QTest::newRow("empty needle") << -1 << QByteArray() << qint64(500) << qint64(0);
    }
    void findInFile() {
        QFETCH(int, at);
        QFETCH(QByteArray, needle);
        QFETCH(qint64, limit);
        QByteArray bytes = at < 0 ? QByteArray("abcdef") : QByteArray(2500000, 'x').replace(at, 4, "HERO");
        QVERIFY(vxtest::writeFile(path("a.bin"), bytes));
        QTEST(vx::findInFile(path("a.bin"), needle, limit), "found");
        // Missing files and folders find nothing.
        QCOMPARE(vx::findInFile(path("none.bin"), "HERO", 500), qint64(0));
        QCOMPARE(vx::findInFile(m_dir.path(), "HERO", 500), qint64(0));
    }
    // Sidecars in any case (of two spellings the first by name; a folder is none); extraction output names.
    void sidecarAndExtractionNames() {
        for (const char *name : {"DJI_0001.SRT", "dji_0002.srt", "Flight.csv", "FLIGHT.CSV"})
            QVERIFY(vxtest::writeFile(path(name), "x"));
        QVERIFY(QDir(m_dir.path()).mkdir("dji_0003.srt"));
        FolderIndex index;
        QStringList found;
        for (const char *name : {"DJI_0001.srt", "DJI_0002.srt", "FLIGHT.CSV", "flight.csv", "DJI_0003.srt", "DJI_0004.srt"})
            found << index.find(m_dir.path(), name).remove(m_dir.path());
        QCOMPARE(found.join(' ') + index.find(path("nowhere"), "a.srt"), "/DJI_0001.SRT /dji_0002.srt /FLIGHT.CSV /FLIGHT.CSV  ");
        QStringList names;
        for (const char *movie : {"/m/DJI_0001.MP4", "/m/DJI_0001.MOV", "/m/clip.mp4", "/m/a.b.Mov", "/m/x.avi"})
            names << subtitleExtractionPath(QFileInfo(movie)).remove(mediaToolTempDir() + '/');
        QCOMPARE(names.join(' '), "DJI_0001.nmea.srt DJI_0001.nmea.srt clip.nmea.srt a.b.nmea.srt x.nmea.srt");
    }

    void sourceOrder() {
        // a: GPX beats .srt; b: .srt beats .csv and the stream; c: .csv alone; d: its subtitle stream; DJI_0009.MOV
        // has none, and a stale output of its name must not become its telemetry.
        for (const char *name : {"a.mp4", "b.mp4", "c.mp4", "d.mp4"})
            QVERIFY(copyGenerated("sub.mp4", name));
        const QString stale = mediaToolTempDir() + "/DJI_0009.nmea.srt";
        QVERIFY(vxtest::writeFile(stale, "00:00:01,000 --> x\nGPS (1.0, 2.0, 3), H 4.0m, H.S 5.0m/s\n"));
        QVERIFY(copyGenerated("plain.mov", "DJI_0009.MOV"));
        QVERIFY(vxtest::writeFile(path("A.GPX"), "<gpx/>"));
        QVERIFY(vxtest::writeFile(path("a.srt"), kSidecar));
        QVERIFY(vxtest::writeFile(path("b.Srt"), kSidecar));
        QVERIFY(vxtest::writeFile(path("b.csv"), "x"));
        QVERIFY(vxtest::writeFile(path("c.CSV"), "latitude\n"));
        setPlaylistSink(&m_observer);
        load({"a.mp4", "b.mp4", "c.mp4", "d.mp4", "DJI_0009.MOV"});
        setPlaylistSink(nullptr);
        QVERIFY(track().block[0].telemetryFile.fileName() != "a.srt" && !QFileInfo::exists(stale));
        QCOMPARE(sources(5).section(" | ", 1) + QString(" %1 %2").arg(track().block[1].lon[0]).arg(track().numBlocks),
                 "b.Srt 2 | c.CSV 0 | d.nmea.srt 3 |  0 7.5 5");
        QCOMPARE(m_observer.events.join('|').remove(m_dir.path() + '/'),
                 "play a.mp4|play b.mp4|play c.mp4|play d.mp4|play DJI_0009.MOV|wait|start 5|Processing 1 of 5...|"
                 "Processing 2 of 5...|Processing 3 of 5...|Processing 4 of 5...|Processing 5 of 5...|done");
        QFile::remove(mediaToolTempDir() + "/d.nmea.srt");
    }

    void goProFolderSkipsExtraction() {
        // The first movie holds "HERO" in its first megabyte: no movie of the load goes to the subtitle extraction.
        QVERIFY(vxtest::writeFile(path("GOPR0001.MP4"), QByteArray(4096, '\0').replace(1000, 10, "HERO7 Blac")));
        QVERIFY(copyGenerated("sub.mp4", "GOPR0002.MP4"));
        const QString output = mediaToolTempDir() + "/GOPR0002.nmea.srt";
        QFile::remove(output);
        load({"GOPR0001.MP4", "GOPR0002.MP4"});
        QVERIFY(!QFileInfo::exists(output));
        QVERIFY(track().block[1].telemetryFile.fileName() != "GOPR0002.nmea.srt");
    }
    // Another program's table beside a camera movie gives no position: the camera's own track is read.
    void anEmptySidecarDoesNotHideTheCamerasTrack() {
        QVERIFY(QFile::copy(vxtest::dataPath("gpmf/karma.mp4"), path("karma.mp4")));
        QVERIFY(QFile::copy(vxtest::dataPath("gpmf/karma.csv"), path("karma.csv")));
        load({"karma.mp4"});
        QCOMPARE(sources(1), "karma.mp4 12");
        QVERIFY(!track().relativeAltitude);
    }

    void missingToolIsReportedPerMovie() {
        for (const char *name : {"x1.mov", "x2.mov", "x3.mov"})
            QVERIFY(copyGenerated("plain.mov", name));
        QVERIFY(vxtest::writeFile(path("x2.srt"), kSidecar));
        QTemporaryDir empty;
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(empty.path()));
        load({"x1.mov", "x2.mov", "x3.mov"});
        const QString text = "Volantix|" + mediaToolMissingText();
        qputenv("PATH", oldPath);
        QVERIFY(m_observer.events.count(text) == 2 && text.contains("Could not find ffmpeg here: "));
        QCOMPARE(track().block[1].numPoints, 2);
    }
};

QTEST_GUILESS_MAIN(TestTelemetrySource)
#include "test_telemetrysource.moc"
