#include "simulation/scenarioworld.h"

#include "fusion/geodesy.h"

#include <algorithm>
#include <cmath>

namespace {

/// Ground emitters seen from a mast: just above the horizon.
const double GROUND_ELEVATION = 1.0;
/// Below this distance the path loss formula no longer holds; the level stays as at this distance.
const double NEAR_FIELD_M = 100.0;

/// The level at the antenna in dBµV (50 Ω) of power dBm sent from distance
/// metres away: free-space loss, which is optimistic over ground but keeps
/// the relation between power, distance and frequency plain.
double ReceivedLevel(double power, double frequency, double distance)
{
    const double kilometres = std::max(distance, NEAR_FIELD_M) / 1000.0;
    const double megahertz = frequency / 1e6;
    const double loss = 20.0 * std::log10(kilometres) + 20.0 * std::log10(megahertz) + 32.44;
    return power - loss + 107.0;
}

double Swing(double amplitude, double period, double seconds, double phase)
{
    return period > 0.0 ? amplitude * std::sin(2.0 * M_PI * seconds / period + phase) : 0.0;
}

}

ScenarioWorld::ScenarioWorld(const Scenario& scenario, const Scenario::Station& station)
    : m_station(station)
    , m_nStartMs(scenario.GetStartMs())
    , m_lstEmitters(scenario.GetEmitters())
{
    std::copy_if(scenario.GetHandovers().begin(), scenario.GetHandovers().end(), std::back_inserter(m_lstHandovers),
                 [&station](const Scenario::Handover& handover) { return handover.strStation == station.strName; });
}

std::vector<EmitterState> ScenarioWorld::Emitters(double seconds) const
{
    std::vector<EmitterState> emitters;
    for (const Scenario::Emitter& emitter : m_lstEmitters) {
        if (seconds < emitter.fOn || seconds >= emitter.fOff)
            continue;
        const Geodesy::Link link =
            Geodesy::Between(m_station.fLatitude, m_station.fLongitude, emitter.fLatitude, emitter.fLongitude);
        emitters.push_back({emitter.fFrequency, Geodesy::WrapAzimuth(link.fAzimuth - m_station.fHeading),
                            GROUND_ELEVATION, ReceivedLevel(emitter.fPower, emitter.fFrequency, link.fDistance)});
    }
    return emitters;
}

double ScenarioWorld::Pitch(double seconds) const
{
    return Swing(m_station.motion.fPitch, m_station.motion.fPeriod, seconds, 0.0);
}

double ScenarioWorld::Roll(double seconds) const
{
    // A quarter period behind the pitch, as a platform in a swell moves.
    return Swing(m_station.motion.fRoll, m_station.motion.fPeriod, seconds, M_PI / 2.0);
}

double ScenarioWorld::GetFirstFrequency() const
{
    return m_station.eRole == Scenario::Role::Sender && !m_lstHandovers.empty() ? m_lstHandovers.front().fFrequency
                                                                                 : 0.0;
}

std::vector<double> ScenarioWorld::HandoversBetween(double fromSeconds, double toSeconds) const
{
    std::vector<double> frequencies;
    for (const Scenario::Handover& handover : m_lstHandovers) {
        if (handover.fAt > fromSeconds && handover.fAt <= toSeconds)
            frequencies.push_back(handover.fFrequency);
    }
    return frequencies;
}
