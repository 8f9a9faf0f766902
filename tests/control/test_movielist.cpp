// The movie list: rows, icons, styles, totals; switching off and on; Invert, Hide/Show, double click; a busy store.
#include "control/movielist.h"
#include "main/elidedlabel.h"
#include "settings/settings.h"
#include "support/testsupport.h"
#include "track/repair.h"
#include "track/trackstore.h"
#include <QtTest>
#include <QtWidgets>

using namespace vx;

namespace {
// Stands in for playback: rebuilds the play order and statistics as playback does, and records what it was asked.
struct FakeHost : MovieListHost {
    bool busy = false;
    QList<bool> changes;
    QList<QPair<int, qint64>> jumps;
    bool storeBusy() const override { return busy; }
    void activeMoviesChanged(bool followCurrent) override {
        changes << followCurrent;
        rebuildPlayOrder();
        computeTrackStats();
    }
    void jumpToMovie(int block, qint64 positionMs) override { jumps << qMakePair(block, positionMs); }
};

QString rowText(const MovieList &list, int block, const char *name) {
    const QLabel *label = list.rowFrame(block)->findChild<QLabel *>(name);
    return label ? label->text() : "<none>";
}
const QFrame *icon(const MovieList &list, int block, const char *name) { return list.rowFrame(block)->findChild<QFrame *>(name); }
// Which rows carry the top-speed icon.
QString topSpeedRows(const MovieList &list) {
    QString rows;
    for (int b = 0; b < list.rowCount(); ++b) {
        const QString style = icon(list, b, "highSpeedIconWidget")->styleSheet();
        rows += style == topSpeedIconStyle() ? '*' : style.isEmpty() ? '.' : '?';
    }
    return rows;
}
QString totals(const MovieList &list) { return list.countLabel()->text() + ", " + list.lengthLabel()->text(); }
} // namespace

class TestMovieList : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    FakeHost m_host;
    std::unique_ptr<MovieList> m_list;
