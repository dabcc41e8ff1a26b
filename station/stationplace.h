#pragma once

#include "contract/stationstatus.h"

/// Where a station stands and what it accepts, as it tells the network (its
/// status) and stamps into its bearings: the status's name, position, heading
/// (taken when the device reports none) and frequency range, and the rated
/// standard deviation of its bearings in degrees.
struct StationPlace
{
    StationStatus status;
    double fSigma = 2.0;
};
