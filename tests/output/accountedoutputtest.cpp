#include "base/accountedoutput.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

/// An output whose deliveries and losses the test decides.
class ScriptedOutput : public AccountedOutput
{
public:
    ScriptedOutput()
        : AccountedOutput(QStringLiteral("scripted"))
    {
    }
    using AccountedOutput::Deliver;
    using AccountedOutput::Lose;
    using AccountedOutput::Notice;
    using AccountedOutput::Offer;
};

// A host shows each failure once, as it begins or as its kind or reason
// changes, and learns when it is over; repeating losses of one failure are
// only counted.
TEST(AccountedOutputTest, AFailureIsAnnouncedWhenItBeginsOrChangesAndEndsWithADelivery)
{
    using Failure = AccountedOutput::Failure;
    ScriptedOutput output;
    QSignalSpy failures(&output, &AccountedOutput::FailureReported);
    QSignalSpy resumed(&output, &AccountedOutput::DeliveryResumed);
    EXPECT_EQ(output.GetFailure(), Failure::None);

    output.Offer(6);
    output.Lose(1, Failure::Write, QStringLiteral("No space left on device"));
    output.Lose(1, Failure::Write, QStringLiteral("No space left on device"));
    output.Lose(1, Failure::Write, QStringLiteral("Permission denied"));
    output.Lose(1, Failure::Open, QStringLiteral("Permission denied"));
    ASSERT_EQ(failures.size(), 3);
    EXPECT_EQ(failures[1][0].toString(), QStringLiteral("Permission denied"));
    EXPECT_EQ(output.GetFailure(), Failure::Open);
    EXPECT_TRUE(resumed.isEmpty());

    output.Deliver(1);
    EXPECT_TRUE(resumed.isEmpty()) << "one item still pends: the failure goes on";
    output.Deliver(1);
    EXPECT_EQ(resumed.size(), 1);
    output.Lose(0, Failure::Open, QStringLiteral("Permission denied"));
    EXPECT_EQ(failures.size(), 4) << "the same failure after a resumption is a new one";
    EXPECT_EQ(output.GetAccount().GetOffered(), 6u);
    EXPECT_EQ(output.GetAccount().GetLost(), 4u);
}

TEST(AccountedOutputTest, ANoticeIsToldOncePerText)
{
    ScriptedOutput output;
    QSignalSpy notices(&output, &AccountedOutput::NoticeReported);
    output.Notice(QStringLiteral("slow"));
    output.Notice(QStringLiteral("slow"));
    output.Notice(QStringLiteral("slower"));
    EXPECT_EQ(notices.size(), 2);
    EXPECT_EQ(output.GetNotices(), (QStringList{QStringLiteral("slow"), QStringLiteral("slower")}));
}

}
