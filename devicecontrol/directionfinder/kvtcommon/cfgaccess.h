#pragma once

#include "base/icfg.h"

#include <QString>

#include <memory>

namespace NxKVTCommon
{

/// Configuration-store helpers shared by the persistence classes. Library-internal.
class CfgAccess
{
public:
    /// One section of a named configuration, with the configuration object that holds it; the
    /// section is released first. Either pointer may be null.
    struct NamedSection
    {
        std::unique_ptr<ICfg> pCfg;
        std::unique_ptr<ICfg> pSection;
    };

    /// CfgCenter::CreateCfg(configName, view) and its sub-section; no section without a configuration.
    static NamedSection OpenNamedSection(const QString& configName, ICfg::View view, const QString& section);

    /// The integer key, read with nDefault. A key that is absent (two reads with the defaults 0
    /// and 1 differ, which also holds for text that is no number) is first written with nDefault.
    static int ReadIntOrCreate(ICfg& section, const QString& key, int nDefault);
    /// The same for a boolean key, detected with the defaults true and false.
    static bool ReadBoolOrCreate(ICfg& section, const QString& key, bool bDefault);

    /// fValue truncated toward zero into rnResult; false, and rnResult unchanged, for a NaN or a
    /// value whose truncation lies outside the range of int.
    static bool TruncateToInt(double fValue, int& rnResult);
};

} // namespace NxKVTCommon
