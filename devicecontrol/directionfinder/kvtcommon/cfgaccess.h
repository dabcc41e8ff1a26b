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

    /// What happens to the read-only flag of a key the readers below have just written. It only
    /// matters for a key that holds unreadable text, since a key the store lacks is created editable.
    enum class CreatedKey
    {
        KeepReadOnlyFlag,
        MakeEditable,
    };

    /// The integer key, read with nDefault. A key that is absent (two reads with the defaults 0
    /// and 1 differ, which also holds for text that is no number) is first written with nDefault.
    static int ReadIntOrCreate(ICfg& section, const QString& key, int nDefault,
                               CreatedKey eCreated = CreatedKey::KeepReadOnlyFlag);
    /// The same for a boolean key, detected with the defaults true and false.
    static bool ReadBoolOrCreate(ICfg& section, const QString& key, bool bDefault,
                                 CreatedKey eCreated = CreatedKey::KeepReadOnlyFlag);
    /// The same for a text key, detected with the defaults "B" and "A".
    static QString ReadStringOrCreate(ICfg& section, const QString& key, const QString& strDefault,
                                      CreatedKey eCreated = CreatedKey::KeepReadOnlyFlag);

    /// fValue truncated toward zero into rnResult; false, and rnResult unchanged, for a NaN or a
    /// value whose truncation lies outside the range of int.
    static bool TruncateToInt(double fValue, int& rnResult);
};

} // namespace NxKVTCommon
