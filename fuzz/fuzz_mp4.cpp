// libFuzzer target: the MP4 index walk and everything read through it (the
// payload offsets, sizes and times, and the GPS reader over the payloads).
#include "track/gpmfgps.h"
#include "track/mp4source.h"

#include <QBuffer>
#include <cstddef>
#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(reinterpret_cast<const char *>(data), int(size));
    buffer->open(QIODevice::ReadOnly);
    std::unique_ptr<vx::Mp4Source> source = vx::Mp4Source::open(std::move(buffer));
    if (!source)
        return 0;
    std::vector<uint8_t> payload;
    for (uint32_t i = 0; i < source->payloadCount() && i < 64; ++i) {
        double start = 0, end = 0;
        source->payloadTime(i, &start, &end);
        source->payloadOffset(i);
        source->readPayload(i, payload);
    }
    vx::GpsSamples samples;
    vx::readGpsSamples(*source, samples, nullptr);
    return 0;
}
