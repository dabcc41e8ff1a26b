#pragma once

#include "base/cfgcenter.h"
#include "base/errorhandler.h"
#include "valueframework/valueclasses/tree.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

/// Every test gets its own configuration directory, an empty value tree and
/// a captured trace sink with traces and assertions on.
class StationsFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        qputenv("KVT_CONFIG_DIR", m_dir.path().toUtf8());
        CfgCenter::Reset();
        ErrorHandler::Instance().SetSink([this](const QString& line) { m_strTraces += line + QLatin1Char('\n'); });
        ErrorHandler::Instance().SetTraceMask(ErrorHandler::TRACE_BIT | ErrorHandler::ASSERT_BIT);
    }

    void TearDown() override
    {
        values::Tree::Instance()->Clear();
        ErrorHandler::Instance().ResetSink();
        ErrorHandler::Instance().SetTraceMask(0);
        CfgCenter::Reset();
        qunsetenv("KVT_CONFIG_DIR");
    }

    /// A section of the station configuration (view 5).
    static std::unique_ptr<ICfg> Section(const QString& path)
    {
        return std::unique_ptr<ICfg>(CfgCenter::GetAppCfg(ICfg::Station).GetSubCfg(path, ICfg::Station));
    }

    QTemporaryDir m_dir;
    QString m_strTraces;
};
