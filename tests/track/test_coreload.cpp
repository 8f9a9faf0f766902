// The core load: the store filled and repaired from movies with sidecars, the 100-movie cap, "Ignore GPS data",
// loads refused while busy.
#include "settings/settings.h"
#include "support/testsupport.h"
#include "track/coreload.h"
#include "track/mediatool.h"
#include "track/trackstore.h"

#include <QtTest>

using namespace vx;

namespace {

const QByteArray kSidecar = "1\n00:00:00,000 --> 00:00:01,000\nHOME(7.5,46.5) 2021.06.01 10:00:00\n"
                            "GPS(7.5,46.5,12) BAROMETER:3.5\n\n"
                            "2\n00:00:01,000 --> 00:00:02,000\nGPS(7.5005,46.5,12) BAROMETER:4.5\n";

// Tries a second load from within a running load, or from a media-tool run.
struct NestedLoad : LoadObserver, MediaToolHooks {
    QList<QFileInfo> movies;
    QList<LoadStatus> nested;
    bool busyDuringLoad = false;
    void loadProgress(int, int) override {
        busyDuringLoad = loadInProgress();
        nested << loadMovies(movies, "/", nullptr);
    }
    void mediaToolStarted(QObject *) override { nested << loadMovies(movies, "/", nullptr); }
    void mediaToolFinished(QObject *) override {}
};

} // namespace

class TestCoreLoad : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QFileInfo movie(const QString &name) const { return QFileInfo(m_dir.filePath(name)); }

private slots:
    void initTestCase() {
        QVERIFY(QFile::copy(vxtest::generatedPath("plain.mov"), m_dir.filePath("A.MOV")));
        QVERIFY(QFile::copy(vxtest::generatedPath("m30.mp4"), m_dir.filePath("B.MP4")));
        QVERIFY(vxtest::writeFile(m_dir.filePath("A.SRT"), kSidecar));
    }

    void init() {
        setDefaultSettings();
        resetTrackStore();
    }

    void loadsProbesRepairsAndCounts() {
        QCOMPARE(loadMovies({movie("A.MOV"), movie("B.MP4")}, m_dir.path(), nullptr), LoadStatus::Loaded);
        QVERIFY(!loadInProgress());
        const TrackStore &t = track();
        // A.MOV: two sidecar points, padded to its 3 seconds.
        QCOMPARE(QString("%1 %2 %3 %4 %5 %6 %7").arg(t.numBlocks).arg(t.playCount).arg(t.block[0].duration).arg(t.block[0].width)
                     .arg(t.block[1].fps).arg(t.block[0].numPoints).arg(t.block[0].repairCode), "2 2 3 96 29.97 3 4");
        QCOMPARE(t.block[0].gpsTime[2], uint32_t(QDateTime(QDate(2021, 6, 1), QTime(10, 0, 1), Qt::LocalTime).toSecsSinceEpoch()));
        QVERIFY(t.block[0].totalDist > 0.03 && t.block[0].totalDist < 0.045);
        QCOMPARE(vxtest::column(t.block[1], 't'), "none none");  // B.MP4: no telemetry, two points without time
        QVERIFY(t.relativeAltitude);
        QCOMPARE(t.stats.maxAltitude, 4.5);
        QCOMPARE(QSettings("Norvane", "Volantix").value("movieDirectory").toString(), QDir(m_dir.path()).absolutePath());
        // "Ignore GPS data" keeps the movies, and reads their points, only not shown.
        settings().ignoreGps = true;
        QCOMPARE(loadMovies({movie("A.MOV")}, m_dir.path(), nullptr), LoadStatus::Loaded);
        QVERIFY(track().numBlocks == 1 && track().block[0].numPoints > 0);
    }

    void atMostOneHundredMovies() {
        QTemporaryDir many;
        QList<QFileInfo> movies;
        for (int i = 0; i < 150; ++i) {
            const QString name = many.filePath(QString("m%1").arg(i, 3, 10, QLatin1Char('0')));
            QVERIFY(vxtest::writeFile(name + ".mov", "not a movie"));
            QVERIFY(vxtest::writeFile(name + ".srt", ""));  // an empty sidecar each, so no extraction runs
            movies << QFileInfo(name + ".mov");
        }
        QCOMPARE(loadMovies(movies, many.path(), nullptr), LoadStatus::Loaded);
        QVERIFY(track().numBlocks == 100 && track().playCount == 100);
        for (int b = 0; b < MAX_BLOCKS; ++b)
            QCOMPARE(track().block[b].movieFile, movies[b]);
        QCOMPARE(track().block[5].duration, -1.0f);  // the tool could not describe it
    }
    // An empty list, and loads while another load or a media-tool run is under way, change nothing.
    void loadsWhileBusyAreRefused() {
        track().numBlocks = 1;
        track().block[0].numPoints = 7;
        QCOMPARE(loadMovies({}, m_dir.path(), nullptr), LoadStatus::NothingToLoad);
        QVERIFY(track().numBlocks == 1 && track().block[0].numPoints == 7);
        NestedLoad nested;
        nested.movies = {movie("B.MP4")};
        QCOMPARE(loadMovies({movie("A.MOV")}, m_dir.path(), &nested), LoadStatus::Loaded);
        QVERIFY(nested.busyDuringLoad);
        QCOMPARE(nested.nested, QList<LoadStatus>{LoadStatus::Busy});
        const MovieBlock &b = track().block[0];
        QCOMPARE(QString("%1 %2 %3").arg(track().numBlocks).arg(b.movieFile.fileName()).arg(b.numPoints), "1 A.MOV 3");
        // During a media-tool run.
        nested.nested.clear();
        setMediaToolHooks(&nested);
        track().block[0].numPoints = 5;
        const MediaToolResult r = runMediaTool(nullptr, {"-version"}, m_dir.filePath("log.txt"));
        setMediaToolHooks(nullptr);
        QCOMPARE(r.outcome, MediaToolOutcome::Finished);
        QCOMPARE(nested.nested, QList<LoadStatus>{LoadStatus::Busy});
        QVERIFY(track().numBlocks == 1 && track().block[0].numPoints == 5);
    }
};

QTEST_GUILESS_MAIN(TestCoreLoad)
#include "test_coreload.moc"
