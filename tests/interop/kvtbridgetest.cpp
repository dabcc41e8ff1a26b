#include "fusion/bearingjson.h"
#include "network/mqttconnection.h"
#include "tests/common/mosquittobroker.h"
#include "tests/common/qstringprinter.h"
#include "tests/interop/interoptesthelpers.h"
#include "tools/kvtbridge/dfreading.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

const int WAIT_MS = 20000;

/// kvtbridge between a receiver's web server (tests/interop/dfreceiver.py on
/// a free loopback port, serving a file the test rewrites) and a real broker.
class KvtBridgeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(m_broker.Start()) << m_broker.GetErrorText().toStdString();
        StartReceiver();
        MqttConnection::Settings settings;
        settings.nPort = m_broker.GetPort();
        settings.strClientId =
            MqttConnection::UniqueClientId(QStringLiteral("kvtbridgetest"), QStringLiteral("subscriber"));
        settings.strUserName = m_strUser;
        settings.strPassword = MosquittoBroker::PasswordOf(m_strUser);
        QObject::connect(&m_subscriber, &MqttConnection::MessageReceived,
                         [this](const QString& topic, const QByteArray& payload, bool) {
                             if (topic.endsWith(QLatin1String("/bearings")))
                                 m_lstBearings.append(payload);
                             else
                                 m_lstStatus.append(payload);
                         });
        ASSERT_TRUE(m_subscriber.Open(settings));
        ASSERT_TRUE(m_subscriber.Subscribe(QStringLiteral("kvt/stations/#"), 1));
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_subscriber.IsConnected(); }, WAIT_MS));
        // Its own message back: the subscription stands before any bridge publishes.
        const QString probe = m_strUser.isEmpty() ? QStringLiteral("probe") : m_strUser;
        ASSERT_GT(m_subscriber.Publish(QStringLiteral("kvt/stations/%1/status").arg(probe), "{}", 1, false), 0);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !m_lstStatus.isEmpty(); }, WAIT_MS));
        m_lstStatus.clear();
    }

    void TearDown() override
    {
        for (QProcess* pProcess : {&m_receiver, &m_bridge}) {
            if (pProcess->state() != QProcess::NotRunning) {
                pProcess->kill();
                pProcess->waitForFinished(WAIT_MS);
            }
        }
    }

    void StartReceiver()
    {
        m_receiver.start(QStringLiteral("/usr/bin/python3"),
                         {QStringLiteral(KVT_SOURCE_DIR "/tests/interop/dfreceiver.py"), m_dir.path()});
        ASSERT_TRUE(m_receiver.waitForStarted(WAIT_MS));
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_receiver.canReadLine(); }, WAIT_MS));
        m_nReceiverPort = m_receiver.readLine().trimmed().toInt();
        ASSERT_GT(m_nReceiverPort, 0);
    }

    void StartBridge(const QStringList& extra)
    {
        m_bridge.start(QStringLiteral(KVTBRIDGE_PATH),
                       QStringList{"--receiver", QStringLiteral("http://127.0.0.1:%1/doa.xml").arg(m_nReceiverPort),
                                   "--station", m_strStation, "--mqtt",
                                   QStringLiteral("127.0.0.1:%1").arg(m_broker.GetPort()), "--interval", "50",
                                   "--timeout", "300", "--sigma", "2.5", "--json"}
                           + extra);
        ASSERT_TRUE(m_bridge.waitForStarted(WAIT_MS));
    }

    void Serve(const QByteArray& document)
    {
        QSaveFile file(m_dir.filePath(QStringLiteral("doa.xml")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(document);
        ASSERT_TRUE(file.commit());
    }

    void SetDelay(double seconds)
    {
        QSaveFile file(m_dir.filePath(QStringLiteral("delay")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::number(seconds));
        ASSERT_TRUE(file.commit());
    }

    static QByteArray Document(qint64 timeMs, double doa, double confidence = 80.0)
    {
        kvt::DfReading reading;
        reading.strStationId = QStringLiteral("KRAKEN-1");
        reading.nTimeMs = timeMs;
        reading.fFrequencyMHz = 145.5;
        reading.fLatitude = 52.61;
        reading.fLongitude = 13.25;
        reading.fHeading = 90.0;
        reading.fDoa = doa;
        reading.fPower = -40.0;
        reading.fConfidence = confidence;
        return reading.Format();
    }

    bool WaitForBearings(int count)
    {
        return QTest::qWaitFor([&] { return m_lstBearings.size() >= count; }, WAIT_MS);
    }

    bool WaitForStderr(const char* text)
    {
        return QTest::qWaitFor(
            [&] {
                m_errors += m_bridge.readAllStandardError();
                return m_errors.contains(text);
            },
            WAIT_MS);
    }

    /// Stops the bridge (SIGTERM) and returns its summary.
    QJsonObject Finish(int& rExitCode)
    {
        m_bridge.terminate();
        EXPECT_TRUE(m_bridge.waitForFinished(WAIT_MS));
        rExitCode = m_bridge.exitCode();
        return QJsonDocument::fromJson(m_bridge.readAllStandardOutput()).object();
    }

    /// The subscriber's login on a locked broker; empty: none.
    QString m_strUser;
    QString m_strStation = QStringLiteral("Rx/A");
    QTemporaryDir m_dir;
    MosquittoBroker m_broker;
    MqttConnection m_subscriber;
    QProcess m_receiver;
    QProcess m_bridge;
    int m_nReceiverPort = 0;
    QByteArrayList m_lstBearings;
    QByteArrayList m_lstStatus;
    QByteArray m_errors;
};

TEST_F(KvtBridgeTest, EachNewBearingIsPublishedOnceAsTheStationsBearingMessage)
{
    Serve(Document(1765094400000, 30.0));
    StartBridge({"--min-confidence", "50"});
    ASSERT_TRUE(WaitForBearings(1)) << m_bridge.readAllStandardError().constData();
    // Polled many times, the same TIME is still one bearing.
    QTest::qWait(300);
    Serve(Document(1765094400000, 31.0));
    QTest::qWait(300);
    Serve(Document(1765094401000, 45.0, 40.0));
    QTest::qWait(300);
    Serve(Document(1765094402000, 300.0));
    ASSERT_TRUE(WaitForBearings(2));
    int exitCode = -1;
    const QJsonObject summary = Finish(exitCode);
    ASSERT_EQ(m_lstBearings.size(), 2);

    Bearing first, second;
    QString error;
    ASSERT_TRUE(BearingJson::Parse(m_lstBearings[0], first, error)) << error.toStdString();
    ASSERT_TRUE(BearingJson::Parse(m_lstBearings[1], second, error)) << error.toStdString();
    EXPECT_EQ(first.strStation, QStringLiteral("Rx/A"));
    EXPECT_EQ(first.nSeq, 1);
    EXPECT_EQ(second.nSeq, 2);
    EXPECT_DOUBLE_EQ(first.fBearing, 120.0);
    EXPECT_DOUBLE_EQ(second.fBearing, 30.0);
    EXPECT_DOUBLE_EQ(first.fSigma, 2.5);
    EXPECT_DOUBLE_EQ(first.fFrequency, 145.5e6);
    EXPECT_EQ(first.nTimeMs, 1765094400000);

    // The status: online while bridged, offline after a clean stop; the topic level is escaped.
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_lstStatus.size() >= 2; }, WAIT_MS));
    EXPECT_TRUE(QJsonDocument::fromJson(m_lstStatus.first()).object().value("online").toBool());
    EXPECT_FALSE(QJsonDocument::fromJson(m_lstStatus.last()).object().value("online").toBool());

    // Real messages of the bridge, checked by an independent validator.
    EXPECT_EQ(InteropTest::SchemaErrors(QStringLiteral("bearing"), m_lstBearings), QString());
    EXPECT_EQ(InteropTest::SchemaErrors(QStringLiteral("stationstatus"), m_lstStatus), QString());

    EXPECT_EQ(exitCode, 143);
    const QJsonObject bridge = summary.value("bridge").toObject();
    EXPECT_EQ(bridge.value("published").toInt(), 2);
    EXPECT_EQ(bridge.value("lowConfidence").toInt(), 1);
    EXPECT_GE(bridge.value("repeated").toInt(), 2);
    const QJsonObject broker = summary.value("broker").toObject();
    EXPECT_EQ(broker.value("offered").toInt(), 2);
    EXPECT_EQ(broker.value("delivered").toInt(), 2);
    EXPECT_EQ(broker.value("lost").toInt(), 0);
}

