#pragma once

#include "network/mqttconnection.h"

#include <QByteArrayList>
#include <QString>
#include <QStringList>

#include <map>

/// A client of a test's own broker that keeps what arrives: every payload per
/// topic in order, and the topics that came retained. It stands in for the
/// stations, consumers and watchers a test does not run as programs.
class MqttPeer
{
public:
    static const int WAIT_MS = 20000;

    /// Settings for the loopback broker on nPort; with a user name, logging in
    /// with the password MosquittoBroker::LockDown gave that user.
    static MqttConnection::Settings Settings(int nPort, const QString& clientId, const QString& userName = QString());

    /// Subscribes `filter` (unless empty), connects and waits for the connection.
    MqttPeer(int nPort, const QString& clientId, const QString& filter = QString(),
             const QString& userName = QString());
    MqttPeer(const MqttPeer&) = delete;
    MqttPeer& operator=(const MqttPeer&) = delete;

    bool IsConnected() const { return m_connection.IsConnected(); }
    /// Publishes (QoS 1) and waits for the broker's acknowledgement.
    bool Send(const QString& topic, const QByteArray& payload, bool bRetain = true);
    /// Waits until the latest payload of `topic` contains `text` (any payload for "").
    bool WaitFor(const QString& topic, const QByteArray& text = QByteArray());
    /// Waits until the latest payload of `topic` is `payload`.
    bool WaitForExactly(const QString& topic, const QByteArray& payload);
    /// Waits until `topic` has brought at least nCount payloads.
    bool WaitForCount(const QString& topic, int nCount);
    /// The latest payload of `topic`; "<none>" before any.
    QByteArray Latest(const QString& topic) const;
    QByteArrayList History(const QString& topic) const;
    bool CameRetained(const QString& topic) const { return m_lstRetained.contains(topic); }

    MqttConnection m_connection;

private:
    std::map<QString, QByteArrayList> m_mapHistory;
    QStringList m_lstRetained;
    int m_nAcknowledged = 0;
};
