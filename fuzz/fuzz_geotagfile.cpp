// libFuzzer target for the geotag file import and the geotag store: any
// bytes as a geotag text file and as a store. Checks the parsers' promises
// (at most 100 tags, positions within range, finite numbers, one movie file
// name without folders) and that a file written from what was read is read
// back to the same tags: the writer and the reader agree on every value the
// reader accepts.
#include "export/geotagfile.h"
#include "settings/settings.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

using namespace vx;

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

void checkTags(const QVector<Geotag> &tags)
{
    check(tags.size() <= MAX_GEOTAGS);
    for (const Geotag &g : tags) {
        check(std::isfinite(g.lat) && std::fabs(g.lat) <= 90 && std::isfinite(g.lon) && std::fabs(g.lon) <= 180);
        check(std::isfinite(g.speed) && std::isfinite(g.movieDuration) && g.moviePoint >= 0);
        check(!g.title.isEmpty() && g.dateTime.isValid());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool once = [] {
        setDefaultSettings();
        settings().datumFormat = 2;
        recomputeFactors();
        return true;
    }();
    (void)once;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<int>(size));

    const GeotagImport in = parseGeotagText(bytes, QStringLiteral("/movies"));
    checkTags(in.tags);
    for (const Geotag &g : in.tags)
        check(g.movieFile.absolutePath() == QStringLiteral("/movies"));

    // Written in the degrees-minutes-seconds layout and read again.
    replaceGeotags(in.tags);
    const GeotagImport again = parseGeotagText(geotagFileText(geotags(), settings()), QStringLiteral("/movies"));
    check(again.tags.size() == in.tags.size());
    for (int i = 0; i < in.tags.size(); ++i) {
        check(std::fabs(again.tags[i].lat - in.tags[i].lat) < 1e-5);
        check(std::fabs(again.tags[i].lon - in.tags[i].lon) < 1e-5);
        check(again.tags[i].dateTime == in.tags[i].dateTime);
    }

    bool isStore = false;
    checkTags(parseGeotagStore(bytes, &isStore));
    return 0;
}
