// The box walk of the MP4 index and the per-payload offsets, sizes and times
// of the metadata track (format notes in mp4source.h).
#include "mp4source.h"

#include <QFile>
#include <QIODevice>

#include <algorithm>
#include <limits>

namespace vx {

namespace {

uint32_t be32(const uint8_t *p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

uint64_t be64(const uint8_t *p) { return uint64_t(be32(p)) << 32 | be32(p + 4); }

// A box type is four printable characters (letters, digits, punctuation,
// space, or the copyright sign of QuickTime's user-data keys). Anything else
// means the box just entered was not a container after all.
bool validBoxType(uint32_t type)
{
    for (int shift = 24; shift >= 0; shift -= 8) {
        const uint32_t c = (type >> shift) & 0xFF;
        if ((c < 0x20 || c > 0x7E) && c != 0xA9)
            return false;
    }
    return true;
}

bool isContainer(uint32_t type)
{
    switch (type) {
    case fourCC("moov"):
    case fourCC("trak"):
    case fourCC("mdia"):
    case fourCC("minf"):
    case fourCC("dinf"):
    case fourCC("stbl"):
    case fourCC("alis"):
    case fourCC("gmin"):
        return true;
    default:
        return false;
    }
}

uint64_t addSaturated(uint64_t a, uint64_t b)
{
    return a > std::numeric_limits<uint64_t>::max() - b ? std::numeric_limits<uint64_t>::max() : a + b;
}

} // namespace

// What the walk collects for the track it is in; committed when the track's
// box closes and it turns out to be the wanted one.
struct Mp4Source::TrackTables {
    uint32_t handler = 0;
    uint32_t format = 0;
    bool rejected = false;  // a description of another format
    Mp4Clock clock;

    bool hasStsz = false;
    uint32_t commonSize = 0;
    uint32_t sampleCount = 0;
    std::vector<uint32_t> sizes;

    std::vector<Mp4ChunkEntry> stsc;

    bool hasStts = false;
    uint64_t sttsSamples = 0;
    double lengthS = 0;
    std::vector<TimeRun> runs;

