#pragma once

#include "devicecontrol/directionfinder/kvtcommon/ilegacydriver.h"
#include "simulation/emitterstate.h"
#include "valueframework/valueclasses/bearing.h"

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

class SimulationRandom;

/// A direction finder that exists only in software, written against the
/// legacy driver interface as an older driver would be. It measures the
/// emitters it is shown with realistic noise: in fixed-frequency mode one
/// result of the emitter on the tuned frequency per measurement, in scan mode
/// one block with a bearing of every emitter inside the scan ranges.
///
/// Like the real device it drops bearings outside its accepted sectors (the
/// mast shadows the rest) and, while its data link is slow (SetReducedData),
/// leaves the quality of weak bearings out (0) to save bandwidth. Every
/// command it is given is reported to the callback's command log, as a real
/// driver reports what it sends to the device.
///
/// Operations the station does not need answer success and do nothing.
/// Single-threaded: results are reported from inside Measure().
class SimulatedLegacyDriver final : public NxKVTCommon::ILegacyDriver
{
public:
    /// (from, to) in degrees; a pair with from > to wraps through 0.
    using Sector = std::pair<double, double>;

    /// The measurement bandwidth in Hz: an emitter within half of it from the tuned frequency is measured.
    static constexpr double BANDWIDTH_HZ = 25000.0;

    explicit SimulatedLegacyDriver(SimulationRandom& random);

    /// Where the device accepts bearings.
    static std::vector<Sector> AcceptedSectors();
    /// The components the device reports on a status request.
    static QStringList ComponentNames();

    /// One measurement at the simulated time (ms since 1970, UTC) of the
    /// emitters as they are now; the results go to the registered callback.
    void Measure(quint64 nTimeMs, const std::vector<EmitterState>& emitters);
    void SetReducedData(bool bReduced) { m_bReducedData = bReduced; }
    /// A fixed standard deviation of the bearings in degrees, as a rated
    /// device has; 0 (the default) lets the spread follow quality and elevation.
    void SetSpread(double fSigma) { m_fSpread = fSigma; }

