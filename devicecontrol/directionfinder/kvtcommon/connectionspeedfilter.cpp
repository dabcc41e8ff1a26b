#include "devicecontrol/directionfinder/kvtcommon/connectionspeedfilter.h"

#include "valueframework/valueclasses/bearing.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/value.h"

namespace NxKVTCommon
{

ConnectionSpeedFilter::ConnectionSpeedFilter()
    : m_pConnectionSpeed(nullptr)
{
}

ConnectionSpeedFilter::ConnectionSpeedFilter(const ConnectionSpeedFilter& other) = default;
ConnectionSpeedFilter& ConnectionSpeedFilter::operator=(const ConnectionSpeedFilter& other) = default;
ConnectionSpeedFilter::~ConnectionSpeedFilter() = default;

void ConnectionSpeedFilter::SetConnectionSpeedValuePath(const QString& path)
{
    if (m_pConnectionSpeed == nullptr)
        m_pConnectionSpeed = values::Tree::Instance()->Find<values::Value<int>>(path);
}

void ConnectionSpeedFilter::Apply(unsigned int count, values::Bearing* bearings)
{
    if (m_pConnectionSpeed == nullptr || m_pConnectionSpeed->GetValue() <= 0 || bearings == nullptr)
        return;
    // Branch-free: whole scans mix bearings with and without quality unpredictably.
    quint64 nRejected = 0;
    for (unsigned int i = 0; i < count; ++i)
    {
        const bool bNoQuality = bearings[i].quality == 0;
        bearings[i].level = bNoQuality ? LEVEL_NO_QUALITY : bearings[i].level;
        nRejected += bNoQuality ? 1 : 0;
    }
    CountRejects(FilterRejectReason::NoQuality, nRejected);
}

} // namespace NxKVTCommon
