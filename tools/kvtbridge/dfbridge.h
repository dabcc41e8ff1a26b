#pragma once

#include "fusion/bearing.h"
#include "tools/kvtbridge/dfreading.h"

#include <QJsonObject>
#include <QString>

namespace kvt {

/// Turns the receiver's current-bearing documents into bearings of one
/// station of the network, and counts what it did not pass on.
///
/// A document whose TIME is that of the last one passed on is the same
/// bearing (the receiver is polled faster than it measures) and is only
/// counted as repeated; so is an older one. A confidence below the threshold
/// is refused and counted. The true bearing is HEADING + DOA, or HEADING -
/// DOA where the receiver counts the DOA anti-clockwise.
class DfBridge
{
public:
    struct Settings
    {
        /// The station's name on the broker; the document's STATION_ID is not used.
        QString strStation;
        /// The station's rated bearing standard deviation, degrees (0, 90].
        double fSigma = 3.0;
        /// CONF below this is refused.
        double fMinConfidence = 0.0;
        bool bAntiClockwise = false;
    };

    struct Counters
    {
        quint64 nDocuments = 0;
        quint64 nPassed = 0;
        quint64 nRepeated = 0;
        quint64 nLowConfidence = 0;
        quint64 nGarbage = 0;
        /// Why the last document was not read; empty while none was garbage.
        QString strLastGarbage;
    };

    explicit DfBridge(const Settings& settings);

    /// Reads one document; true with the bearing to publish when it is a new one.
    bool Take(const QByteArray& document, Bearing& rBearing);

    const Counters& GetCounters() const { return m_counters; }
    /// The reading the last bearing came from; meaningful once Take() was true.
    const DfReading& GetLastReading() const { return m_lastReading; }
    /// {"documents", "published", "repeated", "lowConfidence", "garbage", "lastGarbage"}.
    QJsonObject CountersJson() const;

private:
    Settings m_settings;
    Counters m_counters;
    DfReading m_lastReading;
    qint64 m_nSeq = 0;
    /// TIME of the last document passed on or refused for its confidence; TIME is above 0.
    qint64 m_nLastTimeMs = 0;
};

}
