#include "gpmfbuilder.h"

#include <cmath>

namespace vxtest {

QByteArray be16(uint16_t v) { return QByteArray(1, char(v >> 8)) + char(v); }
QByteArray be32(uint32_t v) { return be16(uint16_t(v >> 16)) + be16(uint16_t(v)); }
QByteArray be64(uint64_t v) { return be32(uint32_t(v >> 32)) + be32(uint32_t(v)); }

QByteArray int32s(std::initializer_list<int32_t> values) {
    QByteArray b;
    for (int32_t v : values)
        b += be32(uint32_t(v));
    return b;
}

QByteArray klv(const char *key, char type, int structSize, const QByteArray &data, int repeat) {
    if (repeat < 0)
        repeat = structSize ? int(data.size()) / structSize : 0;
    QByteArray item = QByteArray(key, 4) + type + char(structSize) + be16(uint16_t(repeat)) + data;
    return item + QByteArray((4 - item.size() % 4) % 4, 0);
}

QByteArray nest(const char *key, const QByteArray &children) { return klv(key, 0, 1, children, int(children.size())); }

namespace {

int32_t scaled(double v, double divisor) { return int32_t(std::llround(v * divisor)); }

QByteArray device(uint32_t id, const QByteArray &name, const QByteArray &streams) {
    return nest("DEVC", klv("DVID", 'L', 4, be32(id)) + klv("DVNM", 'c', 1, name) + streams);
}

QByteArray position(const GpsFix &f) {
    return int32s({scaled(f.latDeg, 1e7), scaled(f.lonDeg, 1e7), scaled(f.altitudeM, 1e3)});
}

QByteArray samplesHead(size_t n) { return klv("TSMP", 'L', 4, be32(uint32_t(n))); }

} // namespace

QByteArray gps5Payload(const std::vector<GpsFix> &fixes) {
    QByteArray samples;
    for (const GpsFix &f : fixes)
        samples += position(f) + int32s({scaled(f.speed2dMs, 1e3), scaled(f.speed3dMs, 1e2)});
    return device(1, "Camera", nest("STRM", samplesHead(fixes.size())
                                                + klv("STNM", 'c', 1, "GPS (Lat., Long., Alt., 2D speed, 3D speed)")
                                                + klv("SCAL", 'l', 4, int32s({10000000, 10000000, 1000, 1000, 100}))
                                                + klv("GPS5", 'l', 20, samples, int(fixes.size()))));
}

QByteArray gps9Payload(const std::vector<GpsFix> &fixes) {
    QByteArray samples;
    for (const GpsFix &f : fixes)
        samples += position(f) + int32s({scaled(f.speed2dMs, 1e3), scaled(f.speed3dMs, 1e2), 9171, 40452799})
                   + be16(396) + be16(3);
    return device(1, "HERO13 Black", nest("STRM", samplesHead(fixes.size()) + klv("TYPE", 'c', 1, "lllllllSS")
                                   + klv("SCAL", 'l', 4, int32s({10000000, 10000000, 1000, 1000, 100, 1, 1000, 100, 1}))
                                   + klv("GPS9", '?', 32, samples, int(fixes.size()))));
}

QByteArray payloadWithoutGps() {
    return device(1, "Camera", nest("STRM", klv("SCAL", 's', 2, be16(418)) + klv("ACCL", 's', 6, QByteArray(24, '\x01'))));
}

std::vector<QByteArray> splitPayloads(const QByteArray &dump) {
    std::vector<QByteArray> out;
    for (int pos = 0, bytes = 0; pos + 8 <= dump.size(); pos += bytes) {
        bytes = 8 + ((uint8_t(dump[pos + 5]) * (uint8_t(dump[pos + 6]) << 8 | uint8_t(dump[pos + 7])) + 3) & ~3);
        out.push_back(dump.mid(pos, bytes));
    }
    return out;
}

} // namespace vxtest
