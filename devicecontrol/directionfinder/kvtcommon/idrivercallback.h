#pragma once

#include "devicecontrol/directionfinder/kvtcommon/ilegacydrivercallback.h"
#include "kvtcommon_export.h"

namespace NxKVTCommon
{

/// Reports of a current driver to the application. It begins with exactly the legacy callback's
/// operations in the same slots and adds none today, so it is that interface under its current
/// name; new operations may only be appended here. Not deleted through this interface.
class KVTCOMMON_EXPORT IDriverCallback : public ILegacyDriverCallback
{
protected:
    ~IDriverCallback() = default;
};

} // namespace NxKVTCommon
