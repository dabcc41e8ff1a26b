#pragma once

#include "fusion/bearing.h"
#include "fusion/scenario.h"

#include <random>
#include <vector>

/// Synthesises the bearings of a scenario without running stations: every
/// station measures every emitter that transmits and whose frequency lies in
/// the station's range, rate times a second, as the true geodesic bearing
/// from the station to the emitter plus Gaussian noise with the station's
/// sigma, from where the station is at that time (its track). The
/// station's faults replace shares of its bearings by wild ones (uniform
/// over the circle) or reflected ones (its reflection offset off the true
/// line, with its noise), and stamp a share with a time ahead. (A station of the network listens only on the frequency handed
/// over to it; the synthesiser measures all it could receive, as a scanning
/// station would, so that every emitter gets fixes.) The same seed gives the
/// same bearings.
class BearingSimulator
{
public:
    BearingSimulator(const Scenario& scenario, quint64 seed, double ratePerSecond);

    /// The bearings of the next `seconds` of the scenario (from its start on
    /// the first call, then where the last call ended), in time order.
    std::vector<Bearing> Generate(double seconds);

private:
    /// One bearing of a station with these faults towards the true azimuth.
    double Measure(const Scenario::Faults& faults, double azimuth, double sigma);

    const Scenario& m_scenario;
    std::mt19937_64 m_random;
    std::normal_distribution<double> m_gauss{0.0, 1.0};
    std::uniform_real_distribution<double> m_uniform{0.0, 1.0};
    double m_fRate;
    double m_fElapsed = 0.0;
    qint64 m_nNextTick = 0;
    /// Per station, the last sequence number given.
    std::vector<qint64> m_lstSeqs;
};
