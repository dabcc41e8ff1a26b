#pragma once

#include "base/iobserver.h"
#include "kvthost_export.h"

#include <memory>
#include <vector>

/// An object that tells registered observers about its changes.
///
/// Observers are borrowed, never owned. An observer may add or remove itself or
/// any other observer from inside Update: removed observers that were not yet
/// called in the running notification are not called, all others still are;
/// observers added during a notification are first called by the next one.
/// An observer may also destroy the observable from inside Update: the
/// running notification then stops without touching the destroyed object
/// (observers not yet called are not called).
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

    int GetObserverCount() const { return m_pRegistry ? static_cast<int>(m_pRegistry->observers.size()) : 0; }
    bool HasObserver(const IObserver* pObserver) const;

protected:
    /// Calls Update(this, code) on every observer except `pSender` (may be null).
    virtual void NotifyObservers(TChangeCode code, IObserver* pSender);

private:
    /// One running NotifyObservers call; nested calls chain to the outer one.
    /// A run walks the live list until the registrations change; the first
    /// change hands it a copy of the list as it was, which it walks from then on.
    struct Notification
    {
        Notification* pOuter;
        bool bDestroyed;
        std::vector<IObserver*> lstSnapshot; ///< empty until the registrations change
    };
    /// Kept out of line: most observables (values of a large tree) never get
    /// an observer, and one pointer costs them less than an empty vector.
    struct Registry
    {
        std::vector<IObserver*> observers;
        Notification* pRunning = nullptr;
    };

    /// Called before every change of the registrations.
    void KeepSnapshots();

    std::unique_ptr<Registry> m_pRegistry;
};
