// The update location is a build setting (the CMake cache variable
// VX_UPDATE_URL). It is compiled into this file alone, so that changing it
// rebuilds nothing else.
#include "versionhistory.h"

#ifndef VX_UPDATE_URL
#define VX_UPDATE_URL ""
#endif

namespace vx {

QString configuredUpdateBase() { return QStringLiteral(VX_UPDATE_URL); }

} // namespace vx
