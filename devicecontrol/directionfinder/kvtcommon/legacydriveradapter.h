#pragma once

#include "devicecontrol/directionfinder/kvtcommon/idriver.h"
#include "devicecontrol/directionfinder/kvtcommon/idrivercallback.h"
#include "devicecontrol/directionfinder/kvtcommon/ilegacydriver.h"
#include "devicecontrol/directionfinder/kvtcommon/ilegacydrivercallback.h"
#include "kvtcommon_export.h"

namespace NxKVTCommon
{

/// Serves an ILegacyDriver as an IDriver and passes the legacy driver's reports on to the
/// application's IDriverCallback. Every operation reaches its counterpart with the same arguments
/// and returns the counterpart's result unchanged; records taken by value are handed on as copies.
///
/// Owns neither the legacy driver nor the callback. Operations without a result do nothing while
/// their target is not set. Operations with a result need their target: while it is missing they
/// return STATUS_NOT_CONNECTED, false or an empty string instead of crashing.
///
/// Use: SetLegacyDriver(), IDriver::SetCallback(), register the adapter with the legacy driver as
/// its ILegacyDriverCallback, then use the adapter as the device's IDriver. Takes no locks; set
/// both pointers before use and do not change them while calls are under way. Callbacks run on
/// the legacy driver's thread.
class KVTCOMMON_EXPORT LegacyDriverAdapter : public IDriver, public ILegacyDriverCallback
{
    Q_OBJECT

public:
    /// Returned by operations with a status result while no legacy driver is set.
    static constexpr qint32 STATUS_NOT_CONNECTED = -1;

    LegacyDriverAdapter();
    ~LegacyDriverAdapter() override;

    /// Borrowed; may be null (the adapter then does nothing, see above).
    void SetLegacyDriver(ILegacyDriver* pLegacyDriver);

protected:
    void SetCallback(IDriverCallback* pCallback) override;
    qint32 Initialize(std::string& strParameters, bool bSimulation) override;
    void GetGPSBuffer(GPSStruct& gps) override;
    QString GetLastError() override;
    void ClearLastError() override;
    qint32 SetMode(EMode eMode) override;
    qint32 Reset() override;
    qint32 Calibrate(quint32 nType) override;
    qint32 BIT(qint32& nResult, bool bExtended, bool bReport) override;
    qint32 SetTest(QString strTest) override;
    qint32 SetRfAttenuator(quint32 nAntenna, qint32 nAttenuation) override;
    qint32 SetFrequency(double fFrequency) override;
    qint32 SetGainControl(GainControlStruct gainControl) override;
    qint32 SetFilterSettings(FilterSettingsStruct filterSettings) override;
    qint32 SetFilterSettings(FreqRangeDefinition* pRange) override;
    qint32 SetAverageTime(double fAverageTime) override;
    qint32 ResetAverage() override;
    qint32 AddFreqRange(FreqRangeDefinition* pRange) override;
    qint32 SetGPSTimeUsage(bool bUse) override;
    qint32 GetGPSTimeUsage(bool& bUse) override;
    qint32 SetAntennaSetup(AntennaSetupStruct antennaSetup) override;
    qint32 SetConverterSetup(ConverterSetupStruct converterSetup) override;
    qint32 ReadCompass(quint32 nCompass, quint32& nValue) override;
    qint32 SetAudioVolume(qint32 nVolume) override;
    qint32 SetExternalReference(bool bExternal) override;
    qint32 SetHoldTime(qint32 nHoldTime, qint32 nDwellTime, qint32 nRevisitTime) override;
    qint32 SearchHold() override;
    qint32 SearchContinue(quint32 nChannel) override;
    qint32 GetFrequency(double& fFrequency) override;
    qint32 GetGainControl(GainControlStruct& gainControl) override;
    qint32 GetMeasureSettings(double& fFrequency, DFSettingsStruct& dfSettings,
                              DEMSettingsStruct& demSettings) override;
    qint32 GetFilterSettings(FilterSettingsStruct& filterSettings) override;
    qint32 GetAverageTime(double& fAverageTime) override;
    qint32 GetAntennaProperty(quint32 nAntenna, AntennaPropertyStruct& property, AntennaSubRangeStruct& subRange,
                              qint32& nSubRangeIndex) override;
    qint32 GetAntennaSetup(quint32 nAntenna, AntennaSetupStruct& antennaSetup) override;
    qint32 GetConverterProperty(quint32 nConverter, ConverterSetupStruct& converter) override;
    qint32 GetConverterSetup(quint32 nConverter, ConverterSetupStruct& converter) override;
    qint32 GetCompassProperty(quint32 nCompass, CompassPropertyStruct& property) override;
    qint32 AlterMeasureSetting(double fFrequency, DFSettingsStruct dfSettings, DEMSettingsStruct demSettings) override;
    qint32 AlterMeasureSetting(FreqRangeDefinition* pRange) override;
    qint32 DeleteAllChannels() override;
    qint32 SetSkip(qint32 nFirstChannel, qint32 nLastChannel, bool bSkip) override;
    void SetSimulationScan(quint32 nStart, quint32 nStop, quint32 nStep, qint32 nLevel, qint32 nNoise,
                           quint32 nRangeCount, ChannelRangeStruct* pRanges) override;
    void SetAudioFormat(qint32 nSampleRate, qint32 nBitsPerSample, qint32 nChannels) override;
    qint32 GetMaxChannelCount(EMode eMode) override;
    bool StartDRData(bool bStart, qint32 nInterval) override;
    qint32 SetSRNumOfEmitters(bool bAutomatic, qint32 nEmitters) override;
    qint32 SetScanAveraging(quint32 nScans) override;
    qint32 GetReadCount() override;
    qint32 GetBufferCount() override;
    qint32 RestartMassData() override;
    qint32 RequestHWStatus(QList<ComponentInfo*>* pComponents) override;
    qint32 GetSweepTime(qint32& nSweepTime) override;
    qint32 SetSyncTimes(quint64& nTime, qint32 nOffset) override;
    qint32 GetKVTTime(quint64& nTime) override;
    qint32 SetGSMSetting(double fFrequency, FreqRangeDefinition* pRange, GSMSettingsStruct& gsmSettings) override;
    qint32 FcbSynch() override;
    void EnableTimeSync(bool bEnable) override;
    qint32 SendCompassCommand(quint32 nCompass, const QString& strCommand, QString& strAnswer) override;
    qint32 SetSyncTrigger(bool bEnable) override;
    qint32 SetCompassValue(quint32 nValue) override;
    qint32 GetSyncMissedCount() const override;

