#include "simulation/stationrun.h"

#include "simulation/scenarioworld.h"
#include "simulation/simulatedlegacydriver.h"
#include "simulation/simulatedstationdefaults.h"
#include "station/stationbroker.h"
#include "station/stationbuilder.h"

const QString StationRun::STATION_ADDRESS = QStringLiteral("Default");

namespace {

StationPlace PlaceOf(const Scenario::Station& station)
{
    StationPlace place;
    place.status.strName = station.strName;
    place.status.fLatitude = station.fLatitude;
    place.status.fLongitude = station.fLongitude;
    place.status.fHeading = station.fHeading;
    place.status.fFrequencyMin = station.fFrequencyMin;
    place.status.fFrequencyMax = station.fFrequencyMax;
    place.fSigma = station.fSigma;
    return place;
}

}

kvt::Station::Options StationRun::StationOptions(const Options& options, std::function<double()> heading)
{
    kvt::Station::Options station;
    station.heading = std::move(heading);
    station.strDevicePath = StationBuilder::DEVICE_PATH;
    station.strStationAddress = STATION_ADDRESS;
    station.strOutputDir = options.strOutputDir;
    station.strSerialAddress = options.strSerialAddress;
    station.strBrokerHost = options.strBrokerHost;
    station.nBrokerPort = options.nBrokerPort;
    station.strPlotFile = options.strPlotFile;
    station.lstAcceptedSectors = SimulatedLegacyDriver::AcceptedSectors();
    station.fBandwidth = SimulatedLegacyDriver::BANDWIDTH_HZ;
    station.defaults = SimulatedStationDefaults::Get();
    if (options.pScenario == nullptr || options.pStation == nullptr) {
        station.place = SimulatedStationDefaults::HomePort(StationBroker::StationName());
        return station;
    }
    const Scenario::Station& scenarioStation = *options.pStation;
    station.place = PlaceOf(scenarioStation);
    station.bBearingFile = true;
    const ScenarioWorld world(*options.pScenario, scenarioStation);
    StationSimulation::PresetFrequency(StationBuilder::DEVICE_PATH, world.GetFirstFrequency());
    StationEnvironment::ScenarioZod zod;
    if (!kvt::Station::BrokerOf(station, zod.strHost, zod.nPort))
        return station;
    zod.bSender = scenarioStation.eRole == Scenario::Role::Sender;
    zod.strName = scenarioStation.strName;
    zod.lstFollows = scenarioStation.lstFollows;
    zod.fFrequencyMin = scenarioStation.fFrequencyMin;
    zod.fFrequencyMax = scenarioStation.fFrequencyMax;
    station.scenarioZod = zod;
    return station;
}

StationRun::StationRun(const Options& options)
    : m_options(options)
    , m_station(StationOptions(options, [this] { return m_simulation.GetHeading(); }),
                [this] { return m_simulation.GetClockMs(); })
    , m_simulation(options.nSeed, options.nSeconds, options.bRealtime, StationBuilder::DEVICE_PATH,
                   m_station.GetCallback())
{
    QString brokerHost;
    int nBrokerPort = 0;
    if (kvt::Station::BrokerOf(m_station.GetOptions(), brokerHost, nBrokerPort)) {
        m_options.strBrokerHost = brokerHost;
        m_options.nBrokerPort = nBrokerPort;
    }
    if (options.pScenario != nullptr && options.pStation != nullptr)
        m_simulation.UseScenario(std::make_unique<ScenarioWorld>(*options.pScenario, *options.pStation),
                                 StationEnvironment::HANDOVER_FREQUENCY_PATH);
    connect(&m_station, &kvt::Station::BearingsAccepted, this, &StationRun::BearingsAccepted);
    connect(&m_simulation, &StationSimulation::Finished, this, [this] {
        m_bFinished = true;
        emit Finished();
    });
}

StationRun::~StationRun() = default;

void StationRun::Start()
{
    m_station.StartOutputs(!m_options.bRealtime);
    m_simulation.Start();
}

void StationRun::SetPaused(bool bPaused)
{
    m_simulation.SetPaused(bPaused);
}

const StationSummary& StationRun::Stop(int nStopSignal, int nSerialDrainMs)
{
    if (m_summary)
        return *m_summary;
    m_simulation.SetPaused(true);
    m_summary = m_station.Stop(nSerialDrainMs);
    m_summary->run = StationSummary::Run{m_simulation.GetElapsedMs(), m_simulation.GetDurationMs(), nStopSignal};
    if (m_options.pStation != nullptr)
        m_summary->scenario = ScenarioSummary();
    return *m_summary;
}

StationSummary::Scenario StationRun::ScenarioSummary() const
{
    StationSummary::Scenario scenario;
    scenario.strStation = m_options.pStation->strName;
    scenario.bSender = m_options.pStation->eRole == Scenario::Role::Sender;
    for (const StationSimulation::Tuning& tuning : m_simulation.GetTunings())
        scenario.lstTunings.push_back({tuning.nElapsedMs, tuning.fFrequency});
    return scenario;
}
