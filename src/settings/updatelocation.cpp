// The update location is a build setting (the CMake cache variable
// VX_UPDATE_URL). Only this file reads it, so that changing it rebuilds
// nothing else.
#include "versionhistory.h"

#include "updatelocation.h"

namespace vx {

QString configuredUpdateBase() { return QStringLiteral(VX_UPDATE_URL); }

} // namespace vx
