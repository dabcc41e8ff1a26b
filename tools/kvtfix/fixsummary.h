#pragma once

#include "fusion/bearinggrouper.h"
#include "fusion/fix.h"
#include "fusion/fixevaluator.h"
#include "tools/kvtfix/inputlog.h"

#include <QJsonObject>
#include <QMap>
#include <QTextStream>

#include <array>

#include <vector>

/// The run's summary, as JSON or text: what the inputs gave, the fixes and,
/// with a scenario, how good they are.
namespace FixSummary
{

/// Per station, the bearings left out of fixes as wild, reflected, outvoted.
using Rejections = QMap<QString, std::array<qint64, 3>>;

/// One fix: "time" (end of its window, ISO 8601), "frequency", "latitude",
/// "longitude", "semiMajor", "semiMinor" (metres, 95 %), "orientation"
/// (degrees from north), "stations", "bearings" (kept), "residual" (RMS
/// degrees), "chiSquare", "degreesOfFreedom", "pValue", "widening" (factor
/// on the sigma-only ellipse), "flags" (array of words), "rejected" (per
/// station {"wild", "reflected", "outvoted"}), "outvoted" (station names).
QJsonObject FixObject(const Fix& fix);

/// "bearings" (read, refused with reasons and examples, duplicates, late,
/// "future" with "futureByStation" (of the stations still kept), used,
/// unassigned: in no fix), "stations" ("kept", "forgotten", "max"),
/// "rejected" (per station the bearings left out of fixes by reason),
/// "fixCount" (all fixes made), "fixes" (unless evaluating: the fixes
/// kept, the newest FixRun::MAX_FIXES), "unfixedWindows" and, for an
/// evaluation, "evaluation" (one object per emitter) and "unassigned"
/// (fixes of no emitter).
QJsonObject Collect(const InputLog& log, const BearingGrouper& grouper, const Rejections& rejections,
                    const std::vector<Fix>& fixes, const FixEvaluator* pEvaluator);

void PrintText(QTextStream& out, const QJsonObject& summary);

/// One fix as one text line (for --follow).
QString FixLine(const QJsonObject& fix);

}
