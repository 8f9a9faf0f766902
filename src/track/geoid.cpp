// Geoid height correction with GeographicLib's Geoid class over the EGM96
// 15-minute model "egm96-15.pgm" (the library's PGM geoid image: a text
// header with "# Offset" and "# Scale", then 16-bit big-endian heights from
// 90N to 90S, longitudes from 0E eastward).
//
// The model directory is always passed to the library explicitly, so its own
// search rules (environment settings, compiled-in defaults) play no part. One
// evaluator (cubic interpolation, thread safety off) is opened on the first
// query, reads the whole grid into memory and is kept for the run; if it
// cannot be opened, no later query retries until the geoid is set up again.
#include "geoid.h"

#include "settings/appdirs.h"

#include <GeographicLib/Geoid.hpp>

#include <QFileInfo>
#include <cmath>
#include <exception>
#include <memory>

namespace vx {

namespace {

const char *const kModelName = "egm96-15";

struct GeoidState {
    QString directory;  // ends with a separator
    bool available = false;
    bool openFailed = false;
    std::unique_ptr<GeographicLib::Geoid> evaluator;
};

GeoidState &state()
{
    static GeoidState s;
    return s;
}

} // namespace

void setupGeoid() { setupGeoid(resourceDir() + QStringLiteral("geoid/")); }

void setupGeoid(const QString &geoidDirectory)
{
    GeoidState &s = state();
    s.evaluator.reset();
    s.openFailed = false;
    s.directory = geoidDirectory;
    if (!s.directory.isEmpty() && !s.directory.endsWith(QLatin1Char('/')))
        s.directory += QLatin1Char('/');
    // An empty directory would hand the choice to the library's own search
    // rules; it never counts as a model location.
    s.available = !s.directory.isEmpty()
               && QFileInfo(s.directory + QLatin1String(kModelName) + QStringLiteral(".pgm")).isFile();
}

bool geoidAvailable() { return state().available; }

bool geoidCorrection(double latDeg, double lonDeg, double *correctionM)
{
    *correctionM = 0;
    GeoidState &s = state();
    if (!s.available || s.openFailed)
        return false;
    // The library folds latitudes beyond the poles back onto the grid and
    // turns huge longitudes into out-of-range cell indexes: such positions
    // have no geoid height.
    if (!std::isfinite(latDeg) || !std::isfinite(lonDeg) || std::fabs(latDeg) > 90.0)
        return false;
    const double lon = std::remainder(lonDeg, 360.0);  // -180 .. 180
    try {
        if (!s.evaluator) {
            // The library takes its path as std::string; a path the local
            // 8-bit encoding cannot hold would not be found.
            const std::string dir = QFile::encodeName(s.directory).toStdString();
            auto evaluator = std::make_unique<GeographicLib::Geoid>(kModelName, dir, true, false);
            evaluator->CacheAll();  // the whole grid (about 2 MB) in memory: no file reads per query
            s.evaluator = std::move(evaluator);
        }
        const double n = (*s.evaluator)(latDeg, lon);
        if (!std::isfinite(n))
            return false;
        *correctionM = -n;
        return true;
    } catch (const std::exception &) {
        // Missing or damaged model: no correction now or later in this run.
        s.evaluator.reset();
        s.openFailed = true;
        return false;
    }
}

} // namespace vx
