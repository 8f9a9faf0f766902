// Line scanning under the readers: line ends, chunks, NUL bytes, over-long lines, cue times, numbers.
#include "track/textlines.h"

#include <QtTest>

using namespace vx;

namespace {

QList<QByteArray> linesOf(QByteArray bytes) {
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    LineReader reader(in);
    QList<QByteArray> lines;
    while (reader.next())
        lines.append(QByteArray(reader.data(), reader.size()));
    return lines;
}

} // namespace

class TestTextLines : public QObject {
    Q_OBJECT

private slots:
    void lineEnds_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QList<QByteArray>>("lines");
        const QByteArray x(MAX_LINE_BYTES, 'x');
        QByteArray chunks;  // 10485 lines of 100 bytes, then "\r" the first megabyte's last byte, "\n" the next's first
        for (int i = 0; i < 10485; ++i)
            chunks += QByteArray(99, 'c') + '\n';
        const QList<QByteArray> chunkLines = QList<QByteArray>() << chunks.split('\n').mid(0, 10485)
                                                                 << QByteArray(75, 'y') << "after";
        QTest::newRow("empty") << QByteArray() << QList<QByteArray>{};
        QTest::newRow("no final end") << QByteArray("a\nb") << QList<QByteArray>{"a", "b"};
        QTest::newRow("crlf, lone cr") << QByteArray("a\r\nb\rc\r") << QList<QByteArray>{"a", "b", "c"};
        QTest::newRow("cr cr lf") << QByteArray("a\r\r\nb") << QList<QByteArray>{"a", "", "b"};
        QTest::newRow("blank lines") << QByteArray("\n\na\n") << QList<QByteArray>{"", "", "a"};
        QTest::newRow("nul ends the line") << QByteArray("ab\0cd\nef", 8) << QList<QByteArray>{"ab", "ef"};
        QTest::newRow("latin-1 kept") << QByteArray("\xef\xbb\xbf" "1\n\xb0")
                                      << QList<QByteArray>{"\xef\xbb\xbf" "1", "\xb0"};
        QTest::newRow("crlf across the chunk end") << chunks + QByteArray(75, 'y') + "\r\nafter" << chunkLines;
        QTest::newRow("over-long lines are cut")
            << QByteArray(100000, 'x') + "\nnext\n" + QByteArray(MAX_LINE_BYTES, 'z') + "\rlast"
            << QList<QByteArray>{x, "next", QByteArray(MAX_LINE_BYTES, 'z'), "last"};
        QTest::newRow("over-long to the end") << "a\n" + QByteArray(3 * MAX_LINE_BYTES + 5, 'x')
                                              << QList<QByteArray>{"a", x};
    }
    void lineEnds() {
        QFETCH(QByteArray, input);
        QTEST(linesOf(input), "lines");
    }
    void latin1TextMatchesTheBytes() {
        QByteArray bytes("GPS \xb0 long line\nx\n");
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        LineReader reader(in);
        QVERIFY(reader.next() && reader.text() == QString::fromLatin1("GPS \xb0 long line"));
        QVERIFY(reader.contains("GPS") && !reader.contains("gps"));
        QCOMPARE(LineReader::find("xxGPS", 4, "GPS", 3), -1);  // never past the line's end
        QVERIFY(reader.next() && reader.text() == "x");  // shorter text after a longer one
        QVERIFY(!reader.next());
    }
    void cueTimes_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("hmsms");  // empty: no cue time
        QTest::newRow("cue") << QByteArray("00:15:04,904 --> 00:15:05,905") << "0 15 4 904";
        QTest::newRow("end time has no arrow") << QByteArray("00:00:02,000") << "";
        QTest::newRow("last complete match") << QByteArray("01:02:03,004 --> x 11:12:13,014 --> 9:12:13,014 -->")
                                             << "11 12 13 14";
        QTest::newRow("cut before the arrow's end") << QByteArray("01:02:03,004 --") << "";
        QTest::newRow("letter among the milliseconds") << QByteArray("01:02:03,0x4 -->") << "";
    }
    void cueTimes() {
        QFETCH(QByteArray, line);
        QFETCH(QString, hmsms);
        int h = -1, m = -1, s = -1, ms = -1;
        QCOMPARE(scanCueTimes(line.constData(), line.size(), h, m, s, ms), !hmsms.isEmpty());
        QCOMPARE(hmsms.isEmpty() ? QString() : QString("%1 %2 %3 %4").arg(h).arg(m).arg(s).arg(ms), hmsms);
    }
    void numbers_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("integer");
        const struct { const char *text; double value; int integer; } cases[] = {
            {"149.0251", 149.0251, 0}, {"-20.2533", -20.2533, 0}, {"+1.5", 1.5, 0}, {".5", 0.5, 0}, {"16", 16, 16},
            {"0042", 42, 42}, {"+7", 7, 7}, {"", 0, 0}, {"-", 0, 0}, {"+-1", 0, 0}, {"7x", 0, 0},
            {"99999999999", 99999999999.0, 0} /* does not fit an int */};
        for (const auto &c : cases)
            QTest::newRow(c.text) << QByteArray(c.text) << c.value << c.integer;
        QTest::newRow("overflow") << QByteArray(400, '9') << 0.0 << 0;
    }
    void numbers() {
        QFETCH(QByteArray, text);
        QTEST(parseDouble(text.constData(), text.size()), "value");
        QTEST(parseInt(text.constData(), text.size()), "integer");
    }
};

QTEST_GUILESS_MAIN(TestTextLines)
#include "test_textlines.moc"
