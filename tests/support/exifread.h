// Reading back what addexif wrote (tests linked with libexiv2 only).
#pragma once

#include "export/exiv2.h"

#include <QStringList>
#include <cstring>
#include <initializer_list>

namespace vxtest {

// The EXIF tags `keys` (short keys: GPS tags) of the image at `path` as exiv2
// writes them ("33/1 52/1 77509/10000", "S", "<none>"), joined by "|".
inline QString exifTag(const QString &path, std::initializer_list<const char *> keys)
{
    auto image = Exiv2::ImageFactory::open(path.toStdString());
    image->readMetadata();
    const Exiv2::ExifData &exif = image->exifData();
    QStringList values;
    for (const char *key : keys) {
        const auto it = exif.findKey(Exiv2::ExifKey(std::strchr(key, '.') ? key : std::string("Exif.GPSInfo.") + key));
        values << (it == exif.end() ? QStringLiteral("<none>") : QString::fromStdString(it->value().toString()));
    }
    return values.join(QLatin1Char('|'));
}

} // namespace vxtest
