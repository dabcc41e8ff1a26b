#include "base/observable.h"

#include <algorithm>

Observable::Observable(const Observable&)
{
}

Observable& Observable::operator=(const Observable&)
{
    return *this;
}

Observable::~Observable() = default;

bool Observable::AddObserver(IObserver* pObserver)
{
    if (pObserver == nullptr || HasObserver(pObserver))
        return false;
    m_lstObservers.push_back(pObserver);
    return true;
}

void Observable::DeleteObserver(IObserver* pObserver)
{
    m_lstObservers.erase(std::remove(m_lstObservers.begin(), m_lstObservers.end(), pObserver), m_lstObservers.end());
}

void Observable::DeleteObservers()
{
    m_lstObservers.clear();
}

void Observable::MakeFirstObserver(IObserver* pObserver)
{
    if (pObserver == nullptr)
        return;
    DeleteObserver(pObserver);
    m_lstObservers.insert(m_lstObservers.begin(), pObserver);
}

bool Observable::HasObserver(const IObserver* pObserver) const
{
    return std::find(m_lstObservers.begin(), m_lstObservers.end(), pObserver) != m_lstObservers.end();
}

void Observable::NotifyObservers(TChangeCode code, IObserver* pSender)
{
    // Work on a snapshot so that observers may change the registrations while
    // being told; one removed in the meantime is skipped.
    const std::vector<IObserver*> lstSnapshot = m_lstObservers;
    for (IObserver* pObserver : lstSnapshot)
    {
        if (pObserver != pSender && HasObserver(pObserver))
            pObserver->Update(this, code);
    }
}
