#include "tests/common/mqttpeer.h"

#include "tests/common/mosquittobroker.h"

#include <QTest>

#include <gtest/gtest.h>

MqttConnection::Settings MqttPeer::Settings(int nPort, const QString& clientId, const QString& userName)
{
    MqttConnection::Settings settings;
    settings.nPort = nPort;
    settings.strClientId = clientId;
    settings.strUserName = userName;
    settings.strPassword = userName.isEmpty() ? QString() : MosquittoBroker::PasswordOf(userName);
    return settings;
}

MqttPeer::MqttPeer(int nPort, const QString& clientId, const QString& filter, const QString& userName)
{
    m_connection.SetReconnectDelays(20, 200);
    QObject::connect(&m_connection, &MqttConnection::MessageReceived,
                     [this](const QString& topic, const QByteArray& payload, bool bRetained) {
                         m_mapHistory[topic].append(payload);
                         if (bRetained)
                             m_lstRetained.append(topic);
                     });
    QObject::connect(&m_connection, &MqttConnection::PublishAcknowledged, [this] { ++m_nAcknowledged; });
    if (!filter.isEmpty()) {
        EXPECT_TRUE(m_connection.Subscribe(filter, 1)) << filter.toStdString();
    }
    EXPECT_TRUE(m_connection.Open(Settings(nPort, clientId, userName))) << m_connection.GetErrorText().toStdString();
    EXPECT_TRUE(QTest::qWaitFor([this] { return IsConnected(); }, WAIT_MS))
        << clientId.toStdString() << ": " << m_connection.GetErrorText().toStdString();
}

bool MqttPeer::Send(const QString& topic, const QByteArray& payload, bool bRetain)
{
    const int nExpected = m_nAcknowledged + 1;
    return QTest::qWaitFor([this] { return IsConnected(); }, WAIT_MS)
           && m_connection.Publish(topic, payload, 1, bRetain) > 0
           && QTest::qWaitFor([&] { return m_nAcknowledged >= nExpected; }, WAIT_MS);
}

bool MqttPeer::WaitFor(const QString& topic, const QByteArray& text)
{
    return QTest::qWaitFor([&] { return !History(topic).isEmpty() && Latest(topic).contains(text); }, WAIT_MS);
}

bool MqttPeer::WaitForExactly(const QString& topic, const QByteArray& payload)
{
    return QTest::qWaitFor([&] { return Latest(topic) == payload; }, WAIT_MS);
}

bool MqttPeer::WaitForCount(const QString& topic, int nCount)
{
    return QTest::qWaitFor([&] { return History(topic).size() >= nCount; }, WAIT_MS);
}

QByteArray MqttPeer::Latest(const QString& topic) const
{
    const QByteArrayList payloads = History(topic);
    return payloads.isEmpty() ? QByteArray("<none>") : payloads.last();
}

QByteArrayList MqttPeer::History(const QString& topic) const
{
    const auto found = m_mapHistory.find(topic);
    return found != m_mapHistory.end() ? found->second : QByteArrayList();
}
