// The MP4 index reader: the two real movies, every layout of the sample
// tables the writer can make, and broken variants of each.
#include "gpmfbuilder.h"
#include "mp4writer.h"
#include "support/testsupport.h"
#include "track/mp4source.h"

#include <QtTest>

using namespace vx;
using namespace vxtest;

namespace {

std::unique_ptr<Mp4Source> openBytes(const QByteArray &movie) {
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(movie);
    buffer->open(QIODevice::ReadOnly);
    return Mp4Source::open(std::move(buffer));
}

// Seven payloads of different sizes (1 … 7 fixes).
std::vector<QByteArray> payloads(int n = 7) {
    std::vector<QByteArray> out;
    for (int i = 0; i < n; ++i) {
        std::vector<GpsFix> fixes;
        for (int k = 0; k <= i; ++k)
            fixes.push_back({47.0 + i * 0.001 + k * 1e-5, 8.0 + i * 0.001, 400.0 + i, 3.0, 3.5});
        out.push_back(gps5Payload(fixes));
    }
    return out;
}

TestTrack gpmdTrack(const std::vector<QByteArray> &samples) {
    TestTrack t;
    t.samples = samples;
    return t;
}

TestTrack videoTrack(int frames) {
    TestTrack t;
    t.handler = "vide";
    t.format = "avc1";
    t.timescale = 90000;
    t.sampleDelta = 3003;
    t.dummySizes.assign(size_t(frames), 5000);
    return t;
}

// Every payload of `source` read back, concatenated.
QByteArray readAll(Mp4Source &source) {
    QByteArray all;
    std::vector<uint8_t> buffer;
    for (uint32_t i = 0; i < source.payloadCount(); ++i) {
        if (!source.readPayload(i, buffer))
            return QByteArray("unreadable payload ") + QByteArray::number(i);
        all.append(reinterpret_cast<const char *>(buffer.data()), int(buffer.size()));
    }
    return all;
}

uint32_t getBe32(const QByteArray &b, int at) { return qFromBigEndian<quint32>(b.constData() + at); }

// Adds `delta` to the sizes of the first box of each of `types`.
void growBoxes(QByteArray &movie, int delta, std::initializer_list<const char *> types) {
    for (const char *type : types) {
        const int at = boxOffset(movie, type);
        putBe32(movie, at, getBe32(movie, at) + uint32_t(delta));
    }
}

// Entries of a time-to-sample table: (sample count, duration in ticks).
using SttsRuns = QVector<QPair<uint32_t, uint32_t>>;

QByteArray joined(const std::vector<QByteArray> &parts) { return QByteArrayList(parts.begin(), parts.end()).join(); }

} // namespace

class TestMp4Source : public QObject {
    Q_OBJECT

private slots:
    // karma.mp4: the payloads read through the index are, byte for byte, the
    // track the media tool extracts (karma.full.raw).
    void karmaMovie() {
        auto source = Mp4Source::open(dataPath("gpmf/karma.mp4"));
        QVERIFY(source);
        QCOMPARE(QString("%1 %2 %3").arg(source->payloadCount()).arg(source->payloadSize(0)).arg(source->payloadOffset(0), 0, 16),
                 "13 7768 4ef35");
        QCOMPARE(readAll(*source), readFile(dataPath("gpmf/karma.full.raw")));
        QCOMPARE(QString("%1 %2 %3 %4 %5").arg(source->movieClock().timescale).arg(source->movieClock().duration)
                     .arg(source->metadataClock().timescale).arg(source->metadataLengthS()).arg(source->averageSampleTicks()),
                 "90000 1087086 1000 13.013 1001");
        QCOMPARE(source->firstTrackLengthS(), 1087086 / 90000.0);
        double start = 0, end = 0;
        QVERIFY(source->payloadTime(12, &start, &end));
        QCOMPARE((std::vector<double>{start, end}), (std::vector<double>{12.012, 13.013}));
        QVERIFY(!source->payloadTime(13, &start, &end));
        // Only the index and the payloads were read.
        QVERIFY(source->bytesRead() < 96440 + 20000);
    }

