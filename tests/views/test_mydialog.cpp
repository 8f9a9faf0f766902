// The secondary windows' base: where a window comes back, what it saves, keys, moves, stay-on-top, dashboards.
#include "control/controlcenterdialog.h"
#include "main/guitest.h"
#include "views/datadialog.h"
#include "views/graphdialog.h"
#include "views/mapdialog.h"
#include "views/mydialog.h"

#include <climits>

using namespace vx;
using vxtest::store;

namespace {

struct FakeCoordinator : DialogCoordinator {
    bool firstRun = false, guard = false;
    QRect place;
    int placeQueries = 0;
    QList<QPair<LayoutRow, QPoint>> moves;
    bool firstRunPlace(LayoutRow, QRect *p) override { return *p = firstRun ? place : *p, ++placeQueries, firstRun; }
    bool syncGuard() const override { return guard; }
    void setSyncGuard(bool on) override { guard = on; }
    void dialogMoved(LayoutRow row, const QPoint &delta) override { moves << qMakePair(row, delta); }
};

struct Plain : myDialog {
    Plain(const QString &name, const QString &title, QSize size = QSize(300, 200)) {
        setObjectName(name), setWindowTitle(title), resize(size);
    }
};

void storePlace(const QString &group, const QSize &size, const QPoint &pos) {  // invalid size, x INT_MIN: none
    if (size.isValid())
        store().setValue(group + "/size", size);
    if (pos.x() != INT_MIN)
        store().setValue(group + "/pos", pos);
    store().sync();
}

} // namespace

class TestMyDialog : public QObject {
    Q_OBJECT

    FakeCoordinator m_coordinator;

private slots:
    void init() {
        vxtest::resetStore(false);
        m_coordinator = FakeCoordinator();
        setDialogCoordinator(&m_coordinator);
    }
    void cleanup() { setDialogCoordinator(nullptr); }
    void rowsFollowTheObjectName() {
        QList<LayoutRow> rows;
        for (const char *name : {"dataDialogHoriz", "dataDialogVert", "mapDialog", "graphDialog", "controlCenterDialog",
                                 "MapDialog", ""})
            rows << layoutRowForObjectName(name);
        QCOMPARE(rows, (QList<LayoutRow>{LayoutRow::Dashboard, LayoutRow::Dashboard, LayoutRow::Map, LayoutRow::Graph,
                                         LayoutRow::ControlCenter, LayoutRow::None, LayoutRow::None}));
    }

