// The window management on its own: the default layout arithmetic, the
// first-run places, the dashboard's orientation rebuild, the reset of the
// window positions and the ownership of the secondary windows.
#include "guitest.h"

#include "control/controlcenterdialog.h"
#include "main/mainmenus.h"
#include "main/startup.h"
#include "main/windowmanager.h"
#include "settings/settings.h"
#include "views/datadialog.h"
#include "views/graphdialog.h"
#include "views/mapdialog.h"

#include <QAction>
#include <QMainWindow>
#include <QPointer>
#include <QSettings>
#include <QtTest>

using namespace vx;

namespace {

using vxtest::store;

void compareRect(const WindowPlace &place, QPoint pos, QSize size)
{
    QCOMPARE(place.pos, pos);
    QCOMPARE(place.size, size);
}

// A player window with the real menus, and its window manager.
struct Fixture {
    QMainWindow main;
    MainMenus menus;
    WindowManager manager;
    Fixture()
        : menus(buildMainMenus(&main))
        , manager(&main)
    {
        manager.setSyncActions(menus.actions.sync_windows, menus.actions.sync_windows_toggle);
        manager.setDashboardActions(menus.actions.dashboard_vert, menus.actions.dashboard_horiz);
        manager.recomputeLayout();
    }
};

} // namespace

