#include "tests/characteristics/characteristicsfixture.h"

#include "devicecontrol/stddevicedefinition/stdadapter.h"
#include "tests/common/tracelog.h"
#include "valueframework/valueclasses/valuenumeric.h"

#include <memory>

namespace {

using namespace StdDeviceDefinition;

/// A refresh reads the antenna nodes through members it found on an earlier
/// refresh; every change to the nodes' make-up must still reach the records.
class RefreshTest : public CharacteristicsFixture
{
protected:
    RefreshTest()
    {
        AddAntenna("HR469", "VQ28", 2e7, 1.3e9);
        AddAntenna("HR443", "VQ28", 1300000001.0, 3e9);
        Bind(false);
    }
    static values::Node* AntennaNode(int nIndex)
    {
        values::Node* pCfg = values::Tree::Instance()->FindNode(DEVICE_PATH + g_vdNodeCfg.PathName());
        return static_cast<values::Node*>(pCfg->GetTreeItems().at(nIndex));
    }
    /// Refreshes and gives the used upper end of every antenna record.
    std::vector<double> Refreshed()
    {
        m_characteristics.UpdateCachedDataFromValueTree();
        std::vector<double> lstMax;
        for (int i = 0; AntennaData* pAntenna = m_characteristics.GetAntennaByIndex(i); ++i)
            lstMax.push_back(pAntenna->m_fMaxRange);
        return lstMax;
    }
};

TEST_F(RefreshTest, FollowsNodesAndMembersComingAndGoing)
{
    ASSERT_EQ(Refreshed(), (std::vector<double>{1.3e9, 3e9}));
    StdAdapter(AntennaNode(1)).GetAntMaxRange()->SetValue(2e9);
    EXPECT_EQ(Refreshed(), (std::vector<double>{1.3e9, 2e9}));

    values::Node* pNode = AntennaNode(1);
    pNode->RemoveChild(pNode->GetChild("AntMaxRange"));
    EXPECT_EQ(Refreshed(), (std::vector<double>{1.3e9, 0.0})) << "a missing member reads as the default";
    auto pPlain = std::make_unique<values::ValueNumeric<double>>("AntMaxRange", 2.5e9);
    pNode->InsertChild(std::move(pPlain));
    EXPECT_EQ(Refreshed(), (std::vector<double>{1.3e9, 2.5e9})) << "a member that comes later is read";

    // No node added or removed, only one that stops being an antenna node.
    AntennaNode(0)->SetValueDescriptor(nullptr);
    EXPECT_EQ(Refreshed(), (std::vector<double>{2.5e9}));

    AddAntenna("HR500", "VQ28", 3000000001.0, 6e9);
    PublishAntennas();
    EXPECT_EQ(Refreshed(), (std::vector<double>{1.3e9, 3e9, 6e9}));
}

TEST_F(RefreshTest, TracesEveryMissingMemberOnEveryRefresh)
{
    values::Node* pNode = AntennaNode(0);
    pNode->RemoveChild(pNode->GetChild("AntCompassValue"));
    m_characteristics.UpdateCachedDataFromValueTree();
    const TraceLog traces(ErrorHandler::TRACE_BIT);
    m_characteristics.UpdateCachedDataFromValueTree();
    m_characteristics.UpdateCachedDataFromValueTree();
    EXPECT_EQ(traces.Count("_GETVALUE AntCompassValue failed - ignored"), 2);
}

} // namespace
