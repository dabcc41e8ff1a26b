#pragma once

#include "kvtcommon_export.h"

#include <QList>
#include <QString>

class KVTAbstractInterface;

/// Registry of output interfaces by name, in insertion order.
///
/// The list stores borrowed pointers: only Remove() deletes an interface;
/// Clear(), copies and the destructor leave the interfaces to their creator.
/// Copies refer to the same interface objects. Single-threaded.
class KVTCOMMON_EXPORT KVTInterfacesList : public QList<KVTAbstractInterface*>
{
public:
    KVTInterfacesList() = default;
    KVTInterfacesList(const KVTInterfacesList& other) = default;
    KVTInterfacesList& operator=(const KVTInterfacesList& other) = default;
    virtual ~KVTInterfacesList();

    /// Appends the interface unless it is null or an interface of the same
    /// name (exact comparison) is already listed; false then, and the caller
    /// keeps the object.
    bool Add(KVTAbstractInterface* pInterface);
    /// Deletes the first interface of that name and removes its entry;
    /// false when none matches (nothing is deleted).
    bool Remove(const QString& name);
    /// The first interface of that name, or null.
    KVTAbstractInterface* GetInterfaceByName(const QString& name) const;
    unsigned int Size() const;
    /// Empties the list without deleting any interface.
    void Clear();

private:
    int IndexOf(const QString& name) const;
};
