#include "base/arexception.h"
#include "valueframework/valueclasses/adapter.h"
#include "valueframework/valueclasses/quadfloat.h"
#include "valueframework/valueclasses/selitemdesc.h"
#include "valueframework/valueclasses/valuedescriptor.h"
#include "valueframework/valueclasses/valuefactory.h"
#include "valueframework/valueclasses/valuelist.h"
#include "valueframework/valueclasses/valuenumeric.h"
#include "valueframework/valueclasses/valueobservermacros.h"
#include "valueframework/valueclasses/valueselection.h"
#include "valuetestfixture.h"

using namespace values;

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
    EXPECT_TRUE(m_lstLines.isEmpty()) << "no assertion while bit 0x02 is clear";

    ErrorHandler::Instance().SetTraceMask(ErrorHandler::ASSERT_BIT);
    EXPECT_EQ(LookUpValue<ValueSelection>("/KVTServer/Count"), nullptr);
    EXPECT_TRUE(Logged("pValue"));
    m_lstLines.clear();
    EXPECT_EQ(LookUpValue<Value<int>>("/KVTServer/Missing"), nullptr);
    EXPECT_TRUE(m_lstLines.isEmpty()) << "a missing value is no inconsistency";
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
    EXPECT_EQ(ValueDescriptor::GetBasePath(), "/Dev1");
    EXPECT_EQ(CreateValue<Value<bool>>("/Dev1", s_vdFlag), pFlag);

    tree().CreateValue<Value<int>>("/Dev2/Attr/Flag");
    try
    {
        CreateValue<Value<bool>>("/Dev2", s_vdFlag);
        FAIL() << "no exception";
    }
    catch (const ARException& e)
    {
        EXPECT_EQ(e.GetMessage(), "Wrong type assumed for /Attr/Flag.");
        EXPECT_EQ(e.GetFunction(), "CreateValue");
        EXPECT_TRUE(e.GetSourceFile().endsWith("valueobservermacros.h"));
    }
    pFlag->DeleteObserver(&observer);
}

TEST_F(ValueTreeTest, GetOrCreateUsesCreatesOrHandsBackADetachedValue)
{
    RecordingObserver observer;
    auto* pThreshold = GetOrCreateValue<ValueNumeric<int>>("/KVTServer/OverheadPass/Threshold", &observer);
    ASSERT_NE(pThreshold, nullptr);
    EXPECT_EQ(tree().FindValue("/KVTServer/OverheadPass/Threshold"), pThreshold);
    EXPECT_EQ(GetOrCreateValue<ValueNumeric<int>>("/KVTServer/OverheadPass/Threshold"), pThreshold);
    EXPECT_TRUE(m_lstLines.isEmpty());

    ErrorHandler::Instance().SetTraceMask(ErrorHandler::TRACE_BIT);
    auto* pList = GetOrCreateValue<ValueList<QuadFloat>>("/KVTServer/OverheadPass/Threshold", &observer);
    ASSERT_NE(pList, nullptr);
    EXPECT_TRUE(Logged("!!!!!!!MEMORY LEAK! The value with the path '/KVTServer/OverheadPass/Threshold' could not "
                       "be created!!! A value of this name already exists for a different type!!!!!!!!"));
    EXPECT_EQ(tree().FindValue("/KVTServer/OverheadPass/Threshold"), pThreshold) << "the tree keeps its value";
    EXPECT_EQ(pList->GetParent(), nullptr);
    EXPECT_EQ(pList->GetName(), "Threshold");
    EXPECT_TRUE(pList->HasObserver(&observer));
    pList->PushBack(QuadFloat(1, 2, 3, 4)); // usable; LeakSanitizer checks that Clear frees it
    pList->DeleteObserver(&observer);
    pThreshold->DeleteObserver(&observer);
}

TEST_F(ValueTreeTest, CloneIsDetachedAndComplete)
{
    auto* pNumber = tree().CreateValue<ValueNumeric<double>>("/N/Level", 3.5, -1.0, 10.0, 0.5);
    RecordingObserver observer;
    pNumber->AddObserver(&observer);
    std::unique_ptr<ValueBase> pCopy = ValueFactory::Instance().CloneValue(pNumber);
    auto* pTyped = dynamic_cast<ValueNumeric<double>*>(pCopy.get());
    ASSERT_NE(pTyped, nullptr);
    EXPECT_EQ(pTyped->GetValue(), 3.5);
    EXPECT_EQ(pTyped->GetMax(), 10.0);
    EXPECT_EQ(pTyped->GetStep(), 0.5);
    EXPECT_EQ(pTyped->GetObserverCount(), 0);
    EXPECT_EQ(pTyped->GetParent(), nullptr);
    EXPECT_EQ(ValueFactory::Instance().CloneValue(nullptr), nullptr);

    pTyped->SetValue(7.0);
    EXPECT_TRUE(pNumber->Assign(*pTyped));
    EXPECT_EQ(pNumber->GetValue(), 7.0);
    EXPECT_FALSE(pNumber->Assign(Value<QString>()));
    pNumber->DeleteObserver(&observer);
}

TEST_F(ValueTreeTest, AdapterForgetsItsNodeWhenItGoes)
{
    Node* pNode = tree().GetOrCreateNode("/Dev/Attr");
    tree().CreateValue<Value<bool>>("/Dev/Attr/Flag");
    Adapter adapter(pNode);
    EXPECT_NE(adapter.GetChild<Value<bool>>(s_vdFlag), nullptr) << "found by descriptor name";
    tree().RemoveValue("/Dev/Attr");
    EXPECT_EQ(adapter.GetNode(), nullptr);
    EXPECT_EQ(adapter.GetChildValue(&s_vdFlag), nullptr);
}

TEST_F(ValueTreeTest, SelItemDescAppendsTables)
{
    static const SelItemDesc s_aSteps[] = {{"0 dB", 0.0, 0}, {"12 dB", 12.0, 1}, {nullptr, 24.0, 2}};
    ValueSelection selection;
    EXPECT_EQ(SelItemDesc::AddItems(s_aSteps, 3, &selection), 3);
    EXPECT_EQ(SelItemDesc::AddItems(s_aSteps, 3, nullptr), 0);
    ASSERT_EQ(selection.GetItemCount(), 3);
    EXPECT_EQ(selection.GetItem(1)->GetValue(), 12.0);
    EXPECT_EQ(selection.GetItem(2)->GetName(), QString());
    EXPECT_EQ(selection.GetItem(3), nullptr);
}

}
