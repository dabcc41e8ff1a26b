#pragma once

#include "contract/bearingrecord.h"
#include "fusion/bearinggrouper.h"
#include "fusion/fix.h"
#include "fusion/fixestimator.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <deque>
#include <map>
#include <vector>

/// The DF network as the broker shows it (see docs/network.md): the stations
/// with their status, role and tuning, the latest line of bearing of each,
/// the fixes, the fusion service's status and the handovers. Fed with the
/// messages of the topic tree; the fixes come from `kvt/fixes/...` once any
/// arrive there while the fusion service is not known to be offline, else
/// the model makes them itself from the bearings (BearingGrouper with the
/// fusion library's defaults).
///
/// A handover is a sender's new text for a tuning parameter (HANDOVER_TAGS);
/// the receivers that follow the sender (their `auto_couple_targets`, when
/// known) and whose next bearings come on the handed-over frequency are
/// taken to have applied it.
///
/// The network's time is that of its newest bearing (GetNowMs()): a
/// simulated network fades its lines of bearing by its own clock.
/// Memory is bounded: FIX_CAPACITY fixes, HANDOVER_CAPACITY handovers and
/// STATION_CAPACITY stations (a new one beyond makes the one heard from least
/// recently be forgotten, counted), so that a flood of names on an open broker
/// cannot grow the map without end. A status or bearing whose station is
/// not the one of its topic, or of a newer version than this reader's, is
/// malformed. An empty payload (a retained message deleted) is no fault: an
/// empty status forgets the station, an empty fusion status makes the
/// service unknown. Malformed messages are counted and otherwise ignored.
/// Single-threaded.
class NetworkModel : public QObject
{
    Q_OBJECT
public:
    static constexpr std::size_t FIX_CAPACITY = 200;
    static constexpr std::size_t HANDOVER_CAPACITY = 50;
    static constexpr std::size_t STATION_CAPACITY = 256;
    /// The largest message read; a fix message is a few kB.
    static constexpr int MAX_MESSAGE_BYTES = 16384;
    /// How close a receiver's bearing must come to a handed-over frequency, Hz.
    static constexpr double APPLIED_TOLERANCE = 12500.0;
    /// The parameters that tune a receiver, as the ZOD senders publish them.
    static const QStringList HANDOVER_TAGS;
    /// The subscriptions that give the whole picture.
    static const QStringList TOPIC_FILTERS;

    struct Station
    {
        QString strName;
        bool bPositionKnown = false;
        double fLatitude = 0.0;
        double fLongitude = 0.0;
        double fHeading = 0.0;
        /// From the retained status (false after the Last Will); a station only
        /// heard of through its ZOD client counts as offline.
        bool bOnline = false;
        /// The role of its ZOD client ("sender", "receiver"), empty when unknown.
        QString strRole;
        /// The frequency its ZOD sender hands over, Hz; 0 when none.
        double fHandoverFrequency = 0.0;
        /// The senders its ZOD receiver follows; empty when unknown.
        QStringList lstFollows;
        bool bHasBearing = false;
        double fBearing = 0.0;
        double fFrequency = 0.0;
        qint64 nBearingTimeMs = 0;
        quint64 nBearings = 0;
        /// When a message last named it, in messages read (GetGeneration()).
        quint64 nHeard = 0;
    };

    /// A fix with its 95 % ellipse as (latitude, longitude) points, closed.
    struct MapFix
    {
        Fix fix;
        std::vector<std::pair<double, double>> lstOutline;
    };

    struct Handover
    {
        /// The network's time when it was seen; one seen before the network's
        /// first bearing takes that bearing's time (0 until then).
        qint64 nTimeMs = 0;
        QString strSender;
        QString strTag;
        QString strValue;
        /// Receivers seen tuned to it, in the order they were seen (FRQ only).
        QStringList lstApplied;
    };

    /// The fusion service as its retained status (and Last Will) tells it.
    struct Fusion
    {
        bool bKnown = false;
        bool bOnline = false;
        QString strService;
    };

    explicit NetworkModel(QObject* pParent = nullptr);

    /// One message of the topic tree; false (and counted) when it cannot be read.
    bool HandleMessage(const QString& topic, const QByteArray& payload);
    /// Counts a message that was dropped on arrival for its size (MAX_MESSAGE_BYTES) as malformed.
    void RefuseOversized();

    const std::map<QString, Station>& GetStations() const { return m_mapStations; }
    /// Oldest first.
    const std::deque<MapFix>& GetFixes() const { return m_lstFixes; }
    /// Oldest first.
    const std::deque<Handover>& GetHandovers() const { return m_lstHandovers; }
    const Fusion& GetFusion() const { return m_fusion; }
    qint64 GetNowMs() const { return m_nNowMs; }
    /// Whether the fixes come from the broker rather than from the model.
    bool HasPublishedFixes() const { return m_bPublishedFixes; }
    quint64 GetMalformed() const { return m_nMalformed; }
    /// Stations forgotten to make room for newer ones.
    quint64 GetForgotten() const { return m_nForgotten; }
    /// Messages read since the start (for the display's refresh).
    quint64 GetGeneration() const { return m_nGeneration; }

signals:
    void StationWentOffline(const QString& station);
    void FixAdded(const Fix& fix);
    void HandoverSeen(const NetworkModel::Handover& handover);
    void FusionWentOffline(const QString& service);

private:
    bool HandleStation(const QString& name, const QString& kind, const QByteArray& payload);
    bool HandleStatus(const QString& name, const QByteArray& payload);
    bool HandleBearing(const QString& name, const QByteArray& payload);
    bool HandleZod(const QStringList& levels, const QByteArray& payload);
    bool HandleParameter(const QString& sender, const QString& tag, const QString& text);
    void NoteApplied(const QString& receiver, const kvt::BearingRecord& bearing);
    bool HandleFix(const QByteArray& payload);
    bool HandleFusionStatus(const QByteArray& payload);
    void AddFix(const Fix& fix);
    Station& StationNamed(const QString& name);
    void Forget(const QString& name);

    std::map<QString, Station> m_mapStations;
    std::deque<MapFix> m_lstFixes;
    std::deque<Handover> m_lstHandovers;
    /// Each sender's latest text of each handover tag.
    std::map<std::pair<QString, QString>, QString> m_mapParameters;
    bool m_bUntimedHandovers = false;
    Fusion m_fusion;
    FixEstimator m_estimator;
    BearingGrouper m_grouper;
    bool m_bPublishedFixes = false;
    qint64 m_nNowMs = 0;
    quint64 m_nMalformed = 0;
    quint64 m_nForgotten = 0;
    quint64 m_nGeneration = 0;
};
