#include "contract/bearingrecord.h"

#include <cmath>

namespace kvt
{

double WrapDegrees(double fAngle)
{
    double wrapped = std::fmod(fAngle, 360.0);
    if (wrapped < 0.0)
        wrapped += 360.0;
    // A tiny negative angle wraps to 360.0 itself in floating point.
    return wrapped >= 360.0 ? 0.0 : wrapped;
}

} // namespace kvt
