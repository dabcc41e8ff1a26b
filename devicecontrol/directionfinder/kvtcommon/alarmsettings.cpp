#include "devicecontrol/directionfinder/kvtcommon/alarmsettings.h"

// Out of line so that the vtable and type information live in this library only.
AlarmSettings::AlarmSettings() = default;
AlarmSettings::AlarmSettings(const AlarmSettings& other) = default;
AlarmSettings& AlarmSettings::operator=(const AlarmSettings& other) = default;
AlarmSettings::~AlarmSettings() = default;
