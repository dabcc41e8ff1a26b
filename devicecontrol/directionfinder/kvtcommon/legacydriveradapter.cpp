#include "devicecontrol/directionfinder/kvtcommon/legacydriveradapter.h"

namespace NxKVTCommon
{

LegacyDriverAdapter::LegacyDriverAdapter() = default;

LegacyDriverAdapter::~LegacyDriverAdapter()
{
    m_pCallback = nullptr;
    m_pLegacyDriver = nullptr;
}

void LegacyDriverAdapter::SetLegacyDriver(ILegacyDriver* pLegacyDriver)
{
    m_pLegacyDriver = pLegacyDriver;
}

// Parameters taken by value are the adapter's own copies; passing them on by value hands the
// driver a further copy, so nothing the driver does to it reaches the caller.

void LegacyDriverAdapter::SetCallback(IDriverCallback* pCallback)
{
    m_pCallback = pCallback;
}

qint32 LegacyDriverAdapter::Initialize(std::string& strParameters, bool bSimulation)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->Initialize(strParameters, bSimulation) : STATUS_NOT_CONNECTED;
}

void LegacyDriverAdapter::GetGPSBuffer(GPSStruct& gps)
{
    if (m_pLegacyDriver != nullptr)
        m_pLegacyDriver->GetGPSBuffer(gps);
}

QString LegacyDriverAdapter::GetLastError()
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->GetLastError() : QString();
}

void LegacyDriverAdapter::ClearLastError()
{
    if (m_pLegacyDriver != nullptr)
        m_pLegacyDriver->ClearLastError();
}

qint32 LegacyDriverAdapter::SetMode(EMode eMode)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->SetMode(eMode) : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::Reset()
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->Reset() : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::Calibrate(quint32 nType)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->Calibrate(nType) : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::BIT(qint32& nResult, bool bExtended, bool bReport)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->BIT(nResult, bExtended, bReport) : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::SetTest(QString strTest)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->SetTest(strTest) : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::SetRfAttenuator(quint32 nAntenna, qint32 nAttenuation)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->SetRfAttenuator(nAntenna, nAttenuation) : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::SetFrequency(double fFrequency)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->SetFrequency(fFrequency) : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::SetGainControl(GainControlStruct gainControl)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->SetGainControl(gainControl) : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::SetFilterSettings(FilterSettingsStruct filterSettings)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->SetFilterSettings(filterSettings) : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::SetFilterSettings(FreqRangeDefinition* pRange)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->SetFilterSettings(pRange) : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::SetAverageTime(double fAverageTime)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->SetAverageTime(fAverageTime) : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::ResetAverage()
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->ResetAverage() : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::AddFreqRange(FreqRangeDefinition* pRange)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->AddFreqRange(pRange) : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::SetGPSTimeUsage(bool bUse)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->SetGPSTimeUsage(bUse) : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::GetGPSTimeUsage(bool& bUse)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->GetGPSTimeUsage(bUse) : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::SetAntennaSetup(AntennaSetupStruct antennaSetup)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->SetAntennaSetup(antennaSetup) : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::SetConverterSetup(ConverterSetupStruct converterSetup)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->SetConverterSetup(converterSetup) : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::ReadCompass(quint32 nCompass, quint32& nValue)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->ReadCompass(nCompass, nValue) : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::SetAudioVolume(qint32 nVolume)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->SetAudioVolume(nVolume) : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::SetExternalReference(bool bExternal)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->SetExternalReference(bExternal) : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::SetHoldTime(qint32 nHoldTime, qint32 nDwellTime, qint32 nRevisitTime)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->SetHoldTime(nHoldTime, nDwellTime, nRevisitTime)
                                      : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::SearchHold()
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->SearchHold() : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::SearchContinue(quint32 nChannel)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->SearchContinue(nChannel) : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::GetFrequency(double& fFrequency)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->GetFrequency(fFrequency) : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::GetGainControl(GainControlStruct& gainControl)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->GetGainControl(gainControl) : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::GetMeasureSettings(double& fFrequency, DFSettingsStruct& dfSettings,
                                               DEMSettingsStruct& demSettings)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->GetMeasureSettings(fFrequency, dfSettings, demSettings)
                                      : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::GetFilterSettings(FilterSettingsStruct& filterSettings)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->GetFilterSettings(filterSettings) : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::GetAverageTime(double& fAverageTime)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->GetAverageTime(fAverageTime) : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::GetAntennaProperty(quint32 nAntenna, AntennaPropertyStruct& property,
                                               AntennaSubRangeStruct& subRange, qint32& nSubRangeIndex)
{
    return m_pLegacyDriver != nullptr
               ? m_pLegacyDriver->GetAntennaProperty(nAntenna, property, subRange, nSubRangeIndex)
               : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::GetAntennaSetup(quint32 nAntenna, AntennaSetupStruct& antennaSetup)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->GetAntennaSetup(nAntenna, antennaSetup) : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::GetConverterProperty(quint32 nConverter, ConverterSetupStruct& converter)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->GetConverterProperty(nConverter, converter)
                                      : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::GetConverterSetup(quint32 nConverter, ConverterSetupStruct& converter)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->GetConverterSetup(nConverter, converter)
                                      : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::GetCompassProperty(quint32 nCompass, CompassPropertyStruct& property)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->GetCompassProperty(nCompass, property) : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::AlterMeasureSetting(double fFrequency, DFSettingsStruct dfSettings,
                                                DEMSettingsStruct demSettings)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->AlterMeasureSetting(fFrequency, dfSettings, demSettings)
                                      : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::AlterMeasureSetting(FreqRangeDefinition* pRange)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->AlterMeasureSetting(pRange) : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::DeleteAllChannels()
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->DeleteAllChannels() : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::SetSkip(qint32 nFirstChannel, qint32 nLastChannel, bool bSkip)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->SetSkip(nFirstChannel, nLastChannel, bSkip)
                                      : STATUS_NOT_CONNECTED;
}

