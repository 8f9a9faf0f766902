#include "gpmfbuilder.h"

#include <cmath>

namespace vxtest {

QByteArray be16(uint16_t v) {
    QByteArray b(2, 0);
    b[0] = char(v >> 8);
    b[1] = char(v);
    return b;
}

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
    QByteArray item(key, 4);
    item += char(type);
    item += char(structSize);
    item += be16(uint16_t(repeat));
    item += data;
    while (item.size() % 4)
        item += char(0);
    return item;
}

QByteArray nest(const char *key, const QByteArray &children) {
    return klv(key, 0, 1, children, int(children.size()));
}

namespace {

int32_t scaled(double v, double divisor) { return int32_t(std::llround(v * divisor)); }

QByteArray device(uint32_t id, const QByteArray &name, const QByteArray &streams) {
    return nest("DEVC", klv("DVID", 'L', 4, be32(id)) + klv("DVNM", 'c', 1, name) + streams);
}

} // namespace

QByteArray gps5Payload(const std::vector<GpsFix> &fixes, bool seaLevelHeights) {
    QByteArray samples;
    for (const GpsFix &f : fixes)
        samples += int32s({scaled(f.latDeg, 1e7), scaled(f.lonDeg, 1e7), scaled(f.altitudeM, 1e3),
                           scaled(f.speed2dMs, 1e3), scaled(f.speed3dMs, 1e2)});
    QByteArray stream = klv("TSMP", 'L', 4, be32(uint32_t(fixes.size())))
                        + klv("STNM", 'c', 1, "GPS (Lat., Long., Alt., 2D speed, 3D speed)")
                        + klv("SCAL", 'l', 4, int32s({10000000, 10000000, 1000, 1000, 100}));
    if (seaLevelHeights)
        stream += klv("GPSA", 'F', 4, "MSLV");
    stream += klv("GPS5", 'l', 20, samples, int(fixes.size()));
    return device(1, "Camera", nest("STRM", stream));
}

QByteArray gps9Payload(const std::vector<GpsFix> &fixes) {
    QByteArray samples;
    for (const GpsFix &f : fixes) {
        samples += int32s({scaled(f.latDeg, 1e7), scaled(f.lonDeg, 1e7), scaled(f.altitudeM, 1e3),
                           scaled(f.speed2dMs, 1e3), scaled(f.speed3dMs, 1e2), 9171, 40452799});
        samples += be16(396) + be16(3);
    }
    const QByteArray stream = klv("TSMP", 'L', 4, be32(uint32_t(fixes.size())))
                              + klv("TYPE", 'c', 1, "lllllllSS")
                              + klv("SCAL", 'l', 4, int32s({10000000, 10000000, 1000, 1000, 100, 1, 1000, 100, 1}))
                              + klv("GPS9", '?', 32, samples, int(fixes.size()));
    return device(1, "HERO13 Black", nest("STRM", stream));
}

QByteArray gpriPayload(const std::vector<GpsFix> &fixes) {
    QByteArray samples;
    uint64_t timeUs = 145911705;
    for (const GpsFix &f : fixes) {
        samples += be64(timeUs) + int32s({scaled(f.latDeg, 1e7), scaled(f.lonDeg, 1e7), scaled(f.altitudeM, 1e3)});
        samples += be16(25) + be16(42) + be16(uint16_t(std::lround(f.speed2dMs * 100))) + be16(33435);
        samples += char(3);
        samples += char(20);
        timeUs += 200000;
    }
    const QByteArray stream = klv("TSMP", 'L', 4, be32(uint32_t(fixes.size())))
                              + klv("STNM", 'c', 1, "GPS RAW") + klv("TYPE", 'c', 1, "JlllSSSSBB")
                              + klv("SCAL", 'l', 4, int32s({1000000, 10000000, 10000000, 1000, 100, 100, 100, 100, 1, 1}))
                              + klv("GPRI", '?', 30, samples, int(fixes.size()));
    return device(1, "Camera", nest("STRM", klv("TSMP", 'L', 4, be32(1))))
           + device(16835857, "GoPro Karma v1.0", nest("STRM", stream));
}

QByteArray payloadWithoutGps() {
    const QByteArray accl = klv("SCAL", 's', 2, be16(418)) + klv("ACCL", 's', 6, QByteArray(6 * 4, '\x01'));
    return device(1, "Camera", nest("STRM", accl));
}

std::vector<QByteArray> splitPayloads(const QByteArray &dump) {
    std::vector<QByteArray> out;
    int pos = 0;
    while (pos + 8 <= dump.size()) {
        const int size = uint8_t(dump[pos + 5]);
        const int repeat = uint8_t(dump[pos + 6]) << 8 | uint8_t(dump[pos + 7]);
        const int bytes = 8 + ((size * repeat + 3) & ~3);
        out.push_back(dump.mid(pos, bytes));
        pos += bytes;
    }
    return out;
}

} // namespace vxtest
