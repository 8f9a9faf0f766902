// The graph window: six telemetry plots, one per tab.
#pragma once

#include "views/mydialog.h"
#include "views/sampleviews.h"

#include <array>

namespace vx {

class graphDialog : public myDialog, public GraphView {
    Q_OBJECT

public:
    explicit graphDialog(QWidget *parent = nullptr);

    // GraphView. The plots come later; until then the window keeps what it
    // was sent, per graph.
    void updatePoint(int graphIndex, const GraphPoint &point) override;
    void setTelemetryPresence(bool hasAltitude, bool hasSats) override
    {
        m_hasAltitude = hasAltitude;
        m_hasSats = hasSats;
    }
    void moviesLoaded() override { ++m_loads; }
    void activeMoviesChanged() override { ++m_rebuilds; }
    void resetGraphs() override { m_lastPoint.fill(GraphPoint()); }
    void applySettings(unsigned changes) override { m_settingsApplied |= changes; }
    unsigned settingsApplied() const { return m_settingsApplied; }

    // The last point graph `graphIndex` was sent.
    const GraphPoint &lastPoint(int graphIndex) const;
    int pointUpdates() const { return m_pointUpdates; }
    bool hasAltitude() const { return m_hasAltitude; }
    bool hasSats() const { return m_hasSats; }
    int loadsSeen() const { return m_loads; }
    int rebuilds() const { return m_rebuilds; }

private:
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
