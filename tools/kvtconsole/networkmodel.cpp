#include "tools/kvtconsole/networkmodel.h"

#include "contract/bearingmessage.h"
#include "contract/topiclevel.h"
#include "fusion/geodesy.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

namespace {

/// The newest fix message this reader understands.
const int FIX_MESSAGE_VERSION = 1;

qint64 TimeOf(const QJsonValue& value)
{
    return QDateTime::fromString(value.toString(), Qt::ISODateWithMs).toMSecsSinceEpoch();
}

unsigned FlagsOf(const QJsonArray& names)
{
    const std::pair<const char*, unsigned> known[] = {{"few-bearings", Fix::TOO_FEW_BEARINGS},
                                                      {"near-parallel", Fix::NEAR_PARALLEL},
                                                      {"behind-station", Fix::BEHIND_STATION},
                                                      {"not-converged", Fix::NOT_CONVERGED}};
    unsigned flags = 0;
    for (const QJsonValue& name : names) {
        for (const auto& flag : known) {
            if (name.toString() == QLatin1String(flag.first))
                flags |= flag.second;
        }
    }
    return flags;
}

bool IsPosition(double latitude, double longitude)
{
    return std::isfinite(latitude) && std::isfinite(longitude) && std::abs(latitude) <= 90.0
           && std::abs(longitude) <= 180.0;
}

}

const QStringList NetworkModel::TOPIC_FILTERS = {
    QStringLiteral("kvt/stations/+/status"), QStringLiteral("kvt/stations/+/bearings"),
    QStringLiteral("kvt/zod/+/state"),       QStringLiteral("kvt/zod/+/config/role"),
    QStringLiteral("kvt/zod/+/param/FRQ"),   QStringLiteral("kvt/fixes/+"),
    QStringLiteral("kvt/fixes/+/latest")};

NetworkModel::NetworkModel(QObject* pParent)
    : QObject(pParent)
    , m_grouper(BearingGrouper::Settings(), m_estimator)
{
}

bool NetworkModel::HandleMessage(const QString& topic, const QByteArray& payload)
{
    ++m_nGeneration;
    const QStringList levels = topic.split(QLatin1Char('/'));
    bool bRead = false;
    if (levels.size() >= 3 && levels[0] == QLatin1String("kvt")) {
        QString name;
        if (levels[1] == QLatin1String("stations") && levels.size() == 4 && TopicLevel::Unescape(levels[2], name))
            bRead = HandleStation(name, levels[3], payload);
        else if (levels[1] == QLatin1String("zod"))
            bRead = HandleZod(levels, payload);
        else if (levels[1] == QLatin1String("fixes"))
            bRead = HandleFix(payload);
    }
    if (!bRead)
        ++m_nMalformed;
    return bRead;
}

bool NetworkModel::HandleStation(const QString& name, const QString& kind, const QByteArray& payload)
{
    if (kind == QLatin1String("status"))
        return HandleStatus(name, payload);
    if (kind == QLatin1String("bearings"))
        return HandleBearing(name, payload);
    return false;
}

bool NetworkModel::HandleStatus(const QString& name, const QByteArray& payload)
{
    const QJsonObject status = QJsonDocument::fromJson(payload).object();
    const double latitude = status.value(QStringLiteral("latitude")).toDouble(NAN);
    const double longitude = status.value(QStringLiteral("longitude")).toDouble(NAN);
    if (!status.value(QStringLiteral("online")).isBool() || !IsPosition(latitude, longitude))
        return false;
    Station& station = StationNamed(name);
    const bool bWasOnline = station.bOnline;
    station.bPositionKnown = true;
    station.fLatitude = latitude;
    station.fLongitude = longitude;
    station.fHeading = status.value(QStringLiteral("heading")).toDouble();
    station.bOnline = status.value(QStringLiteral("online")).toBool();
    if (bWasOnline && !station.bOnline)
        emit StationWentOffline(name);
    return true;
}

bool NetworkModel::HandleBearing(const QString& name, const QByteArray& payload)
{
    kvt::BearingRecord bearing;
    QString error;
    if (!kvt::BearingMessage::Parse(payload, bearing, error) || bearing.strStation != name)
        return false;
    Station& station = StationNamed(name);
    station.bPositionKnown = true;
    station.fLatitude = bearing.fLatitude;
    station.fLongitude = bearing.fLongitude;
    station.bHasBearing = true;
    station.fBearing = bearing.fBearing;
    station.fFrequency = bearing.fFrequency;
    station.nBearingTimeMs = bearing.nTimeMs;
    ++station.nBearings;
    m_nNowMs = std::max(m_nNowMs, bearing.nTimeMs);
    if (!m_bPublishedFixes) {
        std::vector<Fix> fixes;
        m_grouper.Add(bearing, fixes);
        for (const Fix& fix : fixes)
            AddFix(fix);
    }
    return true;
}

