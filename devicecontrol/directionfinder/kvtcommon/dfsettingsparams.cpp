#include "devicecontrol/directionfinder/kvtcommon/dfsettingsparams.h"

namespace NxKVTCommon
{

DFSettingsParams::DFSettingsParams()
    : m_nDFBandwidthKey(DEFAULT_DF_BANDWIDTH_KEY)
    , m_nDFModeKey(DEFAULT_DF_MODE_KEY)
    , m_nUpdateIntervalKey(DEFAULT_UPDATE_INTERVAL_KEY)
    , m_fLevelThreshold(0.0)
{
}

qint32 DFSettingsParams::GetDFBandwidthKey() const
{
    return static_cast<qint32>(m_nDFBandwidthKey);
}

void DFSettingsParams::SetDFBandwidthKey(quint32 nKey)
{
    m_nDFBandwidthKey = nKey;
}

qint32 DFSettingsParams::GetDFModeKey() const
{
    return static_cast<qint32>(m_nDFModeKey);
}

void DFSettingsParams::SetDFModeKey(quint32 nKey)
{
    m_nDFModeKey = nKey;
}

qint32 DFSettingsParams::GetUpdateIntervalKey() const
{
    return static_cast<qint32>(m_nUpdateIntervalKey);
}

void DFSettingsParams::SetUpdateIntervalKey(quint32 nKey)
{
    m_nUpdateIntervalKey = nKey;
}

double DFSettingsParams::GetLevelThreshold() const
{
    return m_fLevelThreshold;
}

void DFSettingsParams::SetLevelThreshold(double fThreshold)
{
    m_fLevelThreshold = fThreshold;
}

} // namespace NxKVTCommon
