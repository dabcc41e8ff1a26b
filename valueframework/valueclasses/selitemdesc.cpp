#include "valueframework/valueclasses/selitemdesc.h"

#include "valueframework/valueclasses/valueselection.h"

namespace values
{

int SelItemDesc::AddItems(const SelItemDesc* array, int count, ValueSelection* pSelection, IObserver* pSender)
{
    if (array == nullptr || pSelection == nullptr)
        return 0;
    int nAdded = 0;
    for (; nAdded < count; ++nAdded)
    {
        const SelItemDesc& desc = array[nAdded];
        pSelection->AddItem(QString::fromUtf8(desc.pszName), desc.fValue, desc.nKey, pSender);
    }
    return nAdded;
}

}
