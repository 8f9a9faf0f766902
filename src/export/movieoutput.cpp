#include "movieoutput.h"

#include "movieargs.h"
#include "track/trackstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <algorithm>
#include <cstdio>
#include <sys/stat.h>

namespace vx {

namespace {

// The path's folder resolved (links and "..") with its own file name.
QString resolvedName(const QString &path)
{
    const QFileInfo info(path);
    const QString dir = QFileInfo(info.absolutePath()).canonicalFilePath();
    return (dir.isEmpty() ? info.absolutePath() : dir) + QLatin1Char('/') + info.fileName();
}

bool sameInode(const QString &a, const QString &b)
{
    struct stat sa, sb;
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0 || ::stat(QFile::encodeName(b).constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// Everything from the last "." of the file name replaced by `suffix`; empty
// when the name has none.
QString replacedExtension(const QString &path, const QString &suffix)
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return QString();
    const int cut = path.size() - name.size() + dot;
    return path.left(cut) + suffix;
}

} // namespace

QString clipOutputPath(const QString &directory, const QString &movieFileName)
{
    const int dot = movieFileName.lastIndexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? movieFileName : movieFileName.left(dot);
    const QString dir = directory.endsWith(QLatin1Char('/')) ? directory : directory + QLatin1Char('/');
    for (int n = 0; n <= CLIP_COUNTER_LIMIT; ++n) {
        const QString path = dir + QStringLiteral("%1_%2.mov").arg(base).arg(n, 3, 10, QLatin1Char('0'));
        if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
            return path;
    }
    return QString();
}

QString mergedMoviePath(const QString &chosenPath) { return replacedExtension(chosenPath, QStringLiteral(".mov")); }

QString mergedGpxPath(const QString &mergedMoviePath)
{
    return replacedExtension(mergedMoviePath, QStringLiteral(".gpx"));
}

QString acceleratedMoviePath(const QString &mergedMoviePath, int rateIndex)
{
    return replacedExtension(mergedMoviePath, QStringLiteral("_%1.mov").arg(exportRateLabel(rateIndex)));
}

bool mayBeSameFile(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QString ca = QFileInfo(a).canonicalFilePath();
    if (!ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath())
        return true;
    if (sameInode(a, b))
        return true;
    return resolvedName(a).compare(resolvedName(b), Qt::CaseInsensitive) == 0;
}

QStringList loadedSourceFiles()
{
    QStringList files;
    const TrackStore &t = track();
    const int n = std::clamp(t.numBlocks, 0, MAX_BLOCKS);
    for (int b = 0; b < n; ++b) {
        for (const QFileInfo *f : {&t.block[b].movieFile, &t.block[b].telemetryFile}) {
            if (!f->filePath().isEmpty())
                files << f->absoluteFilePath();
        }
    }
    return files;
}

QString clashingSource(const QString &path, const QStringList &sources)
{
    for (const QString &s : sources) {
        if (mayBeSameFile(path, s))
            return s;
    }
    return QString();
}

PendingOutput::PendingOutput(const QString &targetPath) : m_target(targetPath) {}

PendingOutput::~PendingOutput() { discard(); }

bool PendingOutput::create()
{
    discard();
    const QFileInfo target(m_target);
    const QString name = target.fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? name : name.left(dot);
    const QString extension = dot < 0 ? QString() : name.mid(dot);
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 16; ++attempt) {
        QString tag;
        for (int i = 0; i < 6; ++i)
            tag += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)]);
        const QString path = target.absolutePath() + QLatin1Char('/') + base + QStringLiteral(".partial-") + tag
                           + extension;
        // A new file only, with the user's usual permissions (not those of
        // a private temporary file): it becomes the movie.
        QFile f(path);
        if (f.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            f.close();
            m_temp = path;
            return true;
        }
        if (QFileInfo::exists(path))
            continue;  // taken by chance: another name
        return false;  // the folder cannot be written
    }
    return false;
}

bool PendingOutput::commit(bool replaceExisting)
{
    if (m_temp.isEmpty())
        return false;
    bool done;
    if (replaceExisting)
        done = std::rename(QFile::encodeName(m_temp).constData(), QFile::encodeName(m_target).constData()) == 0;
    else
        done = QFile::rename(m_temp, m_target);  // never over an existing file
    if (done)
        m_temp.clear();
    return done;
}

void PendingOutput::discard()
{
    if (!m_temp.isEmpty())
        QFile::remove(m_temp);
    m_temp.clear();
}

QString logTail(const QString &logPath, int maxLines)
{
    QFile f(logPath);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    constexpr qint64 kTail = 16 * 1024;
    const bool cut = f.size() > kTail;
    if (cut)
        f.seek(f.size() - kTail);
    QStringList parts = QString::fromUtf8(f.read(kTail)).split(QRegularExpression(QStringLiteral("[\r\n]+")));
    if (cut && !parts.isEmpty())
        parts.removeFirst();  // begins inside a line
    QStringList lines;
    for (const QString &line : qAsConst(parts)) {
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    }
    return lines.mid(std::max(0, static_cast<int>(lines.size()) - maxLines)).join(QLatin1Char('\n'));
}

} // namespace vx
