#pragma once

#include "devicecontrol/directionfinder/kvtcommon/filterrejectreason.h"
#include "kvtcommon_export.h"

#include <QString>
#include <QtGlobal>

#include <array>

namespace NxKVTCommon
{

/// Per-reason counts of the bearings a filter rejected, for display to the operator. The bearing
/// filters derive from it and count every bearing they mark; a driver reads the counts with
/// RejectCount() and starts a new period with ResetRejectCounts(). A filter counts only under its
/// own reason; the other reasons stay 0. Copies of a filter carry the counts along.
///
/// Counting never changes what a filter does to a bearing. Not thread-safe: read and reset the
/// counts on the thread that applies the filter.
class KVTCOMMON_EXPORT FilterRejectCounter
{
public:
    /// Bearings rejected for the reason since construction or the last reset.
    quint64 RejectCount(FilterRejectReason eReason) const;
    /// Sets every count to 0.
    void ResetRejectCounts();

    /// A short translated name of the reason ("Platform tilt", "Overhead pass", "No quality"),
    /// context "FilterRejectCounter"; empty for a number outside the enumeration.
    static QString ReasonText(FilterRejectReason eReason);

protected:
    FilterRejectCounter();
    ~FilterRejectCounter();
    FilterRejectCounter(const FilterRejectCounter&) = default;
    FilterRejectCounter& operator=(const FilterRejectCounter&) = default;

    void CountRejects(FilterRejectReason eReason, quint64 nCount);

private:
    std::array<quint64, FILTER_REJECT_REASON_COUNT> m_aRejectCounts;
};

} // namespace NxKVTCommon
