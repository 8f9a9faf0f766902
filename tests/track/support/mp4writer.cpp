#include "mp4writer.h"

#include "gpmfbuilder.h"

#include <QFile>
#include <algorithm>

namespace vxtest {

namespace {

QByteArray box(const char *type, const QByteArray &body) {
    return be32(uint32_t(8 + body.size())) + QByteArray(type, 4) + body;
}

QByteArray fullBox(const char *type, const QByteArray &body) { return box(type, be32(0) + body); }

// Creation and modification times, timescale, duration.
QByteArray clockBody(uint32_t timescale, uint32_t duration) {
    return be32(0) + be32(0) + be32(timescale) + be32(duration);
}

uint32_t sampleCount(const TestTrack &t) {
    return uint32_t(t.samples.empty() ? t.dummySizes.size() : t.samples.size());
}

uint32_t sampleSize(const TestTrack &t, size_t i) {
    return t.samples.empty() ? t.dummySizes[i] : uint32_t(t.samples[i].size());
}

// Samples per chunk, chunk after chunk, from the track's stsc runs.
std::vector<uint32_t> chunkSampleCounts(const TestTrack &t) {
    std::vector<uint32_t> chunks;
    uint32_t left = sampleCount(t);
    if (t.stsc.empty()) {
        chunks.assign(left, 1);
        return chunks;
    }
    for (size_t e = 0; left > 0; ++e) {
        const TestChunkRun &run = t.stsc[std::min(e, t.stsc.size() - 1)];
        const uint32_t runChunks = e + 1 < t.stsc.size() ? t.stsc[e + 1].firstChunk - run.firstChunk : ~0u;
        for (uint32_t c = 0; c < runChunks && left > 0; ++c) {
            const uint32_t n = std::min(run.samplesPerChunk, left);
            chunks.push_back(n);
            left -= n;
        }
    }
    return chunks;
}

struct Placed {
    std::vector<std::vector<uint64_t>> chunkOffsets;  // per track
    struct Piece {
        uint64_t offset;
        int track;
        size_t sample;
    };
    std::vector<Piece> pieces;                        // every sample's place
    uint64_t mdatEnd = 0;
};

// Places the chunks of all tracks in time order after `dataStart`.
Placed place(const TestMovie &m, uint64_t dataStart) {
    struct Chunk {
        double time;
        int track;
        size_t index;
    };
    std::vector<std::vector<uint32_t>> perTrack;
    std::vector<Chunk> order;
    for (size_t k = 0; k < m.tracks.size(); ++k) {
        perTrack.push_back(chunkSampleCounts(m.tracks[k]));
        const size_t n = perTrack.back().size();
        for (size_t c = 0; c < n; ++c)
            order.push_back({double(c) / double(n), int(k), c});
    }
    std::stable_sort(order.begin(), order.end(), [](const Chunk &a, const Chunk &b) { return a.time < b.time; });

    Placed p;
    p.chunkOffsets.resize(m.tracks.size());
    std::vector<size_t> nextSample(m.tracks.size(), 0);
    for (size_t k = 0; k < m.tracks.size(); ++k)
        p.chunkOffsets[k].resize(perTrack[k].size());
    uint64_t cursor = dataStart;
    for (const Chunk &c : order) {
        cursor += m.gapBytes;
        p.chunkOffsets[size_t(c.track)][c.index] = cursor;
        const TestTrack &t = m.tracks[size_t(c.track)];
        for (uint32_t s = 0; s < perTrack[size_t(c.track)][c.index]; ++s) {
            const size_t i = nextSample[size_t(c.track)]++;
            p.pieces.push_back({cursor, c.track, i});
            cursor += sampleSize(t, i);
        }
    }
    p.mdatEnd = cursor;
    return p;
}

QByteArray trak(const TestMovie &m, size_t k, const std::vector<uint64_t> &chunkOffsets) {
    const TestTrack &t = m.tracks[k];
    const uint32_t n = sampleCount(t);
    uint64_t ticks = 0;
    QByteArray sttsBody = be32(uint32_t(t.stts.empty() ? 1 : t.stts.size()));
    if (t.stts.empty()) {
        sttsBody += be32(n) + be32(t.sampleDelta);
        ticks = uint64_t(n) * t.sampleDelta;
    }
    for (const auto &e : t.stts) {
        sttsBody += be32(e.first) + be32(e.second);
        ticks += uint64_t(e.first) * e.second;
    }

    QByteArray stbl = fullBox("stsd", be32(1) + box(t.format.constData(), QByteArray(8, 0)));
    if (t.writeStts)
        stbl += fullBox("stts", sttsBody);
    if (t.writeStsc) {
        QByteArray body = be32(uint32_t(t.stsc.empty() ? 1 : t.stsc.size()));
        if (t.stsc.empty())
            body += be32(1) + be32(1) + be32(1);
        for (const TestChunkRun &r : t.stsc)
            body += be32(r.firstChunk) + be32(r.samplesPerChunk) + be32(1);
        stbl += fullBox("stsc", body);
    }
    if (t.commonSize) {
        stbl += fullBox("stsz", be32(n ? sampleSize(t, 0) : 1) + be32(n));
    } else {
        QByteArray body = be32(0) + be32(n);
        for (uint32_t i = 0; i < n; ++i)
            body += be32(sampleSize(t, i));
        stbl += fullBox("stsz", body);
    }
    QByteArray co = be32(uint32_t(chunkOffsets.size()));
    for (uint64_t o : chunkOffsets)
        co += t.co64 ? be64(o) : be32(uint32_t(o));
    stbl += fullBox(t.co64 ? "co64" : "stco", co);

    const QByteArray hdlr = fullBox("hdlr", QByteArray("mhlr") + t.handler + QByteArray(12, 0) + "\tGoPro MET");
    const QByteArray dinf = box("dinf", fullBox("dref", be32(1) + fullBox("url ", QByteArray())));
    const QByteArray minf = box("minf", box("gmhd", fullBox("gmin", QByteArray(12, 0))) + dinf + box("stbl", stbl));
    const QByteArray mdia = box("mdia", fullBox("mdhd", clockBody(t.timescale, uint32_t(ticks)) + be32(0)) + hdlr + minf);
    return box("trak", fullBox("tkhd", QByteArray(80, 0)) + mdia);
}

QByteArray moov(const TestMovie &m, const Placed &p) {
    QByteArray body = fullBox("mvhd", clockBody(m.movieTimescale, 0) + QByteArray(80, 0));
    for (size_t k = 0; k < m.tracks.size(); ++k)
        body += trak(m, k, p.chunkOffsets[k]);
    return box("moov", body);
}

struct Layout {
    QByteArray head;   // ftyp [+ moov] + mdat header
    QByteArray tail;   // moov when it follows the data
    Placed placed;
};

Layout layout(const TestMovie &m) {
    const QByteArray ftyp = box("ftyp", QByteArray("mp41") + be32(0) + "mp41");
    Layout l;
    const int mdatHeader = 16;  // always room for a 64-bit size; 8 unused bytes go to a "free" box otherwise
    QByteArray moovBytes;
    if (m.moovFirst)
        moovBytes = moov(m, place(m, 0));  // same size whatever the offsets
    const uint64_t dataStart = uint64_t(ftyp.size() + moovBytes.size() + mdatHeader);
    l.placed = place(m, dataStart);
    const uint64_t mdatSize = l.placed.mdatEnd - (dataStart - mdatHeader);
    QByteArray mdatHead;
    if (m.largeMdat || mdatSize > 0xFFFFFFFFull)
        mdatHead = be32(1) + "mdat" + be64(mdatSize);
    else
        mdatHead = box("free", QByteArray()) + be32(uint32_t(mdatSize - 8)) + "mdat";
    l.head = ftyp + (m.moovFirst ? moov(m, l.placed) : QByteArray()) + mdatHead;
    if (!m.moovFirst)
        l.tail = moov(m, l.placed);
    return l;
}

} // namespace

TestTrack repairDataTrack(int samples) {
    TestTrack t;
    t.format = "fdsc";
    t.samples.assign(size_t(samples), QByteArray(64, 'x'));
    return t;
}

QByteArray buildMovie(const TestMovie &movie) {
    const Layout l = layout(movie);
    QByteArray out = l.head;
    out.append(QByteArray(int(l.placed.mdatEnd) - out.size(), 0));
    for (const auto &piece : l.placed.pieces) {
        const TestTrack &t = movie.tracks[size_t(piece.track)];
        if (!t.samples.empty())
            out.replace(int(piece.offset), t.samples[piece.sample].size(), t.samples[piece.sample]);
    }
    return out + l.tail;
}

bool writeMovie(const TestMovie &movie, const QString &path) {
    const Layout l = layout(movie);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    bool ok = f.write(l.head) == l.head.size();
    for (const auto &piece : l.placed.pieces) {
        const TestTrack &t = movie.tracks[size_t(piece.track)];
        if (t.samples.empty())
            continue;
        ok = ok && f.seek(qint64(piece.offset)) && f.write(t.samples[piece.sample]) == t.samples[piece.sample].size();
    }
    ok = ok && f.seek(qint64(l.placed.mdatEnd)) && f.write(l.tail) == l.tail.size();
    return ok;
}

int boxOffset(const QByteArray &movie, const char *type, int nth) {
    int from = 0;
    for (;;) {
        const int at = movie.indexOf(QByteArray(type, 4), from);
        if (at < 4)
            return -1;
        if (nth-- == 0)
            return at - 4;
        from = at + 4;
    }
}

void putBe32(QByteArray &movie, int offset, uint32_t v) { movie.replace(offset, 4, be32(v)); }

void putBe64(QByteArray &movie, int offset, uint64_t v) { movie.replace(offset, 8, be64(v)); }

} // namespace vxtest
