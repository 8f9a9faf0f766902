// The per-movie settings indicator in the player window on generated movies: the default file, both loads at a movie
// change reaching the player, save then load again, files that vanish or are pipes; and the preferences opened from
// the menu and by other windows, one at a time, following loads and clicks.
#include "guitest.h"
#include "playerfixture.h"

#include "main/loadcontroller.h"
#include "main/mainwindow.h"
#include "main/permoviecontrol.h"
#include "main/playbackcontroller.h"
#include "main/playerpanel.h"
#include "main/startup.h"
#include "main/viewcoordinator.h"
#include "main/windowmanager.h"
#include "settings/permoviesettings.h"
#include "settings/preferencesdialog.h"
#include "track/trackstore.h"

#include <QMediaPlayer>
#include <QVideoWidget>

#include <sys/stat.h>

using namespace vx;
using vxtest::readFile;

class TestPerMovieControl : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_folder;  // A, B, C.MOV: 3 s each, three points each

    QString settingsOf(const char *movie) const {
        return movieSettingsPath(QDir(m_folder).filePath(QString::fromLatin1(movie)));
    }
    static QToolButton *indicator(MainWindow &w) { return w.panel()->settingsIndicatorButton; }
    static QString tip(MainWindow &w) { return indicator(w)->toolTip(); }

