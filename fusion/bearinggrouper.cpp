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
    , m_nNowMs(LONG_AGO)
    , m_nNextCloseMs(NEVER)
{
}

bool BearingGrouper::Add(const Bearing& bearing, std::vector<Fix>& rFixes)
{
    if (bearing.nTimeMs < m_nNowMs - m_nMaxAgeMs) {
        ++m_counters.nLate;
        return false;
    }
    if (IsDuplicate(bearing)) {
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

bool BearingGrouper::IsDuplicate(const Bearing& bearing)
{
    auto it = m_mapStations.constFind(bearing.strStation);
    if (it == m_mapStations.constEnd())
        it = m_mapStations.insert(bearing.strStation, m_mapStations.size());
    // A numbered bearing is a repeat only by its number: two bearings of one
    // second may well share their azimuth. Without a number the value key
    // decides: the same time and the same bearing to a micro-degree.
    const Seen seen{bearing.nTimeMs,
                    {*it, bearing.nSeq, 0},
                    {*it, bearing.nTimeMs, std::llround(bearing.fBearing * 1e6)}};
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
    const double bandwidth = bearing.fBandwidth > 0.0 ? bearing.fBandwidth : m_settings.fDefaultBandwidth;
    for (Channel& channel : m_lstChannels) {
        if (std::abs(channel.fFrequency - bearing.fFrequency) <= 0.5 * std::max(bandwidth, channel.fBandwidth))
            return channel;
    }
    Channel channel;
    channel.fFrequency = bearing.fFrequency;
    channel.fBandwidth = bandwidth;
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
        if (bearing.nTimeMs >= fromMs && bearing.nTimeMs < endMs)
            bearings.push_back(&bearing);
    }
    if (bearings.empty())
        return;
    Fix fix = m_estimator.Estimate(bearings);
    if (!fix.bValid) {
        ++m_counters.nUnfixedWindows;
        return;
    }
    fix.fFrequency = channel.fFrequency;
    fix.nStartMs = fromMs;
    fix.nEndMs = endMs;
    ++m_counters.nFixes;
    rFixes.push_back(std::move(fix));
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
}
