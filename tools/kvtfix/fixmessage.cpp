#include "tools/kvtfix/fixmessage.h"

#include "tools/kvtfix/fixsummary.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>

#include <cmath>

namespace kvt {

namespace FixMessage {

QString Channel(const Fix& fix)
{
    return QString::number(qRound64(fix.fFrequency));
}

QJsonObject Object(const Fix& fix)
{
    QJsonObject object = FixSummary::FixObject(fix);
    QJsonArray lines;
    for (const FixLine& line : fix.lstLines) {
        lines.append(QJsonObject{
            {QStringLiteral("station"), line.strStation},
            {QStringLiteral("latitude"), line.fLatitude},
            {QStringLiteral("longitude"), line.fLongitude},
            {QStringLiteral("bearing"), line.fBearing},
            {QStringLiteral("sigma"), line.fSigma},
            {QStringLiteral("bearings"), line.nBearings},
        });
    }
    object.insert(QStringLiteral("v"), VERSION);
    object.insert(QStringLiteral("channel"), Channel(fix));
    object.insert(QStringLiteral("start"),
                  QDateTime::fromMSecsSinceEpoch(fix.nStartMs, Qt::UTC).toString(Qt::ISODateWithMs));
    object.insert(QStringLiteral("lines"), lines);
    return object;
}

QByteArray Format(const Fix& fix)
{
    return QJsonDocument(Object(fix)).toJson(QJsonDocument::Compact);
}

bool Parse(const QByteArray& payload, QJsonObject& rFix, QString& rError)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(payload, &error);
    if (!document.isObject()) {
        rError = QStringLiteral("not a JSON object");
        return false;
    }
    rFix = document.object();
    if (!IsReadable(rFix.value(QStringLiteral("v")), rError))
        return false;
    for (const char* field : {"channel", "time", "latitude", "longitude"}) {
        if (!rFix.contains(QLatin1String(field))) {
            rError = QStringLiteral("\"%1\" is missing").arg(QLatin1String(field));
            return false;
        }
    }
    return true;
}

bool IsReadable(const QJsonValue& v, QString& rError)
{
    const double version = v.toDouble(-1.0);
    if (!v.isDouble() || !(version >= 1.0) || std::floor(version) != version) {
        rError = QStringLiteral("no message version");
        return false;
    }
    if (version > VERSION) {
        rError = QStringLiteral("message version %1 is newer than %2").arg(version).arg(VERSION);
        return false;
    }
    return true;
}

}

}
