#pragma once

#include "kvthost_export.h"

#include <memory>

namespace values
{

class ValueBase;

/// Makes copies of values. Stateless; the instance exists for the whole process.
class KVTHOST_EXPORT ValueFactory
{
public:
    static ValueFactory& Instance();

    /// A detached copy (name, descriptor, content; no observers) owned by the
    /// caller; null for null.
    std::unique_ptr<ValueBase> CloneValue(const ValueBase* pValue) const;

private:
    ValueFactory() = default;
};

}
