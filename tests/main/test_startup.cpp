// Start-up: the language's translation files, the offer to clear every
// setting when Shift is held, and the refusal to run without ffmpeg, each on
// its own and through the whole start-up.
#include "guitest.h"

#include "main/mainwindow.h"
#include "main/startup.h"
#include "settings/appdirs.h"
#include "settings/settings.h"
#include "track/mediatool.h"
#include "views/datadialog.h"

#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

using namespace vx;

namespace {

using vxtest::store;

QMap<QString, QVariant> storeContents()
{
    QMap<QString, QVariant> all;
    store().sync();
    for (const QString &k : store().allKeys())
        all.insert(k, store().value(k));
    return all;
}

// PATH without ffmpeg for the life of the object.
class NoMediaToolOnPath {
public:
    NoMediaToolOnPath()
        : m_saved(qgetenv("PATH"))
    {
        qputenv("PATH", m_empty.path().toLocal8Bit());
    }
    ~NoMediaToolOnPath() { qputenv("PATH", m_saved); }

private:
    QByteArray m_saved;
    QTemporaryDir m_empty;
};

// Closes the player window once it is up, noting what the record held then.
struct CloseWhenShown {
    int outUnitsWhileRunning = -1;
    bool sawWindow = false;
    QTimer timer;
    CloseWhenShown()
    {
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (!g_mainWindow || !g_mainWindow->isVisible())
                return;
            sawWindow = true;
            outUnitsWhileRunning = settings().outUnits;
            timer.stop();
            g_mainWindow->close();
        });
        timer.start();
    }
};

} // namespace

class TestStartup : public QObject {
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

    void languagesChooseTheirTranslationFiles()
    {
        QCOMPARE(languageList(), (QStringList{"Default", "Chinese", "English"}));
        TranslationChoice c = translationChoice(QStringLiteral("Default"), QStringLiteral("de_DE"));
        QCOMPARE(c.qtFile, QStringLiteral("qt_de_DE"));
        QCOMPARE(c.appFile, QStringLiteral("lx_de_DE"));
        QVERIFY(!c.chineseLocale);
        c = translationChoice(QStringLiteral("Chinese"), QStringLiteral("de_DE"));
        QCOMPARE(c.qtFile, QStringLiteral("qt_ch"));
        QCOMPARE(c.appFile, QStringLiteral("lx_ch"));
        QVERIFY(c.chineseLocale);
        c = translationChoice(QStringLiteral("English"), QStringLiteral("de_DE"));
        QVERIFY(c.qtFile.isEmpty() && c.appFile.isEmpty() && !c.chineseLocale);
        // A value this program never stores (edited by hand, a newer
        // version's language, garbage) is taken as "Default".
        for (const QString &odd : {QStringLiteral("Klingon"), QString(), QStringLiteral("english")}) {
            c = translationChoice(odd, QStringLiteral("fr_FR"));
            QCOMPARE(c.qtFile, QStringLiteral("qt_fr_FR"));
            QCOMPARE(c.appFile, QStringLiteral("lx_fr_FR"));
        }
    }

    void clearingIsOfferedOnlyForShiftAlone()
    {
        store().setValue(QStringLiteral("configuration/outUnits"), 2);
        store().sync();
        vxtest::BoxAnswerer answer({});
        for (Qt::KeyboardModifiers m : {Qt::KeyboardModifiers(Qt::NoModifier),
                                        Qt::KeyboardModifiers(Qt::ShiftModifier | Qt::ControlModifier),
                                        Qt::KeyboardModifiers(Qt::AltModifier)})
            QVERIFY(!offerToClearSettings(m));
        QTest::qWait(60);
        QVERIFY(answer.texts.isEmpty());
        QCOMPARE(store().value(QStringLiteral("configuration/outUnits")).toInt(), 2);
    }

    void answeringNoChangesNothing()
    {
        store().setValue(QStringLiteral("configuration/outUnits"), 2);
        store().setValue(QStringLiteral("mainWindow/size"), QSize(700, 500));
        store().setValue(QStringLiteral("Map/mapVis"), false);
        store().sync();
        const auto before = storeContents();

        vxtest::BoxAnswerer answer({QString::fromLatin1(CLEAR_SETTINGS_NO)});
        QVERIFY(!offerToClearSettings(Qt::ShiftModifier));
        QCOMPARE(answer.unexpected, QStringList());
        QCOMPARE(answer.texts, QStringList{QStringLiteral("Are you sure you want to clear Volantix's settings?")});
        QCOMPARE(answer.titles, QStringList{QStringLiteral("Volantix")});
        QCOMPARE(answer.buttonTexts.first().size(), 2);
        QVERIFY(answer.buttonTexts.first().contains(QStringLiteral(" No! Get me out of here! ")));
        QVERIFY(answer.buttonTexts.first().contains(QStringLiteral(" Yes, clear all settings ")));
        QCOMPARE(storeContents(), before);
    }

    void answeringYesClearsEverySetting()
    {
        store().setValue(QStringLiteral("configuration/outUnits"), 2);
        store().setValue(QStringLiteral("configuration/confVersion"), 1);
        store().setValue(QStringLiteral("mainWindow/pos"), QPoint(5, 6));
        store().setValue(QStringLiteral("movieDirectory"), QStringLiteral("/data"));
        store().sync();

        vxtest::BoxAnswerer answer({QString::fromLatin1(CLEAR_SETTINGS_YES), QStringLiteral("OK")});
        QVERIFY(offerToClearSettings(Qt::ShiftModifier));
        QCOMPARE(answer.unexpected, QStringList());
        QCOMPARE(answer.texts.size(), 2);
        QCOMPARE(answer.texts.at(1), QStringLiteral("Settings have been cleared!"));
        QCOMPARE(answer.titles.at(1), QStringLiteral("Volantix"));
        QVERIFY(storeContents().isEmpty());
        // With an empty store the record loads as on a first run.
        setDefaultSettings();
        QVERIFY(loadSettings());
        QCOMPARE(settings().outUnits, 0);
    }

