#include "tests/characteristics/characteristicsfixture.h"

#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "valueframework/valueclasses/value.h"
#include "valueframework/valueclasses/valueselection.h"

#include <functional>

namespace {

class TreeChangeTest;

/// A change of one watched device value and how the cache shows it (no
/// check where the cache entry has no getter).
struct WatchedChange
{
    const char* pszName;
    std::function<void(TreeChangeTest&)> change;
    std::function<bool(KVTCharacteristics&)> applied;
};

void PrintTo(const WatchedChange& change, std::ostream* pOut)
{
    *pOut << change.pszName;
}

class TreeChangeTest : public CharacteristicsFixture, public ::testing::WithParamInterface<WatchedChange>
{
protected:
    void BindObserved(bool autoUpdate)
    {
        AddAntenna("HR469", "VQ28", 2e7, 3e9);
        Bind(autoUpdate);
        m_characteristics.AddObserver(&m_recorder);
    }
    ~TreeChangeTest() override
    {
        if (m_pCharacteristics)
            m_characteristics.DeleteObserver(&m_recorder);
    }

public:
    static void SetDeviceValueText(const values::ValueDescriptor& descriptor, const QString& text)
    {
        ASSERT_TRUE(values::Tree::Instance()->FindValue(DEVICE_PATH + descriptor.PathName())->SetStringValue(text));
    }
    /// Puts a second antenna into the tree without telling anyone.
    void PublishSecondAntenna()
    {
        AddAntenna("HR443", "VQ28", 3000000001.0, 3.6e9);
        PublishAntennas();
    }

protected:
    NotificationRecorder m_recorder;
};

const WatchedChange s_aWatchedChanges[] = {
    {"DeviceType",
     [](TreeChangeTest&) { TreeChangeTest::SetDeviceValueText(StdDeviceDefinition::g_vdDevType, "KVTP1"); },
     [](KVTCharacteristics& c) { return c.GetKVTType() == KVT_TYPE_P1; }},
    {"ChannelCount",
     [](TreeChangeTest&) {
         TreeChangeTest::SetDeviceValueText(StdDeviceDefinition::g_vdDevMaxChannelCount, "0");
     },
     [](KVTCharacteristics& c) { return c.GetMaxChannelCount() == KVTCharacteristics::MAX_CHANNEL_COUNT_DEFAULT; }},
    // The polarisation mode has no getter (the lookup re-reads the value
    // anyway), so only the notification shows that the change was taken.
    {"Polarisation",
     [](TreeChangeTest&) {
         TreeChangeTest::SetDeviceValueText(StdDeviceDefinition::g_vdPolarisation, "Vertical");
     },
     nullptr},
    {"ModifyTime",
     [](TreeChangeTest& test) {
         test.PublishSecondAntenna();
         TreeChangeTest::SetDeviceValueText(StdDeviceDefinition::g_vdCfgModifyTime, "051226120000");
     },
     [](KVTCharacteristics& c) { return c.GetAntennaByIndex(1) != nullptr; }},
};

TEST_P(TreeChangeTest, RefreshesAndNotifiesOnceWithAutoUpdate)
{
    BindObserved(true);
    GetParam().change(*this);
    if (GetParam().applied) {
        EXPECT_TRUE(GetParam().applied(m_characteristics));
    }
    EXPECT_EQ(m_recorder.m_lstCodes, std::vector<TChangeCode>{ChangeCode::ValueChanged});
}

TEST_P(TreeChangeTest, IgnoresChangesWithoutAutoUpdate)
{
    BindObserved(false);
    GetParam().change(*this);
    if (GetParam().applied) {
        EXPECT_FALSE(GetParam().applied(m_characteristics));
    }
    EXPECT_TRUE(m_recorder.m_lstCodes.empty());
}

INSTANTIATE_TEST_SUITE_P(WatchedValues, TreeChangeTest, ::testing::ValuesIn(s_aWatchedChanges),
                         [](const ::testing::TestParamInfo<WatchedChange>& info) { return info.param.pszName; });

using TreeRemovalTest = CharacteristicsFixture;

TEST_F(TreeRemovalTest, RemovedValuesAndNodeAreForgottenWithoutCrash)
{
    AddAntenna("HR469", "VQ28", 2e7, 3e9);
    Bind();
    NotificationRecorder recorder;
    m_characteristics.AddObserver(&recorder);
    values::Tree& tree = *values::Tree::Instance();

    const QString typePath = DEVICE_PATH + StdDeviceDefinition::g_vdDevType.PathName();
    ASSERT_TRUE(tree.RemoveValue(typePath));
    // A new value at the same place is not observed.
    auto* pNewType = tree.CreateValue<values::ValueSelection>(typePath);
    ASSERT_NE(pNewType, nullptr);
    pNewType->AddItem("KVTP1", 0.0, 0);
    EXPECT_EQ(m_characteristics.GetKVTType(), KVT_TYPE_Q1);
    EXPECT_TRUE(recorder.m_lstCodes.empty());

    ASSERT_TRUE(tree.RemoveValue(DEVICE_PATH + StdDeviceDefinition::g_vdNodeCfg.PathName()));
    ASSERT_TRUE(tree.RemoveValue(DEVICE_PATH + StdDeviceDefinition::g_vdPolarisation.PathName()));
    TreeChangeTest::SetDeviceValueText(StdDeviceDefinition::g_vdDevMaxChannelCount, "3");
    EXPECT_EQ(m_characteristics.GetMaxChannelCount(), 3);
    EXPECT_EQ(recorder.m_lstCodes, std::vector<TChangeCode>{ChangeCode::ValueChanged});

    ASSERT_TRUE(tree.RemoveValue(DEVICE_PATH + StdDeviceDefinition::g_vdDevMaxChannelCount.PathName()));
    ASSERT_TRUE(tree.RemoveValue(DEVICE_PATH + StdDeviceDefinition::g_vdCfgModifyTime.PathName()));
    m_characteristics.DeleteObserver(&recorder);
    m_pCharacteristics.reset();
}

} // namespace
