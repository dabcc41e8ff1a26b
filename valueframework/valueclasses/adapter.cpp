#include "valueframework/valueclasses/adapter.h"

#include "valueframework/valueclasses/node.h"

namespace values
{

Adapter::Adapter(Node* pNode)
    : m_pNode(pNode)
{
    if (m_pNode != nullptr)
        m_pNode->AddObserver(this);
}

Adapter::~Adapter()
{
    if (m_pNode != nullptr)
        m_pNode->DeleteObserver(this);
}

ValueBase* Adapter::GetChildValue(const ValueDescriptor* pDescriptor) const
{
    return m_pNode != nullptr ? m_pNode->GetChildValue(pDescriptor) : nullptr;
}

void Adapter::Update(Observable* pSender, TChangeCode code)
{
    if (code == ChangeCode::NodeRemoved && pSender == m_pNode)
        m_pNode = nullptr;
}

}