bool NetworkModel::HandleZod(const QStringList& levels, const QByteArray& payload)
{
    QString name;
    if (levels.size() < 4 || !TopicLevel::Unescape(levels[2], name))
        return false;
    const QString text = QString::fromUtf8(payload).trimmed();
    if (levels.size() == 4 && levels[3] == QLatin1String("state"))
        return text == QLatin1String("online") || text == QLatin1String("offline");
    if (levels.size() == 5 && levels[3] == QLatin1String("config") && levels[4] == QLatin1String("role")) {
        StationNamed(name).strRole = text;
        return true;
    }
    if (levels.size() == 5 && levels[3] == QLatin1String("param") && levels[4] == QLatin1String("FRQ")) {
        bool ok = false;
        const double frequency = text.toDouble(&ok);
        Station& station = StationNamed(name);
        if (!ok || frequency <= 0.0) {
            station.fHandoverFrequency = 0.0;
            return text.isEmpty();
        }
        if (frequency == station.fHandoverFrequency)
            return true;
        station.fHandoverFrequency = frequency;
        m_lstHandovers.push_back({m_nNowMs, name, frequency});
        if (m_lstHandovers.size() > HANDOVER_CAPACITY)
            m_lstHandovers.pop_front();
        emit HandoverSeen(name, frequency);
        return true;
    }
    return false;
}

bool NetworkModel::HandleFix(const QByteArray& payload)
{
    const QJsonObject message = QJsonDocument::fromJson(payload).object();
    const int version = message.value(QStringLiteral("v")).toInt(0);
    Fix fix;
    fix.fLatitude = message.value(QStringLiteral("latitude")).toDouble(NAN);
    fix.fLongitude = message.value(QStringLiteral("longitude")).toDouble(NAN);
    fix.fFrequency = message.value(QStringLiteral("frequency")).toDouble();
    if (version < 1 || version > FIX_MESSAGE_VERSION || !IsPosition(fix.fLatitude, fix.fLongitude)
        || fix.fFrequency <= 0.0)
        return false;
    fix.bValid = true;
    fix.ellipse.fSemiMajor = message.value(QStringLiteral("semiMajor")).toDouble();
    fix.ellipse.fSemiMinor = message.value(QStringLiteral("semiMinor")).toDouble();
    fix.ellipse.fOrientation = message.value(QStringLiteral("orientation")).toDouble();
    fix.nStations = message.value(QStringLiteral("stations")).toInt();
    fix.nBearings = message.value(QStringLiteral("bearings")).toInt();
    fix.fResidualRms = message.value(QStringLiteral("residual")).toDouble();
    fix.nFlags = FlagsOf(message.value(QStringLiteral("flags")).toArray());
    fix.nStartMs = TimeOf(message.value(QStringLiteral("start")));
    fix.nEndMs = TimeOf(message.value(QStringLiteral("time")));
    for (const QJsonValue& value : message.value(QStringLiteral("lines")).toArray()) {
        const QJsonObject line = value.toObject();
        fix.lstLines.push_back({line.value(QStringLiteral("station")).toString(),
                                line.value(QStringLiteral("latitude")).toDouble(),
                                line.value(QStringLiteral("longitude")).toDouble(),
                                line.value(QStringLiteral("bearing")).toDouble(),
                                line.value(QStringLiteral("sigma")).toDouble(),
                                line.value(QStringLiteral("bearings")).toInt()});
    }
    // The retained latest fix repeats the last one of its channel.
    const bool bKnown = std::any_of(m_lstFixes.begin(), m_lstFixes.end(), [&fix](const MapFix& other) {
        return other.fix.fFrequency == fix.fFrequency && other.fix.nEndMs == fix.nEndMs;
    });
    if (!m_bPublishedFixes) {
        // The broker's fixes replace those made here.
        m_bPublishedFixes = true;
        m_lstFixes.clear();
    }
    if (!bKnown)
        AddFix(fix);
    return true;
}

void NetworkModel::AddFix(const Fix& fix)
{
    if (!fix.bValid)
        return;
    MapFix entry{fix, {}};
    // The outline is drawn every frame; the geodesy for it is done once.
    const int points = 48;
    if (std::isfinite(fix.ellipse.fSemiMajor) && std::isfinite(fix.ellipse.fSemiMinor)) {
        for (const auto& offset : fix.ellipse.Outline(points)) {
            double latitude = 0.0;
            double longitude = 0.0;
            Geodesy::Offset(fix.fLatitude, fix.fLongitude, offset.first, offset.second, latitude, longitude);
            entry.lstOutline.emplace_back(latitude, longitude);
        }
    }
    m_lstFixes.push_back(std::move(entry));
    if (m_lstFixes.size() > FIX_CAPACITY)
        m_lstFixes.pop_front();
    emit FixAdded(fix);
}

NetworkModel::Station& NetworkModel::StationNamed(const QString& name)
{
    Station& station = m_mapStations[name];
    station.strName = name;
    return station;
}
