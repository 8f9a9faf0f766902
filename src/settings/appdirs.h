// Where the program finds what it ships with. The resource directory is the
// application's directory with its last path component replaced by
// "Resources" (<build>/bin -> <build>/Resources, as the program is laid out
// when installed).
#pragma once

#include <QString>

namespace vx {

QString applicationDir();
// Ends with a separator.
QString resourceDir();
QString resourcePath(const QString &fileName);

} // namespace vx
