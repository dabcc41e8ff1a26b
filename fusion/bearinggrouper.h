#pragma once

#include "fusion/bearing.h"
#include "fusion/bearinggrouperstations.h"
#include "fusion/fix.h"
#include "fusion/fixestimator.h"

#include <QString>

#include <deque>
#include <functional>
#include <unordered_set>
#include <vector>

/// Sorts bearings into emitters and windows and fixes each window.
///
/// A channel gathers the bearings whose frequencies lie less than half a
/// channel width from its first one (the larger of the two bandwidths; a
/// bearing that carries none takes the channel's, the default only when
/// neither knows it), so that emitters one channel width apart stay apart.
/// Time runs in windows of fixed length aligned to the epoch, driven by the
/// newest bearing time seen. When a window ends, the bearings of its channel
/// from the last "max age" seconds before its end make one fix if they come
/// from at least two stations.
/// Bearings older than max age are dropped, so memory stays bounded by what
/// arrives within that time.
///
/// Refused (and counted): a bearing dated more than the future tolerance
/// ahead of the reference time ("future": the clock when one is given, as for
/// live input, else the newest time any other station reported, announced or
/// added), which never moves the windows; a repeated (station, seq); a
/// station reporting the same bearing at the same time again; a bearing
/// older than the window already closed for its channel or than max age
/// ("late"). Bearings are expected in about time order (sort a batch first
/// and announce it).
///
/// At most maxStations stations are kept; a new one beyond makes the one
/// heard from least recently be forgotten (counted), and the bearings of a
/// forgotten station no longer count for a fix. No step depends on the
/// number of stations.
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
        /// How far a bearing may be dated ahead of the reference time, s.
        double fFutureToleranceS = 5.0;
        /// Milliseconds since the epoch now, for live input; empty: the
        /// other stations' newest time is the reference.
        std::function<qint64()> clock;
        /// Stations kept on the books (BearingGrouperStations).
        int nMaxStations = 256;
    };
    struct Counters
    {
        qint64 nAccepted = 0;
        qint64 nDuplicates = 0;
        qint64 nLate = 0;
        qint64 nFuture = 0;
        qint64 nFixes = 0;
        /// Windows with bearings of one station only, or lines that do not cross.
        qint64 nUnfixedWindows = 0;
        /// Bearings of the closed windows that no fix kept (wild, reflected, outvoted, of no emitter).
        qint64 nUnassigned = 0;
    };

    BearingGrouper(const Settings& settings, const FixEstimator& estimator);

    /// Tells of a bearing that Add() gets later (a batch sorted by time), so
    /// that the other stations' newest time is known before their bearings
    /// arrive in time order.
    void Announce(const Bearing& bearing);
    /// Takes a checked bearing (BearingJson::Check); the fixes of the
    /// windows its time closes are appended to rFixes. False when the bearing
    /// was refused.
    bool Add(const Bearing& bearing, std::vector<Fix>& rFixes);
    /// Closes every open window (the end of the input).
    void Flush(std::vector<Fix>& rFixes);

    const Counters& GetCounters() const { return m_counters; }
    /// Bearings held for windows still open.
    size_t GetStoredCount() const;
    const BearingGrouperStations& GetStations() const { return m_stations; }

private:
    struct Channel
    {
        double fFrequency = 0.0;
        /// 0 while no bearing of the channel said.
        double fBandwidth = 0.0;
        qint64 nWindowStartMs = 0;
        std::deque<Bearing> lstBearings;
    };
    struct Key
    {
        qint64 nStation;
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

    struct Newest
    {
        QString strStation;
        qint64 nTimeMs;
    };

    bool IsFuture(const Bearing& bearing) const;
    bool IsDuplicate(const Bearing& bearing, qint64 station);
    Channel& ChannelOf(const Bearing& bearing);
    void Advance(qint64 nowMs, std::vector<Fix>& rFixes);
    void Close(Channel& channel, std::vector<Fix>& rFixes);
    void Forget(qint64 beforeMs);

    Settings m_settings;
    FixEstimator m_estimator;
    qint64 m_nWindowMs;
    qint64 m_nMaxAgeMs;
    qint64 m_nFutureToleranceMs;
    qint64 m_nNowMs;
    qint64 m_nNextCloseMs;
    std::vector<Channel> m_lstChannels;
    BearingGrouperStations m_stations;
    /// The two stations that reported the newest times, newest first: the
    /// newest time of the stations other than any one of them.
    Newest m_newest[2];
    std::deque<Seen> m_lstSeen;
    std::unordered_set<Key, KeyHash> m_setSeqs;
    std::unordered_set<Key, KeyHash> m_setValues;
    Counters m_counters;
};
