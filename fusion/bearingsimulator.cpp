#include "fusion/bearingsimulator.h"

#include "fusion/geodesy.h"

#include <cmath>

BearingSimulator::BearingSimulator(const Scenario& scenario, quint64 seed, double ratePerSecond)
    : m_scenario(scenario)
    , m_random(seed)
    , m_fRate(ratePerSecond)
    , m_lstSeqs(scenario.GetStations().size(), 0)
{
}

double BearingSimulator::Measure(const Scenario::Faults& faults, double azimuth, double sigma)
{
    // A clean station draws no fault dice, so its bearings stay those of earlier versions for a seed.
    const double dice = faults.fWild + faults.fReflection > 0.0 ? m_uniform(m_random) : 1.0;
    if (dice < faults.fWild)
        return Geodesy::WrapAzimuth(360.0 * m_uniform(m_random));
    const double offset = dice < faults.fWild + faults.fReflection ? faults.fReflectionOffset : 0.0;
    return Geodesy::WrapAzimuth(azimuth + offset + sigma * m_gauss(m_random));
}

std::vector<Bearing> BearingSimulator::Generate(double seconds)
{
    std::vector<Bearing> bearings;
    if (!(m_fRate > 0.0))
        return bearings;
    const auto& stations = m_scenario.GetStations();
    // From the time covered so far, so that short calls add up at any rate.
    m_fElapsed += seconds;
    const auto end = static_cast<qint64>(std::ceil(m_fElapsed * m_fRate));
    for (; m_nNextTick < end; ++m_nNextTick) {
        const qint64 tick = m_nNextTick;
        const double t = tick / m_fRate;
        for (size_t i = 0; i < stations.size(); ++i) {
            const Scenario::Station& station = stations[i];
            double latitude = 0.0, longitude = 0.0;
            station.PositionAt(t, latitude, longitude);
            for (const Scenario::Emitter& emitter : m_scenario.GetEmitters()) {
                if (!emitter.IsOn(t) || emitter.fFrequency < station.fFrequencyMin
                    || emitter.fFrequency > station.fFrequencyMax)
                    continue;
                const Geodesy::Link link = Geodesy::Between(latitude, longitude, emitter.fLatitude, emitter.fLongitude);
                Bearing bearing;
                bearing.strStation = station.strName;
                bearing.nSeq = ++m_lstSeqs[i];
                bearing.nTimeMs = m_scenario.GetStartMs() + std::llround(t * 1000.0);
                bearing.fLatitude = latitude;
                bearing.fLongitude = longitude;
                bearing.fHeading = station.fHeading;
                bearing.fBearing = Measure(station.faults, link.fAzimuth, station.fSigma);
                if (station.faults.fFuture > 0.0 && m_uniform(m_random) < station.faults.fFuture)
                    bearing.nTimeMs += std::llround(station.faults.fFutureSeconds * 1000.0);
                bearing.fSigma = station.fSigma;
                bearing.fQuality = 80.0;
                bearing.fFrequency = emitter.fFrequency;
                bearing.fBandwidth = emitter.fBandwidth;
                bearings.push_back(bearing);
            }
        }
    }
    return bearings;
}