    void SetLegacyCallback(NxKVTCommon::ILegacyDriverCallback* pCallback) override;
    void Release() override;
    qint32 Initialize(std::string& strParameters, bool bSimulation) override;
    void GetGPSBuffer(NxKVTCommon::GPSStruct& gps) override;
    QString GetLastError() override;
    void ClearLastError() override;
    qint32 SetMode(EMode eMode) override;
    qint32 Reset() override;
    qint32 Calibrate(quint32 nType) override;
    qint32 BIT(qint32& nResult, bool bExtended, bool bReport) override;
    qint32 SetTest(QString strTest) override;
    qint32 SetRfAttenuator(quint32 nAntenna, qint32 nAttenuation) override;
    qint32 SetFrequency(double fFrequency) override;
    qint32 SetGainControl(NxKVTCommon::GainControlStruct gainControl) override;
    qint32 SetFilterSettings(NxKVTCommon::FilterSettingsStruct filterSettings) override;
    qint32 SetFilterSettings(NxKVTCommon::FreqRangeDefinition* pRange) override;
    qint32 SetAverageTime(double fAverageTime) override;
    qint32 ResetAverage() override;
    qint32 AddFreqRange(NxKVTCommon::FreqRangeDefinition* pRange) override;
    qint32 SetGPSTimeUsage(bool bUse) override;
    qint32 GetGPSTimeUsage(bool& bUse) override;
    qint32 SetAntennaSetup(NxKVTCommon::AntennaSetupStruct antennaSetup) override;
    qint32 SetConverterSetup(NxKVTCommon::ConverterSetupStruct converterSetup) override;
    qint32 ReadCompass(quint32 nCompass, quint32& nValue) override;
    qint32 SetAudioVolume(qint32 nVolume) override;
    qint32 SetExternalReference(bool bExternal) override;
    qint32 SetHoldTime(qint32 nHoldTime, qint32 nDwellTime, qint32 nRevisitTime) override;
    qint32 SearchHold() override;
    qint32 SearchContinue(quint32 nChannel) override;
    qint32 GetFrequency(double& fFrequency) override;
    qint32 GetGainControl(NxKVTCommon::GainControlStruct& gainControl) override;
    qint32 GetMeasureSettings(double& fFrequency, NxKVTCommon::DFSettingsStruct& dfSettings,
                              NxKVTCommon::DEMSettingsStruct& demSettings) override;
    qint32 GetFilterSettings(NxKVTCommon::FilterSettingsStruct& filterSettings) override;
    qint32 GetAverageTime(double& fAverageTime) override;
    qint32 GetAntennaProperty(quint32 nAntenna, NxKVTCommon::AntennaPropertyStruct& property,
                              NxKVTCommon::AntennaSubRangeStruct& subRange, qint32& nSubRangeIndex) override;
    qint32 GetAntennaSetup(quint32 nAntenna, NxKVTCommon::AntennaSetupStruct& antennaSetup) override;
    qint32 GetConverterProperty(quint32 nConverter, NxKVTCommon::ConverterSetupStruct& converter) override;
    qint32 GetConverterSetup(quint32 nConverter, NxKVTCommon::ConverterSetupStruct& converter) override;
    qint32 GetCompassProperty(quint32 nCompass, NxKVTCommon::CompassPropertyStruct& property) override;
    qint32 AlterMeasureSetting(double fFrequency, NxKVTCommon::DFSettingsStruct dfSettings,
                               NxKVTCommon::DEMSettingsStruct demSettings) override;
    qint32 AlterMeasureSetting(NxKVTCommon::FreqRangeDefinition* pRange) override;
    qint32 DeleteAllChannels() override;
    qint32 SetSkip(qint32 nFirstChannel, qint32 nLastChannel, bool bSkip) override;
    void SetSimulationScan(quint32 nStart, quint32 nStop, quint32 nStep, qint32 nLevel, qint32 nNoise,
                           quint32 nRangeCount, NxKVTCommon::ChannelRangeStruct* pRanges) override;
    void SetAudioFormat(qint32 nSampleRate, qint32 nBitsPerSample, qint32 nChannels) override;
    qint32 GetMaxChannelCount(EMode eMode) override;
    bool StartDRData(bool bStart, qint32 nInterval) override;
    qint32 SetSRNumOfEmitters(bool bAutomatic, qint32 nEmitters) override;
    qint32 SetScanAveraging(quint32 nScans) override;
    qint32 GetReadCount() override;
    qint32 GetBufferCount() override;
    qint32 RestartMassData() override;
    qint32 RequestHWStatus(QList<NxKVTCommon::ComponentInfo*>* pComponents) override;
    qint32 GetSweepTime(qint32& nSweepTime) override;
    qint32 SetSyncTimes(quint64& nTime, qint32 nOffset) override;
    qint32 GetKVTTime(quint64& nTime) override;
    qint32 SetGSMSetting(double fFrequency, NxKVTCommon::FreqRangeDefinition* pRange,
                         NxKVTCommon::GSMSettingsStruct& gsmSettings) override;
    qint32 FcbSynch() override;
    void EnableTimeSync(bool bEnable) override;
    qint32 SendCompassCommand(quint32 nCompass, const QString& strCommand, QString& strAnswer) override;
    qint32 SetCompassValue(quint32 nValue) override;
    qint32 GetSyncMissedCount() const override;
    qint32 SetSyncTrigger(bool bEnable) override;

private:
    /// The device's bearing of one emitter; false when it falls outside the accepted sectors.
    bool MeasureEmitter(const EmitterState& emitter, values::Bearing& rBearing);
    static bool IsAccepted(double azimuth);
    /// Hands a command text to the command log of the callback.
    void Command(QString text);

    SimulationRandom& m_random;
    NxKVTCommon::ILegacyDriverCallback* m_pCallback = nullptr;
    EMode m_eMode = EMODE_FFM;
    double m_fFrequency = 0.0;
    double m_fAverageTime = 0.1;
    /// Scan ranges (start, stop) in Hz.
    std::vector<std::pair<double, double>> m_lstScanRanges;
    bool m_bReducedData = false;
    double m_fSpread = 0.0;
    quint64 m_nTimeMs = 0;
};
