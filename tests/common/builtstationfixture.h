#pragma once

#include "base/cfgcenter.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtcharacteristics.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtinformationcenter.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtoptions.h"
#include "station/stationbuilder.h"
#include "tests/common/configdirfixture.h"
#include "valueframework/valueclasses/tree.h"

#include <QDir>
#include <QTemporaryDir>

/// A station built from the test's fresh configuration into an empty value
/// tree and bound to the characteristics, with an output folder that is the
/// current directory too: the command log writes below it.
class BuiltStationFixture : public ConfigDirFixture
{
protected:
    void BuildStation(const QString& address)
    {
        ASSERT_TRUE(m_output.isValid());
        m_strPreviousDir = QDir::currentPath();
        QDir::setCurrent(m_output.path());
        values::Tree::Instance()->Clear();
        StationBuilder builder(address);
        QString error;
        builder.EnsureStation(error);
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
        ASSERT_TRUE(builder.Load(QString(), false, QString(), error)) << error.toStdString();
        KVTInformationCenter::Instance()->GetKVTCharacteristics().SetBase_ValuePath(StationBuilder::DEVICE_PATH, true);
    }

    /// A test that holds a station releases it before this runs.
    void TearDown() override
    {
        KVTInformationCenter::Finalise();
        KVTOptions::Finalise();
        values::Tree::Instance()->Clear();
        if (!m_strPreviousDir.isEmpty())
            QDir::setCurrent(m_strPreviousDir);
        ConfigDirFixture::TearDown();
    }

    static ICfg& Cfg() { return CfgCenter::GetAppCfg(ICfg::Application); }

    QTemporaryDir m_output;
    QString m_strPreviousDir;
};
