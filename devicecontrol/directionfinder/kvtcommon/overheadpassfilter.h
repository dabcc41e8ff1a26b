#pragma once

#include "devicecontrol/directionfinder/kvtcommon/filterrejectcounter.h"
#include "kvtcommon_export.h"

#include <QtGlobal>

namespace values
{
class BearingResult;
} // namespace values

namespace NxKVTCommon
{

class OverheadPassParams;

/// Marks bearing results that come from straight above the antenna: while the parameters are
/// switched on, a result with valid quality and elevation whose elevation (tenths of a degree)
/// reaches the threshold gets the quality QUALITY_OVERHEAD_PASS. Every marked result is counted
/// under FilterRejectReason::OverheadPass.
///
/// Borrows the parameters, which must outlive it. Single-threaded: use it on the thread that
/// produces the bearings.
class KVTCOMMON_EXPORT OverheadPassFilter : public FilterRejectCounter
{
public:
    static constexpr qint16 QUALITY_OVERHEAD_PASS = -200;

    explicit OverheadPassFilter(OverheadPassParams& params);

    /// Any other result stays unchanged.
    void Apply(values::BearingResult& result);

private:
    OverheadPassParams& m_params;
};

} // namespace NxKVTCommon
