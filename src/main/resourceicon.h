// Icons from the program's compiled-in images, with a stand-in from the
// widget style for an image that is not in the resources (a partial build).
#pragma once

#include <QIcon>
#include <QStyle>

namespace vx {

QIcon resourceIcon(const QString &path, QStyle::StandardPixmap fallback);

} // namespace vx
