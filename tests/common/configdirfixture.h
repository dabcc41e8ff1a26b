#pragma once

#include "base/cfgcenter.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

/// Gives every test its own configuration directory (KVT_CONFIG_DIR) and a
/// fresh configuration center, and runs helper programs on that directory in
/// an environment the test controls.
class ConfigDirFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(m_runtimeDir.isValid());
        qputenv("KVT_CONFIG_DIR", m_dir.path().toUtf8());
        CfgCenter::Reset();
    }

    void TearDown() override
    {
        CfgCenter::Reset();
        qunsetenv("KVT_CONFIG_DIR");
    }

    /// Starts `program` in the test's environment as m_helper, without waiting.
    void StartHelper(const QString& program, const QStringList& arguments);
    /// Runs `program` in the test's environment and waits for its end; the
    /// process stays readable (exit code, status, output) until the next run.
    QProcess& RunHelper(const QString& program, const QStringList& arguments);
    /// The user's locale of the later helpers: LANG, with nothing (LC_ALL,
    /// LC_MESSAGES, LANGUAGE) overriding it.
    void SetHelperLanguage(const QString& lang);

    QTemporaryDir m_dir;
    /// The helper's XDG_RUNTIME_DIR: private to this user (0700), as Qt wants it.
    QTemporaryDir m_runtimeDir;
    /// Instead, for a helper that runs as another user: a folder of that user's.
    QString m_strHelperRuntimeDir;
    QProcess m_helper;
};