    // max-heromode.mp4: eleven payloads with two sample durations (ten of
    // 1.001 s, a last one of 0.533 s): each payload's time comes from the
    // durations before it, not from the average. Its second "meta" track
    // ("fdsc") is not taken.
    void maxMovie() {
        auto source = Mp4Source::open(dataPath("gpmf/max-heromode.mp4"));
        QVERIFY(source);
        QCOMPARE(source->payloadCount(), 11u);
        QCOMPARE(source->metadataLengthS(), 10.543);
        QCOMPARE(source->averageSampleTicks(), 10543 / 11.0);
        QCOMPARE(source->firstTrackLengthS(), 945945 / 90000.0);
        QCOMPARE(splitPayloads(readAll(*source)).size(), size_t(11));  // eleven whole DEVC payloads
        double start = 0, end = 0;
        QVERIFY(source->payloadTime(9, &start, &end));
        QVERIFY(qAbs(start - 9.009) < 1e-12 && qAbs(end - 10.010) < 1e-12);
        QVERIFY(source->payloadTime(10, &start, &end));
        QVERIFY(qAbs(start - 10.010) < 1e-12 && qAbs(end - 10.543) < 1e-12);
        // The fdsc track alone is found when asked for.
        QVERIFY(Mp4Source::open(dataPath("gpmf/max-heromode.mp4"), fourCC("meta"), fourCC("fdsc")));
        QVERIFY(!Mp4Source::open(dataPath("gpmf/max-heromode.mp4"), fourCC("soun"), fourCC("gpmd")));
    }

    // Every table layout gives the same payloads at the same times: 32- and
    // 64-bit chunk offsets, with and without a sample-to-chunk table, one or
    // several samples per chunk, several table entries, index before or after
    // the data, a 64-bit mdat size, a common sample size, and other tracks
    // (video, a second "meta" track of another format) before and after.
    void layouts_data() {
        QTest::addColumn<bool>("co64");
        QTest::addColumn<int>("stscKind");  // 0 none, 1 one/one, 2 three per chunk, 3 mixed runs
        QTest::addColumn<bool>("moovFirst");
        QTest::addColumn<bool>("largeMdat");
        QTest::addColumn<bool>("neighbours");
        for (bool co64 : {false, true}) {
            for (int kind = 0; kind < 4; ++kind) {
                const QByteArray name = QByteArray(co64 ? "co64" : "stco") + " stsc" + QByteArray::number(kind);
                QTest::newRow(name.constData()) << co64 << kind << false << false << false;
                QTest::newRow((name + " moov first").constData()) << co64 << kind << true << false << true;
                QTest::newRow((name + " large mdat").constData()) << co64 << kind << false << true << true;
            }
        }
    }

    void layouts() {
        QFETCH(bool, co64);
        QFETCH(int, stscKind);
        QFETCH(bool, moovFirst);
        QFETCH(bool, largeMdat);
        QFETCH(bool, neighbours);
        const std::vector<QByteArray> p = payloads();
        TestTrack t = gpmdTrack(p);
        t.co64 = co64;
        t.writeStsc = stscKind != 0;
        if (stscKind == 2)
            t.stsc = {{1, 3}};
        if (stscKind == 3)
            t.stsc = {{1, 2}, {3, 1}, {4, 3}};
        TestMovie m;
        m.moovFirst = moovFirst;
        m.largeMdat = largeMdat;
        if (neighbours)
            m.tracks = {videoTrack(90), repairDataTrack(3), t, repairDataTrack(5)};
        else
            m.tracks = {t};
        auto source = openBytes(buildMovie(m));
        QVERIFY(source);
        QCOMPARE(source->payloadCount(), 7u);
        QCOMPARE(readAll(*source), joined(p));
        QCOMPARE(source->metadataLengthS(), 7.0);
        QString times;
        for (uint32_t i = 0; i < 7; ++i) {
            double start = 0, end = 0;
            times += source->payloadTime(i, &start, &end) ? QString("%1-%2 ").arg(start).arg(end) : "? ";
        }
        QCOMPARE(times, "0-1 1-2 2-3 3-4 4-5 5-6 6-7 ");
    }

