// The core load: the store filled and repaired from real movies with
// sidecar telemetry, the 100-movie cap, "Ignore GPS data", and loads
// refused while another load or a media-tool run is under way.
#include "settings/settings.h"
#include "support/testsupport.h"
#include "track/coreload.h"
#include "track/mediatool.h"
#include "track/trackstore.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace vx;

namespace {

const QByteArray kSidecar = "1\n00:00:00,000 --> 00:00:01,000\nHOME(7.5,46.5) 2021.06.01 10:00:00\n"
                            "GPS(7.5,46.5,12) BAROMETER:3.5\n\n"
                            "2\n00:00:01,000 --> 00:00:02,000\nGPS(7.5005,46.5,12) BAROMETER:4.5\n";

struct NestedLoad : LoadObserver {
    QList<QFileInfo> movies;
    QList<LoadStatus> nested;
    bool busyDuringLoad = false;
    void loadProgress(int, int) override
    {
        busyDuringLoad = loadInProgress();
        nested << loadMovies(movies, QStringLiteral("/"), nullptr);
    }
};

struct LoadFromToolHook : MediaToolHooks {
    QList<LoadStatus> statuses;
    void mediaToolStarted(QObject *) override
    {
        statuses << loadMovies({QFileInfo(vxtest::generatedPath(QStringLiteral("m30.mp4")))}, QStringLiteral("/"),
                               nullptr);
    }
    void mediaToolFinished(QObject *) override {}
};

} // namespace

class TestCoreLoad : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(QFile::copy(vxtest::generatedPath(QStringLiteral("plain.mov")), path(QStringLiteral("A.MOV"))));
        QVERIFY(QFile::copy(vxtest::generatedPath(QStringLiteral("m30.mp4")), path(QStringLiteral("B.MP4"))));
        QVERIFY(vxtest::writeFile(path(QStringLiteral("A.SRT")), kSidecar));
    }

    void init()
    {
        setDefaultSettings();
        resetTrackStore();
    }

    void loadsProbesRepairsAndCounts()
    {
        const QList<QFileInfo> movies{QFileInfo(path(QStringLiteral("A.MOV"))), QFileInfo(path(QStringLiteral("B.MP4")))};
        QCOMPARE(loadMovies(movies, m_dir.path(), nullptr), LoadStatus::Loaded);
        QVERIFY(!loadInProgress());
        const TrackStore &t = track();
        QCOMPARE(t.numBlocks, 2);
        QCOMPARE(t.playCount, 2);
        QCOMPARE(t.block[0].duration, 3.0f);
        QCOMPARE(t.block[0].width, 96);
        QCOMPARE(t.block[1].fps, 29.97f);
        // A.MOV: two sidecar points, padded to its 3 seconds.
        QCOMPARE(t.block[0].numPoints, 3);
        QCOMPARE(t.block[0].repairCode, 4);
        QCOMPARE(t.block[0].gpsTime[2],
                 uint32_t(QDateTime(QDate(2021, 6, 1), QTime(10, 0, 1), Qt::LocalTime).toSecsSinceEpoch()));
        QVERIFY(t.block[0].totalDist > 0.03 && t.block[0].totalDist < 0.045);
        // B.MP4 has no telemetry at all: two points without time or position.
        QCOMPARE(t.block[1].numPoints, 2);
        QCOMPARE(t.block[1].gpsTime[0], NO_TIME);
        QVERIFY(t.relativeAltitude);
        QCOMPARE(t.stats.maxAltitude, 4.5);
        QSettings store(QStringLiteral("Norvane"), QStringLiteral("Volantix"));
        QCOMPARE(store.value(QStringLiteral("movieDirectory")).toString(), QDir(m_dir.path()).absolutePath());
    }

    void emptyListChangesNothing()
    {
        track().numBlocks = 1;
        track().block[0].numPoints = 7;
        QCOMPARE(loadMovies({}, m_dir.path(), nullptr), LoadStatus::NothingToLoad);
        QCOMPARE(track().numBlocks, 1);
        QCOMPARE(track().block[0].numPoints, 7);
    }

    void atMostOneHundredMovies()
    {
        QTemporaryDir many;
        QList<QFileInfo> movies;
        for (int i = 0; i < 150; ++i) {
            const QString name = many.filePath(QStringLiteral("m%1.mov").arg(i, 3, 10, QLatin1Char('0')));
            QVERIFY(vxtest::writeFile(name, "not a movie"));
            // An empty sidecar each, so no extraction runs.
            QVERIFY(vxtest::writeFile(many.filePath(QStringLiteral("m%1.srt").arg(i, 3, 10, QLatin1Char('0'))), ""));
            movies << QFileInfo(name);
        }
        QCOMPARE(loadMovies(movies, many.path(), nullptr), LoadStatus::Loaded);
        QCOMPARE(track().numBlocks, 100);
        QCOMPARE(track().playCount, 100);
        for (int b = 0; b < MAX_BLOCKS; ++b)
            QCOMPARE(track().block[b].movieFile.fileName(), QStringLiteral("m%1.mov").arg(b, 3, 10, QLatin1Char('0')));
        QCOMPARE(track().block[5].duration, -1.0f);  // the tool could not describe it
    }

    void ignoreGpsKeepsTheMovies()
    {
        settings().ignoreGps = true;
        const QList<QFileInfo> movies{QFileInfo(path(QStringLiteral("A.MOV")))};
        QCOMPARE(loadMovies(movies, m_dir.path(), nullptr), LoadStatus::Loaded);
        QCOMPARE(track().numBlocks, 1);
        QCOMPARE(track().block[0].movieFile.fileName(), QStringLiteral("A.MOV"));
        QVERIFY(track().block[0].numPoints > 0);  // read, only not shown
    }

    void secondLoadIsRefused()
    {
        NestedLoad observer;
        observer.movies = {QFileInfo(path(QStringLiteral("B.MP4")))};
        const QList<QFileInfo> movies{QFileInfo(path(QStringLiteral("A.MOV")))};
        QCOMPARE(loadMovies(movies, m_dir.path(), &observer), LoadStatus::Loaded);
        QVERIFY(observer.busyDuringLoad);
        QCOMPARE(observer.nested, QList<LoadStatus>{LoadStatus::Busy});
        QCOMPARE(track().numBlocks, 1);
        QCOMPARE(track().block[0].movieFile.fileName(), QStringLiteral("A.MOV"));
        QCOMPARE(track().block[0].numPoints, 3);
    }

    void loadDuringAToolRunIsRefused()
    {
        LoadFromToolHook hook;
        setMediaToolHooks(&hook);
        track().numBlocks = 1;
        track().block[0].numPoints = 5;
        const MediaToolResult r = runMediaTool(nullptr, {QStringLiteral("-version")},
                                               m_dir.filePath(QStringLiteral("log.txt")));
        setMediaToolHooks(nullptr);
        QCOMPARE(r.outcome, MediaToolOutcome::Finished);
        QCOMPARE(hook.statuses, QList<LoadStatus>{LoadStatus::Busy});
        QCOMPARE(track().numBlocks, 1);
        QCOMPARE(track().block[0].numPoints, 5);
    }
};

QTEST_GUILESS_MAIN(TestCoreLoad)
#include "test_coreload.moc"
