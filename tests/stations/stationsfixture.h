#pragma once

#include "base/errorhandler.h"
#include "base/omekos.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtoptions.h"
#include "devicecontrol/directionfinder/kvtcommon/stationcfg.h"
#include "tests/common/configdirfixture.h"
#include "valueframework/valueclasses/tree.h"

#include <memory>

/// Adds an empty value tree and a captured trace sink, with traces and
/// assertions on, to the test's own configuration directory; afterwards the
/// options singleton and the host-name resolver are back to their defaults.
class StationsFixture : public ConfigDirFixture
{
protected:
    void SetUp() override
    {
        ConfigDirFixture::SetUp();
        ErrorHandler::Instance().SetSink([this](const QString& line) { m_strTraces += line + QLatin1Char('\n'); });
        ErrorHandler::Instance().SetTraceMask(ErrorHandler::TRACE_BIT | ErrorHandler::ASSERT_BIT);
    }

    void TearDown() override
    {
        Tree().Clear();
        KVTOptions::Finalise();
        OmekOS::SetResolver(nullptr);
        ErrorHandler::Instance().ResetSink();
        ErrorHandler::Instance().SetTraceMask(0);
        ConfigDirFixture::TearDown();
    }

    /// A section of the station configuration (view 5).
    static std::unique_ptr<ICfg> Section(const QString& path)
    {
        return std::unique_ptr<ICfg>(CfgCenter::GetAppCfg(ICfg::Station).GetSubCfg(path, ICfg::Station));
    }

    static std::unique_ptr<ICfg> Station(const QString& address, bool bCreate)
    {
        return std::unique_ptr<ICfg>(StationCfg::GetStationCfg(address, bCreate));
    }

    static values::Tree& Tree() { return *values::Tree::Instance(); }

    QString m_strTraces;
};
