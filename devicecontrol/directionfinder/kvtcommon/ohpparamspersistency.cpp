#include "devicecontrol/directionfinder/kvtcommon/ohpparamspersistency.h"

#include "base/cfgcenter.h"
#include "devicecontrol/directionfinder/kvtcommon/cfgaccess.h"
#include "devicecontrol/directionfinder/kvtcommon/overheadpassparams.h"

#include <memory>

namespace NxKVTCommon
{

namespace
{

const QString SECTION = QStringLiteral("OverheadPass");
const QString KEY_THRESHOLD = QStringLiteral("Threshold");
const QString KEY_VALID = QStringLiteral("Valid");

std::unique_ptr<ICfg> OpenSection()
{
    return std::unique_ptr<ICfg>(CfgCenter::GetAppCfg(ICfg::User).GetSubCfg(SECTION, ICfg::User));
}

} // namespace

OHPParamsPersistency::OHPParamsPersistency(OverheadPassParams& params)
    : m_params(params)
{
}

void OHPParamsPersistency::MakePersistent()
{
    const std::unique_ptr<ICfg> pSection = OpenSection();
    if (!pSection)
        return;
    pSection->SetInt(KEY_THRESHOLD, m_params.GetThreshold(), 0);
    pSection->SetBool(KEY_VALID, m_params.IsValid(), 0);
}

void OHPParamsPersistency::Restore()
{
    const std::unique_ptr<ICfg> pSection = OpenSection();
    if (!pSection)
        return;
    m_params.SetThreshold(CfgAccess::ReadIntOrCreate(*pSection, KEY_THRESHOLD, OverheadPassParams::DEFAULT_THRESHOLD),
                          nullptr);
    m_params.SetValid(CfgAccess::ReadBoolOrCreate(*pSection, KEY_VALID, false), nullptr);
}

} // namespace NxKVTCommon