    // Payload times from the time-to-sample table: runs of different
    // durations, empty runs, runs of zero duration, and a table that covers
    // fewer samples than there are payloads (the rest last as long as the
    // last run says). One run gives what the average gives.
    void sampleTableTimes_data() {
        QTest::addColumn<SttsRuns>("stts");
        QTest::addColumn<QString>("times");  // of payloads 0 … 6
        using R = SttsRuns;
        QTest::newRow("one run") << R{{7, 1001}} << "0-1.001 1.001-2.002 2.002-3.003 3.003-4.004 4.004-5.005 5.005-6.006 6.006-7.007 ";
        QTest::newRow("two durations") << R{{3, 1000}, {4, 250}} << "0-1 1-2 2-3 3-3.25 3.25-3.5 3.5-3.75 3.75-4 ";
        QTest::newRow("empty and zero runs") << R{{0, 9999}, {2, 500}, {0, 7}, {2, 0}, {3, 2000}}
                                             << "0-0.5 0.5-1 1-1 1-1 1-3 3-5 5-7 ";
        QTest::newRow("table shorter than the track") << R{{2, 1000}, {1, 400}}
                                                      << "0-1 1-2 2-2.4 2.4-2.8 2.8-3.2 3.2-3.6 3.6-4 ";
    }

    void sampleTableTimes() {
        QFETCH(SttsRuns, stts);
        TestTrack t = gpmdTrack(payloads());
        for (const auto &run : stts)
            t.stts.push_back({run.first, run.second});
        TestMovie m;
        m.tracks = {t};
        auto source = openBytes(buildMovie(m));
        QVERIFY(source);
        QString times;
        for (uint32_t i = 0; i < 7; ++i) {
            double start = -1, end = -1;
            QVERIFY(source->payloadTime(i, &start, &end));
            times += QString("%1-%2 ").arg(start, 0, 'g', 12).arg(end, 0, 'g', 12);
            const double average = source->averageSampleTicks() / source->metadataClock().timescale;
            if (stts.size() == 1)
                QVERIFY(qAbs(start - i * average) < 1e-12 && qAbs(end - (i + 1) * average) < 1e-12);
        }
        QTEST(times, "times");
    }

    // mvhd/mdhd of version 1 carry 64-bit times and durations.
    void version1Clocks() {
        TestMovie m;
        m.tracks = {gpmdTrack(payloads(2))};
        QByteArray movie = buildMovie(m);
        const int mdhd = boxOffset(movie, "mdhd");
        QVERIFY(mdhd > 0);
        // The 32-byte version-0 box becomes a 44-byte version-1 box; the
        // index follows the data, so no chunk offset moves.
        const QByteArray v1 = be32(44) + "mdhd" + be32(0x01000000) + be64(0) + be64(0) + be32(1000)
                              + be64(0x100000005ull) + be32(0);
        QByteArray patched = movie.left(mdhd) + v1 + movie.mid(mdhd + 32);
        growBoxes(patched, 12, {"moov", "trak", "mdia"});
        auto source = openBytes(patched);
        QVERIFY(source);
        QCOMPARE(source->trackClock().duration, 0x100000005ull);
        QCOMPARE(source->firstTrackLengthS(), double(0x100000005ull) / 1000);
        QCOMPARE(readAll(*source), joined(payloads(2)));
    }

    // Broken indexes: the reader fails cleanly (no track, no payloads, or
    // the one bad payload unreadable) and never reads outside the file.
    void brokenIndexes_data() {
        QTest::addColumn<int>("variant");
        QTest::addColumn<bool>("found");
        QTest::addColumn<int>("readable");  // payloads read back unchanged
        QTest::newRow("stsz count past its box") << 0 << true << 0;
        QTest::newRow("stco count past its box") << 1 << true << 0;
        QTest::newRow("co64 count past its box") << 2 << true << 0;
        QTest::newRow("stsc count past its box: one sample per chunk") << 3 << true << 7;
        QTest::newRow("stts count past its box") << 4 << true << 7;
        QTest::newRow("chunk offset past the end") << 5 << true << 6;
        QTest::newRow("chunk offset at 2^64-1") << 6 << true << 6;
        QTest::newRow("sample of zero bytes") << 7 << true << 6;
        QTest::newRow("sample of 3 GB") << 8 << true << 6;
        QTest::newRow("stsc of zero samples per chunk") << 9 << true << 0;
        QTest::newRow("stsc not starting at chunk 1") << 10 << true << 0;
        QTest::newRow("stsc runs out of chunks") << 11 << true << 4;
        QTest::newRow("moov size past the end") << 12 << true << 7;
        QTest::newRow("mdat size past the end") << 13 << false << 0;
        QTest::newRow("64-bit size under its header") << 14 << false << 0;
        QTest::newRow("size of zero before moov") << 15 << false << 0;
        QTest::newRow("stsd of another format") << 16 << false << 0;
        QTest::newRow("handler of another kind") << 17 << false << 0;
        QTest::newRow("no stts") << 18 << true << 7;
        QTest::newRow("track clock of timescale 0") << 19 << true << 7;
        QTest::newRow("garbage inside stbl") << 20 << true << 7;
        QTest::newRow("stsz count above the cap") << 21 << true << 0;
        QTest::newRow("stsd without entries") << 22 << false << 0;
        QTest::newRow("a box named with a space before the tables") << 23 << true << 7;
    }

