#include "valueframework/valueclasses/node.h"
#include "valueframework/valueclasses/value.h"
#include "valueframework/valueclasses/valuelist.h"
#include "valueframework/valueclasses/quadfloat.h"
#include "valuetestfixture.h"

using values::Node;
using values::Value;
using values::ValueBase;

namespace
{

TEST_F(ValueTreeTest, InsertionCreatesNodesAndLookupFindsThem)
{
    auto* pValue = tree().CreateValue<Value<int>>("/KVTServer/Res/Count", 4);
    ASSERT_NE(pValue, nullptr);
    EXPECT_EQ(pValue->GetPath(), "/KVTServer/Res/Count");
    EXPECT_EQ(tree().FindValue("/KVTServer/Res/Count"), pValue);
    EXPECT_EQ(tree().FindValue("/KVTServer//Res/Count/"), pValue);
    EXPECT_NE(tree().FindNode("/KVTServer/Res"), nullptr);
    EXPECT_EQ(tree().FindNode("/KVTServer/Res/Count"), nullptr);
    EXPECT_EQ(tree().Find<Value<bool>>("/KVTServer/Res/Count"), nullptr);
    EXPECT_EQ(tree().FindNode("/"), tree().GetRoot());

    // Taken name and a value standing where a node is needed.
    EXPECT_EQ(tree().CreateValue<Value<bool>>("/KVTServer/Res/Count"), nullptr);
    EXPECT_EQ(tree().CreateValue<Value<bool>>("/KVTServer/Res/Count/Sub"), nullptr);
}

TEST_F(ValueTreeTest, FailedInsertionLeavesTheValueWithTheCaller)
{
    tree().CreateValue<Value<int>>("/A/X");
    std::unique_ptr<ValueBase> pValue = std::make_unique<Value<bool>>("X");
    EXPECT_FALSE(tree().InsertValue("/A/", pValue));
    ASSERT_NE(pValue, nullptr);
    pValue->SetName("Y");
    EXPECT_TRUE(tree().InsertValue("/A/", pValue));
    EXPECT_EQ(pValue, nullptr);
    EXPECT_NE(tree().Find<Value<bool>>("/A/Y"), nullptr);
}

TEST_F(ValueTreeTest, IndexFollowsRenameRemovalAndManyValues)
{
    Node* pNode = tree().GetOrCreateNode("/Dev/Old");
    tree().CreateValue<Value<int>>("/Dev/Old/V");
    ASSERT_TRUE(pNode->SetName("New"));
    EXPECT_EQ(tree().FindValue("/Dev/Old/V"), nullptr);
    ASSERT_NE(tree().FindValue("/Dev/New/V"), nullptr);
    EXPECT_FALSE(tree().GetOrCreateNode("/Dev/Other")->SetName("New")) << "sibling name taken";

    EXPECT_TRUE(tree().RemoveValue("/Dev/New"));
    EXPECT_EQ(tree().FindValue("/Dev/New/V"), nullptr);
    EXPECT_EQ(tree().GetItemCount(), 2); // /Dev, /Dev/Other

    const int count = 20000;
    for (int i = 0; i < count; ++i)
        tree().CreateValue<Value<int>>(QStringLiteral("/Big/N%1/V%2").arg(i % 100).arg(i), i);
    EXPECT_EQ(tree().GetItemCount(), 2 + 1 + 100 + count);
    for (int i = 0; i < count; i += 997)
    {
        auto* pValue = tree().Find<Value<int>>(QStringLiteral("/Big/N%1/V%2").arg(i % 100).arg(i));
        ASSERT_NE(pValue, nullptr);
        EXPECT_EQ(pValue->GetValue(), i);
    }
    tree().Clear();
    EXPECT_EQ(tree().GetItemCount(), 0);
    EXPECT_EQ(tree().FindValue("/Big/N1/V1"), nullptr);
}

TEST_F(ValueTreeTest, TransactionNotifiesOnceWithItsCode)
{
    auto* pList = tree().CreateValue<values::ValueList<values::QuadFloat>>("/Disp/Ranges");
    RecordingObserver observer;
    pList->AddObserver(&observer);

    pList->StartTransaction();
    pList->Clear();
    pList->StartTransaction(); // nested: only the outer end tells
    pList->PushBack(values::QuadFloat(1, 2, 3, 4));
    EXPECT_TRUE(pList->EndTransaction(ChangeCode::ValueChanged));
    pList->PushBack(values::QuadFloat(5, 6, 7, 8));
    EXPECT_TRUE(observer.m_lstCalls.empty());
    EXPECT_TRUE(pList->IsTransactionActive());

    EXPECT_TRUE(pList->EndTransaction(ChangeCode::ListChanged));
    ASSERT_EQ(observer.m_lstCalls.size(), 1u);
    EXPECT_EQ(observer.m_lstCalls[0].second, ChangeCode::ListChanged);
    EXPECT_EQ(pList->Size(), 2);
    EXPECT_FALSE(pList->EndTransaction(ChangeCode::ValueChanged)) << "no transaction active";
    EXPECT_EQ(observer.m_lstCalls.size(), 1u);

    pList->DeleteObserver(&observer);
}

TEST_F(ValueTreeTest, SetterSkipsItsSender)
{
    auto* pValue = tree().CreateValue<Value<double>>("/V");
    RecordingObserver self, other;
    pValue->AddObserver(&self);
    pValue->AddObserver(&other);
    pValue->SetValue(2.5, &self);
    EXPECT_TRUE(self.m_lstCalls.empty());
    EXPECT_EQ(other.m_lstCalls.size(), 1u);
    pValue->DeleteObservers();
}

TEST_F(ValueTreeTest, RemovedValueAnnouncesGoneAndNodeAnnouncesRemoval)
{
    Node* pNode = tree().GetOrCreateNode("/Dev/Cfg");
    auto* pValue = tree().CreateValue<Value<QString>>("/Dev/Cfg/Name");
    RecordingObserver nodeObserver, valueObserver;
    int stateSeen = -1;
    valueObserver.m_onUpdate = [&](Observable* pSender, TChangeCode) {
        // Observers holding the typed pointer compare it and read the state.
        if (pSender == pValue)
            stateSeen = pValue->GetState();
        pValue->DeleteObserver(&valueObserver);
    };
    pNode->AddObserver(&nodeObserver);
    pValue->AddObserver(&valueObserver);

    delete pNode; // deleting a node takes it out of the tree
    EXPECT_EQ(tree().FindValue("/Dev/Cfg"), nullptr);
    EXPECT_EQ(tree().FindValue("/Dev/Cfg/Name"), nullptr);
    ASSERT_EQ(nodeObserver.m_lstCalls.size(), 1u);
    EXPECT_EQ(nodeObserver.m_lstCalls[0].second, ChangeCode::NodeRemoved);
    ASSERT_EQ(valueObserver.m_lstCalls.size(), 1u);
    EXPECT_EQ(valueObserver.m_lstCalls[0].second, ChangeCode::StateChanged);
    EXPECT_EQ(stateSeen, ValueBase::STATE_GONE);
    EXPECT_NE(tree().FindNode("/Dev"), nullptr);
}

TEST_F(ValueTreeTest, ClearAnnouncesGoneToObservers)
{
    auto* pValue = tree().CreateValue<Value<bool>>("/A/B");
    RecordingObserver observer;
    pValue->AddObserver(&observer);
    tree().Clear();
    ASSERT_EQ(observer.m_lstCalls.size(), 1u);
    EXPECT_EQ(observer.m_lstCalls[0].second, ChangeCode::StateChanged);
}

}
