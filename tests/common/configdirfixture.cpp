#include "tests/common/configdirfixture.h"

QProcess& ConfigDirFixture::RunHelper(const QString& program, const QStringList& arguments)
{
    // The child inherits KVT_CONFIG_DIR and whatever else the test has put in place.
    m_helper.start(program, arguments);
    EXPECT_TRUE(m_helper.waitForFinished(60000)) << program.toStdString();
    return m_helper;
}
