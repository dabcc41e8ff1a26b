#pragma once

#include "base/iobserver.h"
#include "kvthost_export.h"

namespace values
{

class ValueSelection;

/// Static description of a selection item, for constant tables.
struct KVTHOST_EXPORT SelItemDesc
{
    const char* pszName; ///< UTF-8; null reads as empty
    double fValue;
    int nKey;

    /// Appends `count` items of `array` to `pSelection`, telling its observers
    /// once per item. Returns the number appended (0 for a null array or selection).
    static int AddItems(const SelItemDesc* array, int count, ValueSelection* pSelection,
                        IObserver* pSender = nullptr);
};

}
