#include "base/errorhandler.h"
#include "tests/common/configdirfixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <memory>

namespace
{

class CfgStoreTest : public ConfigDirFixture
{
protected:
    static std::unique_ptr<ICfg> Open(const QString& section = QString())
    {
        std::unique_ptr<ICfg> pCfg(CfgCenter::CreateCfg(QStringLiteral("Shared"), ICfg::User, QString()));
        return section.isEmpty() ? std::move(pCfg) : std::unique_ptr<ICfg>(pCfg->GetSubCfg(section, ICfg::User));
    }
};

TEST_F(CfgStoreTest, HandlesOnOneConfigurationShareChanges)
{
    auto cfg = Open();
    auto nested = Open("SystemConfiguration/Antenna0");
    auto outer = Open("SystemConfiguration");
    std::unique_ptr<ICfg> inner(outer->GetSubCfg("//Antenna0/", ICfg::User));
    nested->SetString("Name", "DF1", 0);
    EXPECT_EQ(inner->GetString("Name", QString(), 0), "DF1");
    inner->SetInt("Count", 7, 0);
    EXPECT_EQ(Open("SystemConfiguration/Antenna0")->GetInt("Count", 0, 0), 7);
    EXPECT_EQ(outer->GetSubCfgNames(), QStringList{"Antenna0"});
    EXPECT_EQ(nested->GetKeys(), (QStringList{"Count", "Name"}));
    EXPECT_EQ(cfg->GetSubCfg("//", ICfg::User), nullptr);
    EXPECT_EQ(CfgCenter::CreateCfg(QString(), ICfg::User, QString()), nullptr);

    QFile file(cfg->GetFileName());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("[SystemConfiguration/Antenna0]\nCount=7\nName=DF1\n")) << "human-readable";
}

// Callers tell an absent key from a stored one by reading it with two defaults.
TEST_F(CfgStoreTest, AbsentKeysGiveTheDefaultAndReadOnlyFlagsPersist)
{
    {
        auto cfg = Open();
        EXPECT_NE(cfg->GetBool("Valid", false, 0), cfg->GetBool("Valid", true, 0));
        cfg->SetBool("Valid", false, 0);
        cfg->SetString("Port", "12ab", 0);
        cfg->SetString(QString(), "ignored", 0);
        cfg->SetReadOnly("Port", true, 0);
        cfg->SetReadOnly("Missing", true, 0);
        cfg->SetInt("Port", -4500, 0);
    }
    auto cfg = Open();
    EXPECT_EQ(cfg->GetBool("Valid", false, 0), cfg->GetBool("Valid", true, 0));
    EXPECT_EQ(cfg->GetInt("Port", 1, 0), -4500);
    EXPECT_TRUE(cfg->IsReadOnly("Port")) << "kept across a write";
    EXPECT_EQ(cfg->GetKeys(), (QStringList{"Port", "Valid"}));
    cfg->SetString("Port", "12ab", 0);
    EXPECT_EQ(cfg->GetInt("Port", 3, 0), 3) << "unreadable number";
    cfg->SetReadOnly("Port", false, 0);
    EXPECT_FALSE(cfg->IsReadOnly("Port"));
}

TEST_F(CfgStoreTest, OddNamesAndValuesSurviveTheFile)
{
    const QStringList keys = {"a=b", "[x]", "!lead", " spaced ", "semi;colon#", "new\nline", "Gr\u00FC\u00DFe%41",
                              "back\\slash/x", "surrogates"};
    const QStringList values = {" lead and trail ", "line1\nline2\r\n", "c:\\dir\\s\\n", "=;#[!]", "\t\x01", QString(),
                                "\u00A0nbsp\u00A0", "\\",
                                // Found by fuzz_inifile: half pairs were lost in the file.
                                QString(QChar(0xDDDD)) + "x\U0001F600" + QChar(0xD800)};
    const QString section = "Odd]Name/x=y;z/ [q] ";
    for (int i = 0; i < keys.size(); ++i)
        Open(section)->SetString(keys.at(i), values.at(i), 0);
    CfgCenter::Reset();
    auto odd = Open(section);
    EXPECT_EQ(odd->GetKeys().size(), keys.size());
    for (int i = 0; i < keys.size(); ++i)
        EXPECT_EQ(odd->GetString(keys.at(i), "<absent>", 0), values.at(i)) << i;
    EXPECT_EQ(Open()->GetSubCfgNames(), QStringList{"Odd]Name"});
}

