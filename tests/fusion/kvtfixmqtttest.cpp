#include "tools/kvtfix/liveinput.h"
#include "tests/common/filecontent.h"
#include "tests/common/mosquittobroker.h"
#include "tests/common/mqttpeer.h"
#include "tests/fusion/fusiontesthelpers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

#include <signal.h>

#include <gtest/gtest.h>

namespace {

using FusionTest::Site;

const int WAIT_MS = 20000;

/// kvtfix --mqtt on a locked-down broker: login, its persistent session, and what it reports.
class KvtFixLiveTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_broker.LockDown({"North", "South", "West", "kvtfix"})) << m_broker.GetErrorText().toStdString();
        ASSERT_TRUE(m_broker.Start()) << m_broker.GetErrorText().toStdString();
        ASSERT_TRUE(WriteFile(m_dir.filePath("password"), MosquittoBroker::PasswordOf("kvtfix").toUtf8() + "\n"));
    }

    void TearDown() override
    {
        if (m_fix.state() != QProcess::NotRunning) {
            m_fix.kill();
            m_fix.waitForFinished(WAIT_MS);
        }
    }

    QStringList Arguments() const
    {
        return {"--mqtt", QStringLiteral("127.0.0.1:%1").arg(m_broker.GetPort()), "--json", "--mqtt-user", "kvtfix",
                "--mqtt-password-file", m_dir.filePath("password")};
    }

    void StartFix(const QStringList& extra = {})
    {
        m_errors.clear();
        m_fix.start(QStringLiteral(KVTFIX_PATH), Arguments() + extra);
        ASSERT_TRUE(QTest::qWaitFor([&] { return (m_errors += m_fix.readAllStandardError()).contains("connected"); },
                                    WAIT_MS))
            << m_errors.constData() << m_broker.GetLog().toStdString();
    }

    /// Waits for kvtfix's status line to report `read` messages read.
    bool WaitForRead(int read)
    {
        const QByteArray text = QByteArray::number(read) + " read";
        return QTest::qWaitFor([&] { return (m_errors += m_fix.readAllStandardError()).contains(text); }, WAIT_MS);
    }

    /// SIGINT: kvtfix ends with 130 and its summary.
    QJsonObject Interrupt()
    {
        ::kill(static_cast<pid_t>(m_fix.processId()), SIGINT);
        EXPECT_TRUE(m_fix.waitForFinished(WAIT_MS));
        EXPECT_EQ(m_fix.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(m_fix.exitCode(), 130) << m_errors.constData();
        const QByteArray output = m_fix.readAllStandardOutput();
        return QJsonDocument::fromJson(output.mid(output.indexOf("{\n"))).object();
    }

    static QByteArray Message(const Site& site, qint64 seq) { return FusionTest::Message(site, seq, 1796630400000LL + 1000 * seq); }

    MosquittoBroker m_broker;
    QTemporaryDir m_dir;
    QProcess m_fix;
    QByteArray m_errors;
};

TEST_F(KvtFixLiveTest, ARefusedLoginIsOneMessageAndExitCode3)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("KVT_MQTT_PASSWORD", "guess");
    m_fix.setProcessEnvironment(environment);
    m_fix.start(QStringLiteral(KVTFIX_PATH),
                {"--mqtt", QStringLiteral("127.0.0.1:%1").arg(m_broker.GetPort()), "--mqtt-user", "kvtfix"});
    ASSERT_TRUE(m_fix.waitForFinished(WAIT_MS));
    EXPECT_EQ(m_fix.exitCode(), 3);
    const QString errors = QString::fromUtf8(m_fix.readAllStandardError());
    EXPECT_EQ(errors.count("the broker refused the user name or password"), 1) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QStringLiteral("giving up after 3 refused logins at 127.0.0.1:%1").arg(m_broker.GetPort())))
        << errors.toStdString();
}