private slots:
    // Four movies of 60.5, 120.2, 3599.9 and 10 s; top speeds 20, 40, 90 and 70 km/h; block 1 repaired.
    void init() {
        setDefaultSettings(), settings().outUnits = 1, recomputeFactors(), resetTrackStore();
        TrackStore &t = track();
        const float durations[] = {60.5f, 120.2f, 3599.9f, 10.0f}, speeds[] = {20.0f, 40.0f, 90.0f, 70.0f};
        for (int b = 0; b < 4; ++b) {
            const QString path = m_dir.filePath(QString("M%1.MOV").arg(b));
            QVERIFY(vxtest::writeFile(path, QByteArray(1024000 * (b + 1), 'x')));
            MovieBlock &m = t.block[b];
            m.movieFile = QFileInfo(path), m.duration = durations[b], m.numPoints = 2;
            m.gpsTime[1] = (m.gpsTime[0] = 1700000000) + 1;
            m.speed[0] = 0.0f;
            m.speed[1] = m.vmax = speeds[b];
        }
        t.block[1].repairCode = 5, t.numBlocks = 4;
        rebuildPlayOrder(), computeTrackStats();
        m_host = FakeHost();
        m_list = std::make_unique<MovieList>();
        m_list->setHost(&m_host), m_list->fill(), m_list->show();
    }
    void cleanup() { m_list.reset(); }
    void rowsShowEachMovieWithItsIconsStylesAndTotalsThenInvert() {
        MovieList &list = *m_list;
        QVERIFY(list.rowCount() == 4 && list.checkBox(0)->isChecked());
        QCOMPARE(QStringList({rowText(list, 2, "movieName"), rowText(list, 2, "vmax"), rowText(list, 2, "duration"),
                              rowText(list, 1, "size"), rowText(list, 0, "date")}),
                 QStringList({"3. M2.MOV", "90 km/h", "59:59", "2.00 MB ",
                              QFileInfo(m_dir.filePath("M0.MOV")).lastModified().toString(Qt::TextDate)}));
        // Block 0 is current, the others take their parity's style; the top speed and the repair are marked.
        QCOMPARE(QStringList({list.rowFrame(0)->styleSheet(), list.rowFrame(1)->styleSheet(), topSpeedRows(list) + ' ' + totals(list),
                              icon(list, 1, "postProcessIconWidget")->styleSheet(),
                              icon(list, 1, "postProcessIconWidget")->toolTip() + icon(list, 0, "postProcessIconWidget")->toolTip()}),
                 QStringList({currentRowStyle(), "background-color: rgb(203, 220, 255);", "..*. 4 Movies, 01:03:10", repairIconStyle(),
                              "Some GPS data points out of chronological order. Applying a fix."}));
        // A narrow window shortens the date (not the short name) with "…", never cuts them.
        m_list->resize(230, 300);
        QVERIFY(QTest::qWaitForWindowExposed(m_list.get()));
        for (const char *name : {"movieName", "date"}) {
            auto *label = qobject_cast<ElidedLabel *>(list.rowFrame(0)->findChild<QLabel *>(name));
            QVERIFY(label && (label->shownText() == label->text() || label->shownText().contains(QChar(0x2026))));
            QVERIFY(label->fontMetrics().horizontalAdvance(label->shownText()) <= label->contentsRect().width());
            QCOMPARE(label->shownText() != label->text(), qstrcmp(name, "date") == 0);
        }
        // Without any point there is no top speed to mark.
        for (int b = 0; b < 4; ++b)
            track().block[b].numPoints = 0;
        computeTrackStats(), m_list->fill();
        QCOMPARE(topSpeedRows(list), "....");
        // Every movie active: inverting leaves exactly block 0, from its start, with all rows shown again.
        list.hideShowButton()->click(), list.invertButton()->click();
        QVERIFY(track().playCount == 1 && track().playOrder[0] == 0 && list.checkBox(0)->isChecked());
        for (int b = 1; b < 4; ++b) {
            QVERIFY(!track().block[b].active && !list.checkBox(b)->isChecked() && !list.list()->item(b)->isHidden());
            QCOMPARE(list.rowFrame(b)->styleSheet(), inactiveRowStyle());
        }
        QVERIFY(m_host.changes == QList<bool>{false} && m_host.jumps == (QList<QPair<int, qint64>>{{0, 0}}));
        QCOMPARE(list.hideShowButton()->text() + ' ' + list.countLabel()->text(), "Hide 1 Movie");
        // A mixed set flips: 1, 2 and 3 play, from block 1.
        list.invertButton()->click();
        QVERIFY(track().playCount == 3 && track().playOrder[0] == 1 && !track().block[0].active);
        QCOMPARE(m_host.jumps.last(), qMakePair(1, qint64(0)));
    }
    void switchingOffGreysTheRowAndMovesTheTopSpeedIcon() {
        MovieList &list = *m_list;
        QTest::mouseClick(list.checkBox(2), Qt::LeftButton);
        QVERIFY(!track().block[2].active && track().playCount == 3 && m_host.changes == QList<bool>{true});
        QCOMPARE(list.rowFrame(2)->styleSheet(), inactiveRowStyle());
        QCOMPARE(topSpeedRows(list) + ' ' + totals(list), "...* 3 Movies, 00:03:10");  // now block 3's 70 km/h
        // Hide/Show hides only the switched-off rows.
        list.hideShowButton()->click();
        QVERIFY(list.hideShowButton()->text() == "Show" && list.list()->item(2)->isHidden() && !list.list()->item(3)->isHidden());
        list.hideShowButton()->click();
        QVERIFY(!list.list()->item(2)->isHidden());
        QTest::mouseClick(list.checkBox(2), Qt::LeftButton);
        QVERIFY(track().block[2].active && list.rowFrame(2)->styleSheet() == activeRowStyle(2));
        QCOMPARE(topSpeedRows(list) + ' ' + totals(list), "..*. 4 Movies, 01:03:10");
        // The current row keeps the current style until another is marked, then takes its own (grey when off).
        list.markCurrent(1);
        QTest::mouseClick(list.checkBox(1), Qt::LeftButton);
        QCOMPARE(list.rowFrame(1)->styleSheet(), inactiveRowStyle());
        list.markCurrent(3);
        QVERIFY(list.rowFrame(1)->styleSheet() == inactiveRowStyle() && list.rowFrame(3)->styleSheet() == currentRowStyle());
        QCOMPARE(list.list()->currentRow(), 3);
    }
    // Nothing changes while the store is busy; then a double click plays, or refuses on a grey row.
    void busyThenTheDoubleClickPlaysOrRefuses() {
        MovieList &list = *m_list;
        m_host.busy = true;
        QTest::mouseClick(list.checkBox(1), Qt::LeftButton);
        QVERIFY(list.checkBox(1)->isChecked());  // the clicked box is put back
        list.invertButton()->click();
        list.movie_item_double_clicked_slot(list.list()->item(2));
        for (int b = 0; b < 4; ++b)
            QVERIFY(track().block[b].active && track().playCount == 4 && m_host.changes.isEmpty() && m_host.jumps.isEmpty());
        QCOMPARE(list.countLabel()->text(), "4 Movies");
        m_host.busy = false;
        QSignalSpy refused(&list, &MovieList::refused);
        QTest::mouseClick(list.checkBox(3), Qt::LeftButton);
        list.movie_item_double_clicked_slot(list.list()->item(3));
        QVERIFY(refused.count() == 1 && m_host.jumps.isEmpty());
        list.movie_item_double_clicked_slot(list.list()->item(2));
        QListWidgetItem stray;  // data that is not a block number: nothing
        stray.setData(Qt::UserRole, "x9");
        list.movie_item_double_clicked_slot(&stray);
        list.movie_item_double_clicked_slot(nullptr);
        QVERIFY(m_host.jumps == (QList<QPair<int, qint64>>{{2, 0}}) && refused.count() == 1);
    }
};

QTEST_MAIN(TestMovieList)
#include "test_movielist.moc"
