#include "tests/common/configdirfixture.h"
#include "tests/common/filecontent.h"
#include "tests/common/filesizelimit.h"
#include "station/polargeometry.h"

#include <QFile>
#include <QImage>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTest>

#include <csignal>

#include <map>
#include <utility>

extern "C" const char* __lsan_default_suppressions();

namespace {

/// The console program as a user runs it for its picture, on the offscreen platform.
class ConsoleProgramTest : public ConfigDirFixture
{
protected:
    void SetUp() override
    {
        ConfigDirFixture::SetUp();
        ASSERT_TRUE(m_output.isValid());
        // The offscreen platform keeps its screen until exit; the test
        // program's own suppressions tell the child's leak checker so.
        const QString suppressions = m_output.filePath("lsan.supp");
        ASSERT_TRUE(WriteFile(suppressions, __lsan_default_suppressions()));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("LSAN_OPTIONS", "suppressions=" + suppressions);
        m_helper.setProcessEnvironment(environment);
    }

    int Console(const QStringList& arguments)
    {
        QProcess& process = RunHelper(QStringLiteral(KVTCONSOLE_PATH),
                                      QStringList{"--config-dir", m_dir.path(), "--output-dir", m_output.filePath("run")}
                                          << arguments);
        m_stdOut = process.readAllStandardOutput();
        m_stdErr = process.readAllStandardError();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    QTemporaryDir m_output;
    QByteArray m_stdOut;
    QByteArray m_stdErr;
};

TEST_F(ConsoleProgramTest, ScreenshotShowsThePolarDisplayWithBearingsInTheirBands)
{
    const QString shot = m_output.filePath("console.png");
    ASSERT_EQ(Console({"--seconds", "20", "--seed", "3", "--screenshot", shot}), 0) << m_stdErr.constData();
    EXPECT_TRUE(m_stdOut.contains("Bearings produced")) << m_stdOut.constData();

    QImage image;
    ASSERT_TRUE(image.load(shot, "PNG"));
    EXPECT_GE(image.width(), 800);
    // Fresh dots in each band's colour, and the shading of the filtered sectors.
    std::map<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* pLine = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            ++counts[pLine[x] | 0xff000000u];
    }
    for (int band = 0; band < 3; ++band)
        EXPECT_GT(counts[PolarGeometry::BandColour(band).rgb()], 50) << PolarGeometry::BandName(band).toStdString();
    EXPECT_GT(counts[qRgb(0xf4, 0xc7, 0xc3)], 10000);
}

// The console is a scenario's station as kvtstation is: its summary names it,
// its bearing file holds what it accepted.
TEST_F(ConsoleProgramTest, AScenarioStationRunsInTheWindow)
{
    const QString scenario = QStringLiteral(KVT_SOURCE_DIR "/scenarios/default.json");
    ASSERT_EQ(Console({"--seconds", "6", "--scenario", scenario, "--station", "North", "--screenshot",
                       m_output.filePath("north.png")}),
              0)
        << m_stdErr.constData();
    EXPECT_TRUE(m_stdOut.contains("Scenario station:   North (sender)")) << m_stdOut.constData();
    const QRegularExpressionMatch accepted =
        QRegularExpression("accepted: +([0-9]+)").match(QString::fromUtf8(m_stdOut));
    ASSERT_TRUE(accepted.hasMatch());
    EXPECT_GT(accepted.captured(1).toInt(), 0);
    EXPECT_EQ(LineCount(m_output.filePath("run/bearings.jsonl")), accepted.captured(1).toInt());
    EXPECT_EQ(Console({"--scenario", scenario, "--station", "Nobody"}), 2);
}

TEST_F(ConsoleProgramTest, StopSignalClosesTheWindowWithOutputsSettledAndTheSummary)
{
    // Wall-clock time: the station runs until it is told to stop.
    const QString sentences = m_output.filePath("run/dfdata.txt");
    m_helper.start(QStringLiteral(KVTCONSOLE_PATH),
                   {"--config-dir", m_dir.path(), "--output-dir", m_output.filePath("run"), "--seconds", "600"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo(sentences).size() > 0; }, 60000));
    m_helper.terminate();
    ASSERT_TRUE(m_helper.waitForFinished(60000));
    EXPECT_EQ(m_helper.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_helper.exitCode(), 128 + SIGTERM);
    const QByteArray summary = m_helper.readAllStandardOutput();
    const QRegularExpressionMatch written =
        QRegularExpression("Sentences written: +([0-9]+)").match(QString::fromUtf8(summary));
    ASSERT_TRUE(written.hasMatch()) << summary.constData();
    EXPECT_EQ(LineCount(sentences), written.captured(1).toInt());
}

