#pragma once

#include "base/iobserver.h"
#include "kvthost_export.h"

#include <vector>

/// An object that tells registered observers about its changes.
///
/// Observers are borrowed, never owned. An observer may add or remove itself or
/// any other observer from inside Update: removed observers that were not yet
/// called in the running notification are not called, all others still are;
/// observers added during a notification are first called by the next one.
/// The observable itself must not be destroyed from inside its own notification.
///
/// Copying an Observable does not copy its observers: they registered with the
/// original, and a copy starts without any (assignment keeps the target's own).
///
/// Single-threaded: all calls on one object must come from one thread.
/// Virtual slots: destructor, AddObserver, DeleteObserver, DeleteObservers,
/// MakeFirstObserver, NotifyObservers.
class KVTHOST_EXPORT Observable
{
public:
    Observable() = default;
    Observable(const Observable& other);
    Observable& operator=(const Observable& other);
    virtual ~Observable();

    /// Appends an observer; false for null or an observer already registered.
    virtual bool AddObserver(IObserver* pObserver);
    /// Removes an observer; unknown or null observers are ignored.
    virtual void DeleteObserver(IObserver* pObserver);
    virtual void DeleteObservers();
    /// Moves (or adds) an observer to the front so that it is told first;
    /// null is ignored.
    virtual void MakeFirstObserver(IObserver* pObserver);

    int GetObserverCount() const { return static_cast<int>(m_lstObservers.size()); }
    bool HasObserver(const IObserver* pObserver) const;

protected:
    /// Calls Update(this, code) on every observer except `pSender` (may be null).
    virtual void NotifyObservers(TChangeCode code, IObserver* pSender);

private:
    std::vector<IObserver*> m_lstObservers;
};
