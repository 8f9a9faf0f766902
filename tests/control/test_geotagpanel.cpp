// The Geotags tab: rows, the limit, delete, rename, Clear All, jumps, export
// and import, distances and settings, map pins, the list kept between runs.
#include "guitest.h"

#include "control/controlcenterdialog.h"
#include "control/geotagpanel.h"
#include "export/geotagfile.h"
#include "support/testsupport.h"
#include "views/mapdialog.h"
#include "views/viewhost.h"

using namespace vx;

namespace {

struct FakeHost : ViewHost {
    bool busy = false;
    QList<QPair<int, qint64>> jumps;
    bool storeBusy() const override { return busy; }
    void jumpToMovie(int block, qint64 positionMs) override { jumps << qMakePair(block, positionMs); }
    void settingsChanged(unsigned) override {}
    void openPreferences(const QString &) override {}
    void makeGeotag() override {}
};

// The texts of a row's labels `names` (space-separated), "|"-joined, and its colour.
QString label(const GeotagPanel &p, int row, const char *names, bool colour = false)
{
    QStringList texts;
    for (const QString &name : QString::fromLatin1(names).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QLabel *l = p.rowFrame(row) ? p.rowFrame(row)->findChild<QLabel *>(name) : nullptr;
        texts << (l ? l->text() : QStringLiteral("<none>"));
    }
    return texts.join(QLatin1Char('|')) + (colour ? p.rowFrame(row)->styleSheet().mid(21).chopped(1) : QString());
}

} // namespace

