#include "tools/kvtconsole/networkfeed.h"

#include "tools/kvtconsole/networkmodel.h"

#include <QCoreApplication>

namespace {

/// Feeds made in this process so far: each takes the next number for its client id.
int s_nFeeds = 0;

}

NetworkFeed::NetworkFeed(NetworkModel& model, QObject* pParent)
    : QObject(pParent)
    , m_model(model)
    , m_strClientId(QStringLiteral("kvtconsole.map.%1.%2").arg(QCoreApplication::applicationPid()).arg(++s_nFeeds))
{
    connect(&m_connection, &MqttConnection::MessageReceived, this,
            [this](const QString& topic, const QByteArray& payload, bool) { m_model.HandleMessage(topic, payload); });
    connect(&m_connection, &MqttConnection::MessageRefused, this, [this] { m_model.RefuseOversized(); });
    connect(&m_connection, &MqttConnection::Connected, this, [this] { emit ConnectionChanged(true); });
    connect(&m_connection, &MqttConnection::Disconnected, this, [this] { emit ConnectionChanged(false); });
    for (const QString& filter : NetworkModel::TOPIC_FILTERS)
        m_connection.Subscribe(filter, 1);
}

bool NetworkFeed::Open(MqttConnection::Settings settings)
{
    settings.strClientId = m_strClientId;
    settings.nMaxIncomingBytes = NetworkModel::MAX_MESSAGE_BYTES;
    return m_connection.Open(settings);
}
