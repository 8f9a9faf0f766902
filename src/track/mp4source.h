// MP4 index reader for one timed metadata track (GoPro's "meta" track whose
// samples are GPMF payloads).
//
// Format read: an MP4/QuickTime file is a tree of boxes. Each box starts with
// a big-endian uint32 size and a four-character type; a size of 1 means a
// big-endian uint64 size follows (16-byte header). The walk enters only the
// containers on the way to the sample tables ("moov", "trak", "mdia",
// "minf", "dinf", "stbl", "alis", "gmin") and skips every other box by its
// size, so only the index is read, never the media data. From the tree it
// takes the movie clock ("mvhd"), each track's clock ("mdhd"), the track's
// handler ("hdlr" in "mdia"), the format of its first sample description
// ("stsd"), and for the wanted track the sample sizes ("stsz"), the
// sample-to-chunk table ("stsc"), the sample durations ("stts") and the
// chunk offsets ("stco" 32-bit or "co64" 64-bit). The chunk offsets are
// expanded into one file offset per sample (payload).
//
// Every count and size read from the file is checked against the bytes of
// its box and of the file before anything is allocated; tables are capped at
// MAX_SAMPLES entries and a payload read at MAX_PAYLOAD_BYTES. Reads are
// seek + bounded read on an unbuffered device; the whole file is never read
// or mapped.
#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class QIODevice;

namespace vx {

// A four-character code as its big-endian uint32 ("gpmd" -> 0x67706d64).
constexpr uint32_t fourCC(const char (&code)[5])
{
    return uint32_t(uint8_t(code[0])) << 24 | uint32_t(uint8_t(code[1])) << 16
           | uint32_t(uint8_t(code[2])) << 8 | uint32_t(uint8_t(code[3]));
}

// A clock of the index: ticks per second and a duration in ticks.
struct Mp4Clock {
    uint32_t timescale = 0;
    uint64_t duration = 0;
};

// One entry of the sample-to-chunk table (chunk numbers count from 1).
struct Mp4ChunkEntry {
    uint32_t firstChunk = 0;
    uint32_t samplesPerChunk = 0;
    uint32_t descriptionIndex = 0;
};

class Mp4Source {
public:
    // At most this many samples (payloads), chunks or table entries are
    // taken from one table: about 12 days of one-second payloads.
    static constexpr uint32_t MAX_SAMPLES = 1u << 20;
    // A payload larger than this is not read (GPMF payloads are kilobytes).
    static constexpr uint32_t MAX_PAYLOAD_BYTES = 16u << 20;
    // The walk ends rather than enter a container deeper than this.
    static constexpr int MAX_BOX_DEPTH = 18;
    // ... or visit more boxes than this (an index has thousands at most; a
    // flood of tiny boxes would otherwise cost one read each).
    static constexpr uint32_t MAX_BOXES = 1u << 20;

    // Opens the movie and walks its index for the first track whose handler
    // is `trackType` and whose first sample description is `format`. None
    // when the file cannot be opened or holds no such track.
    static std::unique_ptr<Mp4Source> open(const QString &path, uint32_t trackType = fourCC("meta"),
                                           uint32_t format = fourCC("gpmd"));
    // The same over an open, seekable device (the source takes it over).
    static std::unique_ptr<Mp4Source> open(std::unique_ptr<QIODevice> device,
                                           uint32_t trackType = fourCC("meta"),
                                           uint32_t format = fourCC("gpmd"));
    ~Mp4Source();
    Mp4Source(const Mp4Source &) = delete;
    Mp4Source &operator=(const Mp4Source &) = delete;

    // Length of the metadata track from its sample durations, seconds; 0
    // when it has none.
    double metadataLengthS() const { return metadataLengthS_; }
    uint32_t payloadCount() const { return uint32_t(offsets_.size()); }
    // Size in bytes of payload `index`; 0 beyond the count.
    uint32_t payloadSize(uint32_t index) const;
    // File offset of payload `index`; 0 beyond the count.
    uint64_t payloadOffset(uint32_t index) const;
    // Reads payload `index` into `buffer` (resized to the payload size).
    // False beyond the count, for a payload that lies past the end of the
    // file or is larger than MAX_PAYLOAD_BYTES, or when the read fails.
    bool readPayload(uint32_t index, std::vector<uint8_t> &buffer);
    // Start and end of payload `index` in seconds from the track start,
    // from the sample durations of the time-to-sample table (payloads past
    // the table last as long as its last entry says). False when the track
    // has no timing.
    bool payloadTime(uint32_t index, double *startS, double *endS) const;
    void close();

    const Mp4Clock &movieClock() const { return movieClock_; }
    const Mp4Clock &trackClock() const { return trackClock_; }
    const Mp4Clock &metadataClock() const { return metadataClock_; }
    // duration ÷ timescale of the first "mdhd" of the file, seconds.
    double firstTrackLengthS() const { return firstTrackLengthS_; }
    // Average metadata sample duration in metadata clock ticks.
    double averageSampleTicks() const { return averageTicks_; }
    const std::vector<Mp4ChunkEntry> &sampleToChunk() const { return stsc_; }
    uint64_t fileSize() const { return fileSize_; }
    // Bytes read from the file so far (index walk and payloads).
    uint64_t bytesRead() const { return bytesRead_; }

private:
    struct TrackTables;
    // A run of the time-to-sample table: `count` samples of `delta` ticks
    // each, the first of them at sample `firstSample`, `startTicks` after the
    // track start.
    struct TimeRun {
        uint64_t firstSample;
        uint64_t startTicks;
        uint32_t count;
        uint32_t delta;
    };
    Mp4Source() = default;
    bool walk(uint32_t trackType, uint32_t format);
    bool readAt(uint64_t offset, void *dst, uint64_t bytes);
    void readClock(uint64_t body, uint64_t bodyBytes, Mp4Clock *clock);
    void readTable(uint32_t type, uint64_t body, uint64_t bodyBytes, TrackTables &t);
    void commitTrack(TrackTables &t);

    std::unique_ptr<QIODevice> file_;
    uint64_t fileSize_ = 0;
    uint64_t bytesRead_ = 0;

    std::vector<uint32_t> sizes_;          // per-sample sizes (empty with a common size)
    uint32_t commonSize_ = 0;              // every sample's size when sizes_ is empty
    std::vector<uint64_t> offsets_;        // one per payload
    std::vector<Mp4ChunkEntry> stsc_;
    std::vector<TimeRun> timeRuns_;        // the runs of "stts" that hold samples
    Mp4Clock movieClock_;
    Mp4Clock trackClock_;
    Mp4Clock metadataClock_;
    double firstTrackLengthS_ = 0;
    bool firstMdhdSeen_ = false;
    double metadataLengthS_ = 0;
    double averageTicks_ = 0;
    bool trackFound_ = false;
};

} // namespace vx
