#pragma once

#include "kvthost_export.h"

#include <QStringView>

#include <vector>

namespace values
{

class Node;
class ValueBase;

/// The tree's lookup table from absolute path to item, with no path stored.
///
/// Every indexed item carries the hash of its own path, continued from its
/// parent's hash over "/" and its name; a lookup hashes the path in one pass
/// (empty components skipped, so "//A/B/" finds "/A/B") and confirms a hash
/// hit by comparing names up the parent chain. The names the
/// check reads are the items' own, so the index costs one slot of hash and
/// pointer per item and a miss costs one pass over the path. Open addressing
/// with linear probing, at most half full.
///
/// Single-threaded, like the tree.
class KVTHOST_EXPORT PathIndex
{
public:
    /// The path hash of a tree's root node.
    static constexpr uint ROOT_HASH = 0x2545f491u;
    static uint ChildHash(uint parentHash, QStringView name);

    /// The item at the absolute path; `pRoot` when the path has no component;
    /// null when there is none.
    ValueBase* Find(ValueBase* pRoot, QStringView absolutePath) const;
    /// The child of an indexed node (or of the root) with that name, or null.
    ValueBase* FindChild(const Node* pParent, QStringView name) const;

    /// Adds an item whose path hash is set; the item must not be indexed yet.
    void Insert(ValueBase* pItem);
    /// Drops an indexed item; unknown items are ignored.
    void Remove(const ValueBase* pItem);
    void Clear();

    int Count() const { return m_nCount; }
    /// Calls `visit(ValueBase*)` for every item, in no particular order.
    template <class F>
    void ForEach(F visit) const
    {
        for (const Slot& slot : m_aSlots)
        {
            if (slot.pItem != nullptr)
                visit(slot.pItem);
        }
    }

private:
    struct Slot
    {
        uint hash;
        ValueBase* pItem;
    };

    static bool IsAt(const ValueBase* pItem, QStringView absolutePath);
    size_t Mask() const { return m_aSlots.size() - 1; }
    size_t Home(uint hash) const;
    void Grow();

    std::vector<Slot> m_aSlots; ///< empty or a power of two
    int m_nCount = 0;
};

}
