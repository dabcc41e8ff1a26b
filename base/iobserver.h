#pragma once

#include "kvthost_export.h"

class Observable;

/// The change code passed with a notification. The numeric values are part of
/// the contract with separately built modules; only add, never renumber.
typedef int TChangeCode;

namespace ChangeCode
{
/// The state of a value changed; a value in state 1 (ValueBase::STATE_GONE) is
/// being removed and must not be used after the notification.
constexpr TChangeCode StateChanged = 2;
/// The content of a value changed.
constexpr TChangeCode ValueChanged = 3;
/// The entries of a list changed (used to end list transactions).
constexpr TChangeCode ListChanged = 7;
/// A node is going away; its observers forget it without deregistering.
constexpr TChangeCode NodeRemoved = 18;
}

/// An observer of Observable objects. Virtual slots: destructor, Update.
class KVTHOST_EXPORT IObserver
{
public:
    virtual ~IObserver() = default;
    /// Called on the thread that changed `sender`.
    virtual void Update(Observable* sender, TChangeCode code) = 0;
};
