#include "valueframework/valueclasses/quadfloat.h"

#include "valueframework/valueclasses/value.h"

namespace values
{

QString QuadFloat::ToString() const
{
    return WriteFields(m_f1, m_f2, m_f3, m_f4);
}

bool QuadFloat::FromString(const QString& text, QuadFloat& rValue)
{
    QuadFloat value;
    if (!ReadFields(text, value.m_f1, value.m_f2, value.m_f3, value.m_f4))
        return false;
    rValue = value;
    return true;
}

}
