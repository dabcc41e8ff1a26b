#include "valueframework/valueclasses/trafficcontrolfrequency.h"

#include "valueframework/valueclasses/value.h"

#include <QStringList>

namespace values
{

QString TrafficControlFrequency::ToString() const
{
    return QStringList{ValueText<double>::ToString(m_fFrequency), QString::number(m_nChannelID),
                       ValueText<bool>::ToString(m_bAlarmChannel)}
        .join(QLatin1Char(';'));
}

bool TrafficControlFrequency::FromString(const QString& text, TrafficControlFrequency& rValue)
{
    const QStringList lstParts = text.split(QLatin1Char(';'));
    TrafficControlFrequency value;
    if (lstParts.size() != 3 || !ValueText<double>::FromString(lstParts[0], value.m_fFrequency) ||
        !ValueText<unsigned>::FromString(lstParts[1], value.m_nChannelID) ||
        !ValueText<bool>::FromString(lstParts[2], value.m_bAlarmChannel))
        return false;
    rValue = value;
    return true;
}

}
