#include "network/mqttconnection.h"
#include "tests/common/mosquittobroker.h"
#include "tests/common/mqttpeer.h"
#include "tests/common/qstringprinter.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace
{

const int WAIT_MS = 10000;

class MqttConnectionTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_broker.Start()) << m_broker.GetErrorText().toStdString(); }

    MqttConnection::Settings Settings(const QString& clientId) const
    {
        return MqttPeer::Settings(m_broker.GetPort(), clientId);
    }

    // A connection that is connected (or the test has failed).
    std::unique_ptr<MqttConnection> Connect(const MqttConnection::Settings& settings)
    {
        auto pConnection = std::make_unique<MqttConnection>();
        pConnection->SetReconnectDelays(20, 200);
        EXPECT_TRUE(pConnection->Open(settings)) << pConnection->GetErrorText().toStdString();
        EXPECT_TRUE(QTest::qWaitFor([&] { return pConnection->IsConnected(); }, WAIT_MS))
            << pConnection->GetErrorText().toStdString() << m_broker.GetLog().toStdString();
        return pConnection;
    }

    static bool WaitForCount(const QSignalSpy& spy, int count)
    {
        return QTest::qWaitFor([&] { return spy.count() >= count; }, WAIT_MS);
    }

    MosquittoBroker m_broker;
};

TEST_F(MqttConnectionTest, MessagesArriveWithTheirRetainedFlagAndAcknowledgementsNameTheirIds)
{
    std::unique_ptr<MqttConnection> pPublisher = Connect(Settings(QStringLiteral("publisher")));
    QSignalSpy acknowledged(pPublisher.get(), &MqttConnection::PublishAcknowledged);
    const int nRetained = pPublisher->Publish(QStringLiteral("t/state"), "online", 1, true);
    const int nPlain = pPublisher->Publish(QStringLiteral("t/event"), "before", 1, false);
    ASSERT_GT(nRetained, 0);
    ASSERT_GT(nPlain, 0);
    EXPECT_NE(nRetained, nPlain);
    ASSERT_TRUE(WaitForCount(acknowledged, 2));
    EXPECT_EQ(acknowledged.at(0).at(0).toInt(), nRetained);
    EXPECT_EQ(acknowledged.at(1).at(0).toInt(), nPlain);

    // A subscriber that comes later gets the retained message only, flagged as retained;
    // what is published afterwards arrives live.
    std::unique_ptr<MqttConnection> pSubscriber = Connect(Settings(QStringLiteral("subscriber")));
    QSignalSpy received(pSubscriber.get(), &MqttConnection::MessageReceived);
    ASSERT_TRUE(pSubscriber->Subscribe(QStringLiteral("t/#"), 1));
    ASSERT_TRUE(WaitForCount(received, 1));
    EXPECT_EQ(received.at(0).at(0).toString(), QStringLiteral("t/state"));
    EXPECT_EQ(received.at(0).at(1).toByteArray(), QByteArray("online"));
    EXPECT_TRUE(received.at(0).at(2).toBool());

    const QByteArray binary("\0\xff\n", 3);
    ASSERT_GT(pPublisher->Publish(QStringLiteral("t/event"), binary, 0, false), 0);
    ASSERT_TRUE(WaitForCount(received, 2));
    EXPECT_EQ(received.at(1).at(1).toByteArray(), binary);
    EXPECT_FALSE(received.at(1).at(2).toBool());
}

TEST_F(MqttConnectionTest, RefusedPublicationsAndSettingsSayWhy)
{
    MqttConnection connection;
    QString error;
    EXPECT_EQ(connection.Publish(QStringLiteral("t"), "x", 1, false, &error), -1);
    EXPECT_EQ(error, QStringLiteral("not connected to the broker"));

    MqttConnection::Settings settings = Settings(QStringLiteral("c"));
    settings.nPort = 0;
    EXPECT_FALSE(connection.Open(settings));
    EXPECT_FALSE(connection.GetErrorText().isEmpty());
    settings = Settings(QStringLiteral("c"));
    settings.nKeepAliveSeconds = MqttConnection::MIN_KEEP_ALIVE_SECONDS - 1;
    EXPECT_FALSE(connection.Open(settings));
    settings = Settings(QStringLiteral("c"));
    settings.strCaFile = QStringLiteral("/nonexistent/ca.pem");
    EXPECT_FALSE(connection.Open(settings));
    EXPECT_TRUE(connection.GetErrorText().contains(QStringLiteral("/nonexistent/ca.pem")));
    EXPECT_FALSE(connection.Subscribe(QStringLiteral("a/#/b"), 1));

    std::unique_ptr<MqttConnection> pConnected = Connect(Settings(QStringLiteral("c")));
    EXPECT_EQ(pConnected->Publish(QStringLiteral("a/+"), "x", 1, false, &error), -1);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(pConnected->Publish(QStringLiteral("a"), "x", 3, false, &error), -1);
    EXPECT_TRUE(pConnected->IsConnected());
}