    void fillTDMABuffer(qint32 nStatus, quint64& nTimeStamp, quint32 nChannel, quint32 nCount,
                        values::Bearing* pBearings, StatusStruct& status) override;
    void fillScanBuffer(qint32 nStatus, quint64& nTimeStamp, quint32 nChannel, quint32 nCount,
                        values::Bearing* pBearings, StatusStruct& status) override;
    void fillFFMBuffer(const FFMData& data, StatusStruct& status, bool bLast) override;
    void fillFFMSRBuffer(SuperResolutionStruct& data, StatusStruct& status) override;
    void fillSpectrumBuffer(const qint16* pSpectrum, qint32 nCount) override;
    void fillSRSpectrumBuffer(qint16* pSpectrum, qint32 nCount, quint64& nTimeStamp) override;
    void fillTestValuesBuffer(double* pValues, quint16 nCount) override;
    void fillAudioBuffer(void* pData, quint32 nSize) override;
    void fillAudioBufferTime(void* pData, quint32 nSize) override;
    void fillAudioFormat(void* pFormat, quint32 nSize) override;
    void fillAudioLevel(double fLevel) override;
    void fillGPSData(double fLatitude, double fLongitude, quint64 nTime, bool bValid, qint32 nSatellites,
                     qint32 nQuality) override;
    void reportError(ErrorStruct& error) override;
    void InitSimulation(INITStruct& init, quint32 nRangeCount, ChannelRangeStruct* pRanges) override;
    void setSearchFrequency(double fFrequency) override;
    void getOperateMode(EMode& eMode) override;
    void ReportBITResult(ErrorStruct& result) override;
    void SetCommandLog(QString& strCommand) override;
    QString GetDevAddress() override;
    void CloseDataLink() override;
    void SetEndOfScan(bool bEnd) override;
    void fillSyncTimestamp(qint64 nTimeStamp) override;

private:
    IDriverCallback* m_pCallback = nullptr;
    ILegacyDriver* m_pLegacyDriver = nullptr;
};

} // namespace NxKVTCommon
