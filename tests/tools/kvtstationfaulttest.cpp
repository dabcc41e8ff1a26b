#include "tests/common/mosquittobroker.h"
#include "tests/common/mqttpeer.h"
#include "tests/output/ptypair.h"
#include "tests/tools/kvtstationfixture.h"
#include "station/stationsummary.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

/// The station under faults, through the real program: each output's account
/// must add up (offered = delivered + lost) and its delivered count must be
/// what really arrived, and the exit code must say what happened.
class StationFaultTest : public StationTest
{
protected:
    QStringList Arguments(const QString& outputName, const QStringList& extra) const
    {
        return QStringList{"--config-dir", m_dir.path(), "--output-dir", OutputPath(outputName), "--json"} << extra;
    }

    static void ExpectBalanced(const QJsonObject& delivery)
    {
        EXPECT_EQ(delivery["pending"].toInt(), 0);
        EXPECT_EQ(delivery["offered"].toInt(), delivery["delivered"].toInt() + delivery["lost"].toInt())
            << QJsonDocument(delivery).toJson().constData();
    }

    static int SentenceLines(const QByteArray& text) { return text.count("$PLG,"); }

    /// Starts the station without waiting for it.
    void StartStation(const QStringList& arguments)
    {
        StartHelper(QStringLiteral(KVTSTATION_PATH), arguments);
        ASSERT_TRUE(m_helper.waitForStarted());
    }

    Run Finish()
    {
        EXPECT_TRUE(m_helper.waitForFinished(60000));
        return EndedRun(m_helper);
    }
};

// The limit is inherited by the station, with SIGXFSZ at its default action:
// the station must neither die of it nor leave a cut line.
TEST_F(StationFaultTest, AFileSizeLimitLosesWholeSentencesAndCountsThem)
{
    ASSERT_EQ(std::signal(SIGXFSZ, SIG_DFL), SIG_DFL);
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit limit = previous;
    limit.rlim_cur = 20 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const Run run = Station(Arguments("limited", {"--seconds", "60"}));
    setrlimit(RLIMIT_FSIZE, &previous);

    ASSERT_EQ(run.nExitCode, 3) << run.stdErr.constData();
    const QJsonObject summary = QJsonDocument::fromJson(run.stdOut).object();
    const QJsonObject file = Delivery(summary, "file");
    ExpectBalanced(file);
    EXPECT_GT(file["lost"].toInt(), 0);
    EXPECT_EQ(file["lastFailure"].toString(), "File too large");
    const QByteArray written = ReadFile(file["target"].toString());
    EXPECT_EQ(SentenceLines(written), file["delivered"].toInt());
    EXPECT_EQ(summary["sentences"]["written"].toInt(), file["delivered"].toInt());
    EXPECT_TRUE(written.endsWith("\r\n")) << "no cut line";
    EXPECT_TRUE(run.stdErr.contains(": File too large\n")) << run.stdErr.constData();
}

// Root writes into any folder: the station then runs as nobody.
TEST_F(StationFaultTest, AnOutputFolderThatCannotBeWrittenIsRefusedBeforeTheRun)
{
    QTemporaryDir shared;
    ASSERT_TRUE(shared.isValid());
    QFile::setPermissions(shared.path(), QFileDevice::Permissions(0x7777));
    const QString configDir = shared.filePath("config");
    const QString locked = shared.filePath("locked");
    ASSERT_TRUE(QDir().mkpath(configDir) && QDir().mkpath(locked));
    QFile::setPermissions(configDir, QFileDevice::Permissions(0x7777));
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther
                                      | QFileDevice::ExeOther | QFileDevice::ReadGroup | QFileDevice::ExeGroup);
    const QStringList station = {QStringLiteral(KVTSTATION_PATH), "--config-dir", configDir, "--output-dir", locked};
    const bool bRoot = ::geteuid() == 0;
    const QStringList asNobody = {"--reuid=65534", "--regid=65534", "--clear-groups"};
    if (bRoot) {
        // Nobody's own runtime folder, or Qt says on stderr that it cannot use ours.
        m_strHelperRuntimeDir = shared.filePath("runtime");
        ASSERT_TRUE(QDir().mkpath(m_strHelperRuntimeDir));
        ASSERT_EQ(::chown(m_strHelperRuntimeDir.toLocal8Bit().constData(), 65534, 65534), 0);
        QFile::setPermissions(m_strHelperRuntimeDir, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                         | QFileDevice::ExeOwner);
    }
    if (bRoot && RunHelper("setpriv", QStringList(asNobody) << station.first() << "--version").exitCode() != 0)
        GTEST_SKIP() << "an unprivileged user cannot run the station from this build tree";
    QProcess& process = bRoot ? RunHelper("setpriv", QStringList(asNobody) << station)
                              : RunHelper(station.first(), station.mid(1));

    EXPECT_EQ(process.exitCode(), 4);
    const QByteArray stdErr = process.readAllStandardError();
    EXPECT_EQ(stdErr,
              "kvtstation: cannot write into the output directory " + locked.toUtf8() + ": Permission denied\n");
    EXPECT_TRUE(process.readAllStandardOutput().isEmpty());
    EXPECT_TRUE(QDir(locked).isEmpty());
}

