#include "fusion/bearinggrouper.h"
#include "tests/fusion/fusiontesthelpers.h"

#include <gtest/gtest.h>

namespace {

using FusionTest::Miss;
using FusionTest::Numbered;
using FusionTest::Site;
using FusionTest::Towards;

using FusionTest::NORTH;
using FusionTest::SOUTH;
using FusionTest::WEST;

class BearingGrouperTest : public ::testing::Test
{
protected:
    /// One bearing per station towards (52.52, 13.405) at t seconds, on frequency.
    void Round(int t, double frequency = 145.5e6, double latitude = 52.52, double longitude = 13.405)
    {
        for (const Site& site : {NORTH, WEST, SOUTH})
            m_grouper.Add(Numbered(site, ++m_nSeq, 1000LL * t, latitude, longitude, frequency), m_fixes);
    }

    BearingGrouper m_grouper{BearingGrouper::Settings(), FixEstimator()};
    std::vector<Fix> m_fixes;
    qint64 m_nSeq = 0;
};

TEST_F(BearingGrouperTest, EachChannelGetsOneFixPerWindow)
{
    for (int t = 0; t < 30; ++t) {
        Round(t);
        // 5 kHz off is the same 12.5 kHz channel; 433.92 MHz is another emitter.
        Round(t, 145.505e6, 52.5201);
        Round(t, 433.92e6, 52.43, 13.65);
    }
    // Windows [0, 10) and [10, 20) closed by time, [20, 30) by the end of the input.
    EXPECT_EQ(m_fixes.size(), 4u);
    m_grouper.Flush(m_fixes);
    ASSERT_EQ(m_fixes.size(), 6u);
    int near433 = 0;
    for (const Fix& fix : m_fixes) {
        EXPECT_EQ(fix.nStations, 3);
        EXPECT_EQ(fix.nEndMs - fix.nStartMs, 10000);
        if (fix.fFrequency > 400e6) {
            ++near433;
            EXPECT_EQ(fix.nBearings, 30);
            EXPECT_LT(Miss(fix, 52.43, 13.65), 1.0);
        } else {
            EXPECT_EQ(fix.nBearings, 60);
        }
    }
    EXPECT_EQ(near433, 3);
    EXPECT_EQ(m_grouper.GetCounters().nFixes, 6);
    EXPECT_EQ(m_grouper.GetStoredCount(), 0u);
}

TEST_F(BearingGrouperTest, OldBearingsAgeOutAndMemoryStaysBounded)
{
    size_t most = 0;
    for (int t = 0; t < 1000; ++t) {
        Round(t);
        most = std::max(most, m_grouper.GetStoredCount());
    }
    // At most one window and one second of bearings are held.
    EXPECT_LE(most, 33u);
    EXPECT_EQ(m_fixes.size(), 99u);

    // A bearing from before the last closed window is late, whichever station sends it.
    EXPECT_FALSE(m_grouper.Add(Numbered(NORTH, 999999, 1000LL * 985), m_fixes));
    EXPECT_EQ(m_grouper.GetCounters().nLate, 1);
}

TEST_F(BearingGrouperTest, OneStationAloneMakesNoFix)
{
    for (int t = 0; t < 25; ++t)
        m_grouper.Add(Numbered(NORTH, t + 1, 1000LL * t), m_fixes);
    m_grouper.Flush(m_fixes);
    EXPECT_TRUE(m_fixes.empty());
    EXPECT_EQ(m_grouper.GetCounters().nUnfixedWindows, 3);
    EXPECT_EQ(m_grouper.GetCounters().nAccepted, 25);
}

TEST_F(BearingGrouperTest, DuplicatesAreRefusedAndCounted)
{
    const Bearing bearing = Numbered(NORTH, 7, 1000);
    EXPECT_TRUE(m_grouper.Add(bearing, m_fixes));
    // The same message again.
    EXPECT_FALSE(m_grouper.Add(bearing, m_fixes));
    // The same bearing under a new number is a new one: a busy station may
    // measure one azimuth twice within the time resolution.
    Bearing again = bearing;
    again.nSeq = 8;
    EXPECT_TRUE(m_grouper.Add(again, m_fixes));
    // A new bearing reusing an old number.
    EXPECT_FALSE(m_grouper.Add(Numbered(NORTH, 7, 1500, 52.52, 13.405, 145.5e6, 1.0), m_fixes));
    // Another station may use the same number and bearing; a bearing without a number is a
    // repeat by its time and value.
    Bearing other = bearing;
    other.strStation = QStringLiteral("West");
    EXPECT_TRUE(m_grouper.Add(other, m_fixes));
    const Bearing sentence = Numbered(NORTH, 0, 2000, 52.52, 13.405, 145.5e6, 2.0);
    EXPECT_TRUE(m_grouper.Add(sentence, m_fixes));
    EXPECT_FALSE(m_grouper.Add(sentence, m_fixes));
    EXPECT_EQ(m_grouper.GetCounters().nDuplicates, 3);
    EXPECT_EQ(m_grouper.GetCounters().nAccepted, 4);
}

constexpr qint64 DAY_MS = 86400000;

/// Adds one bearing of each station towards (latitude, longitude) at timeMs.
void AddRound(BearingGrouper& grouper, qint64 timeMs, std::vector<Fix>& rFixes, double frequency = 145.5e6,
              double bandwidth = 12500.0, double latitude = 52.52, double longitude = 13.405)
{
    for (const Site& site : {NORTH, WEST, SOUTH}) {
        Bearing bearing = Towards(site, latitude, longitude, 0.0, timeMs, 1.0, frequency);
        bearing.fBandwidth = bandwidth;
        grouper.Add(bearing, rFixes);
    }
}

TEST(BearingGrouperTimeTest, ABearingAheadOfTheClockIsRefusedAndMovesNoWindow)
{
    qint64 nowMs = 1000LL * 1800000000;
    BearingGrouper::Settings settings;
    settings.fFutureToleranceS = 5.0;
    settings.clock = [&nowMs] { return nowMs; };
    BearingGrouper grouper(settings, FixEstimator());
    std::vector<Fix> fixes;
    const qint64 startMs = nowMs;

    EXPECT_FALSE(grouper.Add(Numbered(NORTH, 0, nowMs + DAY_MS), fixes));
    // Up to the tolerance ahead is a clock that runs a little fast, not a fault.
    EXPECT_TRUE(grouper.Add(Numbered(WEST, 0, nowMs + 5000), fixes));
    EXPECT_FALSE(grouper.Add(Numbered(SOUTH, 0, nowMs + 5001), fixes));
    EXPECT_EQ(grouper.GetCounters().nFuture, 2);
    EXPECT_EQ(grouper.GetStations().GetFutureCounts(), (QMap<QString, qint64>{{"North", 1}, {"South", 1}}));

    // The honest bearings that follow are neither late nor lost: windows are still fixed.
    for (int t = 0; t < 30; ++t, nowMs += 1000)
        AddRound(grouper, startMs + 1000LL * t, fixes);
    EXPECT_EQ(grouper.GetCounters().nLate, 0);
    EXPECT_GE(fixes.size(), 2u);
    for (const Fix& fix : fixes)
        EXPECT_LT(fix.nEndMs, startMs + DAY_MS);
}

TEST(BearingGrouperTimeTest, OverFilesABearingAheadOfEveryOtherStationIsRefused)
{
    BearingGrouper grouper{BearingGrouper::Settings(), FixEstimator()};
    std::vector<Fix> fixes;
    // A station alone has no one to be ahead of.
    EXPECT_TRUE(grouper.Add(Towards(NORTH, 52.52, 13.405, 0.0, 1000), fixes));
    EXPECT_TRUE(grouper.Add(Towards(NORTH, 52.52, 13.405, 0.0, DAY_MS), fixes));
    BearingGrouper files{BearingGrouper::Settings(), FixEstimator()};
    for (int t = 0; t < 20; ++t)
        AddRound(files, 1000LL * t, fixes);
    // Five seconds ahead of the newest other station is the limit.
    EXPECT_FALSE(files.Add(Towards(NORTH, 52.52, 13.405, 0.0, 19000 + 5001), fixes));
    EXPECT_TRUE(files.Add(Towards(NORTH, 52.52, 13.405, 1.0, 19000 + 5000), fixes));
    // A refused time still counts as the station's report.
    EXPECT_FALSE(files.Add(Towards(SOUTH, 52.52, 13.405, 0.0, 24001 + 5001), fixes));
    EXPECT_FALSE(files.Add(Towards(WEST, 52.52, 13.405, 1.0, DAY_MS), fixes));
    // Its own newest time does not vouch for it either.
    EXPECT_FALSE(files.Add(Towards(WEST, 52.52, 13.405, 2.0, DAY_MS + 1000), fixes));
    EXPECT_EQ(files.GetCounters().nFuture, 4);
    EXPECT_EQ(files.GetStations().GetFutureCounts(), (QMap<QString, qint64>{{"North", 1}, {"South", 1}, {"West", 2}}));
}

TEST(BearingGrouperTimeTest, AnnouncedStationsThatStartLaterAreNotFromTheFuture)
{
    // North stopped at 100 s; West and South start at 200 s: with the batch
    // announced, the first of them is not ahead of every other.
    BearingGrouper grouper{BearingGrouper::Settings(), FixEstimator()};
    std::vector<Bearing> batch;
    for (int t = 0; t < 100; ++t)
        batch.push_back(Towards(NORTH, 52.52, 13.405, 0.0, 1000LL * t));
    for (int t = 200; t < 230; ++t) {
        batch.push_back(Towards(WEST, 52.52, 13.405, 0.0, 1000LL * t));
        batch.push_back(Towards(SOUTH, 52.52, 13.405, 0.0, 1000LL * t + 1));
    }
    for (const Bearing& bearing : batch)
        grouper.Announce(bearing);
    std::vector<Fix> fixes;
    for (const Bearing& bearing : batch)
        EXPECT_TRUE(grouper.Add(bearing, fixes)) << bearing.nTimeMs;
    EXPECT_EQ(grouper.GetCounters().nFuture, 0);
    EXPECT_EQ(fixes.size(), 2u);
}

TEST(BearingGrouperStationsTest, AFloodOfNamesKeepsTheCapAndForgetsTheStalest)
{
    BearingGrouper::Settings settings;
    settings.nMaxStations = 16;
    BearingGrouper grouper(settings, FixEstimator());
    std::vector<Fix> fixes;
    int most = 0, name = 0;
    for (int t = 0; t < 40; ++t) {
        AddRound(grouper, 1000LL * t, fixes);
        // Five strangers a second on another channel: the three stations that report every second stay kept.
        for (int i = 0; i < 5; ++i) {
            const Site& site = i % 3 == 0 ? NORTH : i % 3 == 1 ? WEST : SOUTH;
            Bearing stranger = Towards(site, 52.43, 13.65, 0.0, 1000LL * t, 1.0, 433.92e6);
            stranger.strStation = QStringLiteral("S%1").arg(++name);
            grouper.Add(stranger, fixes);
            most = std::max(most, grouper.GetStations().GetCount());
        }
    }
    EXPECT_EQ(most, 16);
    EXPECT_EQ(grouper.GetStations().GetForgotten(), 3 + name - 16);
    int honest = 0, strange = 0;
    for (const Fix& fix : fixes) {
        if (fix.fFrequency < 400e6) {
            ++honest;
            EXPECT_EQ(fix.nStations, 3);
        } else {
            // Only the strangers still kept when the window closed, not the fifty of it.
            ++strange;
            EXPECT_EQ(fix.nStations, 16 - 3);
        }
    }
    EXPECT_EQ(honest, 3);
    EXPECT_EQ(strange, 3);

    // A station forgotten and heard from again is a new one.
    BearingGrouperStations stations(2);
    const qint64 first = stations.Touch("A").nId;
    stations.Touch("B");
    stations.Touch("A");
    stations.Touch("C");
    EXPECT_TRUE(stations.Contains("A"));
    EXPECT_FALSE(stations.Contains("B"));
    EXPECT_EQ(stations.Touch("A").nId, first);
    EXPECT_NE(stations.Touch("B").nId, first);
    EXPECT_EQ(stations.GetForgotten(), 2);
}

/// Two emitters one channel apart, (52.52, 13.405) and (52.43, 13.65), each with its own fix.
class AdjacentChannelTest : public ::testing::TestWithParam<std::pair<double, double>>
{
};

TEST_P(AdjacentChannelTest, EmittersOneChannelApartGetSeparateFixes)
{
    const double width = GetParam().first, spacing = GetParam().second;
    BearingGrouper grouper{BearingGrouper::Settings(), FixEstimator()};
    std::vector<Fix> fixes;
    for (int t = 0; t < 10; ++t) {
        AddRound(grouper, 1000LL * t, fixes, 145.5e6, width);
        AddRound(grouper, 1000LL * t, fixes, 145.5e6 + spacing, width, 52.43, 13.65);
    }
    grouper.Flush(fixes);
    ASSERT_EQ(fixes.size(), 2u);
    for (const Fix& fix : fixes) {
        const bool second = fix.fFrequency != 145.5e6;
        EXPECT_EQ(fix.nBearings, 30);
        EXPECT_LT(Miss(fix, second ? 52.43 : 52.52, second ? 13.65 : 13.405), 1.0);
    }
}

// Messages of 12.5 kHz channels; sentences, which carry no bandwidth (the 25 kHz default), 12.5 kHz apart.
INSTANTIATE_TEST_SUITE_P(Plans, AdjacentChannelTest,
                         ::testing::Values(std::make_pair(12500.0, 12500.0), std::make_pair(12500.0, -12500.0),
                                           std::make_pair(0.0, 12500.0)));

TEST(BearingGrouperChannelTest, AChannelReachesHalfTheLargerBandwidthExclusive)
{
    const auto channels = [](double offset, double width, double otherWidth) {
        BearingGrouper grouper{BearingGrouper::Settings(), FixEstimator()};
        std::vector<Fix> fixes;
        for (int t = 0; t < 10; ++t) {
            AddRound(grouper, 1000LL * t, fixes, 145.5e6, width);
            AddRound(grouper, 1000LL * t + 500, fixes, 145.5e6 + offset, otherWidth);
        }
        grouper.Flush(fixes);
        return fixes.size();
    };
    EXPECT_EQ(channels(6249.0, 12500.0, 12500.0), 1u);
    EXPECT_EQ(channels(6250.0, 12500.0, 12500.0), 2u);
    // The wider of the two decides, whichever came first.
    EXPECT_EQ(channels(10000.0, 12500.0, 25000.0), 1u);
    EXPECT_EQ(channels(10000.0, 25000.0, 12500.0), 1u);
    // A bearing without bandwidth takes the channel's.
    EXPECT_EQ(channels(10000.0, 12500.0, 0.0), 2u);
    EXPECT_EQ(channels(10000.0, 0.0, 0.0), 1u);
}

}
