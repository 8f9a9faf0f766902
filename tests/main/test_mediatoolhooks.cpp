// The wait cursor of a media-tool run: on the window while the tool works, the window's own cursor back
// afterwards, and no harm when the window is gone or is not a window at all.
#include "guitest.h"

#include "main/mediatoolhooks.h"

using namespace vx;

class TestMediaToolHooks : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { vxtest::silencePlatformWarnings(); }
    void cleanup() { setMediaToolHooks(nullptr); }

    void theWaitCursorShowsDuringARealRunAndGoesAfter() {
        if (QStandardPaths::findExecutable("ffmpeg").isEmpty())
            QSKIP("ffmpeg is not installed");
        WindowMediaToolHooks hooks;
        setMediaToolHooks(&hooks);
        QWidget window;
        window.show();
        QTemporaryDir dir;
        QSet<int> during;  // the cursors seen while the tool ran
        QTimer probe;
        probe.setInterval(10);
        connect(&probe, &QTimer::timeout, [&] {
            if (mediaToolBusy())
                during << window.cursor().shape();
        });
        probe.start();
        // Half a second of silence, read in real time: long enough to look.
        const MediaToolResult r = runMediaTool(&window, {"-hide_banner", "-re", "-f", "lavfi", "-i", "anullsrc=r=8000:cl=mono",
                                                         "-t", "0.5", "-f", "null", "-"}, dir.filePath("log.txt"));
        probe.stop();
        QCOMPARE(r.outcome, MediaToolOutcome::Finished);
        QCOMPARE(during, QSet<int>{Qt::WaitCursor});
        QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
    }

    void aWindowsOwnCursorComesBackAndNothingElseIsTouched() {
        WindowMediaToolHooks hooks;
        QWidget window, other;
        window.setCursor(Qt::CrossCursor);
        hooks.mediaToolStarted(&window);
        QCOMPARE(window.cursor().shape(), Qt::WaitCursor);
        hooks.mediaToolFinished(&window);
        QVERIFY(window.cursor().shape() == Qt::CrossCursor && window.testAttribute(Qt::WA_SetCursor));
        auto *closed = new QWidget;
        hooks.mediaToolStarted(closed);
        delete closed;
        hooks.mediaToolFinished(closed);  // must not touch the deleted window
        QObject plain;
        hooks.mediaToolStarted(&plain);
        hooks.mediaToolFinished(&plain);
        hooks.mediaToolStarted(nullptr);
        hooks.mediaToolFinished(nullptr);
        other.setCursor(Qt::IBeamCursor);  // a finish without a start leaves the cursor alone
        hooks.mediaToolFinished(&other);
        QCOMPARE(other.cursor().shape(), Qt::IBeamCursor);
    }
};

QTEST_MAIN(TestMediaToolHooks)
#include "test_mediatoolhooks.moc"
