// The graph window, headless, by the items of its scenes: one segment per
// plotted pair (500 for 1000 points at 500 pixels), nothing for no points or
// no room, the cursor on the curve with a hidden movie between shown ones,
// redraws that do not grow, the keys at their limits, the tabs that follow
// the loaded movies, and click-to-go through a fake host.
#include "graphfixture.h"
#include "main/guitest.h"
#include "main/startup.h"
#include "settings/settings.h"
#include "track/playbackmath.h"
#include "views/graphdialog.h"
#include "views/viewhost.h"

#include <QGraphicsItem>
#include <QGraphicsLineItem>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using namespace vx;
using namespace vxtest;

namespace {

struct FakeHost : ViewHost {
    bool busy = false;
    QList<QPair<int, qint64>> jumps;
    unsigned changes = 0;
    int geotags = 0;
    graphDialog *dialog = nullptr;

    bool storeBusy() const override { return busy; }
    void jumpToMovie(int block, qint64 positionMs) override { jumps << qMakePair(block, positionMs); }
    void settingsChanged(unsigned c) override
    {
        changes |= c;
        if (dialog)
            dialog->applySettings(c);
    }
    void openPreferences(const QString &) override {}
    void makeGeotag() override { ++geotags; }
};

QList<QGraphicsItem *> itemsOf(const QGraphicsScene *scene, GraphItemRole role)
{
    QList<QGraphicsItem *> found;
    for (QGraphicsItem *item : scene->items(Qt::AscendingOrder))
        if (GraphPlot::roleOf(item) == role)
            found << item;
    return found;
}

QGraphicsItem *one(const GraphPlot *plot, GraphItemRole role)
{
    const QList<QGraphicsItem *> items = itemsOf(plot->scene(), role);
    return items.size() == 1 ? items.first() : nullptr;
}

QString textOf(const GraphPlot *plot, GraphItemRole role)
{
    auto *text = static_cast<QGraphicsSimpleTextItem *>(one(plot, role));
    return text && text->isVisible() ? text->text() : QString();
}

// Every item of the scene, by role, place and text: equal lists mean the
// same picture. No item may sit at NaN.
QStringList snapshot(const GraphPlot *plot)
{
    QStringList lines;
    for (QGraphicsItem *item : plot->scene()->items(Qt::AscendingOrder)) {
        const QRectF r = item->sceneBoundingRect();
        if (!std::isfinite(r.x()) || !std::isfinite(r.y()) || !std::isfinite(r.width()) || !std::isfinite(r.height()))
            return {QStringLiteral("NaN item")};
        const auto *text = dynamic_cast<const QGraphicsSimpleTextItem *>(item);
        lines << QStringLiteral("%1 %2,%3 %4x%5 %6 %7")
                     .arg(int(GraphPlot::roleOf(item)))
                     .arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height())
                     .arg(item->isVisible())
                     .arg(text ? text->text() : QString());
    }
    lines.sort();
    return lines;
}

QStringList tabTexts(const graphDialog &d)
{
    auto *tabs = d.findChild<QTabWidget *>();
    QStringList texts;
    for (int i = 0; i < tabs->count(); ++i)
        texts << tabs->tabText(i);
    return texts;
}

GraphPoint pointAt(int block, int point, bool found = true)
{
    GraphPoint p;
    p.found = found;
    p.block = block;
    p.point = point;
    p.time = QDateTime::fromSecsSinceEpoch(kFirstTime, Qt::UTC);
    return p;
}

} // namespace

class TestGraphDialog : public QObject {
    Q_OBJECT

    FakeHost m_host;

    // A shown window on the store, told it was loaded.
    void open(graphDialog &d)
    {
        m_host.dialog = &d;
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
        m_host = FakeHost();
        setViewHost(&m_host);
    }
    void cleanup() { setViewHost(nullptr); }