    void brokenIndexes() {
        QFETCH(int, variant);
        QFETCH(bool, found);
        QFETCH(int, readable);
        const std::vector<QByteArray> p = payloads();
        TestTrack t = gpmdTrack(p);
        if (variant == 2)
            t.co64 = true;
        if (variant == 9 || variant == 10 || variant == 11)
            t.stsc = {{1, 2}};
        if (variant == 18)
            t.writeStts = false;
        if (variant == 21)
            t.commonSize = true;
        TestMovie m;
        m.tracks = {t};
        QByteArray movie = buildMovie(m);
        const int stsz = boxOffset(movie, "stsz");
        const int stco = boxOffset(movie, variant == 2 ? "co64" : "stco");
        const int stsc = boxOffset(movie, "stsc");
        switch (variant) {
        case 0: putBe32(movie, stsz + 16, 0x10000); break;
        case 1: case 2: putBe32(movie, stco + 12, 1000); break;
        case 3: putBe32(movie, stsc + 12, 0x20000); break;
        case 4: putBe32(movie, boxOffset(movie, "stts") + 12, 0xFFFF); break;
        case 5: putBe32(movie, stco + 16 + 4 * 3, uint32_t(movie.size() - 10)); break;
        case 6: break;  // handled below with co64
        case 7: putBe32(movie, stsz + 20 + 4 * 3, 0); break;
        case 8: putBe32(movie, stsz + 20 + 4 * 3, 0xC0000000u); break;
        case 9: putBe32(movie, stsc + 20, 0); break;
        case 10: putBe32(movie, stsc + 16, 2); break;
        case 11: putBe32(movie, stco + 12, 2); break;  // 2 chunks of 2 samples for 7 samples
        case 12: putBe32(movie, boxOffset(movie, "moov"), 0x7FFFFFF0); break;
        case 13: putBe32(movie, boxOffset(movie, "mdat"), 0xFFFFFF00u); break;
        case 14: {
            const int mdat = boxOffset(movie, "mdat");
            // Turn the mdat header into a 64-bit one whose size is 9.
            movie = movie.left(mdat - 8) + be32(1) + "mdat" + be64(9) + movie.mid(mdat + 8);
            break;
        }
        case 15: putBe32(movie, boxOffset(movie, "mdat"), 0); break;
        case 16: movie.replace(boxOffset(movie, "gpmd"), 8, QByteArray("\0\0\0\x10" "fdsc", 8)); break;
        case 17: movie.replace(boxOffset(movie, "hdlr") + 16, 4, "soun"); break;
        case 19: putBe32(movie, boxOffset(movie, "mdhd") + 20, 0); break;
        case 20: {
            // Eight bytes that are not a box after the tables inside stbl:
            // the walk leaves stbl there and goes on.
            const int stbl = boxOffset(movie, "stbl");
            movie.insert(stbl + int(getBe32(movie, stbl)), QByteArray("\0\0\0\x08\x01\x02\x03\x04", 8));
            growBoxes(movie, 8, {"moov", "trak", "mdia", "minf", "stbl"});
            break;
        }
        case 21: putBe32(movie, stsz + 16, Mp4Source::MAX_SAMPLES + 1); break;
        case 22: putBe32(movie, boxOffset(movie, "stsd") + 12, 0); break;
        case 23:  // a box is skipped whatever its (printable) name
            movie.insert(boxOffset(movie, "stbl") + 8, QByteArray("\0\0\0\x08" "ab c", 8));
            growBoxes(movie, 8, {"moov", "trak", "mdia", "minf", "stbl"});
            break;
        default: break;
        }
        if (variant == 6) {
            TestTrack w = gpmdTrack(p);
            w.co64 = true;
            m.tracks = {w};
            movie = buildMovie(m);
            putBe64(movie, boxOffset(movie, "co64") + 16 + 8 * 3, ~0ull);
        }

        auto source = openBytes(movie);
        QCOMPARE(bool(source), found);
        if (!source)
            return;
        int same = 0;
        std::vector<uint8_t> buffer;
        for (uint32_t i = 0; i < source->payloadCount(); ++i) {
            const bool ok = source->readPayload(i, buffer);
            if (!ok)
                QVERIFY(buffer.empty());
            same += ok && i < p.size()
                    && QByteArray(reinterpret_cast<const char *>(buffer.data()), int(buffer.size())) == p[i];
        }
        QCOMPARE(same, readable);
        double start = 0, end = 0;
        const bool untimed = variant == 4 || variant == 18 || variant == 19;
        QCOMPARE(source->payloadTime(0, &start, &end), source->payloadCount() > 0 && !untimed);
        if (untimed)
            QCOMPARE(source->metadataLengthS(), 0.0);
    }

