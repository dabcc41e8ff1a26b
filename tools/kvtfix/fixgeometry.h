#pragma once

#include "fusion/fix.h"
#include "fusion/scenario.h"

#include <QString>

#include <utility>
#include <vector>

/// The shapes every output draws, as (latitude, longitude) points: the
/// stations, each fix's bearing lines and its 95 % ellipse.
namespace FixGeometry
{

using Point = std::pair<double, double>;

struct Station
{
    QString strName;
    double fLatitude = 0.0;
    double fLongitude = 0.0;
};

/// The scenario's stations, then those the fixes name that it does not (at
/// their last position).
std::vector<Station> Stations(const std::vector<Fix>& fixes, const Scenario* pScenario);

/// The station's mean bearing as a geodesic from the station to a third
/// beyond the fix, as a polyline.
std::vector<Point> BearingLine(const FixLine& line, const Fix& fix);

/// The fix's 95 % ellipse, closed, counter-clockwise; none when its axes are not finite.
std::vector<Point> Ellipse(const Fix& fix);

}
