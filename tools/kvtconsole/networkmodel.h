#pragma once

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
/// the fixes and the handovers. Fed with the messages of the topic tree;
/// the fixes come from `kvt/fixes/...` once any arrive there, else the model
/// makes them itself from the bearings (BearingGrouper with the fusion
/// library's defaults).
///
/// The network's time is that of its newest bearing (GetNowMs()): a
/// simulated network fades its lines of bearing by its own clock.
/// Memory is bounded: FIX_CAPACITY fixes and HANDOVER_CAPACITY handovers.
/// Malformed messages are counted and otherwise ignored. Single-threaded.
class NetworkModel : public QObject
{
    Q_OBJECT
public:
    static constexpr std::size_t FIX_CAPACITY = 200;
    static constexpr std::size_t HANDOVER_CAPACITY = 50;
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
        bool bHasBearing = false;
        double fBearing = 0.0;
        double fFrequency = 0.0;
        qint64 nBearingTimeMs = 0;
        quint64 nBearings = 0;
    };

    /// A fix with its 95 % ellipse as (latitude, longitude) points, closed.
    struct MapFix
    {
        Fix fix;
        std::vector<std::pair<double, double>> lstOutline;
    };

    struct Handover
    {
        qint64 nTimeMs = 0;
        QString strSender;
        double fFrequency = 0.0;
    };

    explicit NetworkModel(QObject* pParent = nullptr);

    /// One message of the topic tree; false (and counted) when it cannot be read.
    bool HandleMessage(const QString& topic, const QByteArray& payload);

    const std::map<QString, Station>& GetStations() const { return m_mapStations; }
    /// Oldest first.
    const std::deque<MapFix>& GetFixes() const { return m_lstFixes; }
    const std::deque<Handover>& GetHandovers() const { return m_lstHandovers; }
    qint64 GetNowMs() const { return m_nNowMs; }
    /// Whether the fixes come from the broker rather than from the model.
    bool HasPublishedFixes() const { return m_bPublishedFixes; }
    quint64 GetMalformed() const { return m_nMalformed; }
    /// Messages read since the start (for the display's refresh).
    quint64 GetGeneration() const { return m_nGeneration; }

signals:
    void StationWentOffline(const QString& station);
    void FixAdded(const Fix& fix);
    void HandoverSeen(const QString& sender, double fFrequency);

private:
    bool HandleStation(const QString& name, const QString& kind, const QByteArray& payload);
    bool HandleStatus(const QString& name, const QByteArray& payload);
    bool HandleBearing(const QString& name, const QByteArray& payload);
    bool HandleZod(const QStringList& levels, const QByteArray& payload);
    bool HandleFix(const QByteArray& payload);
    void AddFix(const Fix& fix);
    Station& StationNamed(const QString& name);

    std::map<QString, Station> m_mapStations;
    std::deque<MapFix> m_lstFixes;
    std::deque<Handover> m_lstHandovers;
    FixEstimator m_estimator;
    BearingGrouper m_grouper;
    bool m_bPublishedFixes = false;
    qint64 m_nNowMs = 0;
    quint64 m_nMalformed = 0;
    quint64 m_nGeneration = 0;
};
