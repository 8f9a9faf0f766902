// The control center window: its two tabs and the transport switch of its
// controls.
#include "control/controlcenterdialog.h"
#include "settings/settings.h"

#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

using namespace vx;

class TestControlCenterDialog : public QObject {
    Q_OBJECT

private slots:
    void tabsAndControlSwitch() {
        setDefaultSettings();
        controlCenterDialog cc;
        QCOMPARE(cc.tabs()->count(), 2);
        QCOMPARE(cc.tabs()->tabText(0), QStringLiteral("Movies"));
        QCOMPARE(cc.tabs()->tabText(1), QStringLiteral("Geotags"));
        QCOMPARE(cc.tabs()->widget(0), cc.moviesTab());
        QCOMPARE(cc.tabs()->widget(1), cc.geotagsTab());
        // A control added to a tab later follows the switch.
        auto *later = new QWidget(cc.moviesTab());
        cc.enableControls(false);
        QVERIFY(!later->isEnabled());
        QVERIFY(!cc.geotagsTab()->isEnabled());
        QVERIFY(cc.tabs()->tabBar()->isEnabled());  // the tabs themselves stay usable
        cc.enableControls(true);
        QVERIFY(later->isEnabled());
        QVERIFY(cc.geotagsTab()->isEnabled());
    }
};

QTEST_MAIN(TestControlCenterDialog)
#include "test_controlcenterdialog.moc"
