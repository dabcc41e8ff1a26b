#include "valueframework/valueclasses/node.h"

#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/valuedescriptor.h"

#include <algorithm>

namespace values
{

Node::Node(const QString& name)
    : ValueBase(name)
{
}

Node::~Node()
{
    AnnounceGone(ChangeCode::NodeRemoved);
    RemoveAllChildren();
}

ValueBase* Node::GetChildValue(const ValueDescriptor* pDescriptor) const
{
    if (pDescriptor == nullptr)
        return nullptr;
    for (const auto& pChild : m_lstChildren)
    {
        if (pChild->GetValueDescriptor() == pDescriptor)
            return pChild.get();
    }
    return GetChild(pDescriptor->GetName());
}

ValueBase* Node::GetChild(const QString& name) const
{
    for (const auto& pChild : m_lstChildren)
    {
        if (pChild->GetName() == name)
            return pChild.get();
    }
    return nullptr;
}

QList<ValueBase*> Node::GetTreeItems() const
{
    QList<ValueBase*> lstItems;
    lstItems.reserve(GetChildCount());
    for (const auto& pChild : m_lstChildren)
        lstItems.append(pChild.get());
    return lstItems;
}

bool Node::CanInsertChild(const QString& name) const
{
    return IsValidName(name) && GetChild(name) == nullptr;
}

ValueBase* Node::InsertChild(std::unique_ptr<ValueBase> pChild)
{
    if (pChild == nullptr || pChild->GetParent() != nullptr || !CanInsertChild(pChild->GetName()))
        return nullptr;
    ValueBase* pRaw = pChild.get();
    pRaw->m_pParent = this;
    m_lstChildren.push_back(std::move(pChild));
    if (Tree* pTree = GetTree())
        pTree->IndexSubtree(pRaw, pRaw->GetPath());
    return pRaw;
}

std::vector<std::unique_ptr<ValueBase>>::iterator Node::FindChild(const ValueBase* pChild)
{
    return std::find_if(m_lstChildren.begin(), m_lstChildren.end(),
                        [pChild](const std::unique_ptr<ValueBase>& p) { return p.get() == pChild; });
}

std::unique_ptr<ValueBase> Node::TakeChild(ValueBase* pChild)
{
    const auto it = FindChild(pChild);
    if (it == m_lstChildren.end())
        return nullptr;
    if (Tree* pTree = GetTree())
        pTree->UnindexSubtree(pChild, pChild->GetPath());
    std::unique_ptr<ValueBase> pTaken = std::move(*it);
    m_lstChildren.erase(it);
    pTaken->m_pParent = nullptr;
    return pTaken;
}

bool Node::RemoveChild(ValueBase* pChild)
{
    std::unique_ptr<ValueBase> pTaken = TakeChild(pChild);
    return pTaken != nullptr;
}

void Node::RemoveAllChildren()
{
    while (!m_lstChildren.empty())
        RemoveChild(m_lstChildren.back().get());
}

Tree* Node::GetTree() const
{
    const Node* pNode = this;
    while (pNode->GetParent() != nullptr)
        pNode = pNode->GetParent();
    return pNode->m_pRootOf;
}

bool Node::SetStringValue(const QString&, IObserver*)
{
    return false;
}

std::unique_ptr<ValueBase> Node::Clone() const
{
    auto pCopy = std::make_unique<Node>(GetName());
    pCopy->SetValueDescriptor(GetValueDescriptor());
    for (const auto& pChild : m_lstChildren)
        pCopy->InsertChild(pChild->Clone());
    return pCopy;
}

bool Node::Assign(const ValueBase&, IObserver*)
{
    return false;
}

}
