// Movies for the clip and merge tests: copies of generated movies loaded as
// blocks and probed as a load does, and a stand-in for ffmpeg on PATH (a
// script that fails, hangs or hands over to the real tool).
#pragma once

#include "support/testsupport.h"
#include "track/movieprobe.h"
#include "track/trackstore.h"

#include <QtTest>

namespace vxtest {

inline QString realMediaTool() { return QStandardPaths::findExecutable(QStringLiteral("ffmpeg")); }

// The real tool's report on a movie (its streams and length).
inline QString mediaReport(const QString &path)
{
    QProcess p;
    p.start(realMediaTool(), {QStringLiteral("-hide_banner"), QStringLiteral("-i"), path});
    p.waitForFinished(10000);
    return QString::fromUtf8(p.readAllStandardError());
}

// Each spec is "<name>=<generated movie>"; every block gets two telemetry
// points a second apart.
inline void loadMovies(const QString &dir, const QStringList &specs)
{
    using namespace vx;
    resetTrackStore();
    TrackStore &t = track();
    for (const QString &spec : specs) {
        const QString path = dir + QLatin1Char('/') + spec.section(QLatin1Char('='), 0, 0);
        QFile::remove(path);
        QVERIFY(QFile::copy(generatedPath(spec.section(QLatin1Char('='), 1)), path));
        MovieBlock &b = t.block[t.numBlocks];
        b.movieFile = QFileInfo(path);
        b.numPoints = 2;
        for (int i = 0; i < 2; ++i) {
            b.gpsTime[i] = 1500000000u + 10u * t.numBlocks + i;
            b.lat[i] = -33.0 - 0.001 * t.numBlocks;
            b.lon[i] = 151.0 + 0.001 * i;
        }
        ++t.numBlocks;
    }
    QVERIFY(probeMovies(nullptr));
    rebuildPlayOrder();
}

// "ffmpeg" in a folder put first on PATH for the test's life.
class FakeMediaTool {
public:
    FakeMediaTool() : m_oldPath(qgetenv("PATH")), m_real(realMediaTool())
    {
        qputenv("PATH", QFile::encodeName(m_dir.path()) + ':' + m_oldPath);
    }
    ~FakeMediaTool() { qputenv("PATH", m_oldPath); }

    // runnable false: an executable file the system cannot run.
    void install(const QByteArray &script, bool runnable = true)
    {
        const QString path = m_dir.filePath(QStringLiteral("ffmpeg"));
        QFile::remove(path);
        QVERIFY(writeFile(path, runnable ? "#!/bin/sh\n" + script : QByteArray("\x7f" "ELF garbage")));
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    }
    // The real tool, except for runs whose arguments hold `pattern`, which
    // run `script` instead.
    void useReal(const QByteArray &pattern = QByteArray(), const QByteArray &script = QByteArray())
    {
        install((pattern.isEmpty() ? QByteArray() : "case \"$*\" in *" + pattern + "*) " + script + ";; esac\n")
                + "exec '" + QFile::encodeName(m_real) + "' \"$@\"\n");
    }

    // A script line that writes "partial" into the job's output (its last
    // argument).
    static QByteArray partialOutput() { return "for a; do out=$a; done; echo partial > \"$out\"\n"; }

private:
    QTemporaryDir m_dir;
    QByteArray m_oldPath;
    QString m_real;
};

} // namespace vxtest
