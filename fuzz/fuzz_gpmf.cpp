// libFuzzer target: the GPMF walk with scaled data. Every item of the input
// is stepped to, searched back from and scaled; then the GPS conversion reads
// the input as one payload.
#include "track/gpmfgps.h"
#include "track/gpmfstream.h"
#include "track/mp4source.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

bool fakeGeoid(double, double, double *correctionM)
{
    *correctionM = -40;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // An exact-size heap copy, so any read past the payload is caught.
    std::vector<uint8_t> payload(data, data + size);
    vx::GpmfStream s;
    if (s.init(payload.data(), payload.size())) {
        std::vector<double> out;
        int steps = 0;
        do {
            if (!s.rawData())
                continue;
            const int elements = s.elementsInStruct();
            if (elements > 0) {
                out.resize(size_t(s.repeat()) * size_t(elements) + 1);
                s.scaledData(out.data(), out.size(), 0, s.repeat());
                s.scaledData(out.data(), out.size(), s.repeat() / 2, 1);
            }
            vx::GpmfStream back = s;
            back.findPrevious(vx::fourCC("SCAL"), vx::GpmfStream::AllLevels);
            back.findPrevious(s.key(), vx::GpmfStream::CurrentLevel);
            s.deviceName();
        } while (s.next() && ++steps < 100000);
        vx::GpmfStream level;
        level.init(payload.data(), payload.size());
        while (level.next(vx::GpmfStream::CurrentLevel))
            ;
    }
    vx::GpsSamples samples;
    const double start = size > 0 ? data[0] * 0.5 : 0;
    vx::appendPayloadSamples(payload.data(), payload.size(), start, start + 1.0, samples, fakeGeoid);
    return 0;
}
