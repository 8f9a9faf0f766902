// The rules the preferences apply to what the user enters, shared with the
// per-movie settings file (whose loaded values get the same clamps): the
// range of every numeric setting, the conversions between what a field shows
// and what the record keeps, the UTC correction of the loaded telemetry, and
// numbers as text. Numbers are always written and read in the C locale: a
// value written as "0,8" under a comma locale would read back as nothing
// anywhere else.
#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

namespace vx {

struct SettingsRecord;
struct GraphRange;

// ---- numbers as text ----------------------------------------------------------------

// printf's "%.<decimals>f" in the C locale (0 to 9 decimals), with printf's
// rounding of the binary value (0.25 gives "0.2", 0.75 gives "0.8"). Not a
// number and infinities give "nan" and "inf".
QByteArray fixedNumber(double value, int decimals);
// printf's "%g" in the C locale.
QByteArray generalNumber(double value);

// A decimal number in the C locale ("-1.5", "3", ".5"; no group separators,
// no exponent needed but accepted); nothing when the text is not a number or
// not finite.
std::optional<double> parseReal(const QString &text);
// A base-10 integer that fits an int; nothing otherwise.
std::optional<int> parseInt(const QString &text);

// ---- ranges --------------------------------------------------------------------------

// Time offsets and biases: within one day either way.
constexpr double MAX_TIME_OFFSET_HOURS = 24.0;
constexpr int MAX_TIME_OFFSET_SEC = 86400;
constexpr int MIN_SPEEDO_MAX = 10;
constexpr int MAX_SPEEDO_MAX = 200;
constexpr double MIN_REPLAY_SEC = 0.1;
constexpr int PICTURE_LIMIT = 100;  // brightness and contrast: -100 .. 100

// A graph's minimum or maximum as the preferences keep it: speed 0..300,
// distance, line of sight and altitude 0..20000, bearing 0..360, satellites
// 0..30 (whole numbers).
double clampGraphValue(int graph, double value);
// Both ends clamped, a maximum below the minimum resets the minimum to 0,
// then the one range check of the graphs.
GraphRange clampedGraphRange(int graph, const GraphRange &range, double distFactor);

qint64 clampTimeOffsetSec(qint64 seconds);
double clampTimeOffsetHours(double hours);
// Hours shown in a field to whole seconds: rounded to the nearest second
// (1.4997 h is 5399 s, not 5398), within one day.
int secondsFromHours(double hours);

float clampSkip(double seconds);      // not below 0
float clampReplay(double seconds);    // not below 0.1
int clampSpeedoMax(qint64 value);     // 10 .. 200
float clampVolume(double volume);     // 0 .. 1
int clampPicture(qint64 value);       // -100 .. 100
// A fixed Vmax typed in the user's speed unit, as km/h (not below 0).
float vmaxFromShown(double shown, double speedFactor);

// ---- the UTC correction ---------------------------------------------------------------

// The camera-clock correction changes to `hours` (kept within one day): when
// it differs from the stored one by more than 1e-7, every loaded point time
// first gets the old correction back and then loses the new one, so that
// applying the same value again moves nothing. Returns whether the stored
// value changed.
bool changeUtcOffset(SettingsRecord &s, double hours);

} // namespace vx
