#include "devicecontrol/directionfinder/kvtcommon/antennanodemembers.h"

#include "devicecontrol/directionfinder/kvtcommon/antennadata.h"
#include "devicecontrol/directionfinder/kvtcommon/antennadatalistcfgaccess.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristicstools.h"
#include "devicecontrol/stddevicedefinition/stdadapter.h"

namespace
{

// Copies a member's value when the node has the member; otherwise the record keeps its own.
template <class V, class M>
void Take(const V* pValue, M& rMember)
{
    if (pValue != nullptr)
        rMember = static_cast<M>(pValue->GetValue());
}

template <class V>
void TakeFloat(const V* pValue, float& rMember)
{
    if (pValue != nullptr)
        rMember = AntennaDataListCfgAccess::ToFloat(pValue->GetValue());
}

}

void AntennaNodeMembers::FindIdentity(const StdDeviceDefinition::StdAdapter& adapter)
{
    pName = adapter.GetAntName();
    pHandle = adapter.GetAntHandle();
    pMinFreq = adapter.GetAntMinFreq();
    pMaxFreq = adapter.GetAntMaxFreq();
}

void AntennaNodeMembers::FindSettings(const StdDeviceDefinition::StdAdapter& adapter)
{
    pEnabled = adapter.GetAntEnabled();
    pMinRange = adapter.GetAntMinRange();
    pMaxRange = adapter.GetAntMaxRange();
    pCompassEnabled = adapter.GetAntCompassEnabled();
    pMechOffset = adapter.GetAntMechOffset();
    pCompassSupport = adapter.GetAntCompassSupport();
    pDfAlgorithm = adapter.GetAntDfAlgorithm();
    pPolarizationSupport = adapter.GetAntPolarizationSupport();
    pPolarizationMode = adapter.GetAntPolarizationMode();
    pActivePassiveSupport = adapter.GetAntActivePassiveSupport();
    pCompassValue = adapter.GetAntCompassValue();
    pCompassHandle = adapter.GetAntCompassHandle();
    pConverterHandle = adapter.GetAntConverterHandle();
    pConverterTypeName = adapter.GetAntConverterTypeName();
}

void AntennaNodeMembers::ReadIdentity(AntennaData& antenna) const
{
    Take(pName, antenna.m_strName);
    Take(pHandle, antenna.m_nHandle);
    Take(pMinFreq, antenna.m_fMinFreq);
    Take(pMaxFreq, antenna.m_fMaxFreq);
}

void AntennaNodeMembers::ReadSettings(AntennaData& antenna, const KVTCharacteristicsTools& tools) const
{
    Take(pEnabled, antenna.m_bEnabled);
    Take(pMinRange, antenna.m_fMinRange);
    Take(pMaxRange, antenna.m_fMaxRange);
    Take(pCompassEnabled, antenna.m_bCompassEnabled);
    TakeFloat(pMechOffset, antenna.m_fMechOffset);
    Take(pCompassSupport, antenna.m_bCompassSupport);
    if (pDfAlgorithm != nullptr)
    {
        antenna.m_lstDfMethodNames.clear();
        antenna.m_lstDfMethods.clear();
        for (int i = 0; i < pDfAlgorithm->GetItemCount(); ++i)
        {
            const QString strName = pDfAlgorithm->GetItem(i)->GetName();
            antenna.m_lstDfMethodNames.append(strName);
            antenna.m_lstDfMethods.append(static_cast<quint32>(tools.TranslateDfMethod(strName)));
        }
    }
    Take(pPolarizationSupport, antenna.m_bPolarizationSupport);
    if (pPolarizationMode != nullptr)
        antenna.m_ePolarizationMode = static_cast<EKVTPolarisation>(static_cast<quint32>(pPolarizationMode->GetValue()));
    Take(pActivePassiveSupport, antenna.m_bActivePassiveSupport);
    TakeFloat(pCompassValue, antenna.m_fCompassValue);
    Take(pCompassHandle, antenna.m_nCompassHandle);
    Take(pConverterHandle, antenna.m_nConverterHandle);
    Take(pConverterTypeName, antenna.m_strConverterTypeName);
}
