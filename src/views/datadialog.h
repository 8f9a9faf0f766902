// The dashboard window: the gauges of the current playback point. Built for
// one of two orientations; changing the orientation replaces the window.
// Horizontal: object name "dataDialogHoriz", title "Dashboard"; vertical:
// object name "dataDialogVert", title "Dashboard " (the trailing space keeps
// the two layouts' geometry apart in the settings store).
#pragma once

#include "views/mydialog.h"
#include "views/sampleviews.h"

namespace vx {

class dataDialog : public myDialog, public DashboardView {
    Q_OBJECT

public:
    explicit dataDialog(bool vertical, QWidget *parent = nullptr);
    bool isVertical() const { return m_vertical; }

    static QString titleFor(bool vertical);

    // DashboardView. The gauges come later; until then the window keeps what
    // it was sent.
    void updatePoint(const DashboardPoint &point) override;
    void updateSpeedHeading(float speed, double heading, const QDateTime &time) override;
    void setTelemetryPresence(bool hasAltitude, bool hasSats) override;
    void setArrowVehicle(bool arrow) override { m_arrowVehicle = arrow; }
    void toggleVehicle() override { m_arrowVehicle = !m_arrowVehicle; }
    void resetSpeedSmoothing() override { m_speedResetPending = true; }
    void rebuildSpeedGauge() override { ++m_gaugeRebuilds; }
    void resetToEmpty() override;
    void applySettings(unsigned changes) override { m_settingsApplied |= changes; }
    unsigned settingsApplied() const { return m_settingsApplied; }

    const DashboardPoint &lastPoint() const { return m_lastPoint; }
    int pointUpdates() const { return m_pointUpdates; }
    float lastSpeed() const { return m_lastSpeed; }
    double lastHeading() const { return m_lastHeading; }
    int speedHeadingUpdates() const { return m_speedHeadingUpdates; }
    bool showsAltitude() const { return m_showsAltitude; }
    bool showsSats() const { return m_showsSats; }
    bool arrowVehicle() const { return m_arrowVehicle; }
    bool speedResetPending() const { return m_speedResetPending; }
    int gaugeRebuilds() const { return m_gaugeRebuilds; }

private:
    bool m_vertical;
    DashboardPoint m_lastPoint;
    int m_pointUpdates = 0;
    float m_lastSpeed = 0;
    double m_lastHeading = 0;
    int m_speedHeadingUpdates = 0;
    bool m_showsAltitude = true;
    bool m_showsSats = true;
    bool m_arrowVehicle = false;
    bool m_speedResetPending = false;
    int m_gaugeRebuilds = 0;
    unsigned m_settingsApplied = 0;
};

// The dashboard window, or null when it does not exist (closed at exit).
extern dataDialog *g_dataDialog;

} // namespace vx
