#pragma once

#include "base/iobserver.h"
#include "kvthost_export.h"
#include "valueframework/valueclasses/valuebase.h"

#include <typeinfo>

namespace values
{

class Node;
class ValueDescriptor;

/// Base for typed views of one node's children. The adapter observes the node
/// and forgets it when the node goes away, so a stale adapter yields nothing.
/// Single-threaded, like the tree.
class KVTHOST_EXPORT Adapter : public IObserver
{
public:
    /// A null node gives an adapter that yields nothing.
    explicit Adapter(Node* pNode);
    ~Adapter() override;
    Adapter(const Adapter&) = delete;
    Adapter& operator=(const Adapter&) = delete;

    /// Null once the node has gone.
    Node* GetNode() const { return m_pNode; }
    /// The node's child for a descriptor (Node::GetChildValue), or null.
    ValueBase* GetChildValue(const ValueDescriptor* pDescriptor) const;
    /// The child if it is a T, else null.
    template <class T>
    T* GetChild(const ValueDescriptor& descriptor) const
    {
        ValueBase* pChild = GetChildValue(&descriptor);
        // Mostly the child is exactly a T, which typeid tells at a fraction
        // of a dynamic_cast's cost.
        if (pChild != nullptr && typeid(*pChild) == typeid(T))
            return static_cast<T*>(pChild);
        return dynamic_cast<T*>(pChild);
    }

    void Update(Observable* pSender, TChangeCode code) override;

private:
    Node* m_pNode;
};

}
