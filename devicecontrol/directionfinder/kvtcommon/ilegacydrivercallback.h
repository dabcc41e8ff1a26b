#pragma once

#include "devicecontrol/directionfinder/kvtcommon/driverpassthroughrecords.h"
#include "kvtcommon_export.h"
#include "valueframework/valueclasses/bearing.h"

#include <QString>

namespace NxKVTCommon
{

/// Reports of a legacy driver. The virtual operations are in slot order; separately built driver
/// modules call them by position, so never reorder, insert or remove any. Calls arrive on whatever
/// thread the driver uses. Buffers handed in (bearings, spectra, audio, test values) belong to the
/// driver and are valid only during the call. Not deleted through this interface.
class KVTCOMMON_EXPORT ILegacyDriverCallback
{
public:
    virtual void fillTDMABuffer(qint32 nStatus, quint64& nTimeStamp, quint32 nChannel, quint32 nCount,
                                values::Bearing* pBearings, StatusStruct& status) = 0;
    virtual void fillScanBuffer(qint32 nStatus, quint64& nTimeStamp, quint32 nChannel, quint32 nCount,
                                values::Bearing* pBearings, StatusStruct& status) = 0;
    virtual void fillFFMBuffer(const FFMData& data, StatusStruct& status, bool bLast) = 0;
    virtual void fillFFMSRBuffer(SuperResolutionStruct& data, StatusStruct& status) = 0;
    virtual void fillSpectrumBuffer(const qint16* pSpectrum, qint32 nCount) = 0;
    virtual void fillSRSpectrumBuffer(qint16* pSpectrum, qint32 nCount, quint64& nTimeStamp) = 0;
    virtual void fillTestValuesBuffer(double* pValues, quint16 nCount) = 0;
    virtual void fillAudioBuffer(void* pData, quint32 nSize) = 0;
    virtual void fillAudioBufferTime(void* pData, quint32 nSize) = 0;
    virtual void fillAudioFormat(void* pFormat, quint32 nSize) = 0;
    virtual void fillAudioLevel(double fLevel) = 0;
    virtual void fillGPSData(double fLatitude, double fLongitude, quint64 nTime, bool bValid, qint32 nSatellites,
                             qint32 nQuality) = 0;
    virtual void reportError(ErrorStruct& error) = 0;
    virtual void InitSimulation(INITStruct& init, quint32 nRangeCount, ChannelRangeStruct* pRanges) = 0;
    virtual void setSearchFrequency(double fFrequency) = 0;
    virtual void getOperateMode(EMode& eMode) = 0;
    virtual void ReportBITResult(ErrorStruct& result) = 0;
    virtual void SetCommandLog(QString& strCommand) = 0;
    virtual QString GetDevAddress() = 0;
    virtual void CloseDataLink() = 0;
    virtual void SetEndOfScan(bool bEnd) = 0;
    virtual void fillSyncTimestamp(qint64 nTimeStamp) = 0;

protected:
    ~ILegacyDriverCallback() = default;
};

} // namespace NxKVTCommon