void LegacyDriverAdapter::SetSimulationScan(quint32 nStart, quint32 nStop, quint32 nStep, qint32 nLevel, qint32 nNoise,
                                            quint32 nRangeCount, ChannelRangeStruct* pRanges)
{
    if (m_pLegacyDriver != nullptr)
        m_pLegacyDriver->SetSimulationScan(nStart, nStop, nStep, nLevel, nNoise, nRangeCount, pRanges);
}

void LegacyDriverAdapter::SetAudioFormat(qint32 nSampleRate, qint32 nBitsPerSample, qint32 nChannels)
{
    if (m_pLegacyDriver != nullptr)
        m_pLegacyDriver->SetAudioFormat(nSampleRate, nBitsPerSample, nChannels);
}

qint32 LegacyDriverAdapter::GetMaxChannelCount(EMode eMode)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->GetMaxChannelCount(eMode) : STATUS_NOT_CONNECTED;
}

bool LegacyDriverAdapter::StartDRData(bool bStart, qint32 nInterval)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->StartDRData(bStart, nInterval) : false;
}

qint32 LegacyDriverAdapter::SetSRNumOfEmitters(bool bAutomatic, qint32 nEmitters)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->SetSRNumOfEmitters(bAutomatic, nEmitters)
                                      : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::SetScanAveraging(quint32 nScans)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->SetScanAveraging(nScans) : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::GetReadCount()
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->GetReadCount() : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::GetBufferCount()
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->GetBufferCount() : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::RestartMassData()
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->RestartMassData() : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::RequestHWStatus(QList<ComponentInfo*>* pComponents)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->RequestHWStatus(pComponents) : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::GetSweepTime(qint32& nSweepTime)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->GetSweepTime(nSweepTime) : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::SetSyncTimes(quint64& nTime, qint32 nOffset)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->SetSyncTimes(nTime, nOffset) : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::GetKVTTime(quint64& nTime)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->GetKVTTime(nTime) : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::SetGSMSetting(double fFrequency, FreqRangeDefinition* pRange,
                                          GSMSettingsStruct& gsmSettings)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->SetGSMSetting(fFrequency, pRange, gsmSettings)
                                      : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::FcbSynch()
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->FcbSynch() : STATUS_NOT_CONNECTED;
}

void LegacyDriverAdapter::EnableTimeSync(bool bEnable)
{
    if (m_pLegacyDriver != nullptr)
        m_pLegacyDriver->EnableTimeSync(bEnable);
}

qint32 LegacyDriverAdapter::SendCompassCommand(quint32 nCompass, const QString& strCommand, QString& strAnswer)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->SendCompassCommand(nCompass, strCommand, strAnswer)
                                      : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::SetSyncTrigger(bool bEnable)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->SetSyncTrigger(bEnable) : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::SetCompassValue(quint32 nValue)
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->SetCompassValue(nValue) : STATUS_NOT_CONNECTED;
}

qint32 LegacyDriverAdapter::GetSyncMissedCount() const
{
    return m_pLegacyDriver != nullptr ? m_pLegacyDriver->GetSyncMissedCount() : STATUS_NOT_CONNECTED;
}

void LegacyDriverAdapter::fillTDMABuffer(qint32 nStatus, quint64& nTimeStamp, quint32 nChannel, quint32 nCount,
                                         values::Bearing* pBearings, StatusStruct& status)
{
    if (m_pCallback != nullptr)
        m_pCallback->fillTDMABuffer(nStatus, nTimeStamp, nChannel, nCount, pBearings, status);
}

