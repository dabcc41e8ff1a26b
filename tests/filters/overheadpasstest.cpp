#include "devicecontrol/directionfinder/kvtcommon/ohpparamssynchronizer.h"
#include "devicecontrol/directionfinder/kvtcommon/ohpparamsvtsynchronizer.h"
#include "devicecontrol/directionfinder/kvtcommon/overheadpassfilter.h"
#include "devicecontrol/directionfinder/kvtcommon/overheadpassparams.h"
#include "tests/values/valuetestfixture.h"
#include "valueframework/valueclasses/bearingresult.h"
#include "valueframework/valueclasses/valuenumeric.h"

using namespace NxKVTCommon;

namespace
{

const QString THRESHOLD_PATH = QStringLiteral("/KVTServer/OverheadPass/Threshold");
const QString VALID_PATH = QStringLiteral("/KVTServer/OverheadPass/Valid");

/// Counts the notifications that reach a synchroniser.
template <class Synchronizer>
class Counting : public Synchronizer
{
public:
    using Synchronizer::Synchronizer;
    void Update(Observable* pSource, TChangeCode code) override
    {
        ++m_nUpdates;
        Synchronizer::Update(pSource, code);
    }
    int m_nUpdates = 0;
};

TEST(OverheadPassFilter, MarksValidResultsAtOrAboveTheThresholdWhileSwitchedOn)
{
    OverheadPassParams params;
    OverheadPassFilter filter(params);
    const auto applied = [&filter](qint16 elevation, bool bElevationValid = true, bool bQualityValid = true) {
        values::BearingResult result(values::Bearing{1e8, 0, 0, elevation, 30}, 0);
        result.SetValueValid(values::BearingResult::VALUE_ELEVATION, bElevationValid);
        result.SetValueValid(values::BearingResult::VALUE_QUALITY, bQualityValid);
        filter.Apply(result);
        return result.GetQuality();
    };

    EXPECT_EQ(applied(900), 30) << "switched off";
    params.SetValid(true, nullptr);
    EXPECT_EQ(applied(600), -200);
    EXPECT_EQ(applied(599), 30);
    EXPECT_EQ(applied(700, false), 30);
    EXPECT_EQ(applied(700, true, false), 30);
    params.SetThreshold(-50, nullptr);
    EXPECT_EQ(applied(-50), -200);
    EXPECT_EQ(filter.RejectCount(FilterRejectReason::OverheadPass), 2u);
}

TEST(OHPParamsSynchronizer, KeepsBothEqualWithoutEchoes)
{
    OverheadPassParams first, second;
    first.SetThreshold(650, nullptr);
    first.SetValid(true, nullptr);
    RecordingObserver firstObserver, secondObserver;
    first.AddObserver(&firstObserver);
    second.AddObserver(&secondObserver);
    {
        Counting<OHPParamsSynchronizer> synchronizer(first, second);
        EXPECT_EQ(second.GetThreshold(), 650);
        EXPECT_TRUE(second.IsValid());
        EXPECT_EQ(secondObserver.m_lstCalls.size(), 2u);
        secondObserver.m_lstCalls.clear();

        first.SetThreshold(700, nullptr);
        EXPECT_EQ(second.GetThreshold(), 700);
        second.SetValid(false, nullptr);
        EXPECT_FALSE(first.IsValid());
        EXPECT_EQ(firstObserver.m_lstCalls.size(), 2u) << "its own change and the copied one, nothing echoed";
        EXPECT_EQ(secondObserver.m_lstCalls.size(), 2u);
        EXPECT_EQ(synchronizer.m_nUpdates, 2) << "its own copies must not come back to it";

    }
    EXPECT_EQ(first.GetObserverCount(), 1);
    EXPECT_EQ(second.GetObserverCount(), 1);
}

TEST_F(ValueTreeTest, VtSynchronizerCreatesMissingValuesWithTheParameters)
{
    OverheadPassParams params;
    params.SetThreshold(450, nullptr);
    Counting<OHPParamsVtSynchronizer> synchronizer(params, QString());
    auto* pThreshold = tree().Find<values::ValueNumeric<int>>(THRESHOLD_PATH);
    auto* pValid = tree().Find<values::Value<bool>>(VALID_PATH);
    ASSERT_NE(pThreshold, nullptr);
    ASSERT_NE(pValid, nullptr);
    EXPECT_EQ(pThreshold->GetValue(), 450);
    EXPECT_EQ(pThreshold->GetMin(), 0);
    EXPECT_EQ(pThreshold->GetMax(), 900);
    EXPECT_FALSE(pValid->GetValue());

    pThreshold->SetValue(800);
    pValid->SetValue(true);
    EXPECT_EQ(params.GetThreshold(), 800);
    EXPECT_TRUE(params.IsValid());
    params.SetThreshold(300, nullptr);
    EXPECT_EQ(pThreshold->GetValue(), 300);
    EXPECT_EQ(synchronizer.m_nUpdates, 3) << "its own copies must not come back to it";
}

TEST_F(ValueTreeTest, VtSynchronizerTakesOverExistingValuesAndLetsGoOfRemovedOnes)
{
    tree().CreateValue<values::ValueNumeric<int>>("/Dev/OverheadPass/Threshold", 120);
    tree().CreateValue<values::Value<bool>>("/Dev/OverheadPass/Valid", true);
    OverheadPassParams params;
    auto pSynchronizer = std::make_unique<OHPParamsVtSynchronizer>(params, "/Dev");
    EXPECT_EQ(params.GetThreshold(), 120);
    EXPECT_TRUE(params.IsValid());

    ASSERT_TRUE(tree().RemoveValue("/Dev/OverheadPass/Threshold"));
    params.SetThreshold(200, nullptr);
    params.SetValid(false, nullptr);
    EXPECT_FALSE(tree().Find<values::Value<bool>>("/Dev/OverheadPass/Valid")->GetValue());
    tree().Clear();
    pSynchronizer.reset(); // must not reach the removed values
    EXPECT_EQ(params.GetObserverCount(), 0);
}

TEST_F(ValueTreeTest, ChainedSynchronizersSettleWithoutPingPong)
{
    OverheadPassParams first, second;
    OHPParamsVtSynchronizer firstInTree(first, "/Dev");
    OHPParamsVtSynchronizer secondInTree(second, "/Dev");
    OHPParamsSynchronizer pair(first, second);
    RecordingObserver firstObserver, secondObserver;
    first.AddObserver(&firstObserver);
    second.AddObserver(&secondObserver);

    first.SetThreshold(750, nullptr);
    EXPECT_EQ(second.GetThreshold(), 750);
    EXPECT_EQ(tree().Find<values::ValueNumeric<int>>("/Dev/OverheadPass/Threshold")->GetValue(), 750);
    EXPECT_EQ(firstObserver.m_lstCalls.size(), 1u);
    EXPECT_EQ(secondObserver.m_lstCalls.size(), 1u);
}

} // namespace
