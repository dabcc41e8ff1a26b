#pragma once

#include <QString>
#include <QtGlobal>

#include <vector>

/// Latencies of one measurement, in nanoseconds, and their percentiles by
/// nearest rank (p50 of 1..100 is 50, p99 is 99).
class LatencySummary
{
public:
    /// The steady clock that the samples are taken with, in nanoseconds; one
    /// clock for every object of the process (and every process of the machine).
    static qint64 Now();

    void Add(qint64 nNanoseconds) { m_lstSamples.push_back(nNanoseconds); }
    void Add(const LatencySummary& other)
    {
        m_lstSamples.insert(m_lstSamples.end(), other.m_lstSamples.begin(), other.m_lstSamples.end());
    }
    void Clear() { m_lstSamples.clear(); }
    int GetCount() const { return static_cast<int>(m_lstSamples.size()); }
    /// 0 without samples; fPercent from 0 to 100.
    qint64 GetPercentile(double fPercent) const;
    qint64 GetMaximum() const { return GetPercentile(100.0); }
    /// "p50 0.41 ms, p99 2.3 ms, max 9.8 ms (60000 samples)".
    QString ToText() const;

private:
    std::vector<qint64> m_lstSamples;
};
