#pragma once

#include "base/accountedoutput.h"
#include "fusion/fix.h"
#include "network/mqttconnection.h"

#include <QByteArray>
#include <QJsonObject>
#include <QMap>

#include <deque>
#include <set>

namespace kvt {

/// The fixes on the broker (docs/network.md):
///
///     kvt/fixes/<channel>          every fix message, QoS 1
///     kvt/fixes/<channel>/latest   the channel's newest fix, QoS 1, retained
///     kvt/fusion/status            the service's status, retained; Last Will offline
///
/// The account counts the fix messages on kvt/fixes/<channel>: delivered
/// when the broker acknowledged them. While the broker is away up to the
/// queue limit of them wait; each beyond is lost with the reason. The latest
/// fix of every channel is published again on every connection, so a
/// restarted broker gets the current picture back.
class FixPublisher : public AccountedOutput
{
    Q_OBJECT

public:
    static constexpr int DEFAULT_QUEUE_LIMIT = 1000;

    /// `status` is the service's description ("window", "maxAge", ...); "v",
    /// "service" and "online" are added.
    explicit FixPublisher(const QJsonObject& status, QObject* pParent = nullptr);
    ~FixPublisher() override;

    /// Starts connecting; the client id is set here (unique per process).
    /// False with the reason (also the account's last failure) when the settings cannot be used.
    bool Start(const MqttConnection::Settings& settings);
    void Publish(const Fix& fix);
    /// Waits up to nDrainMs for the acknowledgements, counts what is left as
    /// lost, publishes the offline status and disconnects.
    void Stop(int nDrainMs);

    bool IsConnected() const { return m_connection.IsConnected(); }

    static QString FixTopic(const QString& channel);
    static QString LatestTopic(const QString& channel);
    static const QString STATUS_TOPIC;

signals:
    void Progressed();

private:
    void OnConnected();
    void OnAcknowledged(int nMessageId);
    QByteArray Status(bool bOnline) const;
    bool Send(const QString& channel, const QByteArray& message);

    MqttConnection m_connection;
    QJsonObject m_status;
    /// (channel, message) waiting for the connection.
    std::deque<std::pair<QString, QByteArray>> m_lstQueue;
    std::set<int> m_lstInFlight;
    /// The newest fix message per channel.
    QMap<QString, QByteArray> m_mapLatest;
    bool m_bStopped = false;
};

}
