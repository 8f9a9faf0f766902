// Geoid height correction: GPS receivers report heights above the WGS-84
// ellipsoid; users expect heights above mean sea level. The EGM96 geoid on a
// 15-minute grid ("egm96-15.pgm", GeographicLib's grid format) ships in
// <resource directory>/geoid/. One cubic evaluator is opened on first use and
// kept for the run.
#pragma once

#include <QString>

namespace vx {

// Called once at start-up: builds the geoid directory path from the resource
// directory and notes whether the model file is there.
void setupGeoid();
// Same, with an explicit directory (tests, tools). Drops any open evaluator.
void setupGeoid(const QString &geoidDirectory);
bool geoidAvailable();

// The correction to add to an ellipsoid height at (latDeg, lonDeg): -N, in
// metres. False (and 0) without the model or on any error of the library.
bool geoidCorrection(double latDeg, double lonDeg, double *correctionM);

} // namespace vx
