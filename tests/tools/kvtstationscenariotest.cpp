#include "fusion/bearingjson.h"
#include "fusion/geodesy.h"
#include "tests/common/handovernetwork.h"
#include "tests/common/mosquittobroker.h"
#include "tests/common/mqttpeer.h"
#include "tests/tools/kvtstationfixture.h"
#include "simulation/scenarioworld.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTest>

#include <cmath>
#include <map>
#include <memory>

namespace {

Scenario Network()
{
    Scenario scenario;
    QString error;
    EXPECT_TRUE(scenario.Parse(HANDOVER_NETWORK, error)) << error.toStdString();
    return scenario;
}

}

// What the device of a station is shown: the geodesic azimuth taken from the
// bow, the emitters only while they transmit, weaker with distance.
TEST(ScenarioWorldTest, EmittersAppearFromTheBowWhileTheyTransmitAndFadeWithDistance)
{
    const Scenario scenario = Network();
    const ScenarioWorld near(scenario, *scenario.FindStation(QStringLiteral("Near")));
    ASSERT_EQ(near.Emitters(5.0).size(), 1u) << "E2 transmits from 10 s to 20 s only";
    ASSERT_EQ(near.Emitters(10.0).size(), 2u);
    EXPECT_EQ(near.Emitters(20.0).size(), 1u);
    const double truth = Geodesy::Between(52.48, 13.10, 52.52, 13.405).fAzimuth;
    // A heading of 350° turns an azimuth of about 78° into about 88° from the bow.
    EXPECT_NEAR(near.Emitters(0.0)[0].fAzimuth, Geodesy::WrapAzimuth(truth - 350.0), 1e-9);
    EXPECT_GT(near.Emitters(0.0)[0].fAzimuth, 80.0);

    const ScenarioWorld boss(scenario, *scenario.FindStation(QStringLiteral("Boss")));
    const double nearDistance = Geodesy::Between(52.48, 13.10, 52.52, 13.405).fDistance;
    const double bossDistance = Geodesy::Between(52.70, 13.40, 52.52, 13.405).fDistance;
    EXPECT_NEAR(near.Emitters(0.0)[0].fStrength - boss.Emitters(0.0)[0].fStrength,
                20.0 * std::log10(bossDistance / nearDistance), 1e-6);

    EXPECT_DOUBLE_EQ(boss.GetFirstFrequency(), 145.5e6);
    EXPECT_DOUBLE_EQ(near.GetFirstFrequency(), 0.0) << "a receiver waits to be tuned";
    EXPECT_EQ(boss.HandoversBetween(-1.0, 0.0), std::vector<double>{145.5e6});
    EXPECT_TRUE(boss.HandoversBetween(0.0, 100.0).empty()) << "a handover at the start of a step belongs to the step before";
    EXPECT_TRUE(near.HandoversBetween(-1.0, 100.0).empty());
    EXPECT_DOUBLE_EQ(boss.Roll(3.0), 0.0) << "no motion given";
    EXPECT_NEAR(near.Roll(0.0), 2.0, 1e-9);
}

namespace {

class StationScenarioTest : public StationTest
{
protected:
    void SetUp() override
    {
        StationTest::SetUp();
        ASSERT_TRUE(WriteFile(m_files.filePath("network.json"), HANDOVER_NETWORK));
    }

    /// Each station its own configuration folder, as separate hosts have.
    QString ConfigOf(const QString& name)
    {
        const QString dir = m_files.filePath(QStringLiteral("config-") + name);
        EXPECT_TRUE(QDir().mkpath(dir));
        return dir;
    }

    QStringList Arguments(const QString& name, const QStringList& extra)
    {
        return QStringList{"--config-dir", ConfigOf(name), "--output-dir", OutputPath(name), "--json",
                           "--scenario", m_files.filePath("network.json"), "--station", name}
               << extra;
    }

    std::vector<Bearing> Bearings(const QString& name)
    {
        std::vector<Bearing> bearings;
        for (const QByteArray& line : ReadFile(QDir(OutputPath(name)).filePath("bearings.jsonl")).split('\n')) {
            if (line.isEmpty())
                continue;
            Bearing bearing;
            QString error;
            EXPECT_TRUE(BearingJson::Parse(line, bearing, error)) << error.toStdString();
            bearings.push_back(bearing);
        }
        return bearings;
    }

    static QJsonArray Tunings(const QJsonObject& summary) { return summary["scenario"]["tunings"].toArray(); }

