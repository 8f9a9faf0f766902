// What playback tells the views. On every tick the player window pushes the
// current telemetry point to the dashboard, the map, each of the six graphs
// and the control center through these interfaces, each only while its
// window exists and is visible; the loader and the movie list tell them when
// the set of movies changes. The windows implement them; none of them reads
// the player's widgets.
#pragma once

#include <QDateTime>

namespace vx {

constexpr int GRAPH_COUNT = 6;

// The dashboard's point update (distances already in the user's unit).
struct DashboardPoint {
    QDateTime time;
    bool hasAltitude = false;
    bool hasSats = false;
    int sats = 0;
    double latitude = 0;
    double longitude = 0;
    double altitudeM = 0;
    double travelledDist = 0;  // user's distance unit
};

// The map's point update (speed in the store's km/h).
struct MapPoint {
    double latitude = 0;
    double longitude = 0;
    double altitudeM = 0;
    float speedKmh = 0;
    double heading = 0;
};

// A graph's cursor update (distances and speed in the user's units).
struct GraphPoint {
    // false when the tick found no point at the current time (past the end
    // of the movie's telemetry): block and point are then 0, the values those
    // of the last point found, and the graphs keep their cursors there.
    bool found = true;
    int block = 0;
    int point = 0;
    QDateTime time;
    int sats = 0;
    double altitudeM = 0;
    double travelledDist = 0;
    double losDist = 0;
    double bearing = 0;
    double speed = 0;
};

// The control center's point update (the geotag distances).
struct GeotagPoint {
    double latitude = 0;
    double longitude = 0;
    double bearing = 0;
    bool hasAltitude = false;
    int block = 0;
    int point = 0;
};

class DashboardView {
public:
    virtual ~DashboardView() = default;
    virtual void updatePoint(const DashboardPoint &point) = 0;
    // Speed in the user's unit, heading in degrees (the 100 ms tick).
    virtual void updateSpeedHeading(float speed, double heading, const QDateTime &time) = 0;
    // Whether the current movie carries altitude and satellite counts.
    virtual void setTelemetryPresence(bool hasAltitude, bool hasSats) = 0;
    // The arrow vehicle (GoPro) instead of the drone; toggled by the "F" key.
    virtual void setArrowVehicle(bool arrow) = 0;
    virtual void toggleVehicle() = 0;
    // A new movie starts, or playback jumped: the shown speed and heading
    // jump to the next values instead of easing toward them.
    virtual void resetSpeedSmoothing() = 0;
    // After a load: the speed gauge is rebuilt for the loaded movies.
    virtual void rebuildSpeedGauge() = 0;
    // The Track store was emptied.
    virtual void resetToEmpty() = 0;
    // The settings record changed (SettingsChange flags of viewhost.h): the
    // window shows again what depends on it.
    virtual void applySettings(unsigned changes) = 0;
};

class MapView {
public:
    virtual ~MapView() = default;
    virtual void updatePoint(const MapPoint &point) = 0;
    // After a load: routes, start markers and the route and marker toggles.
    virtual void moviesLoaded() = 0;
    // Movies were switched on or off: the routes are drawn again.
    virtual void activeMoviesChanged() = 0;
    // The geotag pins: all of them again from the geotag list, or the one
    // just added at `index` (0-based in the list, numbered index + 1).
    virtual void refreshGeotagPins() = 0;
    virtual void addGeotagPin(int index) = 0;
    virtual void applySettings(unsigned changes) = 0;
};

class GraphView {
public:
    virtual ~GraphView() = default;
    // Graph `graphIndex` (0 .. GRAPH_COUNT - 1) moves its cursor.
    virtual void updatePoint(int graphIndex, const GraphPoint &point) = 0;
    virtual void setTelemetryPresence(bool hasAltitude, bool hasSats) = 0;
    // After a load: the tabs follow the loaded movies, the first graph is
    // selected and drawn.
    virtual void moviesLoaded() = 0;
    // Movies were switched on or off: all six graphs are rebuilt and drawn
    // (empty when no active movie has points).
    virtual void activeMoviesChanged() = 0;
    // The Track store was emptied: the graphs start again from their ranges.
    virtual void resetGraphs() = 0;
    virtual void applySettings(unsigned changes) = 0;
};

class GeotagPointView {
public:
    virtual ~GeotagPointView() = default;
    virtual void updateCurrentPoint(const GeotagPoint &point) = 0;
    // Units and coordinate formats of the movie and geotag rows.
    virtual void applySettings(unsigned changes) = 0;
};

} // namespace vx
