// The clip export's rules, apart from its dialog: the texts of the start,
// stop and duration fields, the range check with its messages, and the
// choices that carry over from one clip to the next during a run.
#pragma once

#include <QString>

namespace vx {

// Kept for the run, never stored: the last clip length (seconds of the
// movie) and the sound choice.
struct ClipChoices {
    double lastDurationSeconds = 5.0;
    bool includeAudio = true;
};
ClipChoices &clipChoices();

// A time in seconds as the two fields show it: whole minutes, and the
// remaining seconds in 'g' form with 4 significant digits ("1", "5.25").
struct MinutesSeconds {
    QString minutes;
    QString seconds;
};
MinutesSeconds splitMinutesSeconds(double totalSeconds);
// The duration field: 'g' form with 6 significant digits.
QString durationFieldText(double seconds);
// A number typed into a field (C locale, else the user's); 0 when it reads
// as no number.
double fieldValue(const QString &text);

// "Movie Duration: %1 seconds" below a time factor of 2, else "Timelapse
// Duration: %1 minutes" with factor x duration / 60.
QString clipInfoText(int timeFactor, double movieSeconds);

// The range the fields describe, checked in a fixed order. The fields
// hold wall-clock seconds (movie seconds x timeFactor); startSeconds and
// durationSeconds are movie seconds. movieSeconds <= 0 means the length is
// unknown and is not checked.
struct ClipRange {
    bool ok = false;
    QString error;  // the warning shown when not ok
    double startSeconds = 0;
    double durationSeconds = 0;
};
ClipRange checkClipRange(double startFieldSeconds, double durationFieldSeconds, int timeFactor,
                         double movieSeconds);

// "Can not export. No movies loaded."
QString clipNoMoviesText();
// "Export Complete! %1 created. Reveal in %2?"
QString clipCompleteText(const QString &fileName, const QString &fileManager);

} // namespace vx
