#pragma once

#include "kvthost_export.h"
#include "valueframework/valueclasses/node.h"
#include "valueframework/valueclasses/pathindex.h"

#include <QString>

#include <memory>
#include <utility>
#include <vector>

namespace values
{

/// The process-wide value tree. Paths are absolute and slash-separated
/// ("/KVTServer/Res/DfR/Azimuth"); "" and "/" name the root node; a trailing
/// "/" and repeated "/" are ignored. Lookups go through a hash index of the
/// paths (PathIndex), kept up to date on insertion, removal and renaming;
/// they neither allocate nor split the path, hit or miss.
///
/// The tree owns its nodes and values. It also keeps detached values handed to
/// AdoptDetached alive until Clear or its own end.
///
/// Single-threaded: the tree belongs to the thread that builds it.
class KVTHOST_EXPORT Tree
{
public:
    /// Always valid; created on first use, destroyed at process exit.
    static Tree* Instance();

    Tree();
    /// Unlike Clear, tells no observer: at process exit they may be gone.
    ~Tree();
    Tree(const Tree&) = delete;
    Tree& operator=(const Tree&) = delete;

    /// The value or node at the path, or null.
    ValueBase* FindValue(const QString& absolutePath) const;
    /// The node at the path, or null (also when a value sits there).
    Node* FindNode(const QString& absolutePath) const;
    /// The item at the path if it is a T, else null.
    template <class T>
    T* Find(const QString& absolutePath) const
    {
        return dynamic_cast<T*>(FindValue(absolutePath));
    }

    Node* GetRoot() const { return m_pRoot.get(); }
    /// Number of items (values and nodes, not the root) in the index.
    int GetItemCount() const { return m_index.Count(); }
    /// Process-wide: grows whenever an item leaves any tree or is renamed, so
    /// that a caller can tell that a name it found taken may be free again.
    static quint64 GetDepartureCount() { return s_nDepartures; }
    /// Process-wide: grows whenever a node gains or loses a child, or an item
    /// is renamed or changes its descriptor (in a tree or not), so that a
    /// caller holding pointers to a node's children can tell they still are
    /// the ones it would look up.
    static quint64 GetStructureCount() { return s_nStructureChanges; }

    /// The node at the path, creating missing nodes on the way; null when a
    /// value (not a node) stands on the way.
    Node* GetOrCreateNode(const QString& absolutePath);
    /// Inserts `rpValue` (named already) below the node `parentPath`, creating
    /// missing nodes. True: the tree took the value and `rpValue` is empty.
    /// False: `rpValue` still holds it (null value, name taken, a value in
    /// the way of the parent path).
    bool InsertValue(const QString& parentPath, std::unique_ptr<ValueBase>& rpValue);
    /// Names the value after the last path component and inserts it below the
    /// rest. Returns it, or null (and the value destroyed) on failure.
    ValueBase* InsertValueAt(const QString& absolutePath, std::unique_ptr<ValueBase> pValue);
    /// Builds a T from `args` and inserts it at the path; null on failure.
    template <class T, class... A>
    T* CreateValue(const QString& absolutePath, A&&... args)
    {
        return static_cast<T*>(InsertValueAt(absolutePath, std::make_unique<T>(QString(), std::forward<A>(args)...)));
    }
    /// Destroys the item at the path (with its departure announcement);
    /// false when there is none. The root cannot be removed.
    bool RemoveValue(const QString& absolutePath);

    /// Keeps a value that is not in the tree alive until Clear; returns it.
    ValueBase* AdoptDetached(std::unique_ptr<ValueBase> pValue);

    /// Removes every node and value (each announcing its departure) and the
    /// adopted detached values that are there when it begins; the tree is
    /// then empty and still usable. What observers of those departures create
    /// meanwhile (a value re-created on its departure notice, a newly adopted
    /// value) is not removed: it stays in the tree, so that Clear ends after
    /// one pass whatever the observers do.
    void Clear();

private:
    friend class Node;
    friend class ValueBase;

    /// Calls visit for pTop and every item below it, parents before children.
    template <class Visit>
    static void ForSubtree(ValueBase* pTop, Visit visit);
    void IndexSubtree(ValueBase* pTop);
    void UnindexSubtree(ValueBase* pTop);

    std::unique_ptr<Node> m_pRoot;
    PathIndex m_index;
    static quint64 s_nDepartures;
    static quint64 s_nStructureChanges;
    std::vector<std::unique_ptr<ValueBase>> m_lstDetached;
};

}