class TestGeotagPanel : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    FakeHost m_host;
    mapDialog *m_map = nullptr;

    // A tag of block `block` (-1: a movie that is not loaded).
    Geotag tag(const QString &title, int block, double lat = -33.8688197, double lon = -151.2092956)
    {
        Geotag g;
        g.title = title;
        g.movieBlock = g.pointBlock = block;
        g.movieFile = block >= 0 ? track().block[block].movieFile : QFileInfo(m_dir.filePath("X.MOV"));
        g.moviePoint = 62500;
        g.speed = 36.4f;
        g.lat = lat;
        g.lon = lon;
        g.dateTime = QDateTime::fromMSecsSinceEpoch(1716027130164, Qt::UTC);
        g.pointIndex = 1;
        return g;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        vxtest::silencePlatformWarnings();
        setViewHost(&m_host);
        m_map = new mapDialog;
        g_mapDialog = m_map;
    }
    void cleanupTestCase()
    {
        g_mapDialog = nullptr;
        delete m_map;
        setViewHost(nullptr);
    }

    // Block 0 (M0.MOV, time factor 2) is active, block 1 (M1.MOV) switched off.
    void init()
    {
        setDefaultSettings();
        settings().outUnits = 1;
        recomputeFactors();
        resetTrackStore();
        clearGeotags();
        QFile::remove(geotagStorePath());
        TrackStore &t = track();
        for (int b = 0; b < 2; ++b) {
            const QString path = m_dir.filePath(QStringLiteral("M%1.MOV").arg(b));
            QVERIFY(vxtest::writeFile(path, "x"));
            MovieBlock &m = t.block[b];
            m.movieFile = QFileInfo(path);
            m.numPoints = 2;
            m.active = b == 0;
            m.cumDist[1] = m.totalDist = 0.5;
        }
        t.block[0].timeFactor = 2;
        t.numBlocks = 2;
        rebuildPlayOrder();
        m_host.jumps.clear();
        m_host.busy = false;
    }
    void rowsCountAndTheLimit()
    {
        controlCenterDialog cc;
        GeotagPanel *p = cc.geotagPanel();
        const int pinsBefore = m_map->pinRefreshes();
        QVERIFY(p->addTag(tag("Bridge", 0)));
        QCOMPARE(cc.tabs()->currentWidget(), cc.geotagsTab());
        QVERIFY(p->addTag(tag("North", 0, 46.5, 7.25)) && p->addTag(tag("Gone", -1)));
        QCOMPARE(m_map->pinRefreshes(), pinsBefore + 3);
        QCOMPARE(p->countLabel()->text(), QStringLiteral("3 Geotags"));
        QCOMPARE(label(*p, 0, "num eventName movieName time speed latLon losDistance", true),
                 QString::fromUtf8("1.|Bridge|M0.MOV|01:02|36 km/h|33.868820\u00b0 S, 151.209296\u00b0 W|"
                                   "LOS: 0.000 km(223, 247, 255)"));
        QCOMPARE(label(*p, 1, "num latLon", true),
                 QString::fromUtf8("2.|46.500000\u00b0 N, 7.250000\u00b0 E(213, 237, 255)"));
        QCOMPARE(label(*p, 2, "", true), QStringLiteral("(200, 200, 200)"));
        QCOMPARE(p->list()->item(2)->data(Qt::UserRole).toString(), QStringLiteral("002"));
        QCOMPARE(p->list()->item(2)->sizeHint().height(), 72);
        while (geotags().count < MAX_GEOTAGS)
            QVERIFY(p->addTag(tag("more", 0)));
        QSignalSpy refused(p, &GeotagPanel::refused);
        vxtest::BoxAnswerer boxes({"OK"});
        QVERIFY(!p->addTag(tag("one too many", 0)));
        QCOMPARE(refused.count(), 1);
        QCOMPARE(boxes.texts + boxes.titles, (QStringList{geotagLimitText(), "Volantix"}));
        QCOMPARE(p->rowCount(), MAX_GEOTAGS);
        QCOMPARE(p->countLabel()->text(), QStringLiteral("100 Geotags"));
    }
    void deleteRenameAndClearAllKeptBetweenRuns()
    {
        GeotagPanel p;
        for (int i = 1; i <= 5; ++i)
            p.addTag(tag(QString::number(i), 0));
        p.rowFrame(1)->findChild<QToolButton *>(QStringLiteral("trashButton"))->click();
        QStringList rows;
        for (int i = 0; i < 5; ++i)
            rows << label(p, i, "num eventName");
        QCOMPARE(rows, (QStringList{"1.|1", "2.|3", "3.|4", "4.|5", "<none>|<none>"}));
        p.renameTag(0, " Bridge\tover\nthe river ");
        p.renameTag(1, "  ");  // an empty title changes nothing
        QCOMPARE(label(p, 0, "eventName") + label(p, 1, "eventName"), QStringLiteral("Bridge over the river3"));
        // The next run finds the list as it was left.
        clearGeotags();
        GeotagPanel next;
        next.restore();
        QCOMPARE(label(next, 0, "eventName") + label(next, 3, "num"), QStringLiteral("Bridge over the river4."));
        QCOMPARE(geotags().tag[0].movieBlock, 0);
        vxtest::BoxAnswerer boxes({"No", "Yes"});
        next.clearAllButton()->click();
        QCOMPARE(geotags().count, 4);
        next.clearAllButton()->click();
        const QString ask = QStringLiteral("Delete all 4 Geotags? This cannot be undone.");
        QCOMPARE(boxes.texts, (QStringList{ask, ask}));
        QCOMPARE(next.rowCount(), 0);
        QCOMPARE(next.countLabel()->text(), QStringLiteral("0 Geotags"));
        QVERIFY(restoreGeotagStore(geotagStorePath()));
        QCOMPARE(geotags().count, 0);
    }
    void aStoreThatCannotBeWrittenIsSaidOnce()
    {
        // A file where the store's folder should be.
        const QString folder = QFileInfo(geotagStorePath()).absolutePath();
        QDir(folder).removeRecursively();
        QVERIFY(vxtest::writeFile(folder, "not a folder"));
        GeotagPanel p;
        vxtest::BoxAnswerer boxes({"OK"});
        QVERIFY(p.addTag(tag("a", 0)) && p.addTag(tag("b", 0)));
        QVERIFY(QFile::remove(folder));
        QCOMPARE(boxes.texts.size(), 1);
        QVERIFY(boxes.texts[0].startsWith("Your geotags could not be kept for the next start."));
        QCOMPARE(p.rowCount(), 2);
    }
    void jumpsAndRefusals()
    {
        GeotagPanel p;
        for (int b : {0, 1, -1})  // on, switched off, not loaded
            p.addTag(tag("t", b));
        p.tag_item_double_clicked_slot(p.list()->item(0));
        QCOMPARE(m_host.jumps, (QList<QPair<int, qint64>>{qMakePair(0, qint64(31250))}));  // 62500 / time factor 2
        vxtest::BoxAnswerer boxes({"OK", "OK"});
        p.tag_item_double_clicked_slot(p.list()->item(1));
        p.tag_item_double_clicked_slot(p.list()->item(2));
        QTRY_COMPARE(boxes.texts.size(), 2);
        QCOMPARE(boxes.texts, (QStringList{"To see this Geotag, please enable M1.MOV in the Movies tab",
                                           "To see this Geotag, please enable X.MOV in the Movies tab"}));
        m_host.busy = true;
        p.tag_item_double_clicked_slot(p.list()->item(0));
        QCOMPARE(m_host.jumps.size(), 1);
    }
    void exportAndImport()
    {
        GeotagPanel p;
        p.addTag(tag("a", 0));
        p.addTag(tag("b", 1, 10, 20));
        const QString file = m_dir.filePath("tags.text");
        QVERIFY(p.exportTo(file));
        p.clearAll();
        const int pins = m_map->pinRefreshes();
        QVERIFY(p.importFrom(file));
        QCOMPARE(m_map->pinRefreshes(), pins + 1);
        QCOMPARE(label(p, 1, "eventName") + label(p, 2, "num"), QStringLiteral("b<none>"));
        QCOMPARE(geotags().tag[1].movieBlock, 1);  // found by path beside block 0's movie
        // A file without tags keeps the list; a missing movie is named.
        const QString empty = m_dir.filePath("empty.text"), missing = m_dir.filePath("missing.text");
        QVERIFY(vxtest::writeFile(empty, "ID\tGeoTag Name\n"));
        QVERIFY(vxtest::writeFile(missing, "1\tz\td\tt\tNOPE.MOV\t1\t2\t3\t4\t5\t6\n"));
        vxtest::BoxAnswerer boxes({"OK", "OK"});
        QVERIFY(!p.importFrom(empty));
        QCOMPARE(p.rowCount(), 2);
        QVERIFY(p.importFrom(missing));
        QTRY_COMPARE(boxes.texts.size(), 2);
        QCOMPARE(boxes.texts,
                 (QStringList{geotagNothingImportedText(empty), geotagMissingMovieText(m_dir.filePath("NOPE.MOV"))}));
        QCOMPARE(p.rowCount(), 1);
        QCOMPARE(label(p, 0, "", true), QStringLiteral("(200, 200, 200)"));
        QVERIFY(!p.exportTo(m_dir.filePath("no/folder/t.text")));
    }
    void distancesFollowPlaybackAndSettings()
    {
        controlCenterDialog cc;
        GeotagPanel *p = cc.geotagPanel();
        p->addTag(tag("a", 0, 0.0, 1.0));
        Geotag nowhere = tag("no telemetry", 0, 0.0, 0.0);
        nowhere.pointBlock = -1;
        p->addTag(nowhere);
        QCOMPARE(label(*p, 1, "latLon losDistance"), QStringLiteral("No position|LOS: n/a"));
        cc.updateCurrentPoint(GeotagPoint{0.0, 2.0, 0.0, false, 0, 0});
        QCOMPARE(label(*p, 1, "losDistance routeDistance"), QStringLiteral("LOS: n/a|Route: n/a"));
        const double km = 6378.137 * M_PI / 180;
        QCOMPARE(label(*p, 0, "losDistance routeDistance"),
                 QStringLiteral("LOS: %1 km|Route: 0.500 km").arg(km, 0, 'f', 3));
        settings().outUnits = 2;
        settings().datumFormat = 2;
        recomputeFactors();
        cc.applySettings(UnitsChanged | CoordinatesChanged);
        QCOMPARE(label(*p, 0, "speed routeDistance latLon"),
                 QString::fromUtf8("10 m/s|Route: 500.000 meters|00\u00b0 00' 00.00\" N, 001\u00b0 00' 00.00\" E"));
    }
};

QTEST_MAIN(TestGeotagPanel)
#include "test_geotagpanel.moc"
