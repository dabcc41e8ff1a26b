#pragma once

#include <QString>

/// Where a station stands and what it accepts, as it tells the network (its
/// status) and stamps into its bearings: its name, position, the heading
/// taken when the device reports none, its frequency range, and the rated
/// standard deviation of its bearings. Angles in degrees (heading clockwise
/// from true north), frequencies in Hz.
struct StationPlace
{
    QString strName;
    double fLatitude = 0.0;
    double fLongitude = 0.0;
    double fHeading = 0.0;
    double fFrequencyMin = 0.0;
    double fFrequencyMax = 0.0;
    double fSigma = 2.0;
};
