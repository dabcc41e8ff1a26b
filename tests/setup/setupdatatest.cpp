#include "base/errorhandler.h"
#include "base/icfg.h"
#include "base/iobserver.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtsetupdata.h"
#include "devicecontrol/directionfinder/kvtcommon/stationcfg.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "devicecontrol/stddevicedefinition/stddevicetree.h"
#include "tests/common/qstringprinter.h"
#include "tests/common/configdirfixture.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/value.h"
#include "valueframework/valueclasses/valuenumeric.h"
#include "valueframework/valueclasses/valueselection.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

namespace
{

using namespace StdDeviceDefinition;

const QString DEVICE = QStringLiteral("/KVTServer");
const QString STATION = QStringLiteral("10.0.0.1");

class Counter : public IObserver
{
public:
    void Update(Observable*, TChangeCode) override { ++m_nUpdates; }
    int m_nUpdates = 0;
};

/// The complete device tree (with the two setup values the catalogue lacks),
/// an own configuration directory and captured traces.
class SetupDataTest : public ConfigDirFixture
{
protected:
    void SetUp() override
    {
        ConfigDirFixture::SetUp();
        StdDeviceTree::Device(DEVICE);
        Tree().CreateValue<values::Value<bool>>(DEVICE + "/USEJOBSETTINGSFORFFM");
        Tree().CreateValue<values::Value<QString>>(DEVICE + "/CalibrationSchedule");
        ErrorHandler::Instance().SetTraceMask(ErrorHandler::TRACE_BIT);
        ErrorHandler::Instance().SetSink([this](const QString& line) { m_lstTraces << line; });
    }

    void TearDown() override
    {
        ErrorHandler::Instance().ResetSink();
        ErrorHandler::Instance().SetTraceMask(0);
        Tree().Clear();
        ConfigDirFixture::TearDown();
    }

    static values::Tree& Tree() { return *values::Tree::Instance(); }

    template <class T>
    static T& At(const values::ValueDescriptor& descriptor)
    {
        return *Tree().Find<T>(DEVICE + descriptor.PathName());
    }

    static std::unique_ptr<ICfg> Station() { return std::unique_ptr<ICfg>(StationCfg::GetStationCfg(STATION, false)); }

    // The trace lines of PrintSetupTrace without their "TRACE: " prefix.
    QStringList Trace(KVTSetupData& setup)
    {
        m_lstTraces.clear();
        setup.PrintSetupTrace();
        return m_lstTraces.replaceInStrings("TRACE: ", QString());
    }

    QStringList m_lstTraces;
};

TEST_F(SetupDataTest, SetupTravelsThroughTheStationSectionByValueKind)
{
    At<values::ValueSelection>(g_vdGainControlMode).SetCurrentKey(1);
    At<values::Value<bool>>(g_vdSynFastMode).SetValue(true);
    At<values::ValueNumeric<int>>(g_vdMGCLevel).SetValue(42);
    At<values::ValueNumeric<double>>(g_vdPosLatitude).SetValue(48.125);
    At<values::Value<QString>>(g_vdDevRequiredComponents).SetValue("GPS;Compass");
    Tree().Find<values::Value<QString>>(DEVICE + "/CalibrationSchedule")->SetValue("daily 03:00");

    KVTSetupData setup(STATION, DEVICE);
    setup.ReadFromValueTree(QString());
    setup.WriteToCfg(QString());
    std::unique_ptr<ICfg> pStation = Station();
    ASSERT_TRUE(pStation);
    EXPECT_EQ(pStation->GetString("GainControlMode", "?", 0), "1");
    EXPECT_EQ(pStation->GetString("SynFastMode", "?", 0), "true");
    EXPECT_EQ(pStation->GetString("MGCLevel", "?", 0), "42");
    EXPECT_EQ(pStation->GetString("LocationLatitude", "?", 0), "48.125");
    EXPECT_EQ(pStation->GetString("CalibrationSchedule", "?", 0), "daily 03:00");
    EXPECT_EQ(pStation->GetString("UseJobSettings4FFM", "?", 0), "false");
    EXPECT_EQ(pStation->GetString("HwRequiredComponents", "?", 0), "Compass;GPS");
    EXPECT_TRUE(pStation->IsReadOnly("HwRequirementsEditable"));
    EXPECT_EQ(pStation->GetKeys().size(), 1 + 22 + 4) << "device address, setup, hardware requirements";

    // The tree moves on; the stored setup is read back over fresh snapshots
    // and written into the tree, with the given observer as the sender.
    pStation->SetInt("MGCLevel", 99, 0);
    At<values::ValueSelection>(g_vdGainControlMode).SetCurrentKey(0);
    At<values::ValueNumeric<int>>(g_vdMGCLevel).SetValue(7);
    At<values::ValueSelection>(g_vdAGCDecay).SetCurrentKey(2);
    Counter sender;
    Counter other;
    At<values::ValueNumeric<int>>(g_vdMGCLevel).AddObserver(&sender);
    At<values::ValueNumeric<int>>(g_vdMGCLevel).AddObserver(&other);
    setup.ReadFromValueTree(DEVICE);
    setup.ReadFromCfg(STATION);
    setup.WriteToValueTree(&sender, QString());
    EXPECT_EQ(At<values::ValueSelection>(g_vdGainControlMode).GetCurrentKey(), 1);
    EXPECT_EQ(At<values::ValueNumeric<int>>(g_vdMGCLevel).GetValue(), 99);
    EXPECT_EQ(At<values::ValueSelection>(g_vdAGCDecay).GetCurrentKey(), 0) << "stored before it changed";
    EXPECT_EQ(sender.m_nUpdates, 0);
    EXPECT_EQ(other.m_nUpdates, 1);
    At<values::ValueNumeric<int>>(g_vdMGCLevel).DeleteObservers();
}

TEST_F(SetupDataTest, EntriesWithoutSnapshotAreLeftAlone)
{
    auto pStation = std::unique_ptr<ICfg>(StationCfg::GetStationCfg(STATION, true));
    pStation->SetBool("SynFastMode", true, 0);
    pStation->SetString("CalibrationSchedule", "weekly", 0);
    {
        KVTSetupData setup(STATION, DEVICE);
        setup.ReadFromCfg(QString());
        setup.WriteToValueTree(nullptr, QString());
        EXPECT_FALSE(At<values::Value<bool>>(g_vdSynFastMode).GetValue()) << "nothing read from the tree yet";
    }

    Tree().RemoveValue(DEVICE + "/CalibrationSchedule");
    KVTSetupData setup(STATION, DEVICE);
    setup.ReadFromValueTree(QString());
    setup.ReadFromCfg(QString());
    const QStringList lstTrace = Trace(setup);
    ASSERT_EQ(lstTrace.size(), 23);
    EXPECT_EQ(lstTrace.at(0), "KEY PATH VALUE");
    EXPECT_EQ(lstTrace.at(5), "SynFastMode /Par/Rx/SynFastMode true");
    EXPECT_EQ(lstTrace.at(11), "GainControlMode /Par/Rx/GainControlMode AGC");
    EXPECT_EQ(lstTrace.at(22), "CalibrationSchedule CalibrationSchedule NULL");

    pStation->RemoveKey("CalibrationSchedule");
    setup.WriteToCfg(QString());
    EXPECT_FALSE(Station()->Contains("CalibrationSchedule"));

    // Without any path every entry loses its snapshot.
    KVTSetupData pathless{QString(), QString()};
    pathless.ReadFromValueTree(QString());
    EXPECT_EQ(Trace(pathless).filter(" NULL").size(), 22);
}

} // namespace
