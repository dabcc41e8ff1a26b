#pragma once

#include "network/mqttconnection.h"

#include <QObject>
#include <QString>

class NetworkModel;

/// Feeds the network's messages from a broker into a NetworkModel: one
/// session of its own (client id "kvtconsole.map.<pid>.<n>", unique per
/// process), subscribed to NetworkModel::TOPIC_FILTERS, reconnecting as
/// MqttConnection does. The model must outlive the feed. Single-threaded.
class NetworkFeed : public QObject
{
    Q_OBJECT
public:
    NetworkFeed(NetworkModel& model, QObject* pParent = nullptr);

    /// Starts connecting with the settings (the client id is the feed's own);
    /// false with the reason in GetErrorText() when they cannot be used.
    bool Open(MqttConnection::Settings settings);
    bool IsConnected() const { return m_connection.IsConnected(); }
    QString GetErrorText() const { return m_connection.GetErrorText(); }
    QString GetClientId() const { return m_strClientId; }

signals:
    void ConnectionChanged(bool bConnected);

private:
    NetworkModel& m_model;
    MqttConnection m_connection;
    QString m_strClientId;
};
