#include "valueframework/valueclasses/trafficcontrolfrequency.h"

#include "valueframework/valueclasses/value.h"

namespace values
{

QString TrafficControlFrequency::ToString() const
{
    return WriteFields(m_fFrequency, m_nChannelID, m_bAlarmChannel);
}

bool TrafficControlFrequency::FromString(const QString& text, TrafficControlFrequency& rValue)
{
    TrafficControlFrequency value;
    if (!ReadFields(text, value.m_fFrequency, value.m_nChannelID, value.m_bAlarmChannel))
        return false;
    rValue = value;
    return true;
}

}