    QTemporaryDir m_files;
};

}

// A sender measures what it listens to: the true bearings with its rated noise, its
// place in every message, the scenario's time; the same seed writes the same file.
TEST_F(StationScenarioTest, ASenderMeasuresTheTruthWithItsNoiseInScenarioTime)
{
    const Run run = Station(Arguments("Boss", {"--seconds", "30", "--seed", "3"}));
    ASSERT_EQ(run.nExitCode, 0) << run.stdErr.constData();
    const QJsonObject summary = QJsonDocument::fromJson(run.stdOut).object();
    EXPECT_EQ(summary["scenario"]["role"].toString(), "sender");
    ASSERT_EQ(Tunings(summary).size(), 1);
    EXPECT_DOUBLE_EQ(Tunings(summary).at(0)["frequency"].toDouble(), 145.5e6);

    const std::vector<Bearing> bearings = Bearings("Boss");
    ASSERT_GT(bearings.size(), 300u);
    EXPECT_EQ(static_cast<int>(bearings.size()), summary["bearings"]["accepted"].toInt());
    const qint64 start = QDateTime(QDate(2026, 12, 7), QTime(8, 0), Qt::UTC).toMSecsSinceEpoch();
    EXPECT_EQ(bearings.front().nTimeMs, start);
    EXPECT_LE(bearings.back().nTimeMs, start + 30000);
    const double truth = Geodesy::Between(52.70, 13.40, 52.52, 13.405).fAzimuth;
    double sum = 0.0;
    double squares = 0.0;
    for (std::size_t i = 0; i < bearings.size(); ++i) {
        EXPECT_EQ(bearings[i].nSeq, static_cast<qint64>(i + 1));
        EXPECT_EQ(bearings[i].strStation, QStringLiteral("Boss"));
        EXPECT_DOUBLE_EQ(bearings[i].fHeading, 10.0);
        EXPECT_DOUBLE_EQ(bearings[i].fFrequency, 145.5e6) << "E2 is on another frequency";
        EXPECT_FALSE(bearings[i].strMethod.isEmpty());
        const double error = Geodesy::WrapDifference(bearings[i].fBearing - truth);
        sum += error;
        squares += error * error;
    }
    const double mean = sum / bearings.size();
    EXPECT_NEAR(mean, 0.0, 0.3);
    EXPECT_NEAR(std::sqrt(squares / bearings.size() - mean * mean), 1.5, 0.3) << "the station's sigma";

    const QByteArray first = ReadFile(QDir(OutputPath("Boss")).filePath("bearings.jsonl"));
    ASSERT_EQ(Station(Arguments("Boss", {"--seconds", "30", "--seed", "3"})).nExitCode, 0);
    EXPECT_EQ(ReadFile(QDir(OutputPath("Boss")).filePath("bearings.jsonl")), first);
}

TEST_F(StationScenarioTest, AReceiverNobodyTunesMeasuresNothingAndABadScenarioTouchesNothing)
{
    const Run run = Station(Arguments("Near", {"--seconds", "5"}));
    ASSERT_EQ(run.nExitCode, 0) << run.stdErr.constData();
    const QJsonObject summary = QJsonDocument::fromJson(run.stdOut).object();
    EXPECT_TRUE(Tunings(summary).isEmpty());
    EXPECT_EQ(summary["bearings"]["accepted"].toInt(), 0);
    EXPECT_TRUE(summary["zod"]["role"].isNull()) << "no broker, no ZOD client";

    const struct
    {
        QStringList arguments;
        const char* pszReason;
    } cases[] = {
        {{"--scenario", m_files.filePath("network.json"), "--station", "Nobody"}, "no station \"Nobody\""},
        {{"--scenario", m_files.filePath("missing.json"), "--station", "Boss"}, "missing.json"},
        {{"--station", "Boss"}, "go together"},
    };
    for (const auto& c : cases) {
        const Run bad = Station(QStringList{"--config-dir", ConfigOf("bad"), "--output-dir", OutputPath("bad")}
                                << c.arguments);
        EXPECT_EQ(bad.nExitCode, 2);
        EXPECT_TRUE(bad.stdErr.contains(c.pszReason)) << bad.stdErr.constData();
        EXPECT_FALSE(QFileInfo::exists(OutputPath("bad")));
    }
}

