#include "geotags.h"

namespace vx {

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

} // namespace vx
