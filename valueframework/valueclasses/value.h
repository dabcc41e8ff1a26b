#pragma once

#include "valueframework/valueclasses/valuebase.h"

#include <QString>
#include <QStringList>

#include <cmath>
#include <limits>
#include <memory>
#include <type_traits>
#include <utility>

namespace values
{

/// Text form of a value content. Record types provide `QString ToString() const`
/// and `static bool FromString(const QString&, T&)`; the basic types are
/// specialised below. FromString leaves `rValue` untouched when it fails.
template <class T, class Enable = void>
struct ValueText
{
    static QString ToString(const T& value) { return value.ToString(); }
    static bool FromString(const QString& text, T& rValue) { return T::FromString(text, rValue); }
};

template <>
struct ValueText<bool>
{
    static QString ToString(bool value) { return value ? QStringLiteral("true") : QStringLiteral("false"); }
    /// Accepts true/false (any case) and 1/0.
    static bool FromString(const QString& text, bool& rValue)
    {
        const QString t = text.trimmed().toLower();
        if (t == QLatin1String("true") || t == QLatin1String("1"))
            rValue = true;
        else if (t == QLatin1String("false") || t == QLatin1String("0"))
            rValue = false;
        else
            return false;
        return true;
    }
};

/// Integers in decimal; text outside the range of the type is refused.
template <class I>
struct ValueText<I, std::enable_if_t<std::is_integral<I>::value && !std::is_same<I, bool>::value>>
{
    static QString ToString(I value) { return QString::number(value); }
    static bool FromString(const QString& text, I& rValue)
    {
        bool bOk = false;
        if constexpr (std::is_signed<I>::value)
        {
            const qint64 n = text.trimmed().toLongLong(&bOk);
            bOk = bOk && n >= std::numeric_limits<I>::min() && n <= std::numeric_limits<I>::max();
            if (bOk)
                rValue = static_cast<I>(n);
        }
        else
        {
            const quint64 n = text.trimmed().toULongLong(&bOk);
            bOk = bOk && n <= std::numeric_limits<I>::max();
            if (bOk)
                rValue = static_cast<I>(n);
        }
        return bOk;
    }
};

/// Doubles with 17 significant digits, which read back to the same number;
/// Qt drops the sign of -0, so it is written by hand.
template <>
struct ValueText<double>
{
    static QString ToString(double value)
    {
        return value == 0.0 && std::signbit(value) ? QStringLiteral("-0") : QString::number(value, 'g', 17);
    }
    static bool FromString(const QString& text, double& rValue)
    {
        bool bOk = false;
        const double v = text.trimmed().toDouble(&bOk);
        if (bOk)
            rValue = v;
        return bOk;
    }
};

template <>
struct ValueText<QString>
{
    static QString ToString(const QString& value) { return value; }
    static bool FromString(const QString& text, QString& rValue)
    {
        rValue = text;
        return true;
    }
};

/// Text of a record: its fields' texts joined by ";".
template <class... F>
QString WriteFields(const F&... fields)
{
    return QStringList{ValueText<F>::ToString(fields)...}.join(QLatin1Char(';'));
}

/// Reads the fields that WriteFields wrote; false when the count of fields or
/// one of them does not fit. Fields read before a failure are overwritten, so
/// callers read into a scratch record.
template <class... F>
bool ReadFields(const QString& text, F&... rFields)
{
    const QStringList lstParts = text.split(QLatin1Char(';'));
    if (lstParts.size() != static_cast<int>(sizeof...(F)))
        return false;
    int index = 0;
    return (ValueText<F>::FromString(lstParts[index++], rFields) && ...);
}

/// A value holding one T. Instantiated for bool, int, unsigned, double,
/// QString, qint64 and the record types (BearingResult).
template <class T>
class Value : public ValueBase
{
public:
    explicit Value(const QString& name = QString(), const T& value = T())
        : ValueBase(name)
        , m_value(value)
    {
    }
    ~Value() override { AnnounceGone(); }

    const T& GetValue() const { return m_value; }
    /// Stores the value and tells every observer but `pSender`; a set is an
    /// event, so the observers are told even when the content is unchanged.
    /// Returns false when the value was adjusted (see ValueNumeric).
    virtual bool SetValue(const T& value, IObserver* pSender = nullptr)
    {
        m_value = value;
        Changed(pSender);
        return true;
    }

    QString GetStringValue() const override { return ValueText<T>::ToString(m_value); }
    bool SetStringValue(const QString& text, IObserver* pSender = nullptr) override
    {
        T value = m_value;
        if (!ValueText<T>::FromString(text, value))
            return false;
        SetValue(value, pSender);
        return true;
    }

    std::unique_ptr<ValueBase> Clone() const override
    {
        auto pCopy = std::make_unique<Value<T>>(GetName(), m_value);
        pCopy->SetValueDescriptor(GetValueDescriptor());
        return pCopy;
    }
    bool Assign(const ValueBase& other, IObserver* pSender = nullptr) override
    {
        const auto* pOther = dynamic_cast<const Value<T>*>(&other);
        if (pOther == nullptr)
            return false;
        SetValue(pOther->m_value, pSender);
        return true;
    }

protected:
    T m_value;
};

}
