// The about box's text, and the shortcuts box covering every key the program answers to, drawn as key caps.
#include "guitest.h"

#include "main/aboutdialog.h"
#include "main/mainmenus.h"
#include "main/shortcutsdialog.h"

using namespace vx;

class TestHelpBoxes : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { vxtest::silencePlatformWarnings(); }
    void aboutNamesVersionQtAndTheLibraries() {
        const QString text = aboutText();
        for (const QString &part : QStringList{"Volantix", "Version 1.1.4", "Qt " + QString(qVersion()), "GeographicLib",
                                               "FFmpeg", "GStreamer", "EGM96", "Leaflet"})
            QVERIFY2(text.contains(part), qPrintable(part));
        aboutDialog box;
        auto *label = box.findChild<QLabel *>("aboutText");
        QVERIFY(label && box.windowTitle() == "Volantix" && label->text() == text);
    }
    // Every key is in the table once; one key image per row, caps of one height, sharp at double density.
    void everyKeyIsInTheTableAndTheBox() {
        QMainWindow window;
        (void)buildMainMenus(&window);
        QStringList listed, menuKeys;
        for (const ShortcutEntry &e : shortcutTable())
            listed << e.alternatives;
        for (QAction *a : window.findChildren<QAction *>())
            if (!a->shortcut().isEmpty())
                menuKeys << a->shortcut().toString(QKeySequence::PortableText);
        QCOMPARE(menuKeys.size(), 12);
        for (const QString &key : menuKeys + QString("Space Left Right Up Down F11 Alt+Return 0 9 E 7 Q 8 W 5 S 4 A 6 D G P F")
                                                 .split(' '))
            QVERIFY2(listed.contains(key), qPrintable(key));
        QCOMPARE(listed.removeDuplicates(), 0);
        shortcutsDialog box;
        const auto keys = box.findChildren<QLabel *>("keys");
        QVERIFY(keys.size() == shortcutTable().size() && box.findChildren<QLabel *>("action").size() == keys.size());
        QCOMPARE(box.windowTitle(), "Volantix");
        for (QLabel *k : keys)
            QVERIFY(!k->pixmap(Qt::ReturnByValue).isNull());
        const QPixmap one = keyCapPixmap("G"), word = keyCapPixmap("Space"), twoWays = keysPixmap({"F11", "Alt+Return"});
        QVERIFY(word.width() > one.width() && twoWays.width() > word.width() && twoWays.height() == one.height());
        QCOMPARE(keyCapPixmap("G", 2.0).width(), 2 * one.width());
    }
};

QTEST_MAIN(TestHelpBoxes)
#include "test_helpboxes.moc"