// The pty fills up and the bytes waiting reach the limit; after the run the
// pty still holds what the station handed to it.
TEST_F(StationFaultTest, ASerialLineNobodyReadsCountsWhatItCouldNotCarry)
{
    PtyPair pty;
    ASSERT_TRUE(pty.IsValid());
    const Run run = Station(Arguments("unread", {"--seconds", "120", "--serial", pty.SlaveName()}));

    ASSERT_EQ(run.nExitCode, 3) << run.stdErr.constData();
    const QJsonObject serial = Delivery(QJsonDocument::fromJson(run.stdOut).object(), "serial");
    ExpectBalanced(serial);
    EXPECT_GT(serial["lost"].toInt(), 0);
    ASSERT_EQ(serial["notices"].toArray().size(), 1);
    EXPECT_TRUE(serial["notices"][0].toString().startsWith("At 9600 baud")) << run.stdOut.constData();
    EXPECT_EQ(SentenceLines(pty.ReadMaster(1 << 20)), serial["delivered"].toInt());
}

TEST_F(StationFaultTest, SigtermEndsARealtimeRunWithItsSummary)
{
    StartStation(Arguments("stopped", {"--seconds", "60", "--realtime"}));
    const QString sentenceFile = OutputPath("stopped") + "/dfdata.txt";
    ASSERT_TRUE(QTest::qWaitFor([&]() { return SentenceLines(ReadFile(sentenceFile)) > 0; }, 20000));
    ::kill(static_cast<pid_t>(m_helper.processId()), SIGTERM);
    const Run run = Finish();

    ASSERT_EQ(run.nExitCode, 143) << run.stdErr.constData();
    const QJsonObject summary = QJsonDocument::fromJson(run.stdOut).object();
    EXPECT_EQ(summary["run"]["stoppedBy"].toString(), "SIGTERM");
    EXPECT_LT(summary["run"]["simulatedSeconds"].toDouble(), 60.0);
    const QJsonObject file = Delivery(summary, "file");
    ExpectBalanced(file);
    EXPECT_EQ(file["lost"].toInt(), 0);
    EXPECT_EQ(SentenceLines(ReadFile(sentenceFile)), file["delivered"].toInt());
}

