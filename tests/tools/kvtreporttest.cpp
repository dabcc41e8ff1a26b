#include "base/icfg.h"
#include "devicecontrol/directionfinder/kvtcommon/stationcfg.h"
#include "tests/common/configdirfixture.h"
#include "tests/common/programrun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gmock/gmock.h>

#include <unistd.h>

#include <algorithm>
#include <memory>

namespace {

/// Runs the capability report as a user would, on the test's fresh configuration directory.
class KvtReportTest : public ConfigDirFixture
{
protected:
    using Run = ProgramRun;

    /// The report runs in English unless a test sets another language.
    void SetUp() override
    {
        ConfigDirFixture::SetUp();
        SetHelperLanguage("C.UTF-8");
    }

    Run Report(QStringList arguments) { return ReportWithout(arguments << "--config-dir" << m_dir.path()); }

    /// Leaves the configuration directory to the environment (KVT_CONFIG_DIR).
    Run ReportWithout(const QStringList& arguments) { return EndedRun(RunHelper(QStringLiteral(KVTREPORT_PATH), arguments)); }

    const QJsonObject JsonReport(QStringList arguments = {})
    {
        const Run run = Report(arguments << QStringLiteral("--json"));
        EXPECT_EQ(run.nExitCode, 0) << run.stdErr.constData();
        return QJsonDocument::fromJson(run.stdOut).object();
    }

    /// Edits the stored default station in this test process.
    static void SetStoredAntennaKey(int index, const QString& key, const QString& value)
    {
        const std::unique_ptr<ICfg> pStation(StationCfg::GetStationCfg(QStringLiteral("Default"), false));
        ASSERT_TRUE(pStation);
        std::unique_ptr<ICfg>(pStation->GetSubCfg(QStringLiteral("SystemConfiguration/Antenna%1").arg(index), ICfg::Station))
            ->SetString(key, value, 0);
    }

