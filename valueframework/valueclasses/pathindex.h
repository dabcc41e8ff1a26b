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
/// Every indexed item carries a 128-bit hash of its absolute path "/A/B" in
/// two 64-bit lanes (and the low 16 bits of the path's length); the lanes'
/// 32-bit fold sits in the table next to the item pointer. A child continues
/// its parent's hash over "/" and its name, so indexing costs the name's
/// length at any depth. A lookup reads the path a word (four units) at a time
/// as it stands; only when that misses and the path is not plain (a "/"
/// before every name, no empty names: "//A/B/", "A/B") is it read again unit
/// by unit, and it finds the same item. A hit is confirmed by both lanes
/// stored in the item and one comparison of the last name, without walking
/// up the parent chain: it reads the table slot, the item and its name, as a
/// hash map's key comparison does.
///
/// A wrong hit needs two paths that end in the same name and agree in both
/// lanes. The lanes take alternate words, so paths that differ in one word
/// never agree, and the odds for others are about 2^-64 per comparison when
/// all their differing words fall in one lane, 2^-128 otherwise. Child
/// lookups (FindChild) compare parent and name exactly.
///
/// The index costs one slot of hash and pointer per item (open addressing
/// with linear probing, at most half full) plus the hash in the item.
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
        uint hash; ///< the item's hashes, folded to 32 bits
        ValueBase* pItem;
    };

    static uint Folded(const ValueBase* pItem);
    size_t Mask() const { return m_aSlots.size() - 1; }
    size_t Home(uint hash) const { return hash & Mask(); }
    void Grow();

    std::vector<Slot> m_aSlots; ///< empty or a power of two
    int m_nCount = 0;
};

}
