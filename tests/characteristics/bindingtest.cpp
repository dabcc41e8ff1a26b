#include "tests/characteristics/characteristicsfixture.h"

#include "valueframework/valueclasses/value.h"
#include "valueframework/valueclasses/valueselection.h"

#include <memory>

namespace {

using namespace StdDeviceDefinition;

/// Which device items the characteristics observe, and what they make of changes.
class BindingTest : public CharacteristicsFixture
{
protected:
    static values::ValueBase* Item(const QString& basePath, const values::ValueDescriptor& descriptor)
    {
        return values::Tree::Instance()->FindValue(basePath + descriptor.PathName());
    }
    /// Whether `c` observes each watched item below `basePath` (node, type,
    /// channel count, modify time) and the polarisation below the server.
    static std::vector<bool> Registrations(const KVTCharacteristics& c, const QString& basePath = DEVICE_PATH)
    {
        std::vector<bool> lstRegistered;
        for (const auto* pItem : {&g_vdNodeCfg, &g_vdDevType, &g_vdDevMaxChannelCount, &g_vdCfgModifyTime, &g_vdPolarisation}) {
            values::ValueBase* pValue = Item(pItem == &g_vdPolarisation ? DEVICE_PATH : basePath, *pItem);
            lstRegistered.push_back(pValue != nullptr && pValue->HasObserver(&c));
        }
        return lstRegistered;
    }
    void BindObserved(bool autoUpdate = true)
    {
        AddAntenna("HR469", "VQ28", 2e7, 1.3e9);
        Bind(autoUpdate);
        m_characteristics.AddObserver(&m_recorder);
    }

