#include "graphdialog.h"

#include "settings/settings.h"
#include "track/playbackmath.h"
#include "track/trackstore.h"
#include "views/viewhost.h"

#include <QKeyEvent>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <climits>

namespace vx {

graphDialog *g_graphDialog = nullptr;

namespace {
// A resize is drawn once the window has kept its size this long.
constexpr int kResizeSettleMs = 50;

bool hasGraphKeyModifiers(const QKeyEvent *event)
{
    return event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
}
} // namespace

graphDialog::graphDialog(QWidget *parent)
    : myDialog(parent)
    , m_tabs(new QTabWidget(this))
    , m_resizeTimer(new QTimer(this))
    , m_index(buildGraphWalkIndex(track()))
{
    setObjectName(QStringLiteral("graphDialog"));
    setWindowTitle(QStringLiteral("Graph"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_tabs);
    m_tabs->setFocusPolicy(Qt::NoFocus);
    for (int g = 0; g < GRAPH_COUNT; ++g) {
        auto *plot = new GraphPlot(g);
        m_plots[static_cast<size_t>(g)] = plot;
        m_tabs->addTab(plot, QString::fromLatin1(graphInfo(g).tabText));
        connect(plot, &GraphPlot::autoscaleClicked, this, &graphDialog::autoscale_slot);
        connect(plot, &GraphPlot::clicked, this, &graphDialog::plotClicked);
        connect(plot, &GraphPlot::resized, this, [this](int graph) {
            m_needsDraw[static_cast<size_t>(graph)] = true;
            m_resizeTimer->start();
        });
    }
    m_needsDraw.fill(true);
    m_tabs->setCurrentIndex(0);
    connect(m_tabs, &QTabWidget::currentChanged, this, &graphDialog::tabChanged);
    m_resizeTimer->setSingleShot(true);
    m_resizeTimer->setInterval(kResizeSettleMs);
    connect(m_resizeTimer, &QTimer::timeout, this, &graphDialog::showCurrent);
    resize(DEFAULT_DIALOG_WIDTH, DEFAULT_DIALOG_HEIGHT);
}

// ---- what playback and the loader say ---------------------------------------------

void graphDialog::updatePoint(int graphIndex, const GraphPoint &point)
{
    if (graphIndex < 0 || graphIndex >= GRAPH_COUNT)
        return;
    const size_t g = static_cast<size_t>(graphIndex);
    m_lastPoint[g] = point;
    ++m_pointUpdates;
    // Past the end of the movie's telemetry the cursor stays on the last
    // point found.
    if (point.found)
        m_cursor[g] = GraphCursor{true, point.block, point.point, point.time};
    if (graphIndex == currentGraph() && isVisible() && !m_needsDraw[g])
        refreshCursor(graphIndex);
    else
        m_cursorStale[g] = true;
}

void graphDialog::setTelemetryPresence(bool hasAltitude, bool hasSats)
{
    // The tabs follow every loaded movie (updateTabs), not the current one.
    m_hasAltitude = hasAltitude;
    m_hasSats = hasSats;
}

void graphDialog::moviesLoaded()
{
    ++m_loads;
    m_cursor.fill(GraphCursor());
    updateTabs();
    {
        const QSignalBlocker quiet(m_tabs);
        m_tabs->setCurrentIndex(0);
    }
    storeChanged();
}

void graphDialog::activeMoviesChanged()
{
    ++m_rebuilds;
    storeChanged();
}

void graphDialog::resetGraphs()
{
    m_lastPoint.fill(GraphPoint());
    m_cursor.fill(GraphCursor());
    storeChanged();
}

void graphDialog::applySettings(unsigned changes)
{
    m_settingsApplied |= changes;
    if (!(changes & (GraphRangesChanged | UnitsChanged | RouteChanged)))
        return;
    // Whoever changed them, the ranges are stored as they are drawn.
    checkGraphRanges(settings());
    invalidateAll();
}

// ---- drawing ------------------------------------------------------------------------

int graphDialog::currentGraph() const
{
    const auto *plot = qobject_cast<const GraphPlot *>(m_tabs->currentWidget());
    return plot ? plot->graph() : -1;
}

GraphPlot *graphDialog::plot(int graph) const
{
    return graph >= 0 && graph < GRAPH_COUNT ? m_plots[static_cast<size_t>(graph)] : nullptr;
}

int graphDialog::tabOfGraph(int graph) const
{
    const GraphPlot *p = plot(graph);
    return p ? m_tabs->indexOf(const_cast<GraphPlot *>(p)) : -1;
}

void graphDialog::selectGraph(int graph)
{
    const int tab = tabOfGraph(graph);
    if (tab >= 0)
        m_tabs->setCurrentIndex(tab);
}

void graphDialog::storeChanged()
{
    m_index = buildGraphWalkIndex(track());
    invalidateAll();
}

void graphDialog::invalidateAll()
{
    m_needsDraw.fill(true);
    showCurrent();
}

void graphDialog::showCurrent()
{
    const int g = currentGraph();
    if (g < 0 || !isVisible())
        return;
    const GraphPlot *p = plot(g);
    if (m_needsDraw[static_cast<size_t>(g)] || p->drawnSize() != p->viewport()->size())
        redrawGraph(g);
    else if (m_cursorStale[static_cast<size_t>(g)])
        refreshCursor(g);
}

void graphDialog::redrawGraph(int graph)
{
    GraphPlot *p = plot(graph);
    if (!p)
        return;
    p->draw(graphRange(settings(), graph), m_index, p->viewport()->size());
    m_needsDraw[static_cast<size_t>(graph)] = false;
    refreshCursor(graph);
}

void graphDialog::refreshCursor(int graph)
{
    plot(graph)->moveCursor(m_cursor[static_cast<size_t>(graph)], m_index, noData());
    m_cursorStale[static_cast<size_t>(graph)] = false;
}

bool graphDialog::noData() const
{
    const TrackStore &t = track();
    if (m_index.total <= 0 || t.numBlocks <= 0)
        return true;
    return t.Block >= 0 && t.Block < std::min(t.numBlocks, MAX_BLOCKS) && t.block[t.Block].numPoints <= 0;
}

void graphDialog::updateTabs()
{
    const TrackStore &t = track();
    bool altitude = false;
    bool sats = false;
    for (int b = 0; b < std::min(t.numBlocks, MAX_BLOCKS); ++b) {
        altitude = altitude || t.block[b].hasAltitude;
        sats = sats || t.block[b].hasSats;
    }
    const int current = currentGraph();
    const QSignalBlocker quiet(m_tabs);
    int position = 0;
    for (int g = 0; g < GRAPH_COUNT; ++g) {
        const bool shown = g == AltitudeGraph ? altitude : g == SatsGraph ? sats : true;
        const int tab = tabOfGraph(g);
        if (shown && tab < 0)
            m_tabs->insertTab(position, plot(g), QString::fromLatin1(graphInfo(g).tabText));
        else if (!shown && tab >= 0)
            m_tabs->removeTab(tab);
        if (shown)
            ++position;
    }
    if (tabOfGraph(current) >= 0)
        m_tabs->setCurrentIndex(tabOfGraph(current));
    else
        m_tabs->setCurrentIndex(0);
}

void graphDialog::tabChanged(int index)
{
    Q_UNUSED(index);
    showCurrent();
}

void graphDialog::showEvent(QShowEvent *event)
{
    myDialog::showEvent(event);
    showCurrent();
}

// ---- the user's requests -------------------------------------------------------------

void graphDialog::rangeChanged(int graph, const GraphRange &range)
{
    setGraphRange(settings(), graph, range);
    if (ViewHost *host = viewHost())
        host->settingsChanged(GraphRangesChanged);
    else
        applySettings(GraphRangesChanged);
}

void graphDialog::autoscale_slot()
{
    const int g = currentGraph();
    if (g < 0)
        return;
    if (const std::optional<GraphRange> r = autoscaleGraphRange(g, track().stats, settings()))
        rangeChanged(g, *r);
}

void graphDialog::timeBiasKey(int seconds)
{
    SettingsRecord &s = settings();
    s.timeBias = static_cast<int>(qBound<qint64>(INT_MIN, qint64(s.timeBias) + seconds, INT_MAX));
    if (ViewHost *host = viewHost())
        host->settingsChanged(TimeSyncChanged);
}

void graphDialog::keyPressEvent(QKeyEvent *event)
{
    if (hasGraphKeyModifiers(event)) {
        myDialog::keyPressEvent(event);
        return;
    }
    const int g = currentGraph();
    auto rangeKey = [this, g](GraphKey key) {
        if (g >= 0)
            rangeChanged(g, graphRangeAfterKey(g, graphRange(settings(), g), key, settings().distFactor));
    };
    // By key, not by character: "/" is Shift+7 on some layouts.
    switch (event->key()) {
    case Qt::Key_A: autoscale_slot(); break;
    case Qt::Key_G:
        if (ViewHost *host = viewHost())
            host->makeGeotag();
        break;
    case Qt::Key_M: timeBiasKey(-10); break;
    case Qt::Key_Comma: timeBiasKey(-1); break;
    case Qt::Key_Period: timeBiasKey(1); break;
    case Qt::Key_Slash: timeBiasKey(10); break;
    case Qt::Key_1: rangeKey(GraphKey::LowerMax); break;
    case Qt::Key_2: rangeKey(GraphKey::RaiseMax); break;
    case Qt::Key_3: rangeKey(GraphKey::FewerTicks); break;
    case Qt::Key_4: rangeKey(GraphKey::MoreTicks); break;
    default: myDialog::keyPressEvent(event); return;
    }
    event->accept();
}

void graphDialog::plotClicked(int graph, const QPointF &scenePos)
{
    ViewHost *host = viewHost();
    if (!settings().clickToGoGraph || graph != currentGraph() || !host || host->storeBusy())
        return;
    const GraphPlot *p = plot(graph);
    const PlotFrame &f = p->frame();
    if (!f.drawable() || scenePos.x() < f.left || scenePos.x() > f.right() || scenePos.y() < f.top
        || scenePos.y() > f.bottom())
        return;
    const int k = plottedPointAt(p->curve(), scenePos.x());
    if (k < 0)
        return;
    const PlottedPoint &target = p->curve().points[static_cast<size_t>(k)];
    const TrackStore &t = track();
    if (target.block < 0 || target.block >= std::min(t.numBlocks, MAX_BLOCKS))
        return;
    const MovieBlock &m = t.block[target.block];
    const QDateTime modified = m.movieFile.lastModified();
    const std::optional<qint64> position =
        pointSeekMs(m, target.point, modified.isValid() ? modified.toMSecsSinceEpoch() : 0, settings().timeBias);
    if (position)
        host->jumpToMovie(target.block, *position);
}

const GraphPoint &graphDialog::lastPoint(int graphIndex) const
{
    return m_lastPoint[static_cast<size_t>(qBound(0, graphIndex, GRAPH_COUNT - 1))];
}

} // namespace vx
