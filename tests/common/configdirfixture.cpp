#include "tests/common/configdirfixture.h"

void ConfigDirFixture::StartHelper(const QString& program, const QStringList& arguments)
{
    // The helper inherits KVT_CONFIG_DIR and whatever else the test has put in
    // place, but a runtime folder of its own: Qt complains on stderr about one
    // it cannot use, and the tests read that stderr.
    // An environment the test gave the helper stays its own for later runs.
    const QProcessEnvironment given = m_helper.processEnvironment();
    QProcessEnvironment environment = given.isEmpty() ? QProcessEnvironment::systemEnvironment() : given;
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"),
                       m_strHelperRuntimeDir.isEmpty() ? m_runtimeDir.path() : m_strHelperRuntimeDir);
    m_helper.setProcessEnvironment(environment);
    m_helper.start(program, arguments);
    m_helper.setProcessEnvironment(given);
}

QProcess& ConfigDirFixture::RunHelper(const QString& program, const QStringList& arguments)
{
    StartHelper(program, arguments);
    EXPECT_TRUE(m_helper.waitForFinished(60000)) << program.toStdString();
    return m_helper;
}

void ConfigDirFixture::SetHelperLanguage(const QString& lang)
{
    QProcessEnvironment environment =
        m_helper.processEnvironment().isEmpty() ? QProcessEnvironment::systemEnvironment() : m_helper.processEnvironment();
    for (const char* pszName : {"LC_ALL", "LC_MESSAGES", "LANGUAGE"})
        environment.remove(pszName);
    environment.insert("LANG", lang);
    m_helper.setProcessEnvironment(environment);
}
