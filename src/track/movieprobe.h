// The movie probe: one run of the media tool over all loaded movies
// ("-i movie" for each, no output file), whose report in the log file gives
// each movie's duration, frame size and frame rate. The n-th duration, the
// n-th frame size and the n-th frame rate of the report belong to the n-th
// movie, each counted on its own (a movie with two video streams therefore
// shifts the size and rate of the movies after it, as the report reads).
//
// The tool stops at the first input it cannot open. Its report then
// describes the movies before that one only, and the probe runs again over
// the movies after it: a folder of good movies costs one run, and each
// unreadable movie one more.
#pragma once

#include <QByteArray>
#include <QString>

class QObject;

namespace vx {

struct MovieProbe {
    float duration = -1;   // seconds, -1 = unknown
    float fps = 29.97f;
    int width = 0;         // pixels, 0 = unknown
    int height = 0;
};

// Reads a probe report line by line: the first match on a line of
// "Duration: *(\d\d):(\d\d):(\d\d.\d*)", ", (\d+)x(\d+)" and
// ", ([0-9]*\.?[0-9]+) fps," each fills the next entry of its own kind.
// Entries at and beyond `count` are never written.
void parseProbeLog(const QByteArray &report, MovieProbe *movies, int count);

// How many inputs the report describes: the tool writes an "Input #n"
// header for each input it could open, in order, and stops at the first it
// cannot open.
int describedInputs(const QByteArray &report);

// The report file: "stdout.txt" in the temporary directory.
QString probeLogPath();

// Probes blocks 0 .. numBlocks - 1 and stores what the reports give;
// movies the tool cannot open keep their values. False (and nothing run)
// when the media tool is missing or another run is under way.
bool probeMovies(QObject *parent);

} // namespace vx
