#include "station/stationcallback.h"

#include "devicecontrol/directionfinder/kvtcommon/commandprotocol.h"
#include "valueframework/valueclasses/bearingresult.h"

using namespace NxKVTCommon;

StationCallback::StationCallback(const QString& devicePath, const QString& deviceAddress,
                                 OverheadPassParams& overheadPassParams, CommandProtocol& commandLog)
    : m_strDeviceAddress(deviceAddress)
    , m_pipeline(devicePath, overheadPassParams)
    , m_commandLog(commandLog)
{
}

StationCallback::~StationCallback() = default;

void StationCallback::Tell(const std::vector<values::BearingResult>& accepted, bool bScan)
{
    // A scan's empty list still replaces the previous scan's; an empty report of another mode is nothing.
    if (m_acceptedListener && (bScan || !accepted.empty()))
        m_acceptedListener(accepted, bScan);
}

void StationCallback::fillTDMABuffer(qint32, quint64& nTimeStamp, quint32, quint32 nCount, values::Bearing* pBearings,
                                     StatusStruct&)
{
    Tell(m_pipeline.ProcessBlock(nTimeStamp, nCount, pBearings).lstAccepted, false);
}

void StationCallback::fillScanBuffer(qint32, quint64& nTimeStamp, quint32, quint32 nCount, values::Bearing* pBearings,
                                     StatusStruct&)
{
    Tell(m_pipeline.ProcessBlock(nTimeStamp, nCount, pBearings).lstAccepted, true);
}

void StationCallback::fillFFMBuffer(const FFMData& data, StatusStruct&, bool)
{
    Tell(m_pipeline.ProcessResult(data).lstAccepted, false);
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
