#include "valueframework/valueclasses/tree.h"

namespace values
{

quint64 Tree::s_nDepartures = 0;
quint64 Tree::s_nStructureChanges = 0;

Tree* Tree::Instance()
{
    static Tree s_tree;
    return &s_tree;
}

Tree::Tree()
    : m_pRoot(std::make_unique<Node>())
{
    m_pRoot->m_pTree = this;
    PathIndex::HashRoot(m_pRoot.get());
}

Tree::~Tree()
{
    // The process-wide tree ends at exit, when observers may be gone already:
    // take everything down without telling anyone.
    m_index.ForEach([](ValueBase* pItem) { pItem->DeleteObservers(); });
    for (const auto& pValue : m_lstDetached)
        pValue->DeleteObservers();
    m_pRoot->DeleteObservers();
    Clear();
}

ValueBase* Tree::FindValue(const QString& absolutePath) const
{
    return m_index.Find(m_pRoot.get(), absolutePath);
}

Node* Tree::FindNode(const QString& absolutePath) const
{
    return dynamic_cast<Node*>(FindValue(absolutePath));
}

Node* Tree::GetOrCreateNode(const QString& absolutePath)
{
    if (Node* pNode = FindNode(absolutePath))
        return pNode;
    Node* pNode = m_pRoot.get();
    const QStringView path(absolutePath);
    for (int nStart = 0; nStart < path.size();)
    {
        int nEnd = path.indexOf(QLatin1Char('/'), nStart);
        if (nEnd < 0)
            nEnd = static_cast<int>(path.size());
        if (nEnd > nStart)
        {
            const QStringView part = path.mid(nStart, nEnd - nStart);
            ValueBase* pChild = pNode->FindChildNamed(part);
            if (pChild == nullptr)
                pChild = pNode->InsertChild(std::make_unique<Node>(part.toString()));
            pNode = dynamic_cast<Node*>(pChild);
            if (pNode == nullptr)
                return nullptr;
        }
        nStart = nEnd + 1;
    }
    return pNode;
}

bool Tree::InsertValue(const QString& parentPath, std::unique_ptr<ValueBase>& rpValue)
{
    if (rpValue == nullptr || !Node::IsValidName(rpValue->GetName()))
        return false;
    Node* pParent = GetOrCreateNode(parentPath);
    if (pParent == nullptr || !pParent->CanInsertChild(rpValue->GetName()))
        return false;
    return pParent->InsertChild(std::move(rpValue)) != nullptr;
}

ValueBase* Tree::InsertValueAt(const QString& absolutePath, std::unique_ptr<ValueBase> pValue)
{
    // The last non-empty component names the value, the rest is the parent.
    int nEnd = absolutePath.size();
    while (nEnd > 0 && absolutePath[nEnd - 1] == QLatin1Char('/'))
        --nEnd;
    const int nStart = absolutePath.lastIndexOf(QLatin1Char('/'), nEnd - 1) + 1;
    if (pValue == nullptr || nEnd == 0 || !pValue->SetName(absolutePath.mid(nStart, nEnd - nStart)))
        return nullptr;
    ValueBase* pRaw = pValue.get();
    return InsertValue(absolutePath.left(nStart), pValue) ? pRaw : nullptr;
}

bool Tree::RemoveValue(const QString& absolutePath)
{
    ValueBase* pItem = FindValue(absolutePath);
    if (pItem == nullptr || pItem == m_pRoot.get())
        return false;
    return pItem->GetParent()->RemoveChild(pItem);
}

ValueBase* Tree::AdoptDetached(std::unique_ptr<ValueBase> pValue)
{
    ValueBase* pRaw = pValue.get();
    if (pRaw != nullptr)
        m_lstDetached.push_back(std::move(pValue));
    return pRaw;
}

void Tree::Clear()
{
    m_pRoot->RemoveAllChildren();
    // Observers told of a departure may adopt new values meanwhile.
    std::vector<std::unique_ptr<ValueBase>> lstDetached;
    lstDetached.swap(m_lstDetached);
    lstDetached.clear();
    if (m_index.Count() == 0)
        m_index.Clear();
}

// Both walk a subtree with a list of the nodes still to visit instead of
// recursion: a subtree may be tens of thousands of levels deep.
template <class Visit>
void Tree::ForSubtree(ValueBase* pTop, Visit visit)
{
    visit(pTop);
    auto* pTopNode = dynamic_cast<Node*>(pTop);
    if (pTopNode == nullptr || pTopNode->m_lstChildren.empty())
        return;
    std::vector<Node*> lstNodes{pTopNode};
    while (!lstNodes.empty())
    {
        const Node* pNode = lstNodes.back();
        lstNodes.pop_back();
        for (const auto& pChild : pNode->m_lstChildren)
        {
            visit(pChild.get());
            auto* pChildNode = dynamic_cast<Node*>(pChild.get());
            if (pChildNode != nullptr && !pChildNode->m_lstChildren.empty())
                lstNodes.push_back(pChildNode);
        }
    }
}

void Tree::IndexSubtree(ValueBase* pTop)
{
    ForSubtree(pTop, [this](ValueBase* pItem) {
        PathIndex::HashFromParent(pItem);
        m_index.Insert(pItem);
        if (auto* pNode = dynamic_cast<Node*>(pItem))
            pNode->m_pTree = this;
    });
}

void Tree::UnindexSubtree(ValueBase* pTop)
{
    ForSubtree(pTop, [this](ValueBase* pItem) {
        ++s_nDepartures;
        m_index.Remove(pItem);
        if (auto* pNode = dynamic_cast<Node*>(pItem))
            pNode->m_pTree = nullptr;
    });
}

}
