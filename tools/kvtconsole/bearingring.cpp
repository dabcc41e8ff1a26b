#include "tools/kvtconsole/bearingring.h"

#include "station/polargeometry.h"
#include "valueframework/valueclasses/bearingresult.h"

#include <algorithm>

BearingRing::BearingRing(std::size_t capacity)
    : m_lstEntries(std::max<std::size_t>(capacity, 1))
{
}

void BearingRing::Add(const values::BearingResult& result, double heading)
{
    const double relative = result.GetAzimuth() / 10.0;
    const Entry entry{result.GetFrequency(),
                      result.GetTimeStamp(),
                      static_cast<float>(relative),
                      static_cast<float>(PolarGeometry::TrueBearing(relative, heading)),
                      static_cast<float>(heading),
                      static_cast<float>(result.GetElevation() / 10.0),
                      static_cast<float>(result.GetLevel() / 100.0),
                      result.GetQuality()};
    ++m_nAdded;
    if (m_nSize < m_lstEntries.size()) {
        m_lstEntries[(m_nFirst + m_nSize) % m_lstEntries.size()] = entry;
        ++m_nSize;
        return;
    }
    m_lstEntries[m_nFirst] = entry;
    m_nFirst = (m_nFirst + 1) % m_lstEntries.size();
}

void BearingRing::ForgetBefore(quint64 timeMs)
{
    while (m_nSize > 0 && At(0).nTimeMs < timeMs) {
        m_nFirst = (m_nFirst + 1) % m_lstEntries.size();
        --m_nSize;
    }
}