private slots:
    void initTestCase() {
        setApplicationIdentity();
        vxtest::silencePlatformWarnings();
        m_folder = m_dir.filePath(QStringLiteral("flight.2023"));  // a dotted folder
        QVERIFY(QDir().mkpath(m_folder) && vxtest::addThreeMovies(m_folder));
    }

    void init() {
        vxtest::freshStoreNotFirstRun();
        QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).removeRecursively();
        for (const char *movie : {"A.MOV", "B.MOV", "C.MOV"})
            QFile::remove(settingsOf(movie));
    }

    // Without movies: the default file saved (its folder made for it), kept on "No", deleted on "Yes"; at start-up
    // the indicator shows it. The preferences opened.
    void withoutMovies() {
        MainWindow w;
        QVERIFY(indicator(w)->isEnabled());
        vxtest::BoxAnswerer boxes({QStringLiteral("No"), QStringLiteral("Yes")});
        settings().outUnits = 2;
        QStringList tips{tip(w)};
        indicator(w)->click();
        const QByteArray saved = readFile(defaultSettingsPath());
        QVERIFY(saved.count('\n') == 30 && saved.contains("\nspeedUnits m/s\n"));
        tips << tip(w);
        indicator(w)->click();  // No
        QVERIFY(QFileInfo::exists(defaultSettingsPath()));
        indicator(w)->click();  // Yes
        QVERIFY(!QFileInfo::exists(defaultSettingsPath()));
        tips << tip(w);
        QVERIFY(vxtest::writeFile(defaultSettingsPath(), "volume 0.5\n"));
        MainWindow again;
        QCOMPARE(tips << tip(again), (QStringList{"Save default settings", "Delete default settings",
                                                  "Save default settings", "Delete default settings"}));
        const QString question = "Are you sure you want to delete the default settings file?";
        QCOMPARE(boxes.texts, (QStringList{question, question}));
        QVERIFY(boxes.unexpected.isEmpty());
        // The preferences from the menu and through the coordinator other windows call (the dashboard's double
        // click), one at a time, at the tab asked for.
        QVERIFY(w.actions().preferences->isEnabled());
        w.actions().preferences->trigger();
        QPointer<preferencesDialog> first = w.preferences();
        QVERIFY(first && first->isVisible() && first->windowTitle() == QLatin1String("Preferences"));
        w.viewCoordinator()->openPreferences(QStringLiteral("Advanced"));
        QCOMPARE(w.preferences(), first.data());  // one at a time
        QCOMPARE(first->currentTabTitle(), QStringLiteral("Advanced"));
        first->close();
        QTRY_VERIFY(first.isNull() && !w.preferences());
        w.viewCoordinator()->openPreferences(QStringLiteral("General"));  // a new one
        QVERIFY(w.preferences() && w.preferences()->currentTabTitle() == QLatin1String("General"));
    }

    void bothLoadsAtAMovieChange() {
        QVERIFY(vxtest::writeFile(defaultSettingsPath(), "speedUnits km/h\nvolume 0.5\nclockBias 60\n"));
        QVERIFY(vxtest::writeFile(settingsOf("A.MOV"), "revision 2\r\nvolume 0.3\r\nmuted true\r\nbrightness 40\r\n"
                                                       "contrast -250\r\nsync_windows true\r\nclockBias 120\r\n"));
        vxtest::BoxAnswerer boxes({QStringLiteral("OK")});
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.openPreferences(QStringLiteral("General"));
        QVERIFY(w.loader()->loadFolder(m_folder));
        QTRY_COMPARE(boxes.texts, QStringList{perMovieNewerRevisionText()});
        // Movie A: its own file over the default one, applied to the player; the open preferences follow.
        const SettingsRecord &s = settings();
        PlayerPanel *p = w.panel();
        QCOMPARE(QList<int>({track().Block, s.outUnits, p->volumeSlider->value(), w.player()->volume(),
                             p->brightnessSlider->value(), p->contrastSlider->value(), p->videoWidget->brightness()}),
                 QList<int>({0, 1, 30, 30, 40, -100, 40}));
        QVERIFY(s.volume == 0.3f && s.muted && w.player()->isMuted() && w.windows()->syncOn());
        QCOMPARE(vxtest::store().value(QStringLiteral("configuration/volume")).toDouble(), double(0.3f));
        QCOMPARE(w.preferences()->findChild<QLineEdit *>(QStringLiteral("clockBiasEdit"))->text(), "0.0333");
        QStringList tips{tip(w)};
        // Movie B has no file: the default applies, the indicator shows B's.
        w.playback()->selectMovie(1);
        QVERIFY(s.volume == 0.5f && s.clockBias == 60 && p->volumeSlider->value() == 50);
        QCOMPARE(tips << tip(w), (QStringList{"Delete settings for this movie", "Save settings for this movie"}));
        QVERIFY(boxes.unexpected.isEmpty());
    }

    // Save then load again changes nothing; files that vanish or are not files.
    void saveThenLoadAgainChangesNothing() {
        MainWindow w;
        QVERIFY(w.loader()->loadFolder(m_folder));
        w.playback()->selectMovie(1);
        settings().timeBias = 7, settings().speedDashCamMax = 0.25 + 50;
        w.viewCoordinator()->settingsChanged(TimeSyncChanged | GraphRangesChanged);
        QCOMPARE(w.playback()->totalOffsetSec(), 7);  // subtitle times start with the movie
        indicator(w)->click();
        const QByteArray first = readFile(settingsOf("B.MOV"));
        QVERIFY(first.contains("\ntimeZoneOffset 7\n") && first.contains("\nspeedMax 50.2\n"));
        vxtest::BoxAnswerer boxes({"Yes", "Yes", "OK", "OK"});
        for (int round = 0; round < 2; ++round) {
            w.playback()->selectMovie(0);
            w.playback()->selectMovie(1);
            QVERIFY(settings().timeBias == 7 && w.playback()->totalOffsetSec() == 7);
            indicator(w)->click();  // delete (Yes)
            indicator(w)->click();  // and save again
            QCOMPARE(readFile(settingsOf("B.MOV")), first);
        }
        // A file deleted behind the program's back; a pipe named like C's settings neither hangs the change nor takes
        // a save.
        QVERIFY(vxtest::writeFile(settingsOf("A.MOV"), "volume 0.4\n"));
        QCOMPARE(::mkfifo(QFile::encodeName(settingsOf("C.MOV")).constData(), 0600), 0);
        w.playback()->selectMovie(0);
        QStringList tips{tip(w)};
        QFile::remove(settingsOf("A.MOV"));
        indicator(w)->click();
        tips << tip(w);
        w.playback()->selectMovie(2);
        tips << tip(w);
        indicator(w)->click();
        QCOMPARE(tips << tip(w), (QStringList{"Delete settings for this movie", "Save settings for this movie",
                                             "Save settings for this movie", "Save settings for this movie"}));
        QCOMPARE(boxes.texts.mid(2), (QStringList{perMovieNotFoundText(settingsOf("A.MOV")),
                                                 perMovieWriteErrorText(settingsOf("C.MOV"))}));
        QVERIFY(boxes.unexpected.isEmpty());
        QFile::remove(settingsOf("C.MOV"));
    }
};

QTEST_MAIN(TestPerMovieControl)
#include "test_permoviecontrol.moc"
