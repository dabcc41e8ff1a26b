#pragma once

#include "contract/bearingrecord.h"
#include "kvtstationlib_export.h"
#include "station/stationplace.h"

#include <QString>

#include <functional>

namespace values
{
class BearingResult;
}

/// Turns the bearings the station accepts into bearing messages: the
/// station's place, its own sequence numbers from 1, the time of the
/// simulated clock, the heading the device reports (as in its DF sentences)
/// and the true bearing (the device measures from the bow), the
/// device's measurement bandwidth, and the DF method the characteristics
/// offer first at the bearing's frequency.
/// Single-threaded.
class KVTSTATION_EXPORT BearingStamper
{
public:
    /// clockMs: the simulated clock in milliseconds since the epoch; heading:
    /// the platform's heading in degrees that the device reports, below 0 when
    /// none (the place's heading is taken then); fBandwidth in Hz.
    BearingStamper(const StationPlace& place, double fBandwidth, std::function<quint64()> clockMs,
                   std::function<double()> heading);

    kvt::BearingRecord Stamp(const values::BearingResult& result);
    const StationPlace& GetPlace() const { return m_place; }

private:
    QString MethodAt(double fFrequency);

    StationPlace m_place;
    double m_fBandwidth;
    std::function<quint64()> m_clockMs;
    std::function<double()> m_heading;
    qint64 m_nSeq = 0;
    /// The bearings of a block share their frequency; its method is looked up once.
    double m_fMethodFrequency = -1.0;
    QString m_strMethod;
};
