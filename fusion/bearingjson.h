#pragma once

#include "fusion/bearing.h"

#include <QByteArray>
#include <QString>

/// The bearing message that stations publish and write, one per line, to
/// their "bearings.jsonl" (JSON, see docs/scenario.md).
namespace BearingJson
{

/// Reads one message. False with the reason in rError when the text is no
/// JSON object, a required field ("station", "seq", "time", "latitude",
/// "longitude", "bearing", "sigma", "frequency") is missing or of the wrong
/// type, or Check() refuses the bearing; rBearing is then unspecified.
bool Parse(const QByteArray& line, Bearing& rBearing, QString& rError);

/// Whether a bearing can take part in a fix: a station name, a position on
/// the globe, a bearing in [0, 360), a positive sigma up to 90 degrees and a
/// positive frequency, all finite. False with the reason otherwise.
bool Check(const Bearing& bearing, QString& rError);

/// The message of a bearing, one line without the line end.
QByteArray Format(const Bearing& bearing);

}
