#include "fusion/bearinggrouperstations.h"

#include <algorithm>

BearingGrouperStations::BearingGrouperStations(int maxStations)
    : m_nMax(std::max(1, maxStations))
{
}

BearingGrouperStations::Entry& BearingGrouperStations::Touch(const QString& name)
{
    const auto found = m_mapEntries.constFind(name);
    if (found != m_mapEntries.constEnd()) {
        m_lstEntries.splice(m_lstEntries.end(), m_lstEntries, *found);
        return m_lstEntries.back();
    }
    if (m_mapEntries.size() >= m_nMax) {
        m_mapEntries.remove(m_lstEntries.front().strName);
        m_lstEntries.pop_front();
        ++m_nForgotten;
    }
    m_lstEntries.push_back({name, m_nNextId++, 0});
    m_mapEntries.insert(name, std::prev(m_lstEntries.end()));
    return m_lstEntries.back();
}

QMap<QString, qint64> BearingGrouperStations::GetFutureCounts() const
{
    QMap<QString, qint64> counts;
    for (const Entry& entry : m_lstEntries) {
        if (entry.nFuture > 0)
            counts.insert(entry.strName, entry.nFuture);
    }
    return counts;
}
