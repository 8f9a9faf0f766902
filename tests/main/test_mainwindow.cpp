// The player window as a container: menus, toolbar, the geometry it opens
// at and saves when it closes, moving the windows together, fullscreen and
// its transient notice, auto-load, the transport switch and the
// application-wide keys.
#include "guitest.h"
#include "support/testsupport.h"

#include "control/controlcenterdialog.h"
#include "main/mainwindow.h"
#include "main/notice.h"
#include "main/playerpanel.h"
#include "main/startup.h"
#include "main/windowmanager.h"
#include "settings/versionhistory.h"
#include "views/datadialog.h"
#include "views/gauges/qcitems.h"
#include "views/graphdialog.h"
#include "views/mapdialog.h"
#include "views/viewhost.h"

#include <QMediaPlaylist>
#include <QNetworkProxy>
#include <cmath>

using namespace vx;
using vxtest::store;

namespace {

QStringList texts(const QList<QAction *> &actions, bool toolTips = false) {
    QStringList out;
    for (QAction *a : actions)
        out << (a->isSeparator() ? QStringLiteral("--") : toolTips ? a->toolTip() : a->text());
    return out;
}

QList<QWidget *> secondaryWindows() { return {g_dataDialog, g_mapDialog, g_graphDialog, g_controlCenterDialog}; }

// Counts a window's move events and the distance it moved.
struct MoveCounter : QObject {
    int moves = 0;
    QPoint total;
    bool eventFilter(QObject *, QEvent *e) override {
        if (e->type() == QEvent::Move && static_cast<QMoveEvent *>(e)->pos() != static_cast<QMoveEvent *>(e)->oldPos()) {
            ++moves;
            total += static_cast<QMoveEvent *>(e)->pos() - static_cast<QMoveEvent *>(e)->oldPos();
        }
        return false;
    }
};

struct RecordingWindow : MainWindow {
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
    void initTestCase() {
        vxtest::silencePlatformWarnings();
        setApplicationIdentity();
    }
    void init() { vxtest::resetStore(); }
    void cleanup() { QVERIFY(!g_dataDialog && !g_mapDialog && !g_graphDialog && !g_controlCenterDialog); }

