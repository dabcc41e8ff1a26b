#include "valueframework/valueclasses/quadfloat.h"

#include "valueframework/valueclasses/value.h"

#include <QStringList>

namespace values
{

QString QuadFloat::ToString() const
{
    return QStringList{ValueText<double>::ToString(m_f1), ValueText<double>::ToString(m_f2),
                       ValueText<double>::ToString(m_f3), ValueText<double>::ToString(m_f4)}
        .join(QLatin1Char(';'));
}

bool QuadFloat::FromString(const QString& text, QuadFloat& rValue)
{
    const QStringList lstParts = text.split(QLatin1Char(';'));
    QuadFloat value;
    if (lstParts.size() != 4 || !ValueText<double>::FromString(lstParts[0], value.m_f1) ||
        !ValueText<double>::FromString(lstParts[1], value.m_f2) ||
        !ValueText<double>::FromString(lstParts[2], value.m_f3) ||
        !ValueText<double>::FromString(lstParts[3], value.m_f4))
        return false;
    rValue = value;
    return true;
}

}
