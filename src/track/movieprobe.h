// The movie probe: one run of the media tool over all loaded movies
// ("-i movie" for each, no output file), whose report in the log file gives
// each movie's duration, frame size and frame rate.
//
// The report has a section per input, from its "Input #n" header on; each
// movie's facts come from its own section only, so that a movie with two
// video streams, or with none, changes nothing of the movies after it. The
// tool stops at the first input it cannot open: its report then describes
// the movies before that one only, and the probe runs again over the movies
// after it. A folder of good movies costs one run, and each unreadable
// movie one more.
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

// Reads a probe report line by line. In the section of input k (from its
// "Input #" header up to the next one; lines before the first header belong
// to no movie):
// - the first line starting (after blanks) with "Duration:" that matches
//   "Duration: *(\d\d):(\d\d):(\d\d.\d*)" gives the duration of entry k;
// - the first video stream line (one holding "Video:") that matches
//   ", (\d+)x(\d+)" gives its frame size, and the first that matches
//   ", ([0-9]*\.?[0-9]+) fps," its frame rate.
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
