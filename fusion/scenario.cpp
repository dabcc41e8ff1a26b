#include "fusion/scenario.h"

#include "fusion/geodesy.h"

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <algorithm>
#include <cmath>
#include <list>

namespace {

/// Reads the fields of one object in turn and remembers the first failure.
class FieldReader
{
public:
    FieldReader(const QJsonObject& object, QString where)
        : m_object(object)
        , m_strWhere(std::move(where))
    {
    }

    double Number(const char* key, double low, double high)
    {
        const QJsonValue value = m_object.value(QLatin1String(key));
        if (!value.isDouble())
            Fail(key, value.isUndefined() ? "missing" : "not a number");
        else if (value.toDouble() < low || value.toDouble() > high)
            Fail(key, "out of range");
        return value.toDouble();
    }

    /// A number that may be absent; `absent` then.
    double OptionalNumber(const char* key, double low, double high, double absent)
    {
        return m_object.contains(QLatin1String(key)) ? Number(key, low, high) : absent;
    }

    /// The fields of an object that may be absent (an empty object then).
    FieldReader Object(const char* key)
    {
        const QJsonValue value = m_object.value(QLatin1String(key));
        if (!value.isUndefined() && !value.isObject())
            Fail(key, "not an object");
        m_lstNested.push_back(value.toObject());
        return FieldReader(m_lstNested.back(), QStringLiteral("%1\"%2\" ").arg(m_strWhere, QLatin1String(key)));
    }

    /// Names in an array that may be absent (none then).
    QStringList Names(const char* key)
    {
        const QJsonValue value = m_object.value(QLatin1String(key));
        QStringList names;
        if (value.isUndefined())
            return names;
        if (!value.isArray())
            Fail(key, "not a list of names");
        for (const QJsonValue item : value.toArray()) {
            if (!item.isString() || item.toString().isEmpty())
                Fail(key, "not a list of names");
            names.append(item.toString());
        }
        return names;
    }

    /// Takes over the first failure of a nested reader.
    void Adopt(const FieldReader& nested)
    {
        if (m_strError.isEmpty())
            m_strError = nested.GetError();
    }

    QString Text(const char* key)
    {
        const QJsonValue value = m_object.value(QLatin1String(key));
        if (!value.isString() || value.toString().isEmpty())
            Fail(key, value.isUndefined() ? "missing" : "not a name");
        return value.toString();
    }

    void Fail(const char* key, const char* reason)
    {
        if (m_strError.isEmpty())
            m_strError = QStringLiteral("%1\"%2\" %3").arg(m_strWhere, QLatin1String(key), QLatin1String(reason));
    }

    const QString& GetError() const { return m_strError; }

private:
    const QJsonObject& m_object;
    QString m_strWhere;
    QString m_strError;
    /// Keeps the objects that nested readers refer to (a list: its elements never move).
    std::list<QJsonObject> m_lstNested;
};

constexpr double BIG = 1e12;

/// Reads every object of root's array `key` with read(); false with the
/// first failure, prefixed with "<what> <number>: ".
template <typename Item, typename Read>
bool ReadList(const QJsonObject& root, const char* key, const char* what, std::vector<Item>& rItems,
              QString& rError, Read read)
{
    const QJsonArray array = root.value(QLatin1String(key)).toArray();
    for (int i = 0; i < array.size(); ++i) {
        const QJsonObject object = array[i].toObject();
        FieldReader reader(object, QStringLiteral("%1 %2: ").arg(QLatin1String(what)).arg(i + 1));
        rItems.push_back(read(reader));
        if (!reader.GetError().isEmpty()) {
            rError = reader.GetError();
            return false;
        }
    }
    return true;
}

}

bool Scenario::Load(const QString& fileName, QString& rError)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        rError = QStringLiteral("%1: %2").arg(fileName, file.errorString());
        return false;
    }
    if (!Parse(file.readAll(), rError)) {
        rError = QStringLiteral("%1: %2").arg(fileName, rError);
        return false;
    }
    return true;
}

