#pragma once

#include "devicecontrol/directionfinder/kvtcommon/driverpassthroughrecords.h"
#include "devicecontrol/directionfinder/kvtcommon/driverrecords.h"
#include "kvtcommon_export.h"

#include <QList>
#include <QObject>
#include <QString>

#include <string>

namespace NxKVTCommon
{

class FreqRangeDefinition;
class IDriverCallback;

/// The application's interface to one DF device driver. The virtual operations follow QObject's
/// own in slot order; separately built driver modules depend on that order, so never reorder,
/// insert or remove any (the two reserved operations only keep their slots and do
/// nothing). Status results are the driver's signed 32-bit codes. Operations with a body here are
/// optional for drivers; all others must be implemented.
class KVTCOMMON_EXPORT IDriver : public QObject
{
    Q_OBJECT

public:
    IDriver();
    ~IDriver() override;

    virtual void SetCallback(IDriverCallback* pCallback) = 0;
    virtual qint32 Initialize(std::string& strParameters, bool bSimulation) = 0;
    virtual void GetGPSBuffer(GPSStruct& gps) = 0;
    virtual QString GetLastError() = 0;
    virtual void ClearLastError() = 0;
    virtual qint32 SetMode(EMode eMode) = 0;
    virtual qint32 Reset() = 0;
    virtual qint32 Calibrate(quint32 nType) = 0;
    virtual qint32 BIT(qint32& nResult, bool bExtended, bool bReport) = 0;
    virtual qint32 SetTest(QString strTest) = 0;
    virtual qint32 SetRfAttenuator(quint32 nAntenna, qint32 nAttenuation) = 0;
    virtual qint32 SetFrequency(double fFrequency) = 0;
    virtual qint32 SetGainControl(GainControlStruct gainControl) = 0;
    virtual qint32 SetFilterSettings(FilterSettingsStruct filterSettings) = 0;
    virtual qint32 SetFilterSettings(FreqRangeDefinition* pRange) = 0;
    virtual qint32 SetAverageTime(double fAverageTime) = 0;
    virtual qint32 ResetAverage() = 0;
    virtual qint32 AddFreqRange(FreqRangeDefinition* pRange) = 0;
    virtual qint32 SetGPSTimeUsage(bool bUse) = 0;
    virtual qint32 GetGPSTimeUsage(bool& bUse) = 0;
    virtual qint32 SetAntennaSetup(AntennaSetupStruct antennaSetup) = 0;
    virtual qint32 SetConverterSetup(ConverterSetupStruct converterSetup) = 0;
    virtual qint32 ReadCompass(quint32 nCompass, quint32& nValue) = 0;
    virtual qint32 SetAudioVolume(qint32 nVolume) = 0;
    virtual qint32 SetExternalReference(bool bExternal) = 0;
    virtual qint32 SetHoldTime(qint32 nHoldTime, qint32 nDwellTime, qint32 nRevisitTime) = 0;
    virtual qint32 SearchHold() = 0;
    virtual qint32 SearchContinue(quint32 nChannel) = 0;
    /// Reserved slot; does nothing.
    virtual void ReservedOperation29();
    virtual qint32 GetFrequency(double& fFrequency) = 0;
    virtual qint32 GetGainControl(GainControlStruct& gainControl) = 0;
    virtual qint32 GetMeasureSettings(double& fFrequency, DFSettingsStruct& dfSettings,
                                      DEMSettingsStruct& demSettings) = 0;
    virtual qint32 GetFilterSettings(FilterSettingsStruct& filterSettings) = 0;
    virtual qint32 GetAverageTime(double& fAverageTime) = 0;
    virtual qint32 GetAntennaProperty(quint32 nAntenna, AntennaPropertyStruct& property,
                                      AntennaSubRangeStruct& subRange, qint32& nSubRangeIndex) = 0;
    virtual qint32 GetAntennaSetup(quint32 nAntenna, AntennaSetupStruct& antennaSetup) = 0;
    virtual qint32 GetConverterProperty(quint32 nConverter, ConverterSetupStruct& converter) = 0;
    virtual qint32 GetConverterSetup(quint32 nConverter, ConverterSetupStruct& converter) = 0;
    virtual qint32 GetCompassProperty(quint32 nCompass, CompassPropertyStruct& property) = 0;
    virtual qint32 AlterMeasureSetting(double fFrequency, DFSettingsStruct dfSettings,
                                       DEMSettingsStruct demSettings) = 0;
    virtual qint32 AlterMeasureSetting(FreqRangeDefinition* pRange) = 0;
    virtual qint32 DeleteAllChannels() = 0;
    virtual qint32 SetSkip(qint32 nFirstChannel, qint32 nLastChannel, bool bSkip) = 0;
    virtual void SetSimulationScan(quint32 nStart, quint32 nStop, quint32 nStep, qint32 nLevel, qint32 nNoise,
                                   quint32 nRangeCount, ChannelRangeStruct* pRanges) = 0;
    /// Optional; does nothing.
    virtual void SetAudioFormat(qint32 nSampleRate, qint32 nBitsPerSample, qint32 nChannels);
    virtual qint32 GetMaxChannelCount(EMode eMode) = 0;
    /// Optional; returns false (no data started).
    virtual bool StartDRData(bool bStart, qint32 nInterval);
    virtual qint32 SetSRNumOfEmitters(bool bAutomatic, qint32 nEmitters) = 0;
    virtual qint32 SetScanAveraging(quint32 nScans) = 0;
    virtual qint32 GetReadCount() = 0;
    /// Optional; returns 0.
    virtual qint32 GetBufferCount();
    /// Optional; returns 0.
    virtual qint32 RestartMassData();
    virtual qint32 RequestHWStatus(QList<ComponentInfo*>* pComponents) = 0;
    virtual qint32 GetSweepTime(qint32& nSweepTime) = 0;
    virtual qint32 SetSyncTimes(quint64& nTime, qint32 nOffset) = 0;
    virtual qint32 GetKVTTime(quint64& nTime) = 0;
    virtual qint32 SetGSMSetting(double fFrequency, FreqRangeDefinition* pRange, GSMSettingsStruct& gsmSettings) = 0;
    virtual qint32 FcbSynch() = 0;
    virtual void EnableTimeSync(bool bEnable) = 0;
    virtual qint32 SendCompassCommand(quint32 nCompass, const QString& strCommand, QString& strAnswer) = 0;
    /// Optional; returns -1 (not supported).
    virtual qint32 SetSyncTrigger(bool bEnable);
    virtual qint32 SetCompassValue(quint32 nValue) = 0;
    /// Optional; returns -1 (not supported).
    virtual qint32 GetSyncMissedCount() const;
    /// Reserved slot; does nothing.
    virtual void ReservedOperation64();
};

} // namespace NxKVTCommon
