#include "fusion/fix.h"

namespace {

const std::pair<Fix::Flag, const char*> s_aFLAG_NAMES[] = {
    {Fix::TOO_FEW_BEARINGS, "few-bearings"}, {Fix::NEAR_PARALLEL, "near-parallel"},
    {Fix::BEHIND_STATION, "behind-station"}, {Fix::NOT_CONVERGED, "not-converged"},
    {Fix::INCONSISTENT, "inconsistent"},     {Fix::OUTVOTED, "outvoted"},
    {Fix::ONE_STATION, "one-station"},
};

}

QStringList Fix::FlagNames() const
{
    QStringList words;
    for (const auto& name : s_aFLAG_NAMES) {
        if (nFlags & name.first)
            words << QLatin1String(name.second);
    }
    return words;
}

unsigned Fix::FlagsNamed(const QStringList& words)
{
    unsigned flags = 0;
    for (const auto& name : s_aFLAG_NAMES) {
        if (words.contains(QLatin1String(name.second)))
            flags |= name.first;
    }
    return flags;
}

int Fix::RejectedCount() const
{
    int count = 0;
    for (const FixRejection& rejection : lstRejections)
        count += rejection.nWild + rejection.nReflected + rejection.nOutvoted;
    return count;
}
