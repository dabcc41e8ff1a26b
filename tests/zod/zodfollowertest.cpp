#include "devicecontrol/directionfinder/zodclient/zodfollower.h"
#include "devicecontrol/directionfinder/zodclient/zodpayload.h"
#include "tests/common/qstringprinter.h"
#include "valueframework/valueclasses/tree.h"
#include "valueframework/valueclasses/valuenumeric.h"
#include "valueframework/valueclasses/valueselection.h"

#include <gtest/gtest.h>

namespace
{

using Outcome = ZodFollower::Outcome;

const QString FRQ = QStringLiteral("kvt/zod/Ops/param/FRQ");
const QString BW = QStringLiteral("kvt/zod/Ops/param/BW");

/// A receiver's follower on a value tree of its own, with a clock the test moves.
class ZodFollowerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        values::Tree* pTree = values::Tree::Instance();
        pTree->Clear();
        m_pFrequency = pTree->CreateValue<values::ValueNumeric<double>>(QStringLiteral("/R/Frequency"), 1e6);
        m_pBandwidth = pTree->CreateValue<values::ValueSelection>(QStringLiteral("/R/Bandwidth"));
        int n = 0;
        for (const auto& item : {std::make_pair("10 kHz", 1e4), std::make_pair("12.5 kHz", 1.25e4),
                                 std::make_pair("30 kHz", 3e4)})
            m_pBandwidth->AddItem(QString::fromLatin1(item.first), item.second, n++);
        m_follower.AddParameter(QStringLiteral("FRQ"), QStringLiteral("/R/Frequency"), QString());
        m_follower.AddParameter(QStringLiteral("BW"), QStringLiteral("/R/Bandwidth"),
                                ZodFollower::SELECT_EQUAL_OR_BIGGER);
        m_follower.SetTargets({QStringLiteral("Ops")});
        ASSERT_TRUE(m_follower.SetRange(QStringLiteral("100000000,200000000")));
    }

    void TearDown() override { values::Tree::Instance()->Clear(); }

    Outcome Receive(const QString& topic, const QByteArray& payload)
    {
        return m_follower.Receive(topic, payload, m_nNowMs);
    }

    ZodFollower m_follower{nullptr};
    values::ValueNumeric<double>* m_pFrequency = nullptr;
    values::ValueSelection* m_pBandwidth = nullptr;
    qint64 m_nNowMs = 1000;
};

TEST_F(ZodFollowerTest, ABandwidthSelectsTheItemOfTheSameValueHoweverItIsSpelled)
{
    ASSERT_EQ(Receive(FRQ, "150000000"), Outcome::APPLIED);
    for (const auto& spelling : {std::make_pair("10000 Hz", "10 kHz"), std::make_pair("0.0125 MHz", "12.5 kHz"),
                                 std::make_pair("10001", "12.5 kHz"), std::make_pair("30 kHz", "30 kHz")})
    {
        m_nNowMs += ZodFollower::DEFAULT_DWELL_MS;
        EXPECT_EQ(Receive(BW, spelling.first), Outcome::APPLIED) << spelling.first;
        EXPECT_EQ(m_pBandwidth->GetStringValue(), QString::fromLatin1(spelling.second)) << spelling.first;
    }
    m_nNowMs += ZodFollower::DEFAULT_DWELL_MS;
    EXPECT_EQ(Receive(BW, "30001 Hz"), Outcome::REFUSED) << "no item is wide enough";
}

TEST_F(ZodFollowerTest, ARangeNeedsTwoDifferentEnds)
{
    double fMinimum = 0.0;
    double fMaximum = 0.0;
    EXPECT_FALSE(ZodPayload::Range(QStringLiteral("100000000,100000000"), fMinimum, fMaximum));
    EXPECT_FALSE(ZodPayload::Range(QStringLiteral("200000000,100000000"), fMinimum, fMaximum));
    EXPECT_TRUE(ZodPayload::Range(QStringLiteral("100000000,100000001"), fMinimum, fMaximum));
    EXPECT_FALSE(m_follower.SetRange(QStringLiteral("150000000,150000000")));
    // The earlier range stays, bounds included.
    EXPECT_EQ(Receive(FRQ, "200000000"), Outcome::APPLIED);
}

TEST_F(ZodFollowerTest, ABurstIsHeldForTheDwellAndTheLastValueWins)
{
    ASSERT_EQ(Receive(FRQ, "110000000"), Outcome::APPLIED);
    for (int i = 1; i <= 1000; ++i)
        EXPECT_EQ(Receive(FRQ, QByteArray::number(110000000 + i)), Outcome::DEFERRED);
    EXPECT_EQ(Receive(FRQ, "300000000"), Outcome::OUT_OF_RANGE);
    EXPECT_EQ(Receive(FRQ, "120000000"), Outcome::DEFERRED);
    EXPECT_EQ(m_pFrequency->GetValue(), 1.1e8) << "nothing applied within the dwell";
    EXPECT_EQ(m_follower.GetDueMs(), 1000 + ZodFollower::DEFAULT_DWELL_MS);

    m_nNowMs += ZodFollower::DEFAULT_DWELL_MS - 1;
    m_follower.ApplyDue(m_nNowMs);
    EXPECT_EQ(m_pFrequency->GetValue(), 1.1e8);
    m_follower.ApplyDue(++m_nNowMs);
    EXPECT_EQ(m_pFrequency->GetValue(), 1.2e8);
    EXPECT_EQ(m_follower.GetDueMs(), -1);
    const ZodFollower::Counts& counts = m_follower.GetCounts();
    EXPECT_EQ(counts.nApplied, 2);
    EXPECT_EQ(counts.nCoalesced, 1000);
    EXPECT_EQ(counts.nOutOfRange, 1);

    // After the dwell a change is applied at once again.
    m_nNowMs += ZodFollower::DEFAULT_DWELL_MS;
    EXPECT_EQ(Receive(FRQ, "130000000"), Outcome::APPLIED);
}

TEST_F(ZodFollowerTest, AHeldTuningOfASenderNoLongerFollowedIsNotApplied)
{
    ASSERT_EQ(Receive(FRQ, "110000000"), Outcome::APPLIED);
    ASSERT_EQ(Receive(FRQ, "120000000"), Outcome::DEFERRED);
    m_follower.SetTargets({QStringLiteral("Other")});
    m_follower.ApplyDue(m_nNowMs + ZodFollower::DEFAULT_DWELL_MS);
    EXPECT_EQ(m_pFrequency->GetValue(), 1.1e8);
    EXPECT_EQ(m_follower.GetCounts().nUnfollowed, 1);
}

// A held parameter of one sender does not bring back that sender's frequency
// over another followed sender's later handover.
TEST_F(ZodFollowerTest, AHeldParameterWritesOnlyItselfWhenNoFrequencyWasHeld)
{
    m_follower.SetTargets({QStringLiteral("Ops"), QStringLiteral("Other")});
    ASSERT_EQ(Receive(FRQ, "110000000"), Outcome::APPLIED);
    m_nNowMs += ZodFollower::DEFAULT_DWELL_MS;
    ASSERT_EQ(Receive(QStringLiteral("kvt/zod/Other/param/FRQ"), "120000000"), Outcome::APPLIED);
    ASSERT_EQ(Receive(BW, "30 kHz"), Outcome::DEFERRED);
    m_follower.ApplyDue(m_nNowMs + ZodFollower::DEFAULT_DWELL_MS);
    EXPECT_EQ(m_pBandwidth->GetStringValue(), QStringLiteral("30 kHz"));
    EXPECT_EQ(m_pFrequency->GetValue(), 1.2e8);
}

} // namespace
