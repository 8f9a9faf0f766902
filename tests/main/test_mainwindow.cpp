// The player window as a container: menus, toolbar, the geometry it opens
// at and saves when it closes, moving the windows together, fullscreen,
// auto-load, the transport switch and the application-wide keys.
#include "guitest.h"
#include "support/testsupport.h"

#include "control/controlcenterdialog.h"
#include "main/mainwindow.h"
#include "main/playerpanel.h"
#include "main/startup.h"
#include "main/windowmanager.h"
#include "settings/settings.h"
#include "settings/versionhistory.h"
#include "views/datadialog.h"
#include "views/gauges/qcitems.h"
#include "views/graphdialog.h"
#include "views/mapdialog.h"
#include "views/viewhost.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QMediaPlaylist>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QSlider>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QVideoWidget>
#include <QNetworkProxy>
#include <QtTest>

#include <cmath>

using namespace vx;

namespace {

using vxtest::store;

// A store that has seen a run before (not a first run).
void markNotFirstRun()
{
    store().setValue(QStringLiteral("configuration/confVersion"), 1);
    store().sync();
}

QStringList itemTexts(const QMenu *menu)
{
    QStringList out;
    for (QAction *a : menu->actions())
        out << (a->isSeparator() ? QStringLiteral("--") : a->text());
    return out;
}

// Counts each window's move events and the distance it moved.
class MoveCounter : public QObject {
public:
    int moves = 0;
    QPoint total;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Move) {
            auto *m = static_cast<QMoveEvent *>(e);
            if (m->pos() != m->oldPos()) {
                ++moves;
                total += m->pos() - m->oldPos();
            }
        }
        return false;
    }
};

class RecordingWindow : public MainWindow {
public:
    QStringList loads;
    void loadFolderByPath(const QString &folder) override { loads << folder; }
};

struct UrlRecorder : QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

} // namespace

class TestMainWindow : public QObject {
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

    void cleanup()
    {
        QCOMPARE(g_dataDialog == nullptr && g_mapDialog == nullptr && g_graphDialog == nullptr
                     && g_controlCenterDialog == nullptr,
                 true);
    }

    void menusHoldEveryItemInOrderWithShortcutsAndRoles()
    {
        MainWindow w;
        const MainMenus &m = w.menus();
        QStringList titles;
        for (QAction *a : w.menuBar()->actions())
            titles << a->text();
        QCOMPARE(titles, (QStringList{"File", "Edit", "Window", "Help"}));
        QVERIFY(m.edit->actions().isEmpty());

        QCOMPARE(itemTexts(m.file), (QStringList{"Open Movie Folder...", "Open Movie Files...", "--",
                                                 "Export to CSV File...", "Export to GPX File...",
                                                 "Export to KML File...", "--", "Quit"}));
        QCOMPARE(itemTexts(m.window), (QStringList{"Dashboard Window", "Graph Window", "Map Window",
                                                   "Control Center Window", "Bring All To Front",
                                                   "Reset Window Positions", "--", "Toggle Fullscreen", "--",
                                                   "Sync Window Movement"}));
        QCOMPARE(itemTexts(m.dashboardWindow), (QStringList{"Vertical", "Horizontal"}));
        QCOMPARE(itemTexts(m.help), (QStringList{"About Volantix", "Preferences...", "User Manual...",
                                                 "Shortcuts...", "--", "Check For New Version..."}));

        const MainActions &a = w.actions();
        const QList<QPair<QAction *, QString>> shortcuts = {
            {a.open_folder, "Ctrl+O"},    {a.open_files, "Ctrl+Shift+O"}, {a.dashboard_vert, "Ctrl+1"},
            {a.dashboard_horiz, "Ctrl+2"}, {a.graph_dialog, "Ctrl+3"},    {a.map_dialog, "Ctrl+4"},
            {a.control_center_dialog, "Ctrl+5"}, {a.bring_to_front, "Ctrl+6"}, {a.reset_windows, "Ctrl+7"},
            {a.fullscreen, "Ctrl+F"},     {a.sync_windows, "Ctrl+0"},     {a.reset_view, "Ctrl+R"},
        };
        for (const auto &s : shortcuts)
            QCOMPARE(s.first->shortcut().toString(QKeySequence::PortableText), s.second);
        for (QAction *none : {a.export_csv, a.export_gpx, a.export_kml, a.file_close, a.about, a.preferences,
                              a.show_users_manual, a.shortcuts, a.get_newest_version})
            QVERIFY2(none->shortcut().isEmpty(), qPrintable(none->text()));

        QCOMPARE(a.file_close->menuRole(), QAction::QuitRole);
        QCOMPARE(a.about->menuRole(), QAction::AboutRole);
        QCOMPARE(a.preferences->menuRole(), QAction::PreferencesRole);
        QVERIFY(a.dashboard_vert->isCheckable() && a.dashboard_horiz->isCheckable());
        QVERIFY(a.sync_windows->isCheckable());
        QVERIFY(!a.sync_windows_toggle->isCheckable());
        // A fresh store: horizontal dashboard, sync off.
        QVERIFY(a.dashboard_horiz->isChecked() && !a.dashboard_vert->isChecked());
        QVERIFY(!a.sync_windows->isChecked());
        w.close();
    }

