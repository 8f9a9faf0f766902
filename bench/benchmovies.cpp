#include "benchmovies.h"

#include "track/mediatool.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>

using namespace vx;

bool makeMovies(const QString &folder, int count)
{
    const QString source = QDir(folder).filePath(QStringLiteral("source.mov"));
    QProcess ff;
    ff.start(mediaToolPath(), {QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                               QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                               QStringLiteral("testsrc=size=640x360:rate=25:duration=30"), QStringLiteral("-f"),
                               QStringLiteral("lavfi"), QStringLiteral("-i"),
                               QStringLiteral("sine=frequency=330:duration=30"), QStringLiteral("-c:v"),
                               QStringLiteral("mpeg4"), QStringLiteral("-q:v"), QStringLiteral("5"),
                               QStringLiteral("-c:a"), QStringLiteral("aac"), QStringLiteral("-shortest"), source});
    if (!ff.waitForFinished(120000) || ff.exitCode() != 0)
        return false;
    const QDateTime start(QDate(2024, 5, 18), QTime(10, 0, 0), Qt::UTC);
    for (int m = 0; m < count; ++m) {
        const QString name = QStringLiteral("DJI_%1").arg(m + 1, 4, 10, QLatin1Char('0'));
        const QString movie = QDir(folder).filePath(name + QStringLiteral(".MOV"));
        if (!QFile::copy(source, movie))
            return false;
        const QDateTime first = start.addSecs(m * 40);
        QByteArray srt;
        for (int i = 0; i < 30; ++i) {
            srt += QByteArray::number(i + 1) + "\n"
                   + QString::asprintf("00:00:%02d,000 --> 00:00:%02d,000\n", i, i + 1).toLatin1() + "HOME(7.5,46.5) "
                   + first.addSecs(i).toString(QStringLiteral("yyyy.MM.dd hh:mm:ss")).toLatin1() + "\nGPS(7.5,"
                   + QByteArray::number(46.5 + m * 0.01 + i * 0.0001, 'f', 6) + ",14) BAROMETER:50.0\n\n";
        }
        QFile sidecar(QDir(folder).filePath(name + QStringLiteral(".SRT")));
        if (!sidecar.open(QIODevice::WriteOnly) || sidecar.write(srt) != srt.size())
            return false;
        sidecar.close();
        QFile f(movie);
        if (!f.open(QIODevice::ReadWrite) || !f.setFileTime(first.addSecs(30), QFileDevice::FileModificationTime))
            return false;
    }
    QFile::remove(source);
    return true;
}
