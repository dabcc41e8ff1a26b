#include "base/observable.h"

#include <algorithm>

Observable::Observable(const Observable&)
{
}

Observable& Observable::operator=(const Observable&)
{
    return *this;
}

Observable::~Observable()
{
    // Destroyed from inside its own notification: tell every running loop to
    // stop before it touches this object again.
    if (m_pRegistry)
    {
        for (Notification* pRun = m_pRegistry->pRunning; pRun != nullptr; pRun = pRun->pOuter)
            pRun->bDestroyed = true;
    }
}

bool Observable::AddObserver(IObserver* pObserver)
{
    if (pObserver == nullptr || HasObserver(pObserver))
        return false;
    if (!m_pRegistry)
        m_pRegistry = std::make_unique<Registry>();
    KeepSnapshots();
    m_pRegistry->observers.push_back(pObserver);
    return true;
}

void Observable::DeleteObserver(IObserver* pObserver)
{
    if (!m_pRegistry)
        return;
    std::vector<IObserver*>& rObservers = m_pRegistry->observers;
    if (std::find(rObservers.begin(), rObservers.end(), pObserver) == rObservers.end())
        return;
    KeepSnapshots();
    rObservers.erase(std::remove(rObservers.begin(), rObservers.end(), pObserver), rObservers.end());
}

void Observable::DeleteObservers()
{
    if (!m_pRegistry)
        return;
    KeepSnapshots();
    m_pRegistry->observers.clear();
}

void Observable::MakeFirstObserver(IObserver* pObserver)
{
    if (pObserver == nullptr)
        return;
    DeleteObserver(pObserver);
    if (!m_pRegistry)
        m_pRegistry = std::make_unique<Registry>();
    KeepSnapshots();
    m_pRegistry->observers.insert(m_pRegistry->observers.begin(), pObserver);
}

bool Observable::HasObserver(const IObserver* pObserver) const
{
    return m_pRegistry &&
           std::find(m_pRegistry->observers.begin(), m_pRegistry->observers.end(), pObserver) !=
               m_pRegistry->observers.end();
}

void Observable::KeepSnapshots()
{
    // Runs without a copy started after the last change: the list as it is
    // now is the one each of them started with.
    for (Notification* pRun = m_pRegistry->pRunning; pRun != nullptr && pRun->lstSnapshot.empty();
         pRun = pRun->pOuter)
        pRun->lstSnapshot = m_pRegistry->observers;
}

void Observable::NotifyObservers(TChangeCode code, IObserver* pSender)
{
    if (!m_pRegistry || m_pRegistry->observers.empty())
        return;
    // Unlinks the run also when an observer throws, unless this object died.
    struct Run
    {
        Registry* pRegistry;
        Notification notification;
        ~Run()
        {
            if (!notification.bDestroyed)
                pRegistry->pRunning = notification.pOuter;
        }
    } run{m_pRegistry.get(), {m_pRegistry->pRunning, false, {}}};
    m_pRegistry->pRunning = &run.notification;
    const std::vector<IObserver*>& rLive = m_pRegistry->observers;
    const std::vector<IObserver*>& rSnapshot = run.notification.lstSnapshot;
    for (size_t i = 0;; ++i)
    {
        // Until a registration changes, the live list is the list this run
        // started with; after that, observers removed meanwhile are skipped.
        IObserver* pObserver = nullptr;
        if (rSnapshot.empty())
        {
            if (i >= rLive.size())
                return;
            pObserver = rLive[i];
        }
        else
        {
            if (i >= rSnapshot.size())
                return;
            pObserver = rSnapshot[i];
            if (!HasObserver(pObserver))
                continue;
        }
        if (pObserver == pSender)
            continue;
        pObserver->Update(this, code);
        if (run.notification.bDestroyed)
            return;
    }
}
