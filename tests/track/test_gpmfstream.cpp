// The GPMF cursor: real payloads, the type table, complex structures, divisors, nesting limits, hostile payloads.
#include "gpmfbuilder.h"
#include "support/testsupport.h"
#include "track/gpmfstream.h"
#include "track/mp4source.h"

#include <QtTest>
#include <list>

using namespace vx;
using namespace vxtest;

namespace {

const uint8_t *bytesOf(const QByteArray &b) { return reinterpret_cast<const uint8_t *>(b.constData()); }

// Sample `i` of the item at the cursor, scaled, to ten significant digits; "-" when it cannot be read.
QString sample(const GpmfStream &s, uint32_t i) {
    std::vector<double> v(size_t(s.elementsInStruct()));
    QStringList out;
    for (size_t e = 0; s.scaledData(v.data(), v.size(), i, 1) && e < v.size(); ++e)
        out << QString::number(v[e], 'g', 10);
    return out.isEmpty() ? "-" : out.join(' ');
}

// A stream on the first item with `key`; the payload is kept for the run (the cursor reads its bytes).
bool seek(GpmfStream &s, const QByteArray &payload, const char *key) {
    static std::list<QByteArray> held;
    held.push_back(payload);
    char k[5] = {key[0], key[1], key[2], key[3], 0};
    return s.init(bytesOf(held.back()), size_t(held.back().size())) && s.findNext(fourCC(k));
}

} // namespace

