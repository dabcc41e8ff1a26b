#pragma once

#include "devicecontrol/directionfinder/kvtcommon/connectionspeedfilter.h"
#include "devicecontrol/directionfinder/kvtcommon/idrivercallback.h"
#include "devicecontrol/directionfinder/kvtcommon/overheadpassfilter.h"
#include "devicecontrol/directionfinder/kvtcommon/pitchrollfilter.h"

#include <QString>

#include <vector>

class CommandProtocol;

namespace NxKVTCommon
{
class OverheadPassParams;
}

namespace values
{
class BearingResult;
template <class T>
class Value;
template <class T>
class ValueList;
} // namespace values

/// The station's side of the driver interface: what the application does with
/// the reports of its driver. Bearing blocks pass the pitch/roll, connection-
/// speed and overhead-pass filters and the accepted ones are published below
/// the device node ("Res/DfR/Azimuth" one by one in fixed-frequency mode, the
/// whole block as "Res/DfR/AzimuthList" in scan mode); command texts go to the
/// command log.
///
/// A bearing is rejected by the first filter that marks it: a tilted platform
/// rejects the whole block, so the filters' reject counts add up with the
/// accepted bearings to the bearings produced.
///
/// The filter values are found below the device node (platform pitch and roll,
/// their thresholds); the data-valid flag, the state text and the connection
/// speed ("Res/DfR/DataValid", "Res/DfR/DataStateInfo", "Res/DfR/ConnectionSpeed")
/// are created there when missing. Borrows the overhead-pass parameters and the
/// command log, which must outlive it. Single-threaded: the driver reports on
/// the value tree's thread.
class StationCallback : public NxKVTCommon::IDriverCallback
{
public:
    /// One accepted bearing as the plot needs it.
    struct AcceptedBearing
    {
        double fAzimuth;  ///< degrees
        double fFrequency;  ///< Hz
    };

    StationCallback(const QString& devicePath, const QString& deviceAddress,
                    NxKVTCommon::OverheadPassParams& overheadPassParams, CommandProtocol& commandLog);
    virtual ~StationCallback();

    static QString ConnectionSpeedPath(const QString& devicePath);

    quint64 GetProduced() const { return m_nProduced; }
    quint64 GetAccepted() const { return static_cast<quint64>(m_lstAccepted.size()); }
    /// Bearings rejected for the reason, by whichever filter counts it.
    quint64 GetRejected(NxKVTCommon::FilterRejectReason eReason) const;
    const std::vector<AcceptedBearing>& GetAcceptedBearings() const { return m_lstAccepted; }
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
    /// Filters a block; the accepted bearings, stamped with the time, in block order.
    std::vector<values::BearingResult> Filter(quint64 nTimeStamp, quint32 nCount, values::Bearing* pBearings);
    void Remember(const std::vector<values::BearingResult>& accepted);

    QString m_strDeviceAddress;
    NxKVTCommon::PitchRollFilter m_pitchRollFilter;
    NxKVTCommon::ConnectionSpeedFilter m_connectionSpeedFilter;
    NxKVTCommon::OverheadPassFilter m_overheadPassFilter;
    CommandProtocol& m_commandLog;
    values::Value<values::BearingResult>* m_pAzimuth;
    values::ValueList<values::BearingResult>* m_pAzimuthList;
    values::Value<bool>* m_pDataValid;
    quint64 m_nProduced = 0;
    std::vector<AcceptedBearing> m_lstAccepted;
    quint64 m_nCommandsLogged = 0;
    quint64 m_nCommandLogFailures = 0;
};