// The handover reaches, through a real broker and from the sender's retained
// state, exactly the receivers that follow the sender and accept the frequency;
// the stored configuration keeps its own ZOD name.
TEST_F(StationScenarioTest, AHandoverTunesTheFollowersInRangeOnly)
{
    MosquittoBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.GetErrorText().toStdString();
    const QString mqtt = QStringLiteral("127.0.0.1:%1").arg(broker.GetPort());

    MqttPeer watcher(broker.GetPort(), QStringLiteral("watcher"), QStringLiteral("kvt/zod/Boss/param/FRQ"));

    QProcess sender;
    sender.start(QStringLiteral(KVTSTATION_PATH), Arguments("Boss", {"--seconds", "3", "--realtime", "--mqtt", mqtt}));
    ASSERT_TRUE(sender.waitForStarted());
    ASSERT_TRUE(watcher.WaitForExactly(QStringLiteral("kvt/zod/Boss/param/FRQ"), "145500000"))
        << "the sender never handed over; broker log: " << broker.GetLog().toStdString();

    WriteApplicationConfig(ConfigOf("Near"), "ZodClientName=Mine\n");

    std::map<QString, QJsonObject> summaries;
    for (const QString name : {"Near", "Deaf", "Stranger"}) {
        const Run run = Station(Arguments(name, {"--seconds", "60", "--mqtt", mqtt}));
        ASSERT_EQ(run.nExitCode, 0) << name.toStdString() << ": " << run.stdErr.constData();
        summaries[name] = QJsonDocument::fromJson(run.stdOut).object();
        EXPECT_TRUE(summaries[name].value("zod")["connected"].toBool()) << name.toStdString();
    }
    ASSERT_EQ(Tunings(summaries["Near"]).size(), 1) << QJsonDocument(summaries["Near"]).toJson().constData();
    EXPECT_DOUBLE_EQ(Tunings(summaries["Near"]).at(0)["frequency"].toDouble(), 145.5e6);
    const std::vector<Bearing> bearings = Bearings("Near");
    ASSERT_FALSE(bearings.empty()) << QJsonDocument(summaries["Near"]).toJson().constData();
    EXPECT_DOUBLE_EQ(bearings.back().fFrequency, 145.5e6);
    EXPECT_TRUE(Tunings(summaries["Deaf"]).isEmpty()) << "145.5 MHz is below its range";
    EXPECT_TRUE(Tunings(summaries["Stranger"]).isEmpty()) << "it follows somebody else";
    EXPECT_TRUE(Bearings("Stranger").empty());

    const QByteArray stored = ReadFile(ConfigOf("Near") + "/application/Application.ini");
    EXPECT_TRUE(stored.contains("ZodClientName=Mine")) << stored.constData();
    EXPECT_FALSE(stored.contains("AutoCoupleTargets")) << stored.constData();
    EXPECT_TRUE(sender.waitForFinished(60000));
    EXPECT_EQ(sender.exitCode(), 0) << sender.readAllStandardError().constData();
}

// A station whose password the locked-down broker refuses gives up after a few tries and
// says so, for its ZOD client and its bearing output, with the exit code of an output
// that never opened.
TEST_F(StationScenarioTest, ARefusedLoginIsNamedInTheSummaryAndTheExitCode)
{
    MosquittoBroker broker;
    ASSERT_TRUE(broker.LockDown({"Near"})) << broker.GetErrorText().toStdString();
    ASSERT_TRUE(broker.Start()) << broker.GetErrorText().toStdString();
    WriteApplicationConfig(ConfigOf("Near"), "ZodUserName=Near\nZodPassword=guess\n");

    const Run run = Station(Arguments("Near", {"--seconds", "5", "--mqtt", QStringLiteral("127.0.0.1:%1").arg(broker.GetPort())}));
    EXPECT_EQ(run.nExitCode, 4) << run.stdErr.constData();
    const QJsonObject summary = QJsonDocument::fromJson(run.stdOut).object();
    const QJsonObject account = summary["zod"]["account"].toObject();
    EXPECT_EQ(account["state"].toString(), QStringLiteral("refused")) << run.stdOut.constData();
    EXPECT_EQ(account["error"].toString(), QStringLiteral("the broker refused the user name or password"));
    const QJsonObject output = Delivery(summary, "broker");
    EXPECT_EQ(output["lastFailure"].toString(), QStringLiteral("the broker refused the user name or password"))
        << QJsonDocument(output).toJson().constData();
}
