#include "network/brokerbearingoutput.h"
#include "contract/stationtopics.h"
#include "tests/common/mosquittobroker.h"
#include "tests/common/qstringprinter.h"

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

    MqttConnection::Settings Settings() const
    {
        MqttConnection::Settings settings;
        settings.nPort = m_broker.GetPort();
        return settings;
    }

    std::unique_ptr<BrokerBearingOutput> StartOutput()
    {
        auto pOutput = std::make_unique<BrokerBearingOutput>();
        pOutput->SetReconnectDelays(20, 100);
        EXPECT_TRUE(pOutput->Start(Settings(), m_status));
        EXPECT_TRUE(pOutput->WaitForConnection(WAIT_MS)) << m_broker.GetLog().toStdString();
        return pOutput;
    }

    /// A connected subscriber of every station topic; a persistent session gets what came while it was away.
    std::unique_ptr<MqttConnection> Subscriber(const QString& clientId, bool bPersistent = false)
    {
        auto pSubscriber = std::make_unique<MqttConnection>();
        MqttConnection::Settings settings = Settings();
        settings.strClientId = clientId;
        settings.bCleanSession = !bPersistent;
        EXPECT_TRUE(pSubscriber->Open(settings));
        EXPECT_TRUE(pSubscriber->Subscribe(QStringLiteral("kvt/stations/#"), 1));
        EXPECT_TRUE(QTest::qWaitFor([&] { return pSubscriber->IsConnected(); }, WAIT_MS));
        return pSubscriber;
    }

    static kvt::BearingRecord MakeBearing(qint64 nSeq)
    {
        kvt::BearingRecord bearing;
        bearing.nSeq = nSeq;
        bearing.nTimeMs = 1796630401250;  // 2026-12-07T08:00:01.250Z
        bearing.fLatitude = 54.5;
        bearing.fLongitude = 10.25;
        bearing.fHeading = 30.0;
        bearing.fBearing = 143.2;
        bearing.fSigma = 1.5;
        bearing.fQuality = 87;
        bearing.fFrequency = 145500000;
        bearing.fBandwidth = 12500;
        bearing.fLevel = -62.5;
        return bearing;
    }

    static int Count(const QSignalSpy& spy, const QString& topic)
    {
        int n = 0;
        for (const QList<QVariant>& arguments : spy)
            n += arguments.at(0).toString() == topic ? 1 : 0;
        return n;
    }

    static QJsonObject LastPayload(const QSignalSpy& spy, const QString& topic)
    {
        for (int i = spy.count() - 1; i >= 0; --i)
        {
            if (spy.at(i).at(0).toString() == topic)
                return QJsonDocument::fromJson(spy.at(i).at(1).toByteArray()).object();
        }
        return {};
    }

    MosquittoBroker m_broker;
    StationStatus m_status;
};

TEST_F(BrokerBearingOutputTest, TheBearingMessageArrivesOnTheStationsTopicAndTheStatusIsRetained)
{
    std::unique_ptr<MqttConnection> pSubscriber = Subscriber(QStringLiteral("picture"));
    QSignalSpy received(pSubscriber.get(), &MqttConnection::MessageReceived);
    std::unique_ptr<BrokerBearingOutput> pOutput = StartOutput();
    kvt::BearingRecord bearing = MakeBearing(42);
    bearing.strStation = QStringLiteral("someone else");
    pOutput->Publish(bearing);

    const QString topic = QStringLiteral("kvt/stations/Ops%2FNorth/bearings");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Count(received, topic) == 1; }, WAIT_MS));
    for (const QList<QVariant>& arguments : received)
    {
        if (arguments.at(0).toString() != topic)
            continue;
        EXPECT_EQ(arguments.at(1).toByteArray(),
                  QByteArray(R"({"bandwidth":12500,"bearing":143.2,"frequency":145500000,"heading":30,)"
                             R"("latitude":54.5,"level":-62.5,"longitude":10.25,"quality":87,"seq":42,)"
                             R"("sigma":1.5,"station":"Ops/North","time":"2026-12-07T08:00:01.250Z","v":1})"));
        EXPECT_FALSE(arguments.at(2).toBool());
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return pOutput->GetAccount().GetDelivered() == 1; }, WAIT_MS));
    EXPECT_TRUE(pOutput->GetAccount().IsComplete());

    // A consumer that comes later finds the station's status waiting for it.
    std::unique_ptr<MqttConnection> pLate = Subscriber(QStringLiteral("late"));
    QSignalSpy late(pLate.get(), &MqttConnection::MessageReceived);
    ASSERT_TRUE(QTest::qWaitFor([&] { return late.count() >= 1; }, WAIT_MS));
    EXPECT_EQ(late.at(0).at(0).toString(), StationTopics::Status(STATION));
    EXPECT_TRUE(late.at(0).at(2).toBool());
    EXPECT_EQ(late.at(0).at(1).toByteArray(),
              QByteArray(R"({"frequencyMax":3000000000,"frequencyMin":20000000,"heading":30,"latitude":54.5,)"
                         R"("longitude":10.25,"online":true,"station":"Ops/North","v":1})"));

    // A clean end leaves the station retained as offline.
    pOutput->Stop(WAIT_MS);
    std::unique_ptr<MqttConnection> pAfter = Subscriber(QStringLiteral("after"));
    QSignalSpy after(pAfter.get(), &MqttConnection::MessageReceived);
    ASSERT_TRUE(QTest::qWaitFor([&] { return after.count() >= 1; }, WAIT_MS));
    EXPECT_FALSE(LastPayload(after, StationTopics::Status(STATION))["online"].toBool(true));
    EXPECT_TRUE(after.at(0).at(2).toBool());
}

