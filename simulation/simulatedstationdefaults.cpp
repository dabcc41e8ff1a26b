#include "simulation/simulatedstationdefaults.h"

#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "station/devicevalue.h"
#include "valueframework/valueclasses/valuenumeric.h"
#include "valueframework/valueclasses/valueselection.h"

namespace {

/// Thresholds in degrees.
const double PITCH_THRESHOLD = 8.0;
const double ROLL_THRESHOLD = 10.0;
const double LATITUDE = 54.3233;
const double LONGITUDE = 10.1228;
const int HEADING_SOURCE_COMPASS = 1;
const int POSITION_SOURCE_GPS = 1;

void SetNumber(const QString& devicePath, const values::ValueDescriptor& descriptor, double value)
{
    if (auto* pValue = DeviceValue<values::ValueNumeric<double>>(devicePath, descriptor))
        pValue->SetValue(value);
}

void SelectKey(const QString& devicePath, const values::ValueDescriptor& descriptor, int key)
{
    if (auto* pValue = DeviceValue<values::ValueSelection>(devicePath, descriptor))
        pValue->SetCurrentKey(key);
}

void PresetSetup(const QString& devicePath)
{
    SetNumber(devicePath, StdDeviceDefinition::g_vdPitchThreshold, PITCH_THRESHOLD);
    SetNumber(devicePath, StdDeviceDefinition::g_vdRollThreshold, ROLL_THRESHOLD);
    SetNumber(devicePath, StdDeviceDefinition::g_vdPosLatitude, LATITUDE);
    SetNumber(devicePath, StdDeviceDefinition::g_vdPosLongitude, LONGITUDE);
    SelectKey(devicePath, StdDeviceDefinition::g_vdHeaSource, HEADING_SOURCE_COMPASS);
    SelectKey(devicePath, StdDeviceDefinition::g_vdPosSource, POSITION_SOURCE_GPS);
}

}

StationEnvironment::Defaults SimulatedStationDefaults::Get()
{
    StationEnvironment::Defaults defaults;
    defaults.strDeviceDescription = QStringLiteral("Simulated direction finder");
    defaults.presetSetup = PresetSetup;
    defaults.lstRequiredComponents = QStringList{QStringLiteral("DF Processor"), QStringLiteral("HF Receiver"),
                                                 QStringLiteral("VUHF Receiver"), QStringLiteral("Compass")};
    defaults.lstOptionalComponents = QStringList{QStringLiteral("Antenna Switch"), QStringLiteral("GPS Receiver")};
    defaults.bOverheadPass = true;
    return defaults;
}

StationPlace SimulatedStationDefaults::HomePort(const QString& name)
{
    StationPlace place;
    place.status.strName = name;
    place.status.fLatitude = LATITUDE;
    place.status.fLongitude = LONGITUDE;
    place.status.fFrequencyMin = 20e6;
    place.status.fFrequencyMax = 3e9;
    return place;
}
