#include "base/observable.h"
#include "valueframework/valueclasses/node.h"
#include "valueframework/valueclasses/quadfloat.h"
#include "valueframework/valueclasses/value.h"
#include "valueframework/valueclasses/valuefactory.h"
#include "valueframework/valueclasses/valuelist.h"
#include "valueframework/valueclasses/valuenumeric.h"
#include "valuetestfixture.h"

using namespace values;

namespace
{

/// Exposes the protected notification.
class Subject : public Observable
{
public:
    using Observable::NotifyObservers;
};

TEST(Observable, SkipsTheSenderAndSurvivesRemovalWhileNotifying)
{
    Subject subject;
    RecordingObserver first, second, third, fourth;
    EXPECT_FALSE(subject.AddObserver(nullptr));
    for (RecordingObserver* p : {&first, &second, &third, &fourth})
        EXPECT_TRUE(subject.AddObserver(p));
    EXPECT_FALSE(subject.AddObserver(&first));

    subject.NotifyObservers(ChangeCode::ValueChanged, &first);
    EXPECT_TRUE(first.m_lstCalls.empty());
    ASSERT_EQ(second.m_lstCalls.size(), 1u);
    EXPECT_EQ(second.m_lstCalls[0].first, &subject);
    EXPECT_EQ(second.m_lstCalls[0].second, ChangeCode::ValueChanged);

    first.m_onUpdate = [&](Observable*, TChangeCode) { subject.DeleteObserver(&first); };
    second.m_onUpdate = [&](Observable*, TChangeCode) { subject.DeleteObserver(&third); };
    subject.NotifyObservers(ChangeCode::ValueChanged, nullptr);
    EXPECT_EQ(first.m_lstCalls.size(), 1u);
    EXPECT_EQ(third.m_lstCalls.size(), 1u) << "removed before its turn";
    EXPECT_EQ(fourth.m_lstCalls.size(), 2u) << "must not be skipped";
    EXPECT_EQ(subject.GetObserverCount(), 2);

    Subject copy(subject);
    EXPECT_EQ(copy.GetObserverCount(), 0);
    copy.AddObserver(&third);
    copy = subject;
    EXPECT_TRUE(copy.HasObserver(&third)) << "assignment keeps the target's own observers";
    EXPECT_FALSE(copy.HasObserver(&fourth));
}

TEST_F(ValueTreeTest, TransactionNotifiesOnceWithItsCode)
{
    auto* pList = tree().CreateValue<ValueList<QuadFloat>>("/Disp/Ranges");
    RecordingObserver observer;
    pList->AddObserver(&observer);
    pList->StartTransaction();
    pList->Clear();
    pList->StartTransaction(); // nested: only the outer end tells
    pList->PushBack(QuadFloat(1, 2, 3, 4));
    EXPECT_TRUE(pList->EndTransaction(ChangeCode::ValueChanged));
    pList->PushBack(QuadFloat(5, 6, 7, 8));
    EXPECT_TRUE(observer.m_lstCalls.empty());
    EXPECT_TRUE(pList->EndTransaction(ChangeCode::ListChanged));
    ASSERT_EQ(observer.m_lstCalls.size(), 1u);
    EXPECT_EQ(observer.m_lstCalls[0].second, ChangeCode::ListChanged);
    EXPECT_FALSE(pList->EndTransaction(ChangeCode::ValueChanged)) << "no transaction active";
    pList->DeleteObserver(&observer);
}

TEST_F(ValueTreeTest, RemovedValuesAnnounceGoneAndNodesTheirRemoval)
{
    Node* pNode = tree().GetOrCreateNode("/Dev/Cfg");
    auto* pValue = tree().CreateValue<Value<QString>>("/Dev/Cfg/Name");
    RecordingObserver nodeObserver, valueObserver, other;
    int stateSeen = -1;
    valueObserver.m_onUpdate = [&](Observable* pSender, TChangeCode) {
        // Observers holding the typed pointer compare it and read the state.
        if (pSender == pValue)
            stateSeen = pValue->GetState();
        pValue->DeleteObserver(&valueObserver);
    };
    pNode->AddObserver(&nodeObserver);
    pValue->AddObserver(&other);
    pValue->SetValue(QStringLiteral("x"), &valueObserver); // a setter skips its sender, too
    pValue->AddObserver(&valueObserver);

    delete pNode; // deleting a node takes it out of the tree
    EXPECT_EQ(tree().FindValue("/Dev/Cfg/Name"), nullptr);
    ASSERT_EQ(nodeObserver.m_lstCalls.size(), 1u);
    EXPECT_EQ(nodeObserver.m_lstCalls[0].second, ChangeCode::NodeRemoved);
    ASSERT_EQ(valueObserver.m_lstCalls.size(), 1u);
    EXPECT_EQ(valueObserver.m_lstCalls[0].second, ChangeCode::StateChanged);
    EXPECT_EQ(stateSeen, ValueBase::STATE_GONE);
    ASSERT_EQ(other.m_lstCalls.size(), 2u);
    EXPECT_EQ(other.m_lstCalls[1].second, ChangeCode::StateChanged);
    EXPECT_NE(tree().FindNode("/Dev"), nullptr);

    tree().CreateValue<Value<bool>>("/A/B")->AddObserver(&other);
    tree().Clear();
    ASSERT_EQ(other.m_lstCalls.size(), 3u);
    EXPECT_EQ(other.m_lstCalls[2].second, ChangeCode::StateChanged);
}

TEST_F(ValueTreeTest, InsertionCreatesNodesAndRefusesClashes)
{
    auto* pValue = tree().CreateValue<Value<int>>("/KVTServer/Res/Count", 4);
    ASSERT_NE(pValue, nullptr);
    EXPECT_EQ(pValue->GetPath(), "/KVTServer/Res/Count");
    EXPECT_EQ(tree().FindValue("/KVTServer//Res/Count/"), pValue);
    EXPECT_EQ(tree().FindNode("/KVTServer/Res/Count"), nullptr);
    EXPECT_EQ(tree().Find<Value<bool>>("/KVTServer/Res/Count"), nullptr);
    EXPECT_EQ(tree().CreateValue<Value<bool>>("/KVTServer/Res/Count"), nullptr) << "name taken";
    EXPECT_EQ(tree().CreateValue<Value<bool>>("/KVTServer/Res/Count/Sub"), nullptr) << "a value is no node";

    // A refused value stays with the caller.
    std::unique_ptr<ValueBase> pOwned = std::make_unique<Value<bool>>("Count");
    EXPECT_FALSE(tree().InsertValue("/KVTServer/Res", pOwned));
    ASSERT_NE(pOwned, nullptr);
    pOwned->SetName("Flag");
    EXPECT_TRUE(tree().InsertValue("/KVTServer/Res", pOwned));
    EXPECT_EQ(pOwned, nullptr);
    EXPECT_NE(tree().Find<Value<bool>>("/KVTServer/Res/Flag"), nullptr);
}

TEST_F(ValueTreeTest, IndexFollowsRenameRemovalAndManyValues)
{
    Node* pNode = tree().GetOrCreateNode("/Dev/Old");
    tree().CreateValue<Value<int>>("/Dev/Old/V");
    ASSERT_TRUE(pNode->SetName("New"));
    EXPECT_EQ(tree().FindValue("/Dev/Old/V"), nullptr);
    EXPECT_NE(tree().FindValue("/Dev/New/V"), nullptr);
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

TEST_F(ValueTreeTest, CloneIsDetachedAndComplete)
{
    auto* pNumber = tree().CreateValue<ValueNumeric<double>>("/N/Level", 3.5, -1.0, 10.0, 0.5);
    RecordingObserver observer;
    pNumber->AddObserver(&observer);
    std::unique_ptr<ValueBase> pCopy = ValueFactory::Instance().CloneValue(pNumber);
    auto* pTyped = dynamic_cast<ValueNumeric<double>*>(pCopy.get());
    ASSERT_NE(pTyped, nullptr);
    EXPECT_EQ(pTyped->GetValue(), 3.5);
    EXPECT_EQ(pTyped->GetStep(), 0.5);
    EXPECT_EQ(pTyped->GetObserverCount(), 0);
    EXPECT_EQ(pTyped->GetParent(), nullptr);
    pNumber->DeleteObserver(&observer);
}

}
