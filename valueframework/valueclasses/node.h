#pragma once

#include "valueframework/valueclasses/valuebase.h"

#include <QList>

#include <memory>
#include <utility>
#include <vector>

namespace values
{

class Tree;

/// An inner node of the value tree; owns its children (values and nodes) in
/// insertion order. Child names are unique within a node.
///
/// Going away, a node announces ChangeCode::NodeRemoved to its observers, then
/// destroys its children from the last, each announcing its own departure
/// (depth first; a subtree of any depth goes, without recursion). `delete` on a node
/// (or value) that sits in a parent takes it out of the parent and the tree's
/// path index first, so callers may delete what they were handed.
///
/// A node announces only its own departure; inserting or removing children is
/// not announced (the children's own announcements cover their departure).
///
/// The text form of a node is empty and cannot be set.
class KVTHOST_EXPORT Node : public ValueBase
{
public:
    explicit Node(const QString& name = QString());
    ~Node() override;

    /// The child made for this descriptor: the first child carrying that
    /// descriptor, else the child named like the descriptor's last path
    /// component. Null when there is none or the descriptor is null. The
    /// first call after the children changed indexes them by descriptor, so
    /// that repeated reads of a node (an adapter's members) cost a lookup each.
    ValueBase* GetChildValue(const ValueDescriptor* pDescriptor) const;
    /// Null when there is no child of that name. Constant time while the node
    /// is part of a tree (through the tree's index), linear while detached.
    ValueBase* GetChild(const QString& name) const { return FindChildNamed(name); }
    /// The children in insertion order (borrowed).
    QList<ValueBase*> GetTreeItems() const;
    int GetChildCount() const { return static_cast<int>(m_lstChildren.size()); }

    /// A name is valid when it is not empty and has no "/".
    static bool IsValidName(const QString& name) { return !name.isEmpty() && !name.contains(QLatin1Char('/')); }
    /// True when a child of this name could be inserted.
    bool CanInsertChild(const QString& name) const;
    /// Takes the child and returns it; null (and the child destroyed) when it
    /// is null, unnamed, named with "/" or its name is taken, or when this
    /// node is being destroyed.
    ValueBase* InsertChild(std::unique_ptr<ValueBase> pChild);
    /// Destroys a child (after its departure announcement); false when
    /// `pChild` is not a child of this node. A child that is already being
    /// destroyed (an observer of its departure removing it) is only detached.
    bool RemoveChild(ValueBase* pChild);
    /// Hands a child over to the caller, detached and without announcement;
    /// null when `pChild` is not a child of this node.
    std::unique_ptr<ValueBase> TakeChild(ValueBase* pChild);
    /// Destroys every child this node has when called, from the last one.
    /// Children that observers of their departures insert meanwhile stay,
    /// so that it ends whatever the observers do.
    void RemoveAllChildren();

    /// The tree this node is part of, or null while detached.
    Tree* GetTree() const;

    QString GetStringValue() const override { return QString(); }
    bool SetStringValue(const QString& text, IObserver* pSender = nullptr) override;
    /// A deep copy: child nodes and values are cloned as well.
    std::unique_ptr<ValueBase> Clone() const override;
    /// False: a node has no content of its own to take over.
    bool Assign(const ValueBase& other, IObserver* pSender = nullptr) override;

private:
    friend class Tree;
    friend class ValueBase;

    std::vector<std::unique_ptr<ValueBase>>::iterator FindChild(const ValueBase* pChild);
    ValueBase* FindChildNamed(QStringView name) const;
    void IndexDescriptor(ValueBase* pChild) const;
    static size_t DescriptorHome(const ValueDescriptor* pDescriptor, size_t nMask);

    std::vector<std::unique_ptr<ValueBase>> m_lstChildren;
    /// The tree whose index holds this node (or whose root it is), so that
    /// GetTree costs the same at any depth; null while detached.
    Tree* m_pTree = nullptr;
    /// While RemoveAllChildren runs: how many of the first children it still
    /// has to destroy (children inserted meanwhile come after them).
    size_t m_nOldChildren = 0;
    /// First child per descriptor, open addressing at most half full; null
    /// until GetChildValue needs it, dropped when a child leaves or changes
    /// its descriptor.
    using DescriptorSlot = std::pair<const ValueDescriptor*, ValueBase*>;
    mutable std::unique_ptr<std::vector<DescriptorSlot>> m_pDescriptorIndex;
};

}
