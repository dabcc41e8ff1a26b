#include "tests/characteristics/characteristicsfixture.h"

#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "devicecontrol/stddevicedefinition/stddevicetree.h"
#include "valueframework/valueclasses/node.h"
#include "valueframework/valueclasses/value.h"
#include "valueframework/valueclasses/valueselection.h"

#include <memory>

namespace {

const QString POLARISATION_PATH = QStringLiteral("/KVTServer") + StdDeviceDefinition::g_vdPolarisation.PathName();

/// Registration bookkeeping: which device items the characteristics observe.
class BindingTest : public CharacteristicsFixture
{
protected:
    static values::ValueBase* Item(const QString& basePath, const values::ValueDescriptor& descriptor)
    {
        return values::Tree::Instance()->FindValue(basePath + descriptor.PathName());
    }

    /// Whether `c` observes each watched item below `basePath` (node, type,
    /// channel count, modify time) and the polarisation value.
    static std::vector<bool> Registrations(const KVTCharacteristics& c, const QString& basePath = DEVICE_PATH)
    {
        std::vector<bool> lstRegistered;
        for (const values::ValueDescriptor* pDescriptor :
             {&StdDeviceDefinition::g_vdNodeCfg, &StdDeviceDefinition::g_vdDevType,
              &StdDeviceDefinition::g_vdDevMaxChannelCount, &StdDeviceDefinition::g_vdCfgModifyTime}) {
            values::ValueBase* pItem = Item(basePath, *pDescriptor);
            lstRegistered.push_back(pItem != nullptr && pItem->HasObserver(&c));
        }
        values::ValueBase* pPolarisation = values::Tree::Instance()->FindValue(POLARISATION_PATH);
        lstRegistered.push_back(pPolarisation != nullptr && pPolarisation->HasObserver(&c));
        return lstRegistered;
    }

