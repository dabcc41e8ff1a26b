#include "bench/latencysummary.h"
#include "tests/common/qstringprinter.h"

#include <gtest/gtest.h>

namespace
{

const qint64 MS = 1000000;

TEST(LatencySummaryTest, PercentilesAreNearestRanksOfTheSortedSamples)
{
    LatencySummary summary;
    EXPECT_EQ(summary.GetPercentile(50.0), 0);
    EXPECT_EQ(summary.GetMaximum(), 0);

    // Added out of order, 1 to 100 ms.
    for (qint64 i = 100; i >= 1; i -= 2)
        summary.Add(i * MS);
    LatencySummary odd;
    for (qint64 i = 1; i <= 99; i += 2)
        odd.Add(i * MS);
    summary.Add(odd);

    EXPECT_EQ(summary.GetCount(), 100);
    EXPECT_EQ(summary.GetPercentile(0.0), 1 * MS);
    EXPECT_EQ(summary.GetPercentile(1.0), 1 * MS);
    EXPECT_EQ(summary.GetPercentile(50.0), 50 * MS);
    EXPECT_EQ(summary.GetPercentile(99.0), 99 * MS);
    EXPECT_EQ(summary.GetPercentile(99.5), 100 * MS);
    EXPECT_EQ(summary.GetMaximum(), 100 * MS);

    summary.Clear();
    summary.Add(7 * MS);
    EXPECT_EQ(summary.GetPercentile(50.0), 7 * MS);
    EXPECT_EQ(summary.GetPercentile(99.0), 7 * MS);
}

TEST(LatencySummaryTest, TextKeepsThreeDigitsBelowATenthOfASecondAndWholeMillisecondsAbove)
{
    LatencySummary summary;
    summary.Add(123456);
    summary.Add(7031400000);
    EXPECT_EQ(summary.ToText(), QStringLiteral("p50 0.123 ms, p99 7031 ms, max 7031 ms (2 samples)"));
}

} // namespace
