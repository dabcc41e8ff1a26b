#include "base/cfgcenter.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace
{

class CfgStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        qputenv("KVT_CONFIG_DIR", m_dir.path().toUtf8());
        CfgCenter::Reset();
    }

    void TearDown() override
    {
        CfgCenter::Reset();
        qunsetenv("KVT_CONFIG_DIR");
    }

    static std::unique_ptr<ICfg> Open(const QString& name = QStringLiteral("Shared"))
    {
        return std::unique_ptr<ICfg>(CfgCenter::CreateCfg(name, ICfg::User, QString()));
    }

    static std::unique_ptr<ICfg> Sub(ICfg& cfg, const QString& path)
    {
        return std::unique_ptr<ICfg>(cfg.GetSubCfg(path, ICfg::User));
    }

    // Runs the helper process on the same configuration directory.
    QProcess& RunHelper(const QStringList& arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("KVT_CONFIG_DIR"), m_dir.path());
        m_process.setProcessEnvironment(environment);
        m_process.start(QStringLiteral(HOSTBASE_HELPER), arguments);
        EXPECT_TRUE(m_process.waitForFinished(60000));
        return m_process;
    }

    QTemporaryDir m_dir;
    QProcess m_process;
};

TEST_F(CfgStoreTest, HandlesOnOneConfigurationShareChanges)
{
    auto cfg = Open();
    auto nested = Sub(*cfg, QStringLiteral("SystemConfiguration/Antenna0"));
    auto outer = Sub(*cfg, QStringLiteral("SystemConfiguration"));
    auto inner = Sub(*outer, QStringLiteral("//Antenna0/"));
    nested->SetString(QStringLiteral("Name"), QStringLiteral("DF1"), 0);
    EXPECT_EQ(inner->GetString(QStringLiteral("Name"), QString(), 0), QStringLiteral("DF1"));
    inner->SetInt(QStringLiteral("Count"), 7, 0);
    auto again = Open();
    auto third = Sub(*again, QStringLiteral("SystemConfiguration/Antenna0"));
    EXPECT_EQ(third->GetInt(QStringLiteral("Count"), 0, 0), 7);
    EXPECT_EQ(outer->GetSubCfgNames(), QStringList{QStringLiteral("Antenna0")});
    EXPECT_EQ(nested->GetKeys(), (QStringList{QStringLiteral("Count"), QStringLiteral("Name")}));
    EXPECT_EQ(cfg->GetSubCfg(QStringLiteral("//"), ICfg::User), nullptr);
    EXPECT_EQ(CfgCenter::CreateCfg(QString(), ICfg::User, QString()), nullptr);

    QFile file(cfg->GetFileName());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("[SystemConfiguration/Antenna0]\nCount=7\nName=DF1\n"));
}

TEST_F(CfgStoreTest, AbsentKeyDoubleReadIdiom)
{
    auto cfg = Open();
    const QString key = QStringLiteral("Valid");
    EXPECT_NE(cfg->GetBool(key, false, 0), cfg->GetBool(key, true, 0));
    EXPECT_NE(cfg->GetInt(key, 0, 0), cfg->GetInt(key, 1, 0));
    EXPECT_NE(cfg->GetString(key, QStringLiteral("a"), 0), cfg->GetString(key, QStringLiteral("b"), 0));
    cfg->SetBool(key, false, 0);
    EXPECT_EQ(cfg->GetBool(key, false, 0), cfg->GetBool(key, true, 0));
    EXPECT_FALSE(cfg->GetBool(key, true, 0));
    cfg->SetInt(QStringLiteral("Port"), -4500, 0);
    EXPECT_EQ(cfg->GetInt(QStringLiteral("Port"), 1, 0), -4500);
    cfg->SetString(QStringLiteral("Port"), QStringLiteral("12ab"), 0);
    EXPECT_EQ(cfg->GetInt(QStringLiteral("Port"), 3, 0), 3);
    cfg->SetString(QString(), QStringLiteral("ignored"), 0);
    EXPECT_TRUE(cfg->GetKeys().contains(QStringLiteral("Valid")));
    EXPECT_EQ(cfg->GetKeys().size(), 2);
}

TEST_F(CfgStoreTest, OddNamesAndValuesSurviveTheFile)
{
    const QStringList keys = {QStringLiteral("a=b"), QStringLiteral("[x]"), QStringLiteral("!lead"),
                              QStringLiteral(" spaced "), QStringLiteral("semi;colon#"), QStringLiteral("new\nline"),
                              QStringLiteral("Gr\u00FC\u00DFe%41"), QStringLiteral("back\\slash/x")};
    const QStringList values = {QStringLiteral(" lead and trail "), QStringLiteral("line1\nline2\r\n"),
                                QStringLiteral("c:\\dir\\s\\n"), QStringLiteral("=;#[!]"), QStringLiteral("\t\x01"),
                                QString(), QStringLiteral("\u00A0nbsp\u00A0"), QStringLiteral("\\")};
    const QString section = QStringLiteral("Odd]Name/x=y;z/ [q] ");
    {
        auto cfg = Open();
        auto odd = Sub(*cfg, section);
        for (int i = 0; i < keys.size(); ++i)
            odd->SetString(keys.at(i), values.at(i), 0);
        odd->SetReadOnly(keys.first(), true, 0);
    }
    auto cfg = Open();
    auto odd = Sub(*cfg, section);
    EXPECT_EQ(odd->GetKeys().size(), keys.size());
    for (int i = 0; i < keys.size(); ++i)
        EXPECT_EQ(odd->GetString(keys.at(i), QStringLiteral("<absent>"), 0), values.at(i)) << i;
    EXPECT_TRUE(odd->IsReadOnly(keys.first()));
    EXPECT_EQ(cfg->GetSubCfgNames(), QStringList{QStringLiteral("Odd]Name")});
}

