#include "station/cfgoverride.h"

#include "base/icfg.h"

CfgOverride::CfgOverride(ICfg& rCfg, const std::vector<std::pair<QString, QString>>& values)
    : m_rCfg(rCfg)
{
    for (const auto& value : values) {
        const bool bPresent = rCfg.Contains(value.first);
        m_lstEarlier.push_back({value.first, bPresent, bPresent ? rCfg.GetString(value.first, QString(), 0) : QString()});
        rCfg.SetString(value.first, value.second, 0);
    }
}

CfgOverride::~CfgOverride()
{
    // Backwards, so that a key given twice ends as it was before the first.
    for (auto it = m_lstEarlier.rbegin(); it != m_lstEarlier.rend(); ++it) {
        if (it->bPresent)
            m_rCfg.SetString(it->strKey, it->strValue, 0);
        else
            m_rCfg.RemoveKey(it->strKey);
    }
}
