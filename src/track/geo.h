// Great-circle helpers shared by the readers and the repair pass. Positions
// are on a sphere of radius 6378.137 km; the most recent course is kept
// process-wide in lastBearing and returned for an unchanged position.
#pragma once

namespace vx {

constexpr double DEG_TO_RAD = 0.017453292519943295;
constexpr double EARTH_RADIUS_KM = 6378.137;

// The bearing most recently produced by greatCircleStep; never reset.
extern double lastBearing;

struct GeoStep {
    double distKm;
    double bearingDeg;  // -180 .. 180
};

// Distance and initial course from (lat1, lon1) to (lat2, lon2), degrees.
// An unchanged position gives 0 and lastBearing; a NaN distance becomes 0.
// Updates lastBearing otherwise.
GeoStep greatCircleStep(double lat1, double lon1, double lat2, double lon2);

} // namespace vx
