#include "fusion/geodesy.h"

#include "contract/bearingrecord.h"

#include <GeographicLib/Geodesic.hpp>

#include <cmath>

namespace Geodesy
{

namespace {

constexpr double DEGREE = M_PI / 180.0;

}

Link Between(double fromLatitude, double fromLongitude, double toLatitude, double toLongitude)
{
    Link link;
    double reducedLength = 0.0;
    GeographicLib::Geodesic::WGS84().Inverse(fromLatitude, fromLongitude, toLatitude, toLongitude, link.fDistance,
                                             link.fAzimuth, link.fArrivalAzimuth, reducedLength);
    // Moving the point across the geodesic (to its right) by d turns the
    // azimuth at the station clockwise by d / m12.
    if (reducedLength > 0.0) {
        link.fGradEast = std::cos(link.fArrivalAzimuth * DEGREE) / reducedLength;
        link.fGradNorth = -std::sin(link.fArrivalAzimuth * DEGREE) / reducedLength;
    }
    return link;
}

void Offset(double latitude, double longitude, double east, double north, double& rLatitude, double& rLongitude)
{
    Direct(latitude, longitude, std::atan2(east, north) / DEGREE, std::hypot(east, north), rLatitude, rLongitude);
}

void Direct(double latitude, double longitude, double azimuth, double distance, double& rLatitude,
            double& rLongitude)
{
    GeographicLib::Geodesic::WGS84().Direct(latitude, longitude, azimuth, distance, rLatitude, rLongitude);
}

double WrapDifference(double degrees)
{
    double wrapped = std::remainder(degrees, 360.0);
    if (wrapped <= -180.0)
        wrapped += 360.0;
    return wrapped;
}

double WrapAzimuth(double degrees)
{
    return kvt::WrapDegrees(degrees);
}

}
