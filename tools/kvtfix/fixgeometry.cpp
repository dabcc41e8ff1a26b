#include "tools/kvtfix/fixgeometry.h"

#include "fusion/geodesy.h"

#include <algorithm>

namespace FixGeometry
{

namespace {

constexpr int LINE_POINTS = 16;
constexpr int ELLIPSE_POINTS = 72;

}

std::vector<Station> Stations(const std::vector<Fix>& fixes, const Scenario* pScenario)
{
    std::vector<Station> stations;
    if (pScenario != nullptr) {
        for (const Scenario::Station& station : pScenario->GetStations())
            stations.push_back({station.strName, station.fLatitude, station.fLongitude});
    }
    const size_t known = stations.size();
    for (const Fix& fix : fixes) {
        for (const FixLine& line : fix.lstLines) {
            const Station station{line.strStation, line.fLatitude, line.fLongitude};
            const auto it = std::find_if(stations.begin(), stations.end(),
                                         [&line](const Station& s) { return s.strName == line.strStation; });
            if (it == stations.end())
                stations.push_back(station);
            else if (static_cast<size_t>(it - stations.begin()) >= known)
                *it = station;
        }
    }
    return stations;
}

std::vector<Point> BearingLine(const FixLine& line, const Fix& fix)
{
    const double length =
        1.33 * Geodesy::Between(line.fLatitude, line.fLongitude, fix.fLatitude, fix.fLongitude).fDistance;
    std::vector<Point> points;
    for (int i = 0; i <= LINE_POINTS; ++i) {
        Point point;
        Geodesy::Direct(line.fLatitude, line.fLongitude, line.fBearing, length * i / LINE_POINTS, point.first,
                        point.second);
        points.push_back(point);
    }
    return points;
}

std::vector<Point> Ellipse(const Fix& fix)
{
    std::vector<Point> points;
    for (const auto& offset : fix.ellipse.Outline(ELLIPSE_POINTS)) {
        Point point;
        Geodesy::Offset(fix.fLatitude, fix.fLongitude, offset.first, offset.second, point.first, point.second);
        points.push_back(point);
    }
    return points;
}

}
