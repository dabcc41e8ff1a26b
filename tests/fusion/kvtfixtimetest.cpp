#include "fusion/bearingjson.h"
#include "tests/fusion/fusiontesthelpers.h"
#include "tools/kvtfix/fixrun.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using FusionTest::Site;
using FusionTest::Towards;

const qint64 START_MS = QDateTime(QDate(2026, 12, 7), QTime(8, 0), Qt::UTC).toMSecsSinceEpoch();
constexpr qint64 DAY_MS = 86400000;
const Site SITES[] = {FusionTest::NORTH, FusionTest::WEST, FusionTest::SOUTH};

/// A station's bearing towards (52.52, 13.405).
Bearing Numbered(const Site& site, qint64 seq, qint64 timeMs)
{
    Bearing bearing = Towards(site, 52.52, 13.405, 0.0, timeMs);
    bearing.nSeq = seq;
    return bearing;
}

QByteArray Message(const Site& site, qint64 seq, qint64 timeMs)
{
    return BearingJson::Format(Numbered(site, seq, timeMs));
}

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
        ASSERT_TRUE(QDir(dir.path()).mkpath(site.pszName));
        QFile file(dir.filePath(QStringLiteral("%1/bearings.jsonl").arg(site.pszName)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        for (int t = from; t < from + 20; ++t)
            file.write(Message(site, t + 1, startMs + 1000LL * t) + "\n");
        if (QLatin1String(site.pszName) == QLatin1String("West"))
            file.write(Message(site, 100, startMs + DAY_MS) + "\n");
        arguments << "--input" << dir.filePath(site.pszName);
    }
    QProcess process;
    process.start(QStringLiteral(KVTFIX_PATH), arguments);
    ASSERT_TRUE(process.waitForFinished(60000));
    const QByteArray text = process.readAllStandardOutput();
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();
    EXPECT_TRUE(text.contains("81 read, 80 used, 0 refused, 0 duplicates, 0 late, 1 from the future, 0 in no fix\n")) << text.constData();
    EXPECT_TRUE(text.contains("  from the future 1: West\n")) << text.constData();
    EXPECT_TRUE(text.contains("fixes: 4 (0 windows without a fix)")) << text.constData();

    process.start(QStringLiteral(KVTFIX_PATH), arguments + QStringList{"--max-stations", "2.5"});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 2);
    EXPECT_TRUE(process.readAllStandardError().contains("--max-stations must be a whole number"));
}

}
