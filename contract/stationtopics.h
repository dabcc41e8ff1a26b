#pragma once

#include "kvtcontract_export.h"

#include <QString>

/// The station part of the MQTT topic tree:
///
///     kvt/stations/<name>/bearings   one bearing message per accepted bearing (QoS 1)
///     kvt/stations/<name>/status     the station's status (retained; Last Will offline)
///
/// <name> is one topic level (TopicLevel::Escape).
namespace StationTopics
{

KVTCONTRACT_EXPORT QString Bearings(const QString& station);
KVTCONTRACT_EXPORT QString Status(const QString& station);
/// The station whose bearings topic this is, unescaped; false for any other
/// topic and for a level that TopicLevel::Unescape() refuses.
KVTCONTRACT_EXPORT bool StationOfBearings(const QString& topic, QString& rStation);

/// The subscription to every station's bearings.
KVTCONTRACT_EXPORT extern const QString ALL_BEARINGS;

}
