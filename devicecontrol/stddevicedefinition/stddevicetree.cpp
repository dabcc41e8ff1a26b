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
    QString strName;
    for (int n = 0; strName.isEmpty() || !pParent->CanInsertChild(strName); ++n)
        strName = g_vdNodeAnt.GetName() + QString::number(n);

    auto pAnt = std::make_unique<values::Node>(strName);
    pAnt->SetValueDescriptor(&g_vdNodeAnt);
    for (const values::ValueDescriptor* pDescriptor : GetAntennaDescriptors())
        pAnt->InsertChild(pDescriptor->CreateDetached());
    auto* pInserted = static_cast<values::Node*>(pParent->InsertChild(std::move(pAnt)));
    values::ValueDescriptor::SetBasePath(pInserted->GetPath());
    return pInserted;
}

}
