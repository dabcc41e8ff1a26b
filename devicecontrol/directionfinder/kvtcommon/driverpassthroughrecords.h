#pragma once

#include <QtGlobal>
#include <QString>

// Records that only pass through this library by reference or pointer between the application
// and the drivers. This library never reads or writes their members; the members below are the
// ones the drivers fill and the application reads. Layout is part of the driver interface:
// append-only, never reorder or retype.

/// Operating mode of a DF device, passed by value and by reference across the driver interface.
/// The underlying type is fixed so that the width is the same in every driver module.
enum EMode : qint32
{
    EMODE_FFM = 0,          ///< fixed frequency mode
    EMODE_SCAN = 1,         ///< frequency scan over a list of ranges
    EMODE_SEARCH = 2,       ///< search mode (hold/continue)
    EMODE_TDMA = 3,         ///< time-slotted DF
    EMODE_SUPERRESOLUTION = 4
};

namespace NxKVTCommon
{

/// Static properties of one antenna reported by the driver.
struct AntennaPropertyStruct
{
    qint32 m_nAntennaType = 0;
    qint32 m_nSubRangeCount = 0;
    double m_fMinFrequency = 0.0;
    double m_fMaxFrequency = 0.0;
};

/// One frequency sub-range of an antenna.
struct AntennaSubRangeStruct
{
    double m_fStartFrequency = 0.0;
    double m_fStopFrequency = 0.0;
    qint32 m_nDfMethods = 0;
    qint32 m_nPolarisations = 0;
};

/// Static properties of a compass.
struct CompassPropertyStruct
{
    qint32 m_nCompassType = 0;
    bool m_bAvailable = false;
    double m_fDeclination = 0.0;
};

/// Position fix of the station's GPS receiver.
struct GPSStruct
{
    double m_fLatitude = 0.0;
    double m_fLongitude = 0.0;
    double m_fAltitude = 0.0;
    quint64 m_nUtcTimeMs = 0;
    bool m_bValid = false;
};

/// Device status that accompanies a result buffer.
struct StatusStruct
{
    qint32 m_nStatus = 0;
    quint32 m_nFlags = 0;
};

/// Error or built-in-test report of a driver.
struct ErrorStruct
{
    qint32 m_nErrorCode = 0;
    qint32 m_nSeverity = 0;
    QString m_strText;
};

/// One fixed-frequency-mode result.
struct FFMData
{
    double m_fFrequency = 0.0;
    quint64 m_nTimeStamp = 0;
    qint32 m_nAzimuth = 0;
    qint32 m_nElevation = 0;
    qint32 m_nLevel = 0;
    qint32 m_nQuality = 0;
};

/// One super-resolution result.
struct SuperResolutionStruct
{
    double m_fFrequency = 0.0;
    quint64 m_nTimeStamp = 0;
    qint32 m_nEmitterCount = 0;
};

/// Parameters of a simulated measurement.
struct INITStruct
{
    double m_fStartFrequency = 0.0;
    double m_fStopFrequency = 0.0;
    double m_fStepFrequency = 0.0;
    EMode m_eMode = EMODE_FFM;
};

/// A run of scan channels.
struct ChannelRangeStruct
{
    quint32 m_nFirstChannel = 0;
    quint32 m_nLastChannel = 0;
    double m_fStartFrequency = 0.0;
    double m_fStepFrequency = 0.0;
};

/// One hardware component found by a status request.
struct ComponentInfo
{
    QString m_strName;
    QString m_strSerialNumber;
    qint32 m_nStatus = 0;
};

/// GSM measurement settings.
struct GSMSettingsStruct
{
    qint32 m_nChannelCount = 0;
    bool m_bEnabled = false;
    double m_fChannelBandwidth = 0.0;
};

#if defined(__x86_64__) || defined(_M_X64)
static_assert(sizeof(EMode) == 4, "EMode width");
static_assert(sizeof(AntennaPropertyStruct) == 24, "AntennaPropertyStruct layout");
static_assert(sizeof(AntennaSubRangeStruct) == 24, "AntennaSubRangeStruct layout");
static_assert(sizeof(CompassPropertyStruct) == 16, "CompassPropertyStruct layout");
static_assert(sizeof(GPSStruct) == 40, "GPSStruct layout");
static_assert(sizeof(StatusStruct) == 8, "StatusStruct layout");
static_assert(sizeof(ErrorStruct) == 16, "ErrorStruct layout");
static_assert(sizeof(FFMData) == 32, "FFMData layout");
static_assert(sizeof(SuperResolutionStruct) == 24, "SuperResolutionStruct layout");
static_assert(sizeof(INITStruct) == 32, "INITStruct layout");
static_assert(sizeof(ChannelRangeStruct) == 24, "ChannelRangeStruct layout");
static_assert(sizeof(ComponentInfo) == 24, "ComponentInfo layout");
static_assert(sizeof(GSMSettingsStruct) == 16, "GSMSettingsStruct layout");
#endif

} // namespace NxKVTCommon