    // One segment per pair of plotted points, and no item at NaN or in a
    // flood, whatever the room.
    void segments_data()
    {
        QTest::addColumn<int>("points");
        QTest::addColumn<QSize>("scene");
        QTest::addColumn<int>("segments");
        QTest::addColumn<bool>("framed");
        QTest::newRow("1000 points at 500 pixels") << 1000 << QSize(600, 300) << 500 << true;
        QTest::newRow("300 points at 500 pixels") << 300 << QSize(600, 300) << 299 << true;
        QTest::newRow("no point") << 0 << QSize(600, 300) << 0 << true;
        QTest::newRow("one pixel wide") << 4000 << QSize(101, 300) << 1 << true;
        QTest::newRow("under a pixel wide") << 4000 << QSize(100, 300) << 0 << false;
        QTest::newRow("no height") << 4000 << QSize(600, 80) << 0 << false;
        QTest::newRow("never shown") << 4000 << QSize(0, 0) << 0 << false;
    }
    void segments()
    {
        QFETCH(int, points);
        QFETCH(QSize, scene);
        QFETCH(int, segments);
        QFETCH(bool, framed);
        fillGraphStore({{points}});
        const GraphWalkIndex index = buildGraphWalkIndex(track());
        for (int graph = 0; graph < GRAPH_COUNT; ++graph) {
            GraphPlot plot(graph);
            plot.draw(graphRange(settings(), graph), index, scene);
            QCOMPARE(itemsOf(plot.scene(), GraphItemRole::Curve).size(), segments);
            QCOMPARE(itemsOf(plot.scene(), GraphItemRole::Frame).size(), framed ? 1 : 0);
            plot.moveCursor(GraphCursor{true, 0, points / 2, QDateTime::currentDateTime()}, index, points == 0);
            QVERIFY(plot.scene()->items().size() < segments + 60);
            QVERIFY(!snapshot(&plot).contains(QStringLiteral("NaN item")));
            QCOMPARE(textOf(&plot, GraphItemRole::NoDataText),
                     framed && points == 0 ? QStringLiteral("No Data") : QString());
            QCOMPARE(one(&plot, GraphItemRole::CursorLine)->isVisible(), framed && points > 0);
        }
    }

    // The cursor sits on the curve with a hidden movie between shown ones;
    // on the hidden movie it is not shown; past the end of the telemetry it
    // stays; a movie without points says "No Data".
    void cursorFollowsTheCurve()
    {
        fillGraphStore({{300}, {200, false}, {250}, {0}});
        graphDialog d;
        open(d);
        const GraphWalkIndex index = buildGraphWalkIndex(track());
        for (int graph : {SpeedGraph, DistanceGraph, AltitudeGraph}) {
            d.selectGraph(graph);
            GraphPlot *plot = d.plot(graph);
            d.updatePoint(graph, pointAt(2, 120));
            auto *line = static_cast<QGraphicsLineItem *>(one(plot, GraphItemRole::CursorLine));
            QVERIFY(line && line->isVisible());
            const double x = line->line().x1();
            const PlotFrame &f = plot->frame();
            QCOMPARE(x, f.left + f.width / 549 * 420);
            QLineF segment;
            for (QGraphicsItem *item : itemsOf(plot->scene(), GraphItemRole::Curve)) {
                const QLineF l = static_cast<QGraphicsLineItem *>(item)->line();
                if (l.x1() == x)
                    segment = l;
            }
            QVERIFY(!segment.isNull());
            QCOMPARE(one(plot, GraphItemRole::CursorDot)->sceneBoundingRect().center(), segment.p1());
            const double value = graphPointValue(graph, track(), settings(), index, 2, 120, nullptr);
            QCOMPARE(textOf(plot, GraphItemRole::ValueText), graphValueText(graph, value));
            QVERIFY(!textOf(plot, GraphItemRole::DateText).isEmpty());
            // Not found: the cursor stays.
            d.updatePoint(graph, pointAt(0, 0, false));
            QCOMPARE(line->line().x1(), x);
            // The hidden movie: no cursor, the date still.
            d.updatePoint(graph, pointAt(1, 10));
            QVERIFY(!line->isVisible() && !one(plot, GraphItemRole::CursorDot)->isVisible());
            QVERIFY(!textOf(plot, GraphItemRole::DateText).isEmpty());
            QCOMPARE(textOf(plot, GraphItemRole::NoDataText), QString());
        }
        // A graph not on screen catches up when shown.
        d.selectGraph(SpeedGraph);
        d.updatePoint(LosGraph, pointAt(0, 30));
        QVERIFY(d.plot(LosGraph)->drawCount() == 0);
        d.selectGraph(LosGraph);
        QVERIFY(one(d.plot(LosGraph), GraphItemRole::CursorLine)->isVisible());
        // The current movie has no points.
        track().Block = 3;
        d.updatePoint(LosGraph, pointAt(0, 0, false));
        QCOMPARE(textOf(d.plot(LosGraph), GraphItemRole::NoDataText), QStringLiteral("No Data"));
        QVERIFY(!one(d.plot(LosGraph), GraphItemRole::CursorLine)->isVisible());
        // Only a movie without points left active: the hidden movies' curve goes.
        track().block[0].active = track().block[2].active = false;
        d.activeMoviesChanged();
        QVERIFY(itemsOf(d.plot(LosGraph)->scene(), GraphItemRole::Curve).isEmpty());
        QCOMPARE(textOf(d.plot(LosGraph), GraphItemRole::NoDataText), QStringLiteral("No Data"));
        // The store emptied: no curve, "No Data", no cursor.
        resetTrackStore();
        d.resetGraphs();
        QVERIFY(itemsOf(d.plot(LosGraph)->scene(), GraphItemRole::Curve).isEmpty());
        QCOMPARE(textOf(d.plot(LosGraph), GraphItemRole::NoDataText), QStringLiteral("No Data"));
    }

