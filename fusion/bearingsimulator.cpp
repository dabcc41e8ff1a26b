#include "fusion/bearingsimulator.h"

#include "fusion/geodesy.h"

#include <cmath>

BearingSimulator::BearingSimulator(const Scenario& scenario, quint64 seed, double ratePerSecond)
    : m_scenario(scenario)
    , m_random(seed)
    , m_fRate(ratePerSecond)
{
}

std::vector<Bearing> BearingSimulator::Generate(double seconds)
{
    std::vector<Bearing> bearings;
    if (!(m_fRate > 0.0))
        return bearings;
    const auto& stations = m_scenario.GetStations();
    std::vector<qint64> seqs(stations.size(), 0);
    std::normal_distribution<double> gauss(0.0, 1.0);
    const auto ticks = static_cast<qint64>(std::floor(seconds * m_fRate));
    for (qint64 tick = 0; tick < ticks; ++tick) {
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
                bearing.nSeq = ++seqs[i];
                bearing.nTimeMs = m_scenario.GetStartMs() + std::llround(t * 1000.0);
                bearing.fLatitude = station.fLatitude;
                bearing.fLongitude = station.fLongitude;
                bearing.fHeading = station.fHeading;
                bearing.fBearing = Geodesy::WrapAzimuth(link.fAzimuth + station.fSigma * gauss(m_random));
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
