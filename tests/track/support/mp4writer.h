// A small MP4 writer for the tests and the benchmark: ftyp, one mdat with the
// chunks of all tracks interleaved in time order, and a moov index with one
// trak per track (tkhd, mdia{mdhd, hdlr, minf{dinf, stbl{stsd, stts, stsc, stsz, stco|co64}}}).
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace vxtest {

struct TestChunkRun {
    uint32_t firstChunk, samplesPerChunk; // chunks counted from 1
};

struct TestTrack {
    QByteArray handler = "meta", format = "gpmd";
    // Sample data; when empty, `dummySizes` samples of zeros (in memory) or holes (on disk).
    std::vector<QByteArray> samples;
    std::vector<uint32_t> dummySizes;
    uint32_t timescale = 1000;
    std::vector<std::pair<uint32_t, uint32_t>> stts; // (count, delta); empty: every sample lasts sampleDelta
    uint32_t sampleDelta = 1000;
    std::vector<TestChunkRun> stsc; // empty: one sample per chunk
    bool writeStts = true, writeStsc = true, co64 = false;
    bool commonSize = false; // one size in stsz instead of the table (all samples must match)
};

// A second "meta" track of the cameras' file-repair data ("fdsc"), `samples` samples of 64 bytes.
TestTrack repairDataTrack(int samples = 1);

struct TestMovie {
    std::vector<TestTrack> tracks;
    uint64_t gapBytes = 24; // dummy bytes before each chunk in mdat
    bool largeMdat = false; // mdat with a 64-bit size
    bool moovFirst = false; // index before the media data
};

// A movie of one "gpmd" track holding `payloads`, each lasting `sampleDelta` ms.
TestMovie movieOf(const std::vector<QByteArray> &payloads, uint32_t sampleDelta = 1000);
QByteArray buildMovie(const TestMovie &movie);
// Written to `path` with gaps and dummy samples as holes: a movie of gigabytes costs its payloads and index.
bool writeMovie(const TestMovie &movie, const QString &path);
// Offset of the nth box header of `type` (a plain search: payloads never spell box types), or -1.
int boxOffset(const QByteArray &movie, const char *type, int nth = 0);
void putBe32(QByteArray &movie, int offset, uint32_t v);
void putBe64(QByteArray &movie, int offset, uint64_t v);

} // namespace vxtest
