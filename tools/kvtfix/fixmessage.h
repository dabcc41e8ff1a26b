#pragma once

#include "fusion/fix.h"

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

namespace kvt {

/// The fix message the fusion service publishes (JSON, schema
/// docs/schemas/fix.schema.json): the fields of the summary's fix object
/// (FixSummary::FixObject: time, frequency, position, 95 % ellipse axes and
/// orientation, counts, residual, chi-square, flags), with "v" (the schema
/// version), "channel", "start" (the window's start) and "lines": per
/// station its position, mean bearing, sigma and bearings used.
///
/// A channel is named by its frequency in whole Hz ("145500000"), one topic
/// level as it stands.
namespace FixMessage {

/// The message's version: a new field that old readers may skip keeps it,
/// a change they would misread raises it; a reader refuses a newer one.
constexpr int VERSION = 1;

QString Channel(const Fix& fix);
QJsonObject Object(const Fix& fix);
QByteArray Format(const Fix& fix);

/// Reads a fix message as a subscriber takes it: false with the reason when
/// it is no JSON object, its version is not readable (IsReadable()) or it
/// lacks "channel", "time", "latitude" or "longitude".
bool Parse(const QByteArray& payload, QJsonObject& rFix, QString& rError);

/// Whether a reader of VERSION can take a message whose "v" is `v`: false,
/// with the reason, for a newer version or a "v" that is no whole number from 1.
bool IsReadable(const QJsonValue& v, QString& rError);

}

}
