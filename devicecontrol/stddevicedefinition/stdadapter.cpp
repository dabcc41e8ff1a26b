#include "devicecontrol/stddevicedefinition/stdadapter.h"

#include "base/errorhandler.h"
#include "base/trace.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "valueframework/valueclasses/node.h"

namespace StdDeviceDefinition
{

StdAdapter::StdAdapter(values::Node* pNode)
    : values::Adapter(pNode)
{
    if (ErrorHandler::Instance().AssertsEnabled() &&
        (pNode == nullptr || pNode->GetValueDescriptor() != &g_vdNodeAnt))
        _Q_assert(L"pNode->GetValueDescriptor () == &g_vdNodeAnt", KVT_WIDE(__FILE__), __LINE__);
}

template <class T>
T* StdAdapter::GetMember(const values::ValueDescriptor& descriptor, const char* memberName) const
{
    T* pValue = GetChild<T>(descriptor);
    if (pValue == nullptr && ErrorHandler::Instance().TracesEnabled())
        _Q_Trace(QStringLiteral("_GETVALUE %1 failed - ignored").arg(QLatin1String(memberName)), __FILE__, __LINE__);
    return pValue;
}

// The member name of each accessor is its descriptor's name, as traces show it.
#define KVT_ANT_MEMBER(Type, Member)                     \
    Type* StdAdapter::Get##Member() const                \
    {                                                    \
        return GetMember<Type>(g_vd##Member, #Member);   \
    }

KVT_ANT_MEMBER(values::Value<bool>, AntChanged)
KVT_ANT_MEMBER(values::Value<QString>, AntName)
KVT_ANT_MEMBER(values::Value<int>, AntHandle)
KVT_ANT_MEMBER(values::Value<bool>, AntEnabled)
KVT_ANT_MEMBER(values::ValueNumeric<double>, AntMinRange)
KVT_ANT_MEMBER(values::ValueNumeric<double>, AntMaxRange)
KVT_ANT_MEMBER(values::Value<bool>, AntCompassEnabled)
KVT_ANT_MEMBER(values::ValueNumeric<double>, AntMechOffset)
KVT_ANT_MEMBER(values::Value<bool>, AntCompassSupport)
KVT_ANT_MEMBER(values::ValueSelection, AntDfAlgorithm)
KVT_ANT_MEMBER(values::ValueNumeric<double>, AntMinFreq)
KVT_ANT_MEMBER(values::ValueNumeric<double>, AntMaxFreq)
KVT_ANT_MEMBER(values::Value<int>, AntPolarizationSupport)
KVT_ANT_MEMBER(values::Value<int>, AntPolarizationMode)
KVT_ANT_MEMBER(values::Value<bool>, AntActivePassiveSupport)
KVT_ANT_MEMBER(values::ValueNumeric<double>, AntCompassValue)
KVT_ANT_MEMBER(values::Value<int>, AntCompassHandle)
KVT_ANT_MEMBER(values::Value<int>, AntConverterHandle)
KVT_ANT_MEMBER(values::Value<QString>, AntConverterTypeName)

#undef KVT_ANT_MEMBER

}
