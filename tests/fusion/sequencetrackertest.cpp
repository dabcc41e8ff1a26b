#include "tests/common/filecontent.h"
#include "tests/fusion/fusiontesthelpers.h"
#include "tools/kvtfix/liverecord.h"
#include "tools/kvtfix/sequencetracker.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using Verdict = SequenceTracker::Verdict;

std::vector<std::pair<qint64, qint64>> Gaps(const SequenceTracker& tracker, const QString& station)
{
    std::vector<std::pair<qint64, qint64>> gaps;
    const auto all = tracker.GetGaps();
    const auto found = all.find(station);
    if (found != all.end())
        for (const SequenceTracker::Gap& gap : found->second)
            gaps.emplace_back(gap.nFirst, gap.nLast);
    return gaps;
}

TEST(SequenceTrackerTest, RepeatsAreDroppedAndLateArrivalsFillTheirGap)
{
    SequenceTracker tracker;
    EXPECT_EQ(tracker.Add("North", 1), Verdict::NEW);
    EXPECT_EQ(tracker.Add("North", 1), Verdict::DUPLICATE);
    EXPECT_EQ(tracker.Add("North", 7), Verdict::NEW);
    EXPECT_EQ(tracker.Add("South", 1), Verdict::NEW) << "stations are counted apart";
    EXPECT_EQ(Gaps(tracker, "North"), (std::vector<std::pair<qint64, qint64>>{{2, 6}}));
    EXPECT_EQ(tracker.GetMissing(), 5);

    // Inside, at the start and at the end of a gap.
    EXPECT_EQ(tracker.Add("North", 4), Verdict::LATE);
    EXPECT_EQ(tracker.Add("North", 2), Verdict::LATE);
    EXPECT_EQ(tracker.Add("North", 6), Verdict::LATE);
    EXPECT_EQ(tracker.Add("North", 4), Verdict::DUPLICATE);
    EXPECT_EQ(Gaps(tracker, "North"), (std::vector<std::pair<qint64, qint64>>{{3, 3}, {5, 5}}));
    EXPECT_EQ(tracker.Add("North", 3), Verdict::LATE);
    EXPECT_EQ(tracker.Add("North", 5), Verdict::LATE);
    EXPECT_TRUE(tracker.GetGaps().empty());
    EXPECT_EQ(tracker.GetMissing(), 0);
    EXPECT_EQ(tracker.GetLate(), 5);
    EXPECT_EQ(tracker.GetDuplicates(), 2);
}

TEST(SequenceTrackerTest, ARestartedStationAndUnnumberedBearingsAreNoRepeats)
{
    SequenceTracker tracker;
    for (qint64 seq = 1; seq <= 3; ++seq)
        tracker.Add("North", seq);
    tracker.Add("North", 5);
    EXPECT_EQ(tracker.Add("North", 1), Verdict::NEW);
    EXPECT_EQ(tracker.Add("North", 2), Verdict::NEW);
    EXPECT_EQ(Gaps(tracker, "North"), (std::vector<std::pair<qint64, qint64>>{{4, 4}})) << "the old gap stays";
    EXPECT_EQ(tracker.Add("North", 0), Verdict::NEW);
    EXPECT_EQ(tracker.Add("North", 0), Verdict::NEW);
    EXPECT_EQ(tracker.GetDuplicates(), 0);
}

TEST(SequenceTrackerTest, OpenGapsAreBoundedButStayCountedAsMissing)
{
    SequenceTracker tracker;
    for (qint64 n = 0; n <= static_cast<qint64>(SequenceTracker::MAX_GAPS) + 1; ++n)
        tracker.Add("North", 1 + 2 * n);
    EXPECT_EQ(tracker.GetGaps().at("North").size(), SequenceTracker::MAX_GAPS);
    EXPECT_EQ(tracker.GetGaps().at("North").front().nFirst, 4) << "the oldest gap was given up";
    EXPECT_EQ(tracker.GetMissing(), static_cast<qint64>(SequenceTracker::MAX_GAPS) + 1);
    EXPECT_EQ(tracker.Add("North", 2), Verdict::DUPLICATE);
}

/// A record cut in its last line (a killed kvtfix, a full disk) is replayed up to the cut, and
/// what comes next starts on a line of its own, so the following replay reads it.
TEST(LiveRecordTest, ACutLastLineIsSkippedAndTheNextBearingStillReadable)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("record.jsonl");
    const auto message = [](qint64 seq) { return FusionTest::Message(FusionTest::NORTH, seq, 1796630400000LL); };
    ASSERT_TRUE(WriteFile(path, message(1) + '\n' + message(3) + '\n' + message(4).left(30)));

    SequenceTracker tracker;
    LiveRecord record;
    QString error;
    ASSERT_TRUE(record.Open(path, tracker, error)) << error.toStdString();
    EXPECT_EQ(record.GetReplayed(), 2);
    EXPECT_EQ(record.GetUnreadable(), 1);
    EXPECT_EQ(Gaps(tracker, "North"), (std::vector<std::pair<qint64, qint64>>{{2, 2}}));
    EXPECT_EQ(tracker.Add("North", 3), Verdict::DUPLICATE) << "replayed numbers are repeats";
    ASSERT_TRUE(record.Append(FusionTest::Numbered(FusionTest::NORTH, 5, 1796630400000LL)));

    SequenceTracker again;
    LiveRecord reopened;
    ASSERT_TRUE(reopened.Open(path, again, error)) << error.toStdString();
    EXPECT_EQ(reopened.GetReplayed(), 3);
    EXPECT_EQ(reopened.GetUnreadable(), 1);
    EXPECT_EQ(again.Add("North", 5), Verdict::DUPLICATE);

    EXPECT_FALSE(LiveRecord().Open(dir.path(), again, error)) << "a folder is no record";
    EXPECT_TRUE(error.contains(dir.path())) << error.toStdString();
}

}
