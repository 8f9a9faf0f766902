// Telemetry source selection: findInFile, sidecar names in any case, the
// subtitle extraction on a real movie with a subtitle stream, and the order
// in which the sources are tried.
#include "settings/settings.h"
#include "support/testsupport.h"
#include "track/loadobserver.h"
#include "track/mediatool.h"
#include "track/subtitlereaders.h"
#include "track/telemetrysource.h"
#include "track/trackstore.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace vx;

namespace {

struct RecordingObserver : LoadObserver {
    QStringList events;
    void waitForPlayer() override { events << QStringLiteral("wait"); }
    void loadStarted(int n) override { events << QStringLiteral("start %1").arg(n); }
    void loadProgress(int i, int n) override { events << processingText(i, n); }
    void loadFinishedReading() override { events << QStringLiteral("done"); }
    void warning(const QString &title, const QString &text) override { events << title + QLatin1Char('|') + text; }
};

struct RecordingPlaylist : PlaylistSink {
    QStringList items;
    void clearPlaylist() override { items.clear(); }
    void appendToPlaylist(const QString &path) override { items << path; }
};

const QByteArray kSidecar = "1\n00:00:00,000 --> 00:00:01,000\nGPS(7.5,46.5,12) BAROMETER:3.5\n\n"
                            "2\n00:00:01,000 --> 00:00:02,000\nGPS(7.6,46.6,12) BAROMETER:4.5\n";

bool copyGenerated(const QString &name, const QString &to)
{
    QFile::remove(to);
    return QFile::copy(vxtest::generatedPath(name), to);
}

} // namespace

