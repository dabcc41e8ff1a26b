#pragma once

#include "tools/kvtbridge/dfreading.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QJsonObject>
#include <QList>
#include <QString>

class QUdpSocket;

/// What receivers send the bridge, and independent readers of what the programs
/// send: the JSON Schema validator (python3-jsonschema) and a CoT parser (npm
/// @tak-ps/node-cot).
namespace InteropTest
{

/// A reading of receiver RxA at (52.61, 13.25), heading 350°, on 145.5 MHz.
kvt::DfReading Reading(qint64 timeMs, double doa, double confidence = 80.0);

/// Appends what comes to the socket to rReceived until it holds nCount
/// datagrams; false when they did not come within 20 s.
bool ReceiveDatagrams(QUdpSocket& socket, QByteArrayList& rReceived, int nCount);

/// Validates each message against docs/schemas/<name>.schema.json; empty when
/// all validate, else the validator's report.
QString SchemaErrors(const QString& name, const QByteArrayList& messages);

/// Each CoT event as the parser's GeoJSON feature (with the event's detail in
/// properties.detail), or {"error": ...}; empty with rError when the parser
/// could not run or is not installed (ctest's cotparser_install installs it).
QList<QJsonObject> ParseCot(const QByteArrayList& events, QString& rError);

}
