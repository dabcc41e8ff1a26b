#include "base/arexception.h"
#include "devicecontrol/stddevicedefinition/stdadapter.h"
#include "devicecontrol/stddevicedefinition/stddevicedefinition.h"
#include "devicecontrol/stddevicedefinition/stddevicetree.h"
#include "valueframework/valueclasses/adapter.h"
#include "valueframework/valueclasses/node.h"
#include "valueframework/valueclasses/quadfloat.h"
#include "valueframework/valueclasses/valuedescriptor.h"
#include "valueframework/valueclasses/valuelist.h"
#include "valueframework/valueclasses/valuenumeric.h"
#include "valueframework/valueclasses/valueobservermacros.h"
#include "valueframework/valueclasses/valueselection.h"
#include "valuetestfixture.h"

#include <gmock/gmock.h>

using namespace values;
using namespace StdDeviceDefinition;

namespace
{

std::unique_ptr<ValueBase> MakeFlag()
{
    return std::make_unique<Value<bool>>();
}

const ValueDescriptor s_vdFlag("/Attr/Flag", &MakeFlag);

TEST_F(ValueTreeTest, LookUpOfWrongTypeGivesNullAndAssertsWhenEnabled)
{
    auto* pValue = tree().CreateValue<Value<int>>("/KVTServer/Count");
    RecordingObserver observer;
    EXPECT_EQ(LookUpValue<ValueSelection>("/KVTServer/Count", &observer), nullptr);
    EXPECT_TRUE(pValue->HasObserver(&observer)) << "added before the type check";
    EXPECT_TRUE(m_traces.m_lstLines.isEmpty()) << "no assertion while bit 0x02 is clear";

    ErrorHandler::Instance().SetTraceMask(ErrorHandler::ASSERT_BIT);
    EXPECT_EQ(LookUpValue<ValueSelection>("/KVTServer/Count"), nullptr);
    EXPECT_TRUE(m_traces.Contains("pValue"));
    m_traces.m_lstLines.clear();
    EXPECT_EQ(LookUpValue<Value<int>>("/KVTServer/Missing"), nullptr);
    EXPECT_TRUE(m_traces.m_lstLines.isEmpty()) << "a missing value is no inconsistency";
    EXPECT_EQ(LookUpValue<Value<int>>("/KVTServer/Count"), pValue);
    ReleaseValue(pValue, &observer);
    EXPECT_EQ(pValue, nullptr);
    EXPECT_EQ(tree().Find<Value<int>>("/KVTServer/Count")->GetObserverCount(), 0);
}

TEST_F(ValueTreeTest, CreateByDescriptorMakesOrFindsAndThrowsOnWrongType)
{
    RecordingObserver observer;
    auto* pFlag = CreateValue<Value<bool>>("/Dev1", s_vdFlag, &observer);
    ASSERT_NE(pFlag, nullptr);
    EXPECT_EQ(pFlag->GetPath(), "/Dev1/Attr/Flag");
    EXPECT_EQ(pFlag->GetValueDescriptor(), &s_vdFlag);
    EXPECT_TRUE(pFlag->HasObserver(&observer));
    EXPECT_EQ(CreateValue<Value<bool>>("/Dev1", s_vdFlag), pFlag);
    pFlag->DeleteObserver(&observer);

    tree().CreateValue<Value<int>>("/Dev2/Attr/Flag");
    EXPECT_THAT([] { CreateValue<Value<bool>>("/Dev2", s_vdFlag); },
                testing::ThrowsMessage<ARException>(testing::StrEq("Wrong type assumed for /Attr/Flag.")));
}

TEST_F(ValueTreeTest, GetOrCreateUsesCreatesOrHandsBackADetachedValue)
{
    const QString strPath = QStringLiteral("/KVTServer/OverheadPass/Threshold");
    RecordingObserver observer;
    auto* pThreshold = GetOrCreateValue<ValueNumeric<int>>(strPath, &observer);
    ASSERT_NE(pThreshold, nullptr);
    EXPECT_EQ(GetOrCreateValue<ValueNumeric<int>>(strPath), pThreshold);

    ErrorHandler::Instance().SetTraceMask(ErrorHandler::TRACE_BIT);
    auto* pList = GetOrCreateValue<ValueList<QuadFloat>>(strPath, &observer);
    ASSERT_NE(pList, nullptr);
    EXPECT_TRUE(m_traces.Contains("!!!!!!!MEMORY LEAK! The value with the path '/KVTServer/OverheadPass/Threshold' could not "
                       "be created!!! A value of this name already exists for a different type!!!!!!!!"));
    EXPECT_EQ(tree().FindValue(strPath), pThreshold) << "the tree keeps its value";
    EXPECT_EQ(pList->GetParent(), nullptr);
    EXPECT_TRUE(pList->HasObserver(&observer));
    pList->PushBack(QuadFloat(1, 2, 3, 4)); // usable; LeakSanitizer checks that Clear frees it
    pList->DeleteObserver(&observer);
    pThreshold->DeleteObserver(&observer);
}

TEST_F(ValueTreeTest, AntennaBuilderTakesTheSmallestFreeNumber)
{
    Node* pCfg = tree().GetOrCreateNode("/KVTServer" + g_vdNodeCfg.PathName());
    for (int i = 0; i < 3; ++i)
        StdDeviceTree::Ant::InsertChild(pCfg);
    ASSERT_TRUE(pCfg->RemoveChild(pCfg->GetChild("Ant1")));
    EXPECT_EQ(StdDeviceTree::Ant::InsertChild(pCfg)->GetName(), "Ant1");
    EXPECT_EQ(StdDeviceTree::Ant::InsertChild(pCfg)->GetName(), "Ant3");
    pCfg->GetChild("Ant0")->SetName("Spare");
    EXPECT_EQ(StdDeviceTree::Ant::InsertChild(pCfg)->GetName(), "Ant0");

    // A new configuration node (perhaps where the old one lived) starts at 0.
    tree().Clear();
    pCfg = tree().GetOrCreateNode("/KVTServer" + g_vdNodeCfg.PathName());
    EXPECT_EQ(StdDeviceTree::Ant::InsertChild(pCfg)->GetName(), "Ant0");
}

TEST_F(ValueTreeTest, ChildForDescriptorIsTheFirstCarryingIt)
{
    Node* pNode = tree().GetOrCreateNode("/Dev/Attr");
    ValueBase* pFirst = pNode->InsertChild(std::make_unique<Value<bool>>("First"));
    ValueBase* pSecond = pNode->InsertChild(std::make_unique<Value<bool>>("Second"));
    ValueBase* pNamed = pNode->InsertChild(std::make_unique<Value<bool>>("Flag"));
    EXPECT_EQ(pNode->GetChildValue(&s_vdFlag), pNamed) << "by name while no child carries it";
    pSecond->SetValueDescriptor(&s_vdFlag);
    EXPECT_EQ(pNode->GetChildValue(&s_vdFlag), pSecond);
    pFirst->SetValueDescriptor(&s_vdFlag);
    EXPECT_EQ(pNode->GetChildValue(&s_vdFlag), pFirst);
    pNode->RemoveChild(pFirst);
    EXPECT_EQ(pNode->GetChildValue(&s_vdFlag), pSecond);
    for (int i = 0; i < 40; ++i) // growing past the index's first size
    {
        auto pMore = std::make_unique<Value<bool>>(QStringLiteral("More%1").arg(i));
        pMore->SetValueDescriptor(&s_vdFlag);
        pNode->InsertChild(std::move(pMore));
        EXPECT_EQ(pNode->GetChildValue(&s_vdFlag), pSecond);
    }
    EXPECT_EQ(pNode->GetChildValue(nullptr), nullptr);
}

TEST_F(ValueTreeTest, DeviceBuilderPlacesWhatOthersSpellOut)
{
    ASSERT_NE(StdDeviceTree::Device("/KVTServer"), nullptr);
    // Paths that other components spell out literally.
    for (const char* path : {"/KVTServer/Res/DfR/Azimuth", "/KVTServer/Res/DfR/AzimuthList", "/KVTServer/Res/HeaR/TrueHeading",
                             "/KVTServer/DevAttr/OperationMode", "/KVTServer/Res/PosR/PosLastUpdate", "/KVTServer/Par/Evt/SRStatus",
                             "/KVTServer/Res/PosR/Roll", "/KVTServer/Res/PosR/Pitch", "/KVTServer/Res/PosR/Altitude",
                             "/KVTServer/Res/PosR/PosLatitude", "/KVTServer/Res/PosR/PosLongitude"})
        EXPECT_NE(tree().FindValue(path), nullptr) << path;
}

TEST_F(ValueTreeTest, AdapterForgetsItsNodeWhenItGoes)
{
    Adapter adapter(tree().GetOrCreateNode("/Dev/Attr"));
    tree().CreateValue<Value<bool>>("/Dev/Attr/Flag");
    EXPECT_NE(adapter.GetChild<Value<bool>>(s_vdFlag), nullptr) << "found by descriptor name";
    tree().RemoveValue("/Dev/Attr");
    EXPECT_EQ(adapter.GetNode(), nullptr);
    EXPECT_EQ(adapter.GetChildValue(&s_vdFlag), nullptr);
}

}
