// Fuzzes the readSidecarSubtitles reader against its plain transcription.
#include "fuzzcommon.h"
#include "track/subtitlereaders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    vxfuzz::compareReaders(
        data, size, [](int block, QIODevice &in) { vx::readSidecarSubtitlesFrom(block, in); },
        [](int block, const QByteArray &bytes) { vxref::readSidecar(block, bytes); });
    return 0;
}
