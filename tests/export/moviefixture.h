// Movies for the clip and merge tests: copies of generated movies loaded as
// blocks and probed as a load does, and a stand-in for ffmpeg on PATH.
#pragma once

#include "support/testsupport.h"
#include "track/movieprobe.h"
#include "track/trackstore.h"

#include <QtTest>

namespace vxtest {

inline QString realMediaTool() { return QStandardPaths::findExecutable(QStringLiteral("ffmpeg")); }

// Copies of generated movies ("<name>=<generated>") as blocks of two points, probed.
inline void loadMovies(const QString &dir, const QStringList &movies)
{
    using namespace vx;
    resetTrackStore();
    TrackStore &t = track();
    for (const QString &movie : movies) {
        const QString path = dir + '/' + movie.section('=', 0, 0);
        QFile::remove(path);
        QVERIFY(QFile::copy(vxtest::generatedPath(movie.section('=', 1)), path));
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

// "ffmpeg" in a folder first on PATH for the test's life: a script, an
// executable the system cannot run, or the real tool except for runs whose
// arguments hold `pattern`, which run `script` instead.
class FakeMediaTool {
public:
    FakeMediaTool() : m_oldPath(qgetenv("PATH")), m_real(realMediaTool())
    {
        qputenv("PATH", QFile::encodeName(m_dir.path()) + ':' + m_oldPath);
    }
    ~FakeMediaTool() { qputenv("PATH", m_oldPath); }
    void install(const QByteArray &script, bool runnable = true)
    {
        const QString path = m_dir.filePath(QStringLiteral("ffmpeg"));
        QFile::remove(path);
        QVERIFY(vxtest::writeFile(path, runnable ? "#!/bin/sh\n" + script : QByteArray("\x7f" "ELF garbage")));
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    }
    void useReal(const QByteArray &pattern = QByteArray(), const QByteArray &script = QByteArray())
    {
        install((pattern.isEmpty() ? QByteArray() : "case \"$*\" in *" + pattern + "*) " + script + ";; esac\n")
                + "exec '" + QFile::encodeName(m_real) + "' \"$@\"\n");
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_oldPath;
    QString m_real;
};

// Writes "partial" into the job's output (its last argument).
const QByteArray kPartial = "for a; do out=$a; done; echo partial > \"$out\"\n";

} // namespace vxtest