    const std::vector<bool> ALL = {true, true, true, true, true};
    const std::vector<bool> NONE = {false, false, false, false, false};
};

TEST_F(BindingTest, FailedBindUnbindsAndRebindMovesTheRegistrations)
{
    Bind();
    EXPECT_EQ(Registrations(m_characteristics), ALL);

    // A second device elsewhere: the old registrations go, the polarisation
    // (under the server root) stays observed.
    const QString otherPath = QStringLiteral("/Other");
    ASSERT_NE(StdDeviceDefinition::StdDeviceTree::Device(otherPath), nullptr);
    static_cast<values::Value<int>*>(Item(otherPath, StdDeviceDefinition::g_vdDevMaxChannelCount))->SetValue(5);
    EXPECT_TRUE(m_characteristics.SetBase_ValuePath(otherPath, true));
    EXPECT_EQ(m_characteristics.GetMaxChannelCount(), 5);
    EXPECT_EQ(Registrations(m_characteristics), (std::vector<bool>{false, false, false, false, true}));
    EXPECT_EQ(Registrations(m_characteristics, otherPath), ALL);

    EXPECT_FALSE(m_characteristics.SetBase_ValuePath(QStringLiteral("/Missing"), true));
    EXPECT_EQ(Registrations(m_characteristics, otherPath), NONE);
    // Unbound, a refresh keeps the cache as it was.
    m_characteristics.UpdateCachedDataFromValueTree();
    EXPECT_EQ(m_characteristics.GetMaxChannelCount(), 5);
}

TEST_F(BindingTest, MissingOrWrongTypedValuesAreNotObservedButTheRestIs)
{
    values::Tree& tree = *values::Tree::Instance();
    const QString channelPath = DEVICE_PATH + StdDeviceDefinition::g_vdDevMaxChannelCount.PathName();
    ASSERT_TRUE(tree.RemoveValue(channelPath));
    // The device type as plain text instead of a selection.
    const QString typePath = DEVICE_PATH + StdDeviceDefinition::g_vdDevType.PathName();
    ASSERT_TRUE(tree.RemoveValue(typePath));
    auto* pTextType = tree.CreateValue<values::Value<QString>>(typePath, QStringLiteral("KVTP1"));
    ASSERT_NE(pTextType, nullptr);

    PublishAntennas();
    EXPECT_FALSE(m_characteristics.SetBase_ValuePath(DEVICE_PATH, true));
    EXPECT_FALSE(pTextType->HasObserver(&m_characteristics));
    EXPECT_EQ(Registrations(m_characteristics), (std::vector<bool>{true, false, false, true, true}));
    EXPECT_EQ(m_characteristics.GetKVTType(), KVT_TYPE_Q1);
    EXPECT_EQ(m_characteristics.GetMaxChannelCount(), KVTCharacteristics::MAX_CHANNEL_COUNT_DEFAULT);
}

TEST_F(BindingTest, CopiesOwnTheirRegistrationsAndAntennas)
{
    AddAntenna("HR469", "VQ28", 2e7, 1.3e9);
    AddAntenna("HR443", "VQ28", 1300000001.0, 3e9);
    Bind();

    auto pCopy = std::make_unique<KVTCharacteristics>(m_characteristics);
    EXPECT_EQ(Registrations(*pCopy), ALL);
    ASSERT_NE(pCopy->GetAntennaByIndex(1), nullptr);
    EXPECT_NE(pCopy->GetAntennaByIndex(1), m_characteristics.GetAntennaByIndex(1));
    EXPECT_EQ(pCopy->GetAntennaByIndex(1)->m_strName, "HR443");

    // The copy follows the tree on its own; the original's observers are
    // not carried over.
    NotificationRecorder originalObserver;
    m_characteristics.AddObserver(&originalObserver);
    KVTCharacteristics assigned;
    assigned = *pCopy;
    NotificationRecorder copyObserver;
    pCopy->AddObserver(&copyObserver);
    DeviceValue<values::ValueSelection>(StdDeviceDefinition::g_vdDevType)->SetCurrentText("KVTN1");
    EXPECT_EQ(pCopy->GetKVTType(), KVT_TYPE_N1);
    EXPECT_EQ(assigned.GetKVTType(), KVT_TYPE_N1);
    EXPECT_EQ(copyObserver.m_lstCodes.size(), 1u);
    EXPECT_EQ(originalObserver.m_lstCodes.size(), 1u);

    pCopy->DeleteObserver(&copyObserver);
    pCopy.reset();
    EXPECT_EQ(Registrations(m_characteristics), ALL);
    const KVTCharacteristics& rSame = assigned;
    assigned = rSame;
    EXPECT_EQ(Registrations(assigned), ALL);
    EXPECT_EQ(assigned.GetAntennaByIndex(0)->m_strName, "HR469");

    // Assigning an unbound object releases the target's registrations.
    assigned = KVTCharacteristics();
    EXPECT_EQ(Registrations(assigned), NONE);
    EXPECT_EQ(assigned.GetAntennaByIndex(0), nullptr);
    m_characteristics.DeleteObserver(&originalObserver);
}

TEST_F(BindingTest, RemovedNodeIsNotTouchedAgain)
{
    Bind();
    // The node announces its departure; neither a refresh (which builds a
    // new configuration node) nor the destructor may use the old one again
    // (the sanitizer build would report it), and the new one is not observed.
    ASSERT_TRUE(values::Tree::Instance()->RemoveValue(DEVICE_PATH + StdDeviceDefinition::g_vdNodeCfg.PathName()));
    DeviceValue<values::Value<QString>>(StdDeviceDefinition::g_vdCfgModifyTime)->SetValue("051226120000");
    values::ValueBase* pNewNode = Item(DEVICE_PATH, StdDeviceDefinition::g_vdNodeCfg);
    ASSERT_NE(pNewNode, nullptr);
    EXPECT_FALSE(pNewNode->HasObserver(&m_characteristics));
    m_pCharacteristics.reset();
}

}
