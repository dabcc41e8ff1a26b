#include "devicecontrol/directionfinder/kvtcommon/devicefilterrange.h"

#include <algorithm>
#include <cmath>

DeviceFilterRange::DeviceFilterRange(double fFirstExtent, double fSecondExtent, std::vector<Range> lstAcceptedRanges)
    : m_fFirstExtent(fFirstExtent)
    , m_fSecondExtent(fSecondExtent)
    , m_lstAcceptedRanges(std::move(lstAcceptedRanges))
{
}

std::vector<DeviceFilterRange::Range> DeviceFilterRange::GetGaps() const
{
    // Wrapping ranges are split once each; a bound beyond the circle cannot make the split repeat.
    std::vector<Range> lstRanges;
    for (const Range& range : m_lstAcceptedRanges)
    {
        if (std::isnan(range.first) || std::isnan(range.second))
            continue;
        if (range.first > range.second)
        {
            lstRanges.emplace_back(range.first, CIRCLE_END);
            lstRanges.emplace_back(0.0, range.second);
        }
        else
            lstRanges.push_back(range);
    }

    std::vector<double> lstPoints{0.0, CIRCLE_END};
    for (const Range& range : lstRanges)
    {
        lstPoints.push_back(range.first);
        lstPoints.push_back(range.second);
    }
    std::sort(lstPoints.begin(), lstPoints.end());
    lstPoints.erase(std::unique(lstPoints.begin(), lstPoints.end()), lstPoints.end());

    const auto covered = [&lstRanges](double p) {
        return std::any_of(lstRanges.begin(), lstRanges.end(),
                           [p](const Range& range) { return range.first <= p && p < range.second; });
    };
    std::vector<Range> lstGaps;
    for (size_t i = 0; i + 1 < lstPoints.size(); ++i)
    {
        if (!covered(lstPoints[i]))
            lstGaps.emplace_back(lstPoints[i], lstPoints[i + 1]);
    }
    return lstGaps;
}
