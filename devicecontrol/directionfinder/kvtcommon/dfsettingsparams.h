#pragma once

#include "kvtcommon_export.h"

#include <QtGlobal>

namespace NxKVTCommon
{

/// Four DF measurement settings a driver keeps across restarts (see DFSettingsParamsPersistency).
/// The three keys are selection keys of the device's selection lists and are stored unchanged; the
/// getters hand them out as signed numbers, as the configuration store keeps them. A plain,
/// copyable value.
class KVTCOMMON_EXPORT DFSettingsParams
{
public:
    static constexpr quint32 DEFAULT_DF_BANDWIDTH_KEY = 7;
    static constexpr quint32 DEFAULT_DF_MODE_KEY = 0;
    static constexpr quint32 DEFAULT_UPDATE_INTERVAL_KEY = 4;

    DFSettingsParams();

    qint32 GetDFBandwidthKey() const;
    void SetDFBandwidthKey(quint32 nKey);
    qint32 GetDFModeKey() const;
    void SetDFModeKey(quint32 nKey);
    qint32 GetUpdateIntervalKey() const;
    void SetUpdateIntervalKey(quint32 nKey);
    double GetLevelThreshold() const;
    void SetLevelThreshold(double fThreshold);

private:
    quint32 m_nDFBandwidthKey;
    quint32 m_nDFModeKey;
    quint32 m_nUpdateIntervalKey;
    double m_fLevelThreshold;
};

} // namespace NxKVTCommon
