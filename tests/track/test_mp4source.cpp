// The MP4 index reader: the two real movies, every sample-table layout the writer makes, broken variants.
#include "gpmfbuilder.h"
#include "mp4writer.h"
#include "support/testsupport.h"
#include "track/mp4source.h"

#include <QtTest>

using namespace vx;
using namespace vxtest;

using SttsRuns = std::vector<std::pair<uint32_t, uint32_t>>;  // (sample count, duration in ticks)
Q_DECLARE_METATYPE(SttsRuns)

namespace {

std::unique_ptr<Mp4Source> openBytes(const QByteArray &movie) {
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(movie);
    buffer->open(QIODevice::ReadOnly);
    return Mp4Source::open(std::move(buffer));
}

// Payloads of different sizes (1 … n fixes).
std::vector<QByteArray> payloads(int n = 7) {
    std::vector<QByteArray> out;
    for (int i = 0; i < n; ++i)
        out.push_back(gps5Payload(std::vector<GpsFix>(size_t(i) + 1, {47.0 + i * 0.001, 8.0 + i * 0.001, 400.0 + i, 3.0, 3.5})));
    return out;
}

QByteArray bytes(const std::vector<uint8_t> &b) { return QByteArray(reinterpret_cast<const char *>(b.data()), int(b.size())); }

// One character per payload: "=" as written, "x" unreadable, "0" empty, "?" other bytes; `all` gets the bytes.
QString readBack(Mp4Source &source, const std::vector<QByteArray> &written, QByteArray *all = nullptr) {
    QString out;
    std::vector<uint8_t> buffer(1);
    for (uint32_t i = 0; i <= source.payloadCount(); ++i) {
        const bool ok = source.readPayload(i, buffer);
        if (i == source.payloadCount())
            return ok || !buffer.empty() ? out + " read past the count" : out;
        if (all)
            *all += bytes(buffer);
        const bool same = ok && i < written.size() && bytes(buffer) == written[i];
        out += !ok ? (buffer.empty() ? 'x' : '!') : buffer.empty() ? '0' : same ? '=' : '?';
    }
    return out;
}

QString times(const Mp4Source &source, uint32_t n) {
    QString out;
    for (uint32_t i = 0; i < n; ++i) {
        double start = 0, end = 0;
        out += source.payloadTime(i, &start, &end) ? QString("%1-%2 ").arg(start, 0, 'g', 12).arg(end, 0, 'g', 12) : "? ";
    }
    return out;
}

// Adds `delta` to the sizes of the first box of each of `types`.
void growBoxes(QByteArray &movie, int delta, std::initializer_list<const char *> types) {
    for (const char *type : types) {
        const int at = boxOffset(movie, type);
        putBe32(movie, at, qFromBigEndian<quint32>(movie.constData() + at) + uint32_t(delta));
    }
}

} // namespace

