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
    // Depth first from the last child, as recursion would go, but with a list
    // of the nodes on the way down, so that a subtree of any depth goes: a
    // child node announces its departure when it is reached and is freed when
    // its own children are gone. A node that is going away takes no new
    // children, so this ends.
    std::vector<std::unique_ptr<Node>> lstOpen;
    for (;;)
    {
        Node* pNode = lstOpen.empty() ? this : lstOpen.back().get();
        if (pNode->m_lstChildren.empty())
        {
            if (lstOpen.empty())
                break;
            lstOpen.pop_back();
            continue;
        }
        std::unique_ptr<ValueBase> pChild = pNode->TakeChild(pNode->m_lstChildren.back().get());
        auto* pChildNode = dynamic_cast<Node*>(pChild.get());
        // Already being destroyed further up the stack: only detached here.
        if (pChild->GetState() == STATE_GONE)
            static_cast<void>(pChild.release());
        else if (pChildNode == nullptr)
            pChild.reset();
        else
        {
            pChildNode->AnnounceGone(ChangeCode::NodeRemoved);
            lstOpen.emplace_back(static_cast<Node*>(pChild.release()));
        }
    }
}

ValueBase* Node::GetChildValue(const ValueDescriptor* pDescriptor) const
{
    if (pDescriptor == nullptr)
        return nullptr;
    if (!m_pDescriptorIndex)
    {
        size_t nSize = 8;
        while (nSize < 2 * m_lstChildren.size())
            nSize *= 2;
        m_pDescriptorIndex = std::make_unique<std::vector<DescriptorSlot>>(nSize, DescriptorSlot(nullptr, nullptr));
        for (const auto& pChild : m_lstChildren)
            IndexDescriptor(pChild.get());
    }
    const std::vector<DescriptorSlot>& aSlots = *m_pDescriptorIndex;
    const size_t nMask = aSlots.size() - 1;
    for (size_t i = DescriptorHome(pDescriptor, nMask); aSlots[i].first != nullptr; i = (i + 1) & nMask)
    {
        if (aSlots[i].first == pDescriptor)
            return aSlots[i].second;
    }
    return GetChild(pDescriptor->GetName());
}

ValueBase* Node::FindChildNamed(QStringView name) const
{
    if (const Tree* pTree = GetTree())
        return pTree->m_index.FindChild(this, name);
    for (const auto& pChild : m_lstChildren)
    {
        if (QStringView(pChild->GetName()) == name)
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
    // A node being destroyed takes no children: they would outlive it.
    if (pChild == nullptr || pChild->GetParent() != nullptr || GetState() == STATE_GONE
        || !CanInsertChild(pChild->GetName()))
        return nullptr;
    ValueBase* pRaw = pChild.get();
    pRaw->m_pParent = this;
    ++Tree::s_nStructureChanges;
    m_lstChildren.push_back(std::move(pChild));
    // A full index is dropped and rebuilt at twice the size on the next lookup.
    if (m_pDescriptorIndex && 2 * m_lstChildren.size() > m_pDescriptorIndex->size())
        m_pDescriptorIndex.reset();
    if (m_pDescriptorIndex)
        IndexDescriptor(pRaw);
    if (Tree* pTree = GetTree())
        pTree->IndexSubtree(pRaw);
    return pRaw;
}

std::vector<std::unique_ptr<ValueBase>>::iterator Node::FindChild(const ValueBase* pChild)
{
    // From the back: the children removed most often are the ones added last
    // (and RemoveAllChildren takes them from the back).
    const auto it = std::find_if(m_lstChildren.rbegin(), m_lstChildren.rend(),
                                 [pChild](const std::unique_ptr<ValueBase>& p) { return p.get() == pChild; });
    return it == m_lstChildren.rend() ? m_lstChildren.end() : std::prev(it.base());
}

std::unique_ptr<ValueBase> Node::TakeChild(ValueBase* pChild)
{
    const auto it = FindChild(pChild);
    if (it == m_lstChildren.end())
        return nullptr;
    if (Tree* pTree = GetTree())
        pTree->UnindexSubtree(pChild);
    if (static_cast<size_t>(it - m_lstChildren.begin()) < m_nOldChildren)
        --m_nOldChildren;
    std::unique_ptr<ValueBase> pTaken = std::move(*it);
    m_lstChildren.erase(it);
    ++Tree::s_nStructureChanges;
    m_pDescriptorIndex.reset();
    pTaken->m_pParent = nullptr;
    return pTaken;
}

bool Node::RemoveChild(ValueBase* pChild)
{
    std::unique_ptr<ValueBase> pTaken = TakeChild(pChild);
    if (pTaken == nullptr)
        return false;
    // Its destruction already runs further up the stack (an observer of its
    // departure removes it): detaching is all that is left to do here.
    if (pTaken->GetState() == STATE_GONE)
        static_cast<void>(pTaken.release());
    return true;
}

void Node::RemoveAllChildren()
{
    // Every child that leaves, also by an observer's hand, passes TakeChild,
    // which counts it off when it was among the old ones.
    m_nOldChildren = m_lstChildren.size();
    while (m_nOldChildren > 0)
        RemoveChild(m_lstChildren[m_nOldChildren - 1].get());
}

size_t Node::DescriptorHome(const ValueDescriptor* pDescriptor, size_t nMask)
{
    return static_cast<size_t>((reinterpret_cast<quintptr>(pDescriptor) >> 4) * 0x9e3779b97f4a7c15ull >> 40) & nMask;
}

void Node::IndexDescriptor(ValueBase* pChild) const
{
    const ValueDescriptor* pDescriptor = pChild->GetValueDescriptor();
    if (pDescriptor == nullptr)
        return;
    std::vector<DescriptorSlot>& aSlots = *m_pDescriptorIndex;
    // Children are indexed in order, so the first one with a descriptor stays.
    const size_t nMask = aSlots.size() - 1;
    size_t i = DescriptorHome(pDescriptor, nMask);
    for (; aSlots[i].first != nullptr; i = (i + 1) & nMask)
    {
        if (aSlots[i].first == pDescriptor)
            return;
    }
    aSlots[i] = {pDescriptor, pChild};
}

Tree* Node::GetTree() const
{
    return m_pTree;
}

bool Node::SetStringValue(const QString&, IObserver*)
{
    return false;
}

std::unique_ptr<ValueBase> Node::Clone() const
{
    auto shell = [](const Node& source) {
        auto pShell = std::make_unique<Node>(source.GetName());
        pShell->SetValueDescriptor(source.GetValueDescriptor());
        return pShell;
    };
    // A list of the nodes whose children are still to be copied instead of
    // recursion: a subtree may be tens of thousands of levels deep.
    std::unique_ptr<Node> pCopy = shell(*this);
    std::vector<std::pair<const Node*, Node*>> lstOpen{{this, pCopy.get()}};
    while (!lstOpen.empty())
    {
        const auto [pSource, pTarget] = lstOpen.back();
        lstOpen.pop_back();
        for (const auto& pChild : pSource->m_lstChildren)
        {
            const auto* pChildNode = dynamic_cast<const Node*>(pChild.get());
            if (pChildNode == nullptr)
            {
                pTarget->InsertChild(pChild->Clone());
                continue;
            }
            auto* pChildCopy = static_cast<Node*>(pTarget->InsertChild(shell(*pChildNode)));
            if (pChildCopy != nullptr && !pChildNode->m_lstChildren.empty())
                lstOpen.emplace_back(pChildNode, pChildCopy);
        }
    }
    return pCopy;
}

bool Node::Assign(const ValueBase&, IObserver*)
{
    return false;
}

}