    void menusToolbarAndWhatIsSwitchedOn() {
        MainWindow w;
        const MainMenus &m = w.menus();
        const MainActions &a = w.actions();
        QCOMPARE(texts(w.menuBar()->actions()), (QStringList{"File", "Edit", "Window", "Help"}));
        QVERIFY(m.edit->actions().isEmpty());
        QCOMPARE(texts(m.file->actions()), (QStringList{"Open Movie Folder...", "Open Movie Files...", "--", "Export to CSV File...",
                                                        "Export to GPX File...", "Export to KML File...", "--", "Quit"}));
        QCOMPARE(texts(m.window->actions()), (QStringList{"Dashboard Window", "Graph Window", "Map Window", "Control Center Window",
                                                          "Bring All To Front", "Reset Window Positions", "--", "Toggle Fullscreen",
                                                          "--", "Sync Window Movement"}));
        QCOMPARE(texts(m.dashboardWindow->actions()), (QStringList{"Vertical", "Horizontal"}));
        QCOMPARE(texts(m.help->actions()), (QStringList{"About Volantix", "Preferences...", "User Manual...", "Shortcuts...", "--",
                                                        "Check For New Version..."}));
        QCOMPARE(texts(m.toolBar->actions(), true),
                 (QStringList{"Open Movie Folder", "Open Movie Files", "Export to CSV File", "Export to GPX File", "Export to KML File",
                              "Export to JPG File", "Export Clip to Movie", "Merge Multiple Movies into One Movie",
                              "Toggle \"Sync Window Movement\" option", "Recenter Movie", "Preferences"}));
        QStringList shortcuts;
        for (QAction *s : {a.open_folder, a.open_files, a.dashboard_vert, a.dashboard_horiz, a.graph_dialog, a.map_dialog,
                           a.control_center_dialog, a.bring_to_front, a.reset_windows, a.fullscreen, a.sync_windows, a.reset_view,
                           a.export_csv, a.file_close, a.about, a.preferences, a.show_users_manual, a.shortcuts, a.get_newest_version})
            shortcuts << s->shortcut().toString(QKeySequence::PortableText);
        QCOMPARE(shortcuts.join(' ').simplified(), "Ctrl+O Ctrl+Shift+O Ctrl+1 Ctrl+2 Ctrl+3 Ctrl+4 Ctrl+5 Ctrl+6 Ctrl+7 Ctrl+F Ctrl+0 Ctrl+R");
        QCOMPARE(QList<int>({a.file_close->menuRole(), a.about->menuRole(), a.preferences->menuRole()}),
                 QList<int>({QAction::QuitRole, QAction::AboutRole, QAction::PreferencesRole}));
        QVERIFY(a.dashboard_vert->isCheckable() && a.sync_windows->isCheckable() && !a.sync_windows_toggle->isCheckable());
        // A fresh store: horizontal dashboard, sync off.
        QVERIFY(a.dashboard_horiz->isChecked() && !a.dashboard_vert->isChecked() && !a.sync_windows->isChecked());
        QCOMPARE(m.toolBar->height(), 28);
        QCOMPARE(m.toolBar->maximumHeight(), 28);
        QCOMPARE(m.toolBar->iconSize(), toolbarIconSize(w.devicePixelRatioF()));
        QCOMPARE(QString("%1 %2 %3").arg(toolbarIconSize(2.0).width()).arg(toolbarSpacing(2.0)).arg(toolbarIconSize(1.0).width()), "24 16 20");
        // Every command is live; those that need movies are off until a load.
        for (QAction *on : {a.open_folder, a.open_files, a.reset_view, a.file_close, a.dashboard_vert, a.dashboard_horiz,
                            a.graph_dialog, a.map_dialog, a.control_center_dialog, a.bring_to_front, a.reset_windows,
                            a.fullscreen, a.sync_windows, a.sync_windows_toggle, a.about, a.show_users_manual, a.shortcuts,
                            a.get_newest_version, a.preferences})
            QVERIFY2(on->isEnabled(), qPrintable(on->text()));
        w.close();
    }

    // The transport is off until a load; the exports, the geotag button and the movie list follow it.
    void transportSwitchAndGpsLabel() {
        MainWindow w;
        PlayerPanel *p = w.panel();
        const MainActions &a = w.actions();
        QCOMPARE(p->jumpToCombo->itemText(0), "Vmax");
        QCOMPARE(p->dateLabel->text(), "Volantix");
        const QList<QWidget *> transport = {p->previousButton, p->instantReplayButton, p->nextButton, p->playPauseButton,
                                            p->masterSlider, p->fasterButton, p->slowerButton, p->rateLabel, p->jumpToCombo, p->geotagButton};
        for (int step = 0; step < 3; ++step) {
            const bool on = step == 1;
            if (step > 0)
                w.enableTransport(on);
            for (QWidget *t : transport)
                QVERIFY2(t->isEnabled() == on, qPrintable(t->objectName()));
            for (QAction *e : {a.export_csv, a.export_gpx, a.export_kml, a.export_movie, a.merge_movies, a.export_screenshot})
                QVERIFY2(e->isEnabled() == on, qPrintable(e->text()));
            QCOMPARE(g_controlCenterDialog->moviesTab()->isEnabled(), on);
            QCOMPARE(g_controlCenterDialog->geotagsTab()->isEnabled(), on);
        }
        p->speedLabel->setText("23 mph");
        w.setGpsPresent(false);
        QCOMPARE(p->noGpsLabel->text(), "NO GPS DATA LOADED");
        QVERIFY(p->speedLabel->text().isEmpty());
        w.setGpsPresent(true);
        QVERIFY(p->noGpsLabel->text().isEmpty());
        w.close();
    }

