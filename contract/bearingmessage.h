#pragma once

#include "contract/bearingrecord.h"
#include "kvtcontract_export.h"

#include <QByteArray>
#include <QString>

namespace kvt
{

/// The bearing message that stations publish and write, one per line, to
/// their "bearings.jsonl": one compact JSON object (docs/contract.md).
namespace BearingMessage
{

/// The major version this code writes as "v" and reads up to. A reader
/// refuses a message of a newer major version: its fields may mean
/// something else. A message without "v" is of version 1.
constexpr int VERSION = 1;

/// Reads one message. False with the reason in rError when the text is no
/// JSON object, its version is newer than VERSION or no whole number, a
/// required field ("station", "seq", "time", "latitude", "longitude",
/// "bearing", "sigma", "frequency") is missing or of the wrong type, or
/// Check() refuses the bearing; rBearing is then unspecified. The relative
/// bearing is the bearing less the heading.
KVTCONTRACT_EXPORT bool Parse(const QByteArray& line, BearingRecord& rBearing, QString& rError);

/// Whether a bearing can take part in a fix: a station name, a position on
/// the globe, a bearing in [0, 360), a sigma from 0.01 up to 90 degrees, a
/// frequency of at least 1 Hz and a bandwidth of at least 0, all finite (so
/// that the bearing stays acceptable when Format() rounds it). False with
/// the reason otherwise.
KVTCONTRACT_EXPORT bool Check(const BearingRecord& bearing, QString& rError);

/// The message of a bearing, one line without the line end, every number
/// rounded to what it means (Rounded()).
KVTCONTRACT_EXPORT QByteArray Format(const BearingRecord& bearing);

/// The bearing as Format() writes it: angles to 0.1°, positions to 1e-7°,
/// frequency and bandwidth to 1 Hz, sigma to 0.01°, quality and level to 0.1;
/// the relative bearing follows the rounded bearing and heading.
KVTCONTRACT_EXPORT BearingRecord Rounded(const BearingRecord& bearing);

} // namespace BearingMessage

} // namespace kvt
