#include "tools/kvtconsole/consolecommandline.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The console offers kvtstation's options with its own defaults; the station's command line checks them.
TEST(ConsoleCommandLineTest, TheConsolesDefaultsReachTheStation)
{
    ConsoleCommandLine commandLine;
    ASSERT_TRUE(commandLine.Parse({"kvtconsole"})) << commandLine.GetError().toStdString();
    const StationCommandLine& station = commandLine.GetStation();
    EXPECT_EQ(station.GetSeconds(), ConsoleCommandLine::DEFAULT_SECONDS);
    EXPECT_EQ(station.GetOutputDir(), QDir::current().absoluteFilePath("kvtconsole-output"));
    EXPECT_EQ(station.GetSeed(), 1u);
    EXPECT_TRUE(station.GetConfigDir().isEmpty() && station.GetSerialAddress().isEmpty());
    EXPECT_EQ(station.GetScenario(), nullptr);
    EXPECT_EQ(commandLine.GetTab(), 0);
}

TEST(ConsoleCommandLineTest, EveryStationOptionIsHandedOnAndCheckedWithTheStationsMessage)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ConsoleCommandLine commandLine;
    ASSERT_TRUE(commandLine.Parse({"kvtconsole", "--config-dir", dir.path(), "--output-dir", dir.filePath("out"),
                                   "--seconds", "7", "--seed", "9", "--serial", "/dev/ttyS9", "--mqtt",
                                   "127.0.0.1:1884", "--lang", "de", "--scenario",
                                   KVT_SOURCE_DIR "/scenarios/default.json", "--station", "North", "--tab", "map"}))
        << commandLine.GetError().toStdString();
    const StationCommandLine& station = commandLine.GetStation();
    EXPECT_EQ(station.GetConfigDir(), dir.path());
    EXPECT_EQ(station.GetOutputDir(), dir.filePath("out"));
    EXPECT_EQ(station.GetSeconds(), 7);
    EXPECT_EQ(station.GetSeed(), 9u);
    EXPECT_EQ(station.GetSerialAddress(), "/dev/ttyS9:9600,n,8,1");
    EXPECT_EQ(station.GetBrokerPort(), 1884);
    EXPECT_EQ(station.GetLocale().language(), QLocale::German);
    ASSERT_NE(station.GetStation(), nullptr);
    EXPECT_EQ(station.GetStation()->strName, "North");
    EXPECT_EQ(commandLine.GetTab(), 1);

    for (const QStringList& wrong : {QStringList{"--seed", "-1"}, QStringList{"--station", "North"}}) {
        ConsoleCommandLine console;
        StationCommandLine alone;
        EXPECT_FALSE(console.Parse(QStringList{"kvtconsole"} << wrong));
        EXPECT_FALSE(alone.Parse(QStringList{"kvtstation"} << wrong));
        EXPECT_EQ(console.GetError(), alone.GetError());
    }
}

}
