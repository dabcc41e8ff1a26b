#include "devicecontrol/directionfinder/kvtcommon/cfgaccess.h"

#include "base/cfgcenter.h"

#include <cmath>
#include <limits>

namespace NxKVTCommon
{

namespace
{

bool Get(ICfg& section, const QString& key, bool bDefault)
{
    return section.GetBool(key, bDefault, 0);
}

int Get(ICfg& section, const QString& key, int nDefault)
{
    return section.GetInt(key, nDefault, 0);
}

QString Get(ICfg& section, const QString& key, const QString& strDefault)
{
    return section.GetString(key, strDefault, 0);
}

void Set(ICfg& section, const QString& key, bool bValue)
{
    section.SetBool(key, bValue, 0);
}

void Set(ICfg& section, const QString& key, int nValue)
{
    section.SetInt(key, nValue, 0);
}

void Set(ICfg& section, const QString& key, const QString& strValue)
{
    section.SetString(key, strValue, 0);
}

template <class T>
T ReadOrCreate(ICfg& section, const QString& key, const T& tDefault, const T& tProbeA, const T& tProbeB,
               CfgAccess::CreatedKey eCreated)
{
    if (Get(section, key, tProbeA) != Get(section, key, tProbeB))
    {
        Set(section, key, tDefault);
        if (eCreated == CfgAccess::CreatedKey::MakeEditable)
            section.SetReadOnly(key, false, 0);
    }
    return Get(section, key, tDefault);
}

} // namespace

CfgAccess::NamedSection CfgAccess::OpenNamedSection(const QString& configName, ICfg::View view,
                                                    const QString& section)
{
    NamedSection result;
    result.pCfg.reset(CfgCenter::CreateCfg(configName, view, QString()));
    if (result.pCfg)
        result.pSection.reset(result.pCfg->GetSubCfg(section, view));
    return result;
}

int CfgAccess::ReadIntOrCreate(ICfg& section, const QString& key, int nDefault, CreatedKey eCreated)
{
    return ReadOrCreate(section, key, nDefault, 0, 1, eCreated);
}

bool CfgAccess::ReadBoolOrCreate(ICfg& section, const QString& key, bool bDefault, CreatedKey eCreated)
{
    return ReadOrCreate(section, key, bDefault, true, false, eCreated);
}

QString CfgAccess::ReadStringOrCreate(ICfg& section, const QString& key, const QString& strDefault,
                                      CreatedKey eCreated)
{
    return ReadOrCreate(section, key, strDefault, QStringLiteral("B"), QStringLiteral("A"), eCreated);
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
