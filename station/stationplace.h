#pragma once

#include "fusion/scenario.h"
#include "network/stationstatus.h"

#include <QString>

/// Where the simulated station stands and what it accepts, as it tells the
/// network (its status) and stamps into its bearings: status name, position,
/// heading and frequency range, and the rated standard deviation of its
/// bearings in degrees. Without a scenario the station stands at its home
/// port (Default()); a scenario sets its own.
struct StationPlace
{
    StationStatus status;
    double fSigma = 2.0;

    /// The home port of the station: 54.3233° N, 10.1228° E, heading 0°,
    /// 20 MHz to 3 GHz, σ 2°.
    static StationPlace Default(const QString& name);
    /// A station of a scenario: its name, position, heading, range and σ.
    static StationPlace Of(const Scenario::Station& station);
};
