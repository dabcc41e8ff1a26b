#include "base/observable.h"
#include "valueframework/valueclasses/bearingresult.h"
#include "valueframework/valueclasses/node.h"
#include "valueframework/valueclasses/quadfloat.h"
#include "valueframework/valueclasses/trafficcontrolfrequency.h"
#include "valueframework/valueclasses/value.h"
#include "valueframework/valueclasses/valuefactory.h"
#include "valueframework/valueclasses/valuelist.h"
#include "valueframework/valueclasses/valuenumeric.h"
#include "valueframework/valueclasses/valueselection.h"
#include "valuetestfixture.h"

#include <cmath>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

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
    for (RecordingObserver* p : {&first, &second, &third, &fourth})
        EXPECT_TRUE(subject.AddObserver(p));
    EXPECT_FALSE(subject.AddObserver(&first));

    subject.NotifyObservers(ChangeCode::ValueChanged, &first);
    EXPECT_TRUE(first.m_lstCalls.empty());
    EXPECT_EQ(second.m_lstCalls, (std::vector<std::pair<Observable*, TChangeCode>>{{&subject, ChangeCode::ValueChanged}}));

    first.m_onUpdate = [&](Observable*, TChangeCode) { subject.DeleteObserver(&first); };
    second.m_onUpdate = [&](Observable*, TChangeCode) { subject.DeleteObserver(&third); };
    subject.NotifyObservers(ChangeCode::ValueChanged, nullptr);
    EXPECT_EQ(first.m_lstCalls.size(), 1u);
    EXPECT_EQ(third.m_lstCalls.size(), 1u) << "removed before its turn";
    EXPECT_EQ(fourth.m_lstCalls.size(), 2u) << "must not be skipped";
    EXPECT_EQ(subject.GetObserverCount(), 2);
}

TEST_F(ValueTreeTest, TransactionNotifiesOnceWithItsCode)
{
    auto* pList = tree().CreateValue<ValueList<QuadFloat>>("/Disp/Ranges");
    RecordingObserver observer;
    pList->AddObserver(&observer);
    pList->StartTransaction();
    pList->StartTransaction(); // nested: only the outer end tells
    pList->PushBack(QuadFloat(1, 2, 3, 4));
    EXPECT_TRUE(pList->EndTransaction(ChangeCode::ValueChanged));
    pList->PushBack(QuadFloat(5, 6, 7, 8));
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
    pValue->AddObserver(&valueObserver);
    pValue->SetValue(QStringLiteral("x"), &valueObserver); // a setter skips its sender, too

    delete pNode; // deleting a node takes it out of the tree
    EXPECT_EQ(tree().FindValue("/Dev/Cfg/Name"), nullptr);
    ASSERT_EQ(nodeObserver.m_lstCalls.size(), 1u);
    EXPECT_EQ(nodeObserver.m_lstCalls[0].second, ChangeCode::NodeRemoved);
    ASSERT_EQ(valueObserver.m_lstCalls.size(), 1u);
    EXPECT_EQ(valueObserver.m_lstCalls[0].second, ChangeCode::StateChanged);
    EXPECT_EQ(stateSeen, ValueBase::STATE_GONE);
    ASSERT_EQ(other.m_lstCalls.size(), 2u);
    EXPECT_EQ(other.m_lstCalls[1].second, ChangeCode::StateChanged);
}

TEST_F(ValueTreeTest, ObserversMayDestroyWhatTheyObserve)
{
    // Run under AddressSanitizer: the notifying loops must not touch the
    // destroyed value or node again.
    auto* pValue = tree().CreateValue<Value<int>>("/Dev/Level");
    RecordingObserver remover, later;
    remover.m_onUpdate = [&](Observable*, TChangeCode code) {
        if (code == ChangeCode::ValueChanged)
            tree().RemoveValue("/Dev/Level");
    };
    pValue->AddObserver(&remover);
    pValue->AddObserver(&later);
    pValue->SetValue(1);
    EXPECT_EQ(tree().FindValue("/Dev/Level"), nullptr);
    ASSERT_EQ(later.m_lstCalls.size(), 1u) << "told of the end, not of the change any more";
    EXPECT_EQ(later.m_lstCalls[0].second, ChangeCode::StateChanged);

    // A node whose observer removes it again while it announces its removal,
    // and a node destroyed from inside a notification of its own.
    Node* pNode = tree().GetOrCreateNode("/Dev/Cfg");
    tree().CreateValue<Value<bool>>("/Dev/Cfg/Flag")->AddObserver(&later);
    RecordingObserver nodeRemover;
    nodeRemover.m_onUpdate = [&](Observable*, TChangeCode) { tree().RemoveValue("/Dev/Cfg"); };
    pNode->AddObserver(&nodeRemover);
    delete pNode; // announces first, then leaves the tree: the observer finds it there
    EXPECT_EQ(nodeRemover.m_lstCalls.size(), 1u);
    EXPECT_EQ(later.m_lstCalls.size(), 2u);
    EXPECT_EQ(tree().FindValue("/Dev/Cfg/Flag"), nullptr);

    pNode = tree().GetOrCreateNode("/Dev/Other");
    pNode->AddObserver(&nodeRemover);
    pNode->AddObserver(&later);
    nodeRemover.m_onUpdate = [&](Observable*, TChangeCode code) {
        if (code == ChangeCode::ValueChanged)
            tree().RemoveValue("/Dev/Other");
    };
    pNode->NotifyObservers(ChangeCode::ValueChanged, nullptr);
    EXPECT_EQ(tree().FindValue("/Dev/Other"), nullptr);
    ASSERT_EQ(later.m_lstCalls.size(), 3u);
    EXPECT_EQ(later.m_lstCalls[2].second, ChangeCode::NodeRemoved);
}