bool Scenario::Parse(const QByteArray& text, QString& rError)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(text, &parseError);
    if (!document.isObject()) {
        rError = QStringLiteral("not a JSON object (%1)").arg(parseError.errorString());
        return false;
    }
    const QJsonObject root = document.object();
    QDateTime start = QDateTime::fromString(root.value(QLatin1String("start")).toString(), Qt::ISODateWithMs);
    if (start.timeSpec() == Qt::LocalTime)
        start.setTimeSpec(Qt::UTC);
    if (!start.isValid()) {
        rError = QStringLiteral("\"start\" missing or not an ISO 8601 time");
        return false;
    }
    Scenario scenario;
    scenario.m_nStartMs = start.toMSecsSinceEpoch();
    const bool ok =
        ReadList(root, "emitters", "emitter", scenario.m_lstEmitters, rError,
                 [](FieldReader& reader) {
                     Emitter emitter;
                     emitter.strName = reader.Text("name");
                     emitter.fLatitude = reader.Number("latitude", -90.0, 90.0);
                     emitter.fLongitude = reader.Number("longitude", -180.0, 180.0);
                     emitter.fFrequency = reader.Number("frequency", 0.0, BIG);
                     emitter.fBandwidth = reader.Number("bandwidth", 0.0, BIG);
                     emitter.fPower = reader.OptionalNumber("power", -200.0, 200.0, DEFAULT_POWER);
                     emitter.fOn = reader.Number("on", 0.0, BIG);
                     emitter.fOff = reader.Number("off", 0.0, BIG);
                     emitter.fCycle = reader.OptionalNumber("cycle", 0.0, BIG, 0.0);
                     emitter.fTalk = reader.OptionalNumber("talk", 0.0, BIG, emitter.fCycle);
                     emitter.fPhase = reader.OptionalNumber("phase", 0.0, BIG, 0.0);
                     return emitter;
                 })
        && ReadList(root, "stations", "station", scenario.m_lstStations, rError, [](FieldReader& reader) {
               Station station;
               station.strName = reader.Text("name");
               station.fLatitude = reader.Number("latitude", -90.0, 90.0);
               station.fLongitude = reader.Number("longitude", -180.0, 180.0);
               station.fHeading = reader.Number("heading", -360.0, 360.0);
               station.fSigma = reader.Number("sigma", 0.0, 180.0);
               station.fFrequencyMin = reader.Number("frequencyMin", 0.0, BIG);
               station.fFrequencyMax = reader.Number("frequencyMax", 0.0, BIG);
               FieldReader motion = reader.Object("motion");
               station.motion.fPitch = motion.OptionalNumber("pitch", 0.0, 90.0, 0.0);
               station.motion.fRoll = motion.OptionalNumber("roll", 0.0, 90.0, 0.0);
               station.motion.fPeriod = motion.OptionalNumber("period", 0.1, BIG, 1.0);
               reader.Adopt(motion);
               const QString role = reader.Text("role");
               if (role != QLatin1String("sender") && role != QLatin1String("receiver"))
                   reader.Fail("role", "neither sender nor receiver");
               station.eRole = role == QLatin1String("sender") ? Role::Sender : Role::Receiver;
               station.lstFollows = reader.Names("follows");
               FieldReader faults = reader.Object("faults");
               station.faults.fWild = faults.OptionalNumber("wild", 0.0, 1.0, 0.0);
               station.faults.fReflection = faults.OptionalNumber("reflection", 0.0, 1.0, 0.0);
               station.faults.fReflectionOffset = faults.OptionalNumber("reflectionOffset", -180.0, 180.0, 0.0);
               station.faults.fFuture = faults.OptionalNumber("future", 0.0, 1.0, 0.0);
               station.faults.fFutureSeconds = faults.OptionalNumber("futureSeconds", 0.0, BIG, 0.0);
               if (station.faults.fWild + station.faults.fReflection > 1.0)
                   faults.Fail("reflection", "and \"wild\" add up to more than 1");
               reader.Adopt(faults);
               FieldReader track = reader.Object("track");
               station.track.fCourse = track.OptionalNumber("course", -360.0, 360.0, 0.0);
               station.track.fSpeed = track.OptionalNumber("speed", 0.0, 1e4, 0.0);
               station.track.fLength = track.OptionalNumber("length", 0.0, 1e7, 0.0);
               reader.Adopt(track);
               return station;
           })
        && ReadList(root, "handovers", "handover", scenario.m_lstHandovers, rError, [&scenario](FieldReader& reader) {
               Handover handover;
               handover.fAt = reader.Number("at", 0.0, BIG);
               handover.strStation = reader.Text("station");
               handover.fFrequency = reader.Number("frequency", 1.0, BIG);
               const Station* pStation = scenario.FindStation(handover.strStation);
               if (pStation == nullptr || pStation->eRole != Role::Sender)
                   reader.Fail("station", "not a sender of the scenario");
               return handover;
           });
    if (!ok)
        return false;
    *this = std::move(scenario);
    return true;
}

bool Scenario::Emitter::IsOn(double t) const
{
    if (t < fOn || t >= fOff)
        return false;
    if (!(fCycle > 0.0))
        return true;
    const double inCycle = std::fmod(t - fPhase, fCycle);
    return (inCycle < 0.0 ? inCycle + fCycle : inCycle) < fTalk;
}

void Scenario::Station::PositionAt(double t, double& rLatitude, double& rLongitude) const
{
    rLatitude = fLatitude;
    rLongitude = fLongitude;
    if (!(track.fSpeed > 0.0) || !(track.fLength > 0.0))
        return;
    // There and back: a triangle wave of the distance travelled.
    const double travelled = std::fmod(track.fSpeed * t, 2.0 * track.fLength);
    const double along = travelled <= track.fLength ? travelled : 2.0 * track.fLength - travelled;
    Geodesy::Direct(fLatitude, fLongitude, track.fCourse, along, rLatitude, rLongitude);
}

const Scenario::Station* Scenario::FindStation(const QString& name) const
{
    const auto it = std::find_if(m_lstStations.begin(), m_lstStations.end(),
                                 [&name](const Station& station) { return station.strName == name; });
    return it == m_lstStations.end() ? nullptr : &*it;
}