TEST_F(CfgStoreTest, ReadOnlyFlagIsPersistentAndKeptOnWrite)
{
    {
        auto cfg = Open();
        cfg->SetString(QStringLiteral("Locked"), QStringLiteral("1"), 0);
        cfg->SetReadOnly(QStringLiteral("Locked"), true, 0);
        cfg->SetReadOnly(QStringLiteral("Missing"), true, 0);
        cfg->SetString(QStringLiteral("Locked"), QStringLiteral("2"), 0);
    }
    auto cfg = Open();
    EXPECT_TRUE(cfg->IsReadOnly(QStringLiteral("Locked")));
    EXPECT_EQ(cfg->GetString(QStringLiteral("Locked"), QString(), 0), QStringLiteral("2"));
    EXPECT_FALSE(cfg->Contains(QStringLiteral("Missing")));
    cfg->SetReadOnly(QStringLiteral("Locked"), false, 0);
    EXPECT_FALSE(cfg->IsReadOnly(QStringLiteral("Locked")));
}

TEST_F(CfgStoreTest, FilePerNameAndViewUnderTheConfigurationDirectory)
{
    CfgCenter::GetAppCfg(ICfg::Station).SetInt(QStringLiteral("Count"), 1, 0);
    EXPECT_EQ(CfgCenter::GetAppCfg(ICfg::Station).GetFileName(), m_dir.filePath(QStringLiteral("station/Application.ini")));
    EXPECT_FALSE(CfgCenter::GetAppCfg(ICfg::Application).Contains(QStringLiteral("Count")));
    std::unique_ptr<ICfg> odd(CfgCenter::CreateCfg(QStringLiteral("../x"), ICfg::View(9), QString()));
    EXPECT_EQ(odd->GetFileName(), m_dir.filePath(QStringLiteral("view9/%2E.%2Fx.ini")));

    QTemporaryDir other;
    qputenv("KVT_CONFIG_DIR", other.path().toUtf8());
    CfgCenter::Reset();
    EXPECT_EQ(CfgCenter::GetAppCfg(ICfg::Station).GetInt(QStringLiteral("Count"), 0, 0), 0);
}

TEST_F(CfgStoreTest, ValuesSurviveIntoAnotherProcess)
{
    {
        auto cfg = Open();
        Sub(*cfg, QStringLiteral("A/B"))->SetString(QStringLiteral("Key"), QStringLiteral("from parent"), 0);
    }
    EXPECT_EQ(RunHelper({QStringLiteral("get"), QStringLiteral("A/B"), QStringLiteral("Key")}).readAllStandardOutput(),
              QByteArray("from parent\n"));
    RunHelper({QStringLiteral("set"), QStringLiteral("A"), QStringLiteral("Other"), QStringLiteral("from child")});
    EXPECT_EQ(m_process.exitCode(), 0);
    auto cfg = Open();
    EXPECT_EQ(Sub(*cfg, QStringLiteral("A"))->GetString(QStringLiteral("Other"), QString(), 0), QStringLiteral("from child"));
    EXPECT_EQ(Sub(*cfg, QStringLiteral("A/B"))->GetString(QStringLiteral("Key"), QString(), 0), QStringLiteral("from parent"));
}

// The helper is killed by the file-size limit while it writes a value larger
// than the limit: the previous file content must stay whole and readable.
TEST_F(CfgStoreTest, CrashDuringSaveKeepsThePreviousFile)
{
    QString fileName;
    {
        auto cfg = Open();
        cfg->SetString(QStringLiteral("Before"), QStringLiteral("intact"), 0);
        fileName = cfg->GetFileName();
    }
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    QProcess& helper = RunHelper({QStringLiteral("flood"), QStringLiteral("S"), QStringLiteral("Big"), QStringLiteral("65536")});
    EXPECT_EQ(helper.exitStatus(), QProcess::CrashExit);

    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    auto cfg = Open();
    EXPECT_EQ(cfg->GetString(QStringLiteral("Before"), QString(), 0), QStringLiteral("intact"));
    EXPECT_FALSE(Sub(*cfg, QStringLiteral("S"))->Contains(QStringLiteral("Big")));
}

} // namespace
