#pragma once

#include "kvthost_export.h"
#include "valueframework/valueclasses/adapter.h"
#include "valueframework/valueclasses/bearingresult.h"
#include "valueframework/valueclasses/value.h"
#include "valueframework/valueclasses/valuenumeric.h"
#include "valueframework/valueclasses/valueselection.h"

namespace StdDeviceDefinition
{

/// Typed access to the members of one antenna node (descriptor g_vdNodeAnt).
///
/// Building it on a node of another descriptor reports the assertion
/// "pNode->GetValueDescriptor () == &g_vdNodeAnt" while the assertion bit is
/// set; the accessors still work on whatever members the node has. Every
/// accessor yields null when its member is missing or of another class and
/// then, while the trace bit is set, traces "_GETVALUE <member> failed - ignored".
class KVTHOST_EXPORT StdAdapter : public values::Adapter
{
public:
    explicit StdAdapter(values::Node* pNode);

    values::Value<bool>* GetAntChanged() const;
    values::Value<QString>* GetAntName() const;
    values::Value<int>* GetAntHandle() const;
    values::Value<bool>* GetAntEnabled() const;
    values::ValueNumeric<double>* GetAntMinRange() const;
    values::ValueNumeric<double>* GetAntMaxRange() const;
    values::Value<bool>* GetAntCompassEnabled() const;
    values::ValueNumeric<double>* GetAntMechOffset() const;
    values::Value<bool>* GetAntCompassSupport() const;
    values::ValueSelection* GetAntDfAlgorithm() const;
    values::ValueNumeric<double>* GetAntMinFreq() const;
    values::ValueNumeric<double>* GetAntMaxFreq() const;
    values::Value<int>* GetAntPolarizationSupport() const;
    values::Value<int>* GetAntPolarizationMode() const;
    values::Value<bool>* GetAntActivePassiveSupport() const;
    values::ValueNumeric<double>* GetAntCompassValue() const;
    values::Value<int>* GetAntCompassHandle() const;
    values::Value<int>* GetAntConverterHandle() const;
    values::Value<QString>* GetAntConverterTypeName() const;

private:
    template <class T>
    T* GetMember(const values::ValueDescriptor& descriptor, const char* memberName) const;
};

}
