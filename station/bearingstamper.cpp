#include "station/bearingstamper.h"

#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristics.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristicstools.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtinformationcenter.h"
#include "valueframework/valueclasses/bearingresult.h"

#include <cmath>

BearingStamper::BearingStamper(const StationPlace& place, std::function<quint64()> clockMs)
    : m_place(place)
    , m_clockMs(std::move(clockMs))
{
}

Bearing BearingStamper::Stamp(const values::BearingResult& result)
{
    Bearing bearing;
    bearing.strStation = m_place.status.strName;
    bearing.nSeq = ++m_nSeq;
    bearing.nTimeMs = static_cast<qint64>(m_clockMs());
    bearing.fLatitude = m_place.status.fLatitude;
    bearing.fLongitude = m_place.status.fLongitude;
    bearing.fHeading = m_place.status.fHeading;
    // The device measures in tenths of a degree from the bow.
    bearing.fBearing = std::fmod(result.GetAzimuth() / 10.0 + m_place.status.fHeading, 360.0);
    bearing.fSigma = m_place.fSigma;
    bearing.fQuality = result.GetQuality();
    bearing.fFrequency = result.GetFrequency();
    // The device gives the level in hundredths of a dBµV.
    bearing.fLevel = result.GetLevel() / 100.0;
    bearing.strMethod = MethodAt(bearing.fFrequency);
    return bearing;
}

QString BearingStamper::MethodAt(double fFrequency)
{
    if (fFrequency != m_fMethodFrequency) {
        m_fMethodFrequency = fFrequency;
        const std::list<EKVTMethod> methods =
            KVTInformationCenter::Instance()->GetKVTCharacteristics().GetAvailableDfMethodsForFreq(fFrequency,
                                                                                                 fFrequency);
        m_strMethod = methods.empty() ? QString() : KVTCharacteristicsTools().TranslateDfMethod(methods.front());
    }
    return m_strMethod;
}
