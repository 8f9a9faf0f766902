// Reading back what addexif wrote (tests linked with libexiv2 only).
#pragma once

#include "export/exiv2.h"

#include <QString>

namespace vxtest {

// The value of EXIF tag `key` of the image at `path` as exiv2 writes it
// ("33/1 52/1 77509/10000", "S"), or "<none>".
inline QString exifTag(const QString &path, const char *key)
{
    auto image = Exiv2::ImageFactory::open(path.toStdString());
    image->readMetadata();
    const Exiv2::ExifData &exif = image->exifData();
    const auto it = exif.findKey(Exiv2::ExifKey(key));
    return it == exif.end() ? QStringLiteral("<none>") : QString::fromStdString(it->value().toString());
}

} // namespace vxtest
