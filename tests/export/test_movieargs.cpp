// The pure rules of the clip export and the merge: argument lists, numbers,
// the concat list, the progress report, output names and the range checks.
#include "export/clipexport.h"
#include "export/movieargs.h"
#include "export/moviejob.h"
#include "export/movieoutput.h"

#include "support/testsupport.h"

#include <QTemporaryDir>
#include <QtTest>
#include <clocale>

using namespace vx;

class TestMovieArgs : public QObject {
    Q_OBJECT

private slots:
    void clipArgumentLists_data()
    {
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("duration");
        QTest::addColumn<int>("rate");
        QTest::addColumn<bool>("audio");
        QTest::addColumn<QString>("expected");
        const QString p = QStringLiteral("-nostdin -progress pipe:1 -nostats ");
        QTest::newRow("1.0x copies") << 12.5 << 10.0 << 3 << true
                                     << p + "-ss 12.5 -i /m/a.MOV -y -vcodec copy -acodec copy -t 10 /o/c.mov";
        QTest::newRow("1.0x silent") << 0.0 << 3.25 << 3 << false
                                     << p + "-ss 0 -i /m/a.MOV -y -vcodec copy -an -t 3.25 /o/c.mov";
        QTest::newRow("2.0x halves -t") << 1.0 << 10.0 << 4 << true
                                        << p + "-ss 1 -i /m/a.MOV -filter:v setpts=0.5*PTS -filter:a atempo=2.0 "
                                               "-t 5 -y /o/c.mov";
        QTest::newRow("8.0x silent") << 1.0 << 10.0 << 6 << false
                                     << p + "-ss 1 -i /m/a.MOV -filter:v setpts=0.125*PTS -an -t 1.25 -y /o/c.mov";
        QTest::newRow("0.125x") << 0.0 << 0.5 << 0 << true
                                << p + "-ss 0 -i /m/a.MOV -filter:v setpts=8.0*PTS "
                                       "-filter:a atempo=0.5,atempo=0.5,atempo=0.5 -t 4 -y /o/c.mov";
        // "g" notation would give 1e-05 and 1.23457e+06, which ffmpeg refuses.
        QTest::newRow("no exponents") << 0.00001 << 1234567.5 << 3 << true
                                      << p + "-ss 0.00001 -i /m/a.MOV -y -vcodec copy -acodec copy -t 1234567.5 /o/c.mov";
    }
    void clipArgumentLists()
    {
        QFETCH(double, start);
        QFETCH(double, duration);
        QFETCH(int, rate);
        QFETCH(bool, audio);
        QFETCH(QString, expected);
        // A locale with a decimal comma must not leak into the numbers.
        std::setlocale(LC_ALL, "de_DE.UTF-8");
        QLocale::setDefault(QLocale(QLocale::German));
        ClipRequest r{QStringLiteral("/m/a.MOV"), start, duration, rate, audio, QStringLiteral("/o/c.mov")};
        QCOMPARE(clipArguments(r).join(' '), expected);
        QLocale::setDefault(QLocale::c());
        std::setlocale(LC_ALL, "C");
    }

    void mergeAndAccelerationLists()
    {
        const QString p = QStringLiteral("-nostdin -progress pipe:1 -nostats ");
        QCOMPARE(mergeArguments("/t/merge.txt", true, "/o/m.mov").join(' '),
                 p + "-f concat -safe 0 -i /t/merge.txt -c copy -y /o/m.mov");
        QCOMPARE(mergeArguments("/t/merge.txt", false, "/o/m.mov").join(' '),
                 p + "-f concat -safe 0 -i /t/merge.txt -c:v copy -an -y /o/m.mov");
        QCOMPARE(accelerationArguments("/o/m.mov", 5, true, "/o/m_4.0x.mov").join(' '),
                 p + "-i /o/m.mov -filter:v setpts=0.25*PTS -filter:a atempo=2.0,atempo=2.0 -y /o/m_4.0x.mov");
        QCOMPARE(accelerationArguments("/o/m.mov", 1, false, "/o/x.mov").join(' '),
                 p + "-i /o/m.mov -filter:v setpts=4.0*PTS -an -y /o/x.mov");
        QCOMPARE(exportRateLabel(0), QStringLiteral("0.125x"));
        QCOMPARE(exportRateLabel(7), QString());
        QCOMPARE(exportRateValue(6), 8.0);
    }

