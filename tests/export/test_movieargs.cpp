// The pure rules of the clip export and the merge: argument lists, numbers,
// the concat list, the progress report, output names and the range checks.
#include "export/clipexport.h"
#include "export/movieargs.h"
#include "export/moviejob.h"
#include "export/moviemerge.h"
#include "export/movieoutput.h"
#include "support/testsupport.h"

#include <QtTest>
#include <clocale>

using namespace vx;

class TestMovieArgs : public QObject {
    Q_OBJECT

private slots:
    void argumentLists()
    {
        // A locale with a decimal comma must not leak into the numbers.
        std::setlocale(LC_ALL, "de_DE.UTF-8");
        QLocale::setDefault(QLocale(QLocale::German));
        const auto clip = [](double start, double duration, int rate, bool audio) {
            return clipArguments({"/m/a.MOV", start, duration, rate, audio, "/o/c.mov"});
        };
        const QList<QPair<QStringList, QString>> cases = {
            {clip(12.5, 10, 3, true), "-ss 12.5 -i /m/a.MOV -y -vcodec copy -acodec copy -t 10 /o/c.mov"},  // 1.0x
            {clip(0, 3.25, 3, false), "-ss 0 -i /m/a.MOV -y -vcodec copy -an -t 3.25 /o/c.mov"},
            {clip(1, 10, 4, true), "-ss 1 -i /m/a.MOV -filter:v setpts=0.5*PTS -filter:a atempo=2.0 -t 5 -y /o/c.mov"},
            {clip(1, 10, 6, false), "-ss 1 -i /m/a.MOV -filter:v setpts=0.125*PTS -an -t 1.25 -y /o/c.mov"},  // 8x
            {clip(0, 0.5, 0, true), "-ss 0 -i /m/a.MOV -filter:v setpts=8.0*PTS "
                                    "-filter:a atempo=0.5,atempo=0.5,atempo=0.5 -t 4 -y /o/c.mov"},  // 0.125x
            // "g" notation would give 1e-05 and 1.23457e+06, which ffmpeg refuses.
            {clip(0.00001, 1234567.5, 3, true),
             "-ss 0.00001 -i /m/a.MOV -y -vcodec copy -acodec copy -t 1234567.5 /o/c.mov"},
            {mergeArguments("/t/merge.txt", true, "/o/m.mov"), "-f concat -safe 0 -i /t/merge.txt -c copy -y /o/m.mov"},
            {mergeArguments("/t/merge.txt", false, "/o/m.mov"),
             "-f concat -safe 0 -i /t/merge.txt -c:v copy -an -y /o/m.mov"},
            {accelerationArguments("/o/m.mov", 5, true, "/o/m_4.0x.mov"),
             "-i /o/m.mov -filter:v setpts=0.25*PTS -filter:a atempo=2.0,atempo=2.0 -y /o/m_4.0x.mov"},
            {accelerationArguments("/o/m.mov", 1, false, "/o/x.mov"),
             "-i /o/m.mov -filter:v setpts=4.0*PTS -an -y /o/x.mov"},
        };
        QLocale::setDefault(QLocale::c());
        std::setlocale(LC_ALL, "C");
        for (const auto &c : cases)
            QCOMPARE(c.first.join(' '), "-nostdin -progress pipe:1 -nostats " + c.second);
        // The concat list: quoted, and no line breaks.
        QByteArray text;
        QVERIFY(concatListText({QString::fromUtf8("/v/it's/é,1.mov"), QStringLiteral("/v/b.mov")}, &text));
        QCOMPARE(text, QByteArray("file '/v/it'\\''s/\xc3\xa9,1.mov'\nfile '/v/b.mov'\n"));
        for (const QString &bad : {QStringLiteral("/v/a\nfile '/etc/passwd.mov"), QStringLiteral("/v/a\r.mov")}) {
            QString badPath;
            QVERIFY(!concatListText({QStringLiteral("/v/ok.mov"), bad}, &text, &badPath));
            QCOMPARE(badPath, bad);
        }
    }
    void progressReport()
    {
        const struct { QByteArrayList lines; double expectedSeconds, fraction; bool ended; } cases[] = {
            {{"frame=10", "out_time_us=2500000", "out_time=00:00:02.500000", "progress=continue"}, 5, 0.5, false},
            {{"out_time_us=1000000", "out_time_us=N/A"}, 4, 0.25, false},  // N/A keeps the last
            {{"out_time_us=-23220"}, 4, 0, false}, {{"out_time_us=9000000"}, 0, 0, false},  // negative; no length
            {{"out_time_us=9000000", "progress=end"}, 4, 1, true},          // past the end
            {{"out_time_ms=3000000", "junk", "=5"}, 4, 0, false},           // out_time_ms is not it
        };
        for (const auto &c : cases) {
            ProgressReport report;
            for (const QByteArray &line : c.lines)
                report.feed(line);
            QCOMPARE(progressFraction(report.outTimeUs(), c.expectedSeconds), c.fraction);
            QCOMPARE(report.ended(), c.ended);
        }
    }
    void namesAndFieldTexts()
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
        const QStringList got = {mergedMoviePath("/d/merged.MP4"), mergedMoviePath("/d.x/merged"),
                                 mergedGpxPath("/d/merged.mov"), acceleratedMoviePath("/d/merged_dashcam_movies.mov", 5),
                                 splitMinutesSeconds(65.5).minutes, splitMinutesSeconds(65.5).seconds,
                                 splitMinutesSeconds(7.123456).seconds, splitMinutesSeconds(0.00001).seconds,
                                 durationFieldText(12.3456789), QString::number(fieldValue(" 2.5 ")),
                                 QString::number(fieldValue("abc")), clipInfoText(1, 62.5), clipInfoText(30, 120),
                                 exportRateLabel(0), exportRateLabel(7), QString::number(exportRateValue(6))};
        QCOMPARE(got, (QStringList{"/d/merged.mov", "", "/d/merged.gpx", "/d/merged_dashcam_movies_4.0x.mov", "1",
                                   "5.5", "7.123", "0.00001", "12.3457", "2.5", "0", "Movie Duration: 62.5 seconds",
                                   "Timelapse Duration: 60 minutes", "0.125x", "", "8"}));
    }

    // start, duration, time factor, movie length -> the error.
    void clipRangeChecks()
    {
        const struct { double start, duration; int factor; double movie; QString error; } cases[] = {
            {2, 5, 1, 30, QString()}, {0, 0.1, 1, 30, QString()},  // fits; exactly the minimum
            {0, 0.099, 1, 30, "Duration must be longer than 0.1 seconds."},
            {-1, 5, 1, 30, "The start time must be greater than 0 seconds."},
            {0, 29.95, 1, 30, "Duration must be shorter than 29.9 seconds."},
            {20, 9.95, 1, 30, "Start Time plus duration must be shorter than 29.9 seconds."},
            {0, 1.9, 20, 30, "Duration must be longer than 2 seconds."},  // a time-lapse
            {40, 60, 20, 30, QString()}, {100, 5, 1, -1, QString()},  // a time-lapse; an unknown length
        };
        for (const auto &c : cases) {
            const ClipRange r = checkClipRange(c.start, c.duration, c.factor, c.movie);
            QCOMPARE(r.error, c.error);
            QCOMPARE(r.ok, c.error.isEmpty());
            QCOMPARE(r.startSeconds, c.start / c.factor);
            QCOMPARE(r.durationSeconds, c.duration / c.factor);
        }
    }
    void mergedLength()
    {
        const struct { double actual; QVector<double> inputs; bool fits; } cases[] = {
            {9.04, {3.0, 3.0, 3.02}, true}, {6.02, {3.0, 3.0, 3.02}, false},  // the sum; a movie left out
            {600.0, {300.0, 0.8, 300.0}, false},                              // a short movie left out
            {3590.0, {1200.0, 1200.0, 1200.0}, true},                         // 1 % of long movies
            {-1.0, {3.0, 3.0}, false},                                        // unreadable output
            {8.0, {3.0, -1.0, 3.0}, true}, {2.0, {3.0, -1.0, 3.0}, false},    // an unknown input
        };
        for (const auto &c : cases)
            QVERIFY2(mergedLengthFits(c.actual, c.inputs) == c.fits, qPrintable(QString::number(c.actual)));
    }
};

QTEST_GUILESS_MAIN(TestMovieArgs)
#include "test_movieargs.moc"
