#pragma once

#include "base/observable.h"
#include "kvthost_export.h"

#include <QString>

#include <memory>

namespace values
{

class Node;
class ValueDescriptor;

/// A value of the value tree: named, observable, with a text form.
///
/// A value belongs to the node it was inserted into (or to whoever holds its
/// unique_ptr while it is detached). Deleting a value that sits in a node
/// takes it out of that node first. Before a value is destroyed it announces
/// ChangeCode::StateChanged with GetState() == STATE_GONE to its observers.
///
/// Changes are told with ChangeCode::ValueChanged; every setter takes the
/// sender, which is left out of the notification. Between StartTransaction and
/// EndTransaction nothing is told; EndTransaction tells once, with its code.
///
/// Single-threaded: the tree and its values belong to one thread.
class KVTHOST_EXPORT ValueBase : public Observable
{
public:
    enum EState
    {
        STATE_OK = 0,
        STATE_GONE = 1
    };

    explicit ValueBase(const QString& name = QString());
    ~ValueBase() override;

    ValueBase(const ValueBase&) = delete;
    ValueBase& operator=(const ValueBase&) = delete;

    /// Public here: the value's owners and users announce changes themselves.
    /// Inside a transaction the notification is held back.
    void NotifyObservers(TChangeCode code, IObserver* pSender) override;

    const QString& GetName() const { return m_strName; }
    /// Renames the value (and moves it in the tree's path index). False, and no
    /// change, for an empty name, a name with "/" or a name a sibling already has.
    bool SetName(const QString& name, IObserver* pSender = nullptr);

    /// Absolute path ("/A/B"); for a detached value just "/" + name.
    QString GetPath() const;
    Node* GetParent() const { return m_pParent; }

    const ValueDescriptor* GetValueDescriptor() const { return m_pDescriptor; }
    void SetValueDescriptor(const ValueDescriptor* pDescriptor);

    int GetState() const { return m_nState; }

    /// Transactions nest; only the outermost EndTransaction notifies, and it
    /// does so even when nothing changed in between. The sender left out of
    /// that notification is the one given to EndTransaction.
    void StartTransaction(IObserver* pSender = nullptr);
    /// False (and no notification) when no transaction is active.
    bool EndTransaction(TChangeCode code, IObserver* pSender = nullptr);
    bool IsTransactionActive() const { return m_nTransactionDepth > 0; }

    /// Text form that SetStringValue reads back without loss.
    virtual QString GetStringValue() const = 0;
    /// False, and no change, when the text cannot be read for this type.
    virtual bool SetStringValue(const QString& text, IObserver* pSender = nullptr) = 0;

    /// A detached copy of name, descriptor and content, without observers.
    virtual std::unique_ptr<ValueBase> Clone() const = 0;
    /// Takes over the content of a value of the same type; false otherwise.
    virtual bool Assign(const ValueBase& other, IObserver* pSender = nullptr) = 0;

protected:
    /// Called by setters after the content changed.
    void Changed(IObserver* pSender) { NotifyObservers(ChangeCode::ValueChanged, pSender); }
    /// Marks the value gone and tells its observers, once. Every concrete
    /// class calls it first in its destructor, so that observers still see
    /// the complete object. Nodes announce ChangeCode::NodeRemoved.
    void AnnounceGone(TChangeCode code = ChangeCode::StateChanged);

private:
    friend class Node;
    friend class PathIndex;
    friend class Tree;

    // A path lookup reads the name and the hash: side by side they share a
    // cache line more often. The 16-bit length comes last, where a derived
    // class's first member fills the padding after it.
    QString m_strName;
    // The two lanes of the absolute path's hash and the low 16 bits of its
    // length, kept while in a tree (PathIndex).
    quint64 m_nPathEven = 0;
    quint64 m_nPathOdd = 0;
    Node* m_pParent = nullptr;
    const ValueDescriptor* m_pDescriptor = nullptr;
    int m_nState = STATE_OK;
    int m_nTransactionDepth = 0;
    quint16 m_nPathLength = 0;
};

}
