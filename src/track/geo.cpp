#include "geo.h"

#include <cmath>

namespace vx {

double lastBearing = 0.0;

GeoStep greatCircleStep(double lat1, double lon1, double lat2, double lon2)
{
    lat1 *= DEG_TO_RAD;
    lon1 *= DEG_TO_RAD;
    lat2 *= DEG_TO_RAD;
    lon2 *= DEG_TO_RAD;
    if (lon1 == lon2 && lat1 == lat2)
        return {0.0, lastBearing};
    const double dLon = lon2 - lon1;
    double dist = std::acos(std::cos(lat1) * std::cos(lat2) * std::cos(dLon)
                            + std::sin(lat1) * std::sin(lat2)) * EARTH_RADIUS_KM;
    if (std::isnan(dist))
        dist = 0.0;
    const double bearing = std::atan2(std::sin(dLon) * std::cos(lat2),
                                      std::sin(lat2) * std::cos(lat1)
                                          - std::sin(lat1) * std::cos(lat2) * std::cos(dLon))
                         / DEG_TO_RAD;
    lastBearing = bearing;
    return {dist, bearing};
}

} // namespace vx
