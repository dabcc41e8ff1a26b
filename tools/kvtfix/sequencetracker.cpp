#include "tools/kvtfix/sequencetracker.h"

#include <algorithm>

SequenceTracker::SequenceTracker(int maxStations)
    : m_nMaxStations(static_cast<size_t>(std::max(1, maxStations)))
{
}

SequenceTracker::Station& SequenceTracker::StationNamed(const QString& station)
{
    auto found = m_mapStations.find(station);
    if (found == m_mapStations.end()) {
        // A linear search for the stalest: it runs only for a new name, over at most the cap.
        if (m_mapStations.size() >= m_nMaxStations) {
            m_mapStations.erase(std::min_element(m_mapStations.begin(), m_mapStations.end(),
                                                 [](const auto& a, const auto& b) {
                                                     return a.second.nHeard < b.second.nHeard;
                                                 }));
            ++m_nForgotten;
        }
        found = m_mapStations.emplace(station, Station()).first;
    }
    found->second.nHeard = ++m_nCalls;
    return found->second;
}

SequenceTracker::Verdict SequenceTracker::Add(const QString& station, qint64 nSeq)
{
    if (nSeq < 1)
        return Verdict::NEW;
    Station& state = StationNamed(station);
    if (nSeq == 1 && state.nHighest > 1)
        state.nHighest = 0;
    if (nSeq > state.nHighest) {
        if (nSeq > state.nHighest + 1) {
            state.lstGaps.push_back({state.nHighest + 1, nSeq - 1});
            m_nMissing += nSeq - 1 - state.nHighest;
            if (state.lstGaps.size() > MAX_GAPS)
                state.lstGaps.erase(state.lstGaps.begin());
        }
        state.nHighest = nSeq;
        return Verdict::NEW;
    }
    const auto found = std::find_if(state.lstGaps.begin(), state.lstGaps.end(),
                                    [nSeq](const Gap& gap) { return nSeq >= gap.nFirst && nSeq <= gap.nLast; });
    if (found == state.lstGaps.end()) {
        ++m_nDuplicates;
        return Verdict::DUPLICATE;
    }
    ++m_nLate;
    --m_nMissing;
    if (found->nFirst == found->nLast)
        state.lstGaps.erase(found);
    else if (nSeq == found->nFirst)
        ++found->nFirst;
    else if (nSeq == found->nLast)
        --found->nLast;
    else {
        const Gap after{nSeq + 1, found->nLast};
        found->nLast = nSeq - 1;
        state.lstGaps.insert(found + 1, after);
    }
    return Verdict::LATE;
}

std::map<QString, std::vector<SequenceTracker::Gap>> SequenceTracker::GetGaps() const
{
    std::map<QString, std::vector<Gap>> gaps;
    for (const auto& station : m_mapStations)
        if (!station.second.lstGaps.empty())
            gaps[station.first] = station.second.lstGaps;
    return gaps;
}
