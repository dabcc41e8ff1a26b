#include "tools/kvtstation/stationcallback.h"

#include "devicecontrol/directionfinder/kvtcommon/commandprotocol.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "tools/kvtstation/devicevalue.h"
#include "valueframework/valueclasses/bearingresult.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/value.h"
#include "valueframework/valueclasses/valuelist.h"

using namespace NxKVTCommon;

namespace {

const QString DATA_VALID = QStringLiteral("/Res/DfR/DataValid");
const QString DATA_STATE_INFO = QStringLiteral("/Res/DfR/DataStateInfo");
const QString CONNECTION_SPEED = QStringLiteral("/Res/DfR/ConnectionSpeed");

/// The value of type T at the path, created when the path is free.
template <class T>
T* FindOrCreate(const QString& path)
{
    values::Tree* pTree = values::Tree::Instance();
    if (T* pValue = pTree->Find<T>(path))
        return pValue;
    return pTree->CreateValue<T>(path);
}

QString PathOf(const QString& devicePath, const values::ValueDescriptor& descriptor)
{
    return devicePath + descriptor.PathName();
}

}

StationCallback::StationCallback(const QString& devicePath, const QString& deviceAddress,
                                 OverheadPassParams& overheadPassParams, CommandProtocol& commandLog)
    : m_strDeviceAddress(deviceAddress)
    , m_overheadPassFilter(overheadPassParams)
    , m_commandLog(commandLog)
    , m_pAzimuth(DeviceValue<values::Value<values::BearingResult>>(devicePath, StdDeviceDefinition::g_vdAzimuth))
    , m_pAzimuthList(
          DeviceValue<values::ValueList<values::BearingResult>>(devicePath, StdDeviceDefinition::g_vdAzimuthList))
    , m_pDataValid(FindOrCreate<values::Value<bool>>(devicePath + DATA_VALID))
{
    FindOrCreate<values::Value<QString>>(devicePath + DATA_STATE_INFO);
    FindOrCreate<values::Value<int>>(ConnectionSpeedPath(devicePath));
    m_pitchRollFilter.SetPitchValuePath(PathOf(devicePath, StdDeviceDefinition::g_vdPitch));
    m_pitchRollFilter.SetRollValuePath(PathOf(devicePath, StdDeviceDefinition::g_vdRoll));
    m_pitchRollFilter.SetPitchThresholdValuePath(PathOf(devicePath, StdDeviceDefinition::g_vdPitchThreshold));
    m_pitchRollFilter.SetRollThresholdValuePath(PathOf(devicePath, StdDeviceDefinition::g_vdRollThreshold));
    m_pitchRollFilter.SetKVTDataValidValuePath(devicePath + DATA_VALID);
    m_pitchRollFilter.SetKVTDataStateInfoValuePath(devicePath + DATA_STATE_INFO);
    m_connectionSpeedFilter.SetConnectionSpeedValuePath(ConnectionSpeedPath(devicePath));
}

StationCallback::~StationCallback() = default;

QString StationCallback::ConnectionSpeedPath(const QString& devicePath)
{
    return devicePath + CONNECTION_SPEED;
}

quint64 StationCallback::GetRejected(FilterRejectReason eReason) const
{
    return m_pitchRollFilter.RejectCount(eReason) + m_connectionSpeedFilter.RejectCount(eReason)
           + m_overheadPassFilter.RejectCount(eReason);
}

std::vector<values::BearingResult> StationCallback::Filter(quint64 nTimeStamp, quint32 nCount,
                                                           values::Bearing* pBearings)
{
    m_nProduced += nCount;
    std::vector<values::BearingResult> accepted;
    if (m_pitchRollFilter.IsFilterConditionMet()) {
        m_pitchRollFilter.Apply(nCount, pBearings);
        return accepted;
    }
    if (m_pDataValid != nullptr)
        m_pDataValid->SetValue(true);
    m_connectionSpeedFilter.Apply(nCount, pBearings);
    for (quint32 i = 0; i < nCount; ++i) {
        // Bearings without quality have just been marked by the connection-speed filter.
        if (pBearings[i].quality <= 0)
            continue;
        values::BearingResult result(pBearings[i], nTimeStamp);
        m_overheadPassFilter.Apply(result);
        if (result.GetQuality() > 0)
            accepted.push_back(result);
    }
    return accepted;
}

void StationCallback::Remember(const std::vector<values::BearingResult>& accepted)
{
    for (const values::BearingResult& result : accepted)
        m_lstAccepted.push_back({result.GetAzimuth() / 10.0, result.GetFrequency()});
}

void StationCallback::fillTDMABuffer(qint32, quint64& nTimeStamp, quint32, quint32 nCount, values::Bearing* pBearings,
                                     StatusStruct&)
{
    const std::vector<values::BearingResult> accepted = Filter(nTimeStamp, nCount, pBearings);
    Remember(accepted);
    if (m_pAzimuth == nullptr)
        return;
    for (const values::BearingResult& result : accepted)
        m_pAzimuth->SetValue(result);
}

void StationCallback::fillScanBuffer(qint32, quint64& nTimeStamp, quint32, quint32 nCount, values::Bearing* pBearings,
                                     StatusStruct&)
{
    const std::vector<values::BearingResult> accepted = Filter(nTimeStamp, nCount, pBearings);
    Remember(accepted);
    if (m_pAzimuthList == nullptr || m_pAzimuth == nullptr)
        return;
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

void StationCallback::fillFFMBuffer(const FFMData& data, StatusStruct& status, bool)
{
    values::Bearing bearing{data.m_fFrequency, static_cast<qint16>(data.m_nLevel),
                            static_cast<quint16>(data.m_nAzimuth), static_cast<qint16>(data.m_nElevation),
                            static_cast<qint16>(data.m_nQuality)};
    quint64 nTimeStamp = data.m_nTimeStamp;
    fillTDMABuffer(status.m_nStatus, nTimeStamp, 0, 1, &bearing, status);
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
