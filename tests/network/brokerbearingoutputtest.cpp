#include "network/brokerbearingoutput.h"
#include "contract/stationtopics.h"
#include "tests/common/mosquittobroker.h"
#include "tests/common/mqttpeer.h"
#include "tests/common/qstringprinter.h"
#include "tests/common/samplebearing.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace
{

const int WAIT_MS = 10000;
const QString STATION = QStringLiteral("Ops/North");

class BrokerBearingOutputTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_broker.Start()) << m_broker.GetErrorText().toStdString();
        m_status = {STATION, 54.5, 10.25, 30.0, 20e6, 3e9};
    }

    std::unique_ptr<BrokerBearingOutput> StartOutput()
    {
        auto pOutput = std::make_unique<BrokerBearingOutput>();
        pOutput->SetReconnectDelays(20, 100);
        EXPECT_TRUE(pOutput->Start(MqttPeer::Settings(m_broker.GetPort(), QString()), m_status));
        EXPECT_TRUE(pOutput->WaitForConnection(WAIT_MS)) << m_broker.GetLog().toStdString();
        return pOutput;
    }

    /// The latest payload of `topic` that `peer` got, as JSON.
    static QJsonObject Latest(const MqttPeer& peer, const QString& topic)
    {
        return QJsonDocument::fromJson(peer.Latest(topic)).object();
    }

    MosquittoBroker m_broker;
    StationStatus m_status;
};

TEST_F(BrokerBearingOutputTest, TheBearingMessageArrivesOnTheStationsTopicAndTheStatusIsRetained)
{
    MqttPeer picture(m_broker.GetPort(), "picture", "kvt/stations/#");
    std::unique_ptr<BrokerBearingOutput> pOutput = StartOutput();
    kvt::BearingRecord bearing = SampleBearing(42);
    bearing.strStation = QStringLiteral("someone else");
    pOutput->Publish(bearing);

    const QString topic = QStringLiteral("kvt/stations/Ops%2FNorth/bearings");
    ASSERT_TRUE(picture.WaitFor(topic));
    EXPECT_EQ(picture.History(topic),
              QByteArrayList{R"({"bandwidth":25000,"bearing":80.7,"frequency":145500000,"heading":90,)"
                             R"("latitude":54.3233,"level":-62.5,"longitude":10.1228,"method":"WAT","quality":87,)"
                             R"("seq":42,"sigma":2,"station":"Ops/North","time":"2026-12-07T08:00:01.250Z","v":1})"});
    EXPECT_FALSE(picture.CameRetained(topic));
    ASSERT_TRUE(QTest::qWaitFor([&] { return pOutput->GetAccount().GetDelivered() == 1; }, WAIT_MS));
    EXPECT_TRUE(pOutput->GetAccount().IsComplete());

    // A consumer that comes later finds the station's status waiting for it.
    const QString status = StationTopics::Status(STATION);
    MqttPeer late(m_broker.GetPort(), "late", "kvt/stations/#");
    ASSERT_TRUE(late.WaitFor(status));
    EXPECT_TRUE(late.CameRetained(status));
    EXPECT_EQ(late.Latest(status),
              QByteArray(R"({"frequencyMax":3000000000,"frequencyMin":20000000,"heading":30,"latitude":54.5,)"
                         R"("longitude":10.25,"online":true,"station":"Ops/North","v":1})"));

    // A clean end leaves the station retained as offline.
    pOutput->Stop(WAIT_MS);
    MqttPeer after(m_broker.GetPort(), "after", "kvt/stations/#");
    ASSERT_TRUE(after.WaitFor(status));
    EXPECT_FALSE(Latest(after, status)["online"].toBool(true));
    EXPECT_TRUE(after.CameRetained(status));
}

// Another session with the station's client id makes the broker drop the output's connection
// without a DISCONNECT: the broker sees a broken session and publishes the Will. While the
// output is away its queue fills; beyond the limit bearings are lost, the rest arrives later.
TEST_F(BrokerBearingOutputTest, ABrokenConnectionShowsOfflineQueuesAndDeliversWhatTheQueueHeld)
{
    MqttPeer picture(m_broker.GetPort(), "picture", "kvt/stations/#");
    std::unique_ptr<BrokerBearingOutput> pOutput = StartOutput();
    pOutput->SetQueueLimit(5);
    pOutput->Publish(SampleBearing(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return pOutput->GetAccount().GetDelivered() == 1; }, WAIT_MS));

    // Published the moment the output learns of the break, before it can reconnect.
    bool bWasConnected = true;
    QObject::connect(pOutput.get(), &AccountedOutput::FailureReported, pOutput.get(), [&] {
        if (!bWasConnected)
            return;
        bWasConnected = pOutput->IsConnected();
        for (int i = 2; i <= 9; ++i)
            pOutput->Publish(SampleBearing(i));
    });
    MqttConnection takeover;
    ASSERT_TRUE(takeover.Open(MqttPeer::Settings(m_broker.GetPort(), pOutput->GetClientId())));
    ASSERT_TRUE(QTest::qWaitFor([&] { return takeover.IsConnected() && !bWasConnected; }, WAIT_MS));
    takeover.Close();
    EXPECT_EQ(pOutput->GetAccount().GetLost(), 3u);
    EXPECT_TRUE(pOutput->GetAccount().GetLastFailure().startsWith(QStringLiteral("queue of 5 messages full")))
        << pOutput->GetAccount().GetLastFailure().toStdString();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !Latest(picture, StationTopics::Status(STATION))["online"].toBool(true); }, WAIT_MS))
        << "no Will seen";

    ASSERT_TRUE(QTest::qWaitFor([&] { return pOutput->GetAccount().GetDelivered() == 6; }, WAIT_MS));
    EXPECT_EQ(pOutput->GetQueued(), 0);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return Latest(picture, StationTopics::Status(STATION))["online"].toBool(); }, WAIT_MS));
    pOutput->Stop(WAIT_MS);
    const DeliveryAccount& account = pOutput->GetAccount();
    EXPECT_EQ(account.GetOffered(), 9u);
    EXPECT_EQ(account.GetOffered(), account.GetDelivered() + account.GetLost());
    const QString topic = StationTopics::Bearings(STATION);
    ASSERT_TRUE(picture.WaitForCount(topic, 6));
    EXPECT_EQ(picture.History(topic).size(), static_cast<int>(account.GetDelivered()));
    // The queue kept the order: the first five after the break, the rest lost.
    EXPECT_EQ(Latest(picture, topic)["seq"].toInt(), 6);
}

