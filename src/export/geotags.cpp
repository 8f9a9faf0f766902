#include "geotags.h"

#include <algorithm>
#include <cmath>

namespace vx {

namespace {

constexpr double kEarthRadiusKm = 6378.137;
constexpr double kRadiansPerDegree = 0.017453292519943295;

void renumber(GeotagList &l)
{
    for (int i = 0; i < l.count; ++i)
        l.tag[i].id = i + 1;
}

bool validPoint(const TrackStore &t, int block, int point)
{
    return block >= 0 && block < std::clamp(t.numBlocks, 0, MAX_BLOCKS) && point >= 0
           && point < std::clamp(t.block[block].numPoints, 0, MAX_POINTS);
}

} // namespace

GeotagList &geotags()
{
    static GeotagList *list = new GeotagList;  // lives for the whole run
    return *list;
}

bool addGeotag(const Geotag &tag)
{
    GeotagList &l = geotags();
    if (l.count < 0 || l.count >= MAX_GEOTAGS)
        return false;
    l.tag[l.count] = tag;
    l.tag[l.count].id = l.count + 1;
    ++l.count;
    return true;
}

void clearGeotags()
{
    GeotagList &l = geotags();
    for (int i = 0; i < MAX_GEOTAGS; ++i)
        l.tag[i] = Geotag();
    l.count = 0;
}

bool removeGeotag(int index)
{
    GeotagList &l = geotags();
    if (index < 0 || index >= l.count)
        return false;
    std::move(l.tag + index + 1, l.tag + l.count, l.tag + index);
    --l.count;
    l.tag[l.count] = Geotag();
    renumber(l);
    return true;
}

void replaceGeotags(const QVector<Geotag> &tags)
{
    clearGeotags();
    GeotagList &l = geotags();
    l.count = std::min(tags.size(), MAX_GEOTAGS);
    std::copy(tags.begin(), tags.begin() + l.count, l.tag);
    renumber(l);
}

QString geotagCountText(int count)
{
    return QStringLiteral("%1 %2").arg(count).arg(count == 1 ? QStringLiteral("Geotag") : QStringLiteral("Geotags"));
}

QString geotagLimitText()
{
    return QStringLiteral("The maximum number of Geotags, %1, have been created!").arg(MAX_GEOTAGS);
}

QString geotagDisabledMovieText(const Geotag &tag)
{
    return QStringLiteral("To see this Geotag, please enable %1 in the Movies tab").arg(tag.movieFile.fileName());
}

Geotag geotagAt(const TrackStore &t, const PlaybackMoment &moment, int clockBias)
{
    Geotag g;
    const MomentPoint found = lookUpMoment(t, moment);
    if (moment.block >= 0 && moment.block < MAX_BLOCKS) {
        const MovieBlock &m = t.block[moment.block];
        g.movieBlock = moment.block;
        g.movieFile = m.movieFile;
        g.movieDuration = m.duration;
        g.movieAvailable = m.movieFile.exists();
    }
    g.moviePoint = found.times.positionMs;
    g.dateTime = QDateTime::fromMSecsSinceEpoch(displayTimeMs(found.times.instantMs, moment.totalOffsetSec, clockBias),
                                            Qt::UTC);
    if (found.point >= 0) {
        const CurrentSample &s = found.sample;
        g.lat = s.latitude;
        g.lon = s.longitude;
        g.speed = s.speedKmh;
        g.altitude = s.altitudeM;
        g.hasAltitude = s.hasAltitude;
        g.pointBlock = moment.block;
        g.pointIndex = found.point;
    }
    return g;
}

int blockOfMovie(const TrackStore &t, const QFileInfo &path)
{
    if (path.filePath().isEmpty())
        return -1;
    const QString absolute = path.absoluteFilePath();
    const QString canonical = path.canonicalFilePath();
    const int n = std::clamp(t.numBlocks, 0, MAX_BLOCKS);
    for (int b = 0; b < n; ++b) {
        const QFileInfo &movie = t.block[b].movieFile;
        if (movie.filePath().isEmpty())
            continue;
        if (movie.absoluteFilePath() == absolute
            || (!canonical.isEmpty() && movie.canonicalFilePath() == canonical))
            return b;
    }
    return -1;
}

void resolveGeotag(Geotag &tag, const TrackStore &t, int timeBias)
{
    tag.movieFile.refresh();
    tag.movieBlock = blockOfMovie(t, tag.movieFile);
    tag.movieAvailable = tag.movieBlock >= 0 && tag.movieFile.exists();
    tag.pointBlock = -1;
    tag.pointIndex = 0;
    if (tag.movieBlock < 0)
        return;
    const MovieBlock &m = t.block[tag.movieBlock];
    const int factor = std::max(m.timeFactor, 1);
    const std::optional<PlaybackMoment> moment = blockMoment(t, tag.movieBlock, tag.moviePoint / factor, timeBias);
    const int point = moment ? lookUpMoment(t, *moment).point : -1;
    if (point >= 0) {
        tag.pointBlock = tag.movieBlock;
        tag.pointIndex = point;
    }
}

void resolveGeotags(const TrackStore &t, int timeBias)
{
    GeotagList &l = geotags();
    for (int i = 0; i < l.count; ++i)
        resolveGeotag(l.tag[i], t, timeBias);
}

bool geotagHasPosition(const Geotag &tag)
{
    return std::isfinite(tag.lat) && std::isfinite(tag.lon) && !(std::fabs(tag.lat) < 1e-7 && std::fabs(tag.lon) < 1e-7);
}

GeotagDistances geotagDistances(const Geotag &tag, const TrackStore &t, const CurrentPosition &current)
{
    GeotagDistances out;
    if (!geotagHasPosition(tag))
        return out;
    const double p1 = current.lat * kRadiansPerDegree, p2 = tag.lat * kRadiansPerDegree;
    const double dl = (tag.lon - current.lon) * kRadiansPerDegree;
    const double c = std::clamp(std::sin(p1) * std::sin(p2) + std::cos(p1) * std::cos(p2) * std::cos(dl), -1.0, 1.0);
    double los = std::acos(c) * kEarthRadiusKm;
    if (current.hasAltitude && tag.hasAltitude && validPoint(t, current.block, current.point)) {
        const double dh = (tag.altitude - t.block[current.block].altitude[current.point]) / 1000.0;
        los = std::sqrt(los * los + dh * dh);
    }
    out.losKm = std::isfinite(los) ? los : 0.0;

    if (!validPoint(t, tag.pointBlock, tag.pointIndex) || !validPoint(t, current.block, current.point))
        return out;
    int b1 = tag.pointBlock, i1 = tag.pointIndex, b2 = current.block, i2 = current.point;
    if (b1 == b2) {
        out.routeKm = std::fabs(t.block[b1].cumDist[i1] - t.block[b2].cumDist[i2]);
        return out;
    }
    if (b1 > b2) {
        std::swap(b1, b2);
        std::swap(i1, i2);
    }
    double route = t.block[b1].totalDist - t.block[b1].cumDist[i1];
    for (int b = b1 + 1; b < b2; ++b)
        route += t.block[b].active ? t.block[b].totalDist : 0.0;
    route += t.block[b2].cumDist[i2];
    out.routeKm = route;
    return out;
}

} // namespace vx
