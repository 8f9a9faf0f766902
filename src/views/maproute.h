// What the map shows of the Track store, without any page: which positions
// can be drawn, the speed-coloured runs of a movie's route, the first point
// a start marker goes on, and the point a click on the map is nearest to.
#pragma once

#include <QVector>

namespace vx {

struct MovieBlock;
struct TrackStore;

// A position the map can show: both values finite, the latitude within
// +-90 and the longitude within +-180, and not the (0, 0) (both within
// 1e-7) that a receiver without a fix writes.
bool mapDrawable(double lat, double lon);
// A click position the map may report: finite and within +-90 / +-180
// ((0, 0) is a place like any other here).
bool validMapClick(double lat, double lon);

// A run of the route: consecutive points first .. last (last > first)
// joined by segments of one colour. Segment i runs from point i to point
// i + 1 and exists only when both ends are drawable; it takes the colour of
// the speed at point i (speedColorIndex against `referenceKmh`). A segment
// that is missing, or a change of colour, ends a run.
struct RouteRun {
    int colorIndex = 0;
    int first = 0;
    int last = 0;
};
QVector<RouteRun> routeRuns(const MovieBlock &m, int levels, double referenceKmh);

// The first drawable point of the block, or -1.
int firstDrawablePoint(const MovieBlock &m);

// The point nearest to (lat, lon) by central angle over the active blocks
// that carry telemetry, among their drawable points that have a time (a
// point without a time cannot be sought); the first of equally near points
// wins. block = -1 when there is none.
struct NearestPoint {
    int block = -1;
    int point = -1;
    double angle = 0;  // radians
};
NearestPoint nearestTrackPoint(const TrackStore &t, double lat, double lon);

} // namespace vx