class TestTelemetrySource : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    void load(const QStringList &names, LoadObserver *observer, const QString &folder = QString())
    {
        QList<QFileInfo> movies;
        for (const QString &name : names)
            movies << QFileInfo(path(name));
        resetTrackStore();
        for (int i = 0; i < movies.size(); ++i)
            track().block[i].movieFile = movies[i];
        loadTelemetry(movies, folder.isEmpty() ? m_dir.path() : folder, observer);
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void init()
    {
        setDefaultSettings();
        resetTrackStore();
        QDir dir(m_dir.path());
        for (const QString &name : dir.entryList(QDir::Files))
            dir.remove(name);
    }

    void findInFilePasses()
    {
        QByteArray bytes(2500000, 'x');
        bytes.replace(16384 - 2, 4, "HERO");     // across the first block boundary
        QVERIFY(vxtest::writeFile(path(QStringLiteral("a.bin")), bytes));
        QCOMPARE(findInFile(path(QStringLiteral("a.bin")), "HERO", 500), qint64(16382));
        QCOMPARE(findInFile(path(QStringLiteral("a.bin")), "xxH", 500), qint64(16380));

        bytes.fill('x');
        bytes.replace(1500000, 4, "HERO");       // in the second pass only
        QVERIFY(vxtest::writeFile(path(QStringLiteral("b.bin")), bytes));
        QCOMPARE(findInFile(path(QStringLiteral("b.bin")), "HERO", 500), qint64(0));
        QCOMPARE(findInFile(path(QStringLiteral("b.bin")), "HERO", 10000000), qint64(1500000));
        bytes.fill('x');
        bytes.replace(999997, 4, "HERO");        // across the end of the first pass
        QVERIFY(vxtest::writeFile(path(QStringLiteral("c.bin")), bytes));
        QCOMPARE(findInFile(path(QStringLiteral("c.bin")), "HERO", 10000000), qint64(999997));
    }

    void findInFileGivesUp()
    {
        // A short file without the needle ends the search even with a large
        // limit; missing files and folders find nothing.
        QVERIFY(vxtest::writeFile(path(QStringLiteral("short.bin")), "abcdef"));
        QCOMPARE(findInFile(path(QStringLiteral("short.bin")), "HERO", 500), qint64(0));
        QCOMPARE(findInFile(path(QStringLiteral("short.bin")), "HERO", qint64(1) << 40), qint64(0));
        QCOMPARE(findInFile(path(QStringLiteral("short.bin")), "cde", 500), qint64(2));
        QCOMPARE(findInFile(path(QStringLiteral("none.bin")), "HERO", 500), qint64(0));
        QCOMPARE(findInFile(m_dir.path(), "HERO", 500), qint64(0));
        QCOMPARE(findInFile(path(QStringLiteral("short.bin")), "", 500), qint64(0));
    }

    void sidecarNamesIgnoreCase()
    {
        QVERIFY(vxtest::writeFile(path(QStringLiteral("DJI_0001.SRT")), "x"));
        QVERIFY(vxtest::writeFile(path(QStringLiteral("dji_0002.srt")), "x"));
        QVERIFY(vxtest::writeFile(path(QStringLiteral("Flight.csv")), "x"));
        QVERIFY(vxtest::writeFile(path(QStringLiteral("FLIGHT.CSV")), "x"));
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("dji_0003.srt")));
        FolderIndex index;
        QCOMPARE(index.find(m_dir.path(), QStringLiteral("DJI_0001.srt")), path(QStringLiteral("DJI_0001.SRT")));
        QCOMPARE(index.find(m_dir.path(), QStringLiteral("DJI_0002.srt")), path(QStringLiteral("dji_0002.srt")));
        QCOMPARE(index.find(m_dir.path(), QStringLiteral("FLIGHT.CSV")), path(QStringLiteral("FLIGHT.CSV")));
        // Two spellings, neither exact: the first in name order.
        QCOMPARE(index.find(m_dir.path(), QStringLiteral("flight.csv")), path(QStringLiteral("FLIGHT.CSV")));
        QCOMPARE(index.find(m_dir.path(), QStringLiteral("DJI_0003.srt")), QString());  // a folder
        QCOMPARE(index.find(m_dir.path(), QStringLiteral("DJI_0004.srt")), QString());
        QCOMPARE(index.find(path(QStringLiteral("nowhere")), QStringLiteral("a.srt")), QString());
    }

    void extractionNames()
    {
        const QString tmp = mediaToolTempDir() + QLatin1Char('/');
        QCOMPARE(subtitleExtractionPath(QFileInfo(QStringLiteral("/m/DJI_0001.MP4"))), tmp + "DJI_0001.nmea.srt");
        QCOMPARE(subtitleExtractionPath(QFileInfo(QStringLiteral("/m/DJI_0001.MOV"))), tmp + "DJI_0001.nmea.srt");
        QCOMPARE(subtitleExtractionPath(QFileInfo(QStringLiteral("/m/clip.mp4"))), tmp + "clip.nmea.srt");
        QCOMPARE(subtitleExtractionPath(QFileInfo(QStringLiteral("/m/a.b.Mov"))), tmp + "a.b.nmea.srt");
        QCOMPARE(subtitleExtractionPath(QFileInfo(QStringLiteral("/m/x.avi"))), tmp + "x.nmea.srt");
    }

    void extractedStreamIsRead_data()
    {
        QTest::addColumn<QString>("movieName");
        QTest::addColumn<QString>("outputName");
        QTest::newRow("upper-case") << "FLIGHT7.MP4" << "FLIGHT7.nmea.srt";
        QTest::newRow("lower-case") << "clip7.mp4" << "clip7.nmea.srt";
    }
    void extractedStreamIsRead()
    {
        QFETCH(QString, movieName);
        QFETCH(QString, outputName);
        QVERIFY(copyGenerated(QStringLiteral("sub.mp4"), path(movieName)));
        QString out;
        QCOMPARE(extractSubtitles(nullptr, QFileInfo(path(movieName)), 2, &out), ExtractOutcome::Finished);
        QCOMPARE(out, mediaToolTempDir() + QLatin1Char('/') + outputName);
        QVERIFY(QFileInfo(out).isFile());
        track().block[0].movieFile = QFileInfo(path(movieName));
        track().block[0].duration = 3.0f;
        readEmbeddedSubtitles(0, out);
        const MovieBlock &b = track().block[0];
        QCOMPARE(b.numPoints, 3);
        QCOMPARE(b.lon[0], 8.209);
        QCOMPARE(b.lat[2], 47.471);
        QCOMPARE(b.altitude[1], 46.6);
        QCOMPARE(b.speed[2], float(3.0 * 3.6));
        QCOMPARE(b.gpsTime[2] - b.gpsTime[0], 2u);
        QFile::remove(out);
    }

    void staleOutputIsNeverRead()
    {
        // An older output of the same name (another folder's DJI_0009.MOV)
        // must not become the telemetry of a movie without subtitles.
        const QString stale = mediaToolTempDir() + QStringLiteral("/DJI_0009.nmea.srt");
        QVERIFY(vxtest::writeFile(stale, "00:00:01,000 --> x\nGPS (1.0, 2.0, 3), H 4.0m, H.S 5.0m/s\n"));
        QVERIFY(copyGenerated(QStringLiteral("plain.mov"), path(QStringLiteral("DJI_0009.MOV"))));
        RecordingObserver observer;
        load({QStringLiteral("DJI_0009.MOV")}, &observer);
        QVERIFY(!QFileInfo::exists(stale));
        QCOMPARE(track().block[0].numPoints, 0);
    }

    void sidecarWinsOverTheStream()
    {
        QVERIFY(copyGenerated(QStringLiteral("sub.mp4"), path(QStringLiteral("flight01.MOV"))));
        QVERIFY(vxtest::writeFile(path(QStringLiteral("flight01.SRT")), kSidecar));
        RecordingObserver observer;
        RecordingPlaylist playlist;
        setPlaylistSink(&playlist);
        load({QStringLiteral("flight01.MOV")}, &observer);
        setPlaylistSink(nullptr);
        const MovieBlock &b = track().block[0];
        QCOMPARE(b.telemetryFile.fileName(), QStringLiteral("flight01.SRT"));
        QCOMPARE(b.numPoints, 2);
        QCOMPARE(b.lon[0], 7.5);
        QVERIFY(track().relativeAltitude);
        QCOMPARE(track().numBlocks, 1);
        QCOMPARE(playlist.items, QStringList{path(QStringLiteral("flight01.MOV"))});
        QCOMPARE(observer.events, (QStringList{"wait", "start 1", "Processing 1 of 1...", "done"}));
    }

    void sourceOrder()
    {
        // a: GPX in the load folder beats the .srt; b: .srt beats .csv;
        // c: .csv alone; d: nothing beside it, read from its subtitle stream.
        for (const char *name : {"a.mp4", "b.mp4", "c.mp4", "d.mp4"})
            QVERIFY(copyGenerated(QStringLiteral("sub.mp4"), path(QString::fromLatin1(name))));
        QVERIFY(vxtest::writeFile(path(QStringLiteral("A.GPX")), "<gpx/>"));
        QVERIFY(vxtest::writeFile(path(QStringLiteral("a.srt")), kSidecar));
        QVERIFY(vxtest::writeFile(path(QStringLiteral("b.Srt")), kSidecar));
        QVERIFY(vxtest::writeFile(path(QStringLiteral("b.csv")), "x"));
        QVERIFY(vxtest::writeFile(path(QStringLiteral("c.CSV")), "latitude\n"));
        RecordingObserver observer;
        load({"a.mp4", "b.mp4", "c.mp4", "d.mp4"}, &observer);
        const MovieBlock *b = track().block;
        QVERIFY(b[0].telemetryFile.fileName() != QStringLiteral("a.srt"));
        QCOMPARE(b[1].telemetryFile.fileName(), QStringLiteral("b.Srt"));
        QCOMPARE(b[1].numPoints, 2);
        QCOMPARE(b[2].telemetryFile.fileName(), QStringLiteral("c.CSV"));
        QCOMPARE(b[3].telemetryFile.fileName(), QStringLiteral("d.nmea.srt"));
        QCOMPARE(b[3].numPoints, 3);
        QCOMPARE(observer.events.count(QStringLiteral("done")), 1);
        QVERIFY(observer.events.contains(QStringLiteral("Processing 4 of 4...")));
        QFile::remove(mediaToolTempDir() + QStringLiteral("/d.nmea.srt"));
    }

    void goProFolderSkipsExtraction()
    {
        // The first movie holds "HERO" in its first megabyte: no movie of the
        // load goes to the subtitle extraction.
        QByteArray fake(4096, '\0');
        fake.replace(1000, 10, "HERO7 Blac");
        QVERIFY(vxtest::writeFile(path(QStringLiteral("GOPR0001.MP4")), fake));
        QVERIFY(copyGenerated(QStringLiteral("sub.mp4"), path(QStringLiteral("GOPR0002.MP4"))));
        const QString output = mediaToolTempDir() + QStringLiteral("/GOPR0002.nmea.srt");
        QFile::remove(output);
        RecordingObserver observer;
        load({QStringLiteral("GOPR0001.MP4"), QStringLiteral("GOPR0002.MP4")}, &observer);
        QVERIFY(!QFileInfo::exists(output));
        QVERIFY(track().block[1].telemetryFile.fileName() != QStringLiteral("GOPR0002.nmea.srt"));
    }

    // A table of another program beside a camera movie gives no position:
    // the camera's own track is read instead, with its own altitude mode.
    void anEmptySidecarDoesNotHideTheCamerasTrack()
    {
        QVERIFY(QFile::copy(vxtest::dataPath(QStringLiteral("gpmf/karma.mp4")), path(QStringLiteral("karma.mp4"))));
        QVERIFY(QFile::copy(vxtest::dataPath(QStringLiteral("gpmf/karma.csv")), path(QStringLiteral("karma.csv"))));
        RecordingObserver observer;
        load({QStringLiteral("karma.mp4")}, &observer);
        QCOMPARE(track().block[0].telemetryFile.fileName(), QStringLiteral("karma.mp4"));
        QVERIFY(track().block[0].numPoints > 10);
        QVERIFY(!track().relativeAltitude);
    }

    void missingToolIsReportedPerMovie()
    {
        QVERIFY(copyGenerated(QStringLiteral("plain.mov"), path(QStringLiteral("x1.mov"))));
        QVERIFY(copyGenerated(QStringLiteral("plain.mov"), path(QStringLiteral("x2.mov"))));
        QVERIFY(vxtest::writeFile(path(QStringLiteral("x2.srt")), kSidecar));
        QVERIFY(copyGenerated(QStringLiteral("plain.mov"), path(QStringLiteral("x3.mov"))));
        QTemporaryDir empty;
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(empty.path()));
        RecordingObserver observer;
        load({QStringLiteral("x1.mov"), QStringLiteral("x2.mov"), QStringLiteral("x3.mov")}, &observer);
        const QString text = QStringLiteral("Volantix|") + mediaToolMissingText();
        qputenv("PATH", oldPath);
        QCOMPARE(observer.events.count(text), 2);
        QVERIFY(text.contains(QStringLiteral("Could not find ffmpeg here: ")));
        QCOMPARE(track().block[1].numPoints, 2);
    }
};

QTEST_GUILESS_MAIN(TestTelemetrySource)
#include "test_telemetrysource.moc"