// The broker goes away and comes back on the same port: what waited is acknowledged by the
// new broker; what never could be is counted lost at the end, and the account adds up.
TEST_F(BrokerBearingOutputTest, ABrokerRestartIsBridgedAndTheEndSettlesTheAccount)
{
    std::unique_ptr<BrokerBearingOutput> pOutput = StartOutput();
    pOutput->SetQueueLimit(4);
    m_broker.Stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !pOutput->IsConnected(); }, WAIT_MS));
    for (int i = 1; i <= 6; ++i)
        pOutput->Publish(SampleBearing(i));
    EXPECT_EQ(pOutput->GetAccount().GetLost(), 2u);

    ASSERT_TRUE(m_broker.Restart()) << m_broker.GetErrorText().toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return pOutput->GetAccount().GetDelivered() == 4; }, WAIT_MS))
        << pOutput->GetAccount().GetLastFailure().toStdString();

    // Gone for good: the drain gives up after its time and counts the rest as lost.
    m_broker.Stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !pOutput->IsConnected(); }, WAIT_MS));
    pOutput->Publish(SampleBearing(7));
    pOutput->Stop(50);
    const DeliveryAccount& account = pOutput->GetAccount();
    EXPECT_EQ(account.GetDelivered(), 4u);
    EXPECT_EQ(account.GetLost(), 3u);
    EXPECT_EQ(account.GetPending(), 0u);
    EXPECT_TRUE(account.GetLastFailure().contains(QStringLiteral("not acknowledged")))
        << account.GetLastFailure().toStdString();
    pOutput->Publish(SampleBearing(8));
    EXPECT_EQ(account.GetOffered(), 7u) << "nothing is taken after the end";
}

// The broker stops and the station publishes before it has noticed: the writes fail under
// the publish, and the library keeps those messages and sends them after the reconnect.
// Each arrives once, and the account counts it delivered, not lost.
TEST_F(BrokerBearingOutputTest, PublishesIntoAConnectionThatJustBrokeArriveOnceAndCountAsDelivered)
{
    m_broker.KeepSessions();
    ASSERT_TRUE(m_broker.Restart()) << m_broker.GetErrorText().toStdString();
    // A persistent session, so that it gets what the station sends before it is back itself.
    MqttConnection picture;
    MqttConnection::Settings settings = MqttPeer::Settings(m_broker.GetPort(), QStringLiteral("picture"));
    settings.bCleanSession = false;
    std::map<int, int> arrivals;
    QObject::connect(&picture, &MqttConnection::MessageReceived, [&](const QString& topic, const QByteArray& payload) {
        if (topic == StationTopics::Bearings(STATION))
            ++arrivals[QJsonDocument::fromJson(payload).object()["seq"].toInt()];
    });
    ASSERT_TRUE(picture.Open(settings));
    ASSERT_TRUE(picture.Subscribe(StationTopics::Bearings(STATION), 1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return picture.IsConnected(); }, WAIT_MS));
    std::unique_ptr<BrokerBearingOutput> pOutput = StartOutput();
    pOutput->Publish(SampleBearing(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return pOutput->GetAccount().GetDelivered() == 1; }, WAIT_MS));

    // No event is handled in between: the output still takes itself for connected.
    m_broker.Stop();
    const int nBearings = 20;
    for (int i = 2; i <= nBearings; ++i)
        pOutput->Publish(SampleBearing(i));
    ASSERT_TRUE(m_broker.Start()) << m_broker.GetErrorText().toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return pOutput->GetAccount().GetPending() == 0; }, WAIT_MS));
    EXPECT_EQ(pOutput->GetAccount().GetDelivered(), static_cast<quint64>(nBearings))
        << pOutput->GetAccount().GetLastFailure().toStdString();
    EXPECT_EQ(pOutput->GetAccount().GetLost(), 0u);

    // The broker passes one client's messages on in order: after this one nothing older comes.
    pOutput->Publish(SampleBearing(nBearings + 1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return arrivals.count(nBearings + 1) > 0; }, WAIT_MS));
    EXPECT_EQ(static_cast<int>(arrivals.size()), nBearings + 1);
    // The first may come twice: the stopped broker need not have had the subscriber's acknowledgement.
    for (int i = 2; i <= nBearings; ++i)
        EXPECT_EQ(arrivals[i], 1) << "seq " << i;
}

TEST_F(BrokerBearingOutputTest, UnusableSettingsAreAFailureBeforeAnything)
{
    BrokerBearingOutput output;
    MqttConnection::Settings settings = MqttPeer::Settings(0, QString());
    EXPECT_FALSE(output.Start(settings, m_status));
    EXPECT_FALSE(output.GetAccount().GetLastFailure().isEmpty());
    EXPECT_FALSE(output.HasBeenOpen());
}

} // namespace