    void storedPlayerSettingsAreAppliedWithinRange() {
        // As stored, then a damaged store: values far out of range and not a number.
        const QList<QList<QVariant>> stored{{0.29, -40, 35}, {75.0, 5000, -900}};
        const QList<QString> applied{"29 -40 35", "100 100 -100"};
        for (int i = 0; i < 2; ++i) {
            store().setValue("configuration/volume", stored[i][0]);
            store().setValue("configuration/brightness", stored[i][1]);
            store().setValue("configuration/contrast", stored[i][2]);
            store().sync();
            MainWindow w;
            w.applySavedPlayerSettings();
            const auto sliders = [&w] {
                return QString("%1 %2 %3").arg(w.panel()->volumeSlider->value()).arg(w.panel()->brightnessSlider->value())
                    .arg(w.panel()->contrastSlider->value());
            };
            QCOMPARE(sliders(), applied[i]);
            settings().volume = std::nanf("");
            w.applySavedPlayerSettings();
            QCOMPARE(w.panel()->volumeSlider->value(), 100);
            w.close();
        }
    }

    // A first run takes the default layout and marks the store at once; so
    // does a run without a stored size, or with a place off every screen.
    void openingGeometry_data() {
        QTest::addColumn<bool>("firstRun");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<bool>("restored");
        QTest::newRow("first run") << true << QSize() << QPoint() << false;
        QTest::newRow("nothing stored") << false << QSize() << QPoint() << false;
        QTest::newRow("off every screen") << false << QSize(100000, 100000) << QPoint(-90000, 40) << false;
        QTest::newRow("stored") << false << QSize(500, 400) << QPoint(33, 44) << true;
    }
    void openingGeometry() {
        QFETCH(bool, firstRun);
        QFETCH(QSize, size);
        QFETCH(QPoint, pos);
        QFETCH(bool, restored);
        vxtest::resetStore(!firstRun);
        if (size.isValid()) {
            store().setValue("mainWindow/size", size);
            store().setValue("mainWindow/pos", pos);
            store().setValue("configuration/sync_windows", true);
            store().setValue("Map/mapVis", false);
            store().sync();
        }
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

    void closingSavesGeometryAndVisibilityAndClosesTheWindows() {
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
        QCOMPARE(QRect(store().value("mainWindow/pos").toPoint(), store().value("mainWindow/size").toSize()), QRect(70, 20, 560, 410));
        QCOMPARE(QString("%1 %2 %3 %4").arg(store().value("Map/mapVis").toBool()).arg(store().value("Graph/graphVis").toBool())
                     .arg(store().value("Dashboard/dataVis").toBool()).arg(store().value("Movies and Geotags/controlCenterVis").toBool()),
                 "0 1 1 1");
        QCOMPARE(store().value("Graph/pos").toPoint(), QPoint(12, 34));
        // The visible windows were closed and let go of; the hidden map stays.
        QVERIFY(!graph->isVisible() && !w.isVisible());
        QVERIFY(!g_graphDialog && !g_dataDialog && !g_controlCenterDialog);
        QCOMPARE(g_mapDialog, map);
    }

    void fullscreenHidesAndRestoresTheWindowsItFound() {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        g_mapDialog->hide();
        w.fullscreen_slot();
        QVERIFY(w.isFullScreen());
        for (QWidget *d : secondaryWindows())
            QVERIFY(!d->isVisible());
        QCOMPARE(w.menuBar()->height(), 0);
        QCOMPARE(w.menus().toolBar->maximumHeight(), 0);
        // The notice: frameless, no buttons, centred at the bottom, gone after its time.
        QPointer<QMessageBox> notice = w.findChild<QMessageBox *>("transientNotice");
        QVERIFY(notice && notice->isVisible() && notice->buttons().isEmpty());
        QCOMPARE(notice->text(), "Use Ctrl-F to toggle fullscreen mode.");
        QVERIFY(notice->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(notice->frameGeometry().bottom(), w.frameGeometry().bottom());
        QVERIFY(qAbs(notice->frameGeometry().center().x() - w.frameGeometry().center().x()) <= 1);
        QTRY_VERIFY_WITH_TIMEOUT(notice.isNull(), NOTICE_DURATION_MS + 2000);
        QPointer<QMessageBox> orphan = showTransientNotice(nullptr, "x", 50);  // a notice without window goes away too
        QTRY_VERIFY_WITH_TIMEOUT(orphan.isNull(), 2000);

        w.fullscreen_slot();
        QVERIFY(!w.isFullScreen());
        QVERIFY(!g_mapDialog->isVisible());
        QVERIFY(g_dataDialog->isVisible() && g_graphDialog->isVisible() && g_controlCenterDialog->isVisible());
        QCOMPARE(w.menus().toolBar->maximumHeight(), 28);
        QVERIFY(w.menuBar()->maximumHeight() > 0);
        // F11 and Alt+Return toggle it from any window.
        QTest::keyClick(g_graphDialog, Qt::Key_F11);
        QVERIFY(w.isFullScreen());
        QTest::keyClick(&w, Qt::Key_Return, Qt::AltModifier);
        QVERIFY(!w.isFullScreen() && g_graphDialog->isVisible());
        // Closing in fullscreen keeps the normal place and the hidden windows.
        w.resize(570, 420);
        w.move(15, 25);
        QTest::keyClick(&w, Qt::Key_F11);
        w.close();
        QCOMPARE(QRect(store().value("mainWindow/pos").toPoint(), store().value("mainWindow/size").toSize()), QRect(15, 25, 570, 420));
        QVERIFY(store().value("Graph/graphVis").toBool());
    }

    void syncMovesEveryOtherWindowOnceBySameDelta() {
        MainWindow w;
        w.show();
        for (QWidget *d : QList<QWidget *>{&w} + secondaryWindows())
            QVERIFY(QTest::qWaitForWindowExposed(d));
        w.move(50, 50);
        QTest::qWait(SYNC_SETTLE_MS + 50);  // moves made while a window appears are the window system's
        w.actions().sync_windows->trigger();
        QVERIFY(w.windows()->syncOn());
        QCOMPARE(store().value("configuration/sync_windows").toBool(), true);

        const QList<QWidget *> others = {&w, g_mapDialog, g_graphDialog, g_controlCenterDialog};
        QList<QPoint> before;
        std::vector<std::unique_ptr<MoveCounter>> counters;
        for (QWidget *o : others) {
            before << o->pos();
            counters.push_back(std::make_unique<MoveCounter>());
            o->installEventFilter(counters.back().get());
        }
        g_dataDialog->move(g_dataDialog->pos() + QPoint(10, -5));
        QTest::qWait(50);
        for (int i = 0; i < others.size(); ++i) {
            QCOMPARE(others[i]->pos(), before[i] + QPoint(10, -5));
            QCOMPARE(counters[i]->moves, 1);
            QCOMPARE(counters[i]->total, QPoint(10, -5));
        }
        // The player moved: the others follow.
        const QPoint mapBefore = g_mapDialog->pos();
        w.move(w.pos() + QPoint(-7, 3));
        QCOMPARE(g_mapDialog->pos(), mapBefore + QPoint(-7, 3));
        // Toggled off from the toolbar: nothing follows any more.
        w.actions().sync_windows_toggle->trigger();
        QVERIFY(!w.actions().sync_windows->isChecked());
        const QPoint playerBefore = w.pos();
        g_dataDialog->move(g_dataDialog->pos() + QPoint(30, 30));
        QCOMPARE(w.pos(), playerBefore);
        for (QWidget *o : others)
            o->removeEventFilter(counters[size_t(others.indexOf(o))].get());
        w.close();
    }

    void autoLoadRunsOnceWhenFirstShownAndNotWithoutTheSetting() {
        for (bool on : {true, false}) {
            store().setValue("configuration/autoload", on);
            store().setValue("configuration/autoloadDir", "/data/flights");
            store().sync();
            RecordingWindow w;
            QVERIFY(w.loads.isEmpty());
            w.show();
            QTest::qWait(50);
            // Minimised and shown again: the user's movies stay.
            w.hide();
            w.show();
            QTest::qWait(50);
            QCOMPARE(w.loads, on ? QStringList{"/data/flights"} : QStringList());
            w.close();
        }
    }

    void userManualOpensOrSaysItIsMissing() {
        MainWindow w;
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler("file", &recorder, "open");
        QTemporaryDir dir;
        const QString manual = dir.filePath("Volantix Users Manual.pdf#1");  // '#' and '%' must survive as a path
        {
            vxtest::BoxAnswerer answer({"OK"});
            w.openUserManual(manual);
            QCOMPARE(answer.texts, QStringList{"Could not find User's Manual PDF file: " + manual});
            QCOMPARE(answer.titles, QStringList{"Volantix"});
        }
        QVERIFY(recorder.urls.isEmpty());
        QVERIFY(vxtest::writeFile(manual, "%PDF-1.4\n"));
        w.openUserManual(manual);
        QDesktopServices::unsetUrlHandler("file");
        QCOMPARE(recorder.urls.size(), 1);
        QCOMPARE(recorder.urls.first().toLocalFile(), manual);
        w.close();
    }

    // The stored proxy is installed when the map is created; the silent check at start-up and the menu command
    // both honour a build without an update location (nothing contacted, the command says so).
    void proxyAtMapCreationAndTheUpdateCommand() {
        settings().useProxy = true;
        settings().proxyServer.assign(QStringLiteral("proxy.example.org"));
        settings().proxyPort = 70000;
        saveSettings();
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
        vxtest::BoxAnswerer answer({"OK"});
        MainWindow w;
        QCOMPARE(QNetworkProxy::applicationProxy().hostName() + ':' + QString::number(QNetworkProxy::applicationProxy().port()),
                 "proxy.example.org:4464");
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
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
    }

    void playlistFollowsTheTrackStore() {
        MainWindow w;
        QCOMPARE(playlistSink(), static_cast<PlaylistSink *>(&w));
        w.appendToPlaylist("/movies/a b#1.mov");
        w.appendToPlaylist("/movies/c.mp4");
        QCOMPARE(w.playlist()->mediaCount(), 2);
        QCOMPARE(w.playlist()->media(0).request().url().toLocalFile(), "/movies/a b#1.mov");
        w.clearPlaylist();
        QCOMPARE(w.playlist()->mediaCount(), 0);
        w.close();
    }

    // A unit change made in one window reaches every window, the factors and
    // the jump-to box, and is saved; the host goes away with the window.
    void aSettingsChangeReachesEveryWindowAndIsSaved() {
        {
            MainWindow w;
            QVERIFY(viewHost());
            settings().outUnits = 1;
            const unsigned both = UnitsChanged | CoordinatesChanged;
            viewHost()->settingsChanged(both);
            QCOMPARE(settings().speedFactor, 1.0);
            QCOMPARE(w.panel()->jumpToCombo->itemText(0), "Vmax (0 km/h)");
            QCOMPARE(g_dataDialog->speedGauge().unitLabel->text(), "km/h");
            QCOMPARE(QList<unsigned>({g_mapDialog->settingsApplied(), g_graphDialog->settingsApplied()}), QList<unsigned>({both, both}));
            QCOMPARE(store().value("configuration/outUnits").toInt(), 1);
            w.close();
        }
        QVERIFY(!viewHost());
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
