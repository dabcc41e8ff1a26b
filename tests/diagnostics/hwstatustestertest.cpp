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

#include <map>
#include <memory>

namespace
{

using Set = HwStatusTester::ComponentSet;
using namespace StdDeviceDefinition;

const QString DEVICE = QStringLiteral("/KVTServer");

class HwStatusTesterTest : public ConfigDirFixture
{
protected:
    void TearDown() override
    {
        values::Tree::Instance()->Clear();
        ConfigDirFixture::TearDown();
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
    const std::map<QString, HwStatusTester::HwComponentState> mapStates{
        {"A", HwStatusTester::eRequiredPresent}, {"B", HwStatusTester::eRequiredMissing}, {"P", HwStatusTester::eOptionalPresent},
        {"Q", HwStatusTester::eOptionalMissing}, {"D", HwStatusTester::eUnknown},         {"E", HwStatusTester::eUnknown}};
    for (const auto& [name, eState] : mapStates)
        EXPECT_EQ(tester.GetComponentState(name), eState) << name.toStdString();

    // An empty fourth field is a component too; a null list changes nothing.
    devInfo.RemoveAllItems();
    devInfo.AddItem("x;y;z;", 0.0, 0);
    tester.ReadHwListFromValue(&devInfo);
    tester.ReadHwListFromValue(nullptr);
    EXPECT_EQ(tester.FindUnknownHardware(), (Set{""}));
}

TEST_F(HwStatusTesterTest, RequirementsTravelBetweenConfigurationAndTree)
{
    const std::unique_ptr<ICfg> pCfg(CfgCenter::GetAppCfg(ICfg::Station).GetSubCfg("Hw", ICfg::Station));
    pCfg->SetString("HwRequiredComponents", "b;a;;a;", 0);
    pCfg->SetString("HwOptionalComponents", " a; b", 0);
    pCfg->SetBool("HwCheckRequirements", true, 0);
    HwStatusTester tester(DEVICE);
    tester.ReadHwRequirementsFromCfg(pCfg.get());
    tester.ReadHwRequirementsFromCfg(nullptr);
    EXPECT_TRUE(tester.AreRequirementsEditable()) << "default of a missing key";
    EXPECT_FALSE(pCfg->Contains("HwRequirementsEditable")) << "reading writes nothing back";
    tester.SetRequirementsEditable(false);
    tester.WriteHwRequirementsToTree();
    auto text = [](const values::ValueDescriptor& d) { return values::Tree::Instance()->FindValue(DEVICE + d.PathName())->GetStringValue(); };
    EXPECT_EQ(text(g_vdDevRequiredComponents), "a;b");
    EXPECT_EQ(text(g_vdDevOptionalComponents), " a; b");
    EXPECT_EQ(text(g_vdDevRequirementsEditable), "false");
    EXPECT_EQ(text(g_vdDevCheckRequirements), "true");

    // Not editable: every key locked; editable: only the editable flag itself.
    HwStatusTester fromTree(DEVICE);
    fromTree.ReadHwRequirementsFromTree();
    fromTree.WriteHwRequirementsToCfg(nullptr);
    const QStringList lstKeys{"HwRequiredComponents", "HwOptionalComponents", "HwCheckRequirements", "HwRequirementsEditable"};
    for (bool bEditable : {false, true})
    {
        fromTree.WriteHwRequirementsToCfg(pCfg.get());
        for (const QString& key : lstKeys)
            EXPECT_EQ(pCfg->IsReadOnly(key), !bEditable || key == lstKeys.last()) << key.toStdString();
        fromTree.SetRequirementsEditable(true);
    }
    EXPECT_EQ(pCfg->GetString("HwRequiredComponents", "?", 0), "a;b");
    EXPECT_EQ(pCfg->GetString("HwOptionalComponents", "?", 0), " a; b");
    EXPECT_TRUE(pCfg->GetBool("HwCheckRequirements", false, 0));
}

TEST_F(HwStatusTesterTest, ReadsTheDeviceInformationOfTheTreeAndRejectsValuesOfAnotherType)
{
    HwStatusTester tester(DEVICE);
    values::Tree::Instance()->CreateValue<values::ValueSelection>(DEVICE + g_vdDevInfo.PathName())->AddItem("a;b;c;GPS", 0.0, 1);
    tester.ReadHwListFromTree();
    EXPECT_EQ(tester.FindUnknownHardware(), (Set{"GPS"}));
    values::Tree::Instance()->CreateValue<values::Value<int>>(DEVICE + g_vdDevRequiredComponents.PathName());
    EXPECT_THROW(tester.ReadHwRequirementsFromTree(), ARException);
}

} // namespace
