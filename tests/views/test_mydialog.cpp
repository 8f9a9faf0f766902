// The secondary windows' base: where a window comes back, what it saves, keys, moves, stay-on-top, dashboards.
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
    QList<QPair<LayoutRow, QPoint>> moves;
    bool firstRunPlace(LayoutRow, QRect *p) override { return (firstRun ? *p = place : *p), firstRun; }
    bool syncGuard() const override { return guard; }
    void setSyncGuard(bool on) override { guard = on; }
    void dialogMoved(LayoutRow row, const QPoint &delta) override { moves << qMakePair(row, delta); }
};

struct Plain : myDialog {
    Plain(const QString &n, const QString &t, QSize s = {300, 200}) { setObjectName(n), setWindowTitle(t), resize(s); }
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
        setDialogCoordinator(&(m_coordinator = FakeCoordinator()));
    }
    void cleanup() { setDialogCoordinator(nullptr); }
    // The stored place unless off the screens or the window (nearly) fills the screen; else the centred default.
    void placeWhenShown_data() {
        QTest::addColumn<QSize>("storedSize");
        QTest::addColumn<QPoint>("storedPos");  // x INT_MIN: none stored, or not checked
        QTest::addColumn<QSize>("initial");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("pos");
        const QSize s = QGuiApplication::primaryScreen()->geometry().size(), stored(410, 220), initial(300, 200);
        const QPoint none(INT_MIN, 0), corner(s.width() - 10, s.height() - 10);
        QTest::newRow("nothing stored") << QSize() << none << initial << QSize(DEFAULT_DIALOG_WIDTH, DEFAULT_DIALOG_HEIGHT)
                                        << QPoint((s.width() - 300) / 2, (s.height() - 200) / 2);
        QTest::newRow("a corner on the screen") << stored << corner << initial << stored << corner;
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
        other.show();  // a window without a row is not offered a place
        QCOMPARE(other.size(), QSize(DEFAULT_DIALOG_WIDTH, DEFAULT_DIALOG_HEIGHT));
    }
    void hidingAndClosingSaveInTheTitleGroup() {
        const auto stored = [] { return QRect(store().value("Graph/pos").toPoint(), store().value("Graph/size").toSize()); };
        Plain w("graphDialog", "Graph");
        w.show();
        w.resize(333, 222);
        w.move(44, 55);
        w.hide();
        QCOMPARE(stored(), QRect(44, 55, 333, 222));
        w.resize(350, 250);
        w.move(5, 5);  // moved while hidden: not saved; every show restores from the store
        storePlace("Graph", QSize(), QPoint(60, 70));
        w.show();
        QCOMPARE(QRect(w.pos(), w.size()), QRect(60, 70, 333, 222));
        w.move(66, 77);
        QVERIFY(w.close() && !w.isVisible() && stored().topLeft() == QPoint(66, 77));
    }
    // Every key is taken, Escape does not close; moves reported once settled, not under the guard nor without a row.
    void keysAreTakenAndMovesReportedOnceSettled() {
        graphDialog w;
        Plain other("other", "Other");
        w.show(), other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        for (int key : {int(Qt::Key_Escape), int(Qt::Key_A), int(Qt::Key_Space), int(Qt::Key_Return)}) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            press.ignore();
            QVERIFY((QCoreApplication::sendEvent(&w, &press), press.isAccepted() && w.isVisible()));
        }
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
    void rowsGroupsAndStayOnTop() {
        QList<LayoutRow> rows;
        for (const char *name : {"dataDialogHoriz", "dataDialogVert", "mapDialog", "graphDialog", "controlCenterDialog",
                                 "MapDialog", ""})
            rows << layoutRowForObjectName(name);
        QCOMPARE(rows, (QList<LayoutRow>{LayoutRow::Dashboard, LayoutRow::Dashboard, LayoutRow::Map, LayoutRow::Graph,
                                         LayoutRow::ControlCenter, LayoutRow::None, LayoutRow::None}));
        dataDialog horiz(false), vert(true);
        mapDialog map;
        map.setWindowTitle("Map (Widen for controls)");
        QCOMPARE(QStringList({horiz.objectName(), horiz.settingsGroup(), vert.objectName(), vert.settingsGroup(),
                              map.settingsGroup()}),
                 QStringList({"dataDialogHoriz", "Dashboard", "dataDialogVert", "Dashboard ", "Map"}));
        settings().windowsStayOnTop = true;  // a tool window kept on top, else an ordinary dialog
        const Qt::WindowFlags onTop = mapDialog().windowFlags(), mask = Qt::WindowType_Mask | Qt::WindowStaysOnTopHint;
        settings().windowsStayOnTop = false;
        QVERIFY((onTop & mask) == (Qt::Tool | Qt::WindowStaysOnTopHint) && (mapDialog().windowFlags() & mask) == Qt::Dialog);
    }
};

QTEST_MAIN(TestMyDialog)
#include "test_mydialog.moc"
