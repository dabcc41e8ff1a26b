#include "base/observable.h"
#include "valuetestfixture.h"

namespace
{

/// Exposes the protected notification.
class Subject : public Observable
{
public:
    using Observable::NotifyObservers;
};

TEST(Observable, NotifiesEveryObserverButTheSender)
{
    Subject subject;
    RecordingObserver a, b;
    EXPECT_TRUE(subject.AddObserver(&a));
    EXPECT_TRUE(subject.AddObserver(&b));
    EXPECT_FALSE(subject.AddObserver(&a));
    EXPECT_FALSE(subject.AddObserver(nullptr));

    subject.NotifyObservers(ChangeCode::ValueChanged, &a);
    EXPECT_TRUE(a.m_lstCalls.empty());
    ASSERT_EQ(b.m_lstCalls.size(), 1u);
    EXPECT_EQ(b.m_lstCalls[0].first, &subject);
    EXPECT_EQ(b.m_lstCalls[0].second, ChangeCode::ValueChanged);
}

TEST(Observable, ObserverMayRemoveItselfOrOthersWhileNotified)
{
    Subject subject;
    RecordingObserver first, second, third, fourth;
    first.m_onUpdate = [&](Observable*, TChangeCode) { subject.DeleteObserver(&first); };
    second.m_onUpdate = [&](Observable*, TChangeCode) { subject.DeleteObserver(&third); };
    for (RecordingObserver* p : {&first, &second, &third, &fourth})
        subject.AddObserver(p);

    subject.NotifyObservers(ChangeCode::ValueChanged, nullptr);
    EXPECT_EQ(first.m_lstCalls.size(), 1u);
    EXPECT_EQ(second.m_lstCalls.size(), 1u);
    EXPECT_TRUE(third.m_lstCalls.empty()) << "removed before its turn";
    EXPECT_EQ(fourth.m_lstCalls.size(), 1u) << "must not be skipped";
    EXPECT_EQ(subject.GetObserverCount(), 2);

    subject.NotifyObservers(ChangeCode::ValueChanged, nullptr);
    EXPECT_EQ(first.m_lstCalls.size(), 1u);
    EXPECT_EQ(fourth.m_lstCalls.size(), 2u);
}

TEST(Observable, MakeFirstObserverIsToldFirst)
{
    Subject subject;
    std::vector<int> order;
    RecordingObserver a, b;
    a.m_onUpdate = [&](Observable*, TChangeCode) { order.push_back(1); };
    b.m_onUpdate = [&](Observable*, TChangeCode) { order.push_back(2); };
    subject.AddObserver(&a);
    subject.MakeFirstObserver(&b);
    subject.NotifyObservers(ChangeCode::ValueChanged, nullptr);
    EXPECT_EQ(order, (std::vector<int>{2, 1}));
    EXPECT_EQ(subject.GetObserverCount(), 2);
}

TEST(Observable, CopyStartsWithoutObservers)
{
    Subject subject;
    RecordingObserver a;
    subject.AddObserver(&a);
    Subject copy(subject);
    EXPECT_EQ(copy.GetObserverCount(), 0);
    Subject assigned;
    RecordingObserver b;
    assigned.AddObserver(&b);
    assigned = subject;
    EXPECT_TRUE(assigned.HasObserver(&b));
    EXPECT_FALSE(assigned.HasObserver(&a));
}

}
