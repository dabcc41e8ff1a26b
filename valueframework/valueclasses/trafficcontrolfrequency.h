#pragma once

#include "kvthost_export.h"

#include <QString>

namespace values
{

/// One traffic-control channel: frequency, channel identifier, alarm flag.
class KVTHOST_EXPORT TrafficControlFrequency
{
public:
    TrafficControlFrequency(double frequency = 0.0, quint32 channelId = 0, bool bAlarmChannel = false)
        : m_fFrequency(frequency)
        , m_nChannelID(channelId)
        , m_bAlarmChannel(bAlarmChannel)
    {
    }

    /// Hz.
    double GetFrequency() const { return m_fFrequency; }
    void SetFrequency(double frequency) { m_fFrequency = frequency; }
    quint32 GetChannelID() const { return m_nChannelID; }
    void SetChannelID(quint32 channelId) { m_nChannelID = channelId; }
    bool IsAlarmChannel() const { return m_bAlarmChannel; }
    void SetIsAlarmChannel(bool bAlarmChannel) { m_bAlarmChannel = bAlarmChannel; }

    bool operator==(const TrafficControlFrequency& other) const
    {
        return m_fFrequency == other.m_fFrequency && m_nChannelID == other.m_nChannelID &&
               m_bAlarmChannel == other.m_bAlarmChannel;
    }

    /// "frequency;channel;alarm" (frequency with 17 significant digits, alarm true/false).
    QString ToString() const;
    /// False, and `rValue` untouched, for text that ToString cannot have made.
    static bool FromString(const QString& text, TrafficControlFrequency& rValue);

private:
    double m_fFrequency;
    quint32 m_nChannelID;
    bool m_bAlarmChannel;
};

}
