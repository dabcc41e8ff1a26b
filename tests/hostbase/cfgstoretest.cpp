#include "tests/common/configdirfixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gmock/gmock.h>

#include <sys/stat.h>

#include <functional>
#include <iterator>
#include <memory>

namespace
{

using testing::HasSubstr;

/// Collects the texts of qWarning while it lives.
class WarningLog
{
public:
    WarningLog() : m_previous(qInstallMessageHandler(&Collect)) { s_strText.clear(); }
    ~WarningLog() { qInstallMessageHandler(m_previous); }
    WarningLog(const WarningLog&) = delete;
    WarningLog& operator=(const WarningLog&) = delete;
    std::string Text() const { return s_strText.toStdString(); }

private:
    static void Collect(QtMsgType type, const QMessageLogContext&, const QString& text)
    {
        if (type == QtWarningMsg)
            s_strText += text + QLatin1Char('\n');
    }
    static inline QString s_strText;
    QtMessageHandler m_previous;
};

class CfgStoreTest : public ConfigDirFixture
{
protected:
    void TearDown() override
    {
        CfgCenter::SetFreeSpaceForTesting(-1);
        ConfigDirFixture::TearDown();
    }

    static std::unique_ptr<ICfg> Open(const QString& section = QString())
    {
        std::unique_ptr<ICfg> pCfg(CfgCenter::CreateCfg(QStringLiteral("Shared"), ICfg::User, QString()));
        return section.isEmpty() ? std::move(pCfg) : std::unique_ptr<ICfg>(pCfg->GetSubCfg(section, ICfg::User));
    }

    QString FilePath() const { return m_dir.filePath("user/Shared.ini"); }

    static QByteArray Read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

    static void Write(const QString& path, const QByteArray& bytes)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()) << path.toStdString();
    }
};

// Until the last handle is released nothing is written; then everything at once.
TEST_F(CfgStoreTest, HandlesShareChangesAndTheLastReleaseSavesThem)
{
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
        EXPECT_FALSE(QFile::exists(FilePath())) << "handles still open";
    }
    EXPECT_TRUE(Read(FilePath()).contains("[SystemConfiguration/Antenna0]\nCount=7\nName=DF1\n")) << "human-readable";
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

// Found by fuzz_inifile: a "%2F" in a hand-written header made a section
// with an empty name that no GetSubCfg could reach.
TEST_F(CfgStoreTest, EncodedSlashesInHeadersSeparateSections)
{
    const QString path = Open()->GetFileName();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[%2Fx ]\nKey=v\n[a%2F%2Fb/]\nOther=w\n");
    file.close();
    EXPECT_EQ(Open()->GetSubCfgNames(), (QStringList{"a", "x"}));
    EXPECT_EQ(Open("x")->GetString("Key", QString(), 0), "v");
    EXPECT_EQ(Open("a/b")->GetString("Other", QString(), 0), "w");
}

TEST_F(CfgStoreTest, FilePerNameAndViewAndTheAppConfigurationSavedByTheEventLoop)
{
    CfgCenter::GetAppCfg(ICfg::Station).SetInt("Count", 1, 0);
    EXPECT_EQ(CfgCenter::GetAppCfg(ICfg::Station).GetFileName(), m_dir.filePath("station/Application.ini"));
    EXPECT_FALSE(CfgCenter::GetAppCfg(ICfg::Application).Contains("Count"));
    std::unique_ptr<ICfg> odd(CfgCenter::CreateCfg("../x", ICfg::View(9), QString()));
    EXPECT_EQ(odd->GetFileName(), m_dir.filePath("view9/%2E.%2Fx.ini"));

    // The application configuration is never released: the event loop saves it.
    EXPECT_FALSE(QFile::exists(m_dir.filePath("station/Application.ini")));
    QCoreApplication::processEvents();
    EXPECT_TRUE(Read(m_dir.filePath("station/Application.ini")).contains("\nCount=1\n"));
    // So does the end of a process that never returns to one.
    EXPECT_EQ(RunHelper(HOSTBASE_HELPER, {"app", "-", "Direct", "at exit"}).exitCode(), 0);
    EXPECT_TRUE(Read(m_dir.filePath("user/Application.ini")).contains("\nDirect=at exit\n"));
}

TEST_F(CfgStoreTest, ValuesSurviveIntoAnotherProcess)
{
    Open("A/B")->SetString("Key", "from parent", 0);
    EXPECT_EQ(RunHelper(HOSTBASE_HELPER, {"get", "A/B", "Key"}).readAllStandardOutput(), QByteArray("from parent\n"));
    EXPECT_EQ(RunHelper(HOSTBASE_HELPER, {"set", "A", "Other", "from child"}).exitCode(), 0);
    EXPECT_EQ(Open("A")->GetString("Other", QString(), 0), "from child");
    EXPECT_EQ(Open("A/B")->GetString("Key", QString(), 0), "from parent");
}

