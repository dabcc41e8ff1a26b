#include "valueframework/valueclasses/tree.h"

#include <QStringList>

namespace values
{

Tree* Tree::Instance()
{
    static Tree s_tree;
    return &s_tree;
}

Tree::Tree()
    : m_pRoot(std::make_unique<Node>())
{
    m_pRoot->m_pRootOf = this;
}

Tree::~Tree()
{
    // The process-wide tree ends at exit, when observers may be gone already:
    // take everything down without telling anyone.
    for (ValueBase* pItem : qAsConst(m_mapIndex))
        pItem->DeleteObservers();
    for (const auto& pValue : m_lstDetached)
        pValue->DeleteObservers();
    m_pRoot->DeleteObservers();
    Clear();
}

QStringList Tree::SplitPath(const QString& absolutePath)
{
    return absolutePath.split(QLatin1Char('/'), Qt::SkipEmptyParts);
}

QString Tree::NormalisePath(const QString& absolutePath)
{
    const QStringList lstParts = SplitPath(absolutePath);
    return lstParts.isEmpty() ? QString() : QLatin1Char('/') + lstParts.join(QLatin1Char('/'));
}

ValueBase* Tree::FindValue(const QString& absolutePath) const
{
    // The index holds normalised paths; most callers pass one already.
    ValueBase* pItem = m_mapIndex.value(absolutePath, nullptr);
    if (pItem != nullptr)
        return pItem;
    const QString strNormalised = NormalisePath(absolutePath);
    if (strNormalised.isEmpty())
        return m_pRoot.get();
    return strNormalised == absolutePath ? nullptr : m_mapIndex.value(strNormalised, nullptr);
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
    for (const QString& strPart : SplitPath(absolutePath))
    {
        ValueBase* pChild = pNode->GetChild(strPart);
        if (pChild == nullptr)
            pChild = pNode->InsertChild(std::make_unique<Node>(strPart));
        pNode = dynamic_cast<Node*>(pChild);
        if (pNode == nullptr)
            return nullptr;
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
    QStringList lstParts = SplitPath(absolutePath);
    if (pValue == nullptr || lstParts.isEmpty() || !pValue->SetName(lstParts.takeLast()))
        return nullptr;
    ValueBase* pRaw = pValue.get();
    return InsertValue(lstParts.join(QLatin1Char('/')).prepend(QLatin1Char('/')), pValue) ? pRaw : nullptr;
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
    m_lstDetached.clear();
    m_mapIndex.clear();
}

void Tree::IndexSubtree(ValueBase* pItem, const QString& path)
{
    m_mapIndex.insert(path, pItem);
    if (const auto* pNode = dynamic_cast<const Node*>(pItem))
    {
        for (const auto& pChild : pNode->m_lstChildren)
            IndexSubtree(pChild.get(), path + QLatin1Char('/') + pChild->GetName());
    }
}

void Tree::UnindexSubtree(ValueBase* pItem, const QString& path)
{
    m_mapIndex.remove(path);
    if (const auto* pNode = dynamic_cast<const Node*>(pItem))
    {
        for (const auto& pChild : pNode->m_lstChildren)
            UnindexSubtree(pChild.get(), path + QLatin1Char('/') + pChild->GetName());
    }
}

}
