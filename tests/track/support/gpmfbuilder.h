// GPMF payloads for the tests: KLV items, nests, and whole payloads with a GPS stream.
#pragma once

#include <QByteArray>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace vxtest {

QByteArray be16(uint16_t v);
QByteArray be32(uint32_t v);
QByteArray be64(uint64_t v);
QByteArray int32s(std::initializer_list<int32_t> values);

// One KLV item: 8-byte header, then `data` zero-padded to 32 bits; `repeat` defaults to data.size() ÷ structSize.
QByteArray klv(const char *key, char type, int structSize, const QByteArray &data, int repeat = -1);
// A nest (type 0, structure size 1) around `children`.
QByteArray nest(const char *key, const QByteArray &children);

struct GpsFix {
    double latDeg = 0, lonDeg = 0, altitudeM = 0, speed2dMs = 0, speed3dMs = 0;
};

// DEVC{DVID 1, DVNM "Camera", STRM{SCAL 1e7 1e7 1000 1000 100, GPS5}}.
QByteArray gps5Payload(const std::vector<GpsFix> &fixes);
// The same with a GPS9 stream (TYPE "lllllllSS") and no GPS5.
QByteArray gps9Payload(const std::vector<GpsFix> &fixes);
QByteArray payloadWithoutGps();
// The top-level items (payloads) of a concatenated GPMF dump such as a whole extracted track.
std::vector<QByteArray> splitPayloads(const QByteArray &dump);

} // namespace vxtest
