#pragma once

#include "base/icfg.h"
#include "kvtcommon_export.h"

#include <QString>

namespace NxKVTCommon
{

class DFSettingsParams;

/// Loads and saves DF settings in the section "DFSettings" of a named configuration (created
/// with CfgCenter::CreateCfg for each operation and released after it): "DFBandwidthKey" (default
/// 7), "DFModeKey" (0), "UpdateIntervalKey" (4) and "LevelThreshold" (0), all integers.
///
/// The level threshold is stored truncated toward zero (-3.7 is kept as -3). A threshold that does
/// not fit an int after truncation, or NaN, cannot be stored faithfully: it is refused, the stored
/// key keeps its previous number and, while traces are enabled, a "WARNING: " trace says so.
///
/// Borrows the parameters, which must outlive it; copies refer to the same parameters.
/// Single-threaded, like the configuration store.
class KVTCOMMON_EXPORT DFSettingsParamsPersistency
{
public:
    DFSettingsParamsPersistency(DFSettingsParams& params, const QString& configName, ICfg::View view);

    /// Writes the four keys; without a configuration or section nothing happens.
    void MakePersistent();
    /// Reads the four keys into the parameters; a missing key is first written with its default.
    /// Without a configuration or section nothing happens.
    void Restore();

private:
    DFSettingsParams& m_params;
    QString m_strConfigName;
    ICfg::View m_eView;
};

} // namespace NxKVTCommon
