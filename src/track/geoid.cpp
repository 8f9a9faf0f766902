// Placeholder until the geoid evaluator lands: no model, no correction.
#include "geoid.h"

namespace vx {

void setupGeoid() {}
void setupGeoid(const QString &) {}
bool geoidAvailable() { return false; }
bool geoidCorrection(double, double, double *correctionM)
{
    *correctionM = 0;
    return false;
}

} // namespace vx
