#include "fusion/bearinggrouper.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr qint64 NEVER = std::numeric_limits<qint64>::max();
constexpr qint64 LONG_AGO = std::numeric_limits<qint64>::min() / 2;

qint64 FloorTo(qint64 value, qint64 step)
{
    const qint64 quotient = value / step;
    return (quotient - (value % step < 0 ? 1 : 0)) * step;
}

/// A hash set that held a flood keeps its buckets; give them back once it emptied out.
template <typename Set>
void ShrinkIfSparse(Set& set)
{
    constexpr size_t SMALL = 64;
    if (set.bucket_count() > SMALL && set.size() * 8 < set.bucket_count())
        set.rehash(0);
}

}

size_t BearingGrouper::KeyHash::operator()(const Key& key) const
{
    size_t hash = std::hash<qint64>()(key.nFirst);
    hash ^= std::hash<qint64>()(key.nSecond) + 0x9e3779b97f4a7c15ULL + (hash << 6) + (hash >> 2);
    hash ^= std::hash<int>()(key.nStation) + 0x9e3779b97f4a7c15ULL + (hash << 6) + (hash >> 2);
    return hash;
}

BearingGrouper::BearingGrouper(const Settings& settings, const FixEstimator& estimator)
    : m_settings(settings)
    , m_estimator(estimator)
    , m_nWindowMs(std::max<qint64>(1, std::llround(settings.fWindowS * 1000.0)))
    , m_nMaxAgeMs(std::max<qint64>(1, std::llround(settings.fMaxAgeS * 1000.0)))
    , m_nFutureToleranceMs(std::max<qint64>(0, std::llround(settings.fFutureToleranceS * 1000.0)))
    , m_nNowMs(LONG_AGO)
    , m_nNextCloseMs(NEVER)
    , m_stations(settings.nMaxStations)
    , m_newest{{QString(), LONG_AGO}, {QString(), LONG_AGO}}
{
}

void BearingGrouper::Announce(const Bearing& bearing)
{
    if (bearing.strStation == m_newest[0].strStation) {
        m_newest[0].nTimeMs = std::max(m_newest[0].nTimeMs, bearing.nTimeMs);
    } else if (bearing.nTimeMs > m_newest[0].nTimeMs) {
        m_newest[1] = std::move(m_newest[0]);
        m_newest[0] = {bearing.strStation, bearing.nTimeMs};
    } else if (bearing.nTimeMs > m_newest[1].nTimeMs) {
        m_newest[1] = {bearing.strStation, bearing.nTimeMs};
    }
}

bool BearingGrouper::Add(const Bearing& bearing, std::vector<Fix>& rFixes)
{
    BearingGrouperStations::Entry& station = m_stations.Touch(bearing.strStation);
    const bool future = IsFuture(bearing);
    Announce(bearing);
    if (future) {
        ++station.nFuture;
        ++m_counters.nFuture;
        return false;
    }
    if (bearing.nTimeMs < m_nNowMs - m_nMaxAgeMs) {
        ++m_counters.nLate;
        return false;
    }
    if (IsDuplicate(bearing, station.nId)) {
        ++m_counters.nDuplicates;
        return false;
    }
    Advance(bearing.nTimeMs, rFixes);
    Channel& channel = ChannelOf(bearing);
    if (bearing.nTimeMs < channel.nWindowStartMs) {
        ++m_counters.nLate;
        return false;
    }
    channel.lstBearings.push_back(bearing);
    ++m_counters.nAccepted;
    return true;
}

void BearingGrouper::Flush(std::vector<Fix>& rFixes)
{
    for (Channel& channel : m_lstChannels)
        Close(channel, rFixes);
    m_lstChannels.clear();
    m_nNextCloseMs = NEVER;
}

size_t BearingGrouper::GetStoredCount() const
{
    size_t count = 0;
    for (const Channel& channel : m_lstChannels)
        count += channel.lstBearings.size();
    return count;
}

bool BearingGrouper::IsFuture(const Bearing& bearing) const
{
    qint64 referenceMs = LONG_AGO;
    if (m_settings.clock)
        referenceMs = m_settings.clock();
    else
        referenceMs = m_newest[bearing.strStation == m_newest[0].strStation ? 1 : 0].nTimeMs;
    // Without another station's time there is nothing to judge by.
    return referenceMs != LONG_AGO && bearing.nTimeMs > referenceMs + m_nFutureToleranceMs;
}

