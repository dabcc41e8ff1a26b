#pragma once

/// Geodesy on the WGS-84 ellipsoid for the fix estimation (GeographicLib).
/// Positions in degrees, distances in metres, azimuths in degrees clockwise
/// from true north.
namespace Geodesy
{

/// The geodesic from a station to a point, and how the azimuth at the
/// station turns when the point moves.
struct Link
{
    double fAzimuth = 0.0;
    /// Azimuth of the geodesic where it reaches the point.
    double fArrivalAzimuth = 0.0;
    double fDistance = 0.0;
    /// Derivative of the station's azimuth (radians) by a displacement of
    /// the point to the east and to the north (metres).
    double fGradEast = 0.0;
    double fGradNorth = 0.0;
};

Link Between(double fromLatitude, double fromLongitude, double toLatitude, double toLongitude);

/// The point reached from (latitude, longitude) by going east and north
/// (metres, along the geodesic of that direction).
void Offset(double latitude, double longitude, double east, double north, double& rLatitude, double& rLongitude);

/// Where the geodesic from (latitude, longitude) in direction azimuth ends after distance metres.
void Direct(double latitude, double longitude, double azimuth, double distance, double& rLatitude,
            double& rLongitude);

/// An angle difference folded into (-180, 180].
double WrapDifference(double degrees);

/// An azimuth folded into [0, 360).
double WrapAzimuth(double degrees);

}
