// The dashboard window: the instruments of the current playback point. The
// speed gauge with the travelled distance; behind the page arrows the
// compass with the vehicle turned to the heading, the day's weather and the
// calendar; the altitude, satellite count and position as seven-segment
// numbers. Built for one of two orientations; changing the orientation
// replaces the window. Horizontal: object name "dataDialogHoriz", title
// "Dashboard"; vertical: object name "dataDialogVert", title "Dashboard "
// (the trailing space keeps the two layouts' geometry apart in the settings
// store).
//
// A click on the gauge cycles the speed units, one on the coordinates the
// coordinate format (after the double-click interval, so that a double
// click, which opens the preferences at "Advanced" or "General", does not
// cycle). Playback pushes the points; the window never reads the Track
// store except for its top speed when the gauge is rebuilt.
#pragma once

#include "views/dashboardform.h"
#include "views/gauges/speedgauge.h"
#include "views/mydialog.h"
#include "views/needlesmoother.h"
#include "views/sampleviews.h"
#include "views/weather.h"

#include <QElapsedTimer>

class QGraphicsPixmapItem;
class QGraphicsScene;
class QTimer;

namespace vx {

class QcGaugeWidget;

class dataDialog : public myDialog, public DashboardView {
    Q_OBJECT

public:
    explicit dataDialog(bool vertical, QWidget *parent = nullptr);
    ~dataDialog() override;
    bool isVertical() const { return m_vertical; }

    static QString titleFor(bool vertical);
    // The vertical form's own size: the default dialog size would cut it.
    QSize defaultSize() const override;

    // DashboardView
    void updatePoint(const DashboardPoint &point) override;
    void updateSpeedHeading(float speed, double heading, const QDateTime &time) override;
    void setTelemetryPresence(bool hasAltitude, bool hasSats) override;
    void setArrowVehicle(bool arrow) override;
    void toggleVehicle() override;
    // The next speed and heading are shown at once (a new movie, a seek).
    void resetSpeedSmoothing() override { m_smoother.reset(); }
    void rebuildSpeedGauge() override;
    void resetToEmpty() override;
    void applySettings(unsigned changes) override;

    // What the window shows, for the program's tests.
    const DashboardForm &form() const { return m_form; }
    QcGaugeWidget *gauge() const { return m_gauge; }
    const SpeedGauge &speedGauge() const { return m_speed; }
    const WeatherValues &weather() const { return m_weather; }
    WeatherLookup *weatherLookup() const { return m_weatherLookup; }
    const DashboardPoint &lastPoint() const { return m_lastPoint; }
    int pointUpdates() const { return m_pointUpdates; }
    int speedHeadingUpdates() const { return m_speedHeadingUpdates; }
    int gaugeRebuilds() const { return m_gaugeRebuilds; }
    bool showsAltitude() const;
    bool showsSats() const;
    bool arrowVehicle() const;
    // The vehicle's turn in degrees (continuous).
    double vehicleHeading() const;

public slots:
    void switch_units_slot();
    void switch_datum_units_slot();
    void get_weather_slot();
    // The lookup's answer: the values fill the weather page.
    void load_file_slot(const vx::WeatherValues &values);
    void previous_widget_slot();
    void next_widget_slot();
    void single_click_slot();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildGauge();
    void fitGauge();
    void buildCompassScene();
    void showCoordinates(double latitude, double longitude);
    void clearWeather();
    void refreshWeatherTexts();
    void weatherFailed();
    // Tells the rest of the program (or, without a host, does its part).
    void settingsChangedHere(unsigned changes);
    bool inGaugeArea(const QPoint &pos) const;
    bool inCoordinateArea(const QPoint &pos) const;

    bool m_vertical;
    DashboardForm m_form;
    QcGaugeWidget *m_gauge = nullptr;
    SpeedGauge m_speed;
    int m_speedometerMaximum = DEFAULT_SPEEDOMETER_MAXIMUM;
    QGraphicsScene *m_scene = nullptr;
    QGraphicsPixmapItem *m_drone = nullptr;
    QGraphicsPixmapItem *m_arrow = nullptr;

    DashboardPoint m_lastPoint;
    bool m_hasPoint = false;
    NeedleSmoother m_smoother;
    QElapsedTimer m_clock;
    int m_smoothedUnit = -1;

    WeatherValues m_weather;
    WeatherLookup *m_weatherLookup = nullptr;

    QPoint m_clickPos;
    QTimer *m_clickTimer = nullptr;
    bool m_ignoreRelease = false;

    int m_pointUpdates = 0;
    int m_speedHeadingUpdates = 0;
    int m_gaugeRebuilds = 0;
};

// The dashboard window, or null when it does not exist (closed at exit).
extern dataDialog *g_dataDialog;

} // namespace vx
