#include "station/stationbroker.h"

#include "base/cfgcenter.h"
#include "base/icfg.h"
#include "station/acceptedblock.h"

const QString StationBroker::ADDRESS_KEY = QStringLiteral("BearingBrokerAddress");
const QString StationBroker::PORT_KEY = QStringLiteral("BearingBrokerPort");

namespace {

const QString NAME_KEY = QStringLiteral("ZodClientName");
const QString DEFAULT_NAME = QStringLiteral("kvtstation");

}

bool StationBroker::Configured(const QString& commandLineHost, int nCommandLinePort, QString& rHost, int& rPort)
{
    if (!commandLineHost.isEmpty()) {
        rHost = commandLineHost;
        rPort = nCommandLinePort;
        return true;
    }
    ICfg& cfg = CfgCenter::GetAppCfg(ICfg::Application);
    rHost = cfg.GetString(ADDRESS_KEY, QString(), 0);
    rPort = cfg.GetInt(PORT_KEY, MqttConnection::DEFAULT_PORT, 0);
    return !rHost.isEmpty();
}

QString StationBroker::StationName()
{
    const QString name = CfgCenter::GetAppCfg(ICfg::Application).GetString(NAME_KEY, QString(), 0);
    return name.isEmpty() ? DEFAULT_NAME : name;
}

StationBroker::StationBroker(const StationPlace& place)
    : m_place(place)
{
}

bool StationBroker::Start(const QString& host, int nPort)
{
    // One station, one login: the ZOD client's credentials serve the bearings too.
    ICfg& cfg = CfgCenter::GetAppCfg(ICfg::Application);
    MqttConnection::Settings settings;
    settings.strHost = host;
    settings.nPort = nPort;
    settings.strUserName = cfg.GetString(QStringLiteral("ZodUserName"), QString(), 0);
    settings.strPassword = cfg.GetString(QStringLiteral("ZodPassword"), QString(), 0);
    settings.strCaFile = cfg.GetString(QStringLiteral("ZodCaFile"), QString(), 0);
    return m_output.Start(settings, m_place.status);
}

void StationBroker::Take(const kvt::AcceptedBlock& block)
{
    for (const kvt::BearingRecord& bearing : block.lstBearings)
        m_output.Publish(bearing);
}
