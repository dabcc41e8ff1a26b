#pragma once

#include "kvtstationlib_export.h"
#include "station/polargeometry.h"

#include <QString>

#include <vector>

/// The sectors in which the device filters bearings out, as the station
/// publishes them in its display filter ranges below the device node
/// (StationEnvironment::DISPLAY_FILTER_RANGES).
class KVTSTATION_EXPORT FilteredSectors
{
public:
    /// Empty when the ranges are not published.
    static std::vector<PolarGeometry::Sector> Read(const QString& devicePath);
};