TEST_F(KvtBridgeTest, SilentSlowAndGarbledReceiversAreCountedAndSaid)
{
    Serve("<html><body>502 Bad Gateway</body></html>");
    StartBridge({});
    ASSERT_TRUE(WaitForStderr("document: the root element is html, not DATA")) << m_errors.constData();
    SetDelay(1.0);
    Serve(Document(1765094400000, 30.0));
    ASSERT_TRUE(WaitForStderr("no answer within 300 ms")) << m_errors.constData();
    SetDelay(0.0);
    ASSERT_TRUE(WaitForBearings(1)) << m_errors.constData();
    m_receiver.kill();
    ASSERT_TRUE(m_receiver.waitForFinished(WAIT_MS));
    ASSERT_TRUE(WaitForStderr("receiver: Connection refused")) << m_errors.constData();

    int exitCode = -1;
    const QJsonObject summary = Finish(exitCode);
    EXPECT_EQ(exitCode, 143);
    const QJsonObject polls = summary.value("polls").toObject();
    EXPECT_GE(polls.value("timeouts").toInt(), 1);
    EXPECT_GT(polls.value("failures").toInt(), polls.value("timeouts").toInt());
    EXPECT_GE(summary.value("bridge").toObject().value("garbage").toInt(), 1);
    EXPECT_EQ(summary.value("bridge").toObject().value("published").toInt(), 1);
    EXPECT_EQ(summary.value("broker").toObject().value("delivered").toInt(), 1);
}

