#pragma once

#include "base/iobserver.h"
#include "kvthost_export.h"

#include <QString>

#include <memory>

namespace values
{

class ValueBase;
struct SelItemDesc;

/// Names one value of a device and knows how to make it: its path name below
/// the device node (for example "/Res/DfR/Azimuth"), the value class and, for
/// selections, the items a new value starts with.
///
/// The process-wide base path (SetBasePath / GetBasePath) is the device node
/// that Create works under. Single-threaded, like the tree.
class KVTHOST_EXPORT ValueDescriptor
{
public:
    /// Makes a new, unnamed value of the descriptor's class.
    using Factory = std::unique_ptr<ValueBase> (*)();

    /// `pathName` starts with "/"; `items` (may be null) is a static table.
    ValueDescriptor(const char* pathName, Factory factory, const SelItemDesc* items = nullptr, int itemCount = 0);
    ValueDescriptor(const ValueDescriptor&) = delete;
    ValueDescriptor& operator=(const ValueDescriptor&) = delete;

    QString PathName() const { return m_strPathName; }
    /// The last component of the path name.
    QString GetName() const;

    /// A new detached value: named after GetName(), carrying this descriptor,
    /// with the selection items filled in.
    std::unique_ptr<ValueBase> CreateDetached() const;

    /// The item at GetBasePath() + PathName() in values::Tree::Instance(),
    /// inserted (with missing nodes) when there is none. An existing item is
    /// returned whatever its class; callers check the type. Null only when it
    /// cannot be inserted (a value stands where a node is needed). When
    /// `pObserver` is given it is added to the returned item.
    ValueBase* Create(IObserver* pObserver = nullptr) const;

    static void SetBasePath(const QString& basePath);
    static QString GetBasePath();

private:
    QString m_strPathName;
    Factory m_pFactory;
    const SelItemDesc* m_pItems;
    int m_nItemCount;
};

}
