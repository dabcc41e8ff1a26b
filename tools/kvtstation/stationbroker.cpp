#include "tools/kvtstation/stationbroker.h"

#include "base/cfgcenter.h"
#include "base/icfg.h"
#include "valueframework/valueclasses/bearingresult.h"

#include <cmath>

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

StationBroker::StationBroker(const StationPlace& place, std::function<quint64()> clockMs)
    : m_place(place)
    , m_clockMs(std::move(clockMs))
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

void StationBroker::Publish(const std::vector<values::BearingResult>& accepted)
{
    for (const values::BearingResult& result : accepted) {
        Bearing bearing;
        bearing.strStation = m_place.status.strName;
        bearing.nSeq = ++m_nSeq;
        bearing.nTimeMs = static_cast<qint64>(m_clockMs());
        bearing.fLatitude = m_place.status.fLatitude;
        bearing.fLongitude = m_place.status.fLongitude;
        bearing.fHeading = m_place.status.fHeading;
        // The device measures in tenths of a degree from the bow.
        bearing.fBearing = std::fmod(result.GetAzimuth() / 10.0 + m_place.status.fHeading, 360.0);
        bearing.fSigma = m_place.fSigma;
        bearing.fQuality = result.GetQuality();
        bearing.fFrequency = result.GetFrequency();
        // The device gives the level in hundredths of a dBµV.
        bearing.fLevel = result.GetLevel() / 100.0;
        m_output.Publish(bearing);
    }
}
