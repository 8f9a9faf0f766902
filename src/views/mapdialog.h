// The map window: the route and the vehicle on a web map.
#pragma once

#include "views/mydialog.h"
#include "views/sampleviews.h"

namespace vx {

class mapDialog : public myDialog, public MapView {
    Q_OBJECT

public:
    explicit mapDialog(QWidget *parent = nullptr);
    // "Map" even while the title reads "Map (Widen for controls)".
    QString settingsGroup() const override;

    // MapView. The map page comes later; until then the window keeps what
    // it was sent.
    void updatePoint(const MapPoint &point) override
    {
        m_lastPoint = point;
        ++m_pointUpdates;
    }
    void moviesLoaded() override { ++m_loads; }
    void activeMoviesChanged() override { ++m_routeRedraws; }
    void refreshGeotagPins() override { ++m_pinRefreshes; }
    void addGeotagPin(int) override { ++m_pinRefreshes; }
    void applySettings(unsigned changes) override { m_settingsApplied |= changes; }
    int pinRefreshes() const { return m_pinRefreshes; }
    unsigned settingsApplied() const { return m_settingsApplied; }

    const MapPoint &lastPoint() const { return m_lastPoint; }
    int pointUpdates() const { return m_pointUpdates; }
    int loadsSeen() const { return m_loads; }
    int routeRedraws() const { return m_routeRedraws; }

private:
    MapPoint m_lastPoint;
    int m_pointUpdates = 0;
    int m_loads = 0;
    int m_routeRedraws = 0;
    int m_pinRefreshes = 0;
    unsigned m_settingsApplied = 0;
};

extern mapDialog *g_mapDialog;

} // namespace vx
