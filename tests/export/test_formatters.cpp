// The coordinate, timestamp, number and XML text formatters (every layout on values no position can have is
// test_exportgolden's): signs near zero, the calendar against Qt's, a decimal-comma locale, text XML cannot hold.
#include "export/formatters.h"

#include <QDomDocument>
#include <QtTest>
#include <clocale>
#include <cmath>

using namespace vx;

class TestFormatters : public QObject {
    Q_OBJECT

private slots:
    void coordinateLayouts_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<bool>("signedValues");
        QTest::addColumn<double>("lat");
        QTest::addColumn<double>("lon");
        QTest::addColumn<QByteArray>("texts");  // latDeg|latMin|latSec|lonDeg|lonMin|lonSec
        QTest::newRow("deg signed") << 0 << true << -20.2533 << 149.0251 << QByteArray("-20.253300|||149.025100||");
        QTest::newRow("deg unsigned") << 0 << false << -20.2533 << -149.0251 << QByteArray("20.253300|||149.025100||");
        QTest::newRow("deg narrow") << 0 << true << 1.5 << -0.25 << QByteArray("1.500000|||-0.250000||");
        QTest::newRow("dm signed") << 1 << true << -20.2533 << 149.0251 << QByteArray("-20|15.1980||149|01.5060|");
        QTest::newRow("dm unsigned") << 1 << false << -20.2533 << -8.5 << QByteArray("20|15.1980||008|30.0000|");
        QTest::newRow("dms signed") << 2 << true << -20.2533 << 149.0251 << QByteArray("-20|15|11.88|149|01|30.36");
        QTest::newRow("dms padding") << 2 << true << 5.0 << 7.25 << QByteArray("05|00|00.00|007|15|00.00");
        // Within one degree south or west the sign stays on the degrees.
        QTest::newRow("dm just south and west") << 1 << true << -0.5 << -0.75 << QByteArray("-0|30.0000||-00|45.0000|");
        QTest::newRow("dms just south and west") << 2 << true << -0.5 << -0.75 << QByteArray("-0|30|00.00|-00|45|00.00");
        QTest::newRow("dm unsigned just south") << 1 << false << -0.5 << -0.75 << QByteArray("00|30.0000||000|45.0000|");
        QTest::newRow("dm zero") << 1 << true << 0.0 << -0.0 << QByteArray("00|00.0000||000|00.0000|");
        QTest::newRow("dm beyond 32 bits") << 1 << true << 4294967296.5 << -2147483649.0
                                           << QByteArray("4294967296|30.0000||-2147483649|00.0000|");
        QTest::newRow("unknown format reads as dms") << 7 << true << 1.5 << 2.5 << QByteArray("01|30|00.00|002|30|00.00");
    }

    void coordinateLayouts() {
        QFETCH(int, format);
        QFETCH(bool, signedValues);
        QFETCH(double, lat);
        QFETCH(double, lon);
        const CoordinateText c = formatCoordinates(format, signedValues, lat, lon);
        QTEST((QByteArrayList{c.latDeg, c.latMin, c.latSec, c.lonDeg, c.lonMin, c.lonSec}.join('|')), "texts");
    }

    void timestamps() {
        QCOMPARE(formatTimestamp(1489267325u) + formatTimestamp(0u) + formatTimestamp(951782400u) + formatTimestamp(0xFFFFFFFFu),
                 "2017-03-11T21:22:05Z1970-01-01T00:00:00Z2000-02-29T00:00:00Z2106-02-07T06:28:15Z");
    }

    void calendarAgreesWithQt() {
        QRandomGenerator rng(20240607);
        QVector<qint64> samples{0, -1, 86399, 86400, -86400, 68169600 /* 1972-02-29 */,
                                951868800 /* 2000-03-01 */, 4102444800 /* 2100-01-01 */,
                                4107542400 /* 2100-03-01 */, -2208988800 /* 1900-01-01 */};
        for (int i = 0; i < 20000; ++i)
            samples << static_cast<qint64>(rng.bounded(6000000000.0)) - 1000000000;
        for (int k = -300; k < 300; ++k)  // seconds in a row across midnight: the writer's day is kept
            samples << 1489276800 + k << -86400 + k;
        DateTimeWriter writer;
        for (qint64 s : samples) {
            const CivilTime t = civilFromSeconds(s);
            const QDateTime q = QDateTime::fromSecsSinceEpoch(s, Qt::UTC);
            QCOMPARE(QString::fromLatin1(dateText(t)), q.toString(QStringLiteral("yyyy-MM-dd")));
            QCOMPARE(QString::fromLatin1(timeText(t)), q.toString(QStringLiteral("hh:mm:ss")));
            char text[DATE_TIME_TEXT_MAX + 2];
            const char *end = writer.write(text, s, "T", 1);
            QCOMPARE(QByteArray(text, static_cast<int>(end - text)), dateText(t) + 'T' + timeText(t));
        }
    }

    void numbersIgnoreTheLocale() {
        // A locale with a decimal comma, as a desktop session in Germany has.
        QTemporaryDir dir;
        QProcess def;
        def.start("localedef", {"-i", "de_DE", "-f", "UTF-8", dir.filePath("de_DE.UTF-8")});
        if (!def.waitForFinished(60000) || def.exitCode() != 0)
            QSKIP("no de_DE locale could be built here");
        qputenv("LOCPATH", QFile::encodeName(dir.path()));
        QVERIFY(std::setlocale(LC_ALL, "de_DE.UTF-8"));
        char probe[32];
        std::snprintf(probe, sizeof probe, "%.1f", 1.5);
        const bool commaLocale = QByteArray(probe) == "1,5";
        const QByteArray plain = cFormat("%5.1f,%12.3lf", 36.0, 1.5151);
        const CoordinateText c = formatCoordinates(2, true, -20.2533, 149.0251);
        std::setlocale(LC_ALL, "C");
        qunsetenv("LOCPATH");
        QVERIFY2(commaLocale, probe);  // the switch did take effect
        QCOMPARE(plain, QByteArray(" 36.0,       1.515"));
        QCOMPARE(c.latSec, QByteArray("11.88"));
    }

    void longFormattedText() {
        const QByteArray big = cFormat("%.3f|%s", 1e300, QByteArray(1000, 'x').constData());
        QCOMPARE(big.size(), 301 + 4 + 1 + 1000);
        QVERIFY(big.endsWith(QByteArray(1000, 'x')));
        QByteArray out("a");
        appendCFormat(out, "%d-%s", 7, "b");
        QCOMPARE(out, QByteArray("a7-b"));
    }

    void xmlText() {
        QCOMPARE(xmlEscaped("a&b<c>.mov") + '|' + xmlEscaped("\"Tom's\" pin") + '|' + xmlEscaped("plain 1.5 km/h"),
                 "a&amp;b&lt;c&gt;.mov|&quot;Tom&apos;s&quot; pin|plain 1.5 km/h");
        QCOMPARE(xmlEscaped(QString::fromUtf8("Zürich 🚁")), QString::fromUtf8("Zürich 🚁").toUtf8());
        // Control characters, non-characters and broken surrogates cannot
        // appear in XML at all: dropped. Tab and line ends stay.
        const QChar bad[] = {'a', QChar(0x01), QChar(0x1F), QChar(0xFFFE), QChar(0xD800) /* unpaired high surrogate */, 'b', '\t',
                             'c', '\n', QChar(0xDC00) /* unpaired low surrogate */};
        QCOMPARE(xmlEscaped(QString(bad, 10)), "ab\tc\n");

        // Whatever the text, the element it lands in parses back to it.
        QString hostile;
        for (int u = 0; u < 0x300; ++u)
            hostile += QChar(u);
        hostile += QStringLiteral("]]><!-- &amp; -->");
        const QByteArray doc = "<r a=\"" + xmlEscaped(hostile) + "\">" + xmlEscaped(hostile) + "</r>";
        QDomDocument dom;
        QString error;
        QVERIFY2(dom.setContent(doc, &error), qPrintable(error));
        // What XML can hold comes back (a parser may read "\r" as "\n").
        QCOMPARE(dom.documentElement().text().replace('\r', '\n'),
                 hostile.remove(QRegularExpression("[\\x00-\\x08\\x0b\\x0c\\x0e-\\x1f]")).replace('\r', '\n'));
    }
};

QTEST_GUILESS_MAIN(TestFormatters)
#include "test_formatters.moc"