    static QJsonObject FindByKey(const QJsonArray& array, const QString& key, const QJsonValue& value)
    {
        const auto it = std::find_if(array.begin(), array.end(),
                                     [&](const QJsonValue& entry) { return entry.toObject().value(key) == value; });
        return it == array.end() ? QJsonObject() : it->toObject();
    }
};

TEST_F(KvtReportTest, DefaultStationIsStoredOnFirstRunAndReportedInFull)
{
    qunsetenv("KVT_CONFIG_DIR");  // the command line alone names the directory
    const QJsonObject report = JsonReport();
    EXPECT_TRUE(report["configuration"]["defaultStored"].toBool());
    EXPECT_EQ(report["configuration"]["directory"].toString(), m_dir.path());

    EXPECT_EQ(report["device"]["type"].toString(), "KVTQ1");
    EXPECT_EQ(report["device"]["options"].toArray(), QJsonArray({"KVT-HFR", "KVT-LF", "KVTQ-WB", "KVTQ-SR"}));
    EXPECT_EQ(report["device"]["maxChannelCount"].toInt(), 4);

    const QJsonObject setup = report["antennaSetup"].toObject();
    EXPECT_TRUE(setup["valid"].toBool());
    EXPECT_EQ(setup["message"].toString(), "Antenna setup is valid.");
    ASSERT_EQ(setup["antennas"].toArray().size(), 5);
    const QJsonObject hfRight = FindByKey(setup["antennas"].toArray(), "name", "HR428_R");
    EXPECT_EQ(hfRight["displayName"].toString(), "HR428");
    EXPECT_EQ(hfRight["polarisation"].toString(), "Right");
    EXPECT_EQ(hfRight["rangeType"].toString(), "HF");

    const QJsonObject mode1 = FindByKey(report["operationModes"].toArray(), "mode", 1);
    EXPECT_DOUBLE_EQ(mode1["minFreq"].toDouble(), 9e3);
    EXPECT_DOUBLE_EQ(mode1["maxFreq"].toDouble(), 3e9);

    const QJsonArray ranges = report["frequencyRanges"].toArray();
    const QJsonObject hf = FindByKey(ranges, "label", "HF");
    EXPECT_EQ(hf["antenna"].toString(), "HR428_L");
    EXPECT_EQ(hf["dfMethods"].toArray(), QJsonArray({"COR9", "WAT"}));
    EXPECT_EQ(hf["polarisations"].toArray(), QJsonArray({"Left", "Right"}));

    const QJsonObject vhfMode3 = FindByKey(FindByKey(ranges, "label", "VHF")["modes"].toArray(), "mode", 3);
    EXPECT_EQ(vhfMode3["sampleMode"].toInt(), 8);
    EXPECT_DOUBLE_EQ(vhfMode3["defaultRealtimeBandwidth"].toDouble(), 1e5);
    const QJsonObject narrow = FindByKey(vhfMode3["realtimeBandwidths"].toArray(), "bandwidth", 1e5);
    EXPECT_EQ(narrow["resolutionBandwidths"].toArray().size(), 7);
    EXPECT_DOUBLE_EQ(narrow["defaultResolutionBandwidth"].toDouble(), 2000.0);

    EXPECT_FALSE(JsonReport()["configuration"]["defaultStored"].toBool());
}

// The report claims the default station stored only when it was: a store
// that fails says which file and why, and the run ends with 1. An empty lock
// file, as a process killed while locking leaves it, blocks nothing.
TEST_F(KvtReportTest, StoringTheDefaultStationIsReportedOnlyWhenItSucceeded)
{
    const QString file = m_dir.filePath("station/Application.ini");
    ASSERT_TRUE(QDir().mkpath(m_dir.filePath("station")));
    ASSERT_EQ(::symlink("Application.ini", QFile::encodeName(file).constData()), 0);
    const Run failed = Report({});
    EXPECT_EQ(failed.nExitCode, 1);
    EXPECT_FALSE(failed.stdOut.contains("stored")) << failed.stdOut.constData();
    EXPECT_THAT(failed.stdErr.toStdString(),
                testing::HasSubstr(("kvtreport: the built-in default station could not be stored: configuration file '"
                                    + file + "' is read-only in this session: it is a symbolic link in a loop")
                                       .toStdString()));
    EXPECT_TRUE(QFileInfo(file).isSymLink());

    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(QFile(file + ".lock").open(QIODevice::WriteOnly));
    const Run stored = Report({});
    EXPECT_EQ(stored.nExitCode, 0) << stored.stdErr.constData();
    EXPECT_TRUE(stored.stdOut.contains("; built-in default station stored\n"));
    EXPECT_TRUE(stored.stdOut.contains("Antenna setup: Antenna setup is valid.")) << stored.stdOut.constData();
}

TEST_F(KvtReportTest, RepairFixesAStoredGapAndKeepsTheRepairedSetup)
{
    ASSERT_EQ(Report({}).nExitCode, 0);
    SetStoredAntennaKey(3, "MinRange", "40000000.000");
    const QJsonObject broken = JsonReport()["antennaSetup"].toObject();
    EXPECT_FALSE(broken["valid"].toBool());
    EXPECT_EQ(broken["message"].toString(), "Frequency range is not entirely covered without gaps.");

    const QJsonObject repaired = JsonReport({"--repair"})["antennaSetup"].toObject();
    EXPECT_TRUE(repaired["repair"]["success"].toBool());
    EXPECT_EQ(repaired["repair"]["message"].toString(),
              "Auto configuration of antennas successfully covered range from 0.009 MHz to 3000 MHz.");
    EXPECT_TRUE(repaired["valid"].toBool());
    EXPECT_TRUE(JsonReport()["antennaSetup"]["valid"].toBool());
}

TEST_F(KvtReportTest, TypeAndOptionsPerRun)
{
    const QJsonObject report = JsonReport({"--type", "KVTP1", "--options", ""});
    EXPECT_EQ(report["device"]["type"].toString(), "KVTP1");
    EXPECT_TRUE(report["device"]["options"].toArray().isEmpty());
    const QJsonObject mode1 = FindByKey(report["operationModes"].toArray(), "mode", 1);
    EXPECT_DOUBLE_EQ(mode1["minFreq"].toDouble(), 1e8);
    EXPECT_DOUBLE_EQ(mode1["maxFreq"].toDouble(), 4.5e8);
}

TEST_F(KvtReportTest, BadArgumentsGiveOneLineExitCodeTwoAndWriteNothing)
{
    // KVT_CONFIG_DIR names the test's directory, so whatever a run stored would land there.
    const QStringList aWrong[] = {
        {"--type", "KVTX9"}, {"--options", "KVT-HFR;BOGUS"}, {"--options", "KVT-HFR;"}, {"--unknown"},
        {"surplus"}, {"--station", ""}, {"--lang", "xx"}, {"--config-dir", ""},
        {"--config-dir", m_dir.filePath("missing")}, {"--config-dir", QStringLiteral(KVTREPORT_PATH)}};
    for (const QStringList& wrong : aWrong) {
        const Run run = ReportWithout(wrong);
        EXPECT_EQ(run.nExitCode, 2) << wrong.join(' ').toStdString();
        EXPECT_TRUE(run.stdErr.startsWith("kvtreport: ") && run.stdErr.count('\n') == 1) << run.stdErr.constData();
    }
    EXPECT_TRUE(QDir(m_dir.path()).isEmpty());
}

} // namespace
