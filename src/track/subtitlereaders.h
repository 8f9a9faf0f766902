// The text telemetry readers. Each fills one MovieBlock of the Track store
// from a text file that drone cameras write:
//
// - readSidecarSubtitles: the subtitle file beside the movie (<name>.srt),
//   in any of its line layouts;
// - readEmbeddedSubtitles: the subtitle stream copied out of the movie
//   (<name>.nmea.srt, see extractSubtitles in telemetrysource.h);
// - readFlightLog: the flight-log table beside the movie (<name>.csv).
//
// Each sets the block's telemetryFile to the path first, then reads the file
// when it is a readable regular file; a missing or unreadable file leaves
// numPoints as it was (0 after a reset). At most MAX_POINTS points are
// stored; the rest of the file is not read.
//
// The ...From variants read an already opened device (the tests and the
// fuzzers use them); they do not touch telemetryFile.
#pragma once

#include <QString>
#include <cstdint>

class QIODevice;

namespace vx {

void readSidecarSubtitles(int block, const QString &path);
void readEmbeddedSubtitles(int block, const QString &path);
void readFlightLog(int block, const QString &path);

void readSidecarSubtitlesFrom(int block, QIODevice &in);
void readEmbeddedSubtitlesFrom(int block, QIODevice &in);
void readFlightLogFrom(int block, QIODevice &in);

// Seconds since 1970 of the wall-clock reading yyyy-MM-dd hh:mm:ss taken as
// UTC, or NO_TIME when it is not a valid date and time (the flight log's
// record times).
uint32_t utcSecondsOrNoTime(int year, int month, int day, int hour, int minute, int second);

} // namespace vx
