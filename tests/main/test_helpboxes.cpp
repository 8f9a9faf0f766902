// The about box and the shortcuts box: what the about text names, and that
// the shortcuts table covers every key the program answers to, drawn as key
// images.
#include "guitest.h"

#include "main/aboutdialog.h"
#include "main/mainmenus.h"
#include "main/shortcutsdialog.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QtTest>

using namespace vx;

class TestHelpBoxes : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { vxtest::silencePlatformWarnings(); }

    void aboutNamesVersionQtAndTheLibraries()
    {
        QCOMPARE(applicationVersion(), QStringLiteral("1.1.4"));
        const QString text = aboutText();
        QVERIFY(text.contains(QStringLiteral("Volantix")));
        QVERIFY(text.contains(QStringLiteral("Version 1.1.4")));
        QVERIFY(text.contains(QStringLiteral("Qt ") + QString::fromLatin1(qVersion())));
        for (const char *lib : {"GeographicLib", "FFmpeg", "GStreamer", "EGM96", "Leaflet"})
            QVERIFY2(text.contains(QString::fromLatin1(lib)), lib);
        aboutDialog box;
        QCOMPARE(box.windowTitle(), QStringLiteral("Volantix"));
        auto *label = box.findChild<QLabel *>(QStringLiteral("aboutText"));
        QVERIFY(label);
        QCOMPARE(label->text(), text);
    }

    void everyMenuShortcutIsInTheTable()
    {
        QMainWindow window;
        const MainMenus menus = buildMainMenus(&window);
        QStringList listed;
        for (const ShortcutEntry &e : shortcutTable())
            listed << e.alternatives;
        int checked = 0;
        for (QAction *a : window.findChildren<QAction *>()) {
            if (a->shortcut().isEmpty())
                continue;
            const QString keys = a->shortcut().toString(QKeySequence::PortableText);
            QVERIFY2(listed.contains(keys), qPrintable(keys + QStringLiteral(" of ") + a->text()));
            ++checked;
        }
        QCOMPARE(checked, 12);
        Q_UNUSED(menus);
    }

    void everyPlayerKeyIsInTheTable()
    {
        QStringList listed;
        for (const ShortcutEntry &e : shortcutTable())
            listed << e.alternatives;
        for (const char *key : {"Space", "Left", "Right", "Up", "Down", "F11", "Alt+Return", "0", "9", "E", "7",
                                "Q", "8", "W", "5", "S", "4", "A", "6", "D", "G", "P", "F"})
            QVERIFY2(listed.contains(QString::fromLatin1(key)), key);
        QCOMPARE(listed.removeDuplicates(), 0);
    }

    void keysAreDrawnAsCaps()
    {
        const QPixmap one = keyCapPixmap(QStringLiteral("G"));
        const QPixmap word = keyCapPixmap(QStringLiteral("Space"));
        const QPixmap combo = keysPixmap({QStringLiteral("Ctrl+Shift+O")});
        const QPixmap twoWays = keysPixmap({QStringLiteral("F11"), QStringLiteral("Alt+Return")});
        for (const QPixmap &p : {one, word, combo, twoWays}) {
            QVERIFY(!p.isNull());
            QCOMPARE(p.height(), one.height());
        }
        QVERIFY(word.width() > one.width());
        QVERIFY(combo.width() > 3 * one.width());
        QVERIFY(twoWays.width() > word.width());
        // Drawn, not empty: the cap's face is opaque in its middle.
        const QImage img = one.toImage();
        QCOMPARE(qAlpha(img.pixel(img.width() / 2, 3)), 255);
        // Sharp on a double-density screen.
        const QPixmap hi = keyCapPixmap(QStringLiteral("G"), 2.0);
        QCOMPARE(hi.width(), 2 * one.width());
        QCOMPARE(hi.devicePixelRatio(), 2.0);
    }

    void theBoxShowsOneKeyImagePerRow()
    {
        shortcutsDialog box;
        QCOMPARE(box.windowTitle(), QStringLiteral("Volantix"));
        const auto keys = box.findChildren<QLabel *>(QStringLiteral("keys"));
        const auto actions = box.findChildren<QLabel *>(QStringLiteral("action"));
        QCOMPARE(keys.size(), shortcutTable().size());
        QCOMPARE(actions.size(), keys.size());
        for (QLabel *k : keys)
            QVERIFY(!k->pixmap(Qt::ReturnByValue).isNull());
    }
};

QTEST_MAIN(TestHelpBoxes)
#include "test_helpboxes.moc"
