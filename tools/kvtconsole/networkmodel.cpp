#include "tools/kvtconsole/networkmodel.h"

#include "contract/bearingmessage.h"
#include "contract/stationstatus.h"
#include "contract/topiclevel.h"
#include "fusion/geodesy.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

/// The newest fix and fusion status messages this reader understands.
const int FIX_MESSAGE_VERSION = 1;
const int FUSION_STATUS_VERSION = 1;

/// Whether a message's "v" is a whole version from 1 up to `newest`.
bool IsReadableVersion(const QJsonObject& message, int newest)
{
    const int version = message.value(QStringLiteral("v")).toInt(0);
    return version >= 1 && version <= newest;
}

qint64 TimeOf(const QJsonValue& value)
{
    return QDateTime::fromString(value.toString(), Qt::ISODateWithMs).toMSecsSinceEpoch();
}

bool IsPosition(double latitude, double longitude)
{
    return std::isfinite(latitude) && std::isfinite(longitude) && std::abs(latitude) <= 90.0
           && std::abs(longitude) <= 180.0;
}

}

const QStringList NetworkModel::TOPIC_FILTERS = {
    QStringLiteral("kvt/stations/+/status"),
    QStringLiteral("kvt/stations/+/bearings"),
    QStringLiteral("kvt/zod/+/state"),
    QStringLiteral("kvt/zod/+/config/role"),
    QStringLiteral("kvt/zod/+/config/auto_couple_targets"),
    QStringLiteral("kvt/zod/+/param/+"),
    QStringLiteral("kvt/fixes/+"),
    QStringLiteral("kvt/fixes/+/latest"),
    QStringLiteral("kvt/fusion/status")};

const QStringList NetworkModel::HANDOVER_TAGS = {QStringLiteral("FRQ"), QStringLiteral("BW"), QStringLiteral("DEM"),
                                                 QStringLiteral("FFM")};

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
        else if (levels[1] == QLatin1String("fusion") && levels.size() == 3 && levels[2] == QLatin1String("status"))
            bRead = HandleFusionStatus(payload);
    }
    if (!bRead)
        ++m_nMalformed;
    return bRead;
}

void NetworkModel::RefuseOversized()
{
    ++m_nGeneration;
    ++m_nMalformed;
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
    if (payload.isEmpty()) {
        Forget(name);
        return true;
    }
    const QJsonObject status = QJsonDocument::fromJson(payload).object();
    const double latitude = status.value(QStringLiteral("latitude")).toDouble(NAN);
    const double longitude = status.value(QStringLiteral("longitude")).toDouble(NAN);
    if (!status.value(QStringLiteral("online")).isBool() || !IsPosition(latitude, longitude)
        // A status without "v" is of the first version, as a bearing message is.
        || (status.contains(QStringLiteral("v")) && !IsReadableVersion(status, StationStatus::VERSION))
        || status.value(QStringLiteral("station")).toString() != name)
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
    if (m_bUntimedHandovers) {
        for (Handover& handover : m_lstHandovers)
            handover.nTimeMs = std::max(handover.nTimeMs, m_nNowMs);
        m_bUntimedHandovers = false;
    }
    NoteApplied(name, bearing);
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
        return text.isEmpty() || text == QLatin1String("online") || text == QLatin1String("offline");
    if (levels.size() == 5 && levels[3] == QLatin1String("config") && levels[4] == QLatin1String("role")) {
        StationNamed(name).strRole = text;
        return true;
    }
    if (levels.size() == 5 && levels[3] == QLatin1String("config")
        && levels[4] == QLatin1String("auto_couple_targets")) {
        // Written as the receiver's configuration holds it: commas or semicolons, blanks around names.
        QStringList follows;
        for (const QString& target : text.split(QRegularExpression(QStringLiteral("[,;]")), Qt::SkipEmptyParts)) {
            if (!target.trimmed().isEmpty())
                follows << target.trimmed();
        }
        StationNamed(name).lstFollows = follows;
        return true;
    }
    if (levels.size() == 5 && levels[3] == QLatin1String("param"))
        return HandleParameter(name, levels[4], text);
    return false;
}

bool NetworkModel::HandleParameter(const QString& sender, const QString& tag, const QString& text)
{
    if (tag == QLatin1String("FRQ")) {
        bool ok = false;
        const double frequency = text.toDouble(&ok);
        const bool bFrequency = ok && frequency > 0.0;
        if (!bFrequency && !text.isEmpty())
            return false;
        StationNamed(sender).fHandoverFrequency = bFrequency ? frequency : 0.0;
    }
    if (!HANDOVER_TAGS.contains(tag))
        return true;
    QString& last = m_mapParameters[{sender, tag}];
    // A reconnecting sender publishes every parameter again; only a new text hands over.
    if (text == last)
        return true;
    last = text;
    // An empty text withdraws the parameter: nothing handed over.
    if (text.isEmpty())
        return true;
    m_lstHandovers.push_back({m_nNowMs, sender, tag, text, {}});
    m_bUntimedHandovers = m_bUntimedHandovers || m_nNowMs == 0;
    if (m_lstHandovers.size() > HANDOVER_CAPACITY)
        m_lstHandovers.pop_front();
    emit HandoverSeen(m_lstHandovers.back());
    return true;
}

