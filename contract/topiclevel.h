#pragma once

#include "kvtcontract_export.h"

#include <QString>

/// A name (a station's, a client's) as exactly one MQTT topic level: "%", "/",
/// "+", "#" and control characters are written as "%" and two upper-case hex
/// digits, every other character as it is ("Ops/North" becomes "Ops%2FNorth").
namespace TopicLevel
{

KVTCONTRACT_EXPORT QString Escape(const QString& name);
/// The name a level stands for; false for a level that Escape() cannot have
/// made (a cut-off, needless or lower-case escape, a character it escapes),
/// so that every name has exactly one level.
KVTCONTRACT_EXPORT bool Unescape(const QString& level, QString& rName);

}