    const std::vector<bool> ALL = std::vector<bool>(5, true);
    const std::vector<bool> NONE = std::vector<bool>(5, false);
};

/// A change of one watched device value and how the cache shows it.
struct WatchedChange
{
    const char* pszName;
    const values::ValueDescriptor* pDescriptor;
    const char* pszText;
    bool (*pApplied)(KVTCharacteristics&);  // null where the cache entry has no getter
};

class TreeChangeTest : public BindingTest, public ::testing::WithParamInterface<WatchedChange>
{
protected:
    void ChangeWatchedValue(bool autoUpdate)
    {
        BindObserved(autoUpdate);
        // A second antenna in the tree, unannounced: only the modify time tells about it.
        AddAntenna("HR443", "VQ28", 1300000001.0, 3e9);
        PublishAntennas();
        SetDeviceText(*GetParam().pDescriptor, GetParam().pszText);
    }
};

const WatchedChange s_aWatchedChanges[] = {
    {"DeviceType", &g_vdDevType, "KVTP1", [](KVTCharacteristics& c) { return c.GetKVTType() == KVT_TYPE_P1; }},
    // The polarisation has no getter: only the notification shows the change was taken.
    {"Polarisation", &g_vdPolarisation, "Vertical", nullptr},
    {"ModifyTime", &g_vdCfgModifyTime, "051226120000", [](KVTCharacteristics& c) { return c.GetAntennaByIndex(1) != nullptr; }},
};

TEST_P(TreeChangeTest, RefreshesAndNotifiesOnceWithAutoUpdate)
{
    ChangeWatchedValue(true);
    EXPECT_TRUE(!GetParam().pApplied || GetParam().pApplied(m_characteristics));
    EXPECT_EQ(m_recorder.m_lstCodes, std::vector<TChangeCode>{ChangeCode::ValueChanged});
}

TEST_P(TreeChangeTest, IgnoresChangesWithoutAutoUpdate)
{
    ChangeWatchedValue(false);
    EXPECT_FALSE(GetParam().pApplied && GetParam().pApplied(m_characteristics));
    EXPECT_TRUE(m_recorder.m_lstCodes.empty());
}

INSTANTIATE_TEST_SUITE_P(WatchedValues, TreeChangeTest, ::testing::ValuesIn(s_aWatchedChanges),
                         [](const ::testing::TestParamInfo<WatchedChange>& info) { return info.param.pszName; });

TEST_F(BindingTest, RemovedValuesAndNodeAreForgottenWithoutCrash)
{
    BindObserved();
    ASSERT_TRUE(RemoveDeviceValue(g_vdDevType));
    // Neither the refresh (which builds a new configuration node) nor the
    // destructor may touch the removed node again (the sanitizer build would
    // report it), and the new node is not observed.
    ASSERT_TRUE(RemoveDeviceValue(g_vdNodeCfg));
    ASSERT_TRUE(RemoveDeviceValue(g_vdPolarisation));
    SetDeviceText(g_vdCfgModifyTime, "051226120000");
    EXPECT_EQ(m_recorder.m_lstCodes, std::vector<TChangeCode>{ChangeCode::ValueChanged});
    values::ValueBase* pNewNode = Item(DEVICE_PATH, g_vdNodeCfg);
    ASSERT_NE(pNewNode, nullptr);
    EXPECT_FALSE(pNewNode->HasObserver(&m_characteristics));

    ASSERT_TRUE(RemoveDeviceValue(g_vdDevMaxChannelCount) && RemoveDeviceValue(g_vdCfgModifyTime));
    m_pCharacteristics.reset();
}

TEST_F(BindingTest, RebindMovesTheRegistrationsAndSkipsMissingOrWrongTypedValues)
{
    Bind();
    EXPECT_EQ(Registrations(m_characteristics), ALL);
    // A second device elsewhere: the old registrations go, the polarisation
    // (under the server root) stays observed.
    const QString otherPath = QStringLiteral("/Other");
    ASSERT_NE(StdDeviceTree::Device(otherPath), nullptr);
    ASSERT_TRUE(Item(otherPath, g_vdDevMaxChannelCount)->SetStringValue("5"));
    EXPECT_TRUE(m_characteristics.SetBase_ValuePath(otherPath, true));
    EXPECT_EQ(m_characteristics.GetMaxChannelCount(), 5);
    EXPECT_EQ(Registrations(m_characteristics), (std::vector<bool>{false, false, false, false, true}));
    EXPECT_EQ(Registrations(m_characteristics, otherPath), ALL);
    EXPECT_FALSE(m_characteristics.SetBase_ValuePath(QStringLiteral("/Missing"), true));
    EXPECT_EQ(Registrations(m_characteristics, otherPath), NONE);
    // Unbound, a refresh keeps the cache as it was.
    m_characteristics.UpdateCachedDataFromValueTree();
    EXPECT_EQ(m_characteristics.GetMaxChannelCount(), 5);

    // No channel count, and the device type as plain text instead of a selection.
    ASSERT_TRUE(RemoveDeviceValue(g_vdDevMaxChannelCount) && RemoveDeviceValue(g_vdDevType));
    auto* pTextType =
        values::Tree::Instance()->CreateValue<values::Value<QString>>(DEVICE_PATH + g_vdDevType.PathName(), "KVTP1");
    ASSERT_NE(pTextType, nullptr);
    EXPECT_FALSE(m_characteristics.SetBase_ValuePath(DEVICE_PATH, true));
    EXPECT_FALSE(pTextType->HasObserver(&m_characteristics));
    EXPECT_EQ(Registrations(m_characteristics), (std::vector<bool>{true, false, false, true, true}));
}

TEST_F(BindingTest, CopiesOwnTheirRegistrationsAndAntennas)
{
    AddAntenna("HR443", "VQ28", 1300000001.0, 3e9);
    BindObserved();
    auto pCopy = std::make_unique<KVTCharacteristics>(m_characteristics);
    EXPECT_EQ(Registrations(*pCopy), ALL);
    ASSERT_NE(pCopy->GetAntennaByIndex(1), nullptr);
    EXPECT_NE(pCopy->GetAntennaByIndex(1), m_characteristics.GetAntennaByIndex(1));
    EXPECT_EQ(pCopy->GetAntennaByIndex(1)->m_strName, "HR469");

    // Copies follow the tree on their own; the original's observers are not carried over.
    KVTCharacteristics assigned;
    assigned = *pCopy;
    NotificationRecorder copyObserver;
    pCopy->AddObserver(&copyObserver);
    SetType("KVTN1");
    EXPECT_EQ(assigned.GetKVTType(), KVT_TYPE_N1);
    EXPECT_EQ(copyObserver.m_lstCodes.size(), 1u);
    EXPECT_EQ(m_recorder.m_lstCodes.size(), 1u);

    pCopy.reset();
    EXPECT_EQ(Registrations(m_characteristics), ALL);
    const KVTCharacteristics& rSame = assigned;
    assigned = rSame;
    EXPECT_EQ(Registrations(assigned), ALL);
    EXPECT_EQ(assigned.GetAntennaByIndex(0)->m_strName, "HR443");

    // Assigning an unbound object releases the target's registrations.
    assigned = KVTCharacteristics();
    EXPECT_EQ(Registrations(assigned), NONE);
    EXPECT_EQ(assigned.GetAntennaByIndex(0), nullptr);
}

} // namespace