// A file as people edit it by hand. Found by fuzz_inifile: a "%2F" in a
// header made a section with an empty name that no GetSubCfg could reach.
TEST_F(CfgStoreTest, HandEditedFilesReadAsDocumented)
{
    const QString path = Open()->GetFileName();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("# comment\n=no key\n%20=blank key\nTail=a\\\nShort=\\u12\\x\nDel=\x7f\n[broken\n"
               "[%2Fx ]\nKey=v\n[a%2F%2Fb/]\nOther=w\n");
    file.close();
    auto cfg = Open();
    EXPECT_EQ(cfg->GetKeys(), (QStringList{" ", "Del", "Short", "Tail"}));
    EXPECT_EQ(cfg->GetString("Tail", QString(), 0), "a\\") << "a backslash at the end stays";
    EXPECT_EQ(cfg->GetString("Short", QString(), 0), "u12x") << "an incomplete \\u escape is no escape";
    EXPECT_EQ(cfg->GetString("Del", QString(), 0), "\x7f");
    EXPECT_EQ(cfg->GetSubCfgNames(), (QStringList{"a", "x"}));
    EXPECT_EQ(Open("x")->GetString("Key", QString(), 0), "v");
    EXPECT_EQ(Open("a/b")->GetString("Other", QString(), 0), "w");

    // Written back in the store's own form, the content stays the same.
    cfg->SetString("Del", "\x7f", 0);
    cfg->SetString("Name\x7f ", "x", 0);
    cfg->RemoveKey("Name\x7f ");
    CfgCenter::Reset();
    EXPECT_EQ(Open()->GetString("Del", QString(), 0), "\x7f");
    EXPECT_EQ(Open()->GetKeys(), (QStringList{" ", "Del", "Short", "Tail"}));
}

TEST_F(CfgStoreTest, RemovingAndLockingChangeOnlyWhatExists)
{
    Open("A")->SetString("Only", "1", 0);
    Open("AB")->SetString("Key", "2", 0);
    EXPECT_EQ(Open("A")->GetSubCfgNames(), QStringList()) << "\"AB\" is no sub-section of \"A\"";
    EXPECT_FALSE(Open("A")->RemoveKey("Missing"));
    EXPECT_FALSE(Open("Missing")->RemoveKey("Only"));
    Open("AB")->SetReadOnly("Key", false, 0);
    EXPECT_FALSE(Open("AB")->IsReadOnly("Key"));
    EXPECT_FALSE(Open("AB")->IsReadOnly("Missing"));
    EXPECT_TRUE(Open("A")->RemoveKey("Only"));
    EXPECT_EQ(Open()->GetSubCfgNames(), QStringList{"AB"}) << "a section without keys is gone";
}

// A directory that cannot be made (its parent is a file; no permissions
// involved, so this holds for root as well) fails the save with a warning;
// the value stays readable in memory.
TEST_F(CfgStoreTest, FailedSaveIsTracedAndKeepsTheValueInMemory)
{
    QFile blocker(m_dir.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("KVT_CONFIG_DIR", blocker.fileName().toUtf8() + "/below");
    QStringList lines;
    ErrorHandler::Instance().SetTraceMask(ErrorHandler::TRACE_BIT);
    ErrorHandler::Instance().SetSink([&lines](const QString& line) { lines << line; });
    auto cfg = Open();
    cfg->SetString("Key", "kept", 0);
    ErrorHandler::Instance().ResetSink();
    ErrorHandler::Instance().SetTraceMask(0);
    EXPECT_EQ(cfg->GetString("Key", QString(), 0), "kept");
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines.at(0).contains("WARNING: configuration file")) << lines.at(0).toStdString();
}

TEST_F(CfgStoreTest, FilePerNameAndViewUnderTheConfigurationDirectory)
{
    CfgCenter::GetAppCfg(ICfg::Station).SetInt("Count", 1, 0);
    EXPECT_EQ(CfgCenter::GetAppCfg(ICfg::Station).GetFileName(), m_dir.filePath("station/Application.ini"));
    EXPECT_FALSE(CfgCenter::GetAppCfg(ICfg::Application).Contains("Count"));
    std::unique_ptr<ICfg> odd(CfgCenter::CreateCfg("../x", ICfg::View(9), QString()));
    EXPECT_EQ(odd->GetFileName(), m_dir.filePath("view9/%2E.%2Fx.ini"));
}

TEST_F(CfgStoreTest, ValuesSurviveIntoAnotherProcess)
{
    Open("A/B")->SetString("Key", "from parent", 0);
    EXPECT_EQ(RunHelper(HOSTBASE_HELPER, {"get", "A/B", "Key"}).readAllStandardOutput(), QByteArray("from parent\n"));
    EXPECT_EQ(RunHelper(HOSTBASE_HELPER, {"set", "A", "Other", "from child"}).exitCode(), 0);
    EXPECT_EQ(Open("A")->GetString("Other", QString(), 0), "from child");
    EXPECT_EQ(Open("A/B")->GetString("Key", QString(), 0), "from parent");
}

// The helper is killed by the file-size limit while it writes a value larger
// than the limit: the previous file content must stay whole and readable.
TEST_F(CfgStoreTest, CrashDuringSaveKeepsThePreviousFile)
{
    Open()->SetString("Before", "intact", 0);
    QFile file(Open()->GetFileName());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    EXPECT_EQ(RunHelper(HOSTBASE_HELPER, {"flood", "S", "Big", "65536"}).exitStatus(), QProcess::CrashExit);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_EQ(Open()->GetString("Before", QString(), 0), "intact");
    EXPECT_FALSE(Open("S")->Contains("Big"));
}

}
