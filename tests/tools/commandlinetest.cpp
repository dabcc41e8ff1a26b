#include "commandline/brokerloginoptions.h"
#include "commandline/optionreader.h"
#include "tests/common/qstringprinter.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

using kvt::BrokerLoginOptions;
using kvt::OptionReader;

/// A reader of --n (a number), --w (a whole number), --c (a choice) and --mqtt, with the login options.
class CommandLineTest : public ::testing::Test
{
protected:
    bool Parse(const QStringList& arguments, const BrokerLoginOptions& login = BrokerLoginOptions(
                                                   BrokerLoginOptions::Session::Clean))
    {
        m_pReader = std::make_unique<OptionReader>(QStringLiteral("test"));
        m_pReader->AddOptions({{"n", "n", "n"}, {"w", "w", "w"}, {"c", "c", "c"}, {"mqtt", "mqtt", "host:port"}});
        m_pReader->AddOptions(login.Options());
        return m_pReader->Parse(QStringList{"program"} + arguments);
    }

    std::unique_ptr<OptionReader> m_pReader;
};

TEST_F(CommandLineTest, ValuesOutsideTheirRangeNameTheOptionTheLimitsAndTheValue)
{
    double number = 7.0;
    qint64 whole = 7;
    QString choice = QStringLiteral("kept");
    ASSERT_TRUE(Parse({}));
    EXPECT_TRUE(m_pReader->ReadNumber("n", 0.01, 1e9, number));
    EXPECT_TRUE(m_pReader->ReadChoice("c", {"a", "b"}, choice));
    EXPECT_EQ(number, 7.0) << "an option not given leaves the default";
    EXPECT_EQ(choice, QStringLiteral("kept"));

    for (const char* text : {"0", "nan", "1000000001", "x", ""}) {
        ASSERT_TRUE(Parse({"--n", text}));
        EXPECT_FALSE(m_pReader->ReadNumber("n", 0.01, 1e9, number)) << text;
        EXPECT_EQ(m_pReader->GetError(),
                  QStringLiteral("--n must be a number from 0.01 to 1000000000, not \"%1\".").arg(text));
    }
    ASSERT_TRUE(Parse({"--n", "1e9", "--w", "4294967295"}));
    EXPECT_TRUE(m_pReader->ReadNumber("n", 0.01, 1e9, number));
    EXPECT_TRUE(m_pReader->ReadWholeNumber("w", 0, 4294967295, whole));
    EXPECT_EQ(number, 1e9);
    EXPECT_EQ(whole, 4294967295);
    for (const char* text : {"2.5", "-1", "4294967296"}) {
        ASSERT_TRUE(Parse({"--w", text}));
        EXPECT_FALSE(m_pReader->ReadWholeNumber("w", 0, 4294967295, whole)) << text;
        EXPECT_EQ(m_pReader->GetError(),
                  QStringLiteral("--w must be a whole number from 0 to 4294967295, not \"%1\".").arg(text));
    }
    ASSERT_TRUE(Parse({"--c", "d", "--mqtt", "host:0"}));
    EXPECT_FALSE(m_pReader->ReadChoice("c", {"a", "b", "c"}, choice));
    EXPECT_EQ(m_pReader->GetError(), QStringLiteral("--c is \"a\", \"b\" or \"c\", not \"d\"."));
    QString host;
    int port = 0;
    EXPECT_FALSE(m_pReader->ReadBrokerAddress("mqtt", host, port));
    EXPECT_EQ(m_pReader->GetError(),
              QStringLiteral("--mqtt wants host:port with a port from 1 to 65535, not \"host:0\"."));
}

TEST_F(CommandLineTest, UsageErrorsAreSaidBeforeAnythingRuns)
{
    EXPECT_FALSE(Parse({"--mqtt"}));
    EXPECT_EQ(m_pReader->GetError(), QStringLiteral("Missing value after '--mqtt'."));
    EXPECT_FALSE(Parse({"stray"}));
    EXPECT_EQ(m_pReader->GetError(), QStringLiteral("Unexpected argument: stray"));
    EXPECT_FALSE(Parse({"--bogus"}));
    ASSERT_TRUE(Parse({"--help-all"}));
    EXPECT_TRUE(m_pReader->WantsHelpOrVersion());
}

TEST_F(CommandLineTest, ThePasswordComesFromItsFileElseTheEnvironmentNeverTheCommandLine)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.filePath("password"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_GT(file.write("s3cret\r\nsecond line\n"), 0);
    file.close();
    ASSERT_EQ(::setenv(BrokerLoginOptions::PASSWORD_VARIABLE, "from-environment", 1), 0);

    const BrokerLoginOptions clean(BrokerLoginOptions::Session::Clean);
    MqttConnection::Settings settings;
    ASSERT_TRUE(Parse({"--mqtt-user", "RxA", "--mqtt-password-file", file.fileName()}, clean));
    ASSERT_TRUE(clean.Read(*m_pReader, settings)) << m_pReader->GetError().toStdString();
    EXPECT_EQ(settings.strUserName, QStringLiteral("RxA"));
    EXPECT_EQ(settings.strPassword, QStringLiteral("s3cret"));
    EXPECT_TRUE(settings.bCleanSession);
    EXPECT_TRUE(settings.strClientId.isEmpty()) << "the connection's owner makes a unique one";

    ASSERT_TRUE(Parse({"--mqtt-user", "RxA"}, clean));
    ASSERT_TRUE(clean.Read(*m_pReader, settings));
    EXPECT_EQ(settings.strPassword, QStringLiteral("from-environment"));
    ::unsetenv(BrokerLoginOptions::PASSWORD_VARIABLE);

    EXPECT_FALSE(Parse({"--mqtt-password", "s3cret"}, clean)) << "no option takes the password itself";
    for (const QStringList& arguments : {QStringList{"--mqtt-password-file", dir.filePath("missing")},
                                         QStringList{"--mqtt-ca", dir.filePath("missing.pem")},
                                         QStringList{"--mqtt-client-id", ""}}) {
        ASSERT_TRUE(Parse(arguments, clean));
        EXPECT_FALSE(clean.Read(*m_pReader, settings)) << arguments.join(' ').toStdString();
        EXPECT_TRUE(m_pReader->GetError().contains(arguments.first())) << m_pReader->GetError().toStdString();
    }
}

TEST_F(CommandLineTest, AConsumersSessionIsPersistentUnderAFixedClientId)
{
    const BrokerLoginOptions persistent(BrokerLoginOptions::Session::Persistent, QStringLiteral("kvtfix"));
    MqttConnection::Settings settings;
    ASSERT_TRUE(Parse({}, persistent));
    ASSERT_TRUE(persistent.Read(*m_pReader, settings));
    EXPECT_FALSE(settings.bCleanSession);
    EXPECT_EQ(settings.strClientId, QStringLiteral("kvtfix"));
    ASSERT_TRUE(Parse({"--mqtt-client-id", "kvtfix-2"}, persistent));
    ASSERT_TRUE(persistent.Read(*m_pReader, settings));
    EXPECT_EQ(settings.strClientId, QStringLiteral("kvtfix-2"));
}

}
