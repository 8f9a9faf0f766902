// Which movie files form a load and in which order: the movie extensions,
// folder listing, the date or name order, and the command line's --input=
// arguments. Shared by every route that starts a load (folder and file
// dialogs, drops, the command line, the batch converter).
#pragma once

#include <QFileInfo>
#include <QList>
#include <QString>
#include <QStringList>

namespace vx {

// ".mov", ".mp4", ".avi", compared without regard to case.
bool isMovieFileName(const QString &name);
// "*.mov", "*.mp4", "*.avi" (matched without regard to case).
QStringList movieNameFilters();

// With dateSort: by last-modified time, oldest first (equal times by name);
// otherwise by file name in plain, case-sensitive character order.
void sortMovies(QList<QFileInfo> &movies, bool dateSort);

// The movie files of `folder` (regular files matching the name filters),
// sorted as above.
QList<QFileInfo> listMovieFolder(const QString &folder, bool dateSort);

// The command line's choice of movies.
struct InputSelection {
    bool inputGiven = false;   // at least one --input= value was collected
    QList<QFileInfo> movies;   // sorted, ready to load
    QString loadFolder;
    QStringList messages;      // to print on standard output, one a line, in order
};

// Matches every argument (program name excluded) against
// --input=([^"\\]*(?:\\.[^"\\]*)*) and collects the values in order. A value
// ending in a movie extension names a movie ("%1 does not exist!" when it
// does not), any other a folder whose listing replaces the list. Values
// given but no movie found: "No *.mov, *.mp4, or *.avi movies found!".
InputSelection parseInputArguments(const QStringList &arguments, bool dateSort);

// "%1 does not exist!" and the no-movies line, as printed.
QString missingMovieMessage(const QString &value);
QString noMoviesMessage();

// Writes `messages` to standard output, one a line.
void printMessages(const QStringList &messages);

} // namespace vx
