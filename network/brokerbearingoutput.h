#pragma once

#include "base/accountedoutput.h"
#include "contract/bearingrecord.h"
#include "contract/stationstatus.h"
#include "network/mqttconnection.h"

#include <QByteArray>

#include <deque>
#include <functional>
#include <set>

/// The station's bearings on an MQTT broker: every bearing given to
/// Publish() goes out as one bearing message (kvt::BearingMessage::Format) on
/// kvt/stations/<name>/bearings at QoS 1, not retained; the station's status
/// is kept retained on kvt/stations/<name>/status, "online" while connected,
/// with the same status "online": false as the Last Will.
///
/// The account (GetAccount()): offered = the bearings published, delivered =
/// those the broker acknowledged, lost = those it never will; pending = queued
/// or waiting for the acknowledgement. While the broker is unreachable up to
/// the queue limit of messages wait and go out, in order, on the next
/// connection; beyond the limit each one is counted as lost with the reason.
/// Messages handed to the broker before a connection broke are sent again by
/// the connection after the reconnect.
///
/// Stop() ends the run: it waits in the event loop (bounded, never sleeping)
/// for what is queued and unacknowledged, counts what is left as lost,
/// publishes the offline status itself and disconnects cleanly, so that
/// offered = delivered + lost afterwards. HasBeenOpen() says whether the
/// output was ever connected. Destroyed without Stop(), it still publishes
/// the offline status before it disconnects, but waits for nothing.
///
/// Single-threaded: every call and signal on the thread that made it.
class BrokerBearingOutput : public AccountedOutput
{
    Q_OBJECT

public:
    static constexpr int DEFAULT_QUEUE_LIMIT = 1000;

    explicit BrokerBearingOutput(QObject* pParent = nullptr);
    ~BrokerBearingOutput() override;

    /// Starts connecting to the broker of `settings` as the station `status`
    /// describes; the Will is set here from the status, and so is the client
    /// id, MqttConnection::UniqueClientId(name, "station"), unless the
    /// settings name one. A login the broker refuses for good
    /// (GetConnection().IsLoginRefused()) loses what is queued at Stop()
    /// without waiting.
    /// False when the settings cannot be used; the reason is then the
    /// account's last failure and nothing is attempted.
    bool Start(const MqttConnection::Settings& settings, const StationStatus& status);
    /// Publishes (or queues) one bearing; its station name is replaced by the
    /// status' name so that message and topic agree.
    void Publish(const kvt::BearingRecord& bearing);
    /// Waits up to nDrainMs for the queue and the acknowledgements, then ends
    /// the session as described above. Nothing is published afterwards.
    void Stop(int nDrainMs);

    bool IsConnected() const;
    /// For watching the connection's state (a program ends on a refused login).
    const MqttConnection& GetConnection() const { return m_connection; }
    QString GetClientId() const { return m_connection.GetClientId(); }
    /// Runs the event loop until connected or nTimeoutMs have passed; whether connected.
    /// A fast simulated run waits here, so that it does not fill the queue before the
    /// broker could take anything.
    bool WaitForConnection(int nTimeoutMs);
    /// Messages waiting for a connection.
    int GetQueued() const { return static_cast<int>(m_lstQueue.size()); }
    /// Takes effect for the next bearing; at least 0 (0: nothing is queued).
    void SetQueueLimit(int nLimit);
    /// For tests, which bridge broker failures within a second.
    void SetReconnectDelays(int nMinimumMs, int nMaximumMs);

signals:
    /// The broker acknowledged a message (a bearing or the status).
    void Progressed();

private:
    void OnConnected();
    void OnDisconnected(const QString& reason);
    void OnAcknowledged(int nMessageId);
    /// Retained; the message id, or -1 when nothing was sent.
    int PublishStatus(bool bOnline);
    /// Hands one message to the connection; false (and nothing counted) when it took nothing.
    bool Send(const QByteArray& payload, QString& rError);
    /// Runs the event loop until done() holds (checked on every acknowledgement and
    /// lost connection) or the time is up.
    void WaitUntil(const std::function<bool()>& done, qint64 nTimeoutMs);

    MqttConnection m_connection;
    StationStatus m_status;
    std::deque<QByteArray> m_lstQueue;
    std::set<int> m_lstInFlight;
    int m_nQueueLimit = DEFAULT_QUEUE_LIMIT;
    /// The message id of the offline status that Stop() waits for; -1 when none.
    int m_nOfflineStatusId = -1;
    bool m_bStopped = false;
};