    void toolbarHasTheButtonsInOrderWithTheirTooltips()
    {
        MainWindow w;
        const MainMenus &m = w.menus();
        QStringList tips;
        for (QAction *a : m.toolBar->actions())
            tips << a->toolTip();
        QCOMPARE(tips, (QStringList{"Open Movie Folder", "Open Movie Files", "Export to CSV File",
                                    "Export to GPX File", "Export to KML File", "Export to JPG File",
                                    "Export Clip to Movie", "Merge Multiple Movies into One Movie",
                                    "Toggle \"Sync Window Movement\" option", "Recenter Movie", "Preferences"}));
        QCOMPARE(m.toolBar->height(), 28);
        QCOMPARE(m.toolBar->minimumHeight(), 28);
        QCOMPARE(m.toolBar->maximumHeight(), 28);
        QCOMPARE(m.toolBar->iconSize(), toolbarIconSize(w.devicePixelRatioF()));
        QCOMPARE(toolbarIconSize(2.0), QSize(24, 24));
        QCOMPARE(toolbarSpacing(2.0), 16);
        QCOMPARE(toolbarIconSize(1.0), QSize(20, 20));

        // Every command is live; those that need movies are off until a load.
        const MainActions &a = w.actions();
        for (QAction *off : {a.export_csv, a.export_gpx, a.export_kml,
                             a.export_screenshot, a.export_movie, a.merge_movies})
            QVERIFY2(!off->isEnabled(), qPrintable(off->text()));
        for (QAction *on : {a.open_folder, a.open_files, a.reset_view, a.file_close, a.dashboard_vert, a.dashboard_horiz, a.graph_dialog, a.map_dialog,
                            a.control_center_dialog, a.bring_to_front, a.reset_windows, a.fullscreen,
                            a.sync_windows, a.sync_windows_toggle, a.about, a.show_users_manual, a.shortcuts,
                            a.get_newest_version, a.preferences})
            QVERIFY2(on->isEnabled(), qPrintable(on->text()));
        w.close();
    }

