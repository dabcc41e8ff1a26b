#include "tests/tools/kvtstationfixture.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// The same seed gives the same summary, whatever the folder.
TEST_F(StationTest, SummaryAgreesWithTheFilesWrittenAndTheSameSeedRepeatsIt)
{
    const QString plot = OutputPath("bearings.png");
    const QJsonObject summary = Summary("run", {"--plot", plot});

    const QJsonObject bearings = summary["bearings"].toObject();
    qint64 rejected = 0;
    int reasons = 0;
    for (const QJsonValue count : bearings["rejected"].toObject()) {
        rejected += count.toInt();
        reasons += count.toInt() > 0 ? 1 : 0;
    }
    EXPECT_GT(bearings["accepted"].toInt(), 0);
    EXPECT_EQ(bearings["produced"].toInt(), bearings["accepted"].toInt() + rejected);
    EXPECT_GE(reasons, 2) << QJsonDocument(bearings).toJson().constData();

    // Every accepted bearing becomes one sentence, in fixed-frequency and in scan mode.
    const QJsonObject sentences = summary["sentences"].toObject();
    EXPECT_EQ(QFileInfo(sentences["file"].toString()).dir().path(), OutputPath("run"));
    const int lines = LineCount(sentences["file"].toString());
    EXPECT_EQ(lines, sentences["written"].toInt());
    EXPECT_EQ(lines, bearings["accepted"].toInt());

    const QJsonArray logFiles = summary["commandLog"]["files"].toArray();
    ASSERT_FALSE(logFiles.isEmpty());
    QByteArray log;
    for (const QJsonValue file : logFiles)
        log += ReadFile(file.toString());
    EXPECT_TRUE(log.contains("FREQ 156.8000 MHz")) << log.constData();
    EXPECT_TRUE(log.contains("MODE SCAN"));
    EXPECT_GT(summary["commandLog"]["commands"].toInt(), 0);

    EXPECT_EQ(summary["hardware"]["missing"].toArray(), QJsonArray({"Compass"}));
    EXPECT_EQ(summary["hardware"]["unknown"].toArray(), QJsonArray({"Noise Generator"}));
    EXPECT_TRUE(ReadFile(plot).startsWith("\x89PNG\r\n\x1a\n"));
    EXPECT_EQ(WithoutPaths(Summary("again", {"--plot", OutputPath("again.png")})), WithoutPaths(summary));
}

TEST_F(StationTest, BadArgumentsGiveOneLineExitCodeTwoAndWriteNothing)
{
    const QString output = OutputPath("never");
    const QList<QStringList> wrongs = {
        {"--seconds", "0"}, {"--seconds", "ten"}, {"--seed", "-1"}, {"--plot", OutputPath("plot.jpg")},
        {"--config-dir", OutputPath("missing")}, {"--serial", ""}, {"--serial", "/dev/ttyS0:fast"},
        {"--unknown"}, {"surplus"}, {"--lang", "klingon"}, {"--mqtt", "127.0.0.1"}, {"--mqtt", ":1883"},
        {"--mqtt", "127.0.0.1:65536"}};
    for (const QStringList& wrong : wrongs) {
        const Run run = Station(QStringList{"--output-dir", output} << wrong);
        EXPECT_EQ(run.nExitCode, 2) << wrong.join(' ').toStdString();
        EXPECT_TRUE(run.stdOut.isEmpty());
        EXPECT_EQ(run.stdErr.count('\n'), 1) << run.stdErr.constData();
    }
    EXPECT_FALSE(QFileInfo::exists(output));
    EXPECT_TRUE(QDir(m_dir.path()).isEmpty());
}

TEST_F(StationTest, ReportShowsTheStationsCapabilitiesWithoutRunningIt)
{
    const QString output = OutputPath("report");
    const Run run = Station({"--config-dir", m_dir.path(), "--output-dir", output, "--report", "--json"});
    ASSERT_EQ(run.nExitCode, 0) << run.stdErr.constData();
    const QJsonObject report = QJsonDocument::fromJson(run.stdOut).object();
    EXPECT_EQ(report["device"]["type"].toString(), "KVTQ1");
    EXPECT_EQ(report["configuration"]["directory"].toString(), m_dir.path());
    EXPECT_FALSE(QFileInfo::exists(output));
}

}
