#pragma once

#include <QString>

#include <map>
#include <vector>

/// Follows each station's bearing sequence numbers as they arrive from the
/// broker, so that QoS 1's repeats are used once and what never came is named.
///
/// A number above the highest so far is new; the numbers it skips open a gap.
/// A number inside a gap is late (used, and the gap shrinks); any other number
/// at or below the highest is a repeat and must not be used again. A station
/// that starts again at 1 is taken as restarted: its highest number starts
/// afresh, its open gaps stay reported. Each station keeps at most MAX_GAPS
/// open gaps; the oldest is given up (stays counted as missing) when more open.
/// Numbers below 1 (sources without numbers) are always new and not tracked.
/// At most a fixed number of stations is kept, so that a flood of names on an
/// open broker cannot grow it without end: a new station beyond makes the one
/// heard from least recently be forgotten (counted; its open gaps stay
/// counted as missing, and its next number is new).
class SequenceTracker
{
public:
    static constexpr size_t MAX_GAPS = 100;

    /// maxStations below 1 is taken as 1.
    explicit SequenceTracker(int maxStations = 256);

    enum class Verdict
    {
        NEW,
        LATE,
        DUPLICATE
    };

    struct Gap
    {
        qint64 nFirst;
        qint64 nLast;
    };

    Verdict Add(const QString& station, qint64 nSeq);

    /// The open gaps per station, oldest first.
    std::map<QString, std::vector<Gap>> GetGaps() const;
    /// Numbers still missing, given-up gaps included.
    qint64 GetMissing() const { return m_nMissing; }
    qint64 GetDuplicates() const { return m_nDuplicates; }
    qint64 GetLate() const { return m_nLate; }
    qint64 GetForgotten() const { return m_nForgotten; }

private:
    struct Station
    {
        qint64 nHighest = 0;
        std::vector<Gap> lstGaps;
        /// When it was last heard from, in calls of Add().
        qint64 nHeard = 0;
    };

    Station& StationNamed(const QString& station);

    size_t m_nMaxStations;
    qint64 m_nCalls = 0;
    qint64 m_nForgotten = 0;
    std::map<QString, Station> m_mapStations;
    qint64 m_nMissing = 0;
    qint64 m_nDuplicates = 0;
    qint64 m_nLate = 0;
};
