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
            for (const Scenario::Emitter& emitter : m_scenario.GetEmitters()) {
                if (t < emitter.fOn || t >= emitter.fOff || emitter.fFrequency < station.fFrequencyMin
                    || emitter.fFrequency > station.fFrequencyMax)
                    continue;
                const Geodesy::Link link = Geodesy::Between(station.fLatitude, station.fLongitude,
                                                            emitter.fLatitude, emitter.fLongitude);
                Bearing bearing;
                bearing.strStation = station.strName;
                bearing.nSeq = ++m_lstSeqs[i];
                bearing.nTimeMs = m_scenario.GetStartMs() + std::llround(t * 1000.0);
                bearing.fLatitude = station.fLatitude;
                bearing.fLongitude = station.fLongitude;
                bearing.fHeading = station.fHeading;
                bearing.fBearing = Geodesy::WrapAzimuth(link.fAzimuth + station.fSigma * m_gauss(m_random));
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