// A host name makes the client look the address up; the station must still
// end cleanly, and its summary must say what became of the receiver.
TEST_F(StationFaultTest, TheZodStateIsWhatHappenedAndAHostNameEndsCleanly)
{
    MosquittoBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.GetErrorText().toStdString();
    const QByteArray port = QByteArray::number(broker.GetPort());
    WriteApplicationConfig(m_dir.path(), "ZodReceiverEnabled=true\nZodCentralAddress=localhost\nZodCentralPort=" + port + "\n");
    const QByteArray central = "localhost:" + port;

    Run run = Station(Arguments("present", {"--seconds", "2", "--realtime"}));
    ASSERT_EQ(run.nExitCode, 0) << run.stdErr.constData();
    QJsonObject zod = QJsonDocument::fromJson(run.stdOut)["zod"].toObject();
    EXPECT_EQ(zod["module"].toString(), "loaded");
    EXPECT_TRUE(zod["connected"].toBool());
    EXPECT_EQ(zod["central"].toString(), central);

    broker.Stop();
    run = Station(Arguments("absent", {"--seconds", "2"}));
    ASSERT_EQ(run.nExitCode, 0) << run.stdErr.constData();
    zod = QJsonDocument::fromJson(run.stdOut)["zod"].toObject();
    EXPECT_EQ(zod["module"].toString(), "loaded");
    EXPECT_FALSE(zod["connected"].toBool());
    run = Station(QStringList{"--config-dir", m_dir.path(), "--output-dir", OutputPath("text"), "--seconds", "1"});
    EXPECT_TRUE(run.stdOut.contains("ZOD receiver:       never connected to " + central)) << run.stdOut.constData();

    QTemporaryDir noModules;
    qputenv("KVT_MODULE_DIR", noModules.path().toUtf8());
    run = Station(Arguments("missing", {"--seconds", "1"}));
    qunsetenv("KVT_MODULE_DIR");
    ASSERT_EQ(run.nExitCode, 0) << run.stdErr.constData();
    EXPECT_EQ(QJsonDocument::fromJson(run.stdOut)["zod"]["module"].toString(), "not found");
}

}

// Every bearing the broker acknowledged reached a subscriber, and the station left itself
// offline; a broker that is never there is an output that never opened. The configuration
// names the broker unless the command line does.
TEST_F(StationFaultTest, TheBrokerOutputDeliversWhatItCountsAndNeverConnectedIsExitFour)
{
    MosquittoBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.GetErrorText().toStdString();
    // Nothing listens on port 1: the command line must win over the configuration.
    WriteApplicationConfig(m_dir.path(), "ZodClientName=Harbour\nBearingBrokerAddress=127.0.0.1\nBearingBrokerPort=1\n");
    MqttPeer subscriber(broker.GetPort(), QStringLiteral("picture"), QStringLiteral("kvt/stations/Harbour/#"));
    const QString address = QStringLiteral("127.0.0.1:%1").arg(broker.GetPort());
    StartStation(Arguments("broker", {"--seconds", "3", "--mqtt", address}));
    // The station runs while this process's event loop serves the subscriber.
    ASSERT_TRUE(QTest::qWaitFor([this] { return m_helper.state() == QProcess::NotRunning; }, 60000));
    const Run run = EndedRun(m_helper);
    ASSERT_EQ(run.nExitCode, 0) << run.stdErr.constData();
    const QJsonObject summary = QJsonDocument::fromJson(run.stdOut).object();
    const QJsonObject delivery = Delivery(summary, "broker");
    ExpectBalanced(delivery);
    EXPECT_EQ(delivery["target"].toString(), address);
    EXPECT_EQ(delivery["offered"].toInt(), summary["bearings"]["accepted"].toInt());
    EXPECT_GT(delivery["delivered"].toInt(), 0);
    ASSERT_TRUE(subscriber.WaitForCount("kvt/stations/Harbour/bearings", delivery["delivered"].toInt()));
    EXPECT_EQ(subscriber.History("kvt/stations/Harbour/bearings").size(), delivery["delivered"].toInt());
    ASSERT_TRUE(subscriber.WaitFor("kvt/stations/Harbour/status", "\"online\":false"));
    EXPECT_EQ(QJsonDocument::fromJson(subscriber.Latest("kvt/stations/Harbour/status"))["station"].toString(), "Harbour");

    // The configured broker alone: it is never there.
    const Run absent = Station(Arguments("absent", {"--seconds", "1"}));
    EXPECT_EQ(absent.nExitCode, StationSummary::EXIT_OUTPUT_UNAVAILABLE) << absent.stdOut.constData();
    const QJsonObject never = Delivery(QJsonDocument::fromJson(absent.stdOut).object(), "broker");
    EXPECT_FALSE(never["opened"].toBool());
    ExpectBalanced(never);
}