// Clear removes what is there when it begins and ends whatever observers do:
// a value re-created on its departure notice stays (until the next Clear),
// one removed by an observer ahead of its turn is not missed, and a node that
// is going away takes no new children.
TEST_F(ValueTreeTest, ClearEndsWhateverObserversDo)
{
    RecordingObserver recreator, remover, inserter;
    recreator.m_onUpdate = [&](Observable*, TChangeCode code) {
        if (code == ChangeCode::StateChanged)
            tree().CreateValue<Value<int>>("/Dev/Level")->AddObserver(&recreator);
    };
    Node* pCfg = tree().GetOrCreateNode("/Cfg");
    inserter.m_onUpdate = [&](Observable*, TChangeCode) {
        EXPECT_EQ(pCfg->InsertChild(std::make_unique<Value<bool>>("Late")), nullptr);
    };
    remover.m_onUpdate = [&](Observable*, TChangeCode) { tree().RemoveValue("/Dev"); };
    tree().CreateValue<Value<bool>>("/Cfg/Flag")->AddObserver(&inserter);
    tree().CreateValue<Value<int>>("/Dev/Level")->AddObserver(&recreator);
    tree().GetOrCreateNode("/Middle");
    tree().CreateValue<Value<int>>("/Last")->AddObserver(&remover);

    tree().Clear(); // "/Last" goes first and removes "/Dev" ahead of its turn
    EXPECT_EQ(remover.m_lstCalls.size(), 1u);
    EXPECT_EQ(inserter.m_lstCalls.size(), 1u);
    EXPECT_EQ(recreator.m_lstCalls.size(), 1u);
    EXPECT_EQ(tree().GetItemCount(), 2) << "only the re-created /Dev/Level";
    ASSERT_NE(tree().FindValue("/Dev/Level"), nullptr);
    tree().Clear();
    EXPECT_EQ(recreator.m_lstCalls.size(), 2u);
    tree().FindValue("/Dev/Level")->DeleteObserver(&recreator);
    tree().Clear();
    EXPECT_EQ(tree().GetItemCount(), 0);
}

// Paths tens of thousands of levels deep are created, found, renamed,
// cloned, removed and cleared (creating one costs time linear in its depth:
// bench/deeppathbench).
TEST_F(ValueTreeTest, DeepPathsWork)
{
    const int nDepth = 50000;
    QString path;
    for (int i = 0; i < nDepth; ++i)
        path += QStringLiteral("/n");
    auto* pValue = tree().CreateValue<Value<int>>(path + "/v", 7);
    ASSERT_NE(pValue, nullptr);
    EXPECT_EQ(tree().FindValue(path + "/v"), pValue);
    EXPECT_EQ(tree().GetItemCount(), nDepth + 1);
    ASSERT_TRUE(tree().FindNode("/n")->SetName("m"));
    EXPECT_EQ(tree().FindValue(path + "/v"), nullptr);
    EXPECT_EQ(tree().FindValue("/m" + path.mid(2) + "/v"), pValue);
    EXPECT_EQ(pValue->GetPath(), "/m" + path.mid(2) + "/v");
    std::unique_ptr<ValueBase> pCopy = tree().FindNode("/m")->Clone();
    ASSERT_TRUE(pCopy->SetName("c"));
    ASSERT_TRUE(tree().InsertValue("/", pCopy));
    EXPECT_EQ(tree().Find<Value<int>>("/c" + path.mid(2) + "/v")->GetValue(), 7);
    // A removed node takes what lies below it out of the index.
    EXPECT_TRUE(tree().RemoveValue("/m"));
    EXPECT_EQ(tree().FindValue("/m" + path.mid(2) + "/v"), nullptr);
    EXPECT_EQ(tree().GetItemCount(), nDepth + 1);
    tree().Clear();
    EXPECT_EQ(tree().GetItemCount(), 0);
}

