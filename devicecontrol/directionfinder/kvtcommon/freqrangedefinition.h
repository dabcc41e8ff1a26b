#pragma once

#include "devicecontrol/directionfinder/kvtcommon/alarmsettings.h"
#include "devicecontrol/directionfinder/kvtcommon/driverrecords.h"
#include "kvtcommon_export.h"

#include <QString>

namespace NxKVTCommon
{

/// One frequency range of a scan (start, step, stop, channel numbers, name) with the settings
/// records that apply to it. Its layout is part of the driver interface. Frequencies are in the
/// drivers' unit; this library only stores and copies them.
class KVTCOMMON_EXPORT FreqRangeDefinition
{
public:
    /// Index -1, frequencies 0, empty name, channels 0, records at their defaults, average time -1.
    FreqRangeDefinition();
    FreqRangeDefinition(const FreqRangeDefinition& other);
    FreqRangeDefinition& operator=(const FreqRangeDefinition& other);
    /// Copies everything except name and alarm settings, which keep their defaults.
    /// A null source yields a default range.
    explicit FreqRangeDefinition(const FreqRangeDefinition* pSource);

    qint32 GetIndex() const { return m_nIndex; }
    void SetIndex(qint32 nIndex) { m_nIndex = nIndex; }
    double GetStartFreq() const { return m_fStartFreq; }
    void SetStartFreq(double fStartFreq) { m_fStartFreq = fStartFreq; }
    double GetStepFreq() const { return m_fStepFreq; }
    void SetStepFreq(double fStepFreq) { m_fStepFreq = fStepFreq; }
    double GetStopFreq() const { return m_fStopFreq; }
    void SetStopFreq(double fStopFreq) { m_fStopFreq = fStopFreq; }
    QString GetName() const { return m_strName; }
    void SetName(const QString& strName) { m_strName = strName; }
    quint32 GetFirstChannel() const { return m_nFirstChannel; }
    void SetFirstChannel(quint32 nFirstChannel) { m_nFirstChannel = nFirstChannel; }
    quint32 GetLastChannel() const { return m_nLastChannel; }
    void SetLastChannel(quint32 nLastChannel) { m_nLastChannel = nLastChannel; }

    /// The settings getters hand out the stored record so that callers may change it in place.
    DFSettingsStruct& GetDFSettings() { return m_dfSettings; }
    const DFSettingsStruct& GetDFSettings() const { return m_dfSettings; }
    void SetDFSettings(const DFSettingsStruct& dfSettings) { m_dfSettings = dfSettings; }
    DEMSettingsStruct& GetDEMSettings() { return m_demSettings; }
    const DEMSettingsStruct& GetDEMSettings() const { return m_demSettings; }
    void SetDEMSettings(const DEMSettingsStruct& demSettings) { m_demSettings = demSettings; }
    FilterSettingsStruct& GetFilterSettings() { return m_filterSettings; }
    const FilterSettingsStruct& GetFilterSettings() const { return m_filterSettings; }
    void SetFilterSettings(const FilterSettingsStruct& filterSettings) { m_filterSettings = filterSettings; }
    AlarmSettings& GetAlarmSettings() { return m_alarmSettings; }
    const AlarmSettings& GetAlarmSettings() const { return m_alarmSettings; }
    void SetAlarmSettings(const AlarmSettings& alarmSettings) { m_alarmSettings = alarmSettings; }
    GainControlStruct& GetGainSettings() { return m_gainSettings; }
    const GainControlStruct& GetGainSettings() const { return m_gainSettings; }
    void SetGainSettings(const GainControlStruct& gainSettings) { m_gainSettings = gainSettings; }

    /// The threshold is the DF settings' threshold member, not a member of its own.
    qint32 GetThreshold() const { return m_dfSettings.m_nThreshold; }
    void SetThreshold(qint32 nThreshold) { m_dfSettings.m_nThreshold = nThreshold; }

    qint32 GetAverageTime() const { return m_nAverageTime; }
    void SetAverageTime(qint32 nAverageTime) { m_nAverageTime = nAverageTime; }

private:
    qint32 m_nIndex = -1;
    double m_fStartFreq = 0.0;
    double m_fStepFreq = 0.0;
    double m_fStopFreq = 0.0;
    QString m_strName;
    quint32 m_nFirstChannel = 0;
    quint32 m_nLastChannel = 0;
    DFSettingsStruct m_dfSettings;
    DEMSettingsStruct m_demSettings;
    FilterSettingsStruct m_filterSettings;
    AlarmSettings m_alarmSettings;
    GainControlStruct m_gainSettings;
    /// No natural default exists; -1 follows the records' "not set, driver decides" convention.
    qint32 m_nAverageTime = -1;
};

#if defined(__x86_64__) || defined(_M_X64)
static_assert(sizeof(FreqRangeDefinition) == 200 + sizeof(AlarmSettings) + sizeof(GainControlStruct) + 8,
              "FreqRangeDefinition layout");
#endif

} // namespace NxKVTCommon
