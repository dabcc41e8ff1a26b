#pragma once

#include "station/stationenvironment.h"
#include "station/stationplace.h"

/// The simulated station's setup before anything is stored: the thresholds
/// of its pitch/roll filter, the position of its home port, compass and GPS
/// as its heading and position sources, the hardware it needs and may have
/// (it lacks the compass and reports a noise generator nobody asked for, so
/// that the tester has something to report), and the overhead-pass filter
/// on, since this station watches the sky.
class SimulatedStationDefaults
{
public:
    static StationEnvironment::Defaults Get();
    /// The station at its home port: 54.3233° N, 10.1228° E, heading 0°,
    /// 20 MHz to 3 GHz, σ 2°.
    static StationPlace HomePort(const QString& name);
};
