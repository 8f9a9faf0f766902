// Running the media tool: a fake tool script stands in for ffmpeg on PATH.
#include "track/mediatool.h"

#include <QFile>
#include <QTemporaryDir>
#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

using namespace vx;

class TestMediaTool : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QByteArray m_oldPath;

    void installTool(const QByteArray &script)
    {
        const QString path = m_dir.filePath(QStringLiteral("ffmpeg"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("#!/bin/sh\n" + script);
        f.close();
        QVERIFY(f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    }

    QString log() const { return m_dir.filePath(QStringLiteral("log.txt")); }

    static QByteArray readAll(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_oldPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(m_dir.path()) + ":/usr/bin:/bin");
    }
    void cleanupTestCase() { qputenv("PATH", m_oldPath); }

    void toolIsFoundOnPath()
    {
        installTool("exit 0\n");
        QCOMPARE(mediaToolPath(), m_dir.filePath(QStringLiteral("ffmpeg")));
        QVERIFY(mediaToolFound());
    }

    void standardErrorGoesToTheLogTruncated()
    {
        QVERIFY(vxtestWrite(log(), "old content that must disappear\n"));
        installTool("echo \"report for $*\" >&2\necho not-in-log\nexit 3\n");
        const MediaToolResult r = runMediaTool(nullptr, {QStringLiteral("-i"), QStringLiteral("x.mov")}, log());
        QCOMPARE(r.outcome, MediaToolOutcome::Finished);
        QCOMPARE(r.exitCode, 3);
        QCOMPARE(readAll(log()), QByteArray("report for -i x.mov\n"));
        QVERIFY(!mediaToolBusy());
    }

    void crashStillEndsTheWait()
    {
        installTool("kill -9 $$\n");
        const MediaToolResult r = runMediaTool(nullptr, {}, log());
        QCOMPARE(r.outcome, MediaToolOutcome::Crashed);
        QVERIFY(!mediaToolBusy());
    }

    void toolThatCannotStartEndsTheWait()
    {
        // An executable file the system cannot run (no interpreter line, not a
        // binary): exec fails and the run must still end.
        const QString path = m_dir.filePath(QStringLiteral("ffmpeg"));
        QVERIFY(vxtestWrite(path, QByteArray("\x7f\x45\x4c\x46garbage", 11)));
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        QCOMPARE(mediaToolPath(), path);
        const MediaToolResult r = runMediaTool(nullptr, {}, log());
        QCOMPARE(r.outcome, MediaToolOutcome::FailedToStart);
        QVERIFY(!mediaToolBusy());
    }

    void secondRunDuringTheFirstIsRefused()
    {
        installTool("echo first >&2\nsleep 1\necho first-done >&2\n");
        MediaToolResult second;
        bool secondTried = false;
        // While the first run waits, the event loop turns and a timer asks for
        // another run, as a click would.
        QTimer::singleShot(200, [&] {
            second = runMediaTool(nullptr, {}, m_dir.filePath(QStringLiteral("other.txt")));
            secondTried = true;
        });
        QElapsedTimer clock;
        clock.start();
        const MediaToolResult first = runMediaTool(nullptr, {}, log());
        QVERIFY(secondTried);
        QCOMPARE(second.outcome, MediaToolOutcome::Busy);
        QCOMPARE(first.outcome, MediaToolOutcome::Finished);
        QCOMPARE(readAll(log()), QByteArray("first\nfirst-done\n"));
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("other.txt"))));
        QVERIFY(clock.elapsed() >= 900);
    }

    void waitDoesNotSpinTheCpu()
    {
        installTool("sleep 1\n");
        const std::clock_t before = std::clock();
        runMediaTool(nullptr, {}, log());
        const double cpuSeconds = double(std::clock() - before) / CLOCKS_PER_SEC;
        QVERIFY2(cpuSeconds < 0.3, qPrintable(QString::number(cpuSeconds)));
    }

    void logsLiveInAPrivateFolderOfThisRun()
    {
        // Two copies of the program running at once must never read each
        // other's reports: the folder is this run's own.
        const QString dir = mediaToolTempDir();
        QCOMPARE(mediaToolTempDir(), dir);
        QVERIFY(dir.startsWith(QDir::tempPath() + QStringLiteral("/volantix-")));
        QVERIFY(QFileInfo(dir).isDir());
        QCOMPARE(QFileInfo(dir).permissions() & (QFileDevice::ReadOther | QFileDevice::WriteOther), QFileDevice::Permissions());
    }

    void missingToolTexts()
    {
        qputenv("PATH", "/nonexistent");
        QVERIFY(!mediaToolFound());
        QVERIFY(mediaToolPath().endsWith(QStringLiteral("/bin/ffmpeg")));
        QCOMPARE(mediaToolMissingText(), QStringLiteral("Could not find ffmpeg here: %1").arg(mediaToolPath()));
        QCOMPARE(mediaToolMissingStartupText(),
                 QStringLiteral("Could not find ffmpeg here: %1. \n\nPlease copy ffmpeg to this location and restart the program.")
                     .arg(mediaToolPath()));
        const MediaToolResult r = runMediaTool(nullptr, {}, log());
        QCOMPARE(r.outcome, MediaToolOutcome::FailedToStart);
        qputenv("PATH", QFile::encodeName(m_dir.path()) + ":/usr/bin:/bin");
    }

    // Any program through the runner: time limits, cancel, output lines and
    // a log that cannot be opened all end the wait with their own outcome.
    void generalRunsEndForEveryReason_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<int>("timeLimitMs");
        QTest::addColumn<int>("cancelAfterMs");  // -1 never, 0 before the start
        QTest::addColumn<bool>("logInMissingFolder");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QByteArray>("lines");
        QTest::newRow("output lines, last one unended")
            << QByteArray("printf 'out_time_us=5\\r\\nprogress=continue\\nprogress=end'\n") << 0 << -1 << false
            << int(MediaToolOutcome::Finished) << QByteArray("out_time_us=5|progress=continue|progress=end|");
        QTest::newRow("time limit") << QByteArray("sleep 5\n") << 300 << -1 << false
                                    << int(MediaToolOutcome::TimedOut) << QByteArray();
        QTest::newRow("deaf to terminate: killed") << QByteArray("trap '' TERM\nsleep 5\n") << 300 << -1 << false
                                                   << int(MediaToolOutcome::TimedOut) << QByteArray();
        QTest::newRow("cancelled while running") << QByteArray("sleep 5\n") << 0 << 200 << false
                                                 << int(MediaToolOutcome::Cancelled) << QByteArray();
        QTest::newRow("cancelled before the start") << QByteArray("echo ran >&2\n") << 0 << 0 << false
                                                    << int(MediaToolOutcome::Cancelled) << QByteArray();
        QTest::newRow("log cannot be opened") << QByteArray("sleep 5\n") << 0 << -1 << true
                                              << int(MediaToolOutcome::FailedToStart) << QByteArray();
    }
    void generalRunsEndForEveryReason()
    {
        QFETCH(QByteArray, script);
        QFETCH(int, timeLimitMs);
        QFETCH(int, cancelAfterMs);
        QFETCH(bool, logInMissingFolder);
        QFETCH(int, outcome);
        QFETCH(QByteArray, lines);
        const QString program = m_dir.filePath(QStringLiteral("tool.sh"));
        QVERIFY(vxtestWrite(program, "#!/bin/sh\n" + script));
        QFile::setPermissions(program, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        ToolCancel cancel;
        ToolRun run;
        run.program = program;
        run.logFile = logInMissingFolder ? m_dir.filePath(QStringLiteral("no/such/log.txt")) : log();
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
        const MediaToolResult r = runTool(nullptr, run);
        QCOMPARE(int(r.outcome), outcome);
        QCOMPARE(seen, lines);
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!mediaToolBusy());
        if (cancelAfterMs == 0)
            QVERIFY(!QFile::exists(log()));
    }

private:
    static bool vxtestWrite(const QString &path, const QByteArray &content)
    {
        QFile f(path);
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) == content.size();
    }
};

QTEST_GUILESS_MAIN(TestMediaTool)
#include "test_mediatool.moc"
