#include "fusion/bearingjson.h"
#include "contract/stationtopics.h"
#include "tests/common/mosquittobroker.h"
#include "tests/common/mqttpeer.h"
#include "tests/common/programrun.h"
#include "tests/common/qstringprinter.h"
#include "tests/interop/interoptesthelpers.h"
#include "tools/kvtbridge/dfreading.h"
#include "tools/kvtbridge/receiverpoller.h"

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
        const QString probe = m_strUser.isEmpty() ? QStringLiteral("probe") : m_strUser;
        m_pStations =
            std::make_unique<MqttPeer>(m_broker.GetPort(), "kvtbridgetest-subscriber", "kvt/stations/#", m_strUser);
        // Its own message back: the subscription stands before any bridge publishes.
        ASSERT_TRUE(m_pStations->Send(StationTopics::Status(probe), "{}", false));
        ASSERT_TRUE(m_pStations->WaitFor(StationTopics::Status(probe)));
    }

    QByteArrayList Bearings() const { return m_pStations->History(StationTopics::Bearings(m_strStation)); }
    QByteArrayList Status() const { return m_pStations->History(StationTopics::Status(m_strStation)); }

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

    /// Replaces a file the receiver serves from at once: it never serves half of one.
    void Replace(const QString& name, const QByteArray& bytes)
    {
        QSaveFile file(m_dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        ASSERT_TRUE(file.commit());
    }

    void Serve(const QByteArray& document) { Replace(QStringLiteral("doa.xml"), document); }
    void SetDelay(double seconds) { Replace(QStringLiteral("delay"), QByteArray::number(seconds)); }

    bool WaitForBearings(int count) { return m_pStations->WaitForCount(StationTopics::Bearings(m_strStation), count); }

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
    std::unique_ptr<MqttPeer> m_pStations;
    QProcess m_receiver;
    QProcess m_bridge;
    int m_nReceiverPort = 0;
    QByteArray m_errors;
};

