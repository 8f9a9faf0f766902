// The window management on its own: the default layout arithmetic, the first-run places, the dashboard's
// orientation rebuild, the reset of the window positions and the ownership of the secondary windows.
#include "playerfixture.h"

#include "main/mainmenus.h"

using namespace vx;

using vxtest::store;

namespace {

QString rects(const DefaultLayout &l) {
    QStringList out;
    for (const WindowPlace *p : {&l.player, &l.dashboard, &l.map, &l.graph, &l.controlCenter})
        out << QString("%1,%2 %3x%4").arg(p->pos.x()).arg(p->pos.y()).arg(p->size.width()).arg(p->size.height());
    return out.join(" | ");
}

// A player window with the real menus, and its window manager.
struct Fixture {
    QMainWindow main;
    MainMenus menus;
    WindowManager manager;
    explicit Fixture(bool create = true) : menus(buildMainMenus(&main)), manager(&main) {
        manager.setSyncActions(menus.actions.sync_windows, menus.actions.sync_windows_toggle);
        manager.setDashboardActions(menus.actions.dashboard_vert, menus.actions.dashboard_horiz);
        manager.recomputeLayout();
        if (create)
            manager.createWindows();
    }
};

} // namespace

class TestWindowManager : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { vxtest::silencePlatformWarnings(), setApplicationIdentity(); }
    void init() { vxtest::resetStore(false); }

    void defaultLayoutAndTheFirstRunPlaces() {
        // Player, dashboard, map, graph, control center. On 1366 x 768 the fractions are truncated:
        // 0.75 * 1366 = 1024.5, 0.2 * 768 = 153.6, 0.8 * 768 = 614.4.
        const DefaultLayout l = computeDefaultLayout(QSize(1440, 900), 22);
        QCOMPARE(rects(l), "0,0 1080x684 | 460,706 620x172 | 1080,180 360x720 | 0,706 460x150 | 1080,0 360x158");
        QCOMPARE(rects(computeDefaultLayout(QSize(1366, 768), 25)),
                 "0,0 1024x549 | 404,574 620x169 | 1024,153 342x614 | 0,574 404x144 | 1024,0 342x128");
        QVERIFY(&l.row(LayoutRow::Map) == &l.map && &l.row(LayoutRow::ControlCenter) == &l.controlCenter
                && &l.row(LayoutRow::None) == &l.player);
        // The first run places each window once.
        Fixture f(false), tiny(false);
        f.manager.setLayoutForTesting(l);
        QRect place;
        QVERIFY(!f.manager.firstRunPlace(LayoutRow::Map, &place));  // not a first run
        f.manager.setFirstRun(true);
        QVERIFY(!f.manager.firstRunPlace(LayoutRow::None, &place));
        QVERIFY(f.manager.firstRunPlace(LayoutRow::Map, &place) && place == QRect(1080, 180, 360, 720));
        // Hidden and shown again in the same run: where the user left it.
        QVERIFY(!f.manager.firstRunPlace(LayoutRow::Map, &place));
        QVERIFY(f.manager.firstRunPlace(LayoutRow::Graph, &place) && place == QRect(0, 706, 460, 150));
        // On a tiny screen the graph's width comes out negative; the place never goes below one pixel.
        tiny.manager.setLayoutForTesting(computeDefaultLayout(QSize(640, 480), 22));
        QVERIFY(tiny.manager.layout().graph.size.width() < 0);
        tiny.manager.setFirstRun(true);
        QVERIFY(tiny.manager.firstRunPlace(LayoutRow::Graph, &place) && place.width() >= 1 && place.height() >= 1);
    }

    void windowsAreCreatedOnceShownByTheirFlagsAndFollowMoves() {
        store().setValue("Graph/graphVis", false);
        store().setValue("Dashboard/dataVis", true);
        store().sync();
        QPointer<myDialog> dash, graph;
        {
            Fixture f;
            dash = g_dataDialog;
            graph = g_graphDialog;
            QCOMPARE(g_dataDialog->objectName(), "dataDialogHoriz");
            QCOMPARE(f.manager.window(LayoutRow::Map), static_cast<myDialog *>(g_mapDialog));
            QVERIFY(!g_dataDialog->parent() && !g_mapDialog->parent());
            f.manager.showSavedWindows();
            QVERIFY(g_dataDialog->isVisible() && g_mapDialog->isVisible() && g_controlCenterDialog->isVisible()
                    && !g_graphDialog->isVisible());
            // Moves while sync is off or the guard is up leave the others put.
            g_mapDialog->move(100, 100);
            f.manager.mainWindowMoved(QPoint(5, 5));  // sync off
            QCOMPARE(g_mapDialog->pos(), QPoint(100, 100));
            f.manager.setSyncOn(true);
            f.manager.setSyncGuard(true);
            f.manager.mainWindowMoved(QPoint(5, 5));
            f.manager.dialogMoved(LayoutRow::Graph, QPoint(5, 5));
            QCOMPARE(g_mapDialog->pos(), QPoint(100, 100));
            f.manager.setSyncGuard(false);
            f.manager.dialogMoved(LayoutRow::Graph, QPoint(5, -5));
            QVERIFY(g_mapDialog->pos() == QPoint(105, 95) && !f.manager.syncGuard());
            QCOMPARE(WindowManager::visibilityKey(LayoutRow::ControlCenter) + WindowManager::visibilityKey(LayoutRow::Dashboard),
                     "controlCenterVisdataVis");
        }
        // The manager deletes what it made and lets go of the pointers.
        QVERIFY(dash.isNull() && graph.isNull() && !g_mapDialog && !g_controlCenterDialog && !g_dataDialog);
    }

    void theDashboardIsRebuiltForTheOtherOrientation() {
        Fixture f;
        f.manager.showSavedWindows();
        g_dataDialog->move(40, 60);
        QPointer<dataDialog> old = g_dataDialog;
        QSignalSpy rebuilt(&f.manager, &WindowManager::dashboardRebuilt);

        f.manager.rebuildDashboard(true);
        QVERIFY(old.isNull() && rebuilt.count() == 1 && g_dataDialog->isVertical() && g_dataDialog->isVisible());
        QCOMPARE(rebuilt.first().first().value<dataDialog *>(), g_dataDialog);
        QCOMPARE(g_dataDialog->objectName() + '|' + g_dataDialog->windowTitle(), "dataDialogVert|Dashboard ");
        // Resized to 1000 x 1000: its own limits decide.
        QCOMPARE(g_dataDialog->size(), g_dataDialog->maximumSize().boundedTo(QSize(1000, 1000)));
        QVERIFY(f.menus.actions.dashboard_vert->isChecked() && !f.menus.actions.dashboard_horiz->isChecked());
        QVERIFY(settings().dashboardVertical && store().value("configuration/dashboardVertical").toBool());
        QCOMPARE(store().value("Dashboard/pos").toPoint(), QPoint(40, 60));

        f.manager.rebuildDashboard(false);
        QCOMPARE(g_dataDialog->windowTitle(), "Dashboard");
        QCOMPARE(g_dataDialog->size(), QSize(620, 194));
        QVERIFY(f.menus.actions.dashboard_horiz->isChecked() && !f.menus.actions.dashboard_vert->isChecked());
        // Back in the horizontal group: the place it had there.
        QCOMPARE(g_dataDialog->pos(), QPoint(40, 60));
        QVERIFY(store().contains("Dashboard /pos"));
    }

    void resetPutsEveryWindowInItsDefaultPlaceAndTurnsSyncOff() {
        settings().dashboardVertical = true;
        Fixture f;
        f.manager.setSyncOn(true);
        f.main.resize(560, 300);
        f.main.move(200, 200);
        // Only the control center is on screen, somewhere else.
        g_controlCenterDialog->show();
        g_controlCenterDialog->move(300, 300);

        f.manager.resetPositions();
        const DefaultLayout &l = f.manager.layout();
        QVERIFY(!f.manager.syncOn() && !f.menus.actions.sync_windows->isChecked() && !g_dataDialog->isVertical());
        QVERIFY(!store().value("configuration/sync_windows").toBool());
        QCOMPARE(f.main.pos(), l.player.pos);
        for (LayoutRow row : {LayoutRow::Dashboard, LayoutRow::Map, LayoutRow::Graph, LayoutRow::ControlCenter}) {
            myDialog *w = f.manager.window(row);
            QVERIFY2(w->isVisible(), qPrintable(w->objectName()));
            // On the 800-pixel test screen the dashboard's place starts left of the screen; the test platform
            // keeps windows' frames on it.
            if (l.row(row).pos.x() >= 0)
                QCOMPARE(w->pos(), l.row(row).pos);
            QCOMPARE(w->size(), l.row(row).size.expandedTo(w->minimumSize()).boundedTo(w->maximumSize()).expandedTo(QSize(1, 1)));
        }
    }

};

QTEST_MAIN(TestWindowManager)
#include "test_windowmanager.moc"
