#include "devicecontrol/directionfinder/kvtcommon/cfgaccess.h"

#include "base/cfgcenter.h"

#include <cmath>
#include <limits>

namespace NxKVTCommon
{

CfgAccess::NamedSection CfgAccess::OpenNamedSection(const QString& configName, ICfg::View view,
                                                    const QString& section)
{
    NamedSection result;
    result.pCfg.reset(CfgCenter::CreateCfg(configName, view, QString()));
    if (result.pCfg)
        result.pSection.reset(result.pCfg->GetSubCfg(section, view));
    return result;
}

int CfgAccess::ReadIntOrCreate(ICfg& section, const QString& key, int nDefault)
{
    if (section.GetInt(key, 0, 0) != section.GetInt(key, 1, 0))
        section.SetInt(key, nDefault, 0);
    return section.GetInt(key, nDefault, 0);
}

bool CfgAccess::ReadBoolOrCreate(ICfg& section, const QString& key, bool bDefault)
{
    if (section.GetBool(key, true, 0) != section.GetBool(key, false, 0))
        section.SetBool(key, bDefault, 0);
    return section.GetBool(key, bDefault, 0);
}

bool CfgAccess::TruncateToInt(double fValue, int& rnResult)
{
    // Compared after truncation, so that -2147483648.9 still fits; a NaN fails both comparisons.
    const double fTruncated = std::trunc(fValue);
    if (!(fTruncated >= std::numeric_limits<int>::min() && fTruncated <= std::numeric_limits<int>::max()))
        return false;
    rnResult = static_cast<int>(fTruncated);
    return true;
}

} // namespace NxKVTCommon