    // The stored place unless off the screens or the window (nearly) fills the screen; else the centred default.
    void placeWhenShown_data() {
        QTest::addColumn<QSize>("storedSize");
        QTest::addColumn<QPoint>("storedPos");  // x INT_MIN: none stored, or not checked
        QTest::addColumn<QSize>("initial");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("pos");
        const QSize s = QGuiApplication::primaryScreen()->geometry().size(), stored(410, 220), initial(300, 200);
        const QPoint none(INT_MIN, 0);
        QTest::newRow("nothing stored") << QSize() << none << initial << QSize(DEFAULT_DIALOG_WIDTH, DEFAULT_DIALOG_HEIGHT)
                                        << QPoint((s.width() - 300) / 2, (s.height() - 200) / 2);
        QTest::newRow("stored") << stored << QPoint(31, 47) << initial << stored << QPoint(31, 47);
        QTest::newRow("beyond the screen") << stored << QPoint(s.width() + 1, 10) << initial << initial << none;
        QTest::newRow("on no screen") << stored << QPoint(-5000, -5000) << initial << initial << none;
        QTest::newRow("absurd size") << QSize(2000000, 2000000) << QPoint(10, 10) << initial << QSize() << QPoint(10, 10);
        QTest::newRow("dx 1") << stored << none << QSize(s.width() - 1, 200) << QSize(s.width() - 1, 200) << none;
        QTest::newRow("dy -1") << stored << none << QSize(300, s.height() + 1) << stored << none;
    }
    void placeWhenShown() {
        QFETCH(QSize, storedSize);
        QFETCH(QPoint, storedPos);
        QFETCH(QSize, initial);
        QFETCH(QSize, size);
        QFETCH(QPoint, pos);
        storePlace("Graph", storedSize, storedPos);
        Plain w("graphDialog", "Graph", initial);
        w.show();
        QVERIFY(w.width() <= QGuiApplication::primaryScreen()->virtualGeometry().width() && w.pos().x() > -5000);
        QCOMPARE(QRect(w.pos(), w.size()), QRect(pos.x() == INT_MIN ? w.pos() : pos, size.isValid() ? size : w.size()));
    }
    void firstRunTakesTheRowUnderTheGuard() {
        storePlace("Movies and Geotags", QSize(500, 300), QPoint(1, 1));
        m_coordinator.firstRun = true;
        m_coordinator.place = QRect(120, 30, 360, 158);
        Plain w("controlCenterDialog", "Movies and Geotags"), other("somethingElse", "Other");
        w.show();
        QCOMPARE(QRect(w.pos(), w.size()), QRect(120, 30, 360, 158));
        QVERIFY(m_coordinator.moves.isEmpty() && !m_coordinator.guard);
        m_coordinator.placeQueries = 0;  // a window without a row is not offered a place
        other.show();
        QCOMPARE(QString("%1 %2x%3").arg(m_coordinator.placeQueries).arg(other.width()).arg(other.height()),
                 QString("0 %1x%2").arg(DEFAULT_DIALOG_WIDTH).arg(DEFAULT_DIALOG_HEIGHT));
    }
    void hidingAndClosingSaveInTheTitleGroup() {
        const auto stored = [](const QString &g) {
            return QRect(store().value(g + "/pos").toPoint(), store().value(g + "/size").toSize());
        };
        Plain w("graphDialog", "Graph");
        w.show();
        w.resize(333, 222);
        w.move(44, 55);
        w.hide();
        QCOMPARE(stored("Graph"), QRect(44, 55, 333, 222));
        w.resize(350, 250);
        w.move(5, 5);  // moved while hidden: not saved; every show restores from the store
        storePlace("Graph", QSize(), QPoint(60, 70));
        w.show();
        QCOMPARE(QRect(w.pos(), w.size()), QRect(60, 70, 333, 222));
        w.move(66, 77);
        QVERIFY(w.close() && !w.isVisible() && stored("Graph").topLeft() == QPoint(66, 77));
        mapDialog map;  // keeps its group while its title says something else
        map.show();
        map.setWindowTitle("Map (Widen for controls)");
        map.move(12, 13);
        map.hide();
        QCOMPARE(stored("Map").topLeft(), QPoint(12, 13));
    }
    void keysAreTakenAndEscapeDoesNotClose() {
        graphDialog w;
        w.show();
        for (int key : {int(Qt::Key_Escape), int(Qt::Key_A), int(Qt::Key_Space), int(Qt::Key_Return)}) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            press.ignore();
            QVERIFY((QCoreApplication::sendEvent(&w, &press), press.isAccepted()));
        }
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(w.isVisible());
    }
    void movesAreReportedOnceSettled() {  // not under the guard (moving together), nor from a window without a row
        graphDialog w;
        Plain other("other", "Other");
        w.show(), other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.move(w.pos() + QPoint(3, 3));
        QVERIFY(m_coordinator.moves.isEmpty());
        QTest::qWait(SYNC_SETTLE_MS + 50);
        w.move(w.pos() + QPoint(10, -5));
        m_coordinator.guard = true;
        w.move(w.pos() + QPoint(1, 1));
        m_coordinator.guard = false;
        other.move(other.pos() + QPoint(4, 4));
        QCOMPARE(m_coordinator.moves, (QList<QPair<LayoutRow, QPoint>>{{LayoutRow::Graph, QPoint(10, -5)}}));
    }
    void stayOnTopFollowsTheSettingAndTheDashboardHasTwoForms() {
        const auto flags = [](bool onTop) {
            settings().windowsStayOnTop = onTop;
            return mapDialog().windowFlags() & (Qt::WindowType_Mask | Qt::WindowStaysOnTopHint);
        };
        QCOMPARE(flags(true), Qt::Tool | Qt::WindowStaysOnTopHint);
        QCOMPARE(flags(false), Qt::Dialog);
        dataDialog horiz(false), vert(true);
        QCOMPARE(QStringList({horiz.objectName(), horiz.settingsGroup(), vert.objectName(), vert.settingsGroup()}),
                 QStringList({"dataDialogHoriz", "Dashboard", "dataDialogVert", "Dashboard "}));
        QVERIFY(vert.height() > vert.width() && horiz.width() > horiz.height());
    }
};

QTEST_MAIN(TestMyDialog)
#include "test_mydialog.moc"
