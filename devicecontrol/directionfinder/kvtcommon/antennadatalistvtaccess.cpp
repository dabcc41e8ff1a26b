#include "devicecontrol/directionfinder/kvtcommon/antennadatalistvtaccess.h"

#include "base/arexception.h"
#include "base/errorhandler.h"
#include "base/trace.h"
#include "devicecontrol/directionfinder/kvtcommon/antennadata.h"
#include "devicecontrol/directionfinder/kvtcommon/antennadatalist.h"
#include "devicecontrol/directionfinder/kvtcommon/antennadatalistcfgaccess.h"
#include "devicecontrol/stddevicedefinition/stdadapter.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "devicecontrol/stddevicedefinition/stddevicetree.h"
#include "valueframework/valueclasses/node.h"
#include "valueframework/valueclasses/tree.h"

#include <QLocale>

#include <memory>
#include <typeinfo>
#include <vector>

using StdDeviceDefinition::StdAdapter;

namespace
{

// Calls visit for every antenna node of the configuration node, in tree order;
// visit may remove the node it is given.
template <class F>
void ForEachAntennaNode(values::Node* pCfg, F visit)
{
    for (values::ValueBase* pItem : pCfg->GetTreeItems())
    {
        if (pItem->GetValueDescriptor() != &StdDeviceDefinition::g_vdNodeAnt)
            continue;
        // Antenna nodes are plain nodes, which typeid tells far cheaper than a dynamic_cast.
        if (typeid(*pItem) == typeid(values::Node))
            visit(static_cast<values::Node*>(pItem));
        else if (auto* pNode = dynamic_cast<values::Node*>(pItem))
            visit(pNode);
    }
}

// Copies a member's value when the node has the member; otherwise the record keeps its own.
template <class V, class M>
void Take(const V* pValue, M& rMember)
{
    if (pValue != nullptr)
        rMember = static_cast<M>(pValue->GetValue());
}

template <class V>
void TakeFloat(const V* pValue, float& rMember)
{
    if (pValue != nullptr)
        rMember = AntennaDataListCfgAccess::ToFloat(pValue->GetValue());
}

template <class V, class T>
void Put(V* pValue, const T& value)
{
    if (pValue != nullptr)
        pValue->SetValue(value, nullptr);
}

// The members that identify a node against a record.
void ReadIdentity(const StdAdapter& adapter, AntennaData& antenna)
{
    Take(adapter.GetAntName(), antenna.m_strName);
    Take(adapter.GetAntHandle(), antenna.m_nHandle);
    Take(adapter.GetAntMinFreq(), antenna.m_fMinFreq);
    Take(adapter.GetAntMaxFreq(), antenna.m_fMaxFreq);
}

QString Shortest(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

// Puts the descriptor base path back when the operation ends, also by an exception.
class BasePathKeeper
{
public:
    BasePathKeeper()
        : m_strBasePath(values::ValueDescriptor::GetBasePath())
    {
    }
    ~BasePathKeeper() { values::ValueDescriptor::SetBasePath(m_strBasePath); }
    BasePathKeeper(const BasePathKeeper&) = delete;
    BasePathKeeper& operator=(const BasePathKeeper&) = delete;

private:
    QString m_strBasePath;
};

} // namespace

int AntennaDataListVtAccess::ReadAntennasFromValueTree(AntennaDataList& list, const QString& path) const
{
    std::vector<values::Node*> aNodes;
    aNodes.reserve(static_cast<size_t>(list.GetAntennaCount()));
    try
    {
        ForEachAntennaNode(LocateCfgNode(path), [&aNodes](values::Node* pNode) { aNodes.push_back(pNode); });
    }
    catch (...)
    {
        list.Clear();
        throw;
    }
    // A refresh mostly finds as many nodes as there are records: those are
    // refilled from their defaults in place rather than deleted and made anew.
    const int nRead = static_cast<int>(aNodes.size());
    const bool bRefill = nRead == list.GetAntennaCount();
    if (!bRefill)
        list.Clear();
    for (int i = 0; i < nRead; ++i)
    {
        const StdAdapter adapter(aNodes[static_cast<size_t>(i)]);
        if (bRefill)
        {
            AntennaData& rAntenna = *list.GetAntennaByIndex(i);
            static const AntennaData s_defaults;
            rAntenna = s_defaults;
            ReadIdentity(adapter, rAntenna);
            ReadSettings(adapter, rAntenna);
        }
        else
        {
            auto pAntenna = std::make_unique<AntennaData>();
            ReadIdentity(adapter, *pAntenna);
            ReadSettings(adapter, *pAntenna);
            list.AddAntenna(pAntenna.release());
        }
    }
    return nRead;
}

int AntennaDataListVtAccess::UpdateAntennasFromValueTree(AntennaDataList& list, const QString& path) const
{
    int nUpdated = 0;
    int k = 0;
    ForEachAntennaNode(LocateCfgNode(path), [&](values::Node* pNode) {
        const StdAdapter adapter(pNode);
        AntennaData identity;
        ReadIdentity(adapter, identity);
        AntennaData* pAntenna = list.GetAntennaByIndex(k++);
        if (pAntenna != nullptr && pAntenna->m_strName == identity.m_strName &&
            pAntenna->m_fMinFreq == identity.m_fMinFreq && pAntenna->m_fMaxFreq == identity.m_fMaxFreq)
        {
            ReadSettings(adapter, *pAntenna);
            ++nUpdated;
        }
        else if (ErrorHandler::Instance().TracesEnabled())
        {
            _Q_Trace(QStringLiteral("WARNING: antenna %1 %2 - %3 (handle=%4) in value tree does not match AntennaDataList")
                         .arg(identity.m_strName, Shortest(identity.m_fMinFreq), Shortest(identity.m_fMaxFreq),
                              QString::number(identity.m_nHandle)),
                     __FILE__, __LINE__);
        }
    });
    return nUpdated;
}

void AntennaDataListVtAccess::WriteAntennasToValueTree(const AntennaDataList& list, const QString& path) const
{
    DeleteAllAntennasFromValueTree(path);
    const BasePathKeeper keeper;
    for (int i = 0; i < list.GetAntennaCount(); ++i)
    {
        // The builder leaves the base path naming the node it inserted.
        StdDeviceDefinition::StdDeviceTree::Ant::InsertChild(LocateCfgNode(path));
        values::Node* pAnt = values::Tree::Instance()->FindNode(values::ValueDescriptor::GetBasePath());
        if (pAnt == nullptr)
        {
            if (ErrorHandler::Instance().AssertsEnabled())
                _Q_assert(L"pAnt", KVT_WIDE(__FILE__), __LINE__);
            continue;
        }
        WriteNode(StdAdapter(pAnt), *list.GetAntennaByIndex(i));
    }
}

void AntennaDataListVtAccess::DeleteAllAntennasFromValueTree(const QString& path) const
{
    values::Node* pCfg = LocateCfgNode(path);
    ForEachAntennaNode(pCfg, [pCfg](values::Node* pNode) { pCfg->RemoveChild(pNode); });
}

values::Node* AntennaDataListVtAccess::LocateCfgNode(const QString& path)
{
    const values::ValueDescriptor& descriptor = StdDeviceDefinition::g_vdNodeCfg;
    values::ValueDescriptor::SetBasePath(path);
    // Every refresh passes here; the node is only created the first time.
    const QString strCfgPath = path + descriptor.PathName();
    values::Node* pNode = values::Tree::Instance()->FindNode(strCfgPath);
    if (pNode == nullptr)
    {
        descriptor.Create(nullptr);
        pNode = values::Tree::Instance()->FindNode(strCfgPath);
    }
    if (pNode == nullptr)
        throw ARException(QStringLiteral("Could not create node according to value descriptor %1.").arg(descriptor.PathName()),
                          __FILE__, QString(), "CreateNode", __LINE__, 0);
    return pNode;
}

void AntennaDataListVtAccess::ReadSettings(const StdAdapter& adapter, AntennaData& antenna) const
{
    Take(adapter.GetAntEnabled(), antenna.m_bEnabled);
    Take(adapter.GetAntMinRange(), antenna.m_fMinRange);
    Take(adapter.GetAntMaxRange(), antenna.m_fMaxRange);
    Take(adapter.GetAntCompassEnabled(), antenna.m_bCompassEnabled);
    TakeFloat(adapter.GetAntMechOffset(), antenna.m_fMechOffset);
    Take(adapter.GetAntCompassSupport(), antenna.m_bCompassSupport);
    if (const values::ValueSelection* pMethods = adapter.GetAntDfAlgorithm())
    {
        antenna.m_lstDfMethodNames.clear();
        antenna.m_lstDfMethods.clear();
        for (int i = 0; i < pMethods->GetItemCount(); ++i)
        {
            const QString strName = pMethods->GetItem(i)->GetName();
            antenna.m_lstDfMethodNames.append(strName);
            antenna.m_lstDfMethods.append(static_cast<quint32>(m_characteristicsTools.TranslateDfMethod(strName)));
        }
    }
    Take(adapter.GetAntPolarizationSupport(), antenna.m_bPolarizationSupport);
    if (const values::Value<int>* pMode = adapter.GetAntPolarizationMode())
        antenna.m_ePolarizationMode = static_cast<EKVTPolarisation>(static_cast<quint32>(pMode->GetValue()));
    Take(adapter.GetAntActivePassiveSupport(), antenna.m_bActivePassiveSupport);
    TakeFloat(adapter.GetAntCompassValue(), antenna.m_fCompassValue);
    Take(adapter.GetAntCompassHandle(), antenna.m_nCompassHandle);
    Take(adapter.GetAntConverterHandle(), antenna.m_nConverterHandle);
    Take(adapter.GetAntConverterTypeName(), antenna.m_strConverterTypeName);
}

void AntennaDataListVtAccess::WriteNode(const StdAdapter& adapter, const AntennaData& antenna) const
{
    Put(adapter.GetAntChanged(), false);
    Put(adapter.GetAntName(), antenna.m_strName);
    Put(adapter.GetAntHandle(), antenna.m_nHandle);
    Put(adapter.GetAntEnabled(), antenna.m_bEnabled);
    Put(adapter.GetAntMinRange(), antenna.m_fMinRange);
    Put(adapter.GetAntMaxRange(), antenna.m_fMaxRange);
    Put(adapter.GetAntCompassEnabled(), antenna.m_bCompassEnabled);
    Put(adapter.GetAntMechOffset(), static_cast<double>(antenna.m_fMechOffset));
    Put(adapter.GetAntCompassSupport(), antenna.m_bCompassSupport);
    if (values::ValueSelection* pMethods = adapter.GetAntDfAlgorithm())
    {
        int nKey = 0;
        for (quint32 nMethod : antenna.m_lstDfMethods)
            pMethods->AddItem(m_characteristicsTools.TranslateDfMethod(static_cast<unsigned long>(nMethod)), 0.0, nKey++, nullptr);
    }
    Put(adapter.GetAntMinFreq(), antenna.m_fMinFreq);
    Put(adapter.GetAntMaxFreq(), antenna.m_fMaxFreq);
    Put(adapter.GetAntPolarizationSupport(), antenna.m_bPolarizationSupport ? 1 : 0);
    Put(adapter.GetAntPolarizationMode(), static_cast<int>(antenna.m_ePolarizationMode));
    Put(adapter.GetAntActivePassiveSupport(), antenna.m_bActivePassiveSupport);
    Put(adapter.GetAntCompassValue(), static_cast<double>(antenna.m_fCompassValue));
    Put(adapter.GetAntCompassHandle(), antenna.m_nCompassHandle);
    Put(adapter.GetAntConverterHandle(), antenna.m_nConverterHandle);
    Put(adapter.GetAntConverterTypeName(), antenna.m_strConverterTypeName);
}
