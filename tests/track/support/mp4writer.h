// A small MP4 writer for the tests and the benchmark: ftyp, one mdat holding
// the chunks of every track interleaved in time order, and a moov index with
// one trak per track (tkhd, mdia{mdhd, hdlr, minf{dinf, stbl{stsd, stts,
// stsc, stsz, stco|co64}}}).
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace vxtest {

struct TestChunkRun {
    uint32_t firstChunk;       // from 1
    uint32_t samplesPerChunk;
};

struct TestTrack {
    QByteArray handler = "meta";
    QByteArray format = "gpmd";
    // Sample data; or, when empty, `dummySizes` samples whose bytes are left
    // as zeros (in memory) or as holes (on disk).
    std::vector<QByteArray> samples;
    std::vector<uint32_t> dummySizes;
    uint32_t timescale = 1000;
    // stts entries (count, delta); empty = every sample lasts `sampleDelta`.
    std::vector<std::pair<uint32_t, uint32_t>> stts;
    uint32_t sampleDelta = 1000;
    bool writeStts = true;
    // stsc entries; empty = no stsc box (one sample per chunk).
    std::vector<TestChunkRun> stsc;
    bool writeStsc = true;
    bool co64 = false;
    // A common size in stsz instead of the table (all samples must match).
    bool commonSize = false;
};

// A second "meta" track of another format: the cameras' file-repair data
// ("fdsc"), `samples` samples of 64 bytes.
TestTrack repairDataTrack(int samples = 1);

struct TestMovie {
    std::vector<TestTrack> tracks;
    uint64_t gapBytes = 24;     // dummy bytes before each chunk in mdat
    bool largeMdat = false;     // mdat with a 64-bit size
    bool moovFirst = false;     // index before the media data
    uint32_t movieTimescale = 90000;
};

// The whole movie in memory.
QByteArray buildMovie(const TestMovie &movie);
// Written to `path`: the index and the real samples; gaps and dummy samples
// are holes, so a movie of gigabytes costs only its payloads and index.
bool writeMovie(const TestMovie &movie, const QString &path);

// Offset of the nth box header of `type` in `movie` (a plain search: the
// tests' payloads never spell box types), or -1.
int boxOffset(const QByteArray &movie, const char *type, int nth = 0);
// Overwrites a big-endian uint32 / uint64 at `offset`.
void putBe32(QByteArray &movie, int offset, uint32_t v);
void putBe64(QByteArray &movie, int offset, uint64_t v);

} // namespace vxtest
