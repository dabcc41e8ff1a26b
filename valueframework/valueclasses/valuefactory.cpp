#include "valueframework/valueclasses/valuefactory.h"

#include "valueframework/valueclasses/valuebase.h"

namespace values
{

ValueFactory& ValueFactory::Instance()
{
    static ValueFactory s_factory;
    return s_factory;
}

std::unique_ptr<ValueBase> ValueFactory::CloneValue(const ValueBase* pValue) const
{
    return pValue != nullptr ? pValue->Clone() : nullptr;
}

}
