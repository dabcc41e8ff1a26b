#pragma once

#include "kvthost_export.h"

#include <QString>

/// Identifies the build of the host platform layer, for diagnostics and tools.
class KVTHOST_EXPORT HostVersion
{
public:
    /// The project version as "major.minor.patch".
    static QString Version();
};