    void withoutMediaToolTheRefusalIsShown()
    {
        if (QFile::exists(applicationDir() + QStringLiteral("/ffmpeg")))
            QSKIP("an ffmpeg lies beside the test program; it cannot be hidden");
        NoMediaToolOnPath noTool;
        QVERIFY(!mediaToolFound());
        vxtest::BoxAnswerer answer({QStringLiteral("OK")});
        QVERIFY(refuseWithoutMediaTool());
        QCOMPARE(answer.unexpected, QStringList());
        QCOMPARE(answer.titles, QStringList{QStringLiteral("Volantix")});
        QCOMPARE(answer.icons, QList<QMessageBox::Icon>{QMessageBox::Warning});
        QCOMPARE(answer.buttonTexts.first().size(), 1);
        const QString expected = QStringLiteral("Could not find ffmpeg here: %1. \n\n"
                                                "Please copy ffmpeg to this location and restart the program.")
                                     .arg(applicationDir() + QStringLiteral("/ffmpeg"));
        QCOMPARE(answer.texts, QStringList{expected});
    }

    void withoutMediaToolTheProgramEndsWithStatusZeroBeforeAnyWindow()
    {
        if (QFile::exists(applicationDir() + QStringLiteral("/ffmpeg")))
            QSKIP("an ffmpeg lies beside the test program; it cannot be hidden");
        NoMediaToolOnPath noTool;
        vxtest::BoxAnswerer answer({QStringLiteral("OK")});
        const int status = runApplication(*qApp, {QStringLiteral("volantix")}, Qt::NoModifier);
        QCOMPARE(status, 0);
        QCOMPARE(answer.texts.size(), 1);
        QVERIFY(answer.texts.first().startsWith(QStringLiteral("Could not find ffmpeg here: ")));
        QCOMPARE(g_mainWindow, static_cast<MainWindow *>(nullptr));
        QCOMPARE(g_dataDialog, static_cast<dataDialog *>(nullptr));
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY2(!qobject_cast<QMainWindow *>(w), "a player window was built");
        QVERIFY(storeContents().isEmpty());
    }

    void shiftAndYesStartsWithDefaultsAndSavesAtClose()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty())
            QSKIP("ffmpeg is not installed");
        store().setValue(QStringLiteral("configuration/confVersion"), 1);
        store().setValue(QStringLiteral("configuration/outUnits"), 2);
        store().sync();
        vxtest::BoxAnswerer answer({QString::fromLatin1(CLEAR_SETTINGS_YES), QStringLiteral("OK")});
        CloseWhenShown closer;
        QCOMPARE(runApplication(*qApp, {QStringLiteral("volantix")}, Qt::ShiftModifier), 0);
        QVERIFY(closer.sawWindow);
        QCOMPARE(closer.outUnitsWhileRunning, 0);
        QCOMPARE(answer.unexpected, QStringList());
        QCOMPARE(g_mainWindow, static_cast<MainWindow *>(nullptr));
        store().sync();
        QCOMPARE(store().value(QStringLiteral("configuration/outUnits")).toInt(), 0);
        QVERIFY(store().contains(QStringLiteral("mainWindow/size")));
        QVERIFY(store().contains(QStringLiteral("Map/mapVis")));
    }

    void shiftAndNoStartsWithTheStoredSettings()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty())
            QSKIP("ffmpeg is not installed");
        store().setValue(QStringLiteral("configuration/confVersion"), 1);
        store().setValue(QStringLiteral("configuration/outUnits"), 2);
        store().sync();
        vxtest::BoxAnswerer answer({QString::fromLatin1(CLEAR_SETTINGS_NO)});
        CloseWhenShown closer;
        QCOMPARE(runApplication(*qApp, {QStringLiteral("volantix")}, Qt::ShiftModifier), 0);
        QCOMPARE(closer.outUnitsWhileRunning, 2);
        QCOMPARE(answer.texts.size(), 1);
        QCOMPARE(store().value(QStringLiteral("configuration/outUnits")).toInt(), 2);
    }

    void aTerminationSignalClosesTheWindowAndSaves()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty())
            QSKIP("ffmpeg is not installed");
        store().setValue(QStringLiteral("configuration/confVersion"), 1);
        store().sync();
        struct sigaction before = {};
        ::sigaction(SIGTERM, nullptr, &before);
        QTimer killer;
        killer.setInterval(20);
        connect(&killer, &QTimer::timeout, [&killer] {
            if (g_mainWindow && g_mainWindow->isVisible()) {
                killer.stop();
                std::raise(SIGTERM);
            }
        });
        killer.start();
        QCOMPARE(runApplication(*qApp, {QStringLiteral("volantix")}, Qt::NoModifier), 0);
        store().sync();
        QVERIFY(store().contains(QStringLiteral("mainWindow/pos")));
        QVERIFY(store().contains(QStringLiteral("Graph/graphVis")));
        // The handler is gone with the window: the one before is back.
        struct sigaction now = {};
        ::sigaction(SIGTERM, nullptr, &now);
        QVERIFY(now.sa_handler == before.sa_handler);
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