TEST_F(KvtFixLiveTest, TheSummaryOnSigintCountsRepeatsGapsAndRefusals)
{
    StartFix();
    MqttPeer north(m_broker.GetPort(), "North", QString(), "North");
    const QString topic = "kvt/stations/North/bearings";
    for (const qint64 seq : {1, 2, 2, 5, 3})
        north.m_connection.Publish(topic, Message(FusionTest::NORTH, seq), 1, false);
    north.m_connection.Publish(topic, QByteArray(LiveInput::MAX_MESSAGE_BYTES + 1, ' '), 1, false);
    north.m_connection.Publish(topic, Message(FusionTest::SOUTH, 6), 1, false);
    ASSERT_TRUE(WaitForRead(7)) << m_errors.constData();

    const QJsonObject summary = Interrupt();
    const QJsonObject live = summary["live"].toObject();
    EXPECT_EQ(live["read"].toInt(), 7);
    EXPECT_EQ(live["used"].toInt(), 4);
    EXPECT_EQ(live["refused"].toInt(), 2);
    EXPECT_EQ(live["duplicates"].toInt(), 1);
    EXPECT_EQ(live["late"].toInt(), 1);
    EXPECT_EQ(live["missing"].toInt(), 1);
    EXPECT_EQ(live["gaps"].toArray(), QJsonArray({QJsonObject{{"station", "North"}, {"first", 4}, {"last", 4}}}));
    EXPECT_EQ(live["clientId"].toString(), QStringLiteral("kvtfix"));
    const QJsonObject reasons = summary["bearings"]["reasons"].toObject();
    EXPECT_EQ(reasons[QStringLiteral("larger than %1 bytes").arg(LiveInput::MAX_MESSAGE_BYTES)].toInt(), 1)
        << QJsonDocument(summary).toJson().constData();
    EXPECT_EQ(reasons["station differs from the topic"].toInt(), 1);
}

// A flood of station names on an open broker must not grow the sequence
// account without end: it keeps --max-stations, forgetting the stalest, whose
// next bearing is then new again (not a repeat) and whose gap stays counted.
TEST_F(KvtFixLiveTest, TheSequenceAccountKeepsAtMostMaxStations)
{
    StartFix({"--max-stations", "2"});
    MqttPeer north(m_broker.GetPort(), "North", QString(), "North");
    MqttPeer south(m_broker.GetPort(), "South", QString(), "South");
    MqttPeer west(m_broker.GetPort(), "West", QString(), "West");
    // Each Send() waits for the broker's acknowledgement, so kvtfix reads them in this order.
    ASSERT_TRUE(north.Send("kvt/stations/North/bearings", Message(FusionTest::NORTH, 1), false));
    ASSERT_TRUE(north.Send("kvt/stations/North/bearings", Message(FusionTest::NORTH, 3), false));
    ASSERT_TRUE(south.Send("kvt/stations/South/bearings", Message(FusionTest::SOUTH, 1), false));
    ASSERT_TRUE(west.Send("kvt/stations/West/bearings", Message(FusionTest::WEST, 1), false));
    ASSERT_TRUE(north.Send("kvt/stations/North/bearings", Message(FusionTest::NORTH, 3), false));
    ASSERT_TRUE(WaitForRead(5)) << m_errors.constData();

    const QJsonObject live = Interrupt()["live"].toObject();
    EXPECT_EQ(live["forgotten"].toInt(), 2) << "North for West, South for North again";
    EXPECT_EQ(live["used"].toInt(), 5);
    EXPECT_EQ(live["duplicates"].toInt(), 0);
    // North's first gap (2) stays counted; coming back, it is new as at kvtfix's start.
    EXPECT_EQ(live["missing"].toInt(), 3);
    EXPECT_EQ(live["gaps"].toArray(), QJsonArray({QJsonObject{{"station", "North"}, {"first", 1}, {"last", 2}}}));
}

