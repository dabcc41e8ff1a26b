#pragma once

#include "kvtstationlib_export.h"

#include <QString>

#include <utility>
#include <vector>

class ICfg;

/// Gives keys of a configuration other values for as long as it lives, then
/// puts back what was there (removing the keys that were absent), so that
/// what a program sets for one run never becomes the user's setting. For
/// settings that a component reads once, when it is made (the ZOD client's
/// name and server). Single-threaded; the configuration must outlive it.
class KVTSTATION_EXPORT CfgOverride
{
public:
    /// (key, value) pairs, set in this order.
    CfgOverride(ICfg& rCfg, const std::vector<std::pair<QString, QString>>& values);
    ~CfgOverride();

    CfgOverride(const CfgOverride&) = delete;
    CfgOverride& operator=(const CfgOverride&) = delete;

private:
    struct Earlier
    {
        QString strKey;
        bool bPresent;
        QString strValue;
    };

    ICfg& m_rCfg;
    std::vector<Earlier> m_lstEarlier;
};
