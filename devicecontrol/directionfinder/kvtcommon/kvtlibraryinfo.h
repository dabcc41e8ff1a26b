#pragma once

#include "kvtcommon_export.h"

#include <QString>

/// Identifies the build of the library a driver or tool is running against.
class KVTCOMMON_EXPORT KvtLibraryInfo
{
public:
    /// The library version as "major.minor.patch".
    static QString Version();
};