class TestGpmfStream : public QObject {
    Q_OBJECT

private slots:
    // First and last GPS sample of real payloads (one per stream layout), decoded by hand, and the device.
    void realPayloads_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("payload");  // top-level item index
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<int>("samples");
        QTest::addColumn<QByteArray>("device");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::newRow("hero5") << "hero5.raw" << 0 << QByteArray("GPS5") << 18 << QByteArray("Camera")
                               << "33.1264969 -117.3273542 -20.184 0.167 0.19" << "33.1264973 -117.3273579 -20.041 0.676 0.63";
        QTest::newRow("hero11 gps9") << "hero11.raw" << 10 << QByteArray("GPS9") << 6 << QByteArray("HERO11 Black")
                                     << "42.4261381 -8.6499984 34.54 0.266 0.4 8298 48587.299 1.69 3"
                                     << "42.4261379 -8.6499978 34.353 0.162 0.44 8298 48587.799 1.69 3";
        QTest::newRow("karma gpri") << "karma.raw" << 1 << QByteArray("GPRI") << 4 << QByteArray("GoPro Karma v1.0")
                                    << "145.911705 33.125368 -117.3310641 15.445 0.25 0.42 0.59 334.35 3 20"
                                    << "146.709818 33.1253765 -117.3310702 15.331 0.25 0.42 2.51 330.99 3 20";
    }
    void realPayloads() {
        QFETCH(QString, file);
        QFETCH(int, payload);
        QFETCH(QByteArray, key);
        QFETCH(QString, first);
        QFETCH(QString, last);
        const std::vector<QByteArray> payloads = splitPayloads(readFile(dataPath("gpmf/" + file)));
        GpmfStream s;
        QVERIFY(size_t(payload) < payloads.size() && seek(s, payloads[size_t(payload)], key.constData()));
        QTEST(int(s.repeat()), "samples");
        QCOMPARE(s.elementsInStruct(), first.count(' ') + 1);
        QTEST(s.deviceName(), "device");
        QCOMPARE(sample(s, 0) + " | " + sample(s, s.repeat() - 1), first + " | " + last);
        std::vector<double> all(size_t(s.repeat()) * size_t(s.elementsInStruct()));
        QVERIFY(s.scaledData(all.data(), all.size(), 0, s.repeat()));
    }
    // Every type: element size, count and big-endian value (none: not scalable); two samples of two, the second ÷ 2.
    void typeTable_data() {
        QTest::addColumn<char>("type");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<double>("value");  // NaN: no numeric value
        const double none = qQNaN();
        const QList<std::tuple<char, QByteArray, double>> rows{
            {'b', QByteArray("\xfe", 1), -2.0}, {'B', QByteArray("\xfe", 1), 254.0}, {'c', "A", 65.0},
            {'s', QByteArray("\xff\xfe", 2), -2.0}, {'S', QByteArray("\xff\xfe", 2), 65534.0},
            {'l', be32(uint32_t(-70000)), -70000.0}, {'L', be32(4000000000u), 4000000000.0},
            {'f', be32(0x40490fdb), 3.1415927410125732}, {'q', be32(uint32_t(-3 * 65536 - 32768)), -3.5},
            {'F', "MSLV", double(fourCC("MSLV"))}, {'d', be64(0xC00C000000000000ull), -3.5},
            {'j', be64(uint64_t(-5000000000ll)), -5000000000.0}, {'J', be64(145911705ull), 145911705.0},
            {'Q', be64(0x0000000280000000ull), 2.5}, {'G', QByteArray(16, 'g'), none},
            {'U', "250109101412.799", none}, {'?', QByteArray(), none}};
        for (const auto &[type, bytes, value] : rows)
            QTest::newRow(QByteArray(1, type).constData()) << type << bytes << value;
    }
    void typeTable() {
        QFETCH(char, type);
        QFETCH(QByteArray, bytes);
        const int size = int(bytes.size());  // of one element
        QFETCH(double, value);
        QCOMPARE(gpmfTypeSize(type) + gpmfTypeSize(0), size);
        if (!size)
            return;
        const QByteArray p = nest("DEVC", klv("SCAL", 'l', 4, int32s({1, 2})) + klv("TEST", type, 2 * size, bytes.repeated(4)));
        GpmfStream s;
        QVERIFY(seek(s, p, "TEST"));
        QCOMPARE(QString("%1 %2").arg(s.elementsInStruct()).arg(s.rawDataBytes()), QString("2 %1").arg(4 * size));
        double out[4] = {};
        QCOMPARE(s.scaledData(out, 4, 0, 2), !qIsNaN(value));
        if (!qIsNaN(value))
            QCOMPARE(std::vector<double>(out, out + 3), (std::vector<double>{value, value / 2, value}));
    }
    // "?" structures take TYPE (own or enclosing nest, "[n]" arrays); bad types give no elements. SCAL: one for all or
    // one per element, else (or a zero) unreadable; the SCAL of another stream does not apply.
    void elementTypes_data() {
        QTest::addColumn<char>("type");
        QTest::addColumn<QByteArray>("typeString");
        QTest::addColumn<bool>("typeOutside");  // TYPE one nest up
        QTest::addColumn<int>("structSize");
        QTest::addColumn<QByteArray>("sample");
        QTest::addColumn<QByteArray>("scal");
        QTest::addColumn<QString>("values");  // of the last of two samples, scaled; "-" each when unreadable
        QByteArray floats;
        for (int i = 0; i < 9; ++i)
            floats += be32(0x3f800000 + (uint32_t(i) << 20));  // 1, 1.125, … 1.875, 2
        const QByteArray half = klv("SCAL", 's', 2, be16(2)), xyz = int32s({100, 200, 300});
        QTest::newRow("f[9]L") << '?' << QByteArray("f[9]L") << false << 40 << floats + be32(7) << half
                               << "0.5 0.5625 0.625 0.6875 0.75 0.8125 0.875 0.9375 1 3.5";
        QTest::newRow("TYPE one nest up") << '?' << QByteArray("sS") << true << 4 << be16(uint16_t(-4)) + be16(9) << half
                                          << "-2 4.5";
        const char *bad[][3] = {{"6-byte structure of l", "l", "6"}, {"unknown type letter", "x", "4"},
                                {"too short for the structure", "?ll", "12"}, {"too long for the structure", "?llll", "12"},
                                {"zero repeat", "?l[0]ll", "8"}, {"unclosed bracket", "?lll[2", "12"},
                                {"bracket first", "?[3]l", "12"}, {"unknown letter", "?lxl", "9"},
                                {"nested complex", "?l?l", "9"}, {"huge repeat", "?B[99999999]", "255"}, {"empty", "?", "4"}};
        for (const auto &row : bad)
            QTest::newRow(row[0]) << row[1][0] << QByteArray(row[1] + 1) << false << atoi(row[2])
                                  << QByteArray(atoi(row[2]), 1) << half << "";
        const QList<QPair<const char *, QByteArray>> scals{
            {"one divisor for all", klv("SCAL", 'l', 4, int32s({10}))},
            {"one each, floats", klv("SCAL", 'f', 4, be32(0x3f000000) + be32(0x40000000) + be32(0x41200000))},
            {"two divisors for three", klv("SCAL", 'l', 4, int32s({1, 2}))},
            {"a zero divisor", klv("SCAL", 'l', 4, int32s({1, 0, 1}))}, {"not numeric", klv("SCAL", 'U', 16, QByteArray(16, '1'))},
            {"another stream's", nest("STRM", klv("SCAL", 'l', 4, int32s({1000})) + klv("ACCL", 's', 2, be16(5)))}};
        const QStringList values{"10 20 30", "200 100 30", "- - -", "- - -", "- - -", "100 200 300"};
        for (int i = 0; i < scals.size(); ++i)
            QTest::newRow(scals[i].first) << 'l' << QByteArray() << false << 12 << xyz << scals[i].second << values[i];
    }
    void elementTypes() {
        QFETCH(QByteArray, typeString);
        QFETCH(bool, typeOutside);
        QFETCH(QByteArray, sample);
        QFETCH(QByteArray, scal);
        QFETCH(char, type);
        QFETCH(int, structSize);
        const QByteArray typeItem = typeString.isEmpty() ? QByteArray() : klv("TYPE", 'c', 1, typeString);
        const QByteArray strm = nest("STRM", (typeOutside ? QByteArray() : typeItem) + scal
                                                 + klv("CPLX", type, structSize, sample + sample));
        GpmfStream s;
        QVERIFY(seek(s, nest("DEVC", (typeOutside ? typeItem : QByteArray()) + strm), "CPLX"));
        QStringList values;
        double out[300];
        const bool read = s.scaledData(out, 300, 1, 1);
        for (int e = 0; e < s.elementsInStruct(); ++e)
            values << (read ? QString::number(out[e]) : "-");
        QTEST(values.join(' '), "values");
    }
    // The requested samples must lie within the item and the output.
    void sampleRanges() {
        QByteArray data;
        for (int i = 0; i < 5; ++i)
            data += int32s({i, 10 * i});
        GpmfStream s;
        QVERIFY(seek(s, nest("DEVC", klv("PAIR", 'l', 8, data)), "PAIR"));
        double out[10];
        QVERIFY(s.scaledData(out, 10, 0, 5) && s.scaledData(out, 4, 3, 2));
        QCOMPARE(std::vector<double>(out, out + 4), (std::vector<double>{3, 30, 4, 40}));
        QVERIFY(!s.scaledData(out, 10, 4, 2) && !s.scaledData(out, 10, 0xFFFFFFFFu, 2));  // past the last sample
        QVERIFY(!s.scaledData(out, 3, 0, 2) && !s.scaledData(nullptr, 10, 0, 1));       // output too small or missing
        QVERIFY(s.scaledData(out, 0, 5, 0));                                             // nothing asked, nothing written
    }
    // Walking: fill words, empty nests, digit keys, one level, backwards, failed searches, device id and name.
    void walking() {
        const QByteArray strm1 = nest("STRM", klv("SCAL", 's', 2, be16(10)) + klv("AAAA", 's', 2, be16(1)));
        const QByteArray p = nest("DEVC", klv("DVID", 'L', 4, be32(7)) + be32(0) + nest("EMPT", QByteArray()) + strm1 + be32(0)
                                              + be32(0) + nest("STRM", klv("B0B9", 's', 2, be16(2))))
                             + nest("DEVC", klv("DVID", 'L', 4, be32(9)) + klv("DVNM", 'c', 1, QByteArray(200, 'N')));
        GpmfStream s;
        QVERIFY(s.init(bytesOf(p), size_t(p.size())));
        QString walk = "DEVC";
        for (GpmfStream w = s; w.next();) {
            const uint32_t key = qToBigEndian(w.key());
            walk += QString(" %1:%2").arg(QString::fromLatin1(reinterpret_cast<const char *>(&key), 4)).arg(w.nestLevel());
        }
        QCOMPARE(walk, "DEVC DVID:1 EMPT:1 STRM:1 SCAL:2 AAAA:2 STRM:1 B0B9:2 DEVC:0 DVID:1 DVNM:1");
        QVERIFY(s.findNext(fourCC("B0B9")) && s.deviceId() == 7u);
        GpmfStream b = s, c = s;  // no backward search enters the sibling nest with the SCAL; DVID is one level up
        QVERIFY(!b.findPrevious(fourCC("SCAL"), GpmfStream::AllLevels) && b.key() == fourCC("B0B9"));
        QVERIFY(b.findPrevious(fourCC("DVID"), GpmfStream::AllLevels) && b.nestLevel() == 1);
        QVERIFY(!s.findPrevious(fourCC("DVID"), GpmfStream::CurrentLevel));
        // Staying on one level stops at the end of the nest; recursing leaves it for the next device.
        QVERIFY(!c.next(GpmfStream::CurrentLevel) && c.key() == fourCC("B0B9"));
        QVERIFY(s.next() && s.key() == fourCC("DEVC") && s.nestLevel() == 0);
        QVERIFY(s.findNext(fourCC("DVNM")) && s.deviceId() == 9u);
        QCOMPARE(s.deviceName(), QByteArray(31, 'N'));  // bounded copy
        QVERIFY(!s.next() && !s.structureBad());        // the end, not a fault
        QVERIFY(!s.findNext(fourCC("AAAA")) && !s.structureBad() && s.key() == fourCC("DVNM"));
        // Top-level nests are stepped over without recursing.
        QVERIFY(s.init(bytesOf(p), size_t(p.size())) && s.next(GpmfStream::CurrentLevel) && s.key() == fourCC("DEVC"));
        QVERIFY(!s.findNext(fourCC("DVNM"), GpmfStream::CurrentLevel));
    }
    // Hostile payloads: 16 nested levels walked, a 17th a bad structure; sizes past payload or nest, invalid keys.
    void hostilePayloads() {
        GpmfStream s;
        QByteArray inner = klv("LEAF", 'L', 4, be32(1));
        for (int i = 0; i < GpmfStream::MAX_NEST; ++i)
            inner = nest("NEST", inner);
        QVERIFY(seek(s, inner, "LEAF") && s.nestLevel() == GpmfStream::MAX_NEST);
        const QByteArray deep = nest("NEST", inner);
        QVERIFY(s.init(bytesOf(deep), size_t(deep.size())) && !s.findNext(fourCC("LEAF")) && s.structureBad());
        QCOMPARE(s.nestLevel(), 0);
        const QByteArray tiny("DEVC\0\0\0", 7), zeros(64, 0), badKey = klv("DE\x01C", 'L', 4, be32(1));
        QVERIFY(!s.init(nullptr, 100) && !s.init(bytesOf(tiny), size_t(tiny.size())) && !s.next());
        QVERIFY(!s.init(bytesOf(zeros), size_t(zeros.size())) && !s.init(bytesOf(badKey), size_t(badKey.size())));
        QByteArray p = nest("DEVC", nest("STRM", klv("GPS5", 'l', 20, QByteArray(60, 1), 3)));
        p.replace(p.size() - 62, 2, be16(1000));  // 1000 samples claimed, 3 there
        QVERIFY(seek(s, p, "GPS5") && s.repeat() == 1000u && !s.rawData() && s.rawDataBytes() == 0);
        double out[5000];
        QVERIFY(!s.scaledData(out, 5000, 0, 1) && !s.next() && s.structureBad());
        QByteArray longNest = nest("DEVC", klv("GPS5", 'l', 20, QByteArray(20, 1)));
        longNest[7] = char(0x7F);  // a nest longer than the payload is never entered
        QVERIFY(s.init(bytesOf(longNest), size_t(longNest.size())) && !s.findNext(fourCC("GPS5")));
        QByteArray badInner = nest("DEVC", klv("AAAA", 'L', 4, be32(1)) + klv("BBBB", 'L', 4, be32(2)));
        badInner[8 + 12] = char(0x80);  // an invalid key inside a nest ends the walk there
        QVERIFY(seek(s, badInner, "AAAA") && !s.next() && s.structureBad());
    }
};

QTEST_GUILESS_MAIN(TestGpmfStream)
#include "test_gpmfstream.moc"
