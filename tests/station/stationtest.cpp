#include "tests/common/configdirfixture.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

/// Runs the simulated station as a user would, on the test's fresh
/// configuration directory, and reads back what it wrote.
class StationTest : public ConfigDirFixture
{
protected:
    struct Run { int nExitCode; QByteArray stdOut; QByteArray stdErr; };

    Run Station(const QStringList& arguments)
    {
        QProcess& process = RunHelper(QStringLiteral(KVTSTATION_PATH), arguments);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                process.readAllStandardOutput(), process.readAllStandardError()};
    }

    /// A JSON run of a few simulated seconds into its own output folder.
    QJsonObject Summary(const QString& outputName, const QStringList& extra = {})
    {
        const Run run = Station(QStringList{"--config-dir", m_dir.path(), "--output-dir", OutputPath(outputName),
                                            "--seconds", "4", "--seed", "7", "--json"}
                                << extra);
        EXPECT_EQ(run.nExitCode, 0) << run.stdErr.constData();
        return QJsonDocument::fromJson(run.stdOut).object();
    }

    QString OutputPath(const QString& name) const { return m_output.filePath(name); }

    static QByteArray ReadFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    /// The summary without the paths, which differ from run to run.
    static QJsonObject WithoutPaths(QJsonObject summary)
    {
        QJsonObject sentences = summary["sentences"].toObject();
        sentences.remove("file");
        summary["sentences"] = sentences;
        QJsonObject commandLog = summary["commandLog"].toObject();
        commandLog.remove("directory");
        commandLog["files"] = commandLog["files"].toArray().size();
        summary["commandLog"] = commandLog;
        summary.remove("outputs");
        QJsonArray deliveries;
        for (const QJsonValue entry : summary["deliveries"].toArray()) {
            QJsonObject delivery = entry.toObject();
            delivery.remove("target");
            deliveries.append(delivery);
        }
        summary["deliveries"] = deliveries;
        return summary;
    }

    QTemporaryDir m_output;
};

TEST_F(StationTest, SummaryAgreesWithTheFilesWritten)
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
    int lines = 0;
    for (const QByteArray& line : ReadFile(sentences["file"].toString()).split('\n'))
        lines += line.trimmed().isEmpty() ? 0 : 1;
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
}

TEST_F(StationTest, SameSeedGivesTheSameSummary)
{
    const QJsonObject first = Summary("first");
    EXPECT_EQ(WithoutPaths(Summary("second")), WithoutPaths(first));
}

TEST_F(StationTest, BadArgumentsGiveOneLineExitCodeTwoAndWriteNothing)
{
    const QString output = OutputPath("never");
    const QList<QStringList> wrongs = {
        {"--seconds", "0"}, {"--seconds", "ten"}, {"--seed", "-1"}, {"--plot", OutputPath("plot.jpg")},
        {"--config-dir", OutputPath("missing")}, {"--serial", ""}, {"--serial", "/dev/ttyS0:fast"},
        {"--unknown"}, {"surplus"}};
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
