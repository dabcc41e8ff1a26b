#include "station/platformheading.h"

#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "station/devicevalue.h"
#include "valueframework/valueclasses/valuenumeric.h"

double PlatformHeading::Read(const QString& devicePath)
{
    const auto* pHeading =
        DeviceValue<values::ValueNumeric<int>>(devicePath, StdDeviceDefinition::g_vdTrueHeading);
    return pHeading != nullptr ? pHeading->GetValue() / 10.0 : 0.0;
}
