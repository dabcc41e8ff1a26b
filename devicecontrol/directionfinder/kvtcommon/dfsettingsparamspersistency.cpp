#include "devicecontrol/directionfinder/kvtcommon/dfsettingsparamspersistency.h"

#include "base/errorhandler.h"
#include "base/trace.h"
#include "devicecontrol/directionfinder/kvtcommon/cfgaccess.h"
#include "devicecontrol/directionfinder/kvtcommon/dfsettingsparams.h"

namespace NxKVTCommon
{

namespace
{

const QString SECTION = QStringLiteral("DFSettings");
const QString KEY_DF_BANDWIDTH = QStringLiteral("DFBandwidthKey");
const QString KEY_DF_MODE = QStringLiteral("DFModeKey");
const QString KEY_UPDATE_INTERVAL = QStringLiteral("UpdateIntervalKey");
const QString KEY_LEVEL_THRESHOLD = QStringLiteral("LevelThreshold");

} // namespace

DFSettingsParamsPersistency::DFSettingsParamsPersistency(DFSettingsParams& params, const QString& configName,
                                                         ICfg::View view)
    : m_params(params)
    , m_strConfigName(configName)
    , m_eView(view)
{
}

void DFSettingsParamsPersistency::MakePersistent()
{
    const CfgAccess::NamedSection cfg = CfgAccess::OpenNamedSection(m_strConfigName, m_eView, SECTION);
    if (!cfg.pSection)
        return;
    cfg.pSection->SetInt(KEY_DF_BANDWIDTH, m_params.GetDFBandwidthKey(), 0);
    cfg.pSection->SetInt(KEY_DF_MODE, m_params.GetDFModeKey(), 0);
    cfg.pSection->SetInt(KEY_UPDATE_INTERVAL, m_params.GetUpdateIntervalKey(), 0);
    int nLevelThreshold = 0;
    if (CfgAccess::TruncateToInt(m_params.GetLevelThreshold(), nLevelThreshold))
        cfg.pSection->SetInt(KEY_LEVEL_THRESHOLD, nLevelThreshold, 0);
    else if (ErrorHandler::Instance().TracesEnabled())
        _Q_Trace(QStringLiteral("WARNING: DFSettingsParamsPersistency::MakePersistent(): level threshold %1 does not "
                                "fit the stored integer and is not stored.")
                     .arg(m_params.GetLevelThreshold()),
                 __FILE__, __LINE__);
}

void DFSettingsParamsPersistency::Restore()
{
    const CfgAccess::NamedSection cfg = CfgAccess::OpenNamedSection(m_strConfigName, m_eView, SECTION);
    if (!cfg.pSection)
        return;
    ICfg& section = *cfg.pSection;
    m_params.SetDFBandwidthKey(static_cast<quint32>(
        CfgAccess::ReadIntOrCreate(section, KEY_DF_BANDWIDTH, DFSettingsParams::DEFAULT_DF_BANDWIDTH_KEY)));
    m_params.SetDFModeKey(
        static_cast<quint32>(CfgAccess::ReadIntOrCreate(section, KEY_DF_MODE, DFSettingsParams::DEFAULT_DF_MODE_KEY)));
    m_params.SetUpdateIntervalKey(static_cast<quint32>(
        CfgAccess::ReadIntOrCreate(section, KEY_UPDATE_INTERVAL, DFSettingsParams::DEFAULT_UPDATE_INTERVAL_KEY)));
    m_params.SetLevelThreshold(CfgAccess::ReadIntOrCreate(section, KEY_LEVEL_THRESHOLD, 0));
}

} // namespace NxKVTCommon