// One bearing numbered 9e15 (a valid "seq") opens a gap of as many numbers; the
// text summary must not print them as 0, where an int ends.
TEST(LiveInputTest, TheTextSummaryPrintsCountsBeyondAnInt)
{
    const double huge = 9e15;
    const QJsonObject live{{"read", 2}, {"missing", huge - 2},
                           {"gaps", QJsonArray{QJsonObject{{"station", "North"}, {"first", 2}, {"last", huge - 1}}}}};
    QString text;
    QTextStream out(&text);
    LiveInput::PrintText(out, live);
    out.flush();
    EXPECT_TRUE(text.contains("8999999999999998 missing")) << text.toStdString();
    EXPECT_TRUE(text.contains("gap: North seq 2 to 8999999999999999")) << text.toStdString();
}

// The broker keeps kvtfix's session: what stations publish while it is away arrives
// when it comes back under the same client id, each bearing once.
TEST_F(KvtFixLiveTest, ARestartedKvtfixGetsEverythingTheBrokerAcknowledgedMeanwhile)
{
    StartFix();
    Interrupt();
    MqttPeer north(m_broker.GetPort(), "North", QString(), "North");
    const QString topic = "kvt/stations/North/bearings";
    for (qint64 seq = 1; seq <= 50; ++seq)
        ASSERT_TRUE(north.Send(topic, Message(FusionTest::NORTH, seq), false));
    // Refused, and last: once kvtfix reports it, it has read everything before it.
    ASSERT_TRUE(north.Send(topic, Message(FusionTest::SOUTH, 1), false));

    StartFix();
    ASSERT_TRUE(WaitForRead(51)) << m_errors.constData();
    const QJsonObject live = Interrupt()["live"].toObject();
    EXPECT_EQ(live["used"].toInt(), 50);
    EXPECT_EQ(live["duplicates"].toInt(), 0);
    EXPECT_EQ(live["missing"].toInt(), 0);
}

// SIGKILL leaves no summary and no memory of what was used; the record carries the
// account over: the next kvtfix sees no gap before its first bearing and uses
// none of the ones the killed kvtfix had used again when the station sends them twice.
TEST_F(KvtFixLiveTest, AKilledKvtfixsRecordKeepsTheNextFromGapsAndRepeats)
{
    const QString record = m_dir.filePath("record.jsonl");
    const auto recordedLines = [&] {
        QFile file(record);
        return file.open(QIODevice::ReadOnly) ? file.readAll().count('\n') : 0;
    };
    StartFix({"--mqtt-record", record});
    MqttPeer north(m_broker.GetPort(), "North", QString(), "North");
    const QString topic = "kvt/stations/North/bearings";
    for (qint64 seq = 1; seq <= 30; ++seq)
        ASSERT_TRUE(north.Send(topic, Message(FusionTest::NORTH, seq), false));
    ASSERT_TRUE(QTest::qWaitFor([&] { return recordedLines() == 30; }, WAIT_MS)) << m_errors.constData();
    m_fix.kill();
    ASSERT_TRUE(m_fix.waitForFinished(WAIT_MS));

    for (qint64 seq = 31; seq <= 50; ++seq)
        ASSERT_TRUE(north.Send(topic, Message(FusionTest::NORTH, seq), false));
    // As a station sends what it had not seen acknowledged when its connection broke.
    for (qint64 seq = 25; seq <= 30; ++seq)
        ASSERT_TRUE(north.Send(topic, Message(FusionTest::NORTH, seq), false));
    ASSERT_TRUE(north.Send(topic, Message(FusionTest::SOUTH, 1), false));

    StartFix({"--mqtt-record", record});
    ASSERT_TRUE(WaitForRead(27)) << m_errors.constData();
    const QJsonObject live = Interrupt()["live"].toObject();
    EXPECT_EQ(live["used"].toInt(), 20);
    EXPECT_EQ(live["duplicates"].toInt(), 6);
    EXPECT_EQ(live["missing"].toInt(), 0);
    EXPECT_EQ(live["gaps"].toArray(), QJsonArray());
    EXPECT_EQ(live["record"]["replayed"].toInt(), 30);
    EXPECT_EQ(live["record"]["written"].toInt(), 20);
    EXPECT_EQ(recordedLines(), 50);
}

}
