#include "bench/latencysummary.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace
{

QString Milliseconds(qint64 nNanoseconds)
{
    const double fMs = static_cast<double>(nNanoseconds) / 1e6;
    return fMs < 100.0 ? QStringLiteral("%1 ms").arg(fMs, 0, 'g', 3) : QStringLiteral("%1 ms").arg(fMs, 0, 'f', 0);
}

} // namespace

qint64 LatencySummary::Now()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

qint64 LatencySummary::GetPercentile(double fPercent) const
{
    if (m_lstSamples.empty())
        return 0;
    std::vector<qint64> sorted = m_lstSamples;
    std::sort(sorted.begin(), sorted.end());
    const double fRank = std::ceil(fPercent / 100.0 * static_cast<double>(sorted.size()));
    const auto nIndex = static_cast<size_t>(std::max(1.0, fRank)) - 1;
    return sorted[std::min(nIndex, sorted.size() - 1)];
}

QString LatencySummary::ToText() const
{
    return QStringLiteral("p50 %1, p99 %2, max %3 (%4 samples)")
        .arg(Milliseconds(GetPercentile(50.0)), Milliseconds(GetPercentile(99.0)), Milliseconds(GetMaximum()))
        .arg(GetCount());
}
