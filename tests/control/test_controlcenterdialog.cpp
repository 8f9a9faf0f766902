// The control center window: its two tabs and the transport switch of its controls.
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
        QTabWidget *tabs = cc.tabs();
        QCOMPARE(QStringList({tabs->tabText(0), tabs->tabText(1)}), QStringList({"Movies", "Geotags"}));
        QVERIFY(tabs->count() == 2 && tabs->widget(0) == cc.moviesTab() && tabs->widget(1) == cc.geotagsTab());
        auto *later = new QWidget(cc.moviesTab());  // a control added later follows the switch
        for (bool on : {false, true}) {
            cc.enableControls(on);
            QVERIFY(later->isEnabled() == on && cc.geotagsTab()->isEnabled() == on);
            QVERIFY(tabs->tabBar()->isEnabled());  // the tabs themselves stay usable
        }
    }
};

QTEST_MAIN(TestControlCenterDialog)
#include "test_controlcenterdialog.moc"
