#pragma once

#include "devicecontrol/directionfinder/kvtcommon/bearingpipeline.h"
#include "devicecontrol/directionfinder/kvtcommon/idrivercallback.h"
#include "kvtstationlib_export.h"

#include <QString>

#include <functional>
#include <vector>

class CommandProtocol;

namespace NxKVTCommon
{
class OverheadPassParams;
}

namespace values
{
class BearingResult;
}

/// The station's side of the driver interface: what the application does with
/// the reports of its driver. Bearing blocks go through the bearing pipeline
/// and what it accepts is handed to the listener (the station, which hands it
/// to its sinks), with whether it is a scan's whole list; command texts go to
/// the command log. The driver's buffers are never written.
///
/// Borrows the overhead-pass parameters and the command log, which must
/// outlive it. Single-threaded: the driver reports on the value tree's thread.
class KVTSTATION_EXPORT StationCallback : public NxKVTCommon::IDriverCallback
{
public:
    /// Receives each block's accepted results, and whether the block is a
    /// scan's list (then also when nothing of it was accepted).
    using AcceptedListener = std::function<void(const std::vector<values::BearingResult>&, bool bScan)>;

    StationCallback(const QString& devicePath, const QString& deviceAddress,
                    NxKVTCommon::OverheadPassParams& overheadPassParams, CommandProtocol& commandLog);
    virtual ~StationCallback();

    void SetAcceptedListener(AcceptedListener listener) { m_acceptedListener = std::move(listener); }

    quint64 GetProduced() const { return m_pipeline.GetProduced(); }
    quint64 GetAccepted() const { return m_pipeline.GetAccepted(); }
    quint64 GetRejected(NxKVTCommon::FilterRejectReason eReason) const { return m_pipeline.GetRejected(eReason); }
    quint64 GetCommandsLogged() const { return m_nCommandsLogged; }
    quint64 GetCommandLogFailures() const { return m_nCommandLogFailures; }

    void fillTDMABuffer(qint32 nStatus, quint64& nTimeStamp, quint32 nChannel, quint32 nCount,
                        values::Bearing* pBearings, NxKVTCommon::StatusStruct& status) override;
    void fillScanBuffer(qint32 nStatus, quint64& nTimeStamp, quint32 nChannel, quint32 nCount,
                        values::Bearing* pBearings, NxKVTCommon::StatusStruct& status) override;
    void fillFFMBuffer(const NxKVTCommon::FFMData& data, NxKVTCommon::StatusStruct& status, bool bLast) override;
    void fillFFMSRBuffer(NxKVTCommon::SuperResolutionStruct& data, NxKVTCommon::StatusStruct& status) override;
    void fillSpectrumBuffer(const qint16* pSpectrum, qint32 nCount) override;
    void fillSRSpectrumBuffer(qint16* pSpectrum, qint32 nCount, quint64& nTimeStamp) override;
    void fillTestValuesBuffer(double* pValues, quint16 nCount) override;
    void fillAudioBuffer(void* pData, quint32 nSize) override;
    void fillAudioBufferTime(void* pData, quint32 nSize) override;
    void fillAudioFormat(void* pFormat, quint32 nSize) override;
    void fillAudioLevel(double fLevel) override;
    void fillGPSData(double fLatitude, double fLongitude, quint64 nTime, bool bValid, qint32 nSatellites,
                     qint32 nQuality) override;
    void reportError(NxKVTCommon::ErrorStruct& error) override;
    void InitSimulation(NxKVTCommon::INITStruct& init, quint32 nRangeCount,
                        NxKVTCommon::ChannelRangeStruct* pRanges) override;
    void setSearchFrequency(double fFrequency) override;
    void getOperateMode(EMode& eMode) override;
    void ReportBITResult(NxKVTCommon::ErrorStruct& result) override;
    void SetCommandLog(QString& strCommand) override;
    QString GetDevAddress() override;
    void CloseDataLink() override;
    void SetEndOfScan(bool bEnd) override;
    void fillSyncTimestamp(qint64 nTimeStamp) override;

private:
    void Tell(const std::vector<values::BearingResult>& accepted, bool bScan);

    QString m_strDeviceAddress;
    NxKVTCommon::BearingPipeline m_pipeline;
    CommandProtocol& m_commandLog;
    AcceptedListener m_acceptedListener;
    quint64 m_nCommandsLogged = 0;
    quint64 m_nCommandLogFailures = 0;
};
