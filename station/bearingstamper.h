#pragma once

#include "fusion/bearing.h"
#include "station/stationplace.h"

#include <QString>

#include <functional>

namespace values
{
class BearingResult;
}

/// Turns the bearings the station accepts into bearing messages: the
/// station's place, its own sequence numbers from 1, the time of the
/// simulated clock, the true bearing (the device measures from the bow), and
/// the DF method the characteristics offer first at the bearing's frequency.
/// Single-threaded.
class BearingStamper
{
public:
    /// clockMs: the simulated clock in milliseconds since the epoch.
    BearingStamper(const StationPlace& place, std::function<quint64()> clockMs);

    Bearing Stamp(const values::BearingResult& result);
    const StationPlace& GetPlace() const { return m_place; }

private:
    QString MethodAt(double fFrequency);

    StationPlace m_place;
    std::function<quint64()> m_clockMs;
    qint64 m_nSeq = 0;
    /// The bearings of a block share their frequency; its method is looked up once.
    double m_fMethodFrequency = -1.0;
    QString m_strMethod;
};
