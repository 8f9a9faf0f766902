// Geotags: named moments of a movie with the position, speed and altitude of
// the telemetry point at that moment. The process-wide list holds at most
// MAX_GEOTAGS records in list order; the KML export writes them.
#pragma once

#include <QDateTime>
#include <QFileInfo>
#include <QString>
#include <cstdint>

namespace vx {

constexpr int MAX_GEOTAGS = 100;

struct Geotag {
    int32_t id = 0;               // list position + 1 when its row was last built
    QString title = QStringLiteral("Untitled Event");
    int32_t movieBlock = -1;      // -1 when the tag's movie is not loaded
    QFileInfo movieFile;
    float movieDuration = 0;      // seconds
    int64_t moviePoint = 0;       // position in the movie, ms
    QDateTime dateTime;           // moment of the event
    float speed = 0;              // km/h
    double lat = 0;               // degrees
    double lon = 0;               // degrees
    double altitude = 0;          // metres
    bool hasAltitude = false;
    bool movieAvailable = false;  // the movie file exists and movieBlock != -1
    int32_t pointBlock = 0;       // the TrackPoint the tag was taken from
    int32_t pointIndex = 0;
};

struct GeotagList {
    Geotag tag[MAX_GEOTAGS];
    int count = 0;
};

// The process-wide list.
GeotagList &geotags();

// Appends a tag with id = its position + 1; false (nothing added) when the
// list already holds MAX_GEOTAGS.
bool addGeotag(const Geotag &tag);
void clearGeotags();

} // namespace vx
