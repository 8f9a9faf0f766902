// Placeholder until the GoPro reader lands.
#include "goproreader.h"

namespace vx {

GoProReadResult readGoProTelemetry(int) { return {}; }
bool hasGpmfTrack(const QString &) { return false; }

} // namespace vx
