#pragma once

#include "fusion/bearinggrouper.h"
#include "fusion/fix.h"
#include "fusion/fixevaluator.h"
#include "tools/kvtfix/inputlog.h"

#include <QJsonObject>
#include <QTextStream>

#include <vector>

/// The run's summary, as JSON or text: what the inputs gave, the fixes and,
/// with a scenario, how good they are.
namespace FixSummary
{

/// One fix: "time" (end of its window, ISO 8601), "frequency", "latitude",
/// "longitude", "semiMajor", "semiMinor" (metres, 95 %), "orientation"
/// (degrees from north), "stations", "bearings", "residual" (RMS degrees),
/// "chiSquare", "flags" (array of words).
QJsonObject FixObject(const Fix& fix);

/// "bearings" (read, refused with reasons and examples, duplicates, late,
/// "future" with "futureByStation" (of the stations still kept), used),
/// "stations" ("kept", "forgotten", "max"), "fixCount" (all fixes made),
/// "fixes" (unless evaluating: the fixes kept, the newest
/// FixRun::MAX_FIXES), "unfixedWindows" and, for an evaluation,
/// "evaluation" (one object per emitter) and "unassigned".
QJsonObject Collect(const InputLog& log, const BearingGrouper& grouper, const std::vector<Fix>& fixes,
                    const FixEvaluator* pEvaluator);

void PrintText(QTextStream& out, const QJsonObject& summary);

/// One fix as one text line (for --follow).
QString FixLine(const QJsonObject& fix);

}