void NetworkModel::NoteApplied(const QString& receiver, const kvt::BearingRecord& bearing)
{
    const Station& station = m_mapStations.at(receiver);
    if (station.strRole != QLatin1String("receiver"))
        return;
    // Only the newest frequency handover of each sender can be what the receiver is tuned to now.
    std::map<QString, bool> seen;
    for (auto it = m_lstHandovers.rbegin(); it != m_lstHandovers.rend(); ++it) {
        if (it->strTag != QLatin1String("FRQ") || seen[it->strSender])
            continue;
        seen[it->strSender] = true;
        const bool bFollows = station.lstFollows.isEmpty() || station.lstFollows.contains(it->strSender);
        if (bFollows && bearing.nTimeMs >= it->nTimeMs && !it->lstApplied.contains(receiver)
            && std::abs(it->strValue.toDouble() - bearing.fFrequency) <= APPLIED_TOLERANCE)
            it->lstApplied << receiver;
    }
}

bool NetworkModel::HandleFix(const QByteArray& payload)
{
    // A channel's retained latest fix deleted: the fixes shown stay.
    if (payload.isEmpty())
        return true;
    const QJsonObject message = QJsonDocument::fromJson(payload).object();
    Fix fix;
    fix.fLatitude = message.value(QStringLiteral("latitude")).toDouble(NAN);
    fix.fLongitude = message.value(QStringLiteral("longitude")).toDouble(NAN);
    fix.fFrequency = message.value(QStringLiteral("frequency")).toDouble();
    if (!IsReadableVersion(message, FIX_MESSAGE_VERSION) || !IsPosition(fix.fLatitude, fix.fLongitude)
        || fix.fFrequency <= 0.0)
        return false;
    fix.bValid = true;
    fix.ellipse.fSemiMajor = message.value(QStringLiteral("semiMajor")).toDouble();
    fix.ellipse.fSemiMinor = message.value(QStringLiteral("semiMinor")).toDouble();
    fix.ellipse.fOrientation = message.value(QStringLiteral("orientation")).toDouble();
    fix.nStations = message.value(QStringLiteral("stations")).toInt();
    fix.nBearings = message.value(QStringLiteral("bearings")).toInt();
    fix.fResidualRms = message.value(QStringLiteral("residual")).toDouble();
    fix.nFlags = Fix::FlagsNamed(message.value(QStringLiteral("flags")).toVariant().toStringList());
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
    // The retained latest fix repeats the last one of its channel; a channel
    // with several emitters has several fixes of one time, in other places.
    const bool bKnown = std::any_of(m_lstFixes.begin(), m_lstFixes.end(), [&fix](const MapFix& other) {
        return other.fix.fFrequency == fix.fFrequency && other.fix.nEndMs == fix.nEndMs
               && other.fix.fLatitude == fix.fLatitude && other.fix.fLongitude == fix.fLongitude;
    });
    // The broker's fixes replace those made here, unless they are the retained
    // leftovers of a service that is gone.
    if (!m_bPublishedFixes && !(m_fusion.bKnown && !m_fusion.bOnline)) {
        m_bPublishedFixes = true;
        m_lstFixes.clear();
    }
    if (!bKnown)
        AddFix(fix);
    return true;
}

bool NetworkModel::HandleFusionStatus(const QByteArray& payload)
{
    if (payload.isEmpty()) {
        m_fusion = Fusion();
        return true;
    }
    const QJsonObject status = QJsonDocument::fromJson(payload).object();
    if (!IsReadableVersion(status, FUSION_STATUS_VERSION) || !status.value(QStringLiteral("online")).isBool())
        return false;
    const bool bWasOnline = m_fusion.bOnline;
    m_fusion.bKnown = true;
    m_fusion.bOnline = status.value(QStringLiteral("online")).toBool();
    m_fusion.strService = status.value(QStringLiteral("service")).toString();
    if (bWasOnline && !m_fusion.bOnline) {
        // Nobody publishes fixes any more: the map makes its own from the next bearings on.
        m_bPublishedFixes = false;
        emit FusionWentOffline(m_fusion.strService);
    }
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
    if (m_mapStations.size() >= STATION_CAPACITY && m_mapStations.count(name) == 0) {
        // A linear search for the stalest: it runs only for a new name, over at most the capacity.
        const auto stalest = std::min_element(m_mapStations.begin(), m_mapStations.end(),
                                              [](const auto& a, const auto& b) { return a.second.nHeard < b.second.nHeard; });
        Forget(stalest->first);
        ++m_nForgotten;
    }
    Station& station = m_mapStations[name];
    station.strName = name;
    station.nHeard = m_nGeneration;
    return station;
}

void NetworkModel::Forget(const QString& name)
{
    auto parameter = m_mapParameters.lower_bound({name, QString()});
    while (parameter != m_mapParameters.end() && parameter->first.first == name)
        parameter = m_mapParameters.erase(parameter);
    // Last: name may be the station's own key.
    m_mapStations.erase(name);
}
