#include "tests/tools/kvtstationfixture.h"

#include <QRegularExpression>

#include <initializer_list>

namespace {

/// kvtstation and kvtreport as a German user runs them: the language of
/// --lang, otherwise of LANG; English without either.
class ToolLanguageTest : public StationTest
{
protected:
    void SetUp() override
    {
        StationTest::SetUp();
        SetHelperLanguage("C.UTF-8");
    }

    /// A text summary of a short run, its output folder's path left out.
    QString TextSummary(const QString& outputName, const QStringList& extra = {})
    {
        const Run run = Station(QStringList{"--config-dir", m_dir.path(), "--output-dir", OutputPath(outputName),
                                            "--seconds", "2", "--seed", "7"}
                                << extra);
        EXPECT_EQ(run.nExitCode, 0) << run.stdErr.constData();
        return QString::fromUtf8(run.stdOut).replace(OutputPath(outputName), "OUT");
    }

    /// The capability report as text.
    QString TextReport(const QStringList& arguments = {})
    {
        const Run run = EndedRun(RunHelper(QStringLiteral(KVTREPORT_PATH), QStringList{"--config-dir", m_dir.path()}
                                                                                 << arguments));
        EXPECT_EQ(run.nExitCode, 0) << run.stdErr.constData();
        return QString::fromUtf8(run.stdOut);
    }

    static void ExpectGermanSummary(const QString& summary)
    {
        ExpectTexts(summary, {"Simulierte Zeit: ", "Sätze geschrieben: ", "zugestellt, 0 verloren",
                              "Befehle protokolliert: ", "ZOD-Empfänger: ", "nicht eingerichtet", "\nAusgaben\n"});
        EXPECT_FALSE(summary.contains("Bearings produced")) << summary.toStdString();
    }

    static void ExpectGermanReport(const QString& report)
    {
        ExpectTexts(report, {"\n  Gerätetyp ", "\n  Optionen ", "\nFrequenzgrenzen je Betriebsart\n",
                             "Die Antennenkonfiguration ist gültig."});
    }

    static void ExpectTexts(const QString& text, std::initializer_list<const char*> texts)
    {
        for (const char* pszText : texts)
            EXPECT_TRUE(text.contains(QString::fromUtf8(pszText))) << pszText << "\n" << text.toStdString();
    }
};

// Translated labels and reject reasons are longer than the English ones; the values still form one column.
TEST_F(ToolLanguageTest, StationSummaryIsGermanUnderLangDeInColumnsAndItsJsonStaysTheSame)
{
    const QString summary = TextSummary("text", {"--lang", "de"});
    ExpectGermanSummary(summary);
    QList<int> columns;
    const QRegularExpression value("^(Peilungen erzeugt|Befehle protokolliert|  verworfen, [^:]+): +",
                                   QRegularExpression::MultilineOption);
    for (auto it = value.globalMatch(summary); it.hasNext();)
        columns.append(it.next().capturedLength());
    // In their order: produced, the three reasons, commands.
    ASSERT_EQ(columns.size(), 5) << summary.toStdString();
    EXPECT_TRUE(summary.contains("Plattformneigung")) << summary.toStdString();
    EXPECT_EQ(columns[1], columns[2]);
    EXPECT_EQ(columns[2], columns[3]);
    EXPECT_EQ(columns[0], columns[4]);

    EXPECT_EQ(WithoutPaths(Summary("de", {"--lang", "de"})), WithoutPaths(Summary("en", {"--lang", "en"})));
}

TEST_F(ToolLanguageTest, StationFollowsTheUsersLocaleUnlessLangSaysOtherwise)
{
    const QString english = TextSummary("c");
    EXPECT_TRUE(english.startsWith("Simulated time:")) << english.toStdString();
    const QJsonObject json = WithoutPaths(Summary("c-json"));
    SetHelperLanguage("de_DE.UTF-8");
    ExpectGermanSummary(TextSummary("de"));
    EXPECT_EQ(WithoutPaths(Summary("de-json")), json);
    EXPECT_EQ(TextSummary("en", {"--lang", "en"}), english);
}

TEST_F(ToolLanguageTest, ReportIsGermanUnderLangDeOrTheUsersLocale)
{
    TextReport();  // stores the default station, and says so
    const QString english = TextReport();
    EXPECT_TRUE(english.contains("\n  device type ")) << english.toStdString();
    ExpectGermanReport(TextReport({"--lang", "de"}));
    SetHelperLanguage("de_DE.UTF-8");
    ExpectGermanReport(TextReport());
    EXPECT_EQ(TextReport({"--lang", "en"}), english);
}

}