// The summary speaks the window's language (its columns: kvtstation's language tests, the same printer).
TEST_F(ConsoleProgramTest, SummaryIsGermanUnderLangDe)
{
    ASSERT_EQ(Console({"--seconds", "2", "--lang", "de", "--screenshot", m_output.filePath("de.png")}), 0)
        << m_stdErr.constData();
    const QString summary = QString::fromUtf8(m_stdOut);
    for (const char* line : {"Simulierte Zeit: ", "Peilungen erzeugt: ", "  angenommen: ", "  verworfen, Plattformneigung:",
                             "Hardware fehlt: ", "ZOD-Empfänger: ", "nicht eingerichtet", "\nAusgaben\n", "  Satzdatei: "})
        EXPECT_TRUE(summary.contains(QString::fromUtf8(line))) << line << "\n" << summary.toStdString();
    EXPECT_FALSE(summary.contains("Bearings produced")) << summary.toStdString();
}

// Text only, without any display: no platform plugin is needed.
TEST_F(ConsoleProgramTest, HelpAndVersionNeedNoDisplay)
{
    QProcessEnvironment environment = m_helper.processEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(name);
    m_helper.setProcessEnvironment(environment);
    ASSERT_EQ(Console({"--help"}), 0) << m_stdErr.constData();
    EXPECT_TRUE(m_stdOut.contains("--screenshot")) << m_stdOut.constData();
    ASSERT_EQ(Console({"--version"}), 0) << m_stdErr.constData();
    EXPECT_TRUE(m_stdOut.startsWith("kvtconsole ")) << m_stdOut.constData();
    // The window itself cannot open: said so, with the code of a station not brought up.
    EXPECT_EQ(Console({"--seconds", "1"}), 1);
    EXPECT_TRUE(m_stdErr.contains("no display")) << m_stdErr.constData();
}

// As --help documents: a screenshot that cannot be written ends with 4 and the real reason.
TEST_F(ConsoleProgramTest, ScreenshotThatCannotBeWrittenEndsWithFourAndTheReason)
{
    EXPECT_EQ(Console({"--seconds", "1", "--screenshot", m_output.filePath("missing/shot.png")}), 4);
    EXPECT_TRUE(m_stdErr.contains("No such file or directory")) << m_stdErr.constData();
    EXPECT_FALSE(QFileInfo::exists(m_output.filePath("run"))) << "refused before the run";

    // The disk fills up while the picture is written: the file system's reason, not the encoder's.
    {
        const FileSizeLimit full(60000);
        EXPECT_EQ(Console({"--seconds", "2", "--screenshot", m_output.filePath("full.png")}), 4);
    }
    EXPECT_TRUE(m_stdErr.contains("cannot write the screenshot")) << m_stdErr.constData();
    EXPECT_TRUE(m_stdErr.contains("File too large")) << m_stdErr.constData();
    EXPECT_FALSE(m_stdErr.contains("libpng")) << m_stdErr.constData();
    EXPECT_FALSE(QFileInfo::exists(m_output.filePath("full.png")));
}

TEST_F(ConsoleProgramTest, RefusesBadArgumentsBeforeTouchingAnything)
{
    const std::pair<QStringList, const char*> wrongs[] = {{{"--screenshot", m_output.filePath("shot.jpg")}, "must end in .png"},
                                                          {{"--lang", "xx-nonsense"}, "Unknown language"},
                                                          {{"--seconds", "0"}, "Seconds must be"}};
    for (const auto& wrong : wrongs) {
        EXPECT_EQ(Console(wrong.first), 2) << wrong.second;
        EXPECT_TRUE(m_stdErr.contains(wrong.second)) << m_stdErr.constData();
    }
    EXPECT_FALSE(QFileInfo::exists(m_output.filePath("run")));
}

}
