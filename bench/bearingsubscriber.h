#pragma once

#include "bench/latencysummary.h"
#include "network/mqttconnection.h"

#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <set>
#include <vector>

/// The consumer of the load measurement: one MQTT session subscribed to every
/// station's bearings (and statuses, whose retained "online" shows that the
/// subscription stands). A persistent session (fixed client id, clean session
/// off, QoS 1): after a reconnect it gets what the broker queued for it while
/// it was away, as far as the broker kept it (persistence, max_queued_messages).
///
/// Per station it keeps the sequence numbers received and counts repeats;
/// the latency of each first arrival is taken against the publish time that
/// `publishedAt` gives (steady clock, -1 when unknown).
class BearingSubscriber : public QObject
{
    Q_OBJECT

public:
    using PublishedAt = std::function<qint64(const QString& station, qint64 nSeq)>;

    explicit BearingSubscriber(PublishedAt publishedAt, QObject* pParent = nullptr);

    /// Logged in as `user` unless that is empty.
    bool Connect(int nPort, const QString& user, const QString& password, int nTimeoutMs);
    /// See MqttConnection::SetReconnectDelays().
    void SetReconnectDelays(int nMinimumMs, int nMaximumMs) { m_connection.SetReconnectDelays(nMinimumMs, nMaximumMs); }
    /// Runs the event loop until `done` holds (checked on every message) or nTimeoutMs have passed.
    bool WaitUntil(const std::function<bool()>& done, int nTimeoutMs);

    /// Stations whose status said online since the last connection.
    int GetOnlineStations() const { return static_cast<int>(m_lstOnline.size()); }
    const std::set<qint64>& GetReceived(const QString& station) const;
    int GetReceivedCount() const { return m_nReceived; }
    int GetDuplicates(const QString& station) const;
    /// Messages that are no bearing of a known station's publishing.
    int GetUnexpected() const { return m_nUnexpected; }
    const LatencySummary& GetLatencies() const { return m_latencies; }
    /// Steady-clock times of the connection lost and made again, alternating.
    const std::vector<qint64>& GetConnectionChanges() const { return m_lstConnectionChanges; }

signals:
    void Received();

private:
    void OnMessage(const QString& topic, const QByteArray& payload);

    PublishedAt m_publishedAt;
    MqttConnection m_connection;
    std::set<QString> m_lstOnline;
    std::map<QString, std::set<qint64>> m_mapReceived;
    std::map<QString, int> m_mapDuplicates;
    int m_nReceived = 0;
    int m_nUnexpected = 0;
    bool m_bConnectedBefore = false;
    LatencySummary m_latencies;
    std::vector<qint64> m_lstConnectionChanges;
};
