#pragma once

#include "kvtstationlib_export.h"

#include <QString>

/// The platform's true heading as the device reports it ("TrueHeading" below
/// the device node, in tenths of a degree): what turns the azimuths the device
/// measures from the bow into true bearings.
class KVTSTATION_EXPORT PlatformHeading
{
public:
    /// Degrees clockwise from true north in [0, 360); 0 (bow north) while
    /// the device reports none.
    static double Read(const QString& devicePath);
};