    void transportSwitchAndGpsLabel()
    {
        MainWindow w;
        PlayerPanel *p = w.panel();
        QCOMPARE(p->placeholder->styleSheet(),
                 QStringLiteral("background-color: rgb(0, 0, 0);\nimage: url(:/images/volantix_pro_splash.png);\n"));
        QCOMPARE(p->jumpToCombo->itemText(0), QStringLiteral("Vmax"));
        QCOMPARE(p->dateLabel->text(), QStringLiteral("Volantix"));
        const QList<QWidget *> transport = {p->previousButton, p->instantReplayButton, p->nextButton,
                                            p->playPauseButton, p->masterSlider, p->fasterButton,
                                            p->slowerButton, p->rateLabel, p->jumpToCombo, p->geotagButton};
        for (QWidget *t : transport)
            QVERIFY2(!t->isEnabled(), qPrintable(t->objectName()));
        QVERIFY(!g_controlCenterDialog->moviesTab()->isEnabled());

        w.enableTransport(true);
        for (QWidget *t : transport)
            QVERIFY2(t->isEnabled(), qPrintable(t->objectName()));
        for (QAction *a : {w.actions().export_csv, w.actions().export_gpx, w.actions().export_kml,
                           w.actions().export_movie, w.actions().merge_movies, w.actions().export_screenshot})
            QVERIFY(a->isEnabled());
        QVERIFY(g_controlCenterDialog->moviesTab()->isEnabled());
        QVERIFY(g_controlCenterDialog->geotagsTab()->isEnabled());

        w.enableTransport(false);
        QVERIFY(!p->jumpToCombo->isEnabled());
        QVERIFY(!w.actions().export_kml->isEnabled() && !w.actions().merge_movies->isEnabled());
        QVERIFY(!g_controlCenterDialog->geotagsTab()->isEnabled());

        p->speedLabel->setText(QStringLiteral("23 mph"));
        w.setGpsPresent(false);
        QCOMPARE(p->noGpsLabel->text(), QStringLiteral("NO GPS DATA LOADED"));
        QVERIFY(p->speedLabel->text().isEmpty());
        w.setGpsPresent(true);
        QVERIFY(p->noGpsLabel->text().isEmpty());
        w.close();
    }

    void storedPlayerSettingsAreAppliedWithinRange()
    {
        markNotFirstRun();
        store().setValue(QStringLiteral("configuration/volume"), 0.29);
        store().setValue(QStringLiteral("configuration/muted"), true);
        store().setValue(QStringLiteral("configuration/brightness"), -40);
        store().setValue(QStringLiteral("configuration/contrast"), 35);
        store().sync();
        {
            MainWindow w;
            w.applySavedPlayerSettings();
            QCOMPARE(w.panel()->volumeSlider->value(), 29);
            QCOMPARE(w.panel()->brightnessSlider->value(), -40);
            QCOMPARE(w.panel()->contrastSlider->value(), 35);
            w.close();
        }
        // A damaged store: values far out of range and not a number.
        store().setValue(QStringLiteral("configuration/volume"), 75.0);
        store().setValue(QStringLiteral("configuration/brightness"), 5000);
        store().setValue(QStringLiteral("configuration/contrast"), -900);
        store().sync();
        {
            MainWindow w;
            w.applySavedPlayerSettings();
            QCOMPARE(w.panel()->volumeSlider->value(), 100);
            QCOMPARE(w.panel()->brightnessSlider->value(), 100);
            QCOMPARE(w.panel()->contrastSlider->value(), -100);
            settings().volume = std::nanf("");
            w.applySavedPlayerSettings();
            QCOMPARE(w.panel()->volumeSlider->value(), 100);
            w.close();
        }
    }

    void firstRunTakesTheDefaultLayoutAndMarksTheStore()
    {
        const DefaultLayout layout = computeDefaultLayoutForScreen();
        MainWindow w;
        QVERIFY(w.firstRun());
        QCOMPARE(w.size(), layout.player.size);
        QCOMPARE(w.pos(), layout.player.pos);
        // The windows shown at start take their rows.
        QVERIFY(g_mapDialog->isVisible());
        QCOMPARE(g_mapDialog->pos(), layout.map.pos);
        QCOMPARE(g_mapDialog->size(), layout.map.size);
        QCOMPARE(g_controlCenterDialog->pos(), layout.controlCenter.pos);
        // The record was written, so the next start is not a first run.
        QVERIFY(store().contains(QStringLiteral("configuration/confVersion")));
        w.close();
        MainWindow again;
        QVERIFY(!again.firstRun());
        again.close();
    }

    void withoutStoredSizeThePlayerOpensAtTheDefaultLayout()
    {
        markNotFirstRun();
        const DefaultLayout layout = computeDefaultLayoutForScreen();
        MainWindow w;
        QVERIFY(!w.firstRun());
        QCOMPARE(w.size(), layout.player.size);
        QCOMPARE(w.pos(), layout.player.pos);
        w.close();
    }

