// A geotag of a 32.5 s movie for the geotag tests, dated its movie point after
// 2024-05-18 10:12:10.164 UTC.
#pragma once

#include "export/geotags.h"

namespace vxtest {

const qint64 kWhenMs = 1716027130164;  // 2024-05-18 10:12:10.164 UTC

inline vx::Geotag makeTag(const QString &title, double lat, double lon, float speedKmh, qint64 pointMs,
                         const QString &movie)
{
    vx::Geotag g;
    g.title = title;
    g.lat = lat;
    g.lon = lon;
    g.speed = speedKmh;
    g.moviePoint = pointMs;
    g.movieDuration = 32.5f;
    g.dateTime = QDateTime::fromMSecsSinceEpoch(kWhenMs + pointMs, Qt::UTC);
    g.movieFile = QFileInfo(movie);
    return g;
}

} // namespace vxtest
