#include "devicecontrol/stddevicedefinition/stddevicetree.h"

#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "valueframework/valueclasses/node.h"
#include "valueframework/valueclasses/tree.h"

namespace StdDeviceDefinition
{

values::Node* StdDeviceTree::Device(const QString& basePath)
{
    values::Node* pDevice = values::Tree::Instance()->GetOrCreateNode(basePath);
    if (pDevice == nullptr)
        return nullptr;
    values::ValueDescriptor::SetBasePath(basePath);
    for (const values::ValueDescriptor* pDescriptor : GetDeviceDescriptors())
        pDescriptor->Create();
    return pDevice;
}

values::Node* StdDeviceTree::Ant::InsertChild(values::Node* pParent)
{
    if (pParent == nullptr)
        return nullptr;
    // Nodes are mostly inserted in a row below one parent (the antenna list
    // writes all of them at once): the search then goes on after the name the
    // last call found free, which is right as long as nothing left the tree
    // in between (only a departure can free a name below it, and the parent's
    // own end is one). That keeps writing N antennas linear in N.
    static struct
    {
        const values::Node* pParent = nullptr;
        quint64 nDepartures = 0;
        int nNext = 0;
    } s_hint;
    const bool bInTree = pParent->GetTree() != nullptr;
    const bool bHintValid = bInTree && s_hint.pParent == pParent &&
                            s_hint.nDepartures == values::Tree::GetDepartureCount();
    int n = bHintValid ? s_hint.nNext : 0;
    while (!pParent->CanInsertChild(g_vdNodeAnt.GetName() + QString::number(n)))
        ++n;
    const QString strName = g_vdNodeAnt.GetName() + QString::number(n);

    auto pAnt = std::make_unique<values::Node>(strName);
    pAnt->SetValueDescriptor(&g_vdNodeAnt);
    for (const values::ValueDescriptor* pDescriptor : GetAntennaDescriptors())
        pAnt->InsertChild(pDescriptor->CreateDetached());
    auto* pInserted = static_cast<values::Node*>(pParent->InsertChild(std::move(pAnt)));
    values::ValueDescriptor::SetBasePath(pInserted->GetPath());
    if (bInTree)
        s_hint = {pParent, values::Tree::GetDepartureCount(), n + 1};
    return pInserted;
}

}