    bool hasChunks = false;
    std::vector<uint64_t> chunks;
};

Mp4Source::~Mp4Source() = default;

std::unique_ptr<Mp4Source> Mp4Source::open(const QString &path, uint32_t trackType, uint32_t format)
{
    if (path.isEmpty())
        return nullptr;
    auto file = std::make_unique<QFile>(path);
    // Unbuffered: every read goes to the file as asked, without read-ahead.
    if (!file->open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return nullptr;
    return open(std::move(file), trackType, format);
}

std::unique_ptr<Mp4Source> Mp4Source::open(std::unique_ptr<QIODevice> device, uint32_t trackType,
                                           uint32_t format)
{
    if (!device || !device->isOpen() || device->isSequential())
        return nullptr;
    std::unique_ptr<Mp4Source> source(new Mp4Source);
    source->fileSize_ = uint64_t(std::max<qint64>(device->size(), 0));
    source->file_ = std::move(device);
    if (!source->walk(trackType, format))
        return nullptr;
    return source;
}

void Mp4Source::close() { file_.reset(); }

bool Mp4Source::readAt(uint64_t offset, void *dst, uint64_t bytes)
{
    if (!file_ || offset > fileSize_ || bytes > fileSize_ - offset)
        return false;
    if (bytes == 0)
        return true;
    if (!file_->seek(qint64(offset)))
        return false;
    const qint64 n = file_->read(static_cast<char *>(dst), qint64(bytes));
    if (n > 0)
        bytesRead_ += uint64_t(n);
    return n == qint64(bytes);
}

bool Mp4Source::walk(uint32_t trackType, uint32_t format)
{
    struct Level {
        uint32_t type;
        uint64_t end;
    };
    std::vector<Level> levels{{0, fileSize_}};
    TrackTables trak;
    bool inTrak = false;
    uint64_t pos = 0;
    uint32_t boxes = 0;

    auto closeLevel = [&] {
        if (levels.back().type == fourCC("trak") && inTrak) {
            inTrak = false;
            if (trak.handler == trackType && trak.format == format && !trak.rejected)
                commitTrack(trak);
        }
        pos = levels.back().end;
        levels.pop_back();
    };

    for (;;) {
        const uint64_t end = levels.back().end;
        if (end - pos < 8) {
            if (levels.size() == 1)
                break;
            closeLevel();
            continue;
        }
        uint8_t h[16];
        if (++boxes > MAX_BOXES || !readAt(pos, h, 8))
            break;
        uint64_t size = be32(h);
        const uint32_t type = be32(h + 4);
        uint64_t headerBytes = 8;
        if (!validBoxType(type)) {
            // The box just entered was not a container: leave it.
            if (levels.size() == 1)
                break;
            closeLevel();
            continue;
        }
        if (size == 1) {
            if (end - pos < 16 || !readAt(pos + 8, h + 8, 8))
                break;
            size = be64(h + 8);
            headerBytes = 16;
        }
        // Sizes under a header (0 = "up to the end of the file") end the walk.
        if (size < headerBytes)
            break;
        // A box reaching past its parent or the file is cut at their end.
        const uint64_t boxEnd = size > end - pos ? end : pos + size;
        const uint64_t body = pos + headerBytes;
        const uint64_t bodyBytes = boxEnd - body;

        if (isContainer(type)) {
            if (int(levels.size()) > MAX_BOX_DEPTH)
                break;
            if (type == fourCC("trak")) {
                trak = TrackTables();
                inTrak = true;
            }
            levels.push_back({type, boxEnd});
            pos = body;
            continue;
        }

        switch (type) {
        case fourCC("mvhd"):
            readClock(body, bodyBytes, &movieClock_);
            break;
        case fourCC("mdhd"): {
            Mp4Clock clock;
            readClock(body, bodyBytes, &clock);
            trackClock_ = clock;
            if (inTrak)
                trak.clock = clock;
            if (!firstMdhdSeen_) {
                firstMdhdSeen_ = true;
                firstTrackLengthS_ = clock.timescale ? double(clock.duration) / clock.timescale : 0;
            }
            break;
        }
        case fourCC("hdlr"):
            // The media handler; a data handler ("alis") inside "minf" of
            // QuickTime files does not name the track's kind.
            if (inTrak && levels.back().type == fourCC("mdia") && bodyBytes >= 12 && readAt(body, h, 12)) {
                const uint32_t subtype = be32(h + 8);
                if (subtype != fourCC("alis"))
                    trak.handler = subtype;
            }
            break;
        case fourCC("stsd"):
            if (inTrak && trak.handler == trackType) {
                if (bodyBytes >= 16 && readAt(body, h, 16) && be32(h + 4) > 0 && be32(h + 12) == format)
                    trak.format = format;
                else
                    trak.rejected = true;  // another kind of metadata (e.g. "fdsc")
            }
            break;
        case fourCC("stsz"):
        case fourCC("stsc"):
        case fourCC("stts"):
        case fourCC("stco"):
        case fourCC("co64"):
            if (inTrak && trak.handler == trackType && !trak.rejected)
                readTable(type, body, bodyBytes, trak);
            break;
        default:
            break;
        }
        pos = boxEnd;
    }
    while (levels.size() > 1)
        closeLevel();
    return trackFound_;
}

void Mp4Source::readClock(uint64_t body, uint64_t bodyBytes, Mp4Clock *clock)
{
    // version/flags, creation and modification times (32 or 64 bits by
    // version), timescale, duration (32 or 64 bits).
    uint8_t b[32];
    if (bodyBytes < 20 || !readAt(body, b, std::min<uint64_t>(bodyBytes, 32)))
        return;
    if (b[0] == 1) {
        if (bodyBytes < 32)
            return;
        clock->timescale = be32(b + 20);
        clock->duration = be64(b + 24);
    } else {
        clock->timescale = be32(b + 12);
        clock->duration = be32(b + 16);
    }
}

void Mp4Source::readTable(uint32_t type, uint64_t body, uint64_t bodyBytes, TrackTables &t)
{
    // version/flags, ["stsz": common size], entry count, entries.
    const uint64_t headerBytes = type == fourCC("stsz") ? 12 : 8;
    uint8_t h[12];
    if (bodyBytes < headerBytes || !readAt(body, h, headerBytes))
        return;
    const uint32_t count = be32(h + headerBytes - 4);
    if (count > MAX_SAMPLES)
        return;

    if (type == fourCC("stsz") && be32(h + 4) != 0) {
        t.hasStsz = true;
        t.commonSize = be32(h + 4);
        t.sampleCount = count;
        t.sizes.clear();
        return;
    }

    uint64_t entryBytes = 4;
    if (type == fourCC("stsc"))
        entryBytes = 12;
    else if (type == fourCC("stts") || type == fourCC("co64"))
        entryBytes = 8;
    // The declared count must fit in the box (and so in the file).
    if (uint64_t(count) * entryBytes > bodyBytes - headerBytes)
        return;
    std::vector<uint8_t> raw(size_t(count * entryBytes));
    if (!readAt(body + headerBytes, raw.data(), raw.size()))
        return;
    const uint8_t *p = raw.data();

    switch (type) {
    case fourCC("stsz"):
        t.hasStsz = true;
        t.commonSize = 0;
        t.sampleCount = count;
        t.sizes.resize(count);
        for (uint32_t i = 0; i < count; ++i)
            t.sizes[i] = be32(p + 4 * i);
        break;
    case fourCC("stsc"):
        t.stsc.resize(count);
        for (uint32_t i = 0; i < count; ++i)
            t.stsc[i] = {be32(p + 12 * i), be32(p + 12 * i + 4), be32(p + 12 * i + 8)};
        // One entry of one sample per chunk says nothing: every chunk is a sample.
        if (count == 1 && t.stsc[0].samplesPerChunk == 1)
            t.stsc.clear();
        break;
    case fourCC("stts"):
        t.hasStts = true;
        t.sttsSamples = 0;
        t.lengthS = 0;
        t.runs.clear();
        {
            uint64_t ticks = 0;
            for (uint32_t i = 0; i < count; ++i) {
                const uint32_t samples = be32(p + 8 * i);
                const uint32_t delta = be32(p + 8 * i + 4);
                // 2^32 entries of 2^32 samples of 2^32 ticks stay below 2^96:
                // the tick count saturates rather than wrap.
                if (samples > 0)
                    t.runs.push_back({t.sttsSamples, ticks, samples, delta});
                t.sttsSamples += samples;
                ticks = addSaturated(ticks, std::min<uint64_t>(uint64_t(samples) * delta,
                                                               std::numeric_limits<uint64_t>::max()));
                if (t.clock.timescale)
                    t.lengthS += double(samples) * delta / t.clock.timescale;
            }
        }
        break;
    case fourCC("stco"):
    case fourCC("co64"):
        t.hasChunks = true;
        t.chunks.resize(count);
        for (uint32_t i = 0; i < count; ++i)
            t.chunks[i] = type == fourCC("co64") ? be64(p + 8 * i) : be32(p + 4 * i);
        break;
    default:
        break;
    }
}

void Mp4Source::commitTrack(TrackTables &t)
{
    if (trackFound_)
        return;  // the first such track is the one read
    trackFound_ = true;

    if (t.hasStts) {
        metadataClock_ = t.clock;
        metadataLengthS_ = t.lengthS;
        if (t.sttsSamples > 0 && t.clock.timescale)
            averageTicks_ = t.clock.timescale * metadataLengthS_ / double(t.sttsSamples);
        timeRuns_ = std::move(t.runs);
    }
    stsc_ = std::move(t.stsc);
    if (!t.hasStsz || !t.hasChunks)
        return;  // no payload can be located

    sizes_ = std::move(t.sizes);
    commonSize_ = t.commonSize;
    const uint32_t samples = t.sampleCount;
    const auto &chunks = t.chunks;

    if (stsc_.empty() || chunks.size() == samples) {
        // One payload per chunk.
        offsets_.assign(chunks.begin(), chunks.begin() + std::min<size_t>(chunks.size(), samples));
        return;
    }

    // Several samples per chunk: a sample starts its chunk or follows the
    // sample before it. Every entry of the table is honoured: entry e gives
    // the samples per chunk from its first chunk up to the next entry's.
    for (size_t e = 0; e < stsc_.size(); ++e) {
        const bool ordered = e == 0 ? stsc_[0].firstChunk == 1 : stsc_[e].firstChunk > stsc_[e - 1].firstChunk;
        if (!ordered || stsc_[e].samplesPerChunk == 0)
            return;  // a broken table: no payload is trusted
    }
    offsets_.reserve(samples);
    uint32_t k = 0;
    for (size_t e = 0; e < stsc_.size() && k < samples; ++e) {
        const uint64_t lastChunk =
            e + 1 < stsc_.size() ? uint64_t(stsc_[e + 1].firstChunk) - 1 : uint64_t(chunks.size());
        for (uint64_t c = stsc_[e].firstChunk; c <= lastChunk && c <= chunks.size() && k < samples; ++c) {
            uint64_t offset = chunks[size_t(c - 1)];
            for (uint32_t j = 0; j < stsc_[e].samplesPerChunk && k < samples; ++j, ++k) {
                offsets_.push_back(offset);
                offset = addSaturated(offset, payloadSize(k));
            }
        }
    }
}

uint32_t Mp4Source::payloadSize(uint32_t index) const
{
    if (!sizes_.empty())
        return index < sizes_.size() ? sizes_[index] : 0;
    return commonSize_;
}

uint64_t Mp4Source::payloadOffset(uint32_t index) const
{
    return index < offsets_.size() ? offsets_[index] : 0;
}

bool Mp4Source::readPayload(uint32_t index, std::vector<uint8_t> &buffer)
{
    buffer.clear();
    if (index >= payloadCount())
        return false;
    const uint32_t size = payloadSize(index);
    const uint64_t offset = offsets_[index];
    if (size > MAX_PAYLOAD_BYTES || offset > fileSize_ || size > fileSize_ - offset)
        return false;
    buffer.resize(size);
    if (!readAt(offset, buffer.data(), size)) {
        buffer.clear();
        return false;
    }
    return true;
}

bool Mp4Source::payloadTime(uint32_t index, double *startS, double *endS) const
{
    if (index >= payloadCount() || metadataClock_.timescale == 0 || !(averageTicks_ > 0) || timeRuns_.empty())
        return false;
    // The run holding the sample: the last one starting at or before it.
    const auto after = std::upper_bound(timeRuns_.begin(), timeRuns_.end(), uint64_t(index),
                                        [](uint64_t sample, const TimeRun &r) { return sample < r.firstSample; });
    const TimeRun &run = *(after - 1);
    // Whole ticks are summed exactly; only the last step divides.
    const double start = double(run.startTicks) + double(index - run.firstSample) * run.delta;
    *startS = start / metadataClock_.timescale;
    *endS = (start + run.delta) / metadataClock_.timescale;
    return true;
}

} // namespace vx
