#pragma once

#include "kvthost_export.h"

#include <QString>

class IDllInstance;

/// The factory that a run-time loaded module exports under the C name
/// KVT_DLL_INSTANCE_FACTORY, for example:
///
///     extern "C" Q_DECL_EXPORT IDllInstance* KvtCreateDllInstance(const QString& text)
///     { return new MyClient(text); }
///
/// It returns a new object (released by the loader) or null. The text is the one
/// given to CfgCenter::CreateDllInstanceByFileName.
using DllInstanceFactory = IDllInstance* (*)(const QString& text);
#define KVT_DLL_INSTANCE_FACTORY "KvtCreateDllInstance"

/// The interface object of a run-time loaded module. A module's own interface
/// derives from it, so that a caller converts the pointer with dynamic_cast
/// (null when the module provides something else). The module stays loaded
/// while the object lives; release it with CfgCenter::DestroyDllInstanceByPointer,
/// never with delete.
class KVTHOST_EXPORT IDllInstance
{
public:
    virtual ~IDllInstance();
};
