// The secondary windows' shared base: where a window comes back when shown
// (stored place, centred default, first-run place, the screen-fit checks),
// what it saves when hidden or closed, the keys it swallows, the moves it
// reports, the stay-on-top flags; and the four windows' names and sizes.
#include "control/controlcenterdialog.h"
#include "settings/settings.h"
#include "views/datadialog.h"
#include "views/graphdialog.h"
#include "views/mapdialog.h"
#include "main/guitest.h"
#include "views/mydialog.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QSettings>
#include <QtTest>

using namespace vx;

namespace {

using vxtest::store;

struct FakeCoordinator : DialogCoordinator {
    bool firstRun = false;
    QRect place;
    bool guard = false;
    int placeQueries = 0;
    QList<QPair<LayoutRow, QPoint>> moves;
    bool guardSeenDuringMove = false;

    bool firstRunPlace(LayoutRow, QRect *p) override
    {
        ++placeQueries;
        if (firstRun)
            *p = place;
        return firstRun;
    }
    bool syncGuard() const override { return guard; }
    void setSyncGuard(bool on) override { guard = on; }
    void dialogMoved(LayoutRow row, const QPoint &delta) override { moves << qMakePair(row, delta); }
};

// A base window with a chosen object name and title.
class Plain : public myDialog {
public:
    Plain(const QString &name, const QString &title)
    {
        setObjectName(name);
        setWindowTitle(title);
        resize(300, 200);
    }
};

QSize screenSize() { return QGuiApplication::primaryScreen()->geometry().size(); }

} // namespace

class TestMyDialog : public QObject {
    Q_OBJECT

