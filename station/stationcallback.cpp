#include "station/stationcallback.h"

#include "devicecontrol/directionfinder/kvtcommon/commandprotocol.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "station/devicevalue.h"
#include "valueframework/valueclasses/bearingresult.h"
#include "valueframework/valueclasses/value.h"
#include "valueframework/valueclasses/valuelist.h"

using namespace NxKVTCommon;

StationCallback::StationCallback(const QString& devicePath, const QString& deviceAddress,
                                 OverheadPassParams& overheadPassParams, CommandProtocol& commandLog)
    : m_strDeviceAddress(deviceAddress)
    , m_pipeline(devicePath, overheadPassParams)
    , m_commandLog(commandLog)
    , m_pAzimuth(DeviceValue<values::Value<values::BearingResult>>(devicePath, StdDeviceDefinition::g_vdAzimuth))
    , m_pAzimuthList(
          DeviceValue<values::ValueList<values::BearingResult>>(devicePath, StdDeviceDefinition::g_vdAzimuthList))
{
}

StationCallback::~StationCallback() = default;

void StationCallback::PublishOneByOne(const std::vector<values::BearingResult>& accepted)
{
    if (m_pAzimuth != nullptr) {
        for (const values::BearingResult& result : accepted)
            m_pAzimuth->SetValue(result);
    }
    Tell(accepted);
}

void StationCallback::PublishBlock(const std::vector<values::BearingResult>& accepted)
{
    if (m_pAzimuthList != nullptr && m_pAzimuth != nullptr) {
        // Observers see the new block once, complete.
        m_pAzimuthList->StartTransaction();
        m_pAzimuthList->Clear();
        for (const values::BearingResult& result : accepted)
            m_pAzimuthList->PushBack(result);
        m_pAzimuthList->EndTransaction(ChangeCode::ValueChanged);
        // The azimuth announces the block; its last bearing stands for the scan.
        if (!accepted.empty())
            m_pAzimuth->SetValue(accepted.back());
    }
    Tell(accepted);
}

void StationCallback::Tell(const std::vector<values::BearingResult>& accepted)
{
    if (m_acceptedListener && !accepted.empty())
        m_acceptedListener(accepted);
}

void StationCallback::fillTDMABuffer(qint32, quint64& nTimeStamp, quint32, quint32 nCount, values::Bearing* pBearings,
                                     StatusStruct&)
{
    PublishOneByOne(m_pipeline.ProcessBlock(nTimeStamp, nCount, pBearings).lstAccepted);
}

void StationCallback::fillScanBuffer(qint32, quint64& nTimeStamp, quint32, quint32 nCount, values::Bearing* pBearings,
                                     StatusStruct&)
{
    PublishBlock(m_pipeline.ProcessBlock(nTimeStamp, nCount, pBearings).lstAccepted);
}

void StationCallback::fillFFMBuffer(const FFMData& data, StatusStruct&, bool)
{
    PublishOneByOne(m_pipeline.ProcessResult(data).lstAccepted);
}

void StationCallback::fillFFMSRBuffer(SuperResolutionStruct&, StatusStruct&) {}
void StationCallback::fillSpectrumBuffer(const qint16*, qint32) {}
void StationCallback::fillSRSpectrumBuffer(qint16*, qint32, quint64&) {}
void StationCallback::fillTestValuesBuffer(double*, quint16) {}
void StationCallback::fillAudioBuffer(void*, quint32) {}
void StationCallback::fillAudioBufferTime(void*, quint32) {}
void StationCallback::fillAudioFormat(void*, quint32) {}
void StationCallback::fillAudioLevel(double) {}
void StationCallback::fillGPSData(double, double, quint64, bool, qint32, qint32) {}
void StationCallback::reportError(ErrorStruct&) {}
void StationCallback::InitSimulation(INITStruct&, quint32, ChannelRangeStruct*) {}
void StationCallback::setSearchFrequency(double) {}
void StationCallback::getOperateMode(EMode&) {}
void StationCallback::ReportBITResult(ErrorStruct&) {}

void StationCallback::SetCommandLog(QString& strCommand)
{
    if (m_commandLog.Add(strCommand))
        ++m_nCommandsLogged;
    else
        ++m_nCommandLogFailures;
}

QString StationCallback::GetDevAddress()
{
    return m_strDeviceAddress;
}

void StationCallback::CloseDataLink() {}
void StationCallback::SetEndOfScan(bool) {}
void StationCallback::fillSyncTimestamp(qint64) {}
