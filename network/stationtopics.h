#pragma once

#include <QString>

/// The station part of the MQTT topic tree:
///
///     kvt/stations/<name>/bearings   one bearing message per accepted bearing (QoS 1)
///     kvt/stations/<name>/status     the station's status (retained; Last Will offline)
///
/// <name> is one topic level (TopicLevel::Escape).
namespace StationTopics
{

QString Bearings(const QString& station);
QString Status(const QString& station);
/// The MQTT client id of a station's bearing output: its name with
/// CLIENT_SUFFIX, so that it never takes over the station's ZOD session,
/// whose client id is the plain name.
QString ClientId(const QString& station);

extern const QString CLIENT_SUFFIX;

}
