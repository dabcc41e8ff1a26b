#include "tools/kvtstation/stationplace.h"

StationPlace StationPlace::Default(const QString& name)
{
    StationPlace place;
    place.status.strName = name;
    place.status.fLatitude = 54.3233;
    place.status.fLongitude = 10.1228;
    place.status.fHeading = 0.0;
    place.status.fFrequencyMin = 20e6;
    place.status.fFrequencyMax = 3e9;
    return place;
}
