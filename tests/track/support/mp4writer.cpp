#include "mp4writer.h"

#include "gpmfbuilder.h"

#include <QBuffer>
#include <QFile>
#include <algorithm>
#include <tuple>

namespace vxtest {

namespace {

QByteArray box(const char *type, const QByteArray &body) { return be32(uint32_t(8 + body.size())) + type + body; }
QByteArray fullBox(const char *type, const QByteArray &body) { return box(type, be32(0) + body); }
// Creation and modification times, timescale, duration.
QByteArray clockBody(uint32_t timescale, uint32_t duration) { return be32(0) + be32(0) + be32(timescale) + be32(duration); }
uint32_t sampleCount(const TestTrack &t) { return uint32_t(t.samples.empty() ? t.dummySizes.size() : t.samples.size()); }
uint32_t sampleSize(const TestTrack &t, size_t i) { return t.samples.empty() ? t.dummySizes[i] : uint32_t(t.samples[i].size()); }

// Samples per chunk, chunk after chunk, from the track's stsc runs.
std::vector<uint32_t> chunkSampleCounts(const TestTrack &t) {
    uint32_t left = sampleCount(t);
    std::vector<uint32_t> chunks(t.stsc.empty() ? left : 0, 1);
    for (size_t e = 0; !t.stsc.empty() && left > 0; ++e) {
        const TestChunkRun &run = t.stsc[std::min(e, t.stsc.size() - 1)];
        const uint32_t runChunks = e + 1 < t.stsc.size() ? t.stsc[e + 1].firstChunk - run.firstChunk : ~0u;
        for (uint32_t c = 0; c < runChunks && left > 0; ++c) {
            chunks.push_back(std::min(run.samplesPerChunk, left));
            left -= chunks.back();
        }
    }
    return chunks;
}

struct Placed {
    std::vector<std::vector<uint64_t>> chunkOffsets;         // per track
    std::vector<std::tuple<uint64_t, size_t, size_t>> pieces; // every sample's offset, track and index
    uint64_t mdatEnd = 0;
};

// Places the chunks of all tracks in time order after `dataStart`.
Placed place(const TestMovie &m, uint64_t dataStart) {
    std::vector<std::vector<uint32_t>> perTrack;
    std::vector<std::tuple<double, size_t, size_t>> order; // time, track, chunk
    Placed p;
    for (size_t k = 0; k < m.tracks.size(); ++k) {
        perTrack.push_back(chunkSampleCounts(m.tracks[k]));
        p.chunkOffsets.emplace_back(perTrack.back().size());
        for (size_t c = 0; c < perTrack.back().size(); ++c)
            order.push_back({double(c) / double(perTrack.back().size()), k, c});
    }
    std::sort(order.begin(), order.end());
    std::vector<size_t> nextSample(m.tracks.size(), 0);
    uint64_t cursor = dataStart;
    for (const auto &[time, k, c] : order) {
        cursor += m.gapBytes;
        p.chunkOffsets[k][c] = cursor;
        for (uint32_t s = 0; s < perTrack[k][c]; ++s) {
            const size_t i = nextSample[k]++;
            p.pieces.emplace_back(cursor, k, i);
            cursor += sampleSize(m.tracks[k], i);
        }
    }
    p.mdatEnd = cursor;
    return p;
}

QByteArray trak(const TestTrack &t, const std::vector<uint64_t> &chunkOffsets) {
    const uint32_t n = sampleCount(t);
    std::vector<std::pair<uint32_t, uint32_t>> stts = t.stts;
    if (stts.empty())
        stts.push_back({n, t.sampleDelta});
    uint64_t ticks = 0;
    QByteArray sttsBody = be32(uint32_t(stts.size())), stscBody = be32(uint32_t(std::max<size_t>(t.stsc.size(), 1)));
    for (const auto &e : stts) {
        sttsBody += be32(e.first) + be32(e.second);
        ticks += uint64_t(e.first) * e.second;
    }
    for (const TestChunkRun &r : t.stsc.empty() ? std::vector<TestChunkRun>{{1, 1}} : t.stsc)
        stscBody += be32(r.firstChunk) + be32(r.samplesPerChunk) + be32(1);
    QByteArray stsz = be32(t.commonSize && n ? sampleSize(t, 0) : t.commonSize) + be32(n);
    QByteArray co = be32(uint32_t(chunkOffsets.size()));
    for (uint32_t i = 0; i < n && !t.commonSize; ++i)
        stsz += be32(sampleSize(t, i));
    for (uint64_t o : chunkOffsets)
        co += t.co64 ? be64(o) : be32(uint32_t(o));
    const QByteArray stbl = fullBox("stsd", be32(1) + box(t.format.constData(), QByteArray(8, 0)))
                            + (t.writeStts ? fullBox("stts", sttsBody) : QByteArray())
                            + (t.writeStsc ? fullBox("stsc", stscBody) : QByteArray()) + fullBox("stsz", stsz)
                            + fullBox(t.co64 ? "co64" : "stco", co);
    const QByteArray hdlr = fullBox("hdlr", "mhlr" + t.handler + QByteArray(12, 0) + "\tGoPro MET");
    const QByteArray dinf = box("dinf", fullBox("dref", be32(1) + fullBox("url ", QByteArray())));
    const QByteArray minf = box("minf", box("gmhd", fullBox("gmin", QByteArray(12, 0))) + dinf + box("stbl", stbl));
    const QByteArray mdia = box("mdia", fullBox("mdhd", clockBody(t.timescale, uint32_t(ticks)) + be32(0)) + hdlr + minf);
    return box("trak", fullBox("tkhd", QByteArray(80, 0)) + mdia);
}

QByteArray moov(const TestMovie &m, const Placed &p) {
    QByteArray body = fullBox("mvhd", clockBody(90000, 0) + QByteArray(80, 0));
    for (size_t k = 0; k < m.tracks.size(); ++k)
        body += trak(m.tracks[k], p.chunkOffsets[k]);
    return box("moov", body);
}

} // namespace

TestTrack repairDataTrack(int samples) {
    TestTrack t;
    t.format = "fdsc";
    t.samples.assign(size_t(samples), QByteArray(64, 'x'));
    return t;
}

TestMovie movieOf(const std::vector<QByteArray> &payloads, uint32_t sampleDelta) {
    TestMovie m;
    m.tracks.resize(1);
    m.tracks[0].samples = payloads;
    m.tracks[0].sampleDelta = sampleDelta;
    return m;
}

// Gaps and dummy samples are seeked over: zeros in a buffer, holes in a file. There is always room for a 64-bit
// mdat size; the 8 bytes go to a "free" box otherwise.
static bool writeTo(QIODevice &out, const TestMovie &m) {
    const QByteArray ftyp = box("ftyp", "mp41" + be32(0) + "mp41");
    const uint64_t dataStart = uint64_t(ftyp.size() + (m.moovFirst ? moov(m, place(m, 0)).size() : 0) + 16);
    const Placed placed = place(m, dataStart);
    const uint64_t mdatSize = placed.mdatEnd - (dataStart - 16);
    const QByteArray index = moov(m, placed);
    const QByteArray mdat = m.largeMdat || mdatSize > 0xFFFFFFFFull ? be32(1) + "mdat" + be64(mdatSize)
                                                                     : box("free", {}) + be32(uint32_t(mdatSize - 8)) + "mdat";
    const QByteArray head = ftyp + (m.moovFirst ? index : QByteArray()) + mdat;
    bool ok = out.write(head) == head.size();
    for (const auto &[offset, k, i] : placed.pieces) {
        const std::vector<QByteArray> &samples = m.tracks[k].samples;
        if (!samples.empty())
            ok = ok && out.seek(qint64(offset)) && out.write(samples[i]) == samples[i].size();
    }
    return ok && out.seek(qint64(placed.mdatEnd)) && (m.moovFirst || out.write(index) == index.size());
}

QByteArray buildMovie(const TestMovie &movie) {
    QBuffer out;
    return out.open(QIODevice::WriteOnly) && writeTo(out, movie) ? out.data() : QByteArray();
}

bool writeMovie(const TestMovie &movie, const QString &path) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && writeTo(f, movie);
}

int boxOffset(const QByteArray &movie, const char *type, int nth) {
    for (int at = movie.indexOf(QByteArray(type, 4)); at >= 4; at = movie.indexOf(QByteArray(type, 4), at + 4)) {
        if (nth-- == 0)
            return at - 4;
    }
    return -1;
}

void putBe32(QByteArray &movie, int offset, uint32_t v) { movie.replace(offset, 4, be32(v)); }
void putBe64(QByteArray &movie, int offset, uint64_t v) { movie.replace(offset, 8, be64(v)); }

} // namespace vxtest