// Another session with the station's client id makes the broker drop the output's connection
// without a DISCONNECT: the broker sees a broken session and publishes the Will. While the
// output is away its queue fills; beyond the limit bearings are lost, the rest arrives later.
TEST_F(BrokerBearingOutputTest, ABrokenConnectionShowsOfflineQueuesAndDeliversWhatTheQueueHeld)
{
    std::unique_ptr<MqttConnection> pSubscriber = Subscriber(QStringLiteral("picture"));
    QSignalSpy received(pSubscriber.get(), &MqttConnection::MessageReceived);
    std::unique_ptr<BrokerBearingOutput> pOutput = StartOutput();
    pOutput->SetQueueLimit(5);
    pOutput->Publish(MakeBearing(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return pOutput->GetAccount().GetDelivered() == 1; }, WAIT_MS));

    // Published the moment the output learns of the break, before it can reconnect.
    bool bWasConnected = true;
    QObject::connect(pOutput.get(), &AccountedOutput::FailureReported, pOutput.get(), [&] {
        if (!bWasConnected)
            return;
        bWasConnected = pOutput->IsConnected();
        for (int i = 2; i <= 9; ++i)
            pOutput->Publish(MakeBearing(i));
    });
    MqttConnection takeover;
    MqttConnection::Settings settings = Settings();
    settings.strClientId = pOutput->GetClientId();
    ASSERT_TRUE(takeover.Open(settings));
    ASSERT_TRUE(QTest::qWaitFor([&] { return takeover.IsConnected() && !bWasConnected; }, WAIT_MS));
    takeover.Close();
    EXPECT_EQ(pOutput->GetAccount().GetLost(), 3u);
    EXPECT_TRUE(pOutput->GetAccount().GetLastFailure().startsWith(QStringLiteral("queue of 5 messages full")))
        << pOutput->GetAccount().GetLastFailure().toStdString();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !LastPayload(received, StationTopics::Status(STATION))["online"].toBool(true); }, WAIT_MS))
        << "no Will seen";

    ASSERT_TRUE(QTest::qWaitFor([&] { return pOutput->GetAccount().GetDelivered() == 6; }, WAIT_MS));
    EXPECT_EQ(pOutput->GetQueued(), 0);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return LastPayload(received, StationTopics::Status(STATION))["online"].toBool(); }, WAIT_MS));
    pOutput->Stop(WAIT_MS);
    const DeliveryAccount& account = pOutput->GetAccount();
    EXPECT_EQ(account.GetOffered(), 9u);
    EXPECT_EQ(account.GetOffered(), account.GetDelivered() + account.GetLost());
    const QString topic = StationTopics::Bearings(STATION);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Count(received, topic) >= 6; }, WAIT_MS));
    EXPECT_EQ(Count(received, topic), static_cast<int>(account.GetDelivered()));
    // The queue kept the order: the first five after the break, the rest lost.
    EXPECT_EQ(LastPayload(received, topic)["seq"].toInt(), 6);
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
        pOutput->Publish(MakeBearing(i));
    EXPECT_EQ(pOutput->GetAccount().GetLost(), 2u);

    ASSERT_TRUE(m_broker.Restart()) << m_broker.GetErrorText().toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return pOutput->GetAccount().GetDelivered() == 4; }, WAIT_MS))
        << pOutput->GetAccount().GetLastFailure().toStdString();

    // Gone for good: the drain gives up after its time and counts the rest as lost.
    m_broker.Stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !pOutput->IsConnected(); }, WAIT_MS));
    pOutput->Publish(MakeBearing(7));
    pOutput->Stop(50);
    const DeliveryAccount& account = pOutput->GetAccount();
    EXPECT_EQ(account.GetDelivered(), 4u);
    EXPECT_EQ(account.GetLost(), 3u);
    EXPECT_EQ(account.GetPending(), 0u);
    EXPECT_TRUE(account.GetLastFailure().contains(QStringLiteral("not acknowledged")))
        << account.GetLastFailure().toStdString();
    pOutput->Publish(MakeBearing(8));
    EXPECT_EQ(account.GetOffered(), 7u) << "nothing is taken after the end";
}

