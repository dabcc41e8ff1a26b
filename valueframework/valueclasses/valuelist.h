#pragma once

#include "valueframework/valueclasses/value.h"

#include <QStringList>

#include <memory>
#include <vector>

namespace values
{

/// A list of T with a read cursor.
///
/// Iteration: ToBegin() puts the cursor before the first entry; each Next()
/// moves to the next entry and returns it (null past the end); IsLast() tells
/// whether the cursor stands on the last entry. Changing the list resets the
/// cursor. Pointers returned by Next() are borrowed until the next change.
///
/// Text form: the entry count, then every entry's text after a "|", with "\"
/// and "|" inside entries escaped by "\"; it reads back to the same list.
template <class T>
class ValueList : public ValueBase
{
public:
    explicit ValueList(const QString& name = QString())
        : ValueBase(name)
    {
    }
    ~ValueList() override { AnnounceGone(); }

    int Size() const { return static_cast<int>(m_lstItems.size()); }
    bool Empty() const { return m_lstItems.empty(); }
    /// A copy of the entry; a default T for an index outside the list.
    T At(int index) const { return index >= 0 && index < Size() ? m_lstItems[index] : T(); }
    const std::vector<T>& GetItems() const { return m_lstItems; }

    void PushBack(const T& item, IObserver* pSender = nullptr)
    {
        m_lstItems.push_back(item);
        ListChanged(pSender);
    }
    /// False for an index outside the list.
    bool SetAt(int index, const T& item, IObserver* pSender = nullptr)
    {
        if (index < 0 || index >= Size())
            return false;
        m_lstItems[index] = item;
        ListChanged(pSender);
        return true;
    }
    /// False for an index outside the list.
    bool RemoveAt(int index, IObserver* pSender = nullptr)
    {
        if (index < 0 || index >= Size())
            return false;
        m_lstItems.erase(m_lstItems.begin() + index);
        ListChanged(pSender);
        return true;
    }
    void Clear(IObserver* pSender = nullptr)
    {
        m_lstItems.clear();
        ListChanged(pSender);
    }

    void ToBegin() { m_nCursor = -1; }
    const T* Next()
    {
        if (m_nCursor + 1 >= Size())
        {
            m_nCursor = Size();
            return nullptr;
        }
        return &m_lstItems[++m_nCursor];
    }
    bool IsLast() const { return !m_lstItems.empty() && m_nCursor == Size() - 1; }

    QString GetStringValue() const override
    {
        QString text = QString::number(Size());
        for (const T& item : m_lstItems)
            text += QLatin1Char('|') + Escape(ValueText<T>::ToString(item));
        return text;
    }
    bool SetStringValue(const QString& text, IObserver* pSender = nullptr) override
    {
        const QStringList parts = SplitEscaped(text);
        bool bOk = false;
        const int count = parts.value(0).toInt(&bOk);
        if (!bOk || count != parts.size() - 1)
            return false;
        std::vector<T> items(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i)
        {
            if (!ValueText<T>::FromString(parts[i + 1], items[static_cast<size_t>(i)]))
                return false;
        }
        m_lstItems.swap(items);
        ListChanged(pSender);
        return true;
    }

    std::unique_ptr<ValueBase> Clone() const override
    {
        auto pCopy = std::make_unique<ValueList<T>>(GetName());
        pCopy->SetValueDescriptor(GetValueDescriptor());
        pCopy->m_lstItems = m_lstItems;
        return pCopy;
    }
    bool Assign(const ValueBase& other, IObserver* pSender = nullptr) override
    {
        const auto* pOther = dynamic_cast<const ValueList<T>*>(&other);
        if (pOther == nullptr)
            return false;
        if (pOther != this)
            m_lstItems = pOther->m_lstItems;
        ListChanged(pSender);
        return true;
    }

private:
    void ListChanged(IObserver* pSender)
    {
        m_nCursor = -1;
        Changed(pSender);
    }

    static QString Escape(QString text)
    {
        text.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
        text.replace(QLatin1Char('|'), QLatin1String("\\|"));
        return text;
    }
    /// Splits at unescaped "|" and removes the escapes.
    static QStringList SplitEscaped(const QString& text)
    {
        QStringList parts(QString{});
        for (int i = 0; i < text.size(); ++i)
        {
            const QChar c = text[i];
            if (c == QLatin1Char('\\') && i + 1 < text.size())
                parts.last() += text[++i];
            else if (c == QLatin1Char('|'))
                parts.append(QString{});
            else
                parts.last() += c;
        }
        return parts;
    }

    std::vector<T> m_lstItems;
    int m_nCursor = -1;
};

}
