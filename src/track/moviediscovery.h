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
    bool inputGiven = false;   // at least one path was given
    QList<QFileInfo> movies;   // sorted, ready to load
    QString loadFolder;
    QStringList messages;      // to print on standard output, one a line, in order
};

// The paths of the arguments (program name excluded), in order: the value of
// each "--input=PATH" (everything after the "=", quotes included: the shell
// has split the arguments already), and every argument that is no option, as
// file managers start programs with plain paths. Other arguments starting
// with "-" are options and are passed over; after "--" every argument is a
// path. An existing folder's listing replaces the list; an existing movie
// file (by extension) is added; a path that does not exist gives "%1 does
// not exist!"; other files are passed over. Paths given but no movie found:
// "No *.mov, *.mp4, or *.avi movies found!".
InputSelection parseInputArguments(const QStringList &arguments, bool dateSort);

// "%1 does not exist!" and the no-movies line, as printed.
QString missingMovieMessage(const QString &value);
QString noMoviesMessage();

// Writes `messages` to standard output, one a line.
void printMessages(const QStringList &messages);

} // namespace vx