    void storedGeometryAndSyncFlagAreRestored()
    {
        markNotFirstRun();
        store().setValue(QStringLiteral("mainWindow/size"), QSize(500, 400));
        store().setValue(QStringLiteral("mainWindow/pos"), QPoint(33, 44));
        store().setValue(QStringLiteral("configuration/sync_windows"), true);
        store().setValue(QStringLiteral("Map/mapVis"), false);
        store().sync();
        MainWindow w;
        QCOMPARE(w.size(), QSize(500, 400));
        QCOMPARE(w.pos(), QPoint(33, 44));
        QVERIFY(w.actions().sync_windows->isChecked());
        QVERIFY(w.windows()->syncOn());
        QVERIFY(!g_mapDialog->isVisible());
        QVERIFY(g_graphDialog->isVisible() && g_dataDialog->isVisible() && g_controlCenterDialog->isVisible());
        w.close();
    }

    void aStoredPlaceOffEveryScreenFallsBackToTheDefault()
    {
        markNotFirstRun();
        store().setValue(QStringLiteral("mainWindow/size"), QSize(100000, 100000));
        store().setValue(QStringLiteral("mainWindow/pos"), QPoint(-90000, 40));
        store().sync();
        const DefaultLayout layout = computeDefaultLayoutForScreen();
        MainWindow w;
        QCOMPARE(w.pos(), layout.player.pos);
        QVERIFY(w.width() <= QGuiApplication::primaryScreen()->virtualGeometry().width());
        w.close();
    }

    void closingSavesGeometryAndVisibilityAndClosesTheWindows()
    {
        markNotFirstRun();
        MainWindow w;
        QSignalSpy closed(&w, &MainWindow::closed);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.resize(560, 410);
        w.move(70, 20);
        g_mapDialog->hide();
        mapDialog *map = g_mapDialog;
        graphDialog *graph = g_graphDialog;
        graph->move(12, 34);
        w.actions().file_close->trigger();

        QCOMPARE(closed.count(), 1);
        store().sync();
        QCOMPARE(store().value(QStringLiteral("mainWindow/size")).toSize(), QSize(560, 410));
        QCOMPARE(store().value(QStringLiteral("mainWindow/pos")).toPoint(), QPoint(70, 20));
        QCOMPARE(store().value(QStringLiteral("Map/mapVis")).toBool(), false);
        QCOMPARE(store().value(QStringLiteral("Graph/graphVis")).toBool(), true);
        QCOMPARE(store().value(QStringLiteral("Dashboard/dataVis")).toBool(), true);
        QCOMPARE(store().value(QStringLiteral("Movies and Geotags/controlCenterVis")).toBool(), true);
        QCOMPARE(store().value(QStringLiteral("Graph/pos")).toPoint(), QPoint(12, 34));
        // The visible windows were closed and let go of; the hidden map stays.
        QVERIFY(!graph->isVisible());
        QCOMPARE(g_graphDialog, static_cast<graphDialog *>(nullptr));
        QCOMPARE(g_dataDialog, static_cast<dataDialog *>(nullptr));
        QCOMPARE(g_controlCenterDialog, static_cast<controlCenterDialog *>(nullptr));
        QCOMPARE(g_mapDialog, map);
        QVERIFY(!w.isVisible());
    }

    void closingInFullscreenKeepsTheNormalPlaceAndTheHiddenWindows()
    {
        markNotFirstRun();
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.resize(570, 420);
        w.move(15, 25);
        w.fullscreen_slot();
        QVERIFY(w.isFullScreen());
        w.close();
        store().sync();
        QCOMPARE(store().value(QStringLiteral("mainWindow/size")).toSize(), QSize(570, 420));
        QCOMPARE(store().value(QStringLiteral("mainWindow/pos")).toPoint(), QPoint(15, 25));
        QCOMPARE(store().value(QStringLiteral("Map/mapVis")).toBool(), true);
        QCOMPARE(store().value(QStringLiteral("Graph/graphVis")).toBool(), true);
    }

