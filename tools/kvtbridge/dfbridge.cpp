#include "tools/kvtbridge/dfbridge.h"

#include "contract/bearingrecord.h"

namespace kvt {

DfBridge::DfBridge(const Settings& settings)
    : m_settings(settings)
{
}

bool DfBridge::Take(const QByteArray& document, Bearing& rBearing)
{
    ++m_counters.nDocuments;
    DfReading reading;
    QString error;
    if (!DfReading::Parse(document, reading, error)) {
        ++m_counters.nGarbage;
        m_counters.strLastGarbage = error;
        return false;
    }
    if (reading.nTimeMs <= m_nLastTimeMs) {
        ++m_counters.nRepeated;
        return false;
    }
    if (reading.fConfidence < m_settings.fMinConfidence) {
        ++m_counters.nLowConfidence;
        // A repeat of this TIME is the same refused bearing, not a new refusal.
        m_nLastTimeMs = reading.nTimeMs;
        return false;
    }
    m_nLastTimeMs = reading.nTimeMs;
    m_lastReading = reading;
    const double doa = m_settings.bAntiClockwise ? -reading.fDoa : reading.fDoa;
    // -0 is an azimuth of 0 as well, written without its sign.
    const double heading = kvt::WrapDegrees(reading.fHeading) + 0.0;
    const double relative = kvt::WrapDegrees(doa) + 0.0;
    const double bearing = kvt::WrapDegrees(heading + relative) + 0.0;
    rBearing = Bearing();
    rBearing.strStation = m_settings.strStation;
    rBearing.nSeq = ++m_nSeq;
    rBearing.nTimeMs = reading.nTimeMs;
    rBearing.fLatitude = reading.fLatitude;
    rBearing.fLongitude = reading.fLongitude;
    rBearing.fHeading = heading;
    rBearing.fBearing = bearing;
    rBearing.fRelativeBearing = relative;
    rBearing.fSigma = m_settings.fSigma;
    rBearing.fQuality = reading.fConfidence;
    rBearing.fFrequency = reading.fFrequencyMHz * 1e6;
    rBearing.fLevel = reading.fPower;
    ++m_counters.nPassed;
    return true;
}

QJsonObject DfBridge::CountersJson() const
{
    return {
        {QStringLiteral("documents"), static_cast<qint64>(m_counters.nDocuments)},
        {QStringLiteral("published"), static_cast<qint64>(m_counters.nPassed)},
        {QStringLiteral("repeated"), static_cast<qint64>(m_counters.nRepeated)},
        {QStringLiteral("lowConfidence"), static_cast<qint64>(m_counters.nLowConfidence)},
        {QStringLiteral("garbage"), static_cast<qint64>(m_counters.nGarbage)},
        {QStringLiteral("lastGarbage"), m_counters.strLastGarbage},
    };
}

}