TEST_F(ValueTreeTest, InsertionCreatesNodesAndRefusesClashes)
{
    auto* pValue = tree().CreateValue<Value<int>>("/KVTServer/Res/Count", 4);
    ASSERT_NE(pValue, nullptr);
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

TEST_F(ValueTreeTest, LookupsNormaliseAndSurviveChurn)
{
    auto* pValue = tree().CreateValue<Value<int>>("/A/X");
    auto* pOther = tree().CreateValue<Value<int>>("/B/X");
    EXPECT_EQ(tree().FindValue("A/X"), pValue);
    EXPECT_EQ(tree().FindValue("//B///X//"), pOther);
    EXPECT_EQ(tree().FindValue("/"), tree().GetRoot());
    EXPECT_EQ(tree().FindValue("/A/X/Y"), nullptr);
    EXPECT_EQ(tree().FindValue("/X"), nullptr);
    EXPECT_EQ(tree().FindValue("/AX"), nullptr);

    // Removing from the middle of probe runs must keep every other entry
    // reachable.
    const int count = 3000;
    auto path = [](int i) { return QStringLiteral("/C/N%1/V%2").arg(i % 7).arg(i); };
    for (int i = 0; i < count; ++i)
        tree().CreateValue<Value<int>>(path(i), i);
    for (int round = 0; round < 2; ++round)
    {
        for (int i = round; i < count; i += 3)
            EXPECT_TRUE(tree().RemoveValue(path(i))) << i;
        for (int i = 0; i < count; ++i)
        {
            auto* pFound = tree().Find<Value<int>>(path(i));
            const bool bRemoved = i % 3 == round;
            EXPECT_EQ(pFound == nullptr, bRemoved) << i;
            EXPECT_TRUE(bRemoved || pFound->GetValue() == i) << i;
        }
        for (int i = round; i < count; i += 3)
            tree().CreateValue<Value<int>>(path(i), i);
    }
    EXPECT_EQ(tree().GetItemCount(), 2 + 2 + 1 + 7 + count);

    // A detached node answers by name as well.
    Node detached("D");
    detached.InsertChild(std::make_unique<Value<int>>("V"));
    EXPECT_NE(detached.GetChild("V"), nullptr);
    EXPECT_FALSE(detached.CanInsertChild("V"));
}

// Plain paths are hashed a word (four units) at a time, other forms and
// inserted names a unit at a time: both must agree for names of every length
// at every offset, and names that differ only in zero or high units differ.
TEST_F(ValueTreeTest, LookupsAgreeForEveryNameLengthAndOffset)
{
    std::vector<std::pair<QString, ValueBase*>> lstItems;
    for (int nParent = 1; nParent <= 5; ++nParent)
    {
        for (int nLeaf = 1; nLeaf <= 9; ++nLeaf)
        {
            const QString path = "/" + QString(nParent, QLatin1Char('p')) + "/" + QString(nLeaf, QLatin1Char('v'));
            lstItems.emplace_back(path, tree().CreateValue<Value<int>>(path));
        }
    }
    const QString zero(QChar(0)), high(QChar(0xfffd));
    for (const QString& name : {QString("ab"), "ab" + zero, "ab" + zero + zero, "a" + high, high + "a", high})
        lstItems.emplace_back("/Odd/" + name, tree().CreateValue<Value<int>>("/Odd/" + name));
    for (const auto& item : lstItems)
    {
        ASSERT_NE(item.second, nullptr) << item.first.toStdString();
        EXPECT_EQ(tree().FindValue(item.first), item.second) << item.first.toStdString();
        EXPECT_EQ(tree().FindValue(item.first.mid(1)), item.second);
        EXPECT_EQ(tree().FindValue(item.first + "/"), item.second);
        EXPECT_EQ(tree().FindValue(QString(item.first).replace("/", "//")), item.second);
        EXPECT_EQ(tree().FindValue(item.first + "x"), nullptr);
        EXPECT_NE(tree().FindValue(item.first.chopped(1)), item.second);
    }
}

TEST_F(ValueTreeTest, CloneIsDetachedAndComplete)
{
    auto* pNumber = tree().CreateValue<ValueNumeric<double>>("/N/Level", 3.5, -1.0, 10.0, 0.5);
    RecordingObserver observer;
    pNumber->AddObserver(&observer);
    std::unique_ptr<ValueBase> pCopy = ValueFactory::Instance().CloneValue(pNumber);
    auto* pTyped = dynamic_cast<ValueNumeric<double>*>(pCopy.get());
    ASSERT_NE(pTyped, nullptr);
    EXPECT_TRUE(pTyped->GetValue() == 3.5 && pTyped->GetMax() == 10.0 && pTyped->GetStep() == 0.5);
    EXPECT_EQ(pTyped->GetObserverCount(), 0);
    pNumber->DeleteObserver(&observer);
}

/// Copies `source` into a fresh value through the text form only.
template <class V>
std::unique_ptr<V> ThroughText(const V& source)
{
    auto pTarget = std::make_unique<V>();
    EXPECT_TRUE(pTarget->SetStringValue(source.GetStringValue())) << source.GetStringValue().toStdString();
    return pTarget;
}

template <class T>
void ExpectRoundTrip(const T& value)
{
    Value<T> source(QString(), value);
    EXPECT_TRUE(ThroughText(source)->GetValue() == value) << source.GetStringValue().toStdString();
}

template <class T>
void ExpectListRoundTrip(std::initializer_list<T> items)
{
    ValueList<T> list;
    for (const T& item : items)
        list.PushBack(item);
    EXPECT_EQ(ThroughText(list)->GetItems(), list.GetItems()) << list.GetStringValue().toStdString();
}

TEST(ValueText, EveryTypeRoundTrips)
{
    for (double f : {1.0 / 3.0, -2.5e-308, std::numeric_limits<double>::max(), std::numeric_limits<double>::denorm_min(),
                     123456789.123456789, -std::numeric_limits<double>::infinity()})
        ExpectRoundTrip(f);
    EXPECT_TRUE(std::signbit(ThroughText(Value<double>(QString(), -0.0))->GetValue()));
    ExpectRoundTrip(true);
    ExpectRoundTrip(std::numeric_limits<int>::min());
    ExpectRoundTrip(std::numeric_limits<unsigned>::max());
    ExpectRoundTrip(std::numeric_limits<qint64>::min());
    ExpectRoundTrip(QStringLiteral("a|b;c\\d"));
    ExpectRoundTrip(QString());

    BearingResult result(Bearing{98.5e6, -1234, 3599, -45, 80}, 0xFFFFFFFFFFFFULL);
    result.SetValueValid(BearingResult::VALUE_ELEVATION, false);
    ExpectRoundTrip(result);
    ExpectListRoundTrip({result, BearingResult()});
    ExpectListRoundTrip({QuadFloat(0.1, 359.99, 1.0 / 7.0, -0.0)});
    ExpectListRoundTrip({TrafficControlFrequency(118.025e6, 7, true), TrafficControlFrequency(100.9, 0, false)});
    // Entries that hold the separators, and an empty entry.
    ExpectListRoundTrip<QString>({"a|b", "\\", "", "|"});
    ExpectListRoundTrip<QString>({});
}

TEST(ValueText, SelectionAndNumericKeepTheirChoice)
{
    ValueSelection selection;
    selection.AddItem("Left", 0.0, 0);
    selection.AddItem("Vertical", 0.0, 2);
    selection.SetCurrentKey(2);
    const QString strVertical = selection.GetStringValue();
    selection.SetCurrentKey(0);
    EXPECT_TRUE(selection.SetStringValue(strVertical));
    EXPECT_EQ(selection.GetCurrentKey(), 2);
    EXPECT_FALSE(selection.SetStringValue("Diagonal"));
    EXPECT_EQ(selection.GetCurrentKey(), 2);

    ValueNumeric<int> number(QString(), 0, -10, 10, 1);
    EXPECT_TRUE(number.SetStringValue("99")) << "readable text is clamped, not refused";
    EXPECT_EQ(number.GetValue(), 10);
}

/// Each text is refused and leaves the value as it was.
template <class V>
void ExpectRefused(V&& value, std::initializer_list<const char*> texts)
{
    const QString strBefore = value.GetStringValue();
    for (const char* text : texts)
    {
        EXPECT_FALSE(value.SetStringValue(text)) << text;
        EXPECT_EQ(value.GetStringValue(), strBefore) << text;
    }
}

TEST(ValueText, UnreadableTextChangesNothing)
{
    ExpectRefused(Value<int>(QString(), 5), {"5x"});
    ExpectRefused(Value<unsigned>(QString(), 3), {"-1", "4294967296"});
    ExpectRefused(Value<bool>(QString(), true), {"maybe"});
    // Validity bits out of range; a level that does not fit 16 bits.
    ExpectRefused(Value<BearingResult>(), {"1;2;3;4;5;6;999", "1;70000;3;4;5;6;0"});
    ValueList<QuadFloat> ranges;
    ranges.PushBack(QuadFloat());
    ExpectRefused(ranges, {"2|1;2;3;4"});
}

}
