// The dashboard's speedometer, built from the gauge toolkit: three
// background discs, the white scale arc, a green band, the unit and
// distance labels, the speed number, the red needle, the hub, the glass,
// the scale numbers and the ticks, in that order.
#pragma once

#include <QString>

namespace vx {

class QcGaugeWidget;
class QcLabelItem;
class QcNeedleItem;
class QcValuesItem;
class QcDegreesItem;
class QcColorBand;

// The items the dashboard changes after the build.
struct SpeedGauge {
    QcNeedleItem *needle = nullptr;
    QcLabelItem *distanceLabel = nullptr;
    QcLabelItem *unitLabel = nullptr;
    QcLabelItem *valueLabel = nullptr;  // attached to the needle
    QcValuesItem *values = nullptr;
    QcDegreesItem *degrees = nullptr;
    QcColorBand *band = nullptr;
    int maximum = 0;  // the scale's end, in the user's speed unit
};

// The scale's maximum where a gauge has none yet (no movie with speeds).
constexpr int DEFAULT_SPEEDOMETER_MAXIMUM = 100;
constexpr int MIN_SPEEDOMETER_MAXIMUM = 10;
constexpr int MAX_USER_SPEEDOMETER = 200;

// The scale's end: the user's maximum (clamped into 10..200) when
// `autoSpeedo` is off; with it on, the top speed of the loaded movies
// (km/h, times `speedFactor`) rounded down to tens plus ten (23.7 gives 30,
// 30.0 gives 40); without a top speed the previous maximum stays (100 when
// there was none).
int speedometerMaximum(bool autoSpeedo, int maxUserSpeedo, double peakSpeedKmh, double speedFactor,
                       int previousMaximum);

// Distance between the scale's numbers and ticks: 10, or coarser on a long
// scale so that at most 20 steps are drawn.
float speedScaleStep(int maximum);

// Empties `gauge` (its old items are deleted) and builds the speedometer
// for 0..maximum with `unitName` under the centre. Never throws: a
// maximum the toolkit refuses gives the default scale 0..100.
SpeedGauge buildSpeedGauge(QcGaugeWidget *gauge, int maximum, const QString &unitName);

} // namespace vx
