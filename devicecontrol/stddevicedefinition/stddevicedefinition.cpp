#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"

#include "valueframework/valueclasses/bearingresult.h"
#include "valueframework/valueclasses/node.h"
#include "valueframework/valueclasses/selitemdesc.h"
#include "valueframework/valueclasses/value.h"
#include "valueframework/valueclasses/valuelist.h"
#include "valueframework/valueclasses/valuenumeric.h"
#include "valueframework/valueclasses/valueselection.h"

namespace StdDeviceDefinition
{

namespace
{
using values::ValueBase;

template <class T>
std::unique_ptr<ValueBase> Make()
{
    return std::make_unique<T>();
}

/// A numeric value with a fixed range, step 1.
template <class T, int MIN, int MAX>
std::unique_ptr<ValueBase> MakeRange()
{
    return std::make_unique<values::ValueNumeric<T>>(QString(), T(0), T(MIN), T(MAX), T(1));
}

using Bool = values::Value<bool>;
using Int = values::Value<int>;
using Text = values::Value<QString>;
using Real = values::ValueNumeric<double>;
using Selection = values::ValueSelection;

const values::SelItemDesc s_aDevTypes[] = {
    {"KVTN1", 0.0, 0}, {"KVTQ1", 0.0, 1}, {"KVTP1", 0.0, 2}, {"KVTU1", 0.0, 3}, {"KVTW1", 0.0, 4}};
// Keys are the polarisation codes the library translates the names to.
const values::SelItemDesc s_aPolarisations[] = {
    {"Left", 0.0, 0}, {"Right", 0.0, 1}, {"Vertical", 0.0, 2}, {"Horizontal", 0.0, 3}};
const values::SelItemDesc s_aHeadingSources[] = {
    {"None", 0.0, 0}, {"Compass", 0.0, 1}, {"GPS", 0.0, 2}, {"Manual", 0.0, 3}};
const values::SelItemDesc s_aPositionSources[] = {{"Manual", 0.0, 0}, {"GPS", 0.0, 1}};
const values::SelItemDesc s_aGainControlModes[] = {{"AGC", 0.0, 0}, {"MGC", 0.0, 1}};
const values::SelItemDesc s_aAgcDecays[] = {{"Fast", 0.0, 0}, {"Medium", 0.0, 1}, {"Slow", 0.0, 2}};

template <size_t N>
constexpr int Count(const values::SelItemDesc (&)[N])
{
    return static_cast<int>(N);
}
}

#define KVT_SELECTION(table) &Make<Selection>, table, Count(table)

const values::ValueDescriptor g_vdNodeCfg("/DevAttr/Cfg", &Make<values::Node>);
const values::ValueDescriptor g_vdNodeAnt("/Ant", &Make<values::Node>);

const values::ValueDescriptor g_vdAntChanged("/AntChanged", &Make<Bool>);
const values::ValueDescriptor g_vdAntName("/AntName", &Make<Text>);
const values::ValueDescriptor g_vdAntHandle("/AntHandle", &Make<Int>);
const values::ValueDescriptor g_vdAntEnabled("/AntEnabled", &Make<Bool>);
const values::ValueDescriptor g_vdAntMinRange("/AntMinRange", &Make<Real>);
const values::ValueDescriptor g_vdAntMaxRange("/AntMaxRange", &Make<Real>);
const values::ValueDescriptor g_vdAntCompassEnabled("/AntCompassEnabled", &Make<Bool>);
const values::ValueDescriptor g_vdAntMechOffset("/AntMechOffset", &Make<Real>);
const values::ValueDescriptor g_vdAntCompassSupport("/AntCompassSupport", &Make<Bool>);
const values::ValueDescriptor g_vdAntDfAlgorithm("/AntDfAlgorithm", &Make<Selection>);
const values::ValueDescriptor g_vdAntMinFreq("/AntMinFreq", &Make<Real>);
const values::ValueDescriptor g_vdAntMaxFreq("/AntMaxFreq", &Make<Real>);
const values::ValueDescriptor g_vdAntPolarizationSupport("/AntPolarizationSupport", &Make<Int>);
const values::ValueDescriptor g_vdAntPolarizationMode("/AntPolarizationMode", &Make<Int>);
const values::ValueDescriptor g_vdAntActivePassiveSupport("/AntActivePassiveSupport", &Make<Bool>);
const values::ValueDescriptor g_vdAntCompassValue("/AntCompassValue", &Make<Real>);
const values::ValueDescriptor g_vdAntCompassHandle("/AntCompassHandle", &Make<Int>);
const values::ValueDescriptor g_vdAntConverterHandle("/AntConverterHandle", &Make<Int>);
const values::ValueDescriptor g_vdAntConverterTypeName("/AntConverterTypeName", &Make<Text>);

const values::ValueDescriptor g_vdDevType("/DevAttr/DevType", KVT_SELECTION(s_aDevTypes));
const values::ValueDescriptor g_vdDevName("/DevAttr/DevName", &Make<Text>);
const values::ValueDescriptor g_vdDevAddress("/DevAttr/DevAddress", &Make<Text>);
const values::ValueDescriptor g_vdDevMaxChannelCount("/DevAttr/MaxChannelCount", &Make<Int>);
const values::ValueDescriptor g_vdDevInfo("/DevAttr/DevInfo", &Make<Selection>);
const values::ValueDescriptor g_vdDevRequiredComponents("/DevAttr/RequiredComponents", &Make<Text>);
const values::ValueDescriptor g_vdDevOptionalComponents("/DevAttr/OptionalComponents", &Make<Text>);
const values::ValueDescriptor g_vdDevRequirementsEditable("/DevAttr/RequirementsEditable", &Make<Bool>);
const values::ValueDescriptor g_vdDevCheckRequirements("/DevAttr/CheckRequirements", &Make<Bool>);
const values::ValueDescriptor g_vdCfgModifyTime("/DevAttr/CfgModifyTime", &Make<Text>);
const values::ValueDescriptor g_vdKnownCalErrorMessage("/DevAttr/KnownCalErrorMessage", &Make<Text>);
const values::ValueDescriptor g_vdKnownDevErrorMessage("/DevAttr/KnownDevErrorMessage", &Make<Text>);
const values::ValueDescriptor g_vdOperationMode("/DevAttr/OperationMode", &Make<Selection>);

const values::ValueDescriptor g_vdFrequency("/Par/Rx/Frequency", &Make<Real>);
const values::ValueDescriptor g_vdBandwidth("/Par/Rx/Bandwidth", &Make<Selection>);
const values::ValueDescriptor g_vdDemodulation("/Par/Rx/Demodulation", &Make<Selection>);
const values::ValueDescriptor g_vdSynFastMode("/Par/Rx/SynFastMode", &Make<Bool>);
const values::ValueDescriptor g_vdPreAmplifierHf("/Par/Rx/PreAmplifierHf", &Make<Bool>);
const values::ValueDescriptor g_vdPreAmplifierVuhf("/Par/Rx/PreAmplifierVuhf", &Make<Bool>);
const values::ValueDescriptor g_vdGainControlMode("/Par/Rx/GainControlMode", KVT_SELECTION(s_aGainControlModes));
const values::ValueDescriptor g_vdAGCDecay("/Par/Rx/AGCDecay", KVT_SELECTION(s_aAgcDecays));
const values::ValueDescriptor g_vdMGCLevel("/Par/Rx/MGCLevel", &MakeRange<int, -30, 130>);
const values::ValueDescriptor g_vdAuChannelMute("/Par/Audio/ChannelMute", &Make<Bool>);
const values::ValueDescriptor g_vdAuChannelVolume("/Par/Audio/ChannelVolume", &MakeRange<int, 0, 100>);
const values::ValueDescriptor g_vdAuSquelch("/Par/Audio/Squelch", &Make<Bool>);
const values::ValueDescriptor g_vdAudioThreshold("/Par/Audio/Threshold", &MakeRange<int, -30, 130>);

const values::ValueDescriptor g_vdAntennaActive("/Par/Ant/AntennaActive", &Make<Bool>);
const values::ValueDescriptor g_vdPolarisation("/Par/Ant/Polarisation", KVT_SELECTION(s_aPolarisations));
const values::ValueDescriptor g_vdHeaSource("/Par/Hea/Source", KVT_SELECTION(s_aHeadingSources));
const values::ValueDescriptor g_vdHeaOffset("/Par/Hea/Offset", &MakeRange<int, -3599, 3599>);
const values::ValueDescriptor g_vdDeclination("/Par/Hea/Declination", &MakeRange<int, -1800, 1800>);
const values::ValueDescriptor g_vdPitchThreshold("/Par/Pos/PitchThreshold", &MakeRange<double, 0, 90>);
const values::ValueDescriptor g_vdRollThreshold("/Par/Pos/RollThreshold", &MakeRange<double, 0, 90>);
const values::ValueDescriptor g_vdPosSource("/Par/Pos/Source", KVT_SELECTION(s_aPositionSources));
const values::ValueDescriptor g_vdPosCalculation("/Par/Pos/Calculation", &Make<Bool>);
const values::ValueDescriptor g_vdPosLatitude("/Res/PosR/PosLatitude", &MakeRange<double, -90, 90>);
const values::ValueDescriptor g_vdPosLongitude("/Res/PosR/PosLongitude", &MakeRange<double, -180, 180>);

const values::ValueDescriptor g_vdAzimuth("/Res/DfR/Azimuth", &Make<values::Value<values::BearingResult>>);
const values::ValueDescriptor g_vdAzimuthList("/Res/DfR/AzimuthList", &Make<values::ValueList<values::BearingResult>>);
const values::ValueDescriptor g_vdTrueHeading("/Res/HeaR/TrueHeading", &MakeRange<int, 0, 3599>);
const values::ValueDescriptor g_vdRoll("/Res/PosR/Roll", &MakeRange<double, -180, 180>);
const values::ValueDescriptor g_vdPitch("/Res/PosR/Pitch", &MakeRange<double, -90, 90>);
const values::ValueDescriptor g_vdAltitude("/Res/PosR/Altitude", &Make<Real>);
const values::ValueDescriptor g_vdPosLastUpdate("/Res/PosR/PosLastUpdate", &Make<values::Value<qint64>>);
const values::ValueDescriptor g_vdSRStatus("/Par/Evt/SRStatus", &Make<Selection>);

#undef KVT_SELECTION

QList<const values::ValueDescriptor*> GetDeviceDescriptors()
{
    return {&g_vdNodeCfg,
            &g_vdDevType, &g_vdDevName, &g_vdDevAddress, &g_vdDevMaxChannelCount, &g_vdDevInfo,
            &g_vdDevRequiredComponents, &g_vdDevOptionalComponents, &g_vdDevRequirementsEditable,
            &g_vdDevCheckRequirements, &g_vdCfgModifyTime, &g_vdKnownCalErrorMessage, &g_vdKnownDevErrorMessage,
            &g_vdOperationMode,
            &g_vdFrequency, &g_vdBandwidth, &g_vdDemodulation, &g_vdSynFastMode, &g_vdPreAmplifierHf,
            &g_vdPreAmplifierVuhf, &g_vdGainControlMode, &g_vdAGCDecay, &g_vdMGCLevel, &g_vdAuChannelMute,
            &g_vdAuChannelVolume, &g_vdAuSquelch, &g_vdAudioThreshold,
            &g_vdAntennaActive, &g_vdPolarisation, &g_vdHeaSource, &g_vdHeaOffset, &g_vdDeclination,
            &g_vdPitchThreshold, &g_vdRollThreshold, &g_vdPosSource, &g_vdPosCalculation, &g_vdPosLatitude,
            &g_vdPosLongitude,
            &g_vdAzimuth, &g_vdAzimuthList, &g_vdTrueHeading, &g_vdRoll, &g_vdPitch, &g_vdAltitude,
            &g_vdPosLastUpdate, &g_vdSRStatus};
}

QList<const values::ValueDescriptor*> GetAntennaDescriptors()
{
    return {&g_vdAntChanged, &g_vdAntName, &g_vdAntHandle, &g_vdAntEnabled, &g_vdAntMinRange,
            &g_vdAntMaxRange, &g_vdAntCompassEnabled, &g_vdAntMechOffset, &g_vdAntCompassSupport,
            &g_vdAntDfAlgorithm, &g_vdAntMinFreq, &g_vdAntMaxFreq, &g_vdAntPolarizationSupport,
            &g_vdAntPolarizationMode, &g_vdAntActivePassiveSupport, &g_vdAntCompassValue,
            &g_vdAntCompassHandle, &g_vdAntConverterHandle, &g_vdAntConverterTypeName};
}

}
