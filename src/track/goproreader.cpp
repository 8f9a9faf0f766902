// The GoPro reader's entry points: the GPS samples of a movie's GPMF track
// written into its MovieBlock.
#include "goproreader.h"

#include "geoid.h"
#include "gpmfgps.h"
#include "mp4source.h"
#include "trackstore.h"

#include <QDateTime>
#include <QFileInfo>

#include <algorithm>
#include <memory>

namespace vx {

GoProReadResult readGoProTelemetry(int block)
{
    GoProReadResult result;
    if (block < 0 || block >= MAX_BLOCKS)
        return result;
    MovieBlock &b = track().block[block];
    const QString path = b.movieFile.absoluteFilePath();
    if (b.movieFile.filePath().isEmpty())
        return result;

    GpsSamples samples;
    {
        std::unique_ptr<Mp4Source> source = Mp4Source::open(path);
        if (!source)
            return result;
        result.gpmfTrackFound = true;
        result.useArrowVehicle = true;
        const GpsReadStats stats = readGpsSamples(*source, samples, geoidCorrection);
        result.payloadsRead = int(stats.payloadsRead);
        result.payloadsDamaged = int(stats.payloadsDamaged);
        source->close();
    }
    if (samples.empty())
        return result;

    // The file was last written when recording stopped: that instant is the
    // last stored second, and every point is counted back from it.
    const qint64 modifiedS = QFileInfo(path).lastModified().toSecsSinceEpoch();
    const qint64 startS = modifiedS - samples.back().timeS;
    const int n = int(std::min<size_t>(samples.size(), size_t(MAX_POINTS)));
    for (int i = 0; i < n; ++i) {
        const GpsSample &s = samples[size_t(i)];
        const qint64 t = startS + s.timeS;
        b.gpsTime[i] = t >= 0 && t < qint64(NO_TIME) ? uint32_t(t) : NO_TIME;
        b.lat[i] = s.latDeg;
        b.lon[i] = s.lonDeg;
        b.altitude[i] = s.altitudeM;
        b.speed[i] = s.speedKmh;
    }
    b.numPoints = n;
    b.hasAltitude = true;
    b.telemetryFile = QFileInfo(path);
    result.pointsStored = n;
    return result;
}

bool hasGpmfTrack(const QString &moviePath)
{
    return Mp4Source::open(moviePath) != nullptr;
}

} // namespace vx
