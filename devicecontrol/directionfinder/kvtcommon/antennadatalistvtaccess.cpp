#include "devicecontrol/directionfinder/kvtcommon/antennadatalistvtaccess.h"

#include "base/arexception.h"
#include "base/errorhandler.h"
#include "base/trace.h"
#include "devicecontrol/directionfinder/kvtcommon/antennadata.h"
#include "devicecontrol/directionfinder/kvtcommon/antennadatalist.h"
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

template <class V, class T>
void Put(V* pValue, const T& value)
{
    if (pValue != nullptr)
        pValue->SetValue(value, nullptr);
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
    const std::vector<AntennaNodeMembers>* pNodes = nullptr;
    try
    {
        pNodes = &FindAntennaNodes(path);
    }
    catch (...)
    {
        list.Clear();
        throw;
    }
    // A refresh mostly finds as many nodes as there are records: those are
    // refilled from their defaults in place rather than deleted and made anew.
    const int nRead = static_cast<int>(pNodes->size());
    const bool bRefill = nRead == list.GetAntennaCount();
    if (!bRefill)
        list.Clear();
    for (int i = 0; i < nRead; ++i)
    {
        const AntennaNodeMembers& members = (*pNodes)[static_cast<size_t>(i)];
        if (bRefill)
        {
            AntennaData& rAntenna = *list.GetAntennaByIndex(i);
            static const AntennaData s_defaults;
            rAntenna = s_defaults;
            members.ReadIdentity(rAntenna);
            members.ReadSettings(rAntenna, m_characteristicsTools);
        }
        else
        {
            auto pAntenna = std::make_unique<AntennaData>();
            members.ReadIdentity(*pAntenna);
            members.ReadSettings(*pAntenna, m_characteristicsTools);
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
        AntennaNodeMembers members;
        members.FindIdentity(adapter);
        AntennaData identity;
        members.ReadIdentity(identity);
        AntennaData* pAntenna = list.GetAntennaByIndex(k++);
        if (pAntenna != nullptr && pAntenna->m_strName == identity.m_strName &&
            pAntenna->m_fMinFreq == identity.m_fMinFreq && pAntenna->m_fMaxFreq == identity.m_fMaxFreq)
        {
            members.FindSettings(adapter);
            members.ReadSettings(*pAntenna, m_characteristicsTools);
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

const std::vector<AntennaNodeMembers>& AntennaDataListVtAccess::FindAntennaNodes(const QString& path) const
{
    const bool bTraces = ErrorHandler::Instance().TracesEnabled();
    if (m_bNodesKept && !bTraces && m_nNodesStructure == values::Tree::GetStructureCount() && m_strNodesPath == path)
    {
        // What LocateCfgNode does besides finding the node, which is still there.
        values::ValueDescriptor::SetBasePath(path);
        return m_lstNodes;
    }
    m_bNodesKept = false;
    m_lstNodes.clear();
    ForEachAntennaNode(LocateCfgNode(path), [this](values::Node* pNode) {
        const StdAdapter adapter(pNode);
        AntennaNodeMembers members;
        members.FindIdentity(adapter);
        members.FindSettings(adapter);
        m_lstNodes.push_back(members);
    });
    // Taken after the lookups: LocateCfgNode may have created the configuration node.
    m_nNodesStructure = values::Tree::GetStructureCount();
    m_strNodesPath = path;
    m_bNodesKept = !bTraces;
    return m_lstNodes;
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
