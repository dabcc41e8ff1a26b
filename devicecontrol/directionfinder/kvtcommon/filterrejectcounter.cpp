#include "devicecontrol/directionfinder/kvtcommon/filterrejectcounter.h"

#include <QCoreApplication>

namespace NxKVTCommon
{

namespace
{

bool IsKnown(FilterRejectReason eReason)
{
    const int n = static_cast<int>(eReason);
    return n >= 0 && n < FILTER_REJECT_REASON_COUNT;
}

} // namespace

FilterRejectCounter::FilterRejectCounter()
{
    ResetRejectCounts();
}

FilterRejectCounter::~FilterRejectCounter() = default;

quint64 FilterRejectCounter::RejectCount(FilterRejectReason eReason) const
{
    return IsKnown(eReason) ? m_aRejectCounts[static_cast<size_t>(eReason)] : 0;
}

void FilterRejectCounter::ResetRejectCounts()
{
    m_aRejectCounts.fill(0);
}

QString FilterRejectCounter::ReasonText(FilterRejectReason eReason)
{
    switch (eReason)
    {
    case FilterRejectReason::Tilt:
        return QCoreApplication::translate("FilterRejectCounter", "Platform tilt");
    case FilterRejectReason::OverheadPass:
        return QCoreApplication::translate("FilterRejectCounter", "Overhead pass");
    case FilterRejectReason::NoQuality:
        return QCoreApplication::translate("FilterRejectCounter", "No quality");
    }
    return QString();
}

void FilterRejectCounter::CountRejects(FilterRejectReason eReason, quint64 nCount)
{
    if (IsKnown(eReason))
        m_aRejectCounts[static_cast<size_t>(eReason)] += nCount;
}

} // namespace NxKVTCommon