class TestWindowManager : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        vxtest::silencePlatformWarnings();
        setApplicationIdentity();
    }

    void init()
    {
        store().clear();
        store().sync();
        setDefaultSettings();
    }

    void defaultLayoutOnA1440By900Screen()
    {
        const DefaultLayout l = computeDefaultLayout(QSize(1440, 900), 22);
        compareRect(l.player, QPoint(0, 0), QSize(1080, 684));
        compareRect(l.dashboard, QPoint(460, 706), QSize(620, 172));
        compareRect(l.map, QPoint(1080, 180), QSize(360, 720));
        compareRect(l.graph, QPoint(0, 706), QSize(460, 150));
        compareRect(l.controlCenter, QPoint(1080, 0), QSize(360, 158));
        QCOMPARE(&l.row(LayoutRow::Map), &l.map);
        QCOMPARE(&l.row(LayoutRow::ControlCenter), &l.controlCenter);
        QCOMPARE(&l.row(LayoutRow::None), &l.player);
    }

    void defaultLayoutTruncatesFractions()
    {
        // 0.75 * 1366 = 1024.5, 0.2 * 768 = 153.6, 0.8 * 768 = 614.4.
        const DefaultLayout l = computeDefaultLayout(QSize(1366, 768), 25);
        compareRect(l.player, QPoint(0, 0), QSize(1024, 549));
        compareRect(l.dashboard, QPoint(404, 574), QSize(620, 169));
        compareRect(l.map, QPoint(1024, 153), QSize(342, 614));
        compareRect(l.graph, QPoint(0, 574), QSize(404, 144));
        compareRect(l.controlCenter, QPoint(1024, 0), QSize(342, 128));
    }

    void firstRunPlacesEachWindowOnce()
    {
        Fixture f;
        f.manager.setLayoutForTesting(computeDefaultLayout(QSize(1440, 900), 22));
        QRect place;
        QVERIFY(!f.manager.firstRunPlace(LayoutRow::Map, &place));  // not a first run
        f.manager.setFirstRun(true);
        QVERIFY(!f.manager.firstRunPlace(LayoutRow::None, &place));
        QVERIFY(f.manager.firstRunPlace(LayoutRow::Map, &place));
        QCOMPARE(place, QRect(1080, 180, 360, 720));
        // Hidden and shown again in the same run: where the user left it.
        QVERIFY(!f.manager.firstRunPlace(LayoutRow::Map, &place));
        QVERIFY(f.manager.firstRunPlace(LayoutRow::Graph, &place));
        QCOMPARE(place, QRect(0, 706, 460, 150));
    }

    void firstRunPlacesNeverGoBelowOnePixel()
    {
        // On a tiny screen the graph's width comes out negative.
        Fixture f;
        f.manager.setLayoutForTesting(computeDefaultLayout(QSize(640, 480), 22));
        QVERIFY(f.manager.layout().graph.size.width() < 0);
        f.manager.setFirstRun(true);
        QRect place;
        QVERIFY(f.manager.firstRunPlace(LayoutRow::Graph, &place));
        QVERIFY(place.width() >= 1 && place.height() >= 1);
    }

    void windowsAreCreatedOnceAndShownByTheirFlags()
    {
        store().setValue(QStringLiteral("Graph/graphVis"), false);
        store().setValue(QStringLiteral("Dashboard/dataVis"), true);
        store().sync();
        QPointer<myDialog> dash, graph;
        {
            Fixture f;
            f.manager.createWindows();
            dash = g_dataDialog;
            graph = g_graphDialog;
            QCOMPARE(g_dataDialog->objectName(), QStringLiteral("dataDialogHoriz"));
            QCOMPARE(f.manager.window(LayoutRow::Map), static_cast<myDialog *>(g_mapDialog));
            QVERIFY(!g_dataDialog->parent() && !g_mapDialog->parent());
            f.manager.showSavedWindows();
            QVERIFY(g_dataDialog->isVisible() && g_mapDialog->isVisible() && g_controlCenterDialog->isVisible());
            QVERIFY(!g_graphDialog->isVisible());
        }
        // The manager deletes what it made and lets go of the pointers.
        QVERIFY(dash.isNull() && graph.isNull());
        QCOMPARE(g_mapDialog, static_cast<mapDialog *>(nullptr));
        QCOMPARE(g_controlCenterDialog, static_cast<controlCenterDialog *>(nullptr));
    }

    void theDashboardIsRebuiltForTheOtherOrientation()
    {
        Fixture f;
        f.manager.createWindows();
        f.manager.showSavedWindows();
        g_dataDialog->move(40, 60);
        QPointer<dataDialog> old = g_dataDialog;
        QSignalSpy rebuilt(&f.manager, &WindowManager::dashboardRebuilt);

        f.manager.rebuildDashboard(true);
        QVERIFY(old.isNull());
        QCOMPARE(rebuilt.count(), 1);
        QCOMPARE(rebuilt.first().first().value<dataDialog *>(), g_dataDialog);
        QVERIFY(g_dataDialog->isVertical());
        QCOMPARE(g_dataDialog->objectName(), QStringLiteral("dataDialogVert"));
        QCOMPARE(g_dataDialog->windowTitle(), QStringLiteral("Dashboard "));
        QVERIFY(g_dataDialog->isVisible());
        // Resized to 1000 x 1000: its own limits decide.
        QCOMPARE(g_dataDialog->size(), g_dataDialog->maximumSize().boundedTo(QSize(1000, 1000)));
        QVERIFY(f.menus.actions.dashboard_vert->isChecked());
        QVERIFY(!f.menus.actions.dashboard_horiz->isChecked());
        QVERIFY(settings().dashboardVertical);
        store().sync();
        QCOMPARE(store().value(QStringLiteral("configuration/dashboardVertical")).toBool(), true);
        QCOMPARE(store().value(QStringLiteral("Dashboard/pos")).toPoint(), QPoint(40, 60));

        f.manager.rebuildDashboard(false);
        QCOMPARE(g_dataDialog->windowTitle(), QStringLiteral("Dashboard"));
        QCOMPARE(g_dataDialog->size(), QSize(620, 194));
        QVERIFY(f.menus.actions.dashboard_horiz->isChecked() && !f.menus.actions.dashboard_vert->isChecked());
        // Back in the horizontal group: the place it had there.
        QCOMPARE(g_dataDialog->pos(), QPoint(40, 60));
        store().sync();
        QVERIFY(store().contains(QStringLiteral("Dashboard /pos")));
    }

    void resetPutsEveryWindowInItsDefaultPlaceAndTurnsSyncOff()
    {
        settings().dashboardVertical = true;
        Fixture f;
        f.manager.createWindows();
        f.manager.setSyncOn(true);
        f.main.resize(560, 300);
        f.main.move(200, 200);
        // Only the control center is on screen, somewhere else.
        g_controlCenterDialog->show();
        g_controlCenterDialog->move(300, 300);

        f.manager.resetPositions();
        const DefaultLayout &l = f.manager.layout();
        QVERIFY(!f.manager.syncOn());
        QVERIFY(!f.menus.actions.sync_windows->isChecked());
        store().sync();
        QCOMPARE(store().value(QStringLiteral("configuration/sync_windows")).toBool(), false);
        QCOMPARE(f.main.pos(), l.player.pos);
        QVERIFY(!g_dataDialog->isVertical());
        for (LayoutRow row : {LayoutRow::Dashboard, LayoutRow::Map, LayoutRow::Graph, LayoutRow::ControlCenter}) {
            myDialog *w = f.manager.window(row);
            QVERIFY2(w->isVisible(), qPrintable(w->objectName()));
            // On the 800-pixel test screen the dashboard's place starts left of
            // the screen; the test platform keeps windows' frames on it.
            if (l.row(row).pos.x() >= 0)
                QCOMPARE(w->pos(), l.row(row).pos);
            const QSize expected = l.row(row).size.expandedTo(w->minimumSize()).boundedTo(w->maximumSize());
            QCOMPARE(w->size(), expected.expandedTo(QSize(1, 1)));
        }
    }

    void guardedAndUnsyncedMovesStayPut()
    {
        Fixture f;
        f.manager.createWindows();
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
        QCOMPARE(g_mapDialog->pos(), QPoint(105, 95));
        QVERIFY(!f.manager.syncGuard());
        QCOMPARE(WindowManager::visibilityKey(LayoutRow::ControlCenter), QStringLiteral("controlCenterVis"));
        QCOMPARE(WindowManager::visibilityKey(LayoutRow::Dashboard), QStringLiteral("dataVis"));
    }
};

QTEST_MAIN(TestWindowManager)
#include "test_windowmanager.moc"
