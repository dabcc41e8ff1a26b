#include "fusion/bearingjson.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <cmath>

namespace BearingJson
{

namespace {

bool Number(const QJsonObject& object, const char* key, double& rValue, QString& rError)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isUndefined()) {
        rError = QStringLiteral("no \"%1\"").arg(QLatin1String(key));
        return false;
    }
    if (!value.isDouble()) {
        rError = QStringLiteral("\"%1\" is not a number").arg(QLatin1String(key));
        return false;
    }
    rValue = value.toDouble();
    return true;
}

void Optional(const QJsonObject& object, const char* key, double& rValue)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isDouble())
        rValue = value.toDouble();
}

bool Finite(double value, double low, double high)
{
    return std::isfinite(value) && value >= low && value <= high;
}

}

bool Parse(const QByteArray& line, Bearing& rBearing, QString& rError)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(line, &parseError);
    if (!document.isObject()) {
        rError = parseError.error != QJsonParseError::NoError
                     ? QStringLiteral("not JSON: %1").arg(parseError.errorString())
                     : QStringLiteral("not a JSON object");
        return false;
    }
    const QJsonObject object = document.object();
    const QJsonValue station = object.value(QLatin1String("station"));
    if (!station.isString()) {
        rError = QStringLiteral("no \"station\"");
        return false;
    }
    rBearing = Bearing();
    rBearing.strStation = station.toString();
    if (!object.contains(QLatin1String("latitude")) || !object.contains(QLatin1String("longitude"))) {
        rError = QStringLiteral("no position");
        return false;
    }
    double seq = 0.0;
    if (!Number(object, "seq", seq, rError) || !Number(object, "latitude", rBearing.fLatitude, rError)
        || !Number(object, "longitude", rBearing.fLongitude, rError)
        || !Number(object, "bearing", rBearing.fBearing, rError) || !Number(object, "sigma", rBearing.fSigma, rError)
        || !Number(object, "frequency", rBearing.fFrequency, rError))
        return false;
    if (!(seq >= 1.0 && seq <= 9e15) || seq != std::floor(seq)) {
        rError = QStringLiteral("\"seq\" is not a count from 1");
        return false;
    }
    rBearing.nSeq = static_cast<qint64>(seq);
    QDateTime time = QDateTime::fromString(object.value(QLatin1String("time")).toString(), Qt::ISODateWithMs);
    // A time without a zone is taken as UTC, whatever zone this machine is in.
    if (time.timeSpec() == Qt::LocalTime)
        time.setTimeSpec(Qt::UTC);
    if (!time.isValid()) {
        rError = QStringLiteral("\"time\" is not an ISO 8601 time");
        return false;
    }
    rBearing.nTimeMs = time.toMSecsSinceEpoch();
    Optional(object, "heading", rBearing.fHeading);
    Optional(object, "quality", rBearing.fQuality);
    Optional(object, "bandwidth", rBearing.fBandwidth);
    Optional(object, "level", rBearing.fLevel);
    rBearing.strMethod = object.value(QLatin1String("method")).toString();
    return Check(rBearing, rError);
}

bool Check(const Bearing& bearing, QString& rError)
{
    if (bearing.strStation.isEmpty())
        rError = QStringLiteral("no station name");
    else if (!Finite(bearing.fLatitude, -90.0, 90.0) || !Finite(bearing.fLongitude, -180.0, 180.0))
        rError = QStringLiteral("position out of range");
    else if (!Finite(bearing.fBearing, 0.0, 360.0) || bearing.fBearing == 360.0)
        rError = QStringLiteral("bearing out of range [0, 360)");
    else if (!Finite(bearing.fSigma, 0.0, 90.0) || bearing.fSigma == 0.0)
        rError = QStringLiteral("sigma out of range (0, 90]");
    else if (!Finite(bearing.fFrequency, 0.0, 1e12) || bearing.fFrequency == 0.0)
        rError = QStringLiteral("frequency out of range");
    else if (!Finite(bearing.fBandwidth, 0.0, 1e12))
        rError = QStringLiteral("bandwidth out of range");
    else
        return true;
    return false;
}

QByteArray Format(const Bearing& bearing)
{
    QJsonObject object{
        {QStringLiteral("station"), bearing.strStation},
        {QStringLiteral("seq"), static_cast<double>(bearing.nSeq)},
        {QStringLiteral("time"),
         QDateTime::fromMSecsSinceEpoch(bearing.nTimeMs, Qt::UTC).toString(Qt::ISODateWithMs)},
        {QStringLiteral("latitude"), bearing.fLatitude},
        {QStringLiteral("longitude"), bearing.fLongitude},
        {QStringLiteral("heading"), bearing.fHeading},
        {QStringLiteral("bearing"), bearing.fBearing},
        {QStringLiteral("sigma"), bearing.fSigma},
        {QStringLiteral("quality"), bearing.fQuality},
        {QStringLiteral("frequency"), bearing.fFrequency},
        {QStringLiteral("bandwidth"), bearing.fBandwidth},
        {QStringLiteral("level"), bearing.fLevel},
    };
    if (!bearing.strMethod.isEmpty())
        object.insert(QStringLiteral("method"), bearing.strMethod);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

}
