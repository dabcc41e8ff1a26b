#include "valueframework/valueclasses/valueselection.h"

namespace values
{

ValueSelection::ValueSelection(const QString& name)
    : ValueBase(name)
{
}

ValueSelection::~ValueSelection()
{
    AnnounceGone();
}

const SelectionItem* ValueSelection::GetItem(int index) const
{
    return index >= 0 && index < GetItemCount() ? &m_lstItems[static_cast<size_t>(index)] : nullptr;
}

int ValueSelection::FindKey(int key) const
{
    for (int i = 0; i < GetItemCount(); ++i)
    {
        if (m_lstItems[static_cast<size_t>(i)].GetKey() == key)
            return i;
    }
    return -1;
}

int ValueSelection::FindName(const QString& name) const
{
    for (int i = 0; i < GetItemCount(); ++i)
    {
        if (m_lstItems[static_cast<size_t>(i)].GetName() == name)
            return i;
    }
    return -1;
}

bool ValueSelection::AddItem(std::unique_ptr<SelectionItem> pItem, IObserver* pSender)
{
    if (pItem == nullptr)
        return false;
    m_lstItems.push_back(std::move(*pItem));
    if (m_nCurrentIndex < 0)
        m_nCurrentIndex = 0;
    Changed(pSender);
    return true;
}

void ValueSelection::AddItem(const QString& name, double value, int key, IObserver* pSender)
{
    AddItem(std::make_unique<SelectionItem>(name, value, key), pSender);
}

void ValueSelection::RemoveAllItems(IObserver* pSender)
{
    m_lstItems.clear();
    m_nCurrentIndex = -1;
    Changed(pSender);
}

int ValueSelection::GetCurrentKey() const
{
    const SelectionItem* pItem = GetCurrentItem();
    return pItem != nullptr ? pItem->GetKey() : -1;
}

QString ValueSelection::GetCurrentText() const
{
    const SelectionItem* pItem = GetCurrentItem();
    return pItem != nullptr ? pItem->GetName() : QString();
}

double ValueSelection::GetCurrentValue() const
{
    const SelectionItem* pItem = GetCurrentItem();
    return pItem != nullptr ? pItem->GetValue() : 0.0;
}

bool ValueSelection::SetCurrentIndex(int index, IObserver* pSender)
{
    if (index < -1 || index >= GetItemCount())
        return false;
    m_nCurrentIndex = index;
    Changed(pSender);
    return true;
}

bool ValueSelection::SetCurrentKey(int key, IObserver* pSender)
{
    const int index = FindKey(key);
    return index >= 0 && SetCurrentIndex(index, pSender);
}

bool ValueSelection::SetCurrentText(const QString& name, IObserver* pSender)
{
    const int index = FindName(name);
    return index >= 0 && SetCurrentIndex(index, pSender);
}

QString ValueSelection::GetStringValue() const
{
    return GetCurrentText();
}

bool ValueSelection::SetStringValue(const QString& text, IObserver* pSender)
{
    return text.isEmpty() ? SetCurrentIndex(-1, pSender) : SetCurrentText(text, pSender);
}

std::unique_ptr<ValueBase> ValueSelection::Clone() const
{
    auto pCopy = std::make_unique<ValueSelection>(GetName());
    pCopy->SetValueDescriptor(GetValueDescriptor());
    pCopy->m_lstItems = m_lstItems;
    pCopy->m_nCurrentIndex = m_nCurrentIndex;
    return pCopy;
}

bool ValueSelection::Assign(const ValueBase& other, IObserver* pSender)
{
    const auto* pOther = dynamic_cast<const ValueSelection*>(&other);
    if (pOther == nullptr)
        return false;
    if (pOther != this)
    {
        m_lstItems = pOther->m_lstItems;
        m_nCurrentIndex = pOther->m_nCurrentIndex;
    }
    Changed(pSender);
    return true;
}

}
