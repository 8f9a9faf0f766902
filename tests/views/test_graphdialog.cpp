// The graph window, headless, by the items of its scenes: one segment per plotted pair, nothing for no points or no
// room, the cursor on the curve with a hidden movie between shown ones, redraws that do not grow, the keys, the tabs
// that follow the loaded movies, and click-to-go through a fake host.
#include "graphfixture.h"
#include "main/guitest.h"
#include "main/startup.h"
#include "settings/settings.h"
#include "views/graphdialog.h"

#include <cmath>

using namespace vx;
using namespace vxtest;

namespace {

QList<QGraphicsItem *> itemsOf(const GraphPlot *plot, GraphItemRole role)
{
    QList<QGraphicsItem *> found;
    for (QGraphicsItem *item : plot->scene()->items(Qt::AscendingOrder))
        if (GraphPlot::roleOf(item) == role)
            found << item;
    return found;
}
QGraphicsItem *one(const GraphPlot *plot, GraphItemRole role)
{
    const QList<QGraphicsItem *> items = itemsOf(plot, role);
    return items.size() == 1 ? items.first() : nullptr;
}
// A text item's text while shown.
QString textOf(const GraphPlot *plot, GraphItemRole role)
{
    auto *text = static_cast<QGraphicsSimpleTextItem *>(one(plot, role));
    return text && text->isVisible() ? text->text() : QString();
}
// Every item by role, place, visibility and text: equal lists are the same picture. An item at NaN spoils the list.
QStringList snapshot(const GraphPlot *plot)
{
    QStringList lines;
    for (QGraphicsItem *item : plot->scene()->items()) {
        const QRectF r = item->sceneBoundingRect();
        if (!std::isfinite(r.x() + r.y() + r.width() + r.height()))
            return {QStringLiteral("NaN item")};
        const auto *text = dynamic_cast<const QGraphicsSimpleTextItem *>(item);
        lines << QStringLiteral("%1 %2,%3 %4x%5 %6 %7").arg(int(GraphPlot::roleOf(item))).arg(r.x()).arg(r.y())
                     .arg(r.width()).arg(r.height()).arg(item->isVisible()).arg(text ? text->text() : QString());
    }
    lines.sort();
    return lines;
}
QStringList tabTexts(const graphDialog &d)
{
    QStringList texts;
    for (int i = 0; i < d.findChild<QTabWidget *>()->count(); ++i)
        texts << d.findChild<QTabWidget *>()->tabText(i);
    return texts;
}
// What the tick sends: the point found (or not) and the time.
GraphPoint pointAt(int block, int point, bool found = true)
{
    return GraphPoint{found, block, point, QDateTime::fromSecsSinceEpoch(kFirstTime, Qt::UTC)};
}

} // namespace

