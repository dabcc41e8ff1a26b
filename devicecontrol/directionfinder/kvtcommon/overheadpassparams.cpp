#include "devicecontrol/directionfinder/kvtcommon/overheadpassparams.h"

namespace NxKVTCommon
{

OverheadPassParams::OverheadPassParams()
    : m_nThreshold(DEFAULT_THRESHOLD)
    , m_bValid(false)
{
}

OverheadPassParams::OverheadPassParams(const OverheadPassParams& other) = default;
OverheadPassParams& OverheadPassParams::operator=(const OverheadPassParams& other) = default;
OverheadPassParams::~OverheadPassParams() = default;

void OverheadPassParams::SetThreshold(int nThreshold, IObserver* pExcluded)
{
    if (nThreshold == m_nThreshold)
        return;
    m_nThreshold = nThreshold;
    NotifyObservers(ChangeCode::ValueChanged, pExcluded);
}

void OverheadPassParams::SetValid(bool bValid, IObserver* pExcluded)
{
    if (bValid == m_bValid)
        return;
    m_bValid = bValid;
    NotifyObservers(ChangeCode::ValueChanged, pExcluded);
}

} // namespace NxKVTCommon
