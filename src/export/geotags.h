// Geotags: named moments of a movie with the position, speed and altitude of
// the telemetry point at that moment. The process-wide list holds at most
// MAX_GEOTAGS records in list order; the control center shows it, the map
// pins and the KML export draw it, and it is kept in the per-user data
// folder between runs (geotagfile.h).
#pragma once

#include "track/playbackmath.h"

#include <QDateTime>
#include <QFileInfo>
#include <QString>
#include <QVector>
#include <cstdint>
#include <optional>

namespace vx {

constexpr int MAX_GEOTAGS = 100;

struct Geotag {
    int32_t id = 0;               // list position + 1 when its row was last built
    QString title = QStringLiteral("Untitled Event");
    int32_t movieBlock = -1;      // -1 when the tag's movie is not loaded
    QFileInfo movieFile;
    float movieDuration = 0;      // seconds
    int64_t moviePoint = 0;       // position in the movie (after the time factor), ms
    QDateTime dateTime;           // moment of the event (kept in UTC; shown in local time)
    float speed = 0;              // km/h
    double lat = 0;               // degrees
    double lon = 0;               // degrees
    double altitude = 0;          // metres
    bool hasAltitude = false;
    bool movieAvailable = false;  // the movie file exists and movieBlock != -1
    int32_t pointBlock = -1;      // the TrackPoint of the tag; -1 when there is none
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
// Removes the tag at `index` (0-based); the later tags move down one place
// and every id is the position + 1 again. false when there is no such tag.
bool removeGeotag(int index);
// The list becomes `tags` (the first MAX_GEOTAGS of them), numbered 1, 2, ...
void replaceGeotags(const QVector<Geotag> &tags);

// "1 Geotag", "n Geotags".
QString geotagCountText(int count);
// "The maximum number of Geotags, 100, have been created!"
QString geotagLimitText();
// "To see this Geotag, please enable <movie file name> in the Movies tab"
QString geotagDisabledMovieText(const Geotag &tag);

// A new tag at the playback moment: the point the tick shows at that moment
// (the same instant, the total time offset included) gives its position,
// speed and altitude; without a point (no telemetry at or after that
// moment) they are 0 and the tag has neither a point nor a position.
// dateTime is the moment the date label shows (the clock bias added).
Geotag geotagAt(const TrackStore &t, const PlaybackMoment &moment, int clockBias);

// The tag's movie looked up among the loaded movies by its file's path: its
// block, whether it is available, and its point (the point playback shows at
// the tag's position in that movie, with `timeBias`). A tag whose movie is
// not loaded, or whose moment lies past the movie's telemetry, has no point.
void resolveGeotag(Geotag &tag, const TrackStore &t, int timeBias);
// Every tag of the process-wide list, after each load and at start-up.
void resolveGeotags(const TrackStore &t, int timeBias);
// The block whose movie is the file at `path` (same absolute path, or the
// same file reached another way), or -1.
int blockOfMovie(const TrackStore &t, const QFileInfo &path);

// Distances from the current playback point to a tag, in km.
struct CurrentPosition {
    double lat = 0;
    double lon = 0;
    bool hasAltitude = false;  // the current block carries altitude
    int block = 0;
    int point = 0;
};
struct GeotagDistances {
    std::optional<double> losKm;      // line of sight (height difference included when both have one);
                                      // none when the tag has no position
    std::optional<double> routeKm;    // along the track; none when the tag has no point
};
// Whether the tag has a position: a tag taken where the movie has no
// telemetry has none (it reads 0, 0, as the geotag file writes it).
bool geotagHasPosition(const Geotag &tag);
GeotagDistances geotagDistances(const Geotag &tag, const TrackStore &t, const CurrentPosition &current);

} // namespace vx
