#include "tools/kvtfix/fixgeometry.h"

#include "fusion/geodesy.h"

#include <QHash>

#include <cmath>

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
    // By name, so that many stations cost no more than a look-up each.
    QHash<QString, size_t> indexes;
    for (size_t i = 0; i < stations.size(); ++i)
        indexes.insert(stations[i].strName, i);
    for (const Fix& fix : fixes) {
        for (const FixLine& line : fix.lstLines) {
            const Station station{line.strStation, line.fLatitude, line.fLongitude};
            const auto it = indexes.constFind(line.strStation);
            if (it == indexes.constEnd()) {
                indexes.insert(line.strStation, stations.size());
                stations.push_back(station);
            } else if (*it >= known) {
                stations[*it] = station;
            }
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
    if (!std::isfinite(fix.ellipse.fSemiMajor) || !std::isfinite(fix.ellipse.fSemiMinor))
        return points;
    for (const auto& offset : fix.ellipse.Outline(ELLIPSE_POINTS)) {
        Point point;
        Geodesy::Offset(fix.fLatitude, fix.fLongitude, offset.first, offset.second, point.first, point.second);
        points.push_back(point);
    }
    return points;
}

}
