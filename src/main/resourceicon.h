// Icons from the program's compiled-in images, with a stand-in from the
// widget style for an image that is not in the resources (a partial build).
#pragma once

#include <QColor>
#include <QIcon>
#include <QStyle>

namespace vx {

// `tint`, when valid, recolours the stand-in (the style's glyphs are dark and
// vanish on the player's dark control bar); the program's own images are
// used as they are.
QIcon resourceIcon(const QString &path, QStyle::StandardPixmap fallback, const QColor &tint = QColor());

} // namespace vx
