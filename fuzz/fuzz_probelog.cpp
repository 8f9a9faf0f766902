// Fuzzes the probe-report parser: whatever the report holds, only the given
// entries are written and every value stays a plain number.
#include "track/movieprobe.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray report = QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<int>(size));
    vx::MovieProbe movies[4];
    vx::parseProbeLog(report, movies, 3);
    if (vx::describedInputs(report) < 0 || vx::describedInputs(report) > report.count('\n') + 1)
        std::abort();
    if (movies[3].duration != -1.0f || movies[3].width != 0 || movies[3].height != 0 || movies[3].fps != 29.97f)
        std::abort();
    for (const vx::MovieProbe &m : movies) {
        if (std::isnan(m.duration) || std::isnan(m.fps) || m.width < 0 || m.height < 0)
            std::abort();
    }
    return 0;
}
