#include "devicecontrol/directionfinder/kvtcommon/ohpparamssynchronizer.h"

#include "devicecontrol/directionfinder/kvtcommon/overheadpassparams.h"

namespace NxKVTCommon
{

OHPParamsSynchronizer::OHPParamsSynchronizer(OverheadPassParams& first, OverheadPassParams& second)
    : m_first(first)
    , m_second(second)
{
    CopyParams(m_first, m_second);
    m_first.AddObserver(this);
    m_second.AddObserver(this);
}

OHPParamsSynchronizer::OHPParamsSynchronizer(const OHPParamsSynchronizer& other) = default;

OHPParamsSynchronizer::~OHPParamsSynchronizer()
{
    m_first.DeleteObserver(this);
    m_second.DeleteObserver(this);
}

void OHPParamsSynchronizer::Update(Observable* pSource, TChangeCode code)
{
    if (code != ChangeCode::ValueChanged)
        return;
    if (pSource == &m_first)
        CopyParams(m_first, m_second);
    else if (pSource == &m_second)
        CopyParams(m_second, m_first);
}

void OHPParamsSynchronizer::CopyParams(const OverheadPassParams& from, OverheadPassParams& to)
{
    to.SetThreshold(from.GetThreshold(), this);
    to.SetValid(from.IsValid(), this);
}

} // namespace NxKVTCommon
