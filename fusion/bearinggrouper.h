#pragma once

#include "fusion/bearing.h"
#include "fusion/fix.h"
#include "fusion/fixestimator.h"

#include <QHash>
#include <QString>

#include <deque>
#include <unordered_set>
#include <vector>

/// Sorts bearings into emitters and windows and fixes each window.
///
/// A channel gathers the bearings whose frequencies lie within half the
/// (larger) bandwidth of its first one; time runs in windows of fixed length
/// aligned to the epoch, driven by the newest bearing time seen. When a
/// window ends, the bearings of its channel from the last "max age" seconds
/// before its end make one fix if they come from at least two stations.
/// Bearings older than max age are dropped, so memory stays bounded by what
/// arrives within that time.
///
/// Refused (and counted): a repeated (station, seq); a station reporting the
/// same bearing at the same time again; a bearing older than the window
/// already closed for its channel or than max age ("late"). Bearings are
/// expected in about time order (sort a batch first).
///
/// Single-threaded.
class BearingGrouper
{
public:
    struct Settings
    {
        double fWindowS = 10.0;
        double fMaxAgeS = 10.0;
        /// Channel width for bearings that carry no bandwidth, Hz.
        double fDefaultBandwidth = 25000.0;
    };
    struct Counters
    {
        qint64 nAccepted = 0;
        qint64 nDuplicates = 0;
        qint64 nLate = 0;
        qint64 nFixes = 0;
        /// Windows with bearings of one station only, or lines that do not cross.
        qint64 nUnfixedWindows = 0;
        /// Bearings of the closed windows that no fix kept (wild, reflected, outvoted, of no emitter).
        qint64 nUnassigned = 0;
    };

    BearingGrouper(const Settings& settings, const FixEstimator& estimator);

    /// Takes a checked bearing (BearingJson::Check); the fixes of the
    /// windows its time closes are appended to rFixes. False when the bearing
    /// was refused.
    bool Add(const Bearing& bearing, std::vector<Fix>& rFixes);
    /// Closes every open window (the end of the input).
    void Flush(std::vector<Fix>& rFixes);

    const Counters& GetCounters() const { return m_counters; }
    /// Bearings held for windows still open.
    size_t GetStoredCount() const;

private:
    struct Channel
    {
        double fFrequency = 0.0;
        double fBandwidth = 0.0;
        qint64 nWindowStartMs = 0;
        std::deque<Bearing> lstBearings;
    };
    struct Key
    {
        int nStation;
        qint64 nFirst;
        qint64 nSecond;
        bool operator==(const Key& other) const
        {
            return nStation == other.nStation && nFirst == other.nFirst && nSecond == other.nSecond;
        }
    };
    struct KeyHash
    {
        size_t operator()(const Key& key) const;
    };
    struct Seen
    {
        qint64 nTimeMs;
        Key seq;
        Key value;
    };

    bool IsDuplicate(const Bearing& bearing);
    Channel& ChannelOf(const Bearing& bearing);
    void Advance(qint64 nowMs, std::vector<Fix>& rFixes);
    void Close(Channel& channel, std::vector<Fix>& rFixes);
    void Forget(qint64 beforeMs);

    Settings m_settings;
    FixEstimator m_estimator;
    qint64 m_nWindowMs;
    qint64 m_nMaxAgeMs;
    qint64 m_nNowMs;
    qint64 m_nNextCloseMs;
    std::vector<Channel> m_lstChannels;
    QHash<QString, int> m_mapStations;
    std::deque<Seen> m_lstSeen;
    std::unordered_set<Key, KeyHash> m_setSeqs;
    std::unordered_set<Key, KeyHash> m_setValues;
    Counters m_counters;
};
