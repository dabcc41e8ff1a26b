#include "valueframework/valueclasses/valuebase.h"

#include "valueframework/valueclasses/node.h"
#include "valueframework/valueclasses/tree.h"

#include <vector>

namespace values
{

ValueBase::ValueBase(const QString& name)
    : m_strName(name)
{
}

ValueBase::~ValueBase()
{
    // Normally done by the concrete class; this covers a class that forgot.
    AnnounceGone();
}

void ValueBase::NotifyObservers(TChangeCode code, IObserver* pSender)
{
    if (m_nTransactionDepth == 0)
        Observable::NotifyObservers(code, pSender);
}

bool ValueBase::SetName(const QString& name, IObserver* pSender)
{
    if (name == m_strName)
        return true;
    if (!Node::IsValidName(name))
        return false;
    Tree* pTree = nullptr;
    if (m_pParent != nullptr)
    {
        if (!m_pParent->CanInsertChild(name))
            return false;
        pTree = m_pParent->GetTree();
    }
    if (pTree != nullptr)
        pTree->UnindexSubtree(this);
    m_strName = name;
    ++Tree::s_nStructureChanges;
    if (pTree != nullptr)
        pTree->IndexSubtree(this);
    Changed(pSender);
    return true;
}

void ValueBase::SetValueDescriptor(const ValueDescriptor* pDescriptor)
{
    m_pDescriptor = pDescriptor;
    ++Tree::s_nStructureChanges;
    if (m_pParent != nullptr)
        m_pParent->m_pDescriptorIndex.reset();
}

QString ValueBase::GetPath() const
{
    // Up the chain first and then joined, in time linear in the depth.
    std::vector<const ValueBase*> lstChain;
    const ValueBase* pTop = this;
    for (; pTop->m_pParent != nullptr; pTop = pTop->m_pParent)
        lstChain.push_back(pTop);
    const auto* pTopNode = dynamic_cast<const Node*>(pTop);
    if (pTopNode == nullptr || pTopNode->m_pTree == nullptr)
        lstChain.push_back(pTop); // detached: its own name leads
    QString path;
    for (auto it = lstChain.crbegin(); it != lstChain.crend(); ++it)
        path += QLatin1Char('/') + (*it)->m_strName;
    return path;
}

void ValueBase::StartTransaction(IObserver*)
{
    ++m_nTransactionDepth;
}

bool ValueBase::EndTransaction(TChangeCode code, IObserver* pSender)
{
    if (m_nTransactionDepth == 0)
        return false;
    if (--m_nTransactionDepth == 0)
        Observable::NotifyObservers(code, pSender);
    return true;
}

void ValueBase::AnnounceGone(TChangeCode code)
{
    if (m_nState == STATE_GONE)
        return;
    m_nState = STATE_GONE;
    m_nTransactionDepth = 0;
    Observable::NotifyObservers(code, nullptr);
    // Deleted while still in a node: leave it, without a second destruction.
    if (m_pParent != nullptr)
        static_cast<void>(m_pParent->TakeChild(this).release());
}

}
