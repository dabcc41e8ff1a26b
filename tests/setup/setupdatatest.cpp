#include "base/cfgcenter.h"
#include "base/icfg.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtsetupdata.h"
#include "devicecontrol/directionfinder/kvtcommon/stationcfg.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "devicecontrol/stddevicedefinition/stddevicetree.h"
#include "tests/common/configdirfixture.h"
#include "tests/common/tracelog.h"
#include "tests/common/qstringprinter.h"
#include "tests/values/valuetestfixture.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/value.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace
{

using namespace StdDeviceDefinition;

const QString DEVICE = QStringLiteral("/KVTServer");
const QString STATION = QStringLiteral("10.0.0.1");

/// The complete device tree (with the two setup values the catalogue lacks),
/// an own configuration directory and captured traces.
class SetupDataTest : public ConfigDirFixture
{
protected:
    void SetUp() override
    {
        ConfigDirFixture::SetUp();
        StdDeviceTree::Device(DEVICE);
        values::Tree::Instance()->CreateValue<values::Value<bool>>(DEVICE + "/USEJOBSETTINGSFORFFM");
        values::Tree::Instance()->CreateValue<values::Value<QString>>(DEVICE + "/CalibrationSchedule");
    }

    void TearDown() override
    {
        values::Tree::Instance()->Clear();
        ConfigDirFixture::TearDown();
    }

    static values::ValueBase& At(const values::ValueDescriptor& descriptor) { return At(descriptor.PathName()); }
    static values::ValueBase& At(const QString& path) { return *values::Tree::Instance()->FindValue(DEVICE + path); }
    static std::unique_ptr<ICfg> Station() { return std::unique_ptr<ICfg>(StationCfg::GetStationCfg(STATION, true)); }

    TraceLog m_traces{ErrorHandler::TRACE_BIT};
};

TEST_F(SetupDataTest, SetupTravelsThroughTheStationSectionByValueKind)
{
    At(g_vdGainControlMode).SetStringValue("MGC");
    At(g_vdSynFastMode).SetStringValue("true");
    At(g_vdMGCLevel).SetStringValue("42");
    At(g_vdPosLatitude).SetStringValue("48.125");
    At(g_vdDevRequiredComponents).SetStringValue("GPS;Compass");
    At("/CalibrationSchedule").SetStringValue("daily 03:00");

    KVTSetupData setup(STATION, DEVICE);
    setup.ReadFromValueTree(QString());
    setup.WriteToCfg(QString());
    const std::unique_ptr<ICfg> pStation = Station();
    const std::map<QString, QString> mapStored{{"GainControlMode", "1"},         {"SynFastMode", "true"},
                                               {"MGCLevel", "42"},               {"LocationLatitude", "48.125"},
                                               {"CalibrationSchedule", "daily 03:00"}, {"UseJobSettings4FFM", "false"},
                                               {"HwRequiredComponents", "Compass;GPS"}};
    for (const auto& [key, text] : mapStored)
        EXPECT_EQ(pStation->GetString(key, "?", 0), text) << key.toStdString();
    EXPECT_TRUE(pStation->IsReadOnly("HwRequirementsEditable"));
    EXPECT_EQ(pStation->GetKeys().size(), 1 + 22 + 4) << "device address, setup, hardware requirements";

    // The tree moves on; the stored setup is read back over fresh snapshots
    // and written into the tree, with the given observer as the sender.
    pStation->SetInt("MGCLevel", 99, 0);
    At(g_vdGainControlMode).SetStringValue("AGC");
    At(g_vdAGCDecay).SetStringValue("Slow");
    RecordingObserver sender;
    RecordingObserver other;
    At(g_vdMGCLevel).AddObserver(&sender);
    At(g_vdMGCLevel).AddObserver(&other);
    setup.ReadFromValueTree(DEVICE);
    setup.ReadFromCfg(STATION);
    setup.WriteToValueTree(&sender, QString());
    EXPECT_EQ(At(g_vdGainControlMode).GetStringValue(), "MGC");
    EXPECT_EQ(At(g_vdMGCLevel).GetStringValue(), "99");
    EXPECT_EQ(At(g_vdAGCDecay).GetStringValue(), "Fast") << "stored before it changed";
    EXPECT_TRUE(sender.m_lstCalls.empty());
    EXPECT_EQ(other.m_lstCalls.size(), 1u);
    At(g_vdMGCLevel).DeleteObservers();

    // A tree value replaced by one of another type is snapshot afresh, not left at the old type.
    const QString strFastMode = DEVICE + g_vdSynFastMode.PathName();
    values::Tree::Instance()->RemoveValue(strFastMode);
    values::Tree::Instance()->CreateValue<values::Value<QString>>(strFastMode, "burst");
    setup.ReadFromValueTree(QString());
    setup.WriteToCfg(QString());
    EXPECT_EQ(pStation->GetString("SynFastMode", "?", 0), "burst");
}

TEST_F(SetupDataTest, EntriesWithoutSnapshotAreLeftAlone)
{
    Station()->SetBool("SynFastMode", true, 0);
    {
        KVTSetupData setup(STATION, DEVICE);
        setup.ReadFromCfg(QString());
        setup.WriteToValueTree(nullptr, QString());
        EXPECT_EQ(At(g_vdSynFastMode).GetStringValue(), "false") << "nothing read from the tree yet";
    }

    values::Tree::Instance()->RemoveValue(DEVICE + "/CalibrationSchedule");
    KVTSetupData setup(STATION, DEVICE);
    setup.ReadFromValueTree(QString());
    setup.ReadFromCfg(QString());
    setup.WriteToCfg(QString());
    EXPECT_FALSE(Station()->Contains("CalibrationSchedule"));
    setup.PrintSetupTrace();
    ASSERT_EQ(m_traces.m_lstLines.size(), 23);
    EXPECT_EQ(m_traces.m_lstLines.at(5), "TRACE: SynFastMode /Par/Rx/SynFastMode true");
    EXPECT_EQ(m_traces.m_lstLines.at(22), "TRACE: CalibrationSchedule CalibrationSchedule NULL");

    // Without any path every entry loses its snapshot.
    m_traces.m_lstLines.clear();
    KVTSetupData pathless{QString(), QString()};
    pathless.ReadFromValueTree(QString());
    pathless.PrintSetupTrace();
    EXPECT_EQ(m_traces.Count(" NULL"), 22);
}

// A station never stored is not read (nor created); a station list whose entry numbers are used
// up takes no new station, so the setup is not written anywhere.
TEST_F(SetupDataTest, StationsThatCannotBeHadAreNeitherReadNorWritten)
{
    Station()->SetBool("SynFastMode", true, 0);
    KVTSetupData setup("10.0.0.2", DEVICE);
    setup.ReadFromValueTree(QString());
    setup.ReadFromCfg(QString());
    setup.WriteToValueTree(nullptr, QString());
    EXPECT_EQ(At(g_vdSynFastMode).GetStringValue(), "false");
    EXPECT_EQ(StationCfg::GetStationCfg("10.0.0.2", false), nullptr);

    std::unique_ptr<ICfg>(CfgCenter::GetAppCfg(ICfg::Station).GetSubCfg("KVTStations/KVTStation2147483646", ICfg::Station))
        ->SetString("DeviceAddress", "last", 0);
    setup.WriteToCfg(QString());
    EXPECT_EQ(StationCfg::GetStationCfg("10.0.0.2", false), nullptr);
}

} // namespace
