#include "station/stationplace.h"

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

StationPlace StationPlace::Of(const Scenario::Station& station)
{
    StationPlace place;
    place.status.strName = station.strName;
    place.status.fLatitude = station.fLatitude;
    place.status.fLongitude = station.fLongitude;
    place.status.fHeading = station.fHeading;
    place.status.fFrequencyMin = station.fFrequencyMin;
    place.status.fFrequencyMax = station.fFrequencyMax;
    place.fSigma = station.fSigma;
    return place;
}
