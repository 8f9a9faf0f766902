#include "moviediscovery.h"

#include <QDateTime>
#include <QDir>

#include <algorithm>
#include <cstdio>

namespace vx {

bool isMovieFileName(const QString &name)
{
    for (const char *ext : {".avi", ".mp4", ".mov"}) {
        if (name.endsWith(QLatin1String(ext), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

QStringList movieNameFilters()
{
    return {QStringLiteral("*.mov"), QStringLiteral("*.mp4"), QStringLiteral("*.avi")};
}

void sortMovies(QList<QFileInfo> &movies, bool dateSort)
{
    if (dateSort) {
        // Times are read once; a file's time can change while we sort.
        QList<QPair<qint64, QFileInfo>> keyed;
        keyed.reserve(movies.size());
        for (const QFileInfo &m : movies)
            keyed.append({m.lastModified().toMSecsSinceEpoch(), m});
        std::stable_sort(keyed.begin(), keyed.end(), [](const auto &a, const auto &b) {
            if (a.first != b.first)
                return a.first < b.first;
            return a.second.fileName() < b.second.fileName();
        });
        for (int i = 0; i < movies.size(); ++i)
            movies[i] = keyed[i].second;
    } else {
        std::stable_sort(movies.begin(), movies.end(),
                         [](const QFileInfo &a, const QFileInfo &b) { return a.fileName() < b.fileName(); });
    }
}

QList<QFileInfo> listMovieFolder(const QString &folder, bool dateSort)
{
    QDir dir(folder);
    QList<QFileInfo> movies = dir.entryInfoList(movieNameFilters(), QDir::Files | QDir::Hidden, QDir::NoSort);
    sortMovies(movies, dateSort);
    return movies;
}

QString missingMovieMessage(const QString &value) { return QStringLiteral("%1 does not exist!").arg(value); }

QString noMoviesMessage() { return QStringLiteral("No *.mov, *.mp4, or *.avi movies found!"); }

InputSelection parseInputArguments(const QStringList &arguments, bool dateSort)
{
    const QString option = QStringLiteral("--input=");
    InputSelection sel;
    QStringList values;
    bool optionsEnded = false;
    for (const QString &arg : arguments) {
        if (!optionsEnded && arg == QLatin1String("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && arg.startsWith(option)) {
            sel.inputGiven = true;
            values.append(arg.mid(option.size()));
        } else if (optionsEnded || !arg.startsWith(QLatin1Char('-'))) {
            sel.inputGiven = true;
            values.append(arg);
        }
    }
    if (!sel.inputGiven)
        return sel;
    for (const QString &value : values) {
        if (value.isEmpty())
            continue;
        const QFileInfo info(value);
        if (info.isDir()) {
            sel.movies = listMovieFolder(value, dateSort);
            sel.loadFolder = QDir(value).absolutePath();
        } else if (!info.exists()) {
            sel.messages.append(missingMovieMessage(value));
        } else if (isMovieFileName(value)) {
            sel.movies.append(QFileInfo(info.absoluteFilePath()));
            sel.loadFolder = info.absolutePath();
        }
    }
    if (sel.movies.isEmpty()) {
        sel.messages.append(noMoviesMessage());
        return sel;
    }
    // A folder listing is in this order already; sorting it again keeps it.
    sortMovies(sel.movies, dateSort);
    return sel;
}

void printMessages(const QStringList &messages)
{
    for (const QString &message : messages) {
        std::fputs(message.toLocal8Bit().constData(), stdout);
        std::fputc('\n', stdout);
    }
    std::fflush(stdout);
}

} // namespace vx
