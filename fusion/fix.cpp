#include "fusion/fix.h"

QStringList Fix::FlagNames() const
{
    QStringList names;
    if (nFlags & TOO_FEW_BEARINGS)
        names << QStringLiteral("few-bearings");
    if (nFlags & NEAR_PARALLEL)
        names << QStringLiteral("near-parallel");
    if (nFlags & BEHIND_STATION)
        names << QStringLiteral("behind-station");
    if (nFlags & NOT_CONVERGED)
        names << QStringLiteral("not-converged");
    return names;
}
