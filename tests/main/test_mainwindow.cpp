// The player window as a container (commands, geometry, moves, fullscreen, auto-load, settings), its window manager.
#include "playerfixture.h"
#include "main/mainmenus.h"
#include "main/notice.h"
#include "main/platform.h"
#include "main/shortcutsdialog.h"
#include "views/viewhost.h"
#include <cmath>

using namespace vx;
using vxtest::store;

namespace {
QList<QWidget *> secondaryWindows() { return {g_dataDialog, g_mapDialog, g_graphDialog, g_controlCenterDialog}; }
QRect storedPlace() { return QRect(store().value("mainWindow/pos").toPoint(), store().value("mainWindow/size").toSize()); }
// Records each window's move events as the distances moved, and the addresses opened.
struct Recorder : QObject {
    Q_OBJECT
public:
    QHash<QObject *, QList<QPoint>> moves;
    QList<QUrl> urls;
    bool eventFilter(QObject *o, QEvent *e) override {
        const auto *m = e->type() == QEvent::Move ? static_cast<QMoveEvent *>(e) : nullptr;
        if (m && m->pos() != m->oldPos())
            moves[o] << m->pos() - m->oldPos();
        return false;
    }
public slots:
    void open(const QUrl &url) { urls << url; }
};
struct RecordingWindow : MainWindow {
    QStringList loads;
    void loadFolderByPath(const QString &folder) override { loads << folder; }
};
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

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { vxtest::silencePlatformWarnings(), setApplicationIdentity(); }
    void init() { vxtest::resetStore(); }
    void cleanup() { QVERIFY(!g_dataDialog && !g_mapDialog && !g_graphDialog && !g_controlCenterDialog); }
    // A fresh window: keys, transport, playlist, manual, host, damaged player settings.
    void aFreshWindowItsCommandsAndItsHost() {
        for (const auto &[key, value] : {std::pair<const char *, double>{"volume", 75.0}, {"brightness", 5000}, {"contrast", -900}})
            store().setValue(QString("configuration/") + key, value);
        {
            MainWindow w;
            const MainActions &a = w.actions();
            // Every key the program answers to is in the shortcuts table, once.
            QStringList listed, keys = QString("Space Left Right Up Down F11 Alt+Return 0 9 E 7 Q 8 W 5 S 4 A 6 D G P F").split(' ');
            for (const ShortcutEntry &e : shortcutTable())
                listed << e.alternatives;
            for (QAction *x : w.findChildren<QAction *>())
                keys << x->shortcut().toString(QKeySequence::PortableText);
            for (const QString &key : keys)
                QVERIFY2(key.isEmpty() || listed.contains(key), qPrintable(key));
            QCOMPARE(listed.removeDuplicates(), 0);
            QVERIFY(a.dashboard_horiz->isChecked() && !a.dashboard_vert->isChecked() && !a.sync_windows->isChecked());
            // Every command is live but those that need movies: they follow the transport, off until a load.
            const QList<QAction *> exports = {a.export_csv, a.export_gpx, a.export_kml, a.export_movie, a.merge_movies,
                                              a.export_screenshot};
            for (QAction *on : w.findChildren<QAction *>())
                QVERIFY2(on->isEnabled() || exports.contains(on) || on->menu(), qPrintable(on->text()));
            PlayerPanel *p = w.panel();
            QCOMPARE(p->jumpToCombo->itemText(0) + ' ' + p->dateLabel->text(), "Vmax Volantix");
            const QList<QWidget *> transport = {p->previousButton, p->instantReplayButton, p->nextButton, p->playPauseButton,
                                                p->masterSlider, p->fasterButton, p->slowerButton, p->jumpToCombo, p->geotagButton};
            // The control center's geotag tab follows it, a control added later too; the tab bar stays usable.
            controlCenterDialog *cc = g_controlCenterDialog;
            auto *later = new QWidget(cc->moviesTab());
            for (int step = 0; step < 3; ++step) {
                const bool on = step == 1;
                if (step > 0)
                    w.enableTransport(on);
                for (QWidget *t : transport)
                    QVERIFY2(t->isEnabled() == on, qPrintable(t->objectName()));
                for (QAction *e : exports)
                    QVERIFY2(e->isEnabled() == on, qPrintable(e->text()));
                QVERIFY(later->isEnabled() == on && cc->geotagsTab()->isEnabled() == on && cc->tabs()->tabBar()->isEnabled());
            }
            QCOMPARE(playlistSink(), static_cast<PlaylistSink *>(&w));
            w.appendToPlaylist("/movies/a b#1.mov");
            QVERIFY(w.playlist()->mediaCount() == 1 && w.playlist()->media(0).request().url().toLocalFile() == "/movies/a b#1.mov");
            // The user manual opens; a '#' in its path must survive.
            Recorder recorder;
            QDesktopServices::setUrlHandler("file", &recorder, "open");
            QTemporaryDir dir;
            const QString manual = dir.filePath("Volantix Users Manual.pdf#1");
            QVERIFY(vxtest::writeFile(manual, "%PDF-1.4\n"));
            w.openUserManual(manual);
            QDesktopServices::unsetUrlHandler("file");
            QCOMPARE(recorder.urls, QList<QUrl>{QUrl::fromLocalFile(manual)});
            // A unit change made in one window reaches every window and the jump-to box, and is saved.
            QVERIFY(viewHost());
            settings().outUnits = 1;
            const unsigned both = UnitsChanged | CoordinatesChanged;
            viewHost()->settingsChanged(both);
            QCOMPARE(p->jumpToCombo->itemText(0) + ' ' + g_dataDialog->speedGauge().unitLabel->text(), "Vmax (0 km/h) km/h");
            QCOMPARE(QList<unsigned>({g_mapDialog->settingsApplied(), g_graphDialog->settingsApplied()}), QList<unsigned>({both, both}));
            QCOMPARE(store().value("configuration/outUnits").toInt(), 1);
            w.applySavedPlayerSettings();
            QCOMPARE(QString("%1 %2 %3").arg(p->volumeSlider->value()).arg(p->brightnessSlider->value()).arg(p->contrastSlider->value()),
                     "100 100 -100");
            settings().volume = std::nanf("");
            w.applySavedPlayerSettings();
            QCOMPARE(p->volumeSlider->value(), 100);
            w.close();
        }
        QVERIFY(!viewHost());
    }
    // A first run takes the default layout and marks the store at once; so do a missing and an off-screen place.
    void openingGeometry_data() {
        QTest::addColumn<bool>("firstRun");
        QTest::addColumn<QRect>("place");  // stored
        QTest::addColumn<bool>("restored");
        QTest::newRow("first run") << true << QRect() << false;
        QTest::newRow("nothing stored") << false << QRect() << false;
        QTest::newRow("off every screen") << false << QRect(-90000, 40, 100000, 100000) << false;
        QTest::newRow("stored") << false << QRect(33, 44, 500, 400) << true;
    }
    void openingGeometry() {
        QFETCH(bool, firstRun);
        QFETCH(QRect, place);
        QFETCH(bool, restored);
        vxtest::resetStore(!firstRun);
        const QSize size = place.isValid() ? place.size() : QSize();
        const QPoint pos = place.topLeft();
        for (const auto &[key, value] : {std::pair<const char *, QVariant>{"mainWindow/size", size}, {"mainWindow/pos", pos},
                                         {"configuration/sync_windows", true}, {"Map/mapVis", false}})
            if (size.isValid())
                store().setValue(key, value);
        const DefaultLayout layout = computeDefaultLayoutForScreen();
        MainWindow w;
        QCOMPARE(w.firstRun(), firstRun);
        QCOMPARE(w.pos(), restored ? pos : layout.player.pos);
        QVERIFY(w.width() <= QGuiApplication::primaryScreen()->virtualGeometry().width());
        QCOMPARE(w.size(), restored ? size : size.isValid() ? w.size() : layout.player.size);
        QCOMPARE(w.actions().sync_windows->isChecked() && w.windows()->syncOn(), size.isValid());
        QCOMPARE(g_mapDialog->isVisible(), !size.isValid());
        QVERIFY(g_graphDialog->isVisible() && g_dataDialog->isVisible() && g_controlCenterDialog->isVisible());
        if (firstRun) {  // the windows shown at start take their rows
            QCOMPARE(QRect(g_mapDialog->pos(), g_mapDialog->size()), QRect(layout.map.pos, layout.map.size));
            QCOMPARE(g_controlCenterDialog->pos(), layout.controlCenter.pos);
            QVERIFY(store().contains("configuration/confVersion"));
        }
        w.close();
    }
    void fullscreenHidesAndRestoresTheWindowsItFound() {
        MainWindow w;
        QVERIFY(vxtest::exposed(w));
        g_mapDialog->hide();
        w.fullscreen_slot();
        QVERIFY(w.isFullScreen() && w.menuBar()->height() == 0 && w.menus().toolBar->maximumHeight() == 0);
        for (QWidget *d : secondaryWindows())
            QVERIFY(!d->isVisible());
        // The notice: frameless, no buttons, centred at the bottom, gone after its time.
        QPointer<QMessageBox> notice = w.findChild<QMessageBox *>("transientNotice");
        QVERIFY(notice && notice->isVisible() && notice->buttons().isEmpty() && (notice->windowFlags() & Qt::FramelessWindowHint));
        QVERIFY(notice->text() == fullscreenNoticeText() && notice->frameGeometry().bottom() == w.frameGeometry().bottom());
        QVERIFY(qAbs(notice->frameGeometry().center().x() - w.frameGeometry().center().x()) <= 1);
        QTRY_VERIFY_WITH_TIMEOUT(notice.isNull(), NOTICE_DURATION_MS + 2000);
        QPointer<QMessageBox> orphan = showTransientNotice(nullptr, "x", 50);  // a notice without window goes away too
        QTRY_VERIFY_WITH_TIMEOUT(orphan.isNull(), 2000);
        w.fullscreen_slot();
        QVERIFY(!w.isFullScreen() && !g_mapDialog->isVisible() && w.menuBar()->maximumHeight() > 0);
        QVERIFY(g_dataDialog->isVisible() && g_graphDialog->isVisible() && w.menus().toolBar->maximumHeight() == 28);
        // F11 and Alt+Return toggle it from any window.
        QTest::keyClick(g_graphDialog, Qt::Key_F11);
        QVERIFY(w.isFullScreen());
        QTest::keyClick(&w, Qt::Key_Return, Qt::AltModifier);
        QVERIFY(!w.isFullScreen() && g_graphDialog->isVisible());
        // Closing in fullscreen keeps the normal place and the windows it hid (the map was hidden before).
        w.resize(570, 420), w.move(15, 25);
        QTest::keyClick(&w, Qt::Key_F11), w.close();
        QVERIFY(storedPlace() == QRect(15, 25, 570, 420) && store().value("Graph/graphVis").toBool());
        QVERIFY(!store().value("Map/mapVis").toBool() && store().value("Dashboard/dataVis").toBool());
    }
    void syncMovesEveryOtherWindowOnceBySameDelta() {
        MainWindow w;
        w.show();
        for (QWidget *d : QList<QWidget *>{&w} + secondaryWindows())
            QVERIFY(QTest::qWaitForWindowExposed(d));
        w.move(50, 50);
        QTest::qWait(SYNC_SETTLE_MS + 50);  // moves made while a window appears are the window system's
        w.actions().sync_windows->trigger();
        QVERIFY(w.windows()->syncOn() && store().value("configuration/sync_windows").toBool());
        const QList<QWidget *> others = {&w, g_mapDialog, g_graphDialog, g_controlCenterDialog};
        Recorder counter;
        for (QWidget *o : others)
            o->installEventFilter(&counter);
        g_dataDialog->move(g_dataDialog->pos() + QPoint(10, -5));
        QTest::qWait(50);
        for (QWidget *o : others) {  // each moved once, by the same distance
            QCOMPARE(counter.moves.value(o), QList<QPoint>{QPoint(10, -5)});
            o->removeEventFilter(&counter);
        }
        // Toggled off from the toolbar: nothing follows.
        w.actions().sync_windows_toggle->trigger();
        const QPoint playerBefore = w.pos();
        g_dataDialog->move(g_dataDialog->pos() + QPoint(30, 30));
        QVERIFY(!w.actions().sync_windows->isChecked() && w.pos() == playerBefore);
        w.close();
    }
    void autoLoadRunsOnceWhenFirstShownAndNotWithoutTheSetting() {
        for (bool on : {true, false}) {
            store().setValue("configuration/autoload", on), store().setValue("configuration/autoloadDir", "/data/flights");
            RecordingWindow w;
            w.show(), QTest::qWait(50);
            w.hide(), w.show(), QTest::qWait(50);  // minimised and shown again: the user's movies stay
            QCOMPARE(w.loads, on ? QStringList{"/data/flights"} : QStringList());
            w.close();
        }
    }
    // The window manager on its own: default layout, first-run places, the dashboard rebuild, reset, ownership.
    void defaultLayoutAndTheFirstRunPlaces() {
        // Player, dashboard, map, graph, control center; on 1366 x 768 the fractions are truncated.
        const DefaultLayout l = computeDefaultLayout(QSize(1440, 900), 22);
        QCOMPARE(rects(l), "0,0 1080x684 | 460,706 620x172 | 1080,180 360x720 | 0,706 460x150 | 1080,0 360x158");
        QCOMPARE(rects(computeDefaultLayout(QSize(1366, 768), 25)),
                 "0,0 1024x549 | 404,574 620x169 | 1024,153 342x614 | 0,574 404x144 | 1024,0 342x128");
        Fixture f(false), tiny(false);  // the first run places each window once
        f.manager.setLayoutForTesting(l);
        QRect place;
        QVERIFY(!f.manager.firstRunPlace(LayoutRow::Map, &place));  // not a first run
        f.manager.setFirstRun(true);
        QVERIFY(f.manager.firstRunPlace(LayoutRow::Map, &place) && place == QRect(1080, 180, 360, 720));
        QVERIFY(!f.manager.firstRunPlace(LayoutRow::Map, &place));  // shown again in the same run: where the user left it
        // On a tiny screen the graph's width comes out negative; the place never goes below one pixel.
        tiny.manager.setLayoutForTesting(computeDefaultLayout(QSize(640, 480), 22));
        QVERIFY(tiny.manager.layout().graph.size.width() < 0);
        tiny.manager.setFirstRun(true);
        QVERIFY(tiny.manager.firstRunPlace(LayoutRow::Graph, &place) && place.width() >= 1 && place.height() >= 1);
    }
    // Windows made once with no parent, shown by their stored flags; the dashboard rebuilt for the other orientation.
    void windowsShownByTheirFlagsAndTheDashboardRebuilt() {
        store().setValue("Graph/graphVis", false);
        Fixture f;
        QVERIFY(g_dataDialog->objectName() == "dataDialogHoriz" && !g_dataDialog->parent() && !g_mapDialog->parent());
        f.manager.showSavedWindows();
        QVERIFY(g_dataDialog->isVisible() && g_mapDialog->isVisible() && g_controlCenterDialog->isVisible()
                && !g_graphDialog->isVisible());
        g_dataDialog->move(40, 60);
        QPointer<dataDialog> old = g_dataDialog;
        QSignalSpy rebuilt(&f.manager, &WindowManager::dashboardRebuilt);
        f.manager.rebuildDashboard(true);
        QVERIFY(old.isNull() && rebuilt.count() == 1 && g_dataDialog->isVertical() && g_dataDialog->isVisible());
        QVERIFY(rebuilt.first().first().value<dataDialog *>() == g_dataDialog && g_dataDialog->objectName() == "dataDialogVert");
        QCOMPARE(g_dataDialog->size(), g_dataDialog->maximumSize().boundedTo(QSize(1000, 1000)));  // its own limits decide
        QVERIFY(f.menus.actions.dashboard_vert->isChecked() && !f.menus.actions.dashboard_horiz->isChecked());
        QVERIFY(settings().dashboardVertical && store().value("configuration/dashboardVertical").toBool()
                && store().value("Dashboard/pos").toPoint() == QPoint(40, 60));
        // Back to horizontal: the size and the place it had in that group.
        f.manager.rebuildDashboard(false);
        QCOMPARE(QRect(g_dataDialog->pos(), g_dataDialog->size()), QRect(40, 60, 620, 194));
        QVERIFY(g_dataDialog->windowTitle() == "Dashboard" && f.menus.actions.dashboard_horiz->isChecked()
                && !f.menus.actions.dashboard_vert->isChecked() && store().contains("Dashboard /pos"));
    }
    void resetPutsEveryWindowInItsDefaultPlaceAndTurnsSyncOff() {
        settings().dashboardVertical = true;
        Fixture f;
        f.manager.setSyncOn(true);
        g_mapDialog->show(), g_mapDialog->move(300, 300);
        f.manager.resetPositions();
        QVERIFY(!f.manager.syncOn() && !f.menus.actions.sync_windows->isChecked() && !g_dataDialog->isVertical());
        QVERIFY(g_graphDialog->isVisible() && g_mapDialog->pos() == f.manager.layout().map.pos);
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
