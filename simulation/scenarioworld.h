#pragma once

#include "fusion/scenario.h"
#include "simulation/emitterstate.h"

#include <QString>

#include <vector>

/// The surroundings of one station of a scenario at a moment of the station's
/// simulated time (seconds after the scenario's start): where the emitters
/// that transmit lie as the station's device sees them (the geodesic azimuth
/// on the WGS-84 ellipsoid, taken from the bow), how strong they arrive, how
/// the platform pitches and rolls, and the handovers the station makes.
/// Everything follows from the scenario and the time alone; the noise is the
/// device's.
class ScenarioWorld
{
public:
    /// The station must be one of the scenario's.
    ScenarioWorld(const Scenario& scenario, const Scenario::Station& station);

    const Scenario::Station& GetStation() const { return m_station; }
    /// The scenario's start in milliseconds since the epoch (UTC).
    qint64 GetStartMs() const { return m_nStartMs; }

    /// The emitters that transmit at that time (on <= t < off).
    std::vector<EmitterState> Emitters(double seconds) const;
    double Pitch(double seconds) const;
    double Roll(double seconds) const;

    /// The frequency a sender listens to before its first handover (the one it
    /// will hand over first); 0 for a receiver, which waits to be tuned.
    double GetFirstFrequency() const;
    /// The frequencies the station hands over after `fromSeconds` up to and
    /// including `toSeconds`, in the order of the scenario.
    std::vector<double> HandoversBetween(double fromSeconds, double toSeconds) const;

private:
    Scenario::Station m_station;
    qint64 m_nStartMs;
    std::vector<Scenario::Emitter> m_lstEmitters;
    std::vector<Scenario::Handover> m_lstHandovers;
};
