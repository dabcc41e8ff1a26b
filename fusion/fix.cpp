#include "fusion/fix.h"

QStringList Fix::FlagNames() const
{
    static const std::pair<Flag, const char*> names[] = {
        {TOO_FEW_BEARINGS, "few-bearings"}, {NEAR_PARALLEL, "near-parallel"}, {BEHIND_STATION, "behind-station"},
        {NOT_CONVERGED, "not-converged"},   {INCONSISTENT, "inconsistent"},   {OUTVOTED, "outvoted"},
        {ONE_STATION, "one-station"},
    };
    QStringList words;
    for (const auto& name : names) {
        if (nFlags & name.first)
            words << QLatin1String(name.second);
    }
    return words;
}

int Fix::RejectedCount() const
{
    int count = 0;
    for (const FixRejection& rejection : lstRejections)
        count += rejection.nWild + rejection.nReflected + rejection.nOutvoted;
    return count;
}
