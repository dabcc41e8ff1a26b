#pragma once

#include "fusion/bearing.h"

#include <QString>

#include <vector>

/// The bearings of one window ordered by station (in their order within a
/// station), so that an estimator can walk a station's bearings together and
/// reuse a geodesic while the station stays put. Built in time linear in the
/// bearings (a hash of the names, then a counting sort), however many
/// stations there are.
class StationBearings
{
public:
    explicit StationBearings(const std::vector<const Bearing*>& bearings);

    int GetStationCount() const { return static_cast<int>(m_lstNames.size()); }
    const QString& GetName(int station) const { return m_lstNames[static_cast<size_t>(station)]; }
    /// The station's bearings are the indices [Begin(station), End(station)).
    int Begin(int station) const { return m_lstBegin[static_cast<size_t>(station)]; }
    int End(int station) const { return m_lstBegin[static_cast<size_t>(station) + 1]; }
    int GetCount() const { return static_cast<int>(m_lstBearings.size()); }
    const Bearing& At(int index) const { return *m_lstBearings[static_cast<size_t>(index)]; }
    int StationOf(int index) const { return m_lstStations[static_cast<size_t>(index)]; }

    /// The bearings among `indices` (of one station) split where their
    /// sorted directions leave a gap wider than gapSigmas times the larger
    /// sigma of the two neighbours; the largest group first.
    std::vector<std::vector<int>> Clusters(const std::vector<int>& indices, double gapSigmas) const;

private:
    std::vector<const Bearing*> m_lstBearings;
    std::vector<int> m_lstStations;
    std::vector<QString> m_lstNames;
    std::vector<int> m_lstBegin;
};