class TestMp4Source : public QObject {
    Q_OBJECT

private slots:
    // karma.mp4: the payloads are byte for byte the track the media tool extracts; only index and payloads are read.
    // max-heromode.mp4: ten payloads of 1.001 s and one of 0.533 s, timed from the durations before each, not the
    // average; its "fdsc" meta track is found only when asked for.
    void realMovies() {
        auto source = Mp4Source::open(dataPath("gpmf/karma.mp4"));
        QVERIFY(source);
        QCOMPARE(QString("%1 %2 %3").arg(source->payloadCount()).arg(source->payloadSize(0)).arg(source->payloadOffset(0), 0, 16),
                 "13 7768 4ef35");
        QByteArray all;
        QCOMPARE(readBack(*source, {}, &all), QString(13, '?'));
        QCOMPARE(all, readFile(dataPath("gpmf/karma.full.raw")));
        QCOMPARE(QString("%1 %2 %3 %4 %5").arg(source->movieClock().timescale).arg(source->movieClock().duration)
                     .arg(source->metadataClock().timescale).arg(source->metadataLengthS()).arg(source->averageSampleTicks()),
                 "90000 1087086 1000 13.013 1001");
        QCOMPARE(source->firstTrackLengthS(), 1087086 / 90000.0);
        QCOMPARE(times(*source, 14).section(' ', 12), "12.012-13.013 ? ");
        QVERIFY(source->bytesRead() < 96440 + 20000);
        source = Mp4Source::open(dataPath("gpmf/max-heromode.mp4"));
        QVERIFY(source);
        QCOMPARE(QString("%1 %2 %3").arg(source->metadataLengthS()).arg(source->averageSampleTicks())
                     .arg(source->firstTrackLengthS()), QString("10.543 %1 %2").arg(10543 / 11.0).arg(945945 / 90000.0));
        all.clear();
        QCOMPARE(readBack(*source, {}, &all), "???????????");
        QCOMPARE(splitPayloads(all).size(), size_t(11));  // eleven whole DEVC payloads
        QCOMPARE(times(*source, 11).section(' ', 9), "9.009-10.01 10.01-10.543 ");
        QVERIFY(Mp4Source::open(dataPath("gpmf/max-heromode.mp4"), fourCC("meta"), fourCC("fdsc")));
        QVERIFY(!Mp4Source::open(dataPath("gpmf/max-heromode.mp4"), fourCC("soun"), fourCC("gpmd")));
    }
    // Every table layout gives the same payloads and times; times follow the time-to-sample runs (empty and
    // zero-duration runs, a table shorter than the track: the rest last as the last run says).
    void layouts_data() {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<SttsRuns>("stts");
        QTest::addColumn<QString>("times");
        const QString seconds = "0-1 1-2 2-3 3-4 4-5 5-6 6-7 ";
        for (const char *co : {"stco", "co64"}) {
            for (const char *stsc : {"no-stsc", "stsc-1", "stsc-3", "stsc-mixed"}) {
                for (const char *where : {"", " moov-first neighbours", " large-mdat neighbours"}) {
                    const QString layout = QString(co) + ' ' + stsc + where;
                    QTest::newRow(qPrintable(layout)) << layout << SttsRuns() << seconds;
                }
            }
        }
        QTest::newRow("one run of 1001") << "stco" << SttsRuns{{7, 1001}}
                                         << "0-1.001 1.001-2.002 2.002-3.003 3.003-4.004 4.004-5.005 5.005-6.006 6.006-7.007 ";
        QTest::newRow("two durations") << "stco" << SttsRuns{{3, 1000}, {4, 250}}
                                       << "0-1 1-2 2-3 3-3.25 3.25-3.5 3.5-3.75 3.75-4 ";
        QTest::newRow("empty and zero runs") << "stco" << SttsRuns{{0, 9999}, {2, 500}, {0, 7}, {2, 0}, {3, 2000}}
                                             << "0-0.5 0.5-1 1-1 1-1 1-3 3-5 5-7 ";
        QTest::newRow("table shorter than the track") << "stco" << SttsRuns{{2, 1000}, {1, 400}}
                                                      << "0-1 1-2 2-2.4 2.4-2.8 2.8-3.2 3.2-3.6 3.6-4 ";
    }
    void layouts() {
        QFETCH(QString, layout);
        QFETCH(SttsRuns, stts);
        const std::vector<QByteArray> p = payloads();
        TestMovie m = movieOf(p);
        TestTrack &t = m.tracks[0];
        t.co64 = layout.contains("co64");
        t.writeStsc = !layout.contains("no-stsc");
        if (layout.contains("stsc-3"))
            t.stsc = {{1, 3}};
        if (layout.contains("stsc-mixed"))
            t.stsc = {{1, 2}, {3, 1}, {4, 3}};
        t.stts = stts;
        m.moovFirst = layout.contains("moov-first");
        m.largeMdat = layout.contains("large-mdat");
        TestTrack video;
        video.handler = "vide", video.format = "avc1", video.timescale = 90000, video.sampleDelta = 3003;
        video.dummySizes.assign(90, 5000);
        if (layout.contains("neighbours"))
            m.tracks = {video, repairDataTrack(3), t, repairDataTrack(5)};
        auto source = openBytes(buildMovie(m));
        QVERIFY(source);
        QCOMPARE(readBack(*source, p), "=======");
        QTEST(times(*source, 7), "times");
        QString table;  // every entry of the sample-to-chunk table, all three fields
        for (const Mp4ChunkEntry &e : source->sampleToChunk())
            table += QString("%1/%2/%3 ").arg(e.firstChunk).arg(e.samplesPerChunk).arg(e.descriptionIndex);
        QCOMPARE(table, layout.contains("mixed") ? "1/2/1 3/1/1 4/3/1 " : layout.contains("stsc-3") ? "1/3/1 " : "");
    }
    // Index variants: broken ones give no track, no payloads or the bad one unreadable; no timing, no times. Most
    // write `value` `at` bytes into the first `box` (a negative value counts from the end of the file).
    void brokenIndexes_data() {
        QTest::addColumn<QByteArray>("box");
        QTest::addColumn<int>("at");
        QTest::addColumn<qint64>("value");
        QTest::addColumn<QString>("payloads");  // as readBack gives them; "-" no track found
        QTest::addColumn<double>("lengthS");  // of the metadata track by its sample durations
        const struct { const char *name, *box; int at; qint64 value; const char *payloads; double lengthS; } rows[] = {
            {"stsz count past its box", "stsz", 16, 0x10000, "", 7}, {"stco count past its box", "stco", 12, 1000, "", 7},
            {"stsc count past its box: one sample per chunk", "stsc", 12, 0x20000, "=======", 7},
            {"stts count past its box", "stts", 12, 0xFFFF, "=======", 0}, {"no stts", "", 0, 0, "=======", 0},
            {"chunk offset past the end", "stco", 28, -10, "===x===", 7}, {"garbage inside stbl", "", 0, 0, "=======", 7},
            {"chunk offset at 2^64-1", "co64", 40, -1, "===x===", 7}, {"sample of zero bytes", "stsz", 32, 0, "===0===", 7},
            {"sample of 3 GB", "stsz", 32, 0xC0000000, "===x===", 7}, {"stsz count above the cap", "stsz", 16, 0, "", 7},
            {"stsc of zero samples per chunk", "stsc", 20, 0, "", 7}, {"stsc not starting at chunk 1", "stsc", 16, 2, "", 7},
            {"stsc runs out of chunks", "stco", 12, 2, "====", 7}, {"64-bit size under its header", "", 0, 0, "-", 0},
            {"moov size past the end", "moov", 0, 0x7FFFFFF0, "=======", 7},
            {"mdat size past the end", "mdat", 0, 0xFFFFFF00, "-", 0}, {"size of zero before moov", "mdat", 0, 0, "-", 0},
            {"track clock of timescale 0", "mdhd", 20, 0, "=======", 0}, {"stsd without entries", "stsd", 12, 0, "-", 0},
            {"a box named with a space before the tables", "", 0, 0, "=======", 7},
            {"mdhd of version 1: 64-bit times and duration", "", 0, 0, "=======", 7}};
        for (const auto &r : rows)
            QTest::newRow(r.name) << QByteArray(r.box) << r.at << r.value << QString(r.payloads) << r.lengthS;
    }
    void brokenIndexes() {
        QFETCH(QByteArray, box);
        QFETCH(int, at);
        QFETCH(qint64, value);
        const QByteArray tag = QTest::currentDataTag();
        const std::vector<QByteArray> p = payloads();
        TestMovie m = movieOf(p);
        m.tracks[0].co64 = box == "co64";
        if (tag.startsWith("stsc ") && !tag.contains("count"))
            m.tracks[0].stsc = {{1, 2}};  // 2 chunks of 2 samples when the stco count is cut to 2
        m.tracks[0].writeStts = tag != "no stts";
        m.tracks[0].commonSize = tag.contains("cap");
        QByteArray movie = buildMovie(m);
        const int mdat = boxOffset(movie, "mdat"), stbl = boxOffset(movie, "stbl"), mdhd = boxOffset(movie, "mdhd");
        if (box == "co64")
            putBe64(movie, boxOffset(movie, box) + at, ~0ull);
        else if (tag.contains("cap"))
            putBe32(movie, boxOffset(movie, box) + at, Mp4Source::MAX_SAMPLES + 1);
        else if (!box.isEmpty())
            putBe32(movie, boxOffset(movie, box) + at, uint32_t(value < 0 ? movie.size() + value : value));
        else if (tag.startsWith("64-bit"))
            movie = movie.left(mdat - 8) + be32(1) + "mdat" + be64(9) + movie.mid(mdat + 8);
        else if (tag.startsWith("garbage"))  // eight bytes that are no box after the tables: the walk goes on
            movie.insert(stbl + qFromBigEndian<quint32>(movie.constData() + stbl), QByteArray("\0\0\0\x08\1\2\3\4", 8));
        else if (tag.startsWith("a box"))  // skipped whatever its (printable) name
            movie.insert(stbl + 8, QByteArray("\0\0\0\x08" "ab c", 8));
        else if (tag.startsWith("mdhd"))  // the 32-byte version-0 mdhd becomes a 44-byte version-1 one
            movie = movie.left(mdhd) + be32(44) + "mdhd" + be32(0x01000000) + be64(0) + be64(0) + be32(1000)
                    + be64(0x100000005ull) + be32(0) + movie.mid(mdhd + 32);
        if (tag.startsWith("garbage") || tag.startsWith("a box"))
            growBoxes(movie, 8, {"moov", "trak", "mdia", "minf", "stbl"});
        if (tag.startsWith("mdhd"))
            growBoxes(movie, 12, {"moov", "trak", "mdia"});
        auto source = openBytes(movie);
        QTEST(source ? readBack(*source, p) : QString("-"), "payloads");
        if (tag.startsWith("mdhd"))
            QVERIFY(source->trackClock().duration == 0x100000005ull && source->firstTrackLengthS() == 0x100000005ull / 1000.0);
        QFETCH(double, lengthS);
        QCOMPARE(source ? source->metadataLengthS() : 0.0, lengthS);
        QCOMPARE(source && times(*source, 1) != "? ", source && source->payloadCount() > 0 && lengthS > 0);
    }
    // 18 container levels are walked (tables at level 5), more end the walk; so does a flood of empty boxes.
    void boxLimits() {
        const QByteArray movie = buildMovie(movieOf(payloads(2)));
        const int moov = boxOffset(movie, "moov");
        auto wrapped = [&](int extra) {
            QByteArray inner = movie.mid(moov);
            for (int i = 0; i < extra; ++i)
                inner = be32(uint32_t(inner.size() + 8)) + "moov" + inner;
            return movie.left(moov) + inner;
        };
        QVERIFY(openBytes(wrapped(Mp4Source::MAX_BOX_DEPTH - 5)));
        QVERIFY(!openBytes(wrapped(Mp4Source::MAX_BOX_DEPTH - 4)));
        QByteArray flood;
        for (uint32_t i = 0; i < Mp4Source::MAX_BOXES; ++i)
            flood += QByteArray("\0\0\0\x08" "free", 8);
        QVERIFY(openBytes(movie.left(moov) + flood.left(flood.size() - 8 * 64) + movie.mid(moov)));
        QVERIFY(!openBytes(movie.left(moov) + flood + movie.mid(moov)));
    }
    // A file cut short after it was opened: the payloads past the cut cannot be read.
    void unreadableFiles() {
        QTemporaryDir dir;
        TestMovie m = movieOf(payloads());
        m.moovFirst = true;
        QVERIFY(writeFile(dir.filePath("cut.mp4"), buildMovie(m)));
        auto source = Mp4Source::open(dir.filePath("cut.mp4"));
        QVERIFY(source);
        QVERIFY(QFile::resize(dir.filePath("cut.mp4"), qint64(source->payloadOffset(6)) + 4));
        QCOMPARE(readBack(*source, payloads()), "======x");
        // Files that are not movies, and devices that are missing or cannot be read.
        QVERIFY(!Mp4Source::open(dataPath("gpmf/does-not-exist.mp4")) && !Mp4Source::open(dataPath("gpmf/hero5.raw")));
        QVERIFY(!openBytes(QByteArray()) && !openBytes(QByteArray(5, 'x')));
        QVERIFY(!Mp4Source::open(std::unique_ptr<QIODevice>()) && !Mp4Source::open(std::make_unique<QBuffer>()));
    }
};

QTEST_GUILESS_MAIN(TestMp4Source)
#include "test_mp4source.moc"
