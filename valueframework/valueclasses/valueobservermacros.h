#pragma once

#include "base/arexception.h"
#include "base/errorhandler.h"
#include "base/trace.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/valuedescriptor.h"

#include <memory>

// The four ways library code reaches values of the tree. All of them run on
// the tree's thread.

namespace values
{

/// Look up and observe: the value at `absolutePath` as a T. When an item is
/// found and `pObserver` is given, the observer is added before the type is
/// checked (so the caller must release it also when null comes back for the
/// wrong type). An item of another type gives null and, with the assertion bit
/// set, the assertion "pValue". A missing item gives null silently.
template <class T>
T* LookUpValue(const QString& absolutePath, IObserver* pObserver = nullptr)
{
    ValueBase* pItem = Tree::Instance()->FindValue(absolutePath);
    if (pItem == nullptr)
        return nullptr;
    if (pObserver != nullptr)
        pItem->AddObserver(pObserver);
    T* pValue = dynamic_cast<T*>(pItem);
    if (pValue == nullptr && ErrorHandler::Instance().AssertsEnabled())
        _Q_assert(L"pValue", KVT_WIDE(__FILE__), __LINE__);
    return pValue;
}

/// Create by descriptor with a required type: sets the descriptor base path to
/// `basePath` (it stays set), lets the descriptor create or find its value and
/// returns it as a T. Throws ARException "Wrong type assumed for %1." (%1 = the
/// path name, function "CreateValue") when the value is not a T or cannot be made.
template <class T>
T* CreateValue(const QString& basePath, const ValueDescriptor& descriptor, IObserver* pObserver = nullptr)
{
    ValueDescriptor::SetBasePath(basePath);
    T* pValue = dynamic_cast<T*>(descriptor.Create(pObserver));
    if (pValue == nullptr)
        throw ARException(QStringLiteral("Wrong type assumed for %1.").arg(descriptor.PathName()), __FILE__,
                          QString(), "CreateValue", __LINE__, 0);
    return pValue;
}

/// Get or create by path: the T at `absolutePath`, or a new T named after the
/// last path component and inserted below the rest. When the insertion fails
/// (a value of that name but another type is there) the memory-leak trace is
/// written and a detached T is returned; the tree keeps it alive until
/// Tree::Clear, but no one else sees it. `pObserver`, when given, is added.
template <class T>
T* GetOrCreateValue(const QString& absolutePath, IObserver* pObserver = nullptr)
{
    Tree* pTree = Tree::Instance();
    T* pValue = pTree->Find<T>(absolutePath);
    if (pValue == nullptr)
    {
        const int nSlash = absolutePath.lastIndexOf(QLatin1Char('/'));
        std::unique_ptr<ValueBase> pNew = std::make_unique<T>(absolutePath.mid(nSlash + 1));
        pValue = static_cast<T*>(pNew.get());
        if (!pTree->InsertValue(absolutePath.left(nSlash + 1), pNew))
        {
            if (ErrorHandler::Instance().TracesEnabled())
                _Q_Trace(QStringLiteral("!!!!!!!MEMORY LEAK! The value with the path '%1' could not be created!!! "
                                        "A value of this name already exists for a different type!!!!!!!!")
                             .arg(absolutePath),
                         __FILE__, __LINE__);
            pTree->AdoptDetached(std::move(pNew));
        }
    }
    if (pObserver != nullptr)
        pValue->AddObserver(pObserver);
    return pValue;
}

/// Release: removes `pObserver` from the value (if any) and forgets it.
template <class T>
void ReleaseValue(T*& rpValue, IObserver* pObserver)
{
    if (rpValue != nullptr)
        rpValue->DeleteObserver(pObserver);
    rpValue = nullptr;
}

}
