#include "fusion/stationbearings.h"

#include <QHash>

#include <algorithm>

StationBearings::StationBearings(const std::vector<const Bearing*>& bearings)
{
    QHash<QString, int> indices;
    std::vector<int> stations;
    stations.reserve(bearings.size());
    for (const Bearing* pBearing : bearings) {
        auto it = indices.constFind(pBearing->strStation);
        if (it == indices.constEnd()) {
            it = indices.insert(pBearing->strStation, static_cast<int>(m_lstNames.size()));
            m_lstNames.push_back(pBearing->strStation);
        }
        stations.push_back(*it);
    }
    m_lstBegin.assign(m_lstNames.size() + 1, 0);
    for (int station : stations)
        ++m_lstBegin[static_cast<size_t>(station) + 1];
    for (size_t i = 1; i < m_lstBegin.size(); ++i)
        m_lstBegin[i] += m_lstBegin[i - 1];
    std::vector<int> next(m_lstBegin.begin(), m_lstBegin.end() - 1);
    m_lstBearings.resize(bearings.size());
    m_lstStations.resize(bearings.size());
    for (size_t i = 0; i < bearings.size(); ++i) {
        const auto slot = static_cast<size_t>(next[static_cast<size_t>(stations[i])]++);
        m_lstBearings[slot] = bearings[i];
        m_lstStations[slot] = stations[i];
    }
}

std::vector<std::vector<int>> StationBearings::Clusters(const std::vector<int>& indices, double gapSigmas) const
{
    std::vector<std::vector<int>> clusters;
    if (indices.empty())
        return clusters;
    std::vector<int> sorted = indices;
    std::sort(sorted.begin(), sorted.end(), [this](int a, int b) { return At(a).fBearing < At(b).fBearing; });
    // The circle is cut at the widest gap (the wrap from the last to the
    // first included), so that a group across north stays whole.
    const auto gap = [this, &sorted, gapSigmas](size_t i) {
        const Bearing& a = At(sorted[i]);
        const Bearing& b = At(sorted[(i + 1) % sorted.size()]);
        double width = b.fBearing - a.fBearing;
        if (width < 0.0 || i + 1 == sorted.size())
            width += 360.0;
        return width / (gapSigmas * std::max(a.fSigma, b.fSigma));
    };
    size_t widest = sorted.size() - 1;
    for (size_t i = 0; i < sorted.size(); ++i) {
        if (gap(i) > gap(widest))
            widest = i;
    }
    std::rotate(sorted.begin(), sorted.begin() + static_cast<long>((widest + 1) % sorted.size()), sorted.end());
    clusters.emplace_back();
    for (size_t i = 0; i < sorted.size(); ++i) {
        clusters.back().push_back(sorted[i]);
        if (i + 1 < sorted.size() && gap(i) > 1.0)
            clusters.emplace_back();
    }
    std::stable_sort(clusters.begin(), clusters.end(),
                     [](const std::vector<int>& a, const std::vector<int>& b) { return a.size() > b.size(); });
    return clusters;
}