    void fullscreenHidesAndRestoresTheWindowsItFound()
    {
        markNotFirstRun();
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        g_mapDialog->hide();
        w.fullscreen_slot();
        QVERIFY(w.isFullScreen());
        for (QWidget *d : std::initializer_list<QWidget *>{g_dataDialog, g_mapDialog, g_graphDialog,
                                                          g_controlCenterDialog})
            QVERIFY(!d->isVisible());
        QCOMPARE(w.menuBar()->height(), 0);
        QCOMPARE(w.menus().toolBar->maximumHeight(), 0);
        auto *notice = w.findChild<QMessageBox *>(QStringLiteral("transientNotice"));
        QVERIFY(notice);
        QCOMPARE(notice->text(), QStringLiteral("Use Ctrl-F to toggle fullscreen mode."));

        w.fullscreen_slot();
        QVERIFY(!w.isFullScreen());
        QVERIFY(!g_mapDialog->isVisible());
        QVERIFY(g_dataDialog->isVisible() && g_graphDialog->isVisible() && g_controlCenterDialog->isVisible());
        QCOMPARE(w.menus().toolBar->maximumHeight(), 28);
        QVERIFY(w.menuBar()->maximumHeight() > 0);
        w.close();
    }

    void f11AndAltReturnToggleFullscreenFromAnyWindow()
    {
        markNotFirstRun();
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::keyClick(g_graphDialog, Qt::Key_F11);
        QVERIFY(w.isFullScreen());
        QTest::keyClick(&w, Qt::Key_Return, Qt::AltModifier);
        QVERIFY(!w.isFullScreen());
        QVERIFY(g_graphDialog->isVisible());
        w.close();
    }

    void syncMovesEveryOtherWindowOnceBySameDelta()
    {
        markNotFirstRun();
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        for (QWidget *d : std::initializer_list<QWidget *>{g_dataDialog, g_mapDialog, g_graphDialog,
                                                          g_controlCenterDialog})
            QVERIFY(QTest::qWaitForWindowExposed(d));
        w.move(50, 50);
        // Moves made while a window appears are the window system's.
        QTest::qWait(SYNC_SETTLE_MS + 50);
        w.actions().sync_windows->trigger();
        QVERIFY(w.windows()->syncOn());
        QCOMPARE(store().value(QStringLiteral("configuration/sync_windows")).toBool(), true);

        const QList<QWidget *> others = {&w, g_mapDialog, g_graphDialog, g_controlCenterDialog};
        QList<QPoint> before;
        std::vector<std::unique_ptr<MoveCounter>> counters;
        for (QWidget *o : others) {
            before << o->pos();
            counters.push_back(std::make_unique<MoveCounter>());
            o->installEventFilter(counters.back().get());
        }
        const QPoint dashBefore = g_dataDialog->pos();
        g_dataDialog->move(dashBefore + QPoint(10, -5));
        QTest::qWait(50);
        QCOMPARE(g_dataDialog->pos(), dashBefore + QPoint(10, -5));
        for (int i = 0; i < others.size(); ++i) {
            QCOMPARE(others[i]->pos(), before[i] + QPoint(10, -5));
            QCOMPARE(counters[i]->moves, 1);
            QCOMPARE(counters[i]->total, QPoint(10, -5));
        }

        // The player moved: the four follow.
        const QPoint mapBefore = g_mapDialog->pos();
        w.move(w.pos() + QPoint(-7, 3));
        QCOMPARE(g_mapDialog->pos(), mapBefore + QPoint(-7, 3));

        // Toggled off from the toolbar: nothing follows any more.
        w.actions().sync_windows_toggle->trigger();
        QVERIFY(!w.actions().sync_windows->isChecked());
        const QPoint playerBefore = w.pos();
        g_dataDialog->move(g_dataDialog->pos() + QPoint(30, 30));
        QCOMPARE(w.pos(), playerBefore);
        for (auto &c : counters)
            c.reset();
        w.close();
    }

    void autoLoadRunsOnceWhenFirstShownAndNotWithoutTheSetting()
    {
        markNotFirstRun();
        store().setValue(QStringLiteral("configuration/autoload"), true);
        store().setValue(QStringLiteral("configuration/autoloadDir"), QStringLiteral("/data/flights"));
        store().sync();
        RecordingWindow w;
        QVERIFY(w.loads.isEmpty());
        w.show();
        QTRY_COMPARE(w.loads, QStringList{QStringLiteral("/data/flights")});
        // Minimised and shown again: the user's movies stay.
        w.hide();
        w.show();
        QTest::qWait(50);
        QCOMPARE(w.loads.size(), 1);
        w.close();

        store().setValue(QStringLiteral("configuration/autoload"), false);
        store().sync();
        RecordingWindow off;
        off.show();
        QTest::qWait(50);
        QVERIFY(off.loads.isEmpty());
        off.close();
    }

