#include "station/bearingstamper.h"

#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristics.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristicstools.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtinformationcenter.h"
#include "valueframework/valueclasses/bearingresult.h"

BearingStamper::BearingStamper(const StationPlace& place, double fBandwidth, std::function<quint64()> clockMs,
                               std::function<double()> heading)
    : m_place(place)
    , m_fBandwidth(fBandwidth)
    , m_clockMs(std::move(clockMs))
    , m_heading(std::move(heading))
{
}

kvt::BearingRecord BearingStamper::Stamp(const values::BearingResult& result)
{
    kvt::BearingRecord bearing;
    bearing.strStation = m_place.status.strName;
    bearing.nSeq = ++m_nSeq;
    bearing.nTimeMs = static_cast<qint64>(m_clockMs());
    bearing.fLatitude = m_place.status.fLatitude;
    bearing.fLongitude = m_place.status.fLongitude;
    const double heading = m_heading();
    bearing.fHeading = heading >= 0.0 ? heading : m_place.status.fHeading;
    // The device measures in tenths of a degree from the bow.
    bearing.fRelativeBearing = kvt::WrapDegrees(result.GetAzimuth() / 10.0);
    bearing.fBearing = kvt::WrapDegrees(bearing.fRelativeBearing + bearing.fHeading);
    bearing.fSigma = m_place.fSigma;
    bearing.fQuality = result.GetQuality();
    bearing.fFrequency = result.GetFrequency();
    bearing.fBandwidth = m_fBandwidth;
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
