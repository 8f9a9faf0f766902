// The player window as a container: menus, toolbar, the geometry it opens at and saves when it closes, moving
// the windows together, fullscreen and its transient notice, auto-load, the transport switch, the stored
// player and proxy settings, the settings host and the application-wide keys.
#include "playerfixture.h"

#include "main/notice.h"
#include "settings/versionhistory.h"
#include "views/viewhost.h"

#include <QNetworkProxy>
#include <cmath>

using namespace vx;
using vxtest::store;

namespace {

QString texts(const QList<QAction *> &actions, bool toolTips = false) {
    QStringList out;
    for (QAction *a : actions)
        out << (a->isSeparator() ? QStringLiteral("--") : toolTips ? a->toolTip() : a->text());
    return out.join('|');
}

QList<QWidget *> secondaryWindows() { return {g_dataDialog, g_mapDialog, g_graphDialog, g_controlCenterDialog}; }

QRect storedPlace() { return QRect(store().value("mainWindow/pos").toPoint(), store().value("mainWindow/size").toSize()); }

// Counts a window's move events and the distance it moved.
struct MoveCounter : QObject {
    int moves = 0;
    QPoint total;
    bool eventFilter(QObject *, QEvent *e) override {
        const auto *m = static_cast<QMoveEvent *>(e);
        if (e->type() == QEvent::Move && m->pos() != m->oldPos())
            ++moves, total += m->pos() - m->oldPos();
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
    void initTestCase() { vxtest::silencePlatformWarnings(), setApplicationIdentity(); }
    void init() { vxtest::resetStore(); }
    void cleanup() { QVERIFY(!g_dataDialog && !g_mapDialog && !g_graphDialog && !g_controlCenterDialog); }

    // A fresh window: its menus, toolbar and keys, what is switched on with and without the transport, the GPS
    // label, the playlist sink, the user manual, and the settings host that goes away with the window.
    void aFreshWindowItsCommandsAndItsHost() {
        {
            MainWindow w;
            const MainMenus &m = w.menus();
            const MainActions &a = w.actions();
            QCOMPARE(texts(w.menuBar()->actions()), "File|Edit|Window|Help");
            QVERIFY(m.edit->actions().isEmpty());
            QCOMPARE(texts(m.file->actions()), "Open Movie Folder...|Open Movie Files...|--|Export to CSV File...|"
                                               "Export to GPX File...|Export to KML File...|--|Quit");
            QCOMPARE(texts(m.window->actions()), "Dashboard Window|Graph Window|Map Window|Control Center Window|Bring All "
                                                 "To Front|Reset Window Positions|--|Toggle Fullscreen|--|Sync Window Movement");
            QCOMPARE(texts(m.dashboardWindow->actions()), "Vertical|Horizontal");
            QCOMPARE(texts(m.help->actions()), "About Volantix|Preferences...|User Manual...|Shortcuts...|--|Check For New Version...");
            QCOMPARE(texts(m.toolBar->actions(), true),
                     "Open Movie Folder|Open Movie Files|Export to CSV File|Export to GPX File|Export to KML File|Export to JPG "
                     "File|Export Clip to Movie|Merge Multiple Movies into One Movie|Toggle \"Sync Window Movement\" option|"
                     "Recenter Movie|Preferences");
            QStringList shortcuts;
            for (QAction *s : {a.open_folder, a.open_files, a.dashboard_vert, a.dashboard_horiz, a.graph_dialog, a.map_dialog,
                               a.control_center_dialog, a.bring_to_front, a.reset_windows, a.fullscreen, a.sync_windows, a.reset_view,
                               a.export_csv, a.file_close, a.about, a.preferences, a.show_users_manual, a.shortcuts, a.get_newest_version})
                shortcuts << s->shortcut().toString(QKeySequence::PortableText);
            QCOMPARE(shortcuts.join(' ').simplified(),
                     "Ctrl+O Ctrl+Shift+O Ctrl+1 Ctrl+2 Ctrl+3 Ctrl+4 Ctrl+5 Ctrl+6 Ctrl+7 Ctrl+F Ctrl+0 Ctrl+R");
            QCOMPARE(QList<int>({a.file_close->menuRole(), a.about->menuRole(), a.preferences->menuRole()}),
                     QList<int>({QAction::QuitRole, QAction::AboutRole, QAction::PreferencesRole}));
            QVERIFY(a.dashboard_vert->isCheckable() && a.sync_windows->isCheckable() && !a.sync_windows_toggle->isCheckable());
            // A fresh store: horizontal dashboard, sync off.
            QVERIFY(a.dashboard_horiz->isChecked() && !a.dashboard_vert->isChecked() && !a.sync_windows->isChecked());
            QVERIFY(m.toolBar->height() == 28 && m.toolBar->maximumHeight() == 28);
            QCOMPARE(m.toolBar->iconSize(), toolbarIconSize(w.devicePixelRatioF()));
            QCOMPARE(QString("%1 %2 %3").arg(toolbarIconSize(2.0).width()).arg(toolbarSpacing(2.0)).arg(toolbarIconSize(1.0).width()),
                     "24 16 20");
            // Every command is live; those that need movies follow the transport, off until a load.
            for (QAction *on : {a.open_folder, a.open_files, a.reset_view, a.file_close, a.dashboard_vert, a.dashboard_horiz,
                                a.graph_dialog, a.map_dialog, a.control_center_dialog, a.bring_to_front, a.reset_windows,
                                a.fullscreen, a.sync_windows, a.sync_windows_toggle, a.about, a.show_users_manual, a.shortcuts,
                                a.get_newest_version, a.preferences})
                QVERIFY2(on->isEnabled(), qPrintable(on->text()));
            PlayerPanel *p = w.panel();
            QCOMPARE(p->jumpToCombo->itemText(0) + ' ' + p->dateLabel->text(), "Vmax Volantix");
            const QList<QWidget *> transport = {p->previousButton, p->instantReplayButton, p->nextButton, p->playPauseButton,
                                                p->masterSlider, p->fasterButton, p->slowerButton, p->rateLabel, p->jumpToCombo,
                                                p->geotagButton};
            for (int step = 0; step < 3; ++step) {
                const bool on = step == 1;
                if (step > 0)
                    w.enableTransport(on);
                for (QWidget *t : transport)
                    QVERIFY2(t->isEnabled() == on, qPrintable(t->objectName()));
                for (QAction *e : {a.export_csv, a.export_gpx, a.export_kml, a.export_movie, a.merge_movies, a.export_screenshot})
                    QVERIFY2(e->isEnabled() == on, qPrintable(e->text()));
                QVERIFY(g_controlCenterDialog->moviesTab()->isEnabled() == on && g_controlCenterDialog->geotagsTab()->isEnabled() == on);
            }
            p->speedLabel->setText("23 mph");
            w.setGpsPresent(false);
            QVERIFY(p->noGpsLabel->text() == "NO GPS DATA LOADED" && p->speedLabel->text().isEmpty());
            w.setGpsPresent(true);
            QVERIFY(p->noGpsLabel->text().isEmpty());
            // The playlist follows the track store.
            QCOMPARE(playlistSink(), static_cast<PlaylistSink *>(&w));
            w.appendToPlaylist("/movies/a b#1.mov");
            w.appendToPlaylist("/movies/c.mp4");
            QVERIFY(w.playlist()->mediaCount() == 2 && w.playlist()->media(0).request().url().toLocalFile() == "/movies/a b#1.mov");
            w.clearPlaylist();
            QCOMPARE(w.playlist()->mediaCount(), 0);
            // The user manual opens, or a box says it is missing; '#' and '%' must survive as a path.
            UrlRecorder recorder;
            QDesktopServices::setUrlHandler("file", &recorder, "open");
            QTemporaryDir dir;
            const QString manual = dir.filePath("Volantix Users Manual.pdf#1");
            {
                vxtest::BoxAnswerer answer({"OK"});
                w.openUserManual(manual);
                QCOMPARE(answer.texts, QStringList{"Could not find User's Manual PDF file: " + manual});
                QCOMPARE(answer.titles, QStringList{"Volantix"});
            }
            QVERIFY(recorder.urls.isEmpty() && vxtest::writeFile(manual, "%PDF-1.4\n"));
            w.openUserManual(manual);
            QDesktopServices::unsetUrlHandler("file");
            QCOMPARE(recorder.urls, QList<QUrl>{QUrl::fromLocalFile(manual)});
            // A unit change made in one window reaches every window, the factors and the jump-to box, and is saved.
            QVERIFY(viewHost());
            settings().outUnits = 1;
            const unsigned both = UnitsChanged | CoordinatesChanged;
            viewHost()->settingsChanged(both);
            QCOMPARE(settings().speedFactor, 1.0);
            QCOMPARE(p->jumpToCombo->itemText(0) + ' ' + g_dataDialog->speedGauge().unitLabel->text(), "Vmax (0 km/h) km/h");
            QCOMPARE(QList<unsigned>({g_mapDialog->settingsApplied(), g_graphDialog->settingsApplied()}), QList<unsigned>({both, both}));
            QCOMPARE(store().value("configuration/outUnits").toInt(), 1);
            w.close();
        }
        QVERIFY(!viewHost());
    }

    // Stored player settings are applied within range: as stored, then a damaged store (values far out of range,
    // not a number). The stored proxy is installed when the map is created; the silent update check at start-up
    // and the menu command both honour a build without an update location (nothing contacted, the command says so).
    void storedPlayerAndProxySettings() {
        const QList<QList<QVariant>> stored{{0.29, -40, 35}, {75.0, 5000, -900}};
        const QStringList applied{"29 -40 35", "100 100 -100"};
        settings().useProxy = true;
        settings().proxyServer.assign(QStringLiteral("proxy.example.org"));
        settings().proxyPort = 70000;
        saveSettings();
        for (int i = 0; i < 2; ++i) {
            for (int k = 0; k < 3; ++k)
                store().setValue(QStringList{"configuration/volume", "configuration/brightness", "configuration/contrast"}[k], stored[i][k]);
            store().sync();
            QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
            vxtest::BoxAnswerer answer({"OK"});
            MainWindow w;
            const QNetworkProxy proxy = QNetworkProxy::applicationProxy();
            QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
            QCOMPARE(proxy.hostName() + ':' + QString::number(proxy.port()), "proxy.example.org:4464");
            w.applySavedPlayerSettings();
            PlayerPanel *p = w.panel();
            QCOMPARE(QString("%1 %2 %3").arg(p->volumeSlider->value()).arg(p->brightnessSlider->value()).arg(p->contrastSlider->value()),
                     applied[i]);
            settings().volume = std::nanf("");
            w.applySavedPlayerSettings();
            QCOMPARE(p->volumeSlider->value(), 100);
            if (i == 0 && configuredUpdateBase().isEmpty()) {
                QTest::qWait(100);
                QVERIFY(answer.texts.isEmpty());  // the silent check said nothing
                w.actions().get_newest_version->trigger();
                QTRY_COMPARE(answer.texts, QStringList{noUpdateLocationText()});
                QCOMPARE(answer.titles, QStringList{updateCheckTitle()});
            }
            w.close();
        }
    }

    // A first run takes the default layout and marks the store at once; so does a run without a stored size, or
    // with a place off every screen.
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

    void fullscreenHidesAndRestoresTheWindowsItFound() {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        g_mapDialog->hide();
        w.fullscreen_slot();
        QVERIFY(w.isFullScreen() && w.menuBar()->height() == 0 && w.menus().toolBar->maximumHeight() == 0);
        for (QWidget *d : secondaryWindows())
            QVERIFY(!d->isVisible());
        // The notice: frameless, no buttons, centred at the bottom, gone after its time.
        QPointer<QMessageBox> notice = w.findChild<QMessageBox *>("transientNotice");
        QVERIFY(notice && notice->isVisible() && notice->buttons().isEmpty() && (notice->windowFlags() & Qt::FramelessWindowHint));
        QCOMPARE(notice->text(), "Use Ctrl-F to toggle fullscreen mode.");
        QCOMPARE(notice->frameGeometry().bottom(), w.frameGeometry().bottom());
        QVERIFY(qAbs(notice->frameGeometry().center().x() - w.frameGeometry().center().x()) <= 1);
        QTRY_VERIFY_WITH_TIMEOUT(notice.isNull(), NOTICE_DURATION_MS + 2000);
        QPointer<QMessageBox> orphan = showTransientNotice(nullptr, "x", 50);  // a notice without window goes away too
        QTRY_VERIFY_WITH_TIMEOUT(orphan.isNull(), 2000);
        w.fullscreen_slot();
        QVERIFY(!w.isFullScreen() && !g_mapDialog->isVisible() && w.menuBar()->maximumHeight() > 0);
        QVERIFY(g_dataDialog->isVisible() && g_graphDialog->isVisible() && g_controlCenterDialog->isVisible());
        QCOMPARE(w.menus().toolBar->maximumHeight(), 28);
        // F11 and Alt+Return toggle it from any window.
        QTest::keyClick(g_graphDialog, Qt::Key_F11);
        QVERIFY(w.isFullScreen());
        QTest::keyClick(&w, Qt::Key_Return, Qt::AltModifier);
        QVERIFY(!w.isFullScreen() && g_graphDialog->isVisible());
        // Closing in fullscreen keeps the normal place and the windows it hid.
        w.resize(570, 420);
        w.move(15, 25);
        QTest::keyClick(&w, Qt::Key_F11);
        w.close();
        QVERIFY(storedPlace() == QRect(15, 25, 570, 420) && store().value("Graph/graphVis").toBool());
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
        g_graphDialog->move(12, 34);
        w.actions().file_close->trigger();
        QVERIFY(closed.count() == 1 && storedPlace() == QRect(70, 20, 560, 410));
        QCOMPARE(QString("%1 %2 %3 %4").arg(store().value("Map/mapVis").toBool()).arg(store().value("Graph/graphVis").toBool())
                     .arg(store().value("Dashboard/dataVis").toBool()).arg(store().value("Movies and Geotags/controlCenterVis").toBool()),
                 "0 1 1 1");
        QCOMPARE(store().value("Graph/pos").toPoint(), QPoint(12, 34));
        // The visible windows were closed and let go of; the hidden map stays.
        QVERIFY(!w.isVisible() && !g_graphDialog && !g_dataDialog && !g_controlCenterDialog && g_mapDialog == map);
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
            QVERIFY(counters[size_t(i)]->moves == 1 && counters[size_t(i)]->total == QPoint(10, -5));
            others[i]->removeEventFilter(counters[size_t(i)].get());
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
            w.hide();  // minimised and shown again: the user's movies stay
            w.show();
            QTest::qWait(50);
            QCOMPARE(w.loads, on ? QStringList{"/data/flights"} : QStringList());
            w.close();
        }
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
