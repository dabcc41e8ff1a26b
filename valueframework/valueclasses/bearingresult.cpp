#include "valueframework/valueclasses/bearingresult.h"

#include "valueframework/valueclasses/value.h"

namespace values
{

namespace
{
constexpr unsigned ALL_VALID = (1u << BearingResult::VALUE_COUNT) - 1;
}

BearingResult::BearingResult(const Bearing& bearing, quint64 timeStamp)
    : m_fFrequency(bearing.frequency)
    , m_nLevel(bearing.level)
    , m_nAzimuth(bearing.azimuth)
    , m_nElevation(bearing.elevation)
    , m_nQuality(bearing.quality)
    , m_nTimeStamp(timeStamp)
    , m_nValidMask(ALL_VALID)
{
}

BearingResult::~BearingResult() = default;

bool BearingResult::IsValueValid(int index) const
{
    return index >= 0 && index < VALUE_COUNT && (m_nValidMask & (1u << index)) != 0;
}

void BearingResult::SetValueValid(int index, bool bValid)
{
    if (index < 0 || index >= VALUE_COUNT)
        return;
    if (bValid)
        m_nValidMask |= 1u << index;
    else
        m_nValidMask &= ~(1u << index);
}

void BearingResult::SetFrequency(double frequency)
{
    SetMember(m_fFrequency, frequency, VALUE_FREQUENCY);
}

void BearingResult::SetLevel(qint16 level)
{
    SetMember(m_nLevel, level, VALUE_LEVEL);
}

void BearingResult::SetAzimuth(quint16 azimuth)
{
    SetMember(m_nAzimuth, azimuth, VALUE_AZIMUTH);
}

void BearingResult::SetElevation(qint16 elevation)
{
    SetMember(m_nElevation, elevation, VALUE_ELEVATION);
}

void BearingResult::SetQuality(qint16 quality)
{
    SetMember(m_nQuality, quality, VALUE_QUALITY);
}

void BearingResult::SetTimeStamp(quint64 timeStamp)
{
    SetMember(m_nTimeStamp, timeStamp, VALUE_TIMESTAMP);
}

bool BearingResult::operator==(const BearingResult& other) const
{
    return m_fFrequency == other.m_fFrequency && m_nLevel == other.m_nLevel && m_nAzimuth == other.m_nAzimuth &&
           m_nElevation == other.m_nElevation && m_nQuality == other.m_nQuality &&
           m_nTimeStamp == other.m_nTimeStamp && m_nValidMask == other.m_nValidMask;
}

QString BearingResult::ToString() const
{
    return WriteFields(m_fFrequency, m_nLevel, m_nAzimuth, m_nElevation, m_nQuality, m_nTimeStamp, m_nValidMask);
}

bool BearingResult::FromString(const QString& text, BearingResult& rResult)
{
    BearingResult r;
    if (!ReadFields(text, r.m_fFrequency, r.m_nLevel, r.m_nAzimuth, r.m_nElevation, r.m_nQuality, r.m_nTimeStamp,
                    r.m_nValidMask) ||
        r.m_nValidMask > ALL_VALID)
        return false;
    rResult = r;
    return true;
}

}