TEST_F(KvtBridgeTest, EachNewBearingIsPublishedOnceAsTheStationsBearingMessage)
{
    Serve(InteropTest::Reading(1765094400000, 30.0).Format());
    StartBridge({"--min-confidence", "50"});
    ASSERT_TRUE(WaitForBearings(1)) << m_bridge.readAllStandardError().constData();
    // Polled many times, the same TIME is still one bearing.
    QTest::qWait(300);
    Serve(InteropTest::Reading(1765094400000, 31.0).Format());
    QTest::qWait(300);
    Serve(InteropTest::Reading(1765094401000, 45.0, 40.0).Format());
    QTest::qWait(300);
    Serve(InteropTest::Reading(1765094402000, 300.0).Format());
    ASSERT_TRUE(WaitForBearings(2));
    int exitCode = -1;
    const QJsonObject summary = Finish(exitCode);
    ASSERT_EQ(Bearings().size(), 2);

    Bearing first, second;
    QString error;
    ASSERT_TRUE(BearingJson::Parse(Bearings()[0], first, error)) << error.toStdString();
    ASSERT_TRUE(BearingJson::Parse(Bearings()[1], second, error)) << error.toStdString();
    EXPECT_EQ(first.strStation, QStringLiteral("Rx/A"));
    EXPECT_EQ(first.nSeq, 1);
    EXPECT_EQ(second.nSeq, 2);
    EXPECT_DOUBLE_EQ(first.fBearing, 20.0);
    EXPECT_DOUBLE_EQ(second.fBearing, 290.0);
    EXPECT_DOUBLE_EQ(first.fSigma, 2.5);
    EXPECT_DOUBLE_EQ(first.fFrequency, 145.5e6);
    EXPECT_EQ(first.nTimeMs, 1765094400000);

    // The status: online while bridged, offline after a clean stop; the topic level is escaped.
    ASSERT_TRUE(m_pStations->WaitForCount(StationTopics::Status("Rx/A"), 2));
    EXPECT_TRUE(QJsonDocument::fromJson(Status().first()).object().value("online").toBool());
    EXPECT_FALSE(QJsonDocument::fromJson(Status().last()).object().value("online").toBool());

    // Real messages of the bridge, checked by an independent validator.
    EXPECT_EQ(InteropTest::SchemaErrors(QStringLiteral("bearing"), Bearings()), QString());
    EXPECT_EQ(InteropTest::SchemaErrors(QStringLiteral("stationstatus"), Status()), QString());

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
    Serve(InteropTest::Reading(1765094400000, 30.0).Format());
    ASSERT_TRUE(WaitForStderr("no answer within 300 ms")) << m_errors.constData();
    SetDelay(0.0);
    ASSERT_TRUE(WaitForBearings(1)) << m_errors.constData();
    // A byte every 50 ms never lets the transfer stall, but the whole answer takes seconds.
    Replace(QStringLiteral("trickle"), "0.05");
    const QByteArray beforeTrickle = m_errors;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return (m_errors += m_bridge.readAllStandardError()).mid(beforeTrickle.size()).contains("no answer within 300 ms"); },
        WAIT_MS))
        << m_errors.constData();
    QFile::remove(m_dir.filePath(QStringLiteral("trickle")));
    Serve(QByteArray(kvt::ReceiverPoller::MAX_DOCUMENT_BYTES + 1, ' '));
    ASSERT_TRUE(WaitForStderr("answer larger than 65536 bytes")) << m_errors.constData();
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
    Serve(InteropTest::Reading(1765094400000, 10.0).Format());
    const ProgramRun run = RunProgram(KVTBRIDGE_PATH, {"--receiver", m_dir.filePath(QStringLiteral("doa.xml")), "--station",
                                                       "Rx/A", "--mqtt", QStringLiteral("127.0.0.1:%1").arg(m_broker.GetPort()),
                                                       "--seconds", "1", "--doa", "anticlockwise"});
    EXPECT_EQ(run.nExitCode, 0) << run.stdErr.constData();
    ASSERT_TRUE(WaitForBearings(1));
    Bearing bearing;
    QString error;
    ASSERT_TRUE(BearingJson::Parse(Bearings()[0], bearing, error)) << error.toStdString();
    EXPECT_DOUBLE_EQ(bearing.fBearing, 340.0);

    for (const QStringList& arguments : {QStringList{"--station", "A", "--mqtt", "127.0.0.1:1"},
                                         QStringList{"--receiver", "ftp://x/y", "--station", "A", "--mqtt", "h:1"},
                                         QStringList{"--receiver", "f", "--station", "A", "--mqtt", "h:1", "--doa", "up"},
                                         QStringList{"--receiver", "f", "--station", "A", "--mqtt", "h:1", "--sigma", "0"}})
        EXPECT_EQ(RunProgram(KVTBRIDGE_PATH, arguments).nExitCode, 2) << arguments.join(' ').toStdString();
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
    Serve(InteropTest::Reading(1765094400000, 30.0).Format());
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
    EXPECT_TRUE(Bearings().isEmpty());
}

// The environment's password is the login options' own fallback (tools tests).
TEST_F(KvtBridgeLoginTest, TheStationsPasswordFromAFileLetsTheBearingsIn)
{
    Replace(QStringLiteral("RxA.password"), MosquittoBroker::PasswordOf("RxA").toUtf8() + "\n");
    Serve(InteropTest::Reading(1765094400000, 30.0).Format());
    StartBridge({"--mqtt-user", "RxA", "--mqtt-password-file", m_dir.filePath(QStringLiteral("RxA.password"))});
    ASSERT_TRUE(WaitForBearings(1)) << m_bridge.readAllStandardError().constData()
                                    << m_broker.GetLog().toStdString();
    int exitCode = -1;
    EXPECT_EQ(Finish(exitCode).value("broker").toObject().value("delivered").toInt(), 1);
    EXPECT_EQ(exitCode, 143);
    Bearing bearing;
    QString error;
    ASSERT_TRUE(BearingJson::Parse(Bearings()[0], bearing, error)) << error.toStdString();
    EXPECT_EQ(bearing.strStation, QStringLiteral("RxA"));
}

}