bool BearingGrouper::IsDuplicate(const Bearing& bearing, qint64 station)
{
    // A numbered bearing is a repeat only by its number: two bearings of one
    // second may well share their azimuth. Without a number the value key
    // decides: the same time and the same bearing to a micro-degree.
    const Seen seen{bearing.nTimeMs,
                    {station, bearing.nSeq, 0},
                    {station, bearing.nTimeMs, std::llround(bearing.fBearing * 1e6)}};
    if (bearing.nSeq != 0 ? m_setSeqs.count(seen.seq) != 0 : m_setValues.count(seen.value) != 0)
        return true;
    if (bearing.nSeq != 0)
        m_setSeqs.insert(seen.seq);
    m_setValues.insert(seen.value);
    m_lstSeen.push_back(seen);
    return false;
}

BearingGrouper::Channel& BearingGrouper::ChannelOf(const Bearing& bearing)
{
    for (Channel& channel : m_lstChannels) {
        double width = std::max(bearing.fBandwidth, channel.fBandwidth);
        if (width <= 0.0)
            width = m_settings.fDefaultBandwidth;
        // Exactly half a width off is the edge shared with the next channel: not this one.
        if (std::abs(channel.fFrequency - bearing.fFrequency) < 0.5 * width) {
            if (channel.fBandwidth <= 0.0)
                channel.fBandwidth = bearing.fBandwidth;
            return channel;
        }
    }
    Channel channel;
    channel.fFrequency = bearing.fFrequency;
    channel.fBandwidth = bearing.fBandwidth;
    channel.nWindowStartMs = FloorTo(m_nNowMs, m_nWindowMs);
    m_nNextCloseMs = std::min(m_nNextCloseMs, channel.nWindowStartMs + m_nWindowMs);
    m_lstChannels.push_back(std::move(channel));
    return m_lstChannels.back();
}

void BearingGrouper::Advance(qint64 nowMs, std::vector<Fix>& rFixes)
{
    if (nowMs <= m_nNowMs)
        return;
    m_nNowMs = nowMs;
    if (nowMs >= m_nNextCloseMs) {
        m_nNextCloseMs = NEVER;
        const qint64 windowStart = FloorTo(nowMs, m_nWindowMs);
        for (Channel& channel : m_lstChannels) {
            if (nowMs >= channel.nWindowStartMs + m_nWindowMs) {
                Close(channel, rFixes);
                channel.nWindowStartMs = windowStart;
            }
            m_nNextCloseMs = std::min(m_nNextCloseMs, channel.nWindowStartMs + m_nWindowMs);
        }
        Forget(nowMs - m_nMaxAgeMs);
        // A channel whose bearings all aged out has nothing left to fix.
        m_lstChannels.erase(std::remove_if(m_lstChannels.begin(), m_lstChannels.end(),
                                           [](const Channel& channel) { return channel.lstBearings.empty(); }),
                            m_lstChannels.end());
    } else {
        Forget(nowMs - m_nMaxAgeMs);
    }
}

void BearingGrouper::Close(Channel& channel, std::vector<Fix>& rFixes)
{
    const qint64 endMs = channel.nWindowStartMs + m_nWindowMs;
    const qint64 fromMs = endMs - m_nMaxAgeMs;
    std::vector<const Bearing*> bearings;
    for (const Bearing& bearing : channel.lstBearings) {
        if (bearing.nTimeMs >= fromMs && bearing.nTimeMs < endMs && m_stations.Contains(bearing.strStation))
            bearings.push_back(&bearing);
    }
    if (bearings.empty())
        return;
    FixEstimator::Result result = m_estimator.EstimateAll(bearings);
    m_counters.nUnassigned += result.nUnassigned;
    if (result.lstFixes.empty()) {
        ++m_counters.nUnfixedWindows;
        return;
    }
    for (Fix& fix : result.lstFixes) {
        fix.fFrequency = channel.fFrequency;
        fix.nStartMs = fromMs;
        fix.nEndMs = endMs;
        ++m_counters.nFixes;
        rFixes.push_back(std::move(fix));
    }
}

void BearingGrouper::Forget(qint64 beforeMs)
{
    for (Channel& channel : m_lstChannels) {
        while (!channel.lstBearings.empty() && channel.lstBearings.front().nTimeMs < beforeMs)
            channel.lstBearings.pop_front();
    }
    while (!m_lstSeen.empty() && m_lstSeen.front().nTimeMs < beforeMs) {
        m_setSeqs.erase(m_lstSeen.front().seq);
        m_setValues.erase(m_lstSeen.front().value);
        m_lstSeen.pop_front();
    }
    ShrinkIfSparse(m_setSeqs);
    ShrinkIfSparse(m_setValues);
}