TEST_F(MqttConnectionTest, WrongPasswordIsRefusedWithAClearReason)
{
    m_broker.Stop();
    ASSERT_TRUE(m_broker.RequirePassword(QStringLiteral("station"), QStringLiteral("secret")));
    ASSERT_TRUE(m_broker.Start()) << m_broker.GetErrorText().toStdString();

    MqttConnection::Settings settings = Settings(QStringLiteral("wrong"));
    settings.strUserName = QStringLiteral("station");
    settings.strPassword = QStringLiteral("guess");
    MqttConnection refused;
    refused.SetReconnectDelays(20, 200);
    QSignalSpy disconnected(&refused, &MqttConnection::Disconnected);
    QSignalSpy gaveUp(&refused, &MqttConnection::LoginRefused);
    ASSERT_TRUE(refused.Open(settings));
    ASSERT_TRUE(WaitForCount(gaveUp, 1));
    // A refused login is tried a bounded number of times, then no more.
    EXPECT_EQ(disconnected.count(), MqttConnection::MAX_LOGIN_TRIES);
    EXPECT_EQ(disconnected.at(0).at(0).toString(), QStringLiteral("the broker refused the user name or password"));
    EXPECT_EQ(gaveUp.at(0).at(0).toString(), QStringLiteral("the broker refused the user name or password"));
    EXPECT_EQ(refused.GetErrorText(), QStringLiteral("the broker refused the user name or password"));
    EXPECT_TRUE(refused.IsLoginRefused());
    EXPECT_FALSE(refused.IsConnected());
    QTest::qWait(400);
    EXPECT_EQ(disconnected.count(), MqttConnection::MAX_LOGIN_TRIES) << "an attempt after giving up";

    settings.strPassword = QStringLiteral("secret");
    EXPECT_TRUE(Connect(settings)->IsConnected());
}

TEST_F(MqttConnectionTest, TlsConnectsOnlyToABrokerThatTheCaFileVouchesFor)
{
    m_broker.Stop();
    ASSERT_TRUE(m_broker.RequireTls()) << m_broker.GetErrorText().toStdString();
    ASSERT_TRUE(m_broker.Start()) << m_broker.GetErrorText().toStdString();
    MosquittoBroker stranger;
    ASSERT_TRUE(stranger.RequireTls()) << stranger.GetErrorText().toStdString();

    MqttConnection::Settings settings = Settings(QStringLiteral("tls"));
    settings.strCaFile = stranger.GetCaFile();
    MqttConnection distrusting;
    QSignalSpy disconnected(&distrusting, &MqttConnection::Disconnected);
    ASSERT_TRUE(distrusting.Open(settings));
    ASSERT_TRUE(WaitForCount(disconnected, 1));
    EXPECT_FALSE(distrusting.IsConnected());
    EXPECT_TRUE(disconnected.at(0).at(0).toString().contains(QStringLiteral("TLS")))
        << disconnected.at(0).at(0).toString().toStdString();
    distrusting.Close();

    // Plain MQTT does not reach a TLS listener either.
    MqttConnection plain;
    QSignalSpy plainDisconnected(&plain, &MqttConnection::Disconnected);
    ASSERT_TRUE(plain.Open(Settings(QStringLiteral("plain"))));
    ASSERT_TRUE(WaitForCount(plainDisconnected, 1));
    plain.Close();

    settings.strCaFile = m_broker.GetCaFile();
    std::unique_ptr<MqttConnection> pTrusting = Connect(settings);
    QSignalSpy received(pTrusting.get(), &MqttConnection::MessageReceived);
    ASSERT_TRUE(pTrusting->Subscribe(QStringLiteral("t/#"), 1));
    pTrusting->Publish(QStringLiteral("t/secure"), "x", 1, false);
    EXPECT_TRUE(WaitForCount(received, 1));
}

