#include "devicecontrol/directionfinder/kvtcommon/overheadpassfilter.h"

#include "devicecontrol/directionfinder/kvtcommon/overheadpassparams.h"
#include "valueframework/valueclasses/bearingresult.h"

namespace NxKVTCommon
{

OverheadPassFilter::OverheadPassFilter(OverheadPassParams& params)
    : m_params(params)
{
}

void OverheadPassFilter::Apply(values::BearingResult& result)
{
    if (!m_params.IsValid() || !result.IsValueValid(values::BearingResult::VALUE_QUALITY) ||
        !result.IsValueValid(values::BearingResult::VALUE_ELEVATION) ||
        result.GetElevation() < m_params.GetThreshold())
        return;
    result.SetQuality(QUALITY_OVERHEAD_PASS);
    CountRejects(FilterRejectReason::OverheadPass, 1);
}

} // namespace NxKVTCommon
