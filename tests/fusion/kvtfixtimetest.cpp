#include "tests/common/filecontent.h"
#include "tests/common/programrun.h"
#include "tests/fusion/fusiontesthelpers.h"
#include "tools/kvtfix/fixrun.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using FusionTest::Message;
using FusionTest::Numbered;
using FusionTest::Site;

const qint64 START_MS = QDateTime(QDate(2026, 12, 7), QTime(8, 0), Qt::UTC).toMSecsSinceEpoch();
constexpr qint64 DAY_MS = 86400000;
const Site SITES[] = {FusionTest::NORTH, FusionTest::WEST, FusionTest::SOUTH};

TEST(KvtFixTimeTest, LiveABearingDatedTomorrowIsRefusedAndTheRestIsFixed)
{
    FixCommandLine commandLine;
    ASSERT_TRUE(commandLine.Parse({"kvtfix", "--mqtt", "127.0.0.1:1883", "--future-tolerance", "2"}))
        << commandLine.GetError().toStdString();
    qint64 nowMs = START_MS;
    FixRun run(commandLine, nullptr, [&nowMs] { return nowMs; });
    QString error;
    run.Take(Numbered(FusionTest::WEST, 1, START_MS + DAY_MS));
    run.Take(Numbered(FusionTest::NORTH, 1, START_MS + 2001));
    for (int t = 0; t < 25; ++t, nowMs += 1000) {
        for (const Site& site : SITES)
            run.Take(Numbered(site, t + 2, START_MS + 1000LL * t));
        run.ReadInputs(false, error);
    }
    const QJsonObject summary = run.Summary();
    const QJsonObject bearings = summary.value("bearings").toObject();
    EXPECT_EQ(bearings.value("future").toInt(), 2);
    EXPECT_EQ(bearings.value("futureByStation").toObject(), (QJsonObject{{"North", 1}, {"West", 1}}));
    EXPECT_EQ(bearings.value("late").toInt(), 0);
    EXPECT_EQ(summary.value("fixCount").toInt(), 2);
    EXPECT_EQ(summary.value("stations").toObject(), (QJsonObject{{"kept", 3}, {"forgotten", 0}, {"max", 256}}));
}

TEST(KvtFixTimeTest, FromFilesTheBearingAheadOfTheOtherStationsIsCountedPerStation)
{
    // Files of a replay years ahead of the clock: judged by the stations, not
    // by the clock. North and South stop at 20 s, West and East start at 40 s.
    const qint64 startMs = QDateTime(QDate(2031, 1, 1), QTime(8, 0), Qt::UTC).toMSecsSinceEpoch();
    const Site east{"East", 52.50, 13.70};
    QTemporaryDir dir;
    QStringList arguments;
    for (const auto& [site, from] :
         std::vector<std::pair<Site, int>>{{FusionTest::NORTH, 0}, {FusionTest::SOUTH, 0}, {FusionTest::WEST, 40}, {east, 40}}) {
        QByteArray lines;
        for (int t = from; t < from + 20; ++t)
            lines += Message(site, t + 1, startMs + 1000LL * t) + "\n";
        if (QLatin1String(site.pszName) == QLatin1String("West"))
            lines += Message(site, 100, startMs + DAY_MS) + "\n";
        ASSERT_TRUE(WriteFile(dir.filePath(QStringLiteral("%1/bearings.jsonl").arg(site.pszName)), lines));
        arguments << "--input" << dir.filePath(site.pszName);
    }
    const ProgramRun run = RunProgram(KVTFIX_PATH, arguments);
    const QByteArray text = run.stdOut;
    EXPECT_EQ(run.nExitCode, 0) << run.stdErr.constData();
    EXPECT_TRUE(text.contains("81 read, 80 used, 0 refused, 0 duplicates, 0 late, 1 from the future, 0 in no fix\n")) << text.constData();
    EXPECT_TRUE(text.contains("  from the future 1: West\n")) << text.constData();
    EXPECT_TRUE(text.contains("fixes: 4 (0 windows without a fix)")) << text.constData();
}

}
