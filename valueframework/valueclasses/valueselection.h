#pragma once

#include "valueframework/valueclasses/selectionitem.h"
#include "valueframework/valueclasses/valuebase.h"

#include <memory>
#include <vector>

namespace values
{

/// A choice among an ordered list of items, with a current item (or none).
///
/// The text form is the current item's name (empty with none); setting the
/// text selects the first item of that name, the empty text selects none.
/// The first item added to a selection without a current item becomes current.
/// Every change tells the observers with ChangeCode::ValueChanged.
class KVTHOST_EXPORT ValueSelection : public ValueBase
{
public:
    explicit ValueSelection(const QString& name = QString());
    ~ValueSelection() override;

    int GetItemCount() const { return static_cast<int>(m_lstItems.size()); }
    /// Null for an index outside [0, GetItemCount()); valid until the items change.
    const SelectionItem* GetItem(int index) const;
    /// Index of the first item with this key / name, or -1.
    int FindKey(int key) const;
    int FindName(const QString& name) const;

    /// Appends an item; the selection owns it. Null is refused (false).
    bool AddItem(std::unique_ptr<SelectionItem> pItem, IObserver* pSender = nullptr);
    void AddItem(const QString& name, double value, int key, IObserver* pSender = nullptr);
    /// Removes every item; nothing is current afterwards.
    void RemoveAllItems(IObserver* pSender = nullptr);

    /// -1 when nothing is current.
    int GetCurrentIndex() const { return m_nCurrentIndex; }
    /// Null when nothing is current.
    const SelectionItem* GetCurrentItem() const { return GetItem(m_nCurrentIndex); }
    /// Key of the current item; -1 when nothing is current.
    int GetCurrentKey() const;
    /// Name of the current item; empty when nothing is current.
    QString GetCurrentText() const;
    /// Value of the current item; 0.0 when nothing is current.
    double GetCurrentValue() const;

    /// Each returns false, and leaves the current item, when no item matches.
    /// SetCurrentIndex(-1) selects none.
    bool SetCurrentIndex(int index, IObserver* pSender = nullptr);
    bool SetCurrentKey(int key, IObserver* pSender = nullptr);
    bool SetCurrentText(const QString& name, IObserver* pSender = nullptr);

    QString GetStringValue() const override;
    bool SetStringValue(const QString& text, IObserver* pSender = nullptr) override;
    std::unique_ptr<ValueBase> Clone() const override;
    /// Takes over items and current item of another selection.
    bool Assign(const ValueBase& other, IObserver* pSender = nullptr) override;

private:
    std::vector<SelectionItem> m_lstItems;
    int m_nCurrentIndex = -1;
};

}
