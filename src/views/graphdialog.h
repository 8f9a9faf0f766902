// The graph window: six telemetry plots of the active movies, one per tab
// (speed, distance, line of sight, bearing, altitude, satellites), with a
// cursor that follows playback, autoscale, the range and time-bias keys and
// click-to-go.
//
// Only the graph on screen is drawn; the others are drawn when their tab is
// shown, and the tick moves only the visible cursor (the others catch up
// when shown). Resizes are coalesced into one redraw.
#pragma once

#include "views/graphplot.h"
#include "views/mydialog.h"
#include "views/sampleviews.h"

#include <array>

class QTabWidget;
class QTimer;

namespace vx {

class graphDialog : public myDialog, public GraphView {
    Q_OBJECT

public:
    explicit graphDialog(QWidget *parent = nullptr);

    // GraphView
    void updatePoint(int graphIndex, const GraphPoint &point) override;
    void setTelemetryPresence(bool hasAltitude, bool hasSats) override;
    void moviesLoaded() override;
    void activeMoviesChanged() override;
    void resetGraphs() override;
    void applySettings(unsigned changes) override;

    // The graph whose tab is current (-1 when there is none).
    int currentGraph() const;
    GraphPlot *plot(int graph) const;
    // The tab page of a graph, -1 while its tab is removed.
    int tabOfGraph(int graph) const;
    // Selects the tab of `graph` when it is shown.
    void selectGraph(int graph);
    // Draws a graph now, whether or not its tab is shown (and its cursor).
    void redrawGraph(int graph);

    // What the window was told (read by the player's tests).
    const GraphPoint &lastPoint(int graphIndex) const;
    int pointUpdates() const { return m_pointUpdates; }
    bool hasAltitude() const { return m_hasAltitude; }
    bool hasSats() const { return m_hasSats; }
    int loadsSeen() const { return m_loads; }
    int rebuilds() const { return m_rebuilds; }
    unsigned settingsApplied() const { return m_settingsApplied; }

public slots:
    void tabChanged(int index);
    void autoscale_slot();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // The store changed: the walk index anew, every graph to be drawn again.
    void storeChanged();
    void invalidateAll();
    // Draws the current graph when it needs it, else brings its cursor up to date.
    void showCurrent();
    void refreshCursor(int graph);
    bool noData() const;
    // The Altitude and Sats In View tabs follow the loaded movies.
    void updateTabs();
    // A graph's range was changed here: stored, and every window told.
    void rangeChanged(int graph, const GraphRange &range);
    void timeBiasKey(int seconds);
    void plotClicked(int graph, const QPointF &scenePos);

    QTabWidget *m_tabs;
    QTimer *m_resizeTimer;
    std::array<GraphPlot *, GRAPH_COUNT> m_plots{};
    std::array<GraphCursor, GRAPH_COUNT> m_cursor;
    std::array<bool, GRAPH_COUNT> m_needsDraw{};
    std::array<bool, GRAPH_COUNT> m_cursorStale{};
    GraphWalkIndex m_index;

    std::array<GraphPoint, GRAPH_COUNT> m_lastPoint;
    int m_pointUpdates = 0;
    bool m_hasAltitude = true;
    bool m_hasSats = true;
    int m_loads = 0;
    int m_rebuilds = 0;
    unsigned m_settingsApplied = 0;
};

extern graphDialog *g_graphDialog;

} // namespace vx
