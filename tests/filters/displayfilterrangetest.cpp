#include "devicecontrol/directionfinder/kvtcommon/displayfilterrange.h"
#include "tests/values/valuetestfixture.h"
#include "valueframework/valueclasses/quadfloat.h"
#include "valueframework/valueclasses/valuelist.h"

#include <cmath>
#include <limits>
#include <random>

namespace
{

using Ranges = std::vector<DeviceFilterRange::Range>;
constexpr double END = DeviceFilterRange::CIRCLE_END;

TEST(DeviceFilterRange, GapsAreTheUncoveredPartsOfTheCircle)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct
    {
        Ranges accepted;
        Ranges gaps;
    } aCases[] = {
        {{}, {{0.0, END}}},
        {{{10, 20}}, {{0.0, 10.0}, {20.0, END}}},
        {{{350, 10}}, {{10.0, 350.0}}},
        {{{0, END}}, {}},
        {{{10, 20}, {15, 30}}, {{0.0, 10.0}, {30.0, END}}},
        {{{20, 20}}, {{0.0, 20.0}, {20.0, END}}},
        {{{nan, 20}, {30, nan}}, {{0.0, END}}},
        {{{400, 10}}, {{10.0, END}, {END, 400.0}}}, // a bound past the circle: split once, no endless loop
    };
    for (const auto& c : aCases)
        EXPECT_EQ(DeviceFilterRange(0, 0, c.accepted).GetGaps(), c.gaps) << ::testing::PrintToString(c.accepted);
}

bool InGap(const Ranges& gaps, double x)
{
    return std::any_of(gaps.begin(), gaps.end(), [x](const auto& gap) { return gap.first <= x && x < gap.second; });
}

bool Accepted(const Ranges& accepted, double x)
{
    return std::any_of(accepted.begin(), accepted.end(), [x](const auto& r) {
        return r.first <= r.second ? r.first <= x && x < r.second : x >= r.first || x < r.second;
    });
}

// Every angle of the circle lies either in an accepted range or in exactly one published gap.
TEST(DeviceFilterRange, GapsAndAcceptedRangesTileTheCircle)
{
    std::mt19937 random(20261206);
    std::uniform_real_distribution<double> angle(0.0, END);
    std::uniform_int_distribution<int> count(0, 5), kind(0, 3);
    // Whole degrees and the ends make bounds coincide; fractions keep them apart.
    const auto bound = [&] {
        const int nKind = kind(random);
        return nKind == 0 ? std::floor(angle(random)) : nKind == 1 ? (kind(random) < 2 ? 0.0 : END) : angle(random);
    };
    for (int round = 0; round < 2000; ++round)
    {
        Ranges accepted(static_cast<size_t>(count(random)));
        for (auto& range : accepted)
            range = {bound(), bound()};
        const Ranges gaps = DeviceFilterRange(0, 0, accepted).GetGaps();
        SCOPED_TRACE(::testing::PrintToString(accepted));

        for (size_t i = 0; i < gaps.size(); ++i)
        {
            ASSERT_LT(gaps[i].first, gaps[i].second);
            ASSERT_GE(gaps[i].first, 0.0);
            ASSERT_LE(gaps[i].second, END);
            ASSERT_LE(i == 0 ? 0.0 : gaps[i - 1].second, gaps[i].first);
        }
        std::vector<double> lstProbes{0.0};
        for (const auto& range : accepted)
            lstProbes.insert(lstProbes.end(), {range.first, range.second, std::nextafter(range.first, 0.0)});
        for (int i = 0; i < 50; ++i)
            lstProbes.push_back(angle(random));
        for (double x : lstProbes)
            ASSERT_TRUE(x >= END || InGap(gaps, x) != Accepted(accepted, x)) << "at " << x;
    }
}

// Observers see each published list once, complete: after Publish, or when Reset finds the last
// transaction still open.
TEST_F(ValueTreeTest, DisplayFilterRangePublishesEachListInOneNotification)
{
    ErrorHandler::Instance().SetTraceMask(ErrorHandler::TRACE_BIT);
    DisplayFilterRange display("Ranges", "/Dev");
    auto* pList = tree().Find<values::ValueList<values::QuadFloat>>("/Dev/Ranges");
    ASSERT_NE(pList, nullptr);
    pList->PushBack(values::QuadFloat(9, 9, 9, 9));
    RecordingObserver observer;
    pList->AddObserver(&observer);
    std::vector<std::vector<values::QuadFloat>> lstSeen;
    observer.m_onUpdate = [&](Observable*, TChangeCode) { lstSeen.push_back(pList->GetItems()); };

    display.Reset();
    display.AddDeviceFilterRange(DeviceFilterRange(1.5, 2.5, {{10, 20}}));
    display.AddDeviceFilterRange(DeviceFilterRange(3, 4, {{350, 10}}));
    display.Reset();
    EXPECT_TRUE(m_traces.Contains("DisplayFilterRange::Reset(): Stopping already running transaction."));
    display.AddDeviceFilterRange(DeviceFilterRange(2, 2, {{0, END}}));
    DisplayFilterRange(display).Publish(); // a copy works on the same list
    display.Publish();
    EXPECT_TRUE(m_traces.Contains("DisplayFilterRange::Publish(): No active transaction."));

    EXPECT_EQ(observer.m_lstCalls, (std::vector<std::pair<Observable*, TChangeCode>>(2, {pList, 3})));
    const std::vector<values::QuadFloat> lstFirst{{1.5, 2.5, 0.0, 10.0}, {1.5, 2.5, 20.0, END}, {3, 4, 10, 350}};
    EXPECT_EQ(lstSeen, (std::vector<std::vector<values::QuadFloat>>{lstFirst, {}}));
    pList->DeleteObserver(&observer);
}

} // namespace
