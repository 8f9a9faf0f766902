// Running the media tool: a fake tool script stands in for ffmpeg on PATH.
#include "support/testsupport.h"
#include "track/mediatool.h"

#include <QtTest>
#include <ctime>

using namespace vx;
using vxtest::readFile;

class TestMediaTool : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QByteArray m_oldPath;

    QString tool() const { return m_dir.filePath("ffmpeg"); }
    QString log() const { return m_dir.filePath("log.txt"); }

    void installTool(const QByteArray &script) {
        QVERIFY(vxtest::writeFile(tool(), script));
        QVERIFY(QFile::setPermissions(tool(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_oldPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(m_dir.path()) + ":/usr/bin:/bin");
    }
    void cleanupTestCase() { qputenv("PATH", m_oldPath); }

    // Standard error goes to the log, which is truncated first; the exit
    // code, a crash and a tool that cannot start all end the wait.
    void outcomes_data() {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("logText");
        QTest::newRow("finished") << QByteArray("#!/bin/sh\necho \"report for $*\" >&2\necho not-in-log\nexit 3\n")
                                  << int(MediaToolOutcome::Finished) << 3 << QByteArray("report for -i x.mov\n");
        QTest::newRow("crashed") << QByteArray("#!/bin/sh\nkill -9 $$\n") << int(MediaToolOutcome::Crashed) << -1
                                 << QByteArray();
        // No interpreter line and not a binary: exec fails.
        QTest::newRow("cannot start") << QByteArray("\x7f\x45\x4c\x46garbage", 11)
                                      << int(MediaToolOutcome::FailedToStart) << -1 << QByteArray();
    }
    void outcomes() {
        QFETCH(QByteArray, script);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, logText);
        QVERIFY(vxtest::writeFile(log(), "old content that must disappear\n"));
        installTool(script);
        QCOMPARE(mediaToolPath(), tool());
        QVERIFY(mediaToolFound());
        const MediaToolResult r = runMediaTool(nullptr, {"-i", "x.mov"}, log());
        QTEST(int(r.outcome), "outcome");
        if (exitCode >= 0) {
            QCOMPARE(r.exitCode, exitCode);
            QCOMPARE(readFile(log()), logText);
        }
        QVERIFY(!mediaToolBusy());
    }

    void secondRunDuringTheFirstIsRefused() {
        installTool("#!/bin/sh\necho first >&2\nsleep 1\necho first-done >&2\n");
        MediaToolResult second;
        bool secondTried = false;
        // While the first run waits, a timer asks for another run, as a click would.
        QTimer::singleShot(200, [&] {
            second = runMediaTool(nullptr, {}, m_dir.filePath("other.txt"));
            secondTried = true;
        });
        QElapsedTimer clock;
        clock.start();
        const std::clock_t cpu = std::clock();
        const MediaToolResult first = runMediaTool(nullptr, {}, log());
        // The wait does not spin the processor.
        const double cpuSeconds = double(std::clock() - cpu) / CLOCKS_PER_SEC;
        QVERIFY2(cpuSeconds < 0.3, qPrintable(QString::number(cpuSeconds)));
        QVERIFY(secondTried);
        QCOMPARE(second.outcome, MediaToolOutcome::Busy);
        QCOMPARE(first.outcome, MediaToolOutcome::Finished);
        QCOMPARE(readFile(log()), "first\nfirst-done\n");
        QVERIFY(!QFile::exists(m_dir.filePath("other.txt")));
        QVERIFY(clock.elapsed() >= 900);
    }

    void logsLiveInAPrivateFolderOfThisRun() {
        // Two copies of the program running at once never read each other's reports.
        const QString dir = mediaToolTempDir();
        QCOMPARE(mediaToolTempDir(), dir);
        QVERIFY(dir.startsWith(QDir::tempPath() + "/volantix-"));
        QVERIFY(QFileInfo(dir).isDir());
        QCOMPARE(QFileInfo(dir).permissions() & (QFileDevice::ReadOther | QFileDevice::WriteOther),
                 QFileDevice::Permissions());
    }

    // Any program through the runner: time limits, cancel, output lines and
    // a log that cannot be opened all end the wait with their own outcome.
    void generalRunsEndForEveryReason_data() {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<int>("timeLimitMs");
        QTest::addColumn<int>("cancelAfterMs");  // -1 never, 0 before the start
        QTest::addColumn<bool>("logInMissingFolder");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QByteArray>("lines");
        QTest::newRow("output lines, last one unended")
            << QByteArray("printf 'out_time_us=5\\r\\nprogress=continue\\nprogress=end'\n") << 0 << -1 << false
            << int(MediaToolOutcome::Finished) << QByteArray("out_time_us=5|progress=continue|progress=end|");
        QTest::newRow("time limit") << QByteArray("sleep 5\n") << 300 << -1 << false << int(MediaToolOutcome::TimedOut)
                                    << QByteArray();
        QTest::newRow("deaf to terminate: killed") << QByteArray("trap '' TERM\nsleep 5\n") << 300 << -1 << false
                                                   << int(MediaToolOutcome::TimedOut) << QByteArray();
        QTest::newRow("cancelled while running") << QByteArray("sleep 5\n") << 0 << 200 << false
                                                 << int(MediaToolOutcome::Cancelled) << QByteArray();
        QTest::newRow("cancelled before the start") << QByteArray("echo ran >&2\n") << 0 << 0 << false
                                                    << int(MediaToolOutcome::Cancelled) << QByteArray();
        QTest::newRow("log cannot be opened") << QByteArray("sleep 5\n") << 0 << -1 << true
                                              << int(MediaToolOutcome::FailedToStart) << QByteArray();
    }
    void generalRunsEndForEveryReason() {
        QFETCH(QByteArray, script);
        QFETCH(int, cancelAfterMs);
        QFETCH(bool, logInMissingFolder);
        const QString program = m_dir.filePath("tool.sh");
        QVERIFY(vxtest::writeFile(program, "#!/bin/sh\n" + script));
        QVERIFY(QFile::setPermissions(program, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        ToolCancel cancel;
        ToolRun run;
        run.program = program;
        run.logFile = logInMissingFolder ? m_dir.filePath("no/such/log.txt") : log();
        QFETCH(int, timeLimitMs);
        run.timeLimitMs = timeLimitMs;
        run.cancel = &cancel;
        QByteArray seen;
        run.onOutputLine = [&](const QByteArray &line) { seen += line + '|'; };
        if (cancelAfterMs == 0)
            cancel.cancel();
        else if (cancelAfterMs > 0)
            QTimer::singleShot(cancelAfterMs, &cancel, &ToolCancel::cancel);
        QFile::remove(log());
        QElapsedTimer clock;
        clock.start();
        QTEST(int(runTool(nullptr, run).outcome), "outcome");
        QTEST(seen, "lines");
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!mediaToolBusy());
        if (cancelAfterMs == 0)
            QVERIFY(!QFile::exists(log()));
    }

    void missingToolTexts() {
        qputenv("PATH", "/nonexistent");
        QVERIFY(!mediaToolFound());
        QVERIFY(mediaToolPath().endsWith("/bin/ffmpeg"));
        QCOMPARE(mediaToolMissingText(), "Could not find ffmpeg here: " + mediaToolPath());
        QCOMPARE(mediaToolMissingStartupText(), "Could not find ffmpeg here: " + mediaToolPath()
                                                    + ". \n\nPlease copy ffmpeg to this location and restart the program.");
        QCOMPARE(runMediaTool(nullptr, {}, log()).outcome, MediaToolOutcome::FailedToStart);
        qputenv("PATH", QFile::encodeName(m_dir.path()) + ":/usr/bin:/bin");
    }
};

QTEST_GUILESS_MAIN(TestMediaTool)
#include "test_mediatool.moc"