    void userManualOpensOrSaysItIsMissing()
    {
        MainWindow w;
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
        QTemporaryDir dir;
        const QString manual = dir.filePath(QStringLiteral("Volantix Users Manual.pdf"));
        {
            vxtest::BoxAnswerer answer({QStringLiteral("OK")});
            w.openUserManual(manual);
            QCOMPARE(answer.texts, QStringList{QStringLiteral("Could not find User's Manual PDF file: ") + manual});
            QCOMPARE(answer.titles, QStringList{QStringLiteral("Volantix")});
        }
        QVERIFY(recorder.urls.isEmpty());
        QVERIFY(vxtest::writeFile(manual, "%PDF-1.4\n"));
        w.openUserManual(manual);
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(recorder.urls.size(), 1);
        QCOMPARE(recorder.urls.first().toLocalFile(), manual);
        w.close();
    }

    // The stored proxy is installed when the map is created; the silent
    // check at start-up and the menu command both honour a build without an
    // update location (nothing contacted, the command says so).
    void proxyAtMapCreationAndTheUpdateCommand()
    {
        settings().useProxy = true;
        settings().proxyServer.assign(QStringLiteral("proxy.example.org"));
        settings().proxyPort = 70000;
        saveSettings();
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
        vxtest::BoxAnswerer answer({QStringLiteral("OK")});
        MainWindow w;
        QCOMPARE(QNetworkProxy::applicationProxy().hostName(), QStringLiteral("proxy.example.org"));
        QCOMPARE(QNetworkProxy::applicationProxy().port(), quint16(4464));
        if (!configuredUpdateBase().isEmpty()) {
            w.close();
            QSKIP("built with an update location");
        }
        QTest::qWait(100);
        QVERIFY(answer.texts.isEmpty());  // the silent check said nothing
        w.actions().get_newest_version->trigger();
        QTRY_COMPARE(answer.texts, QStringList{noUpdateLocationText()});
        QCOMPARE(answer.titles, QStringList{updateCheckTitle()});
        w.close();
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    }

    void playlistFollowsTheTrackStore()
    {
        MainWindow w;
        QCOMPARE(playlistSink(), static_cast<PlaylistSink *>(&w));
        w.appendToPlaylist(QStringLiteral("/movies/a b#1.mov"));
        w.appendToPlaylist(QStringLiteral("/movies/c.mp4"));
        QCOMPARE(w.playlist()->mediaCount(), 2);
        QCOMPARE(w.playlist()->media(0).request().url().toLocalFile(), QStringLiteral("/movies/a b#1.mov"));
        w.clearPlaylist();
        QCOMPARE(w.playlist()->mediaCount(), 0);
        w.close();
    }

    // A unit change made in one window reaches every window, the factors and
    // the jump-to box, and is saved; the host goes away with the window.
    void aSettingsChangeReachesEveryWindowAndIsSaved()
    {
        markNotFirstRun();
        {
            MainWindow w;
            QVERIFY(viewHost());
            settings().outUnits = 1;
            viewHost()->settingsChanged(UnitsChanged | CoordinatesChanged);
            QCOMPARE(settings().speedFactor, 1.0);
            QCOMPARE(w.panel()->jumpToCombo->itemText(0), QStringLiteral("Vmax (0 km/h)"));
            const unsigned both = UnitsChanged | CoordinatesChanged;
            QCOMPARE(g_dataDialog->speedGauge().unitLabel->text(), QStringLiteral("km/h"));
            QCOMPARE(g_mapDialog->settingsApplied(), both);
            QCOMPARE(g_graphDialog->settingsApplied(), both);
            QCOMPARE(store().value(QStringLiteral("configuration/outUnits")).toInt(), 1);
            w.close();
        }
        QVERIFY(!viewHost());
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
