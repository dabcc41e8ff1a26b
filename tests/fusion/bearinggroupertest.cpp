#include "fusion/bearinggrouper.h"
#include "tests/fusion/fusiontesthelpers.h"

#include <gtest/gtest.h>

namespace {

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
        for (const Site& site : {NORTH, WEST, SOUTH}) {
            Bearing bearing = Towards(site, latitude, longitude, 0.0, 1000LL * t, 1.0, frequency);
            bearing.nSeq = ++m_nSeq;
            m_grouper.Add(bearing, m_fixes);
        }
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
            EXPECT_LT(Geodesy::Between(fix.fLatitude, fix.fLongitude, 52.43, 13.65).fDistance, 1.0);
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
    Bearing late = Towards(NORTH, 52.52, 13.405, 0.0, 1000LL * 985);
    late.nSeq = 999999;
    EXPECT_FALSE(m_grouper.Add(late, m_fixes));
    EXPECT_EQ(m_grouper.GetCounters().nLate, 1);
}

TEST_F(BearingGrouperTest, OneStationAloneMakesNoFix)
{
    for (int t = 0; t < 25; ++t) {
        Bearing bearing = Towards(NORTH, 52.52, 13.405, 0.0, 1000LL * t);
        bearing.nSeq = t + 1;
        m_grouper.Add(bearing, m_fixes);
    }
    m_grouper.Flush(m_fixes);
    EXPECT_TRUE(m_fixes.empty());
    EXPECT_EQ(m_grouper.GetCounters().nUnfixedWindows, 3);
    EXPECT_EQ(m_grouper.GetCounters().nAccepted, 25);
}

TEST_F(BearingGrouperTest, DuplicatesAreRefusedAndCounted)
{
    Bearing bearing = Towards(NORTH, 52.52, 13.405, 0.0, 1000);
    bearing.nSeq = 7;
    EXPECT_TRUE(m_grouper.Add(bearing, m_fixes));
    // The same message again.
    EXPECT_FALSE(m_grouper.Add(bearing, m_fixes));
    // The same bearing under a new number is a new one: a busy station may
    // measure one azimuth twice within the time resolution.
    Bearing again = bearing;
    again.nSeq = 8;
    EXPECT_TRUE(m_grouper.Add(again, m_fixes));
    // A new bearing reusing an old number.
    Bearing reused = Towards(NORTH, 52.52, 13.405, 1.0, 1500);
    reused.nSeq = 7;
    EXPECT_FALSE(m_grouper.Add(reused, m_fixes));
    // Another station may use the same number and bearing; a bearing without a number is a
    // repeat by its time and value.
    Bearing other = bearing;
    other.strStation = QStringLiteral("West");
    EXPECT_TRUE(m_grouper.Add(other, m_fixes));
    Bearing sentence = Towards(NORTH, 52.52, 13.405, 2.0, 2000);
    EXPECT_TRUE(m_grouper.Add(sentence, m_fixes));
    EXPECT_FALSE(m_grouper.Add(sentence, m_fixes));
    EXPECT_EQ(m_grouper.GetCounters().nDuplicates, 3);
    EXPECT_EQ(m_grouper.GetCounters().nAccepted, 4);
}

}
