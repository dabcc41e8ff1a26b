#pragma once

#include "fusion/bearing.h"
#include "fusion/scenario.h"

#include <random>
#include <vector>

/// Synthesises the bearings of a scenario without running stations: every
/// station measures every emitter that transmits and whose frequency lies in
/// the station's range, rate times a second, as the true geodesic bearing
/// from the station to the emitter plus Gaussian noise with the station's
/// sigma. (A station of the network listens only on the frequency handed
/// over to it; the synthesiser measures all it could receive, as a scanning
/// station would, so that every emitter gets fixes.) The same seed gives the
/// same bearings.
class BearingSimulator
{
public:
    BearingSimulator(const Scenario& scenario, quint64 seed, double ratePerSecond);

    /// The bearings of the first `seconds` of the scenario, in time order.
    std::vector<Bearing> Generate(double seconds);

private:
    const Scenario& m_scenario;
    std::mt19937_64 m_random;
    double m_fRate;
};