// The broker stops and the station publishes before it has noticed: the writes fail under
// the publish, and the library keeps those messages and sends them after the reconnect.
// Each arrives once, and the account counts it delivered, not lost.
TEST_F(BrokerBearingOutputTest, PublishesIntoAConnectionThatJustBrokeArriveOnceAndCountAsDelivered)
{
    m_broker.KeepSessions();
    ASSERT_TRUE(m_broker.Restart()) << m_broker.GetErrorText().toStdString();
    std::unique_ptr<MqttConnection> pSubscriber = Subscriber(QStringLiteral("picture"), true);
    QSignalSpy received(pSubscriber.get(), &MqttConnection::MessageReceived);
    std::unique_ptr<BrokerBearingOutput> pOutput = StartOutput();
    pOutput->Publish(MakeBearing(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return pOutput->GetAccount().GetDelivered() == 1; }, WAIT_MS));

    // No event is handled in between: the output still takes itself for connected.
    m_broker.Stop();
    const int nBearings = 20;
    for (int i = 2; i <= nBearings; ++i)
        pOutput->Publish(MakeBearing(i));
    ASSERT_TRUE(m_broker.Start()) << m_broker.GetErrorText().toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return pOutput->GetAccount().GetPending() == 0; }, WAIT_MS));
    EXPECT_EQ(pOutput->GetAccount().GetDelivered(), static_cast<quint64>(nBearings))
        << pOutput->GetAccount().GetLastFailure().toStdString();
    EXPECT_EQ(pOutput->GetAccount().GetLost(), 0u);

    // The broker passes one client's messages on in order: after this one nothing older comes.
    pOutput->Publish(MakeBearing(nBearings + 1));
    const QString topic = StationTopics::Bearings(STATION);
    ASSERT_TRUE(QTest::qWaitFor([&] { return LastPayload(received, topic)["seq"].toInt() == nBearings + 1; }, WAIT_MS));
    std::map<int, int> arrivals;
    for (const QList<QVariant>& arguments : received)
        if (arguments.at(0).toString() == topic)
            ++arrivals[QJsonDocument::fromJson(arguments.at(1).toByteArray()).object()["seq"].toInt()];
    EXPECT_EQ(static_cast<int>(arrivals.size()), nBearings + 1);
    // The first may come twice: the stopped broker need not have had the subscriber's acknowledgement.
    for (int i = 2; i <= nBearings; ++i)
        EXPECT_EQ(arrivals[i], 1) << "seq " << i;
}

TEST_F(BrokerBearingOutputTest, UnusableSettingsAreAFailureBeforeAnything)
{
    BrokerBearingOutput output;
    MqttConnection::Settings settings = Settings();
    settings.nPort = 0;
    EXPECT_FALSE(output.Start(settings, m_status));
    EXPECT_FALSE(output.GetAccount().GetLastFailure().isEmpty());
    EXPECT_FALSE(output.HasBeenOpen());
}

} // namespace
