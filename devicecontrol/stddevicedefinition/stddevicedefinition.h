#pragma once

#include "kvthost_export.h"
#include "valueframework/valueclasses/valuedescriptor.h"

#include <QList>

/// The catalogue of device values: one descriptor per value, each with its
/// value class and its path name below the device node (for example
/// "/KVTServer" + g_vdOperationMode.PathName() = "/KVTServer/DevAttr/OperationMode").
///
/// Selections whose items the device reports (operation mode, bandwidth,
/// demodulation, device information, DF methods, scan state) start empty; the
/// others start with their fixed items, the first one current.
namespace StdDeviceDefinition
{

// Nodes. Antenna nodes sit in the configuration node, named "Ant0", "Ant1", ...;
// their members' path names are relative to the antenna node.
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdNodeCfg;  ///< Node, "/DevAttr/Cfg"
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdNodeAnt;  ///< Node, "/Ant" (below g_vdNodeCfg)

// Antenna node members.
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdAntChanged;               ///< Value<bool>
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdAntName;                  ///< Value<QString>
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdAntHandle;                ///< Value<int>
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdAntEnabled;               ///< Value<bool>
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdAntMinRange;              ///< ValueNumeric<double>, Hz
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdAntMaxRange;              ///< ValueNumeric<double>, Hz
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdAntCompassEnabled;        ///< Value<bool>
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdAntMechOffset;            ///< ValueNumeric<double>
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdAntCompassSupport;        ///< Value<bool>
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdAntDfAlgorithm;           ///< ValueSelection
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdAntMinFreq;               ///< ValueNumeric<double>, Hz
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdAntMaxFreq;               ///< ValueNumeric<double>, Hz
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdAntPolarizationSupport;   ///< Value<int>
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdAntPolarizationMode;      ///< Value<int>
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdAntActivePassiveSupport;  ///< Value<bool>
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdAntCompassValue;          ///< ValueNumeric<double>
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdAntCompassHandle;         ///< Value<int>
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdAntConverterHandle;       ///< Value<int>
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdAntConverterTypeName;     ///< Value<QString>

// Device attributes.
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdDevType;                  ///< ValueSelection: KVTN1, KVTQ1, KVTP1, KVTU1, KVTW1
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdDevName;                  ///< Value<QString>
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdDevAddress;               ///< Value<QString>
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdDevMaxChannelCount;       ///< Value<int>
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdDevInfo;                  ///< ValueSelection
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdDevRequiredComponents;    ///< Value<QString>
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdDevOptionalComponents;    ///< Value<QString>
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdDevRequirementsEditable;  ///< Value<bool>
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdDevCheckRequirements;     ///< Value<bool>
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdCfgModifyTime;            ///< Value<QString>
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdKnownCalErrorMessage;     ///< Value<QString>
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdKnownDevErrorMessage;     ///< Value<QString>
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdOperationMode;            ///< ValueSelection, "/DevAttr/OperationMode"

// Receiver and audio parameters.
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdFrequency;                ///< ValueNumeric<double>, Hz
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdBandwidth;                ///< ValueSelection
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdDemodulation;             ///< ValueSelection
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdSynFastMode;              ///< Value<bool>
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdPreAmplifierHf;           ///< Value<bool>
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdPreAmplifierVuhf;         ///< Value<bool>
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdGainControlMode;          ///< ValueSelection: AGC, MGC
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdAGCDecay;                 ///< ValueSelection: Fast, Medium, Slow
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdMGCLevel;                 ///< ValueNumeric<int>, dB
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdAuChannelMute;            ///< Value<bool>
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdAuChannelVolume;          ///< ValueNumeric<int>, 0..100
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdAuSquelch;                ///< Value<bool>
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdAudioThreshold;           ///< ValueNumeric<int>

// Antenna, heading and position parameters.
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdAntennaActive;            ///< Value<bool>
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdPolarisation;             ///< ValueSelection: Left, Right, Vertical, Horizontal (key = code)
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdHeaSource;                ///< ValueSelection: None, Compass, GPS, Manual
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdHeaOffset;                ///< ValueNumeric<int>, tenths of a degree
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdDeclination;              ///< ValueNumeric<int>, tenths of a degree
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdPitchThreshold;           ///< ValueNumeric<double>, degrees
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdRollThreshold;            ///< ValueNumeric<double>, degrees
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdPosSource;                ///< ValueSelection: Manual, GPS
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdPosCalculation;           ///< Value<bool>
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdPosLatitude;              ///< ValueNumeric<double>, "/Res/PosR/PosLatitude"
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdPosLongitude;             ///< ValueNumeric<double>, "/Res/PosR/PosLongitude"

// Results.
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdAzimuth;                  ///< Value<BearingResult>, "/Res/DfR/Azimuth"
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdAzimuthList;              ///< ValueList<BearingResult>, "/Res/DfR/AzimuthList"
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdTrueHeading;              ///< ValueNumeric<int>, "/Res/HeaR/TrueHeading"
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdRoll;                     ///< ValueNumeric<double>, "/Res/PosR/Roll"
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdPitch;                    ///< ValueNumeric<double>, "/Res/PosR/Pitch"
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdAltitude;                 ///< ValueNumeric<double>, "/Res/PosR/Altitude"
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdPosLastUpdate;            ///< Value<qint64>, "/Res/PosR/PosLastUpdate"
KVTHOST_EXPORT extern const values::ValueDescriptor g_vdSRStatus;                 ///< ValueSelection, "/Par/Evt/SRStatus"

/// Every descriptor of the device node (not the antenna members and not the
/// antenna node, which live below the configuration node), in catalogue order.
KVTHOST_EXPORT QList<const values::ValueDescriptor*> GetDeviceDescriptors();
/// The members of an antenna node, in the order the builder creates them.
KVTHOST_EXPORT QList<const values::ValueDescriptor*> GetAntennaDescriptors();

}
