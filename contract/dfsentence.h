#pragma once

#include "contract/bearingrecord.h"
#include "kvtcontract_export.h"

#include <QByteArray>
#include <QTimeZone>

namespace kvt
{

/// The DF sentence, one line of a station's "dfdata.txt" as the library's DF
/// data output writes it:
///
///     $PLG,<azimuth>,FRQ,<Hz>,CMP,<heading>,QUA,<quality>,LEV,<level>,TIM,hhmmss,
///     ELV,<e>,PTC,<p>,RLL,<r>,ALT,<a>,PTM,hhmmss,LAT,<lat>,LON,<lon>[,SR,<index>]
///
/// The azimuth is the bearing from the platform's bow; the true bearing is
/// azimuth + CMP (a heading below 0 means none is known). TIM is the time
/// of day in the writer's time zone, without a date. Angles, quality and
/// level have one decimal, the frequency none, the latitude five, the
/// longitude seven (docs/contract.md).
namespace DfSentence
{

/// The file line (with CR LF) of a bearing as the DF data output writes it,
/// the time of day in zone. The record holds no elevation, pitch, roll,
/// altitude or position time: they are written as 0.0 and an empty PTM.
KVTCONTRACT_EXPORT QByteArray Format(const BearingRecord& bearing, const QTimeZone& zone);

} // namespace DfSentence

} // namespace kvt
