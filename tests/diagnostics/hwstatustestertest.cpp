#include "base/arexception.h"
#include "base/cfgcenter.h"
#include "base/icfg.h"
#include "devicecontrol/directionfinder/kvtcommon/hwstatustester.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "tests/common/configdirfixture.h"
#include "tests/common/qstringprinter.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/value.h"
#include "valueframework/valueclasses/valueselection.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{

using Set = HwStatusTester::ComponentSet;
using StdDeviceDefinition::g_vdDevCheckRequirements;
using StdDeviceDefinition::g_vdDevOptionalComponents;
using StdDeviceDefinition::g_vdDevRequiredComponents;
using StdDeviceDefinition::g_vdDevRequirementsEditable;

const QString DEVICE = QStringLiteral("/KVTServer");

class HwStatusTesterTest : public ConfigDirFixture
{
protected:
    void TearDown() override
    {
        values::Tree::Instance()->Clear();
        ConfigDirFixture::TearDown();
    }

    static std::unique_ptr<ICfg> Section()
    {
        return std::unique_ptr<ICfg>(CfgCenter::GetAppCfg(ICfg::Station).GetSubCfg("Hw", ICfg::Station));
    }

    template <class T>
    static T* TreeValue(const values::ValueDescriptor& descriptor)
    {
        return values::Tree::Instance()->Find<T>(DEVICE + descriptor.PathName());
    }
};

TEST_F(HwStatusTesterTest, ComparesReportedWithRequiredAndOptionalComponents)
{
    values::ValueSelection devInfo("DevInfo");
    for (const char* name : {"x;y;z;A;rest", "x;y;z;P", ">>x;y;z;Q", "Option;y;z;B", "x;y;z", "x;y;z;D;;", "Optional"})
        devInfo.AddItem(name, 0.0, 0);
    HwStatusTester tester;
    tester.ReadHwListFromValue(&devInfo);
    tester.SetRequiredComponents({"A", "B"});
    tester.SetOptionalComponents({"P", "Q", "A"});

    EXPECT_EQ(tester.FindMissingRequiredHardware(), (Set{"B"}));
    EXPECT_EQ(tester.FindUnknownHardware(), (Set{"D"}));
    EXPECT_EQ(tester.GetAllComponents(), (Set{"A", "B", "D", "P", "Q"}));
    EXPECT_EQ(tester.GetComponentState("A"), HwStatusTester::eRequiredPresent);
    EXPECT_EQ(tester.GetComponentState("B"), HwStatusTester::eRequiredMissing);
    EXPECT_EQ(tester.GetComponentState("P"), HwStatusTester::eOptionalPresent);
    EXPECT_EQ(tester.GetComponentState("Q"), HwStatusTester::eOptionalMissing);
    EXPECT_EQ(tester.GetComponentState("D"), HwStatusTester::eUnknown);
    EXPECT_EQ(tester.GetComponentState("E"), HwStatusTester::eUnknown);

    // An empty fourth field is a component too; a null list changes nothing.
    devInfo.RemoveAllItems();
    devInfo.AddItem("x;y;z;", 0.0, 0);
    tester.ReadHwListFromValue(&devInfo);
    tester.ReadHwListFromValue(nullptr);
    EXPECT_EQ(tester.FindUnknownHardware(), (Set{""}));
}

TEST_F(HwStatusTesterTest, RequirementsTravelBetweenConfigurationAndTree)
{
    const std::unique_ptr<ICfg> pCfg = Section();
    HwStatusTester tester(DEVICE);
    tester.ReadHwRequirementsFromCfg(pCfg.get());
    EXPECT_TRUE(tester.AreRequirementsEditable());
    EXPECT_FALSE(tester.GetCheckRequirements());
    EXPECT_TRUE(pCfg->GetKeys().isEmpty());

    pCfg->SetString("HwRequiredComponents", "b;a;;a;", 0);
    pCfg->SetString("HwOptionalComponents", " a; b", 0);
    pCfg->SetBool("HwRequirementsEditable", false, 0);
    pCfg->SetBool("HwCheckRequirements", true, 0);
    tester.ReadHwRequirementsFromCfg(pCfg.get());
    tester.ReadHwRequirementsFromCfg(nullptr);
    tester.WriteHwRequirementsToTree();
    EXPECT_EQ(TreeValue<values::Value<QString>>(g_vdDevRequiredComponents)->GetValue(), "a;b");
    EXPECT_EQ(TreeValue<values::Value<QString>>(g_vdDevOptionalComponents)->GetValue(), " a; b");
    EXPECT_FALSE(TreeValue<values::Value<bool>>(g_vdDevRequirementsEditable)->GetValue());
    EXPECT_TRUE(TreeValue<values::Value<bool>>(g_vdDevCheckRequirements)->GetValue());

    HwStatusTester fromTree(DEVICE);
    fromTree.ReadHwRequirementsFromTree();
    EXPECT_EQ(fromTree.GetComponentState("a"), HwStatusTester::eRequiredMissing);
    EXPECT_EQ(fromTree.GetComponentState(" b"), HwStatusTester::eOptionalMissing);
    EXPECT_EQ(fromTree.GetComponentState("b"), HwStatusTester::eRequiredMissing);
    EXPECT_FALSE(fromTree.AreRequirementsEditable());
    EXPECT_TRUE(fromTree.GetCheckRequirements());

    // Not editable: everything locked; editable: only the editable flag itself.
    fromTree.WriteHwRequirementsToCfg(pCfg.get());
    for (const char* key : {"HwRequiredComponents", "HwOptionalComponents", "HwRequirementsEditable", "HwCheckRequirements"})
        EXPECT_TRUE(pCfg->IsReadOnly(key)) << key;
    fromTree.SetRequirementsEditable(true);
    fromTree.SetCheckRequirements(false);
    fromTree.WriteHwRequirementsToCfg(pCfg.get());
    fromTree.WriteHwRequirementsToCfg(nullptr);
    for (const char* key : {"HwRequiredComponents", "HwOptionalComponents", "HwCheckRequirements"})
        EXPECT_FALSE(pCfg->IsReadOnly(key)) << key;
    EXPECT_TRUE(pCfg->IsReadOnly("HwRequirementsEditable"));
    EXPECT_EQ(pCfg->GetString("HwRequiredComponents", "?", 0), "a;b");
    EXPECT_FALSE(pCfg->GetBool("HwCheckRequirements", true, 0));
}

TEST_F(HwStatusTesterTest, ReadsTheDeviceInformationOfTheTreeAndRejectsValuesOfAnotherType)
{
    HwStatusTester tester(DEVICE);
    values::Tree::Instance()->CreateValue<values::ValueSelection>(DEVICE + StdDeviceDefinition::g_vdDevInfo.PathName())
        ->AddItem("a;b;c;GPS", 0.0, 1);
    tester.ReadHwListFromTree();
    EXPECT_EQ(tester.FindUnknownHardware(), (Set{"GPS"}));

    values::Tree::Instance()->CreateValue<values::Value<int>>(DEVICE + g_vdDevRequiredComponents.PathName());
    try
    {
        tester.ReadHwRequirementsFromTree();
        FAIL() << "no exception";
    }
    catch (const ARException& e)
    {
        EXPECT_EQ(e.GetMessage(), "Wrong type assumed for /DevAttr/RequiredComponents.");
    }
}

} // namespace
