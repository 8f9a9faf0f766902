#include "viewhost.h"

namespace vx {

namespace {
ViewHost *g_host = nullptr;
}

void setViewHost(ViewHost *host) { g_host = host; }
ViewHost *viewHost() { return g_host; }

} // namespace vx
