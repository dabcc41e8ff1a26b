#pragma once

#include "contract/bearingrecord.h"

#include <vector>

namespace values
{
class BearingResult;
}

namespace kvt
{

/// One block of bearings that the station's pipeline accepted from its
/// driver, as the station hands it to each of its sinks: the results as the
/// device measured them (azimuth from the bow, the device's time stamp) and
/// the same bearings stamped with the station's time, place and true bearing.
struct AcceptedBlock
{
    /// A scan's whole list (it replaces the previous scan's, also when empty);
    /// otherwise the bearings of a fixed-frequency or TDMA report, one by one.
    bool bScan = false;
    const std::vector<values::BearingResult>& lstResults;
    /// One per result, in the same order.
    std::vector<BearingRecord> lstBearings;
};

} // namespace kvt