class TestGraphDialog : public QObject {
    Q_OBJECT
    RecordingHost m_host;
    // Shows the window on the store and tells it the store was loaded.
    void open(graphDialog &d)
    {
        m_host.onChange = [&d](unsigned c) { d.applySettings(c); };
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.moviesLoaded();
    }

private slots:
    void initTestCase() { setApplicationIdentity(); }
    void init()
    {
        store().clear();
        store().sync();
        setDefaultSettings();
        settings().altUnits = 1;
        recomputeFactors();
        m_host = RecordingHost();
        setViewHost(&m_host);
    }
    void cleanup() { setViewHost(nullptr); }
    // About one plotted point per pixel, first and last on the frame's edges, one segment per pair; no item at NaN
    // nor a flood of them, whatever the room.
    void segments()
    {
        const struct { int points; QSize scene; int step, segments; } rows[] = {  // segments -1: no frame either
            {1000, {600, 300}, 2, 500},  // the plot is 100 narrower, 80 lower
            {999, {600, 300}, 1, 998},   // the last added
            {4000, {400, 300}, 13, 308}, {1, {600, 300}, 1, 0}, {0, {600, 300}, 1, 0},
            {4000, {101, 300}, 4000, 1},  // one pixel wide: the ends only, not every point
            {4000, {100, 300}, 1, -1}, {4000, {600, 80}, 1, -1}, {4000, {0, 0}, 1, -1}};  // no room, never shown
        for (const auto &row : rows) {
            fillGraphStore({{row.points}});
            const GraphWalkIndex index = buildGraphWalkIndex(track());
            for (int graph = 0; graph < GRAPH_COUNT; ++graph) {
                GraphPlot plot(graph);
                plot.draw(graphRange(settings(), graph), index, row.scene);
                plot.moveCursor(GraphCursor{true, 0, row.points / 2, QDateTime::currentDateTime()}, index, !row.points);
                const GraphCurve &c = plot.curve();
                QVERIFY2(c.step == row.step && itemsOf(&plot, GraphItemRole::Curve).size() == std::max(row.segments, 0)
                             && itemsOf(&plot, GraphItemRole::Frame).size() == (row.segments < 0 ? 0 : 1),
                         qPrintable(QStringLiteral("%1 points, %2 wide, graph %3").arg(row.points)
                                        .arg(row.scene.width()).arg(graph)));
                QVERIFY(c.points.size() < 2
                        || (c.points.front().x == plot.frame().left && c.points.back().x == plot.frame().right()));
                QVERIFY(plot.scene()->items().size() < std::max(row.segments, 0) + 40);
                QVERIFY(!snapshot(&plot).contains(QStringLiteral("NaN item")));
                QCOMPARE(textOf(&plot, GraphItemRole::NoDataText), row.segments == 0 && !row.points ? "No Data" : "");
                QCOMPARE(one(&plot, GraphItemRole::CursorLine)->isVisible(), row.segments >= 0 && row.points > 0);
            }
        }
    }
    // A window's life. The cursor sits on the curve with a hidden movie between shown ones; hidden on the hidden
    // movie; kept past the end of the telemetry; "No Data" for a movie without points. Redraws build the same scene,
    // the Autoscale button is made once, a burst of resizes is drawn once.
    void life()
    {
        fillGraphStore({{300}, {200, false}, {250}, {0}});
        graphDialog d;
        open(d);
        const GraphWalkIndex index = buildGraphWalkIndex(track());
        for (int graph : {SpeedGraph, DistanceGraph, AltitudeGraph}) {
            d.selectGraph(graph);
            const GraphPlot *plot = d.plot(graph);
            d.updatePoint(graph, pointAt(2, 120));
            auto *line = static_cast<QGraphicsLineItem *>(one(plot, GraphItemRole::CursorLine));
            QVERIFY(line && line->isVisible());
            const double x = line->line().x1();
            QCOMPARE(x, plot->frame().left + plot->frame().width / 549 * 420);
            QLineF segment;
            for (QGraphicsItem *item : itemsOf(plot, GraphItemRole::Curve))
                if (static_cast<QGraphicsLineItem *>(item)->line().x1() == x)
                    segment = static_cast<QGraphicsLineItem *>(item)->line();
            QCOMPARE(one(plot, GraphItemRole::CursorDot)->sceneBoundingRect().center(), segment.p1());
            const double value = graphPointValue(graph, track(), settings(), index, 2, 120, nullptr);
            QCOMPARE(textOf(plot, GraphItemRole::ValueText), graphValueText(graph, value));
            d.updatePoint(graph, pointAt(0, 0, false));
            QCOMPARE(line->line().x1(), x);
            d.updatePoint(graph, pointAt(1, 10));
            QVERIFY(!line->isVisible() && !one(plot, GraphItemRole::CursorDot)->isVisible()
                    && !textOf(plot, GraphItemRole::DateText).isEmpty()
                    && textOf(plot, GraphItemRole::NoDataText).isEmpty());
        }
        // A graph not on screen catches up when shown.
        d.updatePoint(LosGraph, pointAt(0, 30));
        QCOMPARE(d.plot(LosGraph)->drawCount(), 0);
        d.selectGraph(LosGraph);
        const GraphPlot *los = d.plot(LosGraph);
        QVERIFY(one(los, GraphItemRole::CursorLine)->isVisible());
        d.selectGraph(SpeedGraph);
        d.updatePoint(SpeedGraph, pointAt(2, 5));
        GraphPlot *plot = d.plot(SpeedGraph);
        const QStringList first = snapshot(plot);
        QVERIFY(first.size() > 100 && !first.contains(QStringLiteral("NaN item")));
        for (int graph = GRAPH_COUNT - 1; graph >= 0; --graph) {
            d.redrawGraph(graph);
            d.redrawGraph(graph);
            QCOMPARE(d.plot(graph)->findChildren<QPushButton *>().size(), graph == BearingGraph ? 0 : 1);
        }
        QCOMPARE(snapshot(plot), first);
        const int draws = plot->drawCount();
        const QSize before = plot->viewport()->size();
        for (int w = 0; w < 5; ++w)
            d.resize(d.width() + 7, d.height() + 3);
        QTRY_VERIFY(plot->viewport()->size() != before);
        QTRY_COMPARE(plot->drawnSize(), plot->viewport()->size());
        QTest::qWait(150);
        QCOMPARE(plot->drawCount(), draws + 1);
        d.selectGraph(LosGraph);
        track().Block = 3;
        d.updatePoint(LosGraph, pointAt(0, 0, false));
        QVERIFY(textOf(los, GraphItemRole::NoDataText) == "No Data"
                && !one(los, GraphItemRole::CursorLine)->isVisible());
        // Only the movie without points left active, then an empty store: the curve goes.
        track().block[0].active = track().block[2].active = false;
        d.activeMoviesChanged();
        QVERIFY(itemsOf(los, GraphItemRole::Curve).isEmpty());
        fillGraphStore({{300}});
        d.activeMoviesChanged();
        QVERIFY(!itemsOf(los, GraphItemRole::Curve).isEmpty());
        resetTrackStore();
        d.resetGraphs();
        QVERIFY(itemsOf(los, GraphItemRole::Curve).isEmpty() && textOf(los, GraphItemRole::NoDataText) == "No Data");
        // Tabs follow every loaded movie, not the first; removed tabs come back in their place; keys act on the
        // page's graph, not the tab index.
        fillGraphStore({{50, true, false, false}, {50, true, true, false}});
        d.moviesLoaded();
        const QStringList four = {"Speed", "Distance", "LOS", "Bearing"};
        QCOMPARE(tabTexts(d), four + QStringList{"Altitude"});
        fillGraphStore({{50, true, false, false}, {50, true, false, true}});
        d.moviesLoaded();
        QCOMPARE(tabTexts(d), four + QStringList{"Sats In View"});
        d.selectGraph(SatsGraph);
        QTest::keyClick(&d, Qt::Key_1);
        QVERIFY(settings().satsMax == 29 && settings().altMax == 500);
        fillGraphStore({{50, true, false, true}, {50, true, true, false}});
        d.moviesLoaded();
        QCOMPARE(tabTexts(d), four + QStringList({"Altitude", "Sats In View"}));
        QCOMPARE(d.currentGraph(), int(SpeedGraph));
        fillGraphStore({{50, true, false, false}});
        d.moviesLoaded();
        QCOMPARE(tabTexts(d), four);
    }
    // On one window: 1/2 lower/raise the maximum, 3/4 fewer/more ticks, A autoscales, M , . / move the time bias by
    // -10, -1, 1, 10 seconds, by key not character; each redraws with ticks + 1 labels, the top one the maximum. Then
    // "G", Escape, the Autoscale button, a damaged range from another window.
    void keys()
    {
        fillGraphStore({{400}});
        graphDialog d;
        open(d);
        const int none = Qt::NoModifier;
        const unsigned ranges = GraphRangesChanged, sync = TimeSyncChanged;
        const GraphRange speed{0, 100, 4};
        const struct {
            const char *name;
            int graph, key, modifiers;
            GraphRange start, want;
            int bias;
            unsigned changes;
        } rows[] = {
            {"2 at 200", SpeedGraph, Qt::Key_2, none, {0, 200, 4}, {0, 200, 4}, 0, ranges},
            {"1 altitude", AltitudeGraph, Qt::Key_1, none, {0, 500, 4}, {0, 490, 4}, 0, ranges},
            {"3 at 2", LosGraph, Qt::Key_3, none, {0, 10, 2}, {0, 10, 2}, 0, ranges},
            {"4 keypad", SatsGraph, Qt::Key_4, Qt::KeypadModifier, {0, 30, 4}, {0, 30, 5}, 0, ranges},
            // Altitudes go down to -23 m: floored to -30.
            {"A altitude", AltitudeGraph, Qt::Key_A, none, {0, 500, 4}, {-30, 130, 5}, 0, ranges},
            {"A bearing", BearingGraph, Qt::Key_A, none, {0, 300, 4}, {0, 300, 4}, 0, 0u},
            {"M", SpeedGraph, Qt::Key_M, none, speed, speed, -10, sync},
            {",", SpeedGraph, Qt::Key_Comma, none, speed, speed, -1, sync},
            {".", SpeedGraph, Qt::Key_Period, none, speed, speed, 1, sync},
            {"/", SpeedGraph, Qt::Key_Slash, none, speed, speed, 10, sync},
            {"Shift+7 /", SpeedGraph, Qt::Key_Slash, Qt::ShiftModifier, speed, speed, 10, sync},  // German keyboard
            {"Ctrl+3", SpeedGraph, Qt::Key_3, Qt::ControlModifier, speed, speed, 0, 0u},
            {"Q", SpeedGraph, Qt::Key_Q, none, speed, speed, 0, 0u}};
        for (const auto &row : rows) {
            setGraphRange(settings(), row.graph, row.start);
            settings().timeBias = 0;
            d.applySettings(GraphRangesChanged);
            d.selectGraph(row.graph);
            m_host.changes.clear();
            QTest::keyClick(&d, Qt::Key(row.key), Qt::KeyboardModifiers(row.modifiers));
            const GraphRange r = graphRange(settings(), row.graph);
            QStringList labels;
            for (QGraphicsItem *label : itemsOf(d.plot(row.graph), GraphItemRole::TickLabel))
                labels << static_cast<QGraphicsSimpleTextItem *>(label)->text();
            QVERIFY2(r.min == row.want.min && r.max == row.want.max && r.ticks == row.want.ticks
                         && settings().timeBias == row.bias
                         && m_host.changes == QVector<unsigned>(row.changes ? 1 : 0, row.changes)
                         && labels.size() == row.want.ticks + 1
                         && labels.contains(graphTickLabel(row.graph, row.want.max, settings())),
                     row.name);
        }
        QTest::keyClick(&d, Qt::Key_G);
        QTest::keyClick(&d, Qt::Key_Escape);
        QVERIFY(m_host.geotags == 1 && d.isVisible());
        d.selectGraph(SatsGraph);
        QTest::mouseClick(d.plot(SatsGraph)->autoscaleButton(), Qt::LeftButton);
        QCOMPARE(settings().satsMax, 13.0);  // at most 12 satellites
        QVERIFY(!d.plot(BearingGraph)->autoscaleButton());
        settings().nLosTicks = 0;
        settings().losMax = qQNaN();
        d.applySettings(GraphRangesChanged);
        QVERIFY(settings().nLosTicks == 2 && settings().losMax == 10.0);
    }
    // A click goes to the earliest position at which the tick finds the clicked point, in that point's own movie; the
    // right edge to the last point; outside the frame, switched off or while busy nowhere.
    void clickToGo()
    {
        QTemporaryDir dir;
        fillGraphStore({{60}, {40, false}, {50}});
        for (int b = 0; b < 3; ++b) {
            // Each movie starts a different time before its first point.
            MovieBlock &m = track().block[b];
            m.duration += 4 + 3 * b;
            const qint64 modifiedMs = (qint64(m.gpsTime[0]) - 4 - 3 * b + qint64(m.duration)) * 1000 + 100 + 350 * b;
            QFile file(dir.filePath(QStringLiteral("M%1.MP4").arg(b)));
            QVERIFY(file.open(QIODevice::WriteOnly)
                    && file.setFileTime(QDateTime::fromMSecsSinceEpoch(modifiedMs), QFileDevice::FileModificationTime));
            m.movieFile = QFileInfo(file.fileName());
        }
        settings().timeBias = 3;
        graphDialog d;
        open(d);
        GraphPlot *plot = d.plot(SpeedGraph);
        const PlotFrame f = plot->frame();
        auto click = [&](double x) {
            QTest::mouseClick(plot->viewport(), Qt::LeftButton, {},
                              plot->mapFromScene(QPointF(std::floor(x), f.top + f.height / 2)));
        };
        for (const auto &[block, point] : {std::pair{2, 20}, std::pair{0, 10}, std::pair{2, 49}}) {
            const auto &points = plot->curve().points;
            const auto it = std::find_if(points.begin(), points.end(), [&, block = block, point = point](auto &p) {
                return p.block == block && p.point == point;
            });
            m_host.jumps.clear();
            click(point == 49 ? f.right() : it->x);
            QVERIFY(m_host.jumps.size() == 1 && m_host.jumps[0].first == block);
            QCOMPARE(tickPoint(block, m_host.jumps[0].second, 3), point);
            QVERIFY(tickPoint(block, m_host.jumps[0].second - 1, 3) != point);
        }
        m_host.jumps.clear();
        click(f.left - 10);
        settings().clickToGoGraph = false;
        click(f.left + 50);
        settings().clickToGoGraph = true;
        m_host.busy = true;
        click(f.left + 50);
        QVERIFY(m_host.jumps.isEmpty());
    }
};

QTEST_MAIN(TestGraphDialog)
#include "test_graphdialog.moc"
