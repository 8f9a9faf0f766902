// Where the program finds what it ships with. The resource directory is the
// application's directory with its last path component replaced by
// "Resources" (<build>/bin -> <build>/Resources, the build tree's layout);
// when that does not exist and "share/volantix" beside it does, that one
// (<prefix>/bin -> <prefix>/share/volantix, the installed layout).
#pragma once

#include <QString>

namespace vx {

QString applicationDir();
// Ends with a separator.
QString resourceDir();
QString resourcePath(const QString &fileName);

// The rule above for a given application directory.
QString resourceDirFor(const QString &applicationDirectory);

} // namespace vx
