// Start-up: translation files, the offer to clear the settings (Shift), the refusal without ffmpeg, SIGTERM.
#include "playerfixture.h"
#include "settings/appdirs.h"
#include "track/mediatool.h"
#include <csignal>

using namespace vx;
using vxtest::store;

namespace {
QMap<QString, QVariant> storeContents() {
    QMap<QString, QVariant> all;
    for (const QString &k : store().allKeys())
        all.insert(k, store().value(k));
    return all;
}
void putOutUnits2() {
    store().setValue("configuration/outUnits", 2), store().setValue("mainWindow/size", QSize(700, 500));
}
// Runs the whole start-up; once the player window is up, `whenUp` runs. Returns the exit status.
int runWhole(Qt::KeyboardModifiers modifiers, const std::function<void()> &whenUp) {
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (g_mainWindow && g_mainWindow->isVisible())
            timer.stop(), whenUp();
    });
    timer.start(20);
    return runApplication(*qApp, {"volantix"}, modifiers);
}
} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { vxtest::silencePlatformWarnings(), setApplicationIdentity(); }
    void init() { vxtest::resetStore(false); }
    void languagesChooseTheirTranslationFiles() {
        QCOMPARE(languageList(), (QStringList{"Default", "Chinese", "English"}));
        // A value this program never stores (edited by hand, a newer version's language, garbage) is "Default".
        QStringList files;
        for (const QString &language : QStringList{"Default", "Chinese", "English", "Klingon", "", "english"}) {
            const TranslationChoice c = translationChoice(language, language == "Default" ? "de_DE" : "fr_FR");
            files << c.qtFile + '/' + c.appFile + '/' + QString::number(c.chineseLocale);
        }
        QCOMPARE(files.join(' '), "qt_de_DE/lx_de_DE/0 qt_ch/lx_ch/1 //0 qt_fr_FR/lx_fr_FR/0 qt_fr_FR/lx_fr_FR/0 qt_fr_FR/lx_fr_FR/0");
    }
    // Only Shift alone asks; "No" changes nothing, "Yes" clears everything and says so.
    void clearingIsOfferedOnlyForShiftAlone() {
        putOutUnits2();
        const auto before = storeContents();
        vxtest::BoxAnswerer answer({QString::fromLatin1(CLEAR_SETTINGS_NO), QString::fromLatin1(CLEAR_SETTINGS_YES), "OK"});
        for (Qt::KeyboardModifiers m : {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::ShiftModifier | Qt::ControlModifier),
                                        Qt::KeyboardModifiers(Qt::AltModifier), Qt::KeyboardModifiers(Qt::ShiftModifier)})
            QVERIFY(!offerToClearSettings(m));
        QCOMPARE(answer.texts, QStringList{"Are you sure you want to clear Volantix's settings?"});
        QVERIFY(answer.buttonTexts.first().size() == 2 && storeContents() == before);
        QVERIFY(offerToClearSettings(Qt::ShiftModifier) && answer.unexpected.isEmpty() && storeContents().isEmpty());
        QCOMPARE(answer.texts.value(2) + ' ' + answer.titles.join('|'), "Settings have been cleared! Volantix|Volantix|Volantix");
    }
    void withoutMediaToolTheProgramEndsWithStatusZeroBeforeAnyWindow() {
        if (QFile::exists(applicationDir() + "/ffmpeg"))
            QSKIP("an ffmpeg lies beside the test program; it cannot be hidden");
        const QByteArray path = qgetenv("PATH");
        QTemporaryDir empty;
        qputenv("PATH", empty.path().toLocal8Bit());
        QVERIFY(!mediaToolFound());
        vxtest::BoxAnswerer answer({"OK", "OK"});
        QVERIFY(refuseWithoutMediaTool());
        const int status = runApplication(*qApp, {"volantix"}, Qt::NoModifier);
        qputenv("PATH", path);
        QVERIFY(status == 0 && answer.unexpected.isEmpty() && answer.buttonTexts.first().size() == 1);
        QVERIFY(answer.titles.join('|') == "Volantix|Volantix"
                && answer.icons == QList<QMessageBox::Icon>({QMessageBox::Warning, QMessageBox::Warning}));
        const QString expected = "Could not find ffmpeg here: " + applicationDir() + "/ffmpeg. \n\nPlease copy ffmpeg to this location and restart the program.";
        QCOMPARE(answer.texts, (QStringList{expected, expected}));
        QVERIFY(!g_mainWindow && !g_dataDialog && storeContents().isEmpty());
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY2(!qobject_cast<QMainWindow *>(w), "a player window was built");
    }
    // Shift and "Yes": the run starts with the defaults and saves at close.
    void shiftAndYesAtStartUp() {
        if (QStandardPaths::findExecutable("ffmpeg").isEmpty())
            QSKIP("ffmpeg is not installed");
        vxtest::resetStore();
        putOutUnits2();
        store().remove("mainWindow/size");
        vxtest::BoxAnswerer answers({QString::fromLatin1(CLEAR_SETTINGS_YES), "OK"});
        int seen = -1;
        QCOMPARE(runWhole(Qt::ShiftModifier, [&seen] { seen = settings().outUnits, g_mainWindow->close(); }), 0);
        QVERIFY(seen == 0 && answers.unexpected.isEmpty() && !g_mainWindow && store().value("configuration/outUnits").toInt() == 0);
        QVERIFY(store().contains("mainWindow/size") && store().contains("Map/mapVis"));
    }
    void aTerminationSignalClosesTheWindowAndSaves() {
        if (QStandardPaths::findExecutable("ffmpeg").isEmpty())
            QSKIP("ffmpeg is not installed");
        vxtest::resetStore();
        struct sigaction before = {};
        ::sigaction(SIGTERM, nullptr, &before);
        QCOMPARE(runWhole(Qt::NoModifier, [] { std::raise(SIGTERM); }), 0);
        struct sigaction now = {};  // the handler is gone with the window: the one before is back
        ::sigaction(SIGTERM, nullptr, &now);
        QVERIFY(store().contains("mainWindow/pos") && store().contains("Graph/graphVis") && now.sa_handler == before.sa_handler);
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
