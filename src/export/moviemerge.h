// The movie merge's rules, apart from its dialog: which blocks a choice of
// first and last movie joins, the checks before anything is written, the
// concat list, the expected length and the texts.
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

namespace vx {

// Kept for the run, never stored: the sound choice of the merge.
bool &mergeIncludeAudio();

// The dialog's lists: "First Movie:" shows the play order's file names,
// "Last Movie:" the same from the second on (the first one when only one
// movie plays).
QStringList mergeFirstChoices();
QStringList mergeLastChoices();

// A choice in the two lists as blocks: first = playOrder[firstPosition],
// last = playOrder[lastPosition + 1]; -1 for a position outside the play order.
struct MergeRange {
    int firstBlock = -1;
    int lastBlock = -1;
};
MergeRange mergeRangeAt(int firstPosition, int lastPosition);

// The blocks joined: the active ones from first to last, in block order.
QVector<int> mergeBlocks(const MergeRange &range);

// The checks, in order, before anything is written: at least two movies
// play; no movie path holds a line break; the first block comes before the
// last; every movie still exists; all movies share extension (in any letter
// case), frame size and frame rate as far as the probe knows them. The
// warning text of the first that fails, or an empty string.
QString mergeProblem(const MergeRange &range);

// The movies' lengths by the probe (-1 where unknown).
QVector<double> mergeInputSeconds(const QVector<int> &blocks);
double knownSum(const QVector<double> &seconds);

// The extension of the first movie of the range (".MOV"); empty when its
// name has no ".".
QString mergeExtension(const MergeRange &range);

// The run's files: merge.txt, merge_log.txt and acceleration_log.txt in the
// private temporary folder of the run.
QString concatListPath();
QString mergeLogPath();
QString accelerationLogPath();

// Writes the concat list of `blocks` to `listPath` (UTF-8). False when it
// cannot be written.
bool writeConcatList(const QString &listPath, const QVector<int> &blocks);

// The messages of the merge.
QString mergeTooFewText();           // "You must have at least 2 movies loaded to use this feature."
QString mergeOrderText();            // "The first file must come before the last file."
QString mergeCannotWriteText(const QString &path);  // "Could not write this location: %1. ..."
QString mergeNoExtensionText(const QString &name);  // "Could not locate extension of file: %1."
QString mergeCompleteText(const QString &fileName, const QString &fileManager);
QString accelerationCompleteText(const QString &fileName, const QString &fileManager);
QString mergeProgressText();         // "Merging. Please wait..."
QString accelerationProgressText();  // "   Merge completed! Now performing playback acceleration...   "
// Outputs that may never be written over.
QString mergeSourceClashText(const QString &path);
// A file the user has not been asked about.
QString replaceQuestionText(const QString &path);

} // namespace vx