TEST_F(KvtBridgeTest, ReadsTheDocumentFromAFileAndRefusesBadCommandLines)
{
    Serve(Document(1765094400000, 10.0));
    QProcess bridge;
    bridge.start(QStringLiteral(KVTBRIDGE_PATH),
                 {"--receiver", m_dir.filePath(QStringLiteral("doa.xml")), "--station", "Rx/A", "--mqtt",
                  QStringLiteral("127.0.0.1:%1").arg(m_broker.GetPort()), "--seconds", "1", "--doa", "anticlockwise"});
    ASSERT_TRUE(bridge.waitForFinished(WAIT_MS));
    EXPECT_EQ(bridge.exitCode(), 0) << bridge.readAllStandardError().constData();
    ASSERT_TRUE(WaitForBearings(1));
    Bearing bearing;
    QString error;
    ASSERT_TRUE(BearingJson::Parse(m_lstBearings[0], bearing, error)) << error.toStdString();
    EXPECT_DOUBLE_EQ(bearing.fBearing, 80.0);

    for (const QStringList& arguments : {QStringList{"--station", "A", "--mqtt", "127.0.0.1:1"},
                                         QStringList{"--receiver", "ftp://x/y", "--station", "A", "--mqtt", "h:1"},
                                         QStringList{"--receiver", "f", "--station", "A", "--mqtt", "h:1", "--doa", "up"},
                                         QStringList{"--receiver", "f", "--station", "A", "--mqtt", "h:1", "--sigma", "0"}}) {
        bridge.start(QStringLiteral(KVTBRIDGE_PATH), arguments);
        ASSERT_TRUE(bridge.waitForFinished(WAIT_MS));
        EXPECT_EQ(bridge.exitCode(), 2) << arguments.join(' ').toStdString();
    }
}

/// The bridge as the station RxA of a locked broker (scripts/network.acl): its login is the station's.
class KvtBridgeLoginTest : public KvtBridgeTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_broker.LockDown({"RxA", "console"})) << m_broker.GetErrorText().toStdString();
        m_strUser = QStringLiteral("console");
        m_strStation = QStringLiteral("RxA");
        KvtBridgeTest::SetUp();
    }
};

TEST_F(KvtBridgeLoginTest, AWrongPasswordIsOneMessageAndExitCode4)
{
    Serve(Document(1765094400000, 30.0));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("KVT_MQTT_PASSWORD", "guess");
    m_bridge.setProcessEnvironment(environment);
    StartBridge({"--mqtt-user", "RxA"});
    ASSERT_TRUE(m_bridge.waitForFinished(WAIT_MS)) << m_broker.GetLog().toStdString();
    EXPECT_EQ(m_bridge.exitCode(), 4);
    const QString errors = QString::fromUtf8(m_bridge.readAllStandardError());
    EXPECT_EQ(errors.count("the broker refused the user name or password"), 1) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QStringLiteral("kvtbridge: giving up after 3 refused logins at 127.0.0.1:%1")
                                    .arg(m_broker.GetPort())))
        << errors.toStdString();
    const QJsonObject summary = QJsonDocument::fromJson(m_bridge.readAllStandardOutput()).object();
    const QJsonObject broker = summary.value("broker").toObject();
    EXPECT_FALSE(broker.value("connected").toBool());
    EXPECT_EQ(broker.value("offered").toInt(), broker.value("lost").toInt());
    EXPECT_TRUE(m_lstBearings.isEmpty());
}

TEST_F(KvtBridgeLoginTest, TheStationsPasswordFromAFileOrTheEnvironmentLetsTheBearingsIn)
{
    QFile password(m_dir.filePath(QStringLiteral("RxA.password")));
    ASSERT_TRUE(password.open(QIODevice::WriteOnly));
    ASSERT_GT(password.write(MosquittoBroker::PasswordOf("RxA").toUtf8() + "\n"), 0);
    password.close();
    Serve(Document(1765094400000, 30.0));
    StartBridge({"--mqtt-user", "RxA", "--mqtt-password-file", password.fileName()});
    ASSERT_TRUE(WaitForBearings(1)) << m_bridge.readAllStandardError().constData()
                                    << m_broker.GetLog().toStdString();
    int exitCode = -1;
    EXPECT_EQ(Finish(exitCode).value("broker").toObject().value("delivered").toInt(), 1);
    EXPECT_EQ(exitCode, 143);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("KVT_MQTT_PASSWORD", MosquittoBroker::PasswordOf("RxA"));
    m_bridge.setProcessEnvironment(environment);
    Serve(Document(1765094401000, 40.0));
    StartBridge({"--mqtt-user", "RxA"});
    ASSERT_TRUE(WaitForBearings(2)) << m_bridge.readAllStandardError().constData();
    Bearing bearing;
    QString error;
    ASSERT_TRUE(BearingJson::Parse(m_lstBearings[1], bearing, error)) << error.toStdString();
    EXPECT_EQ(bearing.strStation, QStringLiteral("RxA"));
}

}