void LegacyDriverAdapter::fillScanBuffer(qint32 nStatus, quint64& nTimeStamp, quint32 nChannel, quint32 nCount,
                                         values::Bearing* pBearings, StatusStruct& status)
{
    if (m_pCallback != nullptr)
        m_pCallback->fillScanBuffer(nStatus, nTimeStamp, nChannel, nCount, pBearings, status);
}

void LegacyDriverAdapter::fillFFMBuffer(const FFMData& data, StatusStruct& status, bool bLast)
{
    if (m_pCallback != nullptr)
        m_pCallback->fillFFMBuffer(data, status, bLast);
}

void LegacyDriverAdapter::fillFFMSRBuffer(SuperResolutionStruct& data, StatusStruct& status)
{
    if (m_pCallback != nullptr)
        m_pCallback->fillFFMSRBuffer(data, status);
}

void LegacyDriverAdapter::fillSpectrumBuffer(const qint16* pSpectrum, qint32 nCount)
{
    if (m_pCallback != nullptr)
        m_pCallback->fillSpectrumBuffer(pSpectrum, nCount);
}

void LegacyDriverAdapter::fillSRSpectrumBuffer(qint16* pSpectrum, qint32 nCount, quint64& nTimeStamp)
{
    if (m_pCallback != nullptr)
        m_pCallback->fillSRSpectrumBuffer(pSpectrum, nCount, nTimeStamp);
}

void LegacyDriverAdapter::fillTestValuesBuffer(double* pValues, quint16 nCount)
{
    if (m_pCallback != nullptr)
        m_pCallback->fillTestValuesBuffer(pValues, nCount);
}

void LegacyDriverAdapter::fillAudioBuffer(void* pData, quint32 nSize)
{
    if (m_pCallback != nullptr)
        m_pCallback->fillAudioBuffer(pData, nSize);
}

void LegacyDriverAdapter::fillAudioBufferTime(void* pData, quint32 nSize)
{
    if (m_pCallback != nullptr)
        m_pCallback->fillAudioBufferTime(pData, nSize);
}

void LegacyDriverAdapter::fillAudioFormat(void* pFormat, quint32 nSize)
{
    if (m_pCallback != nullptr)
        m_pCallback->fillAudioFormat(pFormat, nSize);
}

void LegacyDriverAdapter::fillAudioLevel(double fLevel)
{
    if (m_pCallback != nullptr)
        m_pCallback->fillAudioLevel(fLevel);
}

void LegacyDriverAdapter::fillGPSData(double fLatitude, double fLongitude, quint64 nTime, bool bValid,
                                      qint32 nSatellites, qint32 nQuality)
{
    if (m_pCallback != nullptr)
        m_pCallback->fillGPSData(fLatitude, fLongitude, nTime, bValid, nSatellites, nQuality);
}

void LegacyDriverAdapter::reportError(ErrorStruct& error)
{
    if (m_pCallback != nullptr)
        m_pCallback->reportError(error);
}

void LegacyDriverAdapter::InitSimulation(INITStruct& init, quint32 nRangeCount, ChannelRangeStruct* pRanges)
{
    if (m_pCallback != nullptr)
        m_pCallback->InitSimulation(init, nRangeCount, pRanges);
}

void LegacyDriverAdapter::setSearchFrequency(double fFrequency)
{
    if (m_pCallback != nullptr)
        m_pCallback->setSearchFrequency(fFrequency);
}

void LegacyDriverAdapter::getOperateMode(EMode& eMode)
{
    if (m_pCallback != nullptr)
        m_pCallback->getOperateMode(eMode);
}

void LegacyDriverAdapter::ReportBITResult(ErrorStruct& result)
{
    if (m_pCallback != nullptr)
        m_pCallback->ReportBITResult(result);
}

void LegacyDriverAdapter::SetCommandLog(QString& strCommand)
{
    if (m_pCallback != nullptr)
        m_pCallback->SetCommandLog(strCommand);
}

QString LegacyDriverAdapter::GetDevAddress()
{
    return m_pCallback != nullptr ? m_pCallback->GetDevAddress() : QString();
}

void LegacyDriverAdapter::CloseDataLink()
{
    if (m_pCallback != nullptr)
        m_pCallback->CloseDataLink();
}

void LegacyDriverAdapter::SetEndOfScan(bool bEnd)
{
    if (m_pCallback != nullptr)
        m_pCallback->SetEndOfScan(bEnd);
}

void LegacyDriverAdapter::fillSyncTimestamp(qint64 nTimeStamp)
{
    if (m_pCallback != nullptr)
        m_pCallback->fillSyncTimestamp(nTimeStamp);
}

} // namespace NxKVTCommon