TEST_F(MqttConnectionTest, BrokerRestartIsBridgedWithGrowingDelaysAndTheSubscriptionsComeBack)
{
    std::unique_ptr<MqttConnection> pSubscriber = Connect(Settings(QStringLiteral("subscriber")));
    pSubscriber->SetReconnectDelays(20, 80);
    ASSERT_TRUE(pSubscriber->Subscribe(QStringLiteral("t/#"), 1));
    QSignalSpy disconnected(pSubscriber.get(), &MqttConnection::Disconnected);
    QSignalSpy connected(pSubscriber.get(), &MqttConnection::Connected);

    m_broker.Stop();
    ASSERT_TRUE(WaitForCount(disconnected, 3));
    EXPECT_TRUE(disconnected.at(0).at(0).toString().startsWith(QStringLiteral("connection to the broker lost")));
    EXPECT_TRUE(disconnected.at(1).at(0).toString().startsWith(QStringLiteral("cannot reach the broker at 127.0.0.1:")));
    EXPECT_EQ(pSubscriber->GetReconnectDelay(), 80);

    ASSERT_TRUE(m_broker.Restart()) << m_broker.GetErrorText().toStdString();
    ASSERT_TRUE(WaitForCount(connected, 1)) << pSubscriber->GetErrorText().toStdString();
    EXPECT_EQ(pSubscriber->GetReconnectDelay(), 20);
    EXPECT_TRUE(pSubscriber->GetErrorText().isEmpty());

    QSignalSpy received(pSubscriber.get(), &MqttConnection::MessageReceived);
    std::unique_ptr<MqttConnection> pPublisher = Connect(Settings(QStringLiteral("publisher")));
    pPublisher->Publish(QStringLiteral("t/after"), "x", 1, false);
    ASSERT_TRUE(WaitForCount(received, 1));
    EXPECT_EQ(received.at(0).at(0).toString(), QStringLiteral("t/after"));
}

// A second connection with the same client id takes the session over; the broker drops the
// first one without a DISCONNECT from it, which is what publishes a Will.
TEST_F(MqttConnectionTest, WillIsPublishedWhenTheConnectionBreaks)
{
    MqttConnection::Settings settings = Settings(QStringLiteral("station"));
    settings.will = {QStringLiteral("t/station/state"), "offline", 1, true};
    std::unique_ptr<MqttConnection> pStation = Connect(settings);
    ASSERT_GT(pStation->Publish(QStringLiteral("t/station/state"), "online", 1, true), 0);
    std::unique_ptr<MqttConnection> pWatcher = Connect(Settings(QStringLiteral("watcher")));
    QSignalSpy received(pWatcher.get(), &MqttConnection::MessageReceived);
    ASSERT_TRUE(pWatcher->Subscribe(QStringLiteral("t/station/state"), 1));
    ASSERT_TRUE(WaitForCount(received, 1));
    EXPECT_EQ(received.at(0).at(1).toByteArray(), QByteArray("online"));

    QSignalSpy lost(pStation.get(), &MqttConnection::Disconnected);
    std::unique_ptr<MqttConnection> pTakeover = Connect(settings);
    ASSERT_TRUE(WaitForCount(lost, 1));
    pStation->Close();
    ASSERT_TRUE(WaitForCount(received, 2));
    EXPECT_EQ(received.at(1).at(1).toByteArray(), QByteArray("offline"));

    // A clean end publishes no Will: the next message is the watcher's own, sent afterwards.
    pTakeover.reset();
    pWatcher->Publish(QStringLiteral("t/station/state"), "marker", 1, false);
    ASSERT_TRUE(WaitForCount(received, 3));
    EXPECT_EQ(received.at(2).at(1).toByteArray(), QByteArray("marker"));
}

} // namespace

