// Line scanning under the readers: line ends of every kind, chunk
// boundaries, NUL bytes, over-long lines, the cue time scanner and the
// number conversion.
#include "track/textlines.h"

#include <QBuffer>
#include <QtTest>

using namespace vx;

namespace {

QList<QByteArray> linesOf(const QByteArray &bytes)
{
    QBuffer in;
    in.setData(bytes);
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
    void lineEnds_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QList<QByteArray>>("lines");
        QTest::newRow("empty") << QByteArray() << QList<QByteArray>{};
        QTest::newRow("lf") << QByteArray("a\nb\n") << QList<QByteArray>{"a", "b"};
        QTest::newRow("no final end") << QByteArray("a\nb") << QList<QByteArray>{"a", "b"};
        QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QList<QByteArray>{"a", "b"};
        QTest::newRow("lone cr") << QByteArray("a\rb\r") << QList<QByteArray>{"a", "b"};
        QTest::newRow("cr cr lf") << QByteArray("a\r\r\nb") << QList<QByteArray>{"a", "", "b"};
        QTest::newRow("blank lines") << QByteArray("\n\na\n") << QList<QByteArray>{"", "", "a"};
        QTest::newRow("nul ends the line") << QByteArray("ab\0cd\nef", 8) << QList<QByteArray>{"ab", "ef"};
        QTest::newRow("latin-1 kept") << QByteArray("\xef\xbb\xbf" "1\n\xb0") << QList<QByteArray>{"\xef\xbb\xbf" "1", "\xb0"};
    }
    void lineEnds()
    {
        QFETCH(QByteArray, input);
        QFETCH(QList<QByteArray>, lines);
        QCOMPARE(linesOf(input), lines);
    }

    void crlfAcrossTheChunkBoundary()
    {
        // 10485 lines of 100 bytes, then a 76-byte line whose "\r" is the
        // last byte of the first megabyte and whose "\n" the first of the next.
        QByteArray bytes;
        for (int i = 0; i < 10485; ++i)
            bytes += QByteArray(99, 'x') + '\n';
        bytes += QByteArray(75, 'y') + "\r\n" + "after";
        QCOMPARE(bytes.indexOf('\r'), (1 << 20) - 1);
        const QList<QByteArray> lines = linesOf(bytes);
        QCOMPARE(lines.size(), 10487);
        QCOMPARE(lines[10485], QByteArray(75, 'y'));
        QCOMPARE(lines[10486], QByteArray("after"));
    }

    void overlongLinesAreCut()
    {
        QByteArray bytes = QByteArray(100000, 'x') + "\nnext\n" + QByteArray(MAX_LINE_BYTES, 'z') + "\rlast";
        const QList<QByteArray> lines = linesOf(bytes);
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0], QByteArray(MAX_LINE_BYTES, 'x'));
        QCOMPARE(lines[1], QByteArray("next"));
        QCOMPARE(lines[2], QByteArray(MAX_LINE_BYTES, 'z'));
        QCOMPARE(lines[3], QByteArray("last"));
        // An over-long line that runs to the end of the input.
        const QList<QByteArray> tail = linesOf("a\n" + QByteArray(3 * MAX_LINE_BYTES + 5, 'q'));
        QCOMPARE(tail.size(), 2);
        QCOMPARE(tail[1].size(), MAX_LINE_BYTES);
    }

    void latin1TextMatchesTheBytes()
    {
        QBuffer in;
        in.setData(QByteArray("GPS \xb0 long line\nx\n"));
        in.open(QIODevice::ReadOnly);
        LineReader reader(in);
        QVERIFY(reader.next());
        QCOMPARE(reader.text(), QString::fromLatin1("GPS \xb0 long line"));
        QVERIFY(reader.contains("GPS"));
        QVERIFY(!reader.contains("gps"));
        QVERIFY(reader.next());
        QCOMPARE(reader.text(), QStringLiteral("x"));  // shorter text after a longer one
        QVERIFY(!reader.next());
    }

    void cueTimes()
    {
        int h = -1, m = -1, s = -1, ms = -1;
        QVERIFY(!scanCueTimes("00:00:02,000", 12, h, m, s, ms));  // an end time has no arrow
        QCOMPARE(h, -1);
        const QByteArray cue = "00:15:04,904 --> 00:15:05,905";
        QVERIFY(scanCueTimes(cue.constData(), cue.size(), h, m, s, ms));
        QCOMPARE(h, 0);
        QCOMPARE(m, 15);
        QCOMPARE(s, 4);
        QCOMPARE(ms, 904);
        // Find-all: the last complete match wins; broken ones are passed over.
        const QByteArray two = "01:02:03,004 --> x 11:12:13,014 --> 9:12:13,014 -->";
        QVERIFY(scanCueTimes(two.constData(), two.size(), h, m, s, ms));
        QCOMPARE(h, 11);
        QCOMPARE(ms, 14);
        const QByteArray cut = "01:02:03,004 -->";
        QVERIFY(!scanCueTimes(cut.constData(), cut.size() - 1, h, m, s, ms));
        QVERIFY(!scanCueTimes("", 0, h, m, s, ms));
    }

    void numbers_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << QByteArray("149.0251") << 149.0251;
        QTest::newRow("negative") << QByteArray("-20.2533") << -20.2533;
        QTest::newRow("plus") << QByteArray("+1.5") << 1.5;
        QTest::newRow("no leading digit") << QByteArray(".5") << 0.5;
        QTest::newRow("integer") << QByteArray("16") << 16.0;
        QTest::newRow("empty") << QByteArray("") << 0.0;
        QTest::newRow("sign only") << QByteArray("-") << 0.0;
        QTest::newRow("double sign") << QByteArray("+-1") << 0.0;
        QTest::newRow("trailing text") << QByteArray("1.5m") << 0.0;
        QTest::newRow("overflow") << QByteArray(400, '9') << 0.0;
    }
    void numbers()
    {
        QFETCH(QByteArray, text);
        QFETCH(double, value);
        QCOMPARE(parseDouble(text.constData(), text.size()), value);
    }

    void integers()
    {
        QCOMPARE(parseInt("0042", 4), 42);
        QCOMPARE(parseInt("+7", 2), 7);
        QCOMPARE(parseInt("99999999999", 11), 0);  // does not fit: 0
        QCOMPARE(parseInt("7x", 2), 0);
    }
};

QTEST_GUILESS_MAIN(TestTextLines)
#include "test_textlines.moc"
