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
/// Every indexed item carries two hashes of its absolute path "/A/B" (and the
/// low 16 bits of its length): a placing hash, whose 32-bit fold sits in the
/// table next to the item pointer, and an independent checking hash. A child
/// continues its parent's hashes over "/" and its name, so indexing costs the
/// name's length at any depth. A lookup reads a plain path ("/" before every
/// name, no empty names) a word at a time; any other form ("//A/B/", "A/B")
/// is read unit by unit and finds the same item. A hit is confirmed by both
/// 64-bit hashes stored in the item and one comparison of the last name,
/// without walking up the parent chain: it reads the table slot, the item
/// and its name, as a hash map's key comparison does.
///
/// A wrong hit needs two paths that end in the same name and agree in both
/// 64-bit hashes, functions with unrelated constants over the same words;
/// the odds are about 2^-128 per comparison. Child lookups (FindChild)
/// compare parent and name exactly.
///
/// The index costs one slot of hash and pointer per item (open addressing
/// with linear probing, at most half full) plus the hashes in the item.
///
/// Single-threaded, like the tree.
class KVTHOST_EXPORT PathIndex
{
public:
    /// Gives a tree's root node its path hashes.
    static void HashRoot(ValueBase* pRoot);
    /// Sets an item's path hashes from its parent's (which must be set).
    static void HashFromParent(ValueBase* pItem);

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
        uint hash; ///< the item's placing hash, folded to 32 bits
        ValueBase* pItem;
    };

    size_t Mask() const { return m_aSlots.size() - 1; }
    size_t Home(uint hash) const;
    void Grow();

    std::vector<Slot> m_aSlots; ///< empty or a power of two
    int m_nCount = 0;
};

}