    FakeCoordinator m_coordinator;

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QString::fromLatin1(keys::ORGANIZATION));
        QCoreApplication::setApplicationName(QString::fromLatin1(keys::APPLICATION));
    }

    void init()
    {
        store().clear();
        store().sync();
        setDefaultSettings();
        m_coordinator = FakeCoordinator();
        setDialogCoordinator(&m_coordinator);
    }

    void cleanup() { setDialogCoordinator(nullptr); }

    void rowsFollowTheObjectName()
    {
        QCOMPARE(layoutRowForObjectName(QStringLiteral("dataDialogHoriz")), LayoutRow::Dashboard);
        QCOMPARE(layoutRowForObjectName(QStringLiteral("dataDialogVert")), LayoutRow::Dashboard);
        QCOMPARE(layoutRowForObjectName(QStringLiteral("mapDialog")), LayoutRow::Map);
        QCOMPARE(layoutRowForObjectName(QStringLiteral("graphDialog")), LayoutRow::Graph);
        QCOMPARE(layoutRowForObjectName(QStringLiteral("controlCenterDialog")), LayoutRow::ControlCenter);
        QCOMPARE(layoutRowForObjectName(QStringLiteral("MapDialog")), LayoutRow::None);
        QCOMPARE(layoutRowForObjectName(QStringLiteral("preferencesDialog")), LayoutRow::None);
        QCOMPARE(layoutRowForObjectName(QString()), LayoutRow::None);
    }

    void nothingStoredCentresTheDefaultSize()
    {
        Plain w(QStringLiteral("graphDialog"), QStringLiteral("Graph"));
        w.show();
        const QSize s = screenSize();
        // dx and dy come from the size before the restore (300 x 200).
        QCOMPARE(w.pos(), QPoint((s.width() - 300) / 2, (s.height() - 200) / 2));
        QCOMPARE(w.size(), QSize(DEFAULT_DIALOG_WIDTH, DEFAULT_DIALOG_HEIGHT));
        QCOMPARE(m_coordinator.placeQueries, 1);
    }

    void storedPlaceIsRestoredEveryShow()
    {
        store().setValue(QStringLiteral("Graph/size"), QSize(410, 220));
        store().setValue(QStringLiteral("Graph/pos"), QPoint(31, 47));
        store().sync();
        Plain w(QStringLiteral("graphDialog"), QStringLiteral("Graph"));
        w.show();
        QCOMPARE(w.size(), QSize(410, 220));
        QCOMPARE(w.pos(), QPoint(31, 47));
        w.hide();
        w.move(5, 5);
        w.resize(350, 250);  // while hidden: not saved
        store().setValue(QStringLiteral("Graph/pos"), QPoint(60, 70));
        store().sync();
        w.show();
        QCOMPARE(w.pos(), QPoint(60, 70));
        QCOMPARE(w.size(), QSize(410, 220));
    }

    void aPlaceBeyondTheScreenIsNotRestored()
    {
        const QSize s = screenSize();
        store().setValue(QStringLiteral("Map/size"), QSize(410, 220));
        store().setValue(QStringLiteral("Map/pos"), QPoint(s.width() + 1, 10));
        store().sync();
        Plain w(QStringLiteral("mapDialog"), QStringLiteral("Map"));
        w.show();
        QCOMPARE(w.size(), QSize(300, 200));
        // A window whose corner still shows on the screen is restored.
        w.hide();  // saves its own size and place
        store().setValue(QStringLiteral("Map/size"), QSize(410, 220));
        store().setValue(QStringLiteral("Map/pos"), QPoint(s.width() - 10, s.height() - 10));
        store().sync();
        w.show();
        QCOMPARE(w.size(), QSize(410, 220));
    }

    void aPlaceOnNoScreenOrAnAbsurdSizeIsNotTaken()
    {
        store().setValue(QStringLiteral("Graph/size"), QSize(410, 220));
        store().setValue(QStringLiteral("Graph/pos"), QPoint(-5000, -5000));
        store().sync();
        Plain lost(QStringLiteral("graphDialog"), QStringLiteral("Graph"));
        lost.show();
        QCOMPARE(lost.size(), QSize(300, 200));
        QVERIFY(lost.pos().x() > -5000);

        store().setValue(QStringLiteral("Map/size"), QSize(2000000, 2000000));
        store().setValue(QStringLiteral("Map/pos"), QPoint(10, 10));
        store().sync();
        Plain huge(QStringLiteral("mapDialog"), QStringLiteral("Map"));
        huge.show();
        QVERIFY(huge.width() <= QGuiApplication::primaryScreen()->virtualGeometry().width());
        QCOMPARE(huge.pos(), QPoint(10, 10));
    }

    void aWindowAsLargeAsTheScreenKeepsItsGeometry()
    {
        const QSize s = screenSize();
        store().setValue(QStringLiteral("Graph/size"), QSize(410, 220));
        store().sync();
        // dx = 1 (< 2): nothing restored.
        Plain wide(QStringLiteral("graphDialog"), QStringLiteral("Graph"));
        wide.resize(s.width() - 1, 200);
        wide.show();
        QCOMPARE(wide.size(), QSize(s.width() - 1, 200));
        // dy = -2 (< -1): nothing restored; dy = -1 still restores.
        Plain tall(QStringLiteral("graphDialog"), QStringLiteral("Graph"));
        tall.resize(300, s.height() + 2);
        tall.show();
        QCOMPARE(tall.size(), QSize(300, s.height() + 2));
        tall.hide();
        store().setValue(QStringLiteral("Graph/size"), QSize(410, 220));
        store().sync();
        tall.resize(300, s.height() + 1);
        tall.show();
        QCOMPARE(tall.size(), QSize(410, 220));
    }

    void firstRunTakesTheRowUnderTheGuard()
    {
        store().setValue(QStringLiteral("Movies and Geotags/size"), QSize(500, 300));
        store().setValue(QStringLiteral("Movies and Geotags/pos"), QPoint(1, 1));
        store().sync();
        m_coordinator.firstRun = true;
        m_coordinator.place = QRect(120, 30, 360, 158);
        Plain w(QStringLiteral("controlCenterDialog"), QStringLiteral("Movies and Geotags"));
        w.show();
        QCOMPARE(w.pos(), QPoint(120, 30));
        QCOMPARE(w.size(), QSize(360, 158));
        QVERIFY(m_coordinator.moves.isEmpty());
        QVERIFY(!m_coordinator.guard);

        // A window without a row is not offered a place.
        m_coordinator.placeQueries = 0;
        Plain other(QStringLiteral("somethingElse"), QStringLiteral("Other"));
        other.show();
        QCOMPARE(m_coordinator.placeQueries, 0);
        QCOMPARE(other.size(), QSize(DEFAULT_DIALOG_WIDTH, DEFAULT_DIALOG_HEIGHT));
    }

    void hidingAndClosingSaveInTheTitleGroup()
    {
        Plain w(QStringLiteral("graphDialog"), QStringLiteral("Graph"));
        w.show();
        w.resize(333, 222);
        w.move(44, 55);
        w.hide();
        store().sync();
        QCOMPARE(store().value(QStringLiteral("Graph/size")).toSize(), QSize(333, 222));
        QCOMPARE(store().value(QStringLiteral("Graph/pos")).toPoint(), QPoint(44, 55));

        w.show();
        w.move(66, 77);
        QVERIFY(w.close());
        QVERIFY(!w.isVisible());
        store().sync();
        QCOMPARE(store().value(QStringLiteral("Graph/pos")).toPoint(), QPoint(66, 77));

        // The map keeps its group while its title says something else.
        mapDialog map;
        map.show();
        map.setWindowTitle(QStringLiteral("Map (Widen for controls)"));
        map.move(12, 13);
        map.hide();
        store().sync();
        QCOMPARE(store().value(QStringLiteral("Map/pos")).toPoint(), QPoint(12, 13));
        QVERIFY(!store().childGroups().contains(QStringLiteral("Map (Widen for controls)")));
    }

    void keysAreTakenAndEscapeDoesNotClose()
    {
        graphDialog w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        for (int key : {int(Qt::Key_Escape), int(Qt::Key_A), int(Qt::Key_Space), int(Qt::Key_Return)}) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            press.ignore();
            QCoreApplication::sendEvent(&w, &press);
            QVERIFY(press.isAccepted());
        }
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(w.isVisible());
    }

    void movesAreReportedOnceSettled()
    {
        graphDialog w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QPoint start = w.pos();
        // Just shown: the window system's and the restore's moves.
        w.move(start + QPoint(3, 3));
        QVERIFY(m_coordinator.moves.isEmpty());
        QTest::qWait(SYNC_SETTLE_MS + 50);
        w.move(w.pos() + QPoint(10, -5));
        QCOMPARE(m_coordinator.moves.size(), 1);
        QCOMPARE(m_coordinator.moves.first().first, LayoutRow::Graph);
        QCOMPARE(m_coordinator.moves.first().second, QPoint(10, -5));
        // Under the guard the move is one of the windows moving together.
        m_coordinator.guard = true;
        w.move(w.pos() + QPoint(1, 1));
        QCOMPARE(m_coordinator.moves.size(), 1);
        m_coordinator.guard = false;
        // A window without a row has no one to move along.
        Plain other(QStringLiteral("other"), QStringLiteral("Other"));
        other.show();
        QTest::qWait(SYNC_SETTLE_MS + 50);
        other.move(other.pos() + QPoint(4, 4));
        QCOMPARE(m_coordinator.moves.size(), 1);
    }

    void stayOnTopFollowsTheSetting()
    {
        settings().windowsStayOnTop = true;
        mapDialog onTop;
        QCOMPARE(onTop.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        QVERIFY(onTop.windowFlags() & Qt::WindowStaysOnTopHint);
        settings().windowsStayOnTop = false;
        mapDialog plain;
        QVERIFY(!(plain.windowFlags() & Qt::WindowStaysOnTopHint));
        QCOMPARE(plain.windowFlags() & Qt::WindowType_Mask, Qt::Dialog);
    }

    void theDashboardsTwoForms()
    {
        dataDialog horiz(false);
        QCOMPARE(horiz.objectName(), QStringLiteral("dataDialogHoriz"));
        QCOMPARE(horiz.settingsGroup(), QStringLiteral("Dashboard"));
        QCOMPARE(horiz.size(), QSize(610, 194));
        QCOMPARE(horiz.minimumSize(), QSize(219, 194));
        QCOMPARE(horiz.maximumSize(), QSize(620, 194));
        dataDialog vert(true);
        QCOMPARE(vert.objectName(), QStringLiteral("dataDialogVert"));
        QCOMPARE(vert.settingsGroup(), QStringLiteral("Dashboard "));
        QVERIFY(vert.height() > vert.width());
        QCOMPARE(vert.layoutRow(), LayoutRow::Dashboard);
    }
};

QTEST_MAIN(TestMyDialog)
#include "test_mydialog.moc"
