#pragma once

#include "valueframework/valueclasses/value.h"

#include <limits>

namespace values
{

/// A number with a range and a step (int or double). SetValue keeps the value
/// inside [min, max] by clamping; the step is advisory (for editors) and is not
/// enforced. A new value has the full range of T and step 1.
template <class T>
class ValueNumeric : public Value<T>
{
public:
    explicit ValueNumeric(const QString& name = QString(), const T& value = T(),
                          T min = std::numeric_limits<T>::lowest(), T max = std::numeric_limits<T>::max(),
                          T step = T(1))
        : Value<T>(name, value)
        , m_min(min)
        , m_max(max)
        , m_step(step)
    {
    }
    ~ValueNumeric() override { this->AnnounceGone(); }

    T GetMin() const { return m_min; }
    T GetMax() const { return m_max; }
    T GetStep() const { return m_step; }

    /// Returns false, and stores the nearest bound, for a value outside the range.
    bool SetValue(const T& value, IObserver* pSender = nullptr) override
    {
        const T clamped = Clamp(value);
        Value<T>::SetValue(clamped, pSender);
        return clamped == value;
    }

    void SetMin(T min, IObserver* pSender = nullptr) { SetMinMax(min, m_max, m_step, pSender); }
    void SetMax(T max, IObserver* pSender = nullptr) { SetMinMax(m_min, max, m_step, pSender); }
    void SetStep(T step, IObserver* pSender = nullptr) { SetMinMax(m_min, m_max, step, pSender); }
    /// Sets the range; swapped bounds are put in order. A current value outside
    /// the new range is clamped. Observers are told once.
    void SetMinMax(T min, T max, T step, IObserver* pSender = nullptr)
    {
        m_min = min < max ? min : max;
        m_max = min < max ? max : min;
        m_step = step;
        this->m_value = Clamp(this->m_value);
        this->Changed(pSender);
    }

    std::unique_ptr<ValueBase> Clone() const override
    {
        auto pCopy = std::make_unique<ValueNumeric<T>>(this->GetName(), this->m_value, m_min, m_max, m_step);
        pCopy->SetValueDescriptor(this->GetValueDescriptor());
        return pCopy;
    }
    /// A numeric source also passes its range on; a plain Value<T> only its number.
    bool Assign(const ValueBase& other, IObserver* pSender = nullptr) override
    {
        if (const auto* pOther = dynamic_cast<const ValueNumeric<T>*>(&other))
        {
            m_min = pOther->m_min;
            m_max = pOther->m_max;
            m_step = pOther->m_step;
        }
        return Value<T>::Assign(other, pSender);
    }

private:
    T Clamp(T value) const { return value < m_min ? m_min : (m_max < value ? m_max : value); }

    T m_min;
    T m_max;
    T m_step;
};

}
