#include "station/filteredsectors.h"

#include "station/stationenvironment.h"
#include "valueframework/valueclasses/quadfloat.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/valuelist.h"

std::vector<PolarGeometry::Sector> FilteredSectors::Read(const QString& devicePath)
{
    std::vector<PolarGeometry::Sector> sectors;
    const auto* pRanges = values::Tree::Instance()->Find<values::ValueList<values::QuadFloat>>(
        devicePath + StationEnvironment::DISPLAY_FILTER_RANGES);
    if (pRanges != nullptr) {
        for (const values::QuadFloat& range : pRanges->GetItems())
            sectors.emplace_back(range.GetFloat3(), range.GetFloat4());
    }
    return sectors;
}
