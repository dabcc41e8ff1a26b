#include "devicecontrol/stddevicedefinition/stdadapter.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "devicecontrol/stddevicedefinition/stddevicetree.h"
#include "valueframework/valueclasses/node.h"
#include "valueframework/valueclasses/valuelist.h"
#include "valuetestfixture.h"

using namespace StdDeviceDefinition;

namespace
{

TEST_F(ValueTreeTest, AntennaBuilderCreatesEveryMember)
{
    values::Node* pCfg = tree().GetOrCreateNode("/KVTServer" + g_vdNodeCfg.PathName());
    values::Node* pFirst = StdDeviceTree::Ant::InsertChild(pCfg);
    ASSERT_NE(pFirst, nullptr);
    EXPECT_EQ(values::ValueDescriptor::GetBasePath(), pFirst->GetPath());
    values::Node* pSecond = StdDeviceTree::Ant::InsertChild(pCfg);
    ASSERT_NE(pSecond, nullptr);
    EXPECT_NE(pFirst->GetName(), pSecond->GetName());
    EXPECT_EQ(pSecond->GetValueDescriptor(), &g_vdNodeAnt);
    EXPECT_EQ(StdDeviceTree::Ant::InsertChild(nullptr), nullptr);

    ErrorHandler::Instance().SetTraceMask(ErrorHandler::TRACE_BIT | ErrorHandler::ASSERT_BIT);
    StdAdapter adapter(pSecond);
    const QList<values::ValueBase*> members = {
        adapter.GetAntChanged(), adapter.GetAntName(), adapter.GetAntHandle(), adapter.GetAntEnabled(),
        adapter.GetAntMinRange(), adapter.GetAntMaxRange(), adapter.GetAntCompassEnabled(),
        adapter.GetAntMechOffset(), adapter.GetAntCompassSupport(), adapter.GetAntDfAlgorithm(),
        adapter.GetAntMinFreq(), adapter.GetAntMaxFreq(), adapter.GetAntPolarizationSupport(),
        adapter.GetAntPolarizationMode(), adapter.GetAntActivePassiveSupport(), adapter.GetAntCompassValue(),
        adapter.GetAntCompassHandle(), adapter.GetAntConverterHandle(), adapter.GetAntConverterTypeName()};
    EXPECT_EQ(pSecond->GetChildCount(), members.size());
    for (values::ValueBase* pMember : members)
        EXPECT_NE(pMember, nullptr);
    EXPECT_TRUE(m_lstLines.isEmpty()) << m_lstLines.join('\n').toStdString();
}

TEST_F(ValueTreeTest, AntennaAdapterReportsWrongNodeAndMissingMembers)
{
    ErrorHandler::Instance().SetTraceMask(ErrorHandler::TRACE_BIT | ErrorHandler::ASSERT_BIT);
    values::Node* pNode = tree().GetOrCreateNode("/KVTServer/Other");
    tree().CreateValue<values::Value<int>>("/KVTServer/Other/AntName");
    StdAdapter adapter(pNode);
    EXPECT_TRUE(Logged("pNode->GetValueDescriptor () == &g_vdNodeAnt"));
    EXPECT_EQ(adapter.GetAntName(), nullptr) << "an int is not the name";
    EXPECT_TRUE(Logged("_GETVALUE AntName failed - ignored"));
    EXPECT_EQ(adapter.GetAntHandle(), nullptr);
    EXPECT_TRUE(Logged("_GETVALUE AntHandle failed - ignored"));
}

TEST_F(ValueTreeTest, DeviceBuilderAgreesWithTheFixedPaths)
{
    ASSERT_NE(StdDeviceTree::Device("/KVTServer"), nullptr);
    EXPECT_NE(tree().Find<values::Value<values::BearingResult>>("/KVTServer/Res/DfR/Azimuth"), nullptr);
    EXPECT_NE(tree().Find<values::ValueList<values::BearingResult>>("/KVTServer/Res/DfR/AzimuthList"), nullptr);
    EXPECT_NE(tree().Find<values::ValueNumeric<int>>("/KVTServer/Res/HeaR/TrueHeading"), nullptr);
    EXPECT_NE(tree().Find<values::ValueSelection>("/KVTServer/DevAttr/OperationMode"), nullptr);
    EXPECT_NE(tree().Find<values::Value<qint64>>("/KVTServer/Res/PosR/PosLastUpdate"), nullptr);
    for (const char* path : {"/KVTServer/Res/PosR/Roll", "/KVTServer/Res/PosR/Pitch", "/KVTServer/Res/PosR/Altitude",
                             "/KVTServer/Res/PosR/PosLatitude", "/KVTServer/Res/PosR/PosLongitude"})
        EXPECT_NE(tree().Find<values::ValueNumeric<double>>(path), nullptr) << path;
    EXPECT_NE(tree().Find<values::ValueSelection>("/KVTServer/Par/Evt/SRStatus"), nullptr);

    // Every catalogue entry is in place, each at its own path.
    for (const values::ValueDescriptor* pDescriptor : GetDeviceDescriptors())
    {
        values::ValueBase* pValue = tree().FindValue("/KVTServer" + pDescriptor->PathName());
        ASSERT_NE(pValue, nullptr) << pDescriptor->PathName().toStdString();
        EXPECT_EQ(pValue->GetValueDescriptor(), pDescriptor);
    }

    auto* pDevType = tree().Find<values::ValueSelection>("/KVTServer" + g_vdDevType.PathName());
    ASSERT_NE(pDevType, nullptr);
    EXPECT_TRUE(pDevType->SetStringValue("KVTP1"));
    auto* pPolarisation = tree().Find<values::ValueSelection>("/KVTServer" + g_vdPolarisation.PathName());
    ASSERT_NE(pPolarisation, nullptr);
    EXPECT_TRUE(pPolarisation->SetCurrentKey(3));
    EXPECT_EQ(pPolarisation->GetCurrentText(), "Horizontal");
}

}