namespace
{

TEST_F(MqttConnectionTest, UniqueClientIdsDifferWithinAndBetweenProcesses)
{
    const QString first = MqttConnection::UniqueClientId(QStringLiteral("North"), QStringLiteral("station"));
    const QString second = MqttConnection::UniqueClientId(QStringLiteral("North"), QStringLiteral("station"));
    EXPECT_EQ(first, QStringLiteral("North.station.%1").arg(QCoreApplication::applicationPid()));
    EXPECT_EQ(second, first + QStringLiteral("-2"));
    EXPECT_NE(MqttConnection::UniqueClientId(QStringLiteral("North"), QStringLiteral("zod-sender")), first);
}

TEST_F(MqttConnectionTest, OversizedMessagesAreRefusedOnArrivalAndCounted)
{
    MqttConnection::Settings settings = Settings(QStringLiteral("small"));
    settings.nMaxIncomingBytes = 100;
    std::unique_ptr<MqttConnection> pSmall = Connect(settings);
    QSignalSpy received(pSmall.get(), &MqttConnection::MessageReceived);
    QSignalSpy refused(pSmall.get(), &MqttConnection::MessageRefused);
    ASSERT_TRUE(pSmall->Subscribe(QStringLiteral("t/#"), 1));
    std::unique_ptr<MqttConnection> pPublisher = Connect(Settings(QStringLiteral("big")));
    // The subscription stands once a retained message comes back.
    pPublisher->Publish(QStringLiteral("t/ready"), "1", 1, true);
    ASSERT_TRUE(WaitForCount(received, 1));
    pPublisher->Publish(QStringLiteral("t/big"), QByteArray(101, 'x'), 1, false);
    pPublisher->Publish(QStringLiteral("t/fits"), QByteArray(100, 'x'), 1, false);
    ASSERT_TRUE(WaitForCount(received, 2));
    EXPECT_EQ(received.at(1).at(0).toString(), QStringLiteral("t/fits"));
    ASSERT_EQ(refused.count(), 1);
    EXPECT_EQ(refused.at(0).at(0).toString(), QStringLiteral("t/big"));
    EXPECT_EQ(refused.at(0).at(1).toInt(), 101);
    EXPECT_EQ(pSmall->GetRefusedIncoming(), 1);
}

// What was published for a persistent session while it was away arrives when it comes
// back, even across a restart of a broker that keeps its sessions.
TEST_F(MqttConnectionTest, APersistentSessionGetsWhatCameWhileItAndTheBrokerWereAway)
{
    m_broker.Stop();
    m_broker.KeepSessions();
    ASSERT_TRUE(m_broker.Start()) << m_broker.GetErrorText().toStdString();
    MqttConnection::Settings consumer = Settings(QStringLiteral("consumer"));
    consumer.bCleanSession = false;
    std::unique_ptr<MqttConnection> pConsumer = Connect(consumer);
    ASSERT_TRUE(pConsumer->Subscribe(QStringLiteral("t/#"), 1));
    std::unique_ptr<MqttConnection> pPublisher = Connect(Settings(QStringLiteral("publisher")));
    QSignalSpy received(pConsumer.get(), &MqttConnection::MessageReceived);
    QSignalSpy acknowledged(pPublisher.get(), &MqttConnection::PublishAcknowledged);
    pPublisher->Publish(QStringLiteral("t/1"), "1", 1, false);
    ASSERT_TRUE(WaitForCount(received, 1));
    pConsumer->Close();

    pPublisher->Publish(QStringLiteral("t/2"), "2", 1, false);
    pPublisher->Publish(QStringLiteral("t/3"), "3", 1, false);
    ASSERT_TRUE(WaitForCount(acknowledged, 3));
    pPublisher->Close();
    const QString before = m_broker.GetLog();
    ASSERT_TRUE(m_broker.Restart()) << m_broker.GetErrorText().toStdString();

    MqttConnection back;
    QSignalSpy backReceived(&back, &MqttConnection::MessageReceived);
    ASSERT_TRUE(back.Open(consumer));
    ASSERT_TRUE(WaitForCount(backReceived, 2)) << before.toStdString() << m_broker.GetLog().toStdString();
    EXPECT_EQ(backReceived.at(0).at(0).toString(), QStringLiteral("t/2"));
    EXPECT_EQ(backReceived.at(1).at(0).toString(), QStringLiteral("t/3"));

    MqttConnection::Settings anonymous = consumer;
    anonymous.strClientId.clear();
    MqttConnection unnamed;
    EXPECT_FALSE(unnamed.Open(anonymous));
    EXPECT_EQ(unnamed.GetErrorText(), QStringLiteral("a persistent session needs a client id"));
}

} // namespace
