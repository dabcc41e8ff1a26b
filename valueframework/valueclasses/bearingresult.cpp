#include "valueframework/valueclasses/bearingresult.h"

#include "valueframework/valueclasses/value.h"

#include <QStringList>

#include <limits>

namespace values
{

namespace
{
constexpr unsigned ALL_VALID = (1u << BearingResult::VALUE_COUNT) - 1;

/// Reads an integer of type I from `text`; false when it does not fit.
template <class I>
bool ReadInteger(const QString& text, I& rValue)
{
    qint64 n = 0;
    if (!ValueText<qint64>::FromString(text, n) || n < static_cast<qint64>(std::numeric_limits<I>::min()) ||
        n > static_cast<qint64>(std::numeric_limits<I>::max()))
        return false;
    rValue = static_cast<I>(n);
    return true;
}
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
    m_fFrequency = frequency;
    SetValueValid(VALUE_FREQUENCY, true);
}

void BearingResult::SetLevel(qint16 level)
{
    m_nLevel = level;
    SetValueValid(VALUE_LEVEL, true);
}

void BearingResult::SetAzimuth(quint16 azimuth)
{
    m_nAzimuth = azimuth;
    SetValueValid(VALUE_AZIMUTH, true);
}

void BearingResult::SetElevation(qint16 elevation)
{
    m_nElevation = elevation;
    SetValueValid(VALUE_ELEVATION, true);
}

void BearingResult::SetQuality(qint16 quality)
{
    m_nQuality = quality;
    SetValueValid(VALUE_QUALITY, true);
}

void BearingResult::SetTimeStamp(quint64 timeStamp)
{
    m_nTimeStamp = timeStamp;
    SetValueValid(VALUE_TIMESTAMP, true);
}

bool BearingResult::operator==(const BearingResult& other) const
{
    return m_fFrequency == other.m_fFrequency && m_nLevel == other.m_nLevel && m_nAzimuth == other.m_nAzimuth &&
           m_nElevation == other.m_nElevation && m_nQuality == other.m_nQuality &&
           m_nTimeStamp == other.m_nTimeStamp && m_nValidMask == other.m_nValidMask;
}

QString BearingResult::ToString() const
{
    return QStringList{ValueText<double>::ToString(m_fFrequency), QString::number(m_nLevel),
                       QString::number(m_nAzimuth), QString::number(m_nElevation), QString::number(m_nQuality),
                       QString::number(m_nTimeStamp), QString::number(m_nValidMask)}
        .join(QLatin1Char(';'));
}

bool BearingResult::FromString(const QString& text, BearingResult& rResult)
{
    const QStringList lstParts = text.split(QLatin1Char(';'));
    if (lstParts.size() != 7)
        return false;
    BearingResult result;
    bool bTimeOk = false;
    result.m_nTimeStamp = lstParts[5].trimmed().toULongLong(&bTimeOk);
    if (!bTimeOk || !ValueText<double>::FromString(lstParts[0], result.m_fFrequency) ||
        !ReadInteger(lstParts[1], result.m_nLevel) || !ReadInteger(lstParts[2], result.m_nAzimuth) ||
        !ReadInteger(lstParts[3], result.m_nElevation) || !ReadInteger(lstParts[4], result.m_nQuality) ||
        !ReadInteger(lstParts[6], result.m_nValidMask) || result.m_nValidMask > ALL_VALID)
        return false;
    rResult = result;
    return true;
}

}