    void concatListEscapesAndRefusesLineBreaks()
    {
        QByteArray text;
        QVERIFY(concatListText({QString::fromUtf8("/v/it's/é,1.mov"), QStringLiteral("/v/b.mov")}, &text));
        QCOMPARE(text, QByteArray("file '/v/it'\\''s/\xc3\xa9,1.mov'\nfile '/v/b.mov'\n"));
        for (const QString &bad : {QStringLiteral("/v/a\nfile '/etc/passwd.mov"), QStringLiteral("/v/a\r.mov")}) {
            QString badPath;
            QVERIFY(!concatListText({QStringLiteral("/v/ok.mov"), bad}, &text, &badPath));
            QCOMPARE(badPath, bad);
        }
    }

    void progressReport_data()
    {
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<double>("expectedSeconds");
        QTest::addColumn<double>("fraction");
        QTest::addColumn<bool>("ended");
        QTest::newRow("half way") << QByteArrayList{"frame=10", "out_time_us=2500000", "out_time=00:00:02.500000",
                                                    "progress=continue"}
                                  << 5.0 << 0.5 << false;
        QTest::newRow("N/A keeps the last") << QByteArrayList{"out_time_us=1000000", "out_time_us=N/A"} << 4.0
                                            << 0.25 << false;
        QTest::newRow("negative is zero") << QByteArrayList{"out_time_us=-23220"} << 4.0 << 0.0 << false;
        QTest::newRow("past the end") << QByteArrayList{"out_time_us=9000000", "progress=end"} << 4.0 << 1.0 << true;
        QTest::newRow("unknown length") << QByteArrayList{"out_time_us=9000000"} << 0.0 << 0.0 << false;
        QTest::newRow("out_time_ms is not it") << QByteArrayList{"out_time_ms=3000000", "junk", "=5"} << 4.0 << 0.0
                                               << false;
    }
    void progressReport()
    {
        QFETCH(QByteArrayList, lines);
        QFETCH(double, expectedSeconds);
        QFETCH(double, fraction);
        QFETCH(bool, ended);
        ProgressReport report;
        for (const QByteArray &line : lines)
            report.feed(line);
        QCOMPARE(progressFraction(report.outTimeUs(), expectedSeconds), fraction);
        QCOMPARE(report.ended(), ended);
    }

    void clipNamesCountUpAndNeverReplace()
    {
        QTemporaryDir dir;
        QCOMPARE(clipOutputPath(dir.path(), "DJI_0001.MOV"), dir.filePath("DJI_0001_000.mov"));
        QVERIFY(vxtest::writeFile(dir.filePath("DJI_0001_000.mov"), "x"));
        QVERIFY(QFile::link(dir.filePath("nowhere"), dir.filePath("DJI_0001_001.mov")));  // dangling link
        QCOMPARE(clipOutputPath(dir.path() + '/', "DJI_0001.MOV"), dir.filePath("DJI_0001_002.mov"));
        QCOMPARE(clipOutputPath(dir.path(), "noext"), dir.filePath("noext_000.mov"));
        for (int n = 0; n <= CLIP_COUNTER_LIMIT; ++n)
            QVERIFY(vxtest::writeFile(dir.filePath(QString::asprintf("full_%03d.mov", n)), ""));
        QCOMPARE(clipOutputPath(dir.path(), "full.mp4"), QString());
    }

    void mergeNames()
    {
        QCOMPARE(mergedMoviePath("/d/merged.MP4"), QStringLiteral("/d/merged.mov"));
        QCOMPARE(mergedMoviePath("/d.x/merged"), QString());
        QCOMPARE(mergedGpxPath("/d/merged.mov"), QStringLiteral("/d/merged.gpx"));
        QCOMPARE(acceleratedMoviePath("/d/merged_dashcam_movies.mov", 5),
                 QStringLiteral("/d/merged_dashcam_movies_4.0x.mov"));
    }