// A file-size limit cuts a save short: with the default signal action the
// helper is killed, with SIGXFSZ ignored the write comes up short. Either way
// the previous file stays byte for byte; the helper reports the failure and
// ends with a failure code.
TEST_F(CfgStoreTest, FileSizeLimitKeepsThePreviousFile)
{
    Open()->SetString("Before", "intact", 0);
    const QByteArray before = Read(FilePath());
    const QString limit = QString::number(before.size() + 100);

    EXPECT_EQ(RunHelper(HOSTBASE_HELPER, {"flood", "S", "Big", limit}).exitStatus(), QProcess::CrashExit);
    EXPECT_EQ(Read(FilePath()), before);

    QProcess& helper = RunHelper(HOSTBASE_HELPER, {"fill", "S", "Big", limit});
    EXPECT_EQ(helper.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(helper.exitCode(), 3);
    EXPECT_THAT(helper.readAllStandardError().toStdString(), HasSubstr("Shared.ini' could not be written"));
    EXPECT_EQ(Read(FilePath()), before);
    EXPECT_FALSE(Open("S")->Contains("Big"));

    // The lock file that the killed helper left behind does not block.
    Open("S")->SetString("After", "saved", 0);
    EXPECT_TRUE(Read(FilePath()).contains("\nAfter=saved\n"));
}

// A full disk: the file stays as it was, the change stays in memory and is
// reported (traces are off), and the next save writes it.
TEST_F(CfgStoreTest, FailedSaveIsReportedKeptAndRetried)
{
    Open("S")->SetString("Before", "intact", 0);
    const QByteArray before = Read(FilePath());
    WarningLog warnings;
    CfgCenter::SetFreeSpaceForTesting(before.size());
    Open("S")->SetString("New", "does not fit", 0);
    EXPECT_EQ(Read(FilePath()), before);
    EXPECT_THAT(warnings.Text(), HasSubstr("Shared.ini' could not be written: only part of its"));
    EXPECT_EQ(Open("S")->GetString("New", QString(), 0), "does not fit");
    EXPECT_FALSE(CfgCenter::Flush());
    EXPECT_EQ(Read(FilePath()), before);

    CfgCenter::SetFreeSpaceForTesting(-1);
    EXPECT_TRUE(CfgCenter::Flush());
    CfgCenter::Reset();
    EXPECT_EQ(Open("S")->GetString("New", QString(), 0), "does not fit");
}

// Only the lines of changed keys are written anew; new ones end like the file's lines.
TEST_F(CfgStoreTest, WhatTheStoreDoesNotUnderstandSurvivesByteForByte)
{
    QByteArray odd = "\xEF\xBB\xBF; hand-edited\r\nTop=1\r\n[Odd]\r\nLatin=Gr\xFC\xDF" "e\r\nNul=a";
    odd += '\0';
    odd += "b\r\nno equals sign here\r\nDup=first\r\nDup=second\r\n\r\n";
    const QByteArray touchedBefore = "[Touched]\r\nKeep=\xFF\xFE raw\r\nChange=old\r\nDrop=1\r\n# comment\r\nLast=no line end";
    Write(FilePath(), odd + touchedBefore);
    {
        auto untouched = Open("Odd");
        EXPECT_EQ(untouched->GetString("Nul", QString(), 0), QString::fromUtf8("a\0b", 3));
        EXPECT_EQ(untouched->GetString("Dup", QString(), 0), "second");
        untouched->SetString("Dup", "second", 0);
        auto touched = Open("Touched");
        touched->SetString("Change", "new", 0);
        touched->RemoveKey("Drop");
        touched->SetString("Zed", "x", 0);
        Open("New")->SetString("K", "v", 0);
        Open()->SetString("Top", "1", 0);
    }
    const QByteArray touchedAfter = "[Touched]\r\nKeep=\xFF\xFE raw\r\nChange=new\r\n# comment\r\nLast=no line end\r\nZed=x\r\n";
    EXPECT_EQ(Read(FilePath()), QByteArray(odd).insert(odd.indexOf("[Odd]"), "[New]\r\nK=v\r\n\r\n") + touchedAfter);
}

// A file that cannot be read, or is no regular file, is never replaced.
TEST_F(CfgStoreTest, UnreadableOrSpecialFilesAreNeverReplaced)
{
    QTemporaryDir outside;
    const QString outsideFile = outside.filePath("outside.ini");
    Write(outsideFile, "Key=outside\n");
    Write(m_dir.filePath("real/inside.ini"), "Key=inside\n");
    QFile big(m_dir.filePath("big.ini"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(qint64(65) << 20));
    big.close();
    ASSERT_EQ(mkfifo(m_dir.filePath("fifo").toLocal8Bit().constData(), 0600), 0);
    QDir().mkpath(m_dir.filePath("user"));

    // What is put at the file's place, and then {reason reported, value read}.
    const std::function<bool()> aSetUps[] = {
        [&] { return QDir().mkpath(FilePath()); },
        [&] { return QFile::link(m_dir.filePath("fifo"), FilePath()); },
        [&] { return QFile::link(outsideFile, FilePath()); },
        [&] { return QFile::link(m_dir.filePath("big.ini"), FilePath()); },
        [&] { return QFile::link(m_dir.filePath("missing.ini"), FilePath()); },
    };
    const char* const aReasons[][2] = {{"it is not a regular file", ""},
                                       {"it is not a regular file", ""},
                                       {"outside the configuration directory", "outside"},
                                       {"it is larger than 64 MiB", ""},
                                       {"it is a symbolic link to nothing", ""}};
    for (size_t i = 0; i < std::size(aSetUps); ++i) {
        ASSERT_TRUE(aSetUps[i]()) << i;
        const QFileInfo before(FilePath());
        {
            WarningLog warnings;
            auto cfg = Open();
            EXPECT_EQ(cfg->GetString("Key", QString(), 0), aReasons[i][1]) << i;
            cfg->SetString("Key", "changed", 0);
            cfg.reset();
            EXPECT_FALSE(CfgCenter::Flush()) << i;
            EXPECT_THAT(warnings.Text(), HasSubstr("Shared.ini' is read-only in this session: it is")) << i;
            EXPECT_THAT(warnings.Text(), HasSubstr(aReasons[i][0])) << i;
            CfgCenter::Reset();
        }
        const QFileInfo after(FilePath());
        EXPECT_EQ(after.isSymLink(), before.isSymLink()) << i;
        EXPECT_EQ(after.isDir(), before.isDir()) << i;
        if (!QFile::remove(FilePath()))
            QDir(FilePath()).removeRecursively();
    }
    EXPECT_EQ(Read(outsideFile), "Key=outside\n");
    EXPECT_EQ(QFileInfo(m_dir.filePath("big.ini")).size(), qint64(65) << 20);

    // A link to a regular file inside the configuration directory is written through.
    ASSERT_TRUE(QFile::link(m_dir.filePath("real/inside.ini"), FilePath()));
    EXPECT_EQ(Open()->GetString("Key", QString(), 0), "inside");
    Open()->SetString("Key", "changed", 0);
    EXPECT_TRUE(QFileInfo(FilePath()).isSymLink());
    EXPECT_EQ(Read(m_dir.filePath("real/inside.ini")), "Key=changed\n");
}

// Each process saves a change set of 20 keys at a time, 50 times, while the
// other does the same.
TEST_F(CfgStoreTest, TwoProcessesWritingAtOnceLoseNothing)
{
    m_helper.start(HOSTBASE_HELPER, {"many", "Many", "child", "1000"});
    ASSERT_TRUE(m_helper.waitForStarted());
    for (int i = 0; i < 1000; i += 20) {
        const auto many = Open("Many");
        for (int k = i; k < i + 20; ++k)
            many->SetInt(QStringLiteral("parent%1").arg(k), k, 0);
    }
    ASSERT_TRUE(m_helper.waitForFinished(300000));
    EXPECT_EQ(m_helper.exitCode(), 0);

    CfgCenter::Reset();
    const auto many = Open("Many");
    int nLost = 0;
    for (int k = 0; k < 1000; ++k) {
        for (const char* writer : {"parent", "child"})
            nLost += many->GetInt(writer + QString::number(k), -1, 0) != k;
    }
    EXPECT_EQ(nLost, 0);
    EXPECT_EQ(many->GetKeys().size(), 2000);
}

// A header and a value of megabytes (their reading time grows linearly with
// their length, see cfgstorebench).
TEST_F(CfgStoreTest, LongLinesSurvive)
{
    const QString name(2 << 20, QLatin1Char('h'));
    const QString value(4 << 20, QLatin1Char('v'));
    Open(name)->SetString("Key", value, 0);
    CfgCenter::Reset();
    EXPECT_TRUE(Open(name)->GetString("Key", QString(), 0) == value);
}

}
