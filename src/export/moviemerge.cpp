#include "moviemerge.h"

#include "movieargs.h"
#include "track/mediatool.h"
#include "track/trackstore.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace vx {

namespace {

int playCount() { return std::clamp(track().playCount, 0, MAX_BLOCKS); }

QString playName(int position) { return track().block[track().playOrder[position]].movieFile.fileName(); }

bool validBlock(int b) { return b >= 0 && b < std::clamp(track().numBlocks, 0, MAX_BLOCKS); }

QString extensionOf(const QString &fileName)
{
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : fileName.mid(dot);
}

// "DJI_0001.MOV (.MOV, 3840x2160, 29.97 fps)"
QString movieFacts(const MovieBlock &b)
{
    QString size = QStringLiteral("size unknown");
    if (b.width > 0 && b.height > 0)
        size = QStringLiteral("%1x%2").arg(b.width).arg(b.height);
    return QStringLiteral("%1 (%2, %3, %4 fps)")
        .arg(b.movieFile.fileName(), extensionOf(b.movieFile.fileName()), size)
        .arg(static_cast<double>(b.fps));
}

bool sameKind(const MovieBlock &a, const MovieBlock &b)
{
    if (extensionOf(a.movieFile.fileName()).compare(extensionOf(b.movieFile.fileName()), Qt::CaseInsensitive) != 0)
        return false;
    const bool sizesKnown = a.width > 0 && a.height > 0 && b.width > 0 && b.height > 0;
    if (sizesKnown && (a.width != b.width || a.height != b.height))
        return false;
    return std::fabs(static_cast<double>(a.fps) - static_cast<double>(b.fps)) < 0.01;
}

} // namespace

bool &mergeIncludeAudio()
{
    static bool includeAudio = true;
    return includeAudio;
}

QStringList mergeFirstChoices()
{
    QStringList names;
    for (int k = 0; k < playCount(); ++k)
        names << playName(k);
    return names;
}

QStringList mergeLastChoices()
{
    QStringList names;
    for (int k = 1; k < playCount(); ++k)
        names << playName(k);
    if (playCount() == 1)
        names << playName(0);
    return names;
}

MergeRange mergeRangeAt(int firstPosition, int lastPosition)
{
    MergeRange r;
    const auto blockAt = [](int position) {
        return position >= 0 && position < playCount() ? track().playOrder[position] : -1;
    };
    r.firstBlock = blockAt(firstPosition);
    r.lastBlock = blockAt(lastPosition + 1);
    return r;
}

QVector<int> mergeBlocks(const MergeRange &range)
{
    QVector<int> blocks;
    if (!validBlock(range.firstBlock) || !validBlock(range.lastBlock))
        return blocks;
    for (int b = range.firstBlock; b <= range.lastBlock; ++b) {
        if (track().block[b].active)
            blocks << b;
    }
    return blocks;
}

QString mergeProblem(const MergeRange &range)
{
    if (playCount() < 2)
        return mergeTooFewText();
    const QVector<int> blocks = mergeBlocks(range);
    for (int b : blocks) {
        const QString path = track().block[b].movieFile.absoluteFilePath();
        if (hasLineBreak(path))
            return QStringLiteral("Illegal line breaks in movie file path detected:\n\n%1\n\nPlease remove all line "
                                  "breaks from the movie file path, then load the movies again and try again.")
                .arg(path);
    }
    if (!validBlock(range.firstBlock) || !validBlock(range.lastBlock) || range.firstBlock >= range.lastBlock)
        return mergeOrderText();
    for (int b : blocks) {
        const QString path = track().block[b].movieFile.absoluteFilePath();
        if (!QFileInfo(path).isFile())
            return QStringLiteral("Could not find this movie:\n\n%1\n\nIt was moved or deleted after it was loaded. "
                                  "Please load the movies again.")
                .arg(path);
    }
    for (int b : blocks) {
        const MovieBlock &first = track().block[blocks.first()];
        if (!sameKind(first, track().block[b]))
            return QStringLiteral("All movies must be of the same type and have the same filename extension, frame "
                                  "size and frame rate. These two differ:\n\n%1\n%2")
                .arg(movieFacts(first), movieFacts(track().block[b]));
    }
    return QString();
}

QVector<double> mergeInputSeconds(const QVector<int> &blocks)
{
    QVector<double> seconds;
    for (int b : blocks) {
        const float d = track().block[b].duration;
        seconds << (d >= 0 && std::isfinite(d) ? static_cast<double>(d) : -1.0);
    }
    return seconds;
}

double knownSum(const QVector<double> &seconds)
{
    double sum = 0;
    for (double s : seconds) {
        if (s > 0)
            sum += s;
    }
    return sum;
}

QString mergeExtension(const MergeRange &range)
{
    return validBlock(range.firstBlock) ? extensionOf(track().block[range.firstBlock].movieFile.fileName())
                                        : QString();
}

QString concatListPath() { return QDir(mediaToolTempDir()).filePath(QStringLiteral("merge.txt")); }
QString mergeLogPath() { return QDir(mediaToolTempDir()).filePath(QStringLiteral("merge_log.txt")); }
QString accelerationLogPath() { return QDir(mediaToolTempDir()).filePath(QStringLiteral("acceleration_log.txt")); }

bool writeConcatList(const QString &listPath, const QVector<int> &blocks)
{
    QStringList paths;
    for (int b : blocks)
        paths << track().block[b].movieFile.absoluteFilePath();
    QByteArray text;
    if (!concatListText(paths, &text))
        return false;
    QSaveFile f(listPath);
    return f.open(QIODevice::WriteOnly) && f.write(text) == text.size() && f.commit();
}

QString mergeTooFewText() { return QStringLiteral("You must have at least 2 movies loaded to use this feature."); }

QString mergeOrderText() { return QStringLiteral("The first file must come before the last file."); }

QString mergeCannotWriteText(const QString &path)
{
    return QStringLiteral("Could not write this location: %1. Please try a different location.").arg(path);
}

QString mergeNoExtensionText(const QString &name)
{
    return QStringLiteral("Could not locate extension of file: %1.").arg(name);
}

QString mergeCompleteText(const QString &fileName, const QString &fileManager)
{
    return QStringLiteral("Merge Complete! %1 created. Reveal in %2?").arg(fileName, fileManager);
}

QString accelerationCompleteText(const QString &fileName, const QString &fileManager)
{
    return QStringLiteral("   Acceleration Step Complete! %1 created. Reveal movies in %2?   ").arg(fileName, fileManager);
}

QString mergeProgressText() { return QStringLiteral("Merging. Please wait..."); }

QString accelerationProgressText()
{
    return QStringLiteral("   Merge completed! Now performing playback acceleration...   ");
}

QString mergeSourceClashText(const QString &path)
{
    return QStringLiteral("This file belongs to the loaded movies and is never written over:\n\n%1\n\n"
                          "Please choose a different name or folder.")
        .arg(path);
}

QString replaceQuestionText(const QString &path)
{
    return QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(QDir::toNativeSeparators(path));
}

} // namespace vx
