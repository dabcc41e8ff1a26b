#pragma once

#include <QtGlobal>

#include <cstddef>
#include <vector>

namespace values
{
class BearingResult;
}

/// The latest accepted bearings for display, oldest first, in a ring of
/// fixed capacity: once it is full each new bearing replaces the oldest, so
/// memory stays the same however long the station runs and however fast
/// bearings come. Values are kept in display units.
class BearingRing
{
public:
    struct Entry
    {
        double fFrequency;  ///< Hz
        quint64 nTimeMs;  ///< ms since the epoch
        float fAzimuth;  ///< degrees from the bow, as the device measured it
        float fBearing;  ///< degrees from true north
        float fHeading;  ///< the platform's true heading then, degrees
        float fElevation;  ///< degrees
        float fLevel;  ///< dBµV
        qint16 nQuality;
    };

    /// capacity of at least 1 (0 is taken as 1).
    explicit BearingRing(std::size_t capacity);

    /// heading: the platform's true heading (degrees) when the device measured it.
    void Add(const values::BearingResult& result, double heading);
    /// Drops the oldest entries while they are older than timeMs; stops at the
    /// first younger one (bearings come in time order).
    void ForgetBefore(quint64 timeMs);

    std::size_t Size() const { return m_nSize; }
    std::size_t Capacity() const { return m_lstEntries.size(); }
    /// index 0 is the oldest entry; index below Size().
    const Entry& At(std::size_t index) const { return m_lstEntries[(m_nFirst + index) % m_lstEntries.size()]; }
    /// Every bearing ever added, including those replaced or forgotten since.
    quint64 GetAdded() const { return m_nAdded; }

private:
    std::vector<Entry> m_lstEntries;
    std::size_t m_nFirst = 0;
    std::size_t m_nSize = 0;
    quint64 m_nAdded = 0;
};
