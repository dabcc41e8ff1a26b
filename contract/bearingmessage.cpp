#include "contract/bearingmessage.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <cmath>

namespace kvt
{

namespace BearingMessage
{

namespace
{

const QLatin1String VERSION_KEY("v");
// The smallest values the message can write: what Check() accepts stays
// acceptable after rounding.
constexpr double MIN_SIGMA = 0.01;
constexpr double MIN_FREQUENCY = 1.0;

bool Number(const QJsonObject& object, const char* key, double& rValue, QString& rError)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isUndefined())
    {
        rError = QStringLiteral("no \"%1\"").arg(QLatin1String(key));
        return false;
    }
    if (!value.isDouble())
    {
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

/// value to whole 1/perUnit; the quotient of two exact numbers is the double
/// nearest to the decimal, which the JSON writer prints without noise. A
/// value too large for a finer grid than a double's stays as it is.
double RoundTo(double value, double perUnit)
{
    const double scaled = value * perUnit;
    return std::abs(scaled) < 4e15 ? std::round(scaled) / perUnit : value;
}

bool ReadVersion(const QJsonObject& object, QString& rError)
{
    const QJsonValue value = object.value(VERSION_KEY);
    if (value.isUndefined())
        return true;
    const double version = value.toDouble(-1.0);
    if (!value.isDouble() || version < 1.0 || version != std::floor(version))
    {
        rError = QStringLiteral("\"v\" is not a version number");
        return false;
    }
    if (version > VERSION)
    {
        rError = QStringLiteral("bearing message version %1 is newer than this reader's %2")
                     .arg(version, 0, 'f', 0)
                     .arg(VERSION);
        return false;
    }
    return true;
}

} // namespace

bool Parse(const QByteArray& line, BearingRecord& rBearing, QString& rError)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(line, &parseError);
    if (!document.isObject())
    {
        rError = parseError.error != QJsonParseError::NoError
                     ? QStringLiteral("not JSON: %1").arg(parseError.errorString())
                     : QStringLiteral("not a JSON object");
        return false;
    }
    const QJsonObject object = document.object();
    if (!ReadVersion(object, rError))
        return false;
    const QJsonValue station = object.value(QLatin1String("station"));
    if (!station.isString())
    {
        rError = QStringLiteral("no \"station\"");
        return false;
    }
    rBearing = BearingRecord();
    rBearing.strStation = station.toString();
    if (!object.contains(QLatin1String("latitude")) || !object.contains(QLatin1String("longitude")))
    {
        rError = QStringLiteral("no position");
        return false;
    }
    double seq = 0.0;
    if (!Number(object, "seq", seq, rError) || !Number(object, "latitude", rBearing.fLatitude, rError)
        || !Number(object, "longitude", rBearing.fLongitude, rError)
        || !Number(object, "bearing", rBearing.fBearing, rError) || !Number(object, "sigma", rBearing.fSigma, rError)
        || !Number(object, "frequency", rBearing.fFrequency, rError))
        return false;
    if (!(seq >= 1.0 && seq <= 9e15) || seq != std::floor(seq))
    {
        rError = QStringLiteral("\"seq\" is not a count from 1");
        return false;
    }
    rBearing.nSeq = static_cast<qint64>(seq);
    QDateTime time = QDateTime::fromString(object.value(QLatin1String("time")).toString(), Qt::ISODateWithMs);
    // A time without a zone is taken as UTC, whatever zone this machine is in.
    if (time.timeSpec() == Qt::LocalTime)
        time.setTimeSpec(Qt::UTC);
    if (!time.isValid())
    {
        rError = QStringLiteral("\"time\" is not an ISO 8601 time");
        return false;
    }
    rBearing.nTimeMs = time.toMSecsSinceEpoch();
    Optional(object, "heading", rBearing.fHeading);
    Optional(object, "quality", rBearing.fQuality);
    Optional(object, "bandwidth", rBearing.fBandwidth);
    Optional(object, "level", rBearing.fLevel);
    rBearing.fRelativeBearing = WrapDegrees(rBearing.fBearing - rBearing.fHeading);
    rBearing.strMethod = object.value(QLatin1String("method")).toString();
    return Check(rBearing, rError);
}

bool Check(const BearingRecord& bearing, QString& rError)
{
    if (bearing.strStation.isEmpty())
        rError = QStringLiteral("no station name");
    else if (!Finite(bearing.fLatitude, -90.0, 90.0) || !Finite(bearing.fLongitude, -180.0, 180.0))
        rError = QStringLiteral("position out of range");
    else if (!Finite(bearing.fBearing, 0.0, 360.0) || bearing.fBearing == 360.0)
        rError = QStringLiteral("bearing out of range [0, 360)");
    else if (!Finite(bearing.fSigma, MIN_SIGMA, 90.0))
        rError = QStringLiteral("sigma out of range [0.01, 90]");
    else if (!Finite(bearing.fFrequency, MIN_FREQUENCY, 1e12))
        rError = QStringLiteral("frequency out of range");
    else if (!Finite(bearing.fBandwidth, 0.0, 1e12))
        rError = QStringLiteral("bandwidth out of range");
    else
        return true;
    return false;
}

BearingRecord Rounded(const BearingRecord& bearing)
{
    BearingRecord rounded = bearing;
    // A bearing or heading that rounds up to 360° is north, 0°.
    rounded.fHeading = WrapDegrees(RoundTo(bearing.fHeading, 10.0));
    rounded.fBearing = WrapDegrees(RoundTo(bearing.fBearing, 10.0));
    rounded.fRelativeBearing = WrapDegrees(rounded.fBearing - rounded.fHeading);
    rounded.fLatitude = RoundTo(bearing.fLatitude, 1e7);
    rounded.fLongitude = RoundTo(bearing.fLongitude, 1e7);
    rounded.fSigma = RoundTo(bearing.fSigma, 100.0);
    rounded.fQuality = RoundTo(bearing.fQuality, 10.0);
    rounded.fFrequency = RoundTo(bearing.fFrequency, 1.0);
    rounded.fBandwidth = RoundTo(bearing.fBandwidth, 1.0);
    rounded.fLevel = RoundTo(bearing.fLevel, 10.0);
    return rounded;
}

QByteArray Format(const BearingRecord& bearing)
{
    const BearingRecord rounded = Rounded(bearing);
    QJsonObject object{
        {VERSION_KEY, VERSION},
        {QStringLiteral("station"), rounded.strStation},
        {QStringLiteral("seq"), static_cast<double>(rounded.nSeq)},
        {QStringLiteral("time"), QDateTime::fromMSecsSinceEpoch(rounded.nTimeMs, Qt::UTC).toString(Qt::ISODateWithMs)},
        {QStringLiteral("latitude"), rounded.fLatitude},
        {QStringLiteral("longitude"), rounded.fLongitude},
        {QStringLiteral("heading"), rounded.fHeading},
        {QStringLiteral("bearing"), rounded.fBearing},
        {QStringLiteral("sigma"), rounded.fSigma},
        {QStringLiteral("quality"), rounded.fQuality},
        {QStringLiteral("frequency"), rounded.fFrequency},
        {QStringLiteral("bandwidth"), rounded.fBandwidth},
        {QStringLiteral("level"), rounded.fLevel},
    };
    if (!rounded.strMethod.isEmpty())
        object.insert(QStringLiteral("method"), rounded.strMethod);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace BearingMessage

} // namespace kvt
