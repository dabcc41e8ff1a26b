#include "devicecontrol/directionfinder/kvtcommon/antennadata.h"

// Qt's containers and strings copy by value (implicitly shared, detached on
// write), so the member-wise copy is a deep copy.
AntennaData::AntennaData() = default;

AntennaData::AntennaData(const AntennaData& other) = default;

AntennaData& AntennaData::operator=(const AntennaData& other) = default;

AntennaData::~AntennaData() = default;