    // Containers nested beyond 18 levels end the walk; 18 are walked. A flood
    // of empty boxes before the index ends it too.
    void boxLimits() {
        TestMovie m;
        m.tracks = {gpmdTrack(payloads(2))};
        const QByteArray movie = buildMovie(m);
        const int moov = boxOffset(movie, "moov");
        const QByteArray moovBox = movie.mid(moov);
        // The tables sit at level 5 (moov, trak, mdia, minf, stbl).
        auto wrapped = [&](int extra) {
            QByteArray inner = moovBox;
            for (int i = 0; i < extra; ++i)
                inner = be32(uint32_t(inner.size() + 8)) + "moov" + inner;
            return movie.left(moov) + inner;
        };
        QVERIFY(openBytes(wrapped(Mp4Source::MAX_BOX_DEPTH - 5)));
        QVERIFY(!openBytes(wrapped(Mp4Source::MAX_BOX_DEPTH - 4)));
        QVERIFY(!openBytes(wrapped(200)));

        QByteArray flood;
        for (uint32_t i = 0; i < Mp4Source::MAX_BOXES; ++i)
            flood += QByteArray("\0\0\0\x08" "free", 8);
        QVERIFY(openBytes(movie.left(moov) + flood.left(flood.size() - 8 * 64) + moovBox));
        QVERIFY(!openBytes(movie.left(moov) + flood + moovBox));
    }

    // A file cut short after it was opened: the payloads past the cut cannot be read.
    void fileCutAfterOpening() {
        QTemporaryDir dir;
        const QString path = dir.filePath("cut.mp4");
        TestMovie m;
        m.tracks = {gpmdTrack(payloads())};
        m.moovFirst = true;
        QVERIFY(writeFile(path, buildMovie(m)));
        auto source = Mp4Source::open(path);
        QVERIFY(source);
        QVERIFY(QFile::resize(path, qint64(source->payloadOffset(6)) + 4));
        std::vector<uint8_t> buffer;
        QVERIFY(source->readPayload(5, buffer) && !buffer.empty());
        QVERIFY(!source->readPayload(6, buffer) && buffer.empty());
    }

    // Files that are not movies, and a device that cannot seek.
    void notMovies() {
        for (const QString &file : QStringList{"gpmf/does-not-exist.mp4", "gpmf/hero5.raw", "SOURCES.md"})
            QVERIFY(!Mp4Source::open(dataPath(file)));
        QVERIFY(!openBytes(QByteArray()) && !openBytes(QByteArray(5, 'x')));
        QVERIFY(!Mp4Source::open(std::unique_ptr<QIODevice>()));
        QVERIFY(!Mp4Source::open(std::make_unique<QBuffer>()));
    }
};

QTEST_GUILESS_MAIN(TestMp4Source)
#include "test_mp4source.moc"