    // Redraws build the same scene, and the Autoscale button is made once;
    // resizes are drawn once they settle.
    void redrawsDoNotGrow()
    {
        fillGraphStore({{1500}, {700}});
        graphDialog d;
        open(d);
        d.updatePoint(SpeedGraph, pointAt(1, 5));
        GraphPlot *plot = d.plot(SpeedGraph);
        const QStringList first = snapshot(plot);
        QVERIFY(first.size() > 100 && !first.contains(QStringLiteral("NaN item")));
        d.redrawGraph(SpeedGraph);
        d.redrawGraph(SpeedGraph);
        QCOMPARE(snapshot(plot), first);
        for (int graph = 0; graph < GRAPH_COUNT; ++graph) {
            d.redrawGraph(graph);
            QCOMPARE(d.plot(graph)->findChildren<QPushButton *>().size(), graph == BearingGraph ? 0 : 1);
        }
        const int draws = plot->drawCount();
        const QSize before = plot->viewport()->size();
        for (int w = 0; w < 5; ++w)
            d.resize(d.width() + 7, d.height() + 3);
        QTRY_VERIFY(plot->viewport()->size() != before);
        QTRY_COMPARE(plot->drawnSize(), plot->viewport()->size());
        QTest::qWait(150);
        QCOMPARE(plot->drawCount(), draws + 1);
        QVERIFY(snapshot(plot).size() == first.size());
    }

