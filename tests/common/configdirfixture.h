#pragma once

#include "base/cfgcenter.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

/// Gives every test its own configuration directory (KVT_CONFIG_DIR) and a
/// fresh configuration center, and runs helper programs on that directory.
class ConfigDirFixture : public ::testing::Test
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

    /// Runs `program` in the test's environment and waits for its end; the
    /// process stays readable (exit code, status, output) until the next run.
    QProcess& RunHelper(const QString& program, const QStringList& arguments);

    QTemporaryDir m_dir;
    QProcess m_helper;
};
