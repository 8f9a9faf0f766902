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

    // Every way a run ends, each with its outcome: standard error to the (truncated) log, standard output by lines;
    // a tool deaf to terminate is killed; cancelled before the start, nothing runs.
    void runs_data() {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QString>("options");  // "limit N", "cancel N" (0: before the start), "log PATH" in the tool's folder
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("result");   // "exit code (finished runs) | log.txt afterwards | output lines"
        using O = MediaToolOutcome;
        const QByteArray sh = "#!/bin/sh\n", sleeper = sh + "sleep 5\n";
        const QString untouched = "- | old content that must disappear\n | ";
        QTest::newRow("finished") << sh + "echo \"report for $*\" >&2\necho out\nexit 3\n" << "" << int(O::Finished)
                                  << "3 | report for -i x.mov\n | out|";
        QTest::newRow("output lines, last one unended") << sh + "printf 'out_time_us=5\\r\\nprogress=continue\\nprogress=end'\n"
                                                        << "" << int(O::Finished)
                                                        << "0 |  | out_time_us=5|progress=continue|progress=end|";
        QTest::newRow("crashed") << sh + "kill -9 $$\n" << "" << int(O::Crashed) << "- |  | ";
        QTest::newRow("cannot start: no interpreter, no binary") << QByteArray("\x7f\x45\x4c\x46garbage", 11) << "" << int(O::FailedToStart) << "- |  | ";
        QTest::newRow("time limit") << sleeper << "limit 300" << int(O::TimedOut) << "- |  | ";
        QTest::newRow("deaf to terminate: killed") << sh + "trap '' TERM\nsleep 5\n" << "limit 300" << int(O::TimedOut)
                                                   << "- |  | ";
        QTest::newRow("cancelled while running") << sleeper << "cancel 200" << int(O::Cancelled) << "- |  | ";
        QTest::newRow("cancelled before the start") << sh + "echo ran >&2\n" << "cancel 0" << int(O::Cancelled) << untouched;
        QTest::newRow("log cannot be opened") << sleeper << "log no/such/log.txt" << int(O::FailedToStart) << untouched;
    }
    void runs() {
        QFETCH(QByteArray, script);
        QFETCH(QString, options);
        QVERIFY(vxtest::writeFile(log(), "old content that must disappear\n"));
        installTool(script);
        QVERIFY(mediaToolFound() && mediaToolPath() == tool());
        ToolCancel cancel;
        ToolRun run;
        run.arguments = QStringList{"-i", "x.mov"};
        run.logFile = options.startsWith("log ") ? m_dir.filePath(options.mid(4)) : log();
        run.timeLimitMs = options.startsWith("limit ") ? options.mid(6).toInt() : 0;
        run.cancel = &cancel;
        QByteArray seen;
        run.onOutputLine = [&](const QByteArray &line) { seen += line + '|'; };
        if (options == "cancel 0")
            cancel.cancel();
        else if (options.startsWith("cancel "))
            QTimer::singleShot(options.mid(7).toInt(), &cancel, &ToolCancel::cancel);
        QElapsedTimer clock;
        clock.start();
        const MediaToolResult r = runTool(nullptr, run);
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!mediaToolBusy());
        QTEST(int(r.outcome), "outcome");
        const QString exit = r.outcome == MediaToolOutcome::Finished ? QString::number(r.exitCode) : "-";
        QTEST(exit + " | " + readFile(log()) + " | " + seen, "result");
    }

    void secondRunDuringTheFirstIsRefused() {
        installTool("#!/bin/sh\necho first >&2\nsleep 1\necho first-done >&2\n");
        MediaToolResult second;
        bool secondTried = false;
        QTimer::singleShot(200, [&] {
            second = runMediaTool(nullptr, {}, m_dir.filePath("other.txt"));
            secondTried = true;
        });
        QElapsedTimer clock;
        clock.start();
        const std::clock_t cpu = std::clock();
        const MediaToolResult first = runMediaTool(nullptr, {}, log());
        const double cpuSeconds = double(std::clock() - cpu) / CLOCKS_PER_SEC;
        QVERIFY2(cpuSeconds < 0.3, qPrintable(QString::number(cpuSeconds)));  // the wait does not spin
        QVERIFY(secondTried && second.outcome == MediaToolOutcome::Busy && first.outcome == MediaToolOutcome::Finished);
        QCOMPARE(readFile(log()), "first\nfirst-done\n");
        QVERIFY(!QFile::exists(m_dir.filePath("other.txt")) && clock.elapsed() >= 900);
    }
    // Two copies of the program running at once never read each other's reports; a missing tool is named.
    void privateFolderAndMissingTool() {
        const QString dir = mediaToolTempDir();
        QVERIFY(mediaToolTempDir() == dir && dir.startsWith(QDir::tempPath() + "/volantix-") && QFileInfo(dir).isDir());
        QCOMPARE(QFileInfo(dir).permissions() & (QFileDevice::ReadOther | QFileDevice::WriteOther), QFileDevice::Permissions());
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
