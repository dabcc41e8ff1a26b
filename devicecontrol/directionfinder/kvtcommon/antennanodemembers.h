#pragma once

#include "kvtcommon_export.h"

#include "valueframework/valueclasses/value.h"
#include "valueframework/valueclasses/valuenumeric.h"
#include "valueframework/valueclasses/valueselection.h"

class AntennaData;
class KVTCharacteristicsTools;

namespace StdDeviceDefinition
{
class StdAdapter;
}

/// The members of one antenna node that a record is read from, found through
/// the node's adapter (each null when the node lacks it or holds another
/// class there). Borrowed pointers: they stay right while the tree's
/// structure count (values::Tree::GetStructureCount) does not move.
///
/// The members are found in two groups, identity first, in the order they
/// are read, so that the adapter's traces of missing members come out as
/// they did when each member was looked up right before its read.
struct KVTCOMMON_EXPORT AntennaNodeMembers
{
    /// Name, handle and nominal span: what ties a node to its record.
    void FindIdentity(const StdDeviceDefinition::StdAdapter& adapter);
    /// Everything else a record is read from.
    void FindSettings(const StdDeviceDefinition::StdAdapter& adapter);

    /// Copies the identity members into the record; a missing member leaves
    /// the record's own value.
    void ReadIdentity(AntennaData& antenna) const;
    /// The same for the settings; the DF method names are translated with `tools`.
    void ReadSettings(AntennaData& antenna, const KVTCharacteristicsTools& tools) const;

    values::Value<QString>* pName = nullptr;
    values::Value<int>* pHandle = nullptr;
    values::ValueNumeric<double>* pMinFreq = nullptr;
    values::ValueNumeric<double>* pMaxFreq = nullptr;

    values::Value<bool>* pEnabled = nullptr;
    values::ValueNumeric<double>* pMinRange = nullptr;
    values::ValueNumeric<double>* pMaxRange = nullptr;
    values::Value<bool>* pCompassEnabled = nullptr;
    values::ValueNumeric<double>* pMechOffset = nullptr;
    values::Value<bool>* pCompassSupport = nullptr;
    values::ValueSelection* pDfAlgorithm = nullptr;
    values::Value<int>* pPolarizationSupport = nullptr;
    values::Value<int>* pPolarizationMode = nullptr;
    values::Value<bool>* pActivePassiveSupport = nullptr;
    values::ValueNumeric<double>* pCompassValue = nullptr;
    values::Value<int>* pCompassHandle = nullptr;
    values::Value<int>* pConverterHandle = nullptr;
    values::Value<QString>* pConverterTypeName = nullptr;
};