    void keys_data()
    {
        QTest::addColumn<int>("graph");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<double>("max");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<double>("wantMin");
        QTest::addColumn<double>("wantMax");
        QTest::addColumn<int>("wantTicks");
        QTest::addColumn<int>("wantBias");
        QTest::addColumn<unsigned>("wantChanges");
        const int none = Qt::NoModifier;
        const unsigned ranges = GraphRangesChanged;
        const unsigned sync = TimeSyncChanged;
        QTest::newRow("2 at 200") << int(SpeedGraph) << int(Qt::Key_2) << none << 200.0 << 4 << 0.0 << 200.0 << 4 << 0 << ranges;
        QTest::newRow("2 above 200") << int(SpeedGraph) << int(Qt::Key_2) << none << 230.0 << 4 << 0.0 << 230.0 << 4 << 0 << ranges;
        QTest::newRow("1 at 5") << int(SpeedGraph) << int(Qt::Key_1) << none << 5.0 << 4 << 0.0 << 5.0 << 4 << 0 << ranges;
        QTest::newRow("1 altitude") << int(AltitudeGraph) << int(Qt::Key_1) << none << 500.0 << 4 << 0.0 << 490.0 << 4 << 0 << ranges;
        QTest::newRow("3 at 2") << int(LosGraph) << int(Qt::Key_3) << none << 10.0 << 2 << 0.0 << 10.0 << 2 << 0 << ranges;
        QTest::newRow("4 at 10") << int(SatsGraph) << int(Qt::Key_4) << none << 30.0 << 10 << 0.0 << 30.0 << 10 << 0 << ranges;
        QTest::newRow("4 keypad") << int(SatsGraph) << int(Qt::Key_4) << int(Qt::KeypadModifier) << 30.0 << 4 << 0.0 << 30.0 << 5 << 0 << ranges;
        // Altitudes go down to -23 m: floored to -30.
        QTest::newRow("A altitude") << int(AltitudeGraph) << int(Qt::Key_A) << none << 500.0 << 4 << -30.0 << 130.0 << 5 << 0 << ranges;
        QTest::newRow("A bearing: nothing") << int(BearingGraph) << int(Qt::Key_A) << none << 300.0 << 4 << 0.0 << 300.0 << 4 << 0 << 0u;
        QTest::newRow("M") << int(SpeedGraph) << int(Qt::Key_M) << none << 100.0 << 4 << 0.0 << 100.0 << 4 << -10 << sync;
        QTest::newRow(",") << int(SpeedGraph) << int(Qt::Key_Comma) << none << 100.0 << 4 << 0.0 << 100.0 << 4 << -1 << sync;
        QTest::newRow(".") << int(SpeedGraph) << int(Qt::Key_Period) << none << 100.0 << 4 << 0.0 << 100.0 << 4 << 1 << sync;
        QTest::newRow("/") << int(SpeedGraph) << int(Qt::Key_Slash) << none << 100.0 << 4 << 0.0 << 100.0 << 4 << 10 << sync;
        // "/" as Shift+7 on a German keyboard: the key counts, not the shift.
        QTest::newRow("Shift+7 /") << int(SpeedGraph) << int(Qt::Key_Slash) << int(Qt::ShiftModifier) << 100.0 << 4 << 0.0 << 100.0 << 4 << 10 << sync;
        QTest::newRow("Ctrl+3: not ours") << int(SpeedGraph) << int(Qt::Key_3) << int(Qt::ControlModifier) << 100.0 << 4 << 0.0 << 100.0 << 4 << 0 << 0u;
        QTest::newRow("Q: ignored") << int(SpeedGraph) << int(Qt::Key_Q) << none << 100.0 << 4 << 0.0 << 100.0 << 4 << 0 << 0u;
    }
    void keys()
    {
        QFETCH(int, graph);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(double, max);
        QFETCH(int, ticks);
        QFETCH(double, wantMin);
        QFETCH(double, wantMax);
        QFETCH(int, wantTicks);
        QFETCH(int, wantBias);
        QFETCH(unsigned, wantChanges);
        fillGraphStore({{400}});
        setGraphRange(settings(), graph, {0, max, ticks});
        graphDialog d;
        open(d);
        d.selectGraph(graph);
        QTest::keyClick(&d, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        const GraphRange r = graphRange(settings(), graph);
        QCOMPARE(r.min, wantMin);
        QCOMPARE(r.max, wantMax);
        QCOMPARE(r.ticks, wantTicks);
        QCOMPARE(settings().timeBias, wantBias);
        QCOMPARE(m_host.changes, wantChanges);
        // Drawn with the new range: the top label is the maximum.
        GraphPlot *plot = d.plot(graph);
        const QList<QGraphicsItem *> labels = itemsOf(plot->scene(), GraphItemRole::TickLabel);
        QCOMPARE(labels.size(), wantTicks + 1);
        QStringList texts;
        for (QGraphicsItem *label : labels)
            texts << static_cast<QGraphicsSimpleTextItem *>(label)->text();
        QVERIFY(texts.contains(graphTickLabel(graph, wantMax, settings())));
        QVERIFY(d.isVisible());  // Escape-like keys never close it
    }

    // "G", Escape, the Autoscale button, and a damaged range from another
    // window stored as drawn.
    void otherRequests()
    {
        fillGraphStore({{400}});
        graphDialog d;
        open(d);
        settings().nLosTicks = 0;
        settings().losMax = qQNaN();
        d.applySettings(GraphRangesChanged);
        QVERIFY(settings().nLosTicks == 2 && settings().losMax == 10.0);
        QTest::keyClick(&d, Qt::Key_G);
        QCOMPARE(m_host.geotags, 1);
        QTest::keyClick(&d, Qt::Key_Escape);
        QVERIFY(d.isVisible());
        d.selectGraph(SatsGraph);
        QTest::mouseClick(d.plot(SatsGraph)->autoscaleButton(), Qt::LeftButton);
        QCOMPARE(graphRange(settings(), SatsGraph).max, 13.0);  // 4 + 8 satellites at most, + 1
        QVERIFY(!d.plot(BearingGraph)->autoscaleButton());
    }

    // Tabs follow every loaded movie, not the first; removed tabs come back
    // in their place; keys act on the graph of the page, not on the tab index.
    void tabsFollowTheLoadedMovies()
    {
        graphDialog d;
        fillGraphStore({{50, true, false, false}, {50, true, true, false}});
        open(d);
        const QStringList four = {"Speed", "Distance", "LOS", "Bearing"};
        QCOMPARE(tabTexts(d), four + QStringList{"Altitude"});
        fillGraphStore({{50, true, false, false}, {50, true, false, true}});
        d.moviesLoaded();
        QCOMPARE(tabTexts(d), four + QStringList{"Sats In View"});
        QCOMPARE(d.tabOfGraph(AltitudeGraph), -1);
        d.selectGraph(SatsGraph);
        QCOMPARE(d.currentGraph(), int(SatsGraph));
        const double altMax = settings().altMax;
        QTest::keyClick(&d, Qt::Key_1);
        QCOMPARE(settings().satsMax, 29.0);
        QCOMPARE(settings().altMax, altMax);
        fillGraphStore({{50, true, false, true}, {50, true, true, false}});
        d.moviesLoaded();
        QCOMPARE(tabTexts(d), four + QStringList({"Altitude", "Sats In View"}));
        QCOMPARE(d.currentGraph(), int(SpeedGraph));
        fillGraphStore({{50, true, false, false}});
        d.moviesLoaded();
        QCOMPARE(tabTexts(d), four);
    }

    // A click goes to the exact position at which the tick finds the
    // clicked point, in that point's own movie; past the end to the last
    // point; outside the frame, switched off or while busy nowhere.
    void clickToGo()
    {
        QTemporaryDir dir;
        fillGraphStore({{60}, {40, false}, {50}});
        for (int b = 0; b < 3; ++b) {
            MovieBlock &m = track().block[b];
            const QString path = dir.filePath(QStringLiteral("M%1.MP4").arg(b));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            // Each movie starts a different time before its first point, and
            // at a different fraction of a second.
            const int lead = 4 + 3 * b;
            m.duration += lead;
            const qint64 modifiedMs =
                (qint64(m.gpsTime[0]) - lead) * 1000 + qint64(m.duration * 1000) + 100 + 350 * b;
            QVERIFY(file.setFileTime(QDateTime::fromMSecsSinceEpoch(modifiedMs), QFileDevice::FileModificationTime));
            file.close();
            m.movieFile = QFileInfo(path);
        }
        settings().timeBias = 3;
        graphDialog d;
        open(d);
        GraphPlot *plot = d.plot(SpeedGraph);
        const PlotFrame f = plot->frame();
        const double y = f.top + f.height / 2;
        auto click = [&](double x) {
            QTest::mouseClick(plot->viewport(), Qt::LeftButton, {}, plot->mapFromScene(QPointF(std::floor(x), y)));
        };
        auto roundTrip = [](int block, qint64 positionMs) {
            const MovieBlock &m = track().block[block];
            const qint64 modified = m.movieFile.lastModified().toMSecsSinceEpoch();
            TickInput in;
            in.positionMs = positionMs;
            in.modifiedMs = modified;
            in.duration = m.duration;
            in.totalOffsetSec = totalTimeOffsetSec(m, *movieStartMs(modified, m.duration, 1, 0, false),
                                                   settings().timeBias);
            return lookUpPoint(track(), block, computeTickTimes(in).instantSec, nullptr);
        };
        using Target = QPair<int, int>;  // block, point
        for (const Target &target : {Target(2, 20), Target(0, 10), Target(2, 49)}) {
            const int k = int(std::find_if(plot->curve().points.begin(), plot->curve().points.end(),
                                           [&](const PlottedPoint &p) {
                                               return p.block == target.first && p.point == target.second;
                                           })
                              - plot->curve().points.begin());
            m_host.jumps.clear();
            click(plot->curve().points[size_t(k)].x);
            QCOMPARE(m_host.jumps.size(), 1);
            QCOMPARE(m_host.jumps[0].first, target.first);
            // The earliest position that shows the point.
            QCOMPARE(roundTrip(target.first, m_host.jumps[0].second), target.second);
            QVERIFY(roundTrip(target.first, m_host.jumps[0].second - 1) != target.second);
        }
        // At the right edge: the last point.
        m_host.jumps.clear();
        click(f.right());
        QCOMPARE(m_host.jumps.size(), 1);
        QCOMPARE(roundTrip(2, m_host.jumps[0].second), 49);
        // Outside the frame, switched off, busy: nothing.
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