    void clipRangeChecks_data()
    {
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("duration");
        QTest::addColumn<int>("factor");
        QTest::addColumn<double>("movie");
        QTest::addColumn<QString>("error");
        QTest::newRow("fits") << 2.0 << 5.0 << 1 << 30.0 << QString();
        QTest::newRow("exactly the minimum") << 0.0 << 0.1 << 1 << 30.0 << QString();
        QTest::newRow("below the minimum") << 0.0 << 0.099 << 1 << 30.0
                                           << "Duration must be longer than 0.1 seconds.";
        QTest::newRow("negative start") << -1.0 << 5.0 << 1 << 30.0
                                        << "The start time must be greater than 0 seconds.";
        QTest::newRow("too long") << 0.0 << 29.95 << 1 << 30.0 << "Duration must be shorter than 29.9 seconds.";
        QTest::newRow("past the end") << 20.0 << 9.95 << 1 << 30.0
                                      << "Start Time plus duration must be shorter than 29.9 seconds.";
        QTest::newRow("timelapse minimum") << 0.0 << 1.9 << 20 << 30.0 << "Duration must be longer than 2 seconds.";
        QTest::newRow("timelapse fits") << 40.0 << 60.0 << 20 << 30.0 << QString();
        QTest::newRow("unknown length") << 100.0 << 5.0 << 1 << -1.0 << QString();
    }
    void clipRangeChecks()
    {
        QFETCH(double, start);
        QFETCH(double, duration);
        QFETCH(int, factor);
        QFETCH(double, movie);
        QFETCH(QString, error);
        const ClipRange r = checkClipRange(start, duration, factor, movie);
        QCOMPARE(r.error, error);
        QCOMPARE(r.ok, error.isEmpty());
        QCOMPARE(r.startSeconds, start / factor);
        QCOMPARE(r.durationSeconds, duration / factor);
    }

    void fieldTexts()
    {
        QCOMPARE(splitMinutesSeconds(65.5).minutes, QStringLiteral("1"));
        QCOMPARE(splitMinutesSeconds(65.5).seconds, QStringLiteral("5.5"));
        QCOMPARE(splitMinutesSeconds(7.123456).seconds, QStringLiteral("7.123"));
        QCOMPARE(splitMinutesSeconds(0.00001).seconds, QStringLiteral("0.00001"));
        QCOMPARE(durationFieldText(12.3456789), QStringLiteral("12.3457"));
        QCOMPARE(fieldValue(" 2.5 "), 2.5);
        QCOMPARE(fieldValue("abc"), 0.0);
        QCOMPARE(clipInfoText(1, 62.5), QStringLiteral("Movie Duration: 62.5 seconds"));
        QCOMPARE(clipInfoText(30, 120), QStringLiteral("Timelapse Duration: 60 minutes"));
    }

    void mergedLength_data()
    {
        QTest::addColumn<double>("actual");
        QTest::addColumn<QVector<double>>("inputs");
        QTest::addColumn<bool>("fits");
        QTest::newRow("sum") << 9.04 << QVector<double>{3.0, 3.0, 3.02} << true;
        QTest::newRow("a movie left out") << 6.02 << QVector<double>{3.0, 3.0, 3.02} << false;
        QTest::newRow("a short movie left out") << 600.0 << QVector<double>{300.0, 0.8, 300.0} << false;
        QTest::newRow("1 % of long movies") << 3590.0 << QVector<double>{1200.0, 1200.0, 1200.0} << true;
        QTest::newRow("unreadable output") << -1.0 << QVector<double>{3.0, 3.0} << false;
        QTest::newRow("unknown input, rest fits") << 8.0 << QVector<double>{3.0, -1.0, 3.0} << true;
        QTest::newRow("unknown input, too short") << 2.0 << QVector<double>{3.0, -1.0, 3.0} << false;
    }
    void mergedLength()
    {
        QFETCH(double, actual);
        QFETCH(QVector<double>, inputs);
        QFETCH(bool, fits);
        QCOMPARE(mergedLengthFits(actual, inputs), fits);
    }
};

QTEST_GUILESS_MAIN(TestMovieArgs)
#include "test_movieargs.moc"
