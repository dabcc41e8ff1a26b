#include "tools/kvtstation/stationrun.h"

#include "devicecontrol/directionfinder/kvtcommon/dfdataoutput.h"
#include "fusion/bearingjson.h"
#include "tools/kvtreport/stationbuilder.h"
#include "tools/kvtstation/scenarioworld.h"
#include "tools/kvtstation/stationsummary.h"

#include <QDir>
#include <QJsonArray>

const QString StationRun::STATION_ADDRESS = QStringLiteral("Default");
const QString StationRun::BEARING_FILE = QStringLiteral("bearings.jsonl");

namespace {

StationPlace PlaceOf(const StationRun::Options& options)
{
    return options.pStation != nullptr ? StationPlace::Of(*options.pStation)
                                       : StationPlace::Default(StationBroker::StationName());
}

}

std::pair<QString, int> StationRun::BrokerOf(const Options& options)
{
    std::pair<QString, int> broker;
    if (!StationBroker::Configured(options.strBrokerHost, options.nBrokerPort, broker.first, broker.second))
        broker.first.clear();
    return broker;
}

std::optional<StationEnvironment::ScenarioZod> StationRun::PrepareScenario(const Options& options)
{
    if (options.pScenario == nullptr || options.pStation == nullptr)
        return std::nullopt;
    const ScenarioWorld world(*options.pScenario, *options.pStation);
    StationSimulation::PresetFrequency(StationBuilder::DEVICE_PATH, world.GetFirstFrequency());
    const std::pair<QString, int> broker = BrokerOf(options);
    if (broker.first.isEmpty())
        return std::nullopt;
    const Scenario::Station& station = *options.pStation;
    StationEnvironment::ScenarioZod zod;
    zod.bSender = station.eRole == Scenario::Role::Sender;
    zod.strName = station.strName;
    zod.lstFollows = station.lstFollows;
    zod.fFrequencyMin = station.fFrequencyMin;
    zod.fFrequencyMax = station.fFrequencyMax;
    zod.strHost = broker.first;
    zod.nPort = broker.second;
    return zod;
}

StationRun::StationRun(const Options& options)
    : m_options(options)
    , m_scenarioZod(PrepareScenario(options))
    , m_environment(StationBuilder::DEVICE_PATH, STATION_ADDRESS, options.strOutputDir, options.strSerialAddress,
                    m_scenarioZod ? &*m_scenarioZod : nullptr)
    , m_callback(StationBuilder::DEVICE_PATH, STATION_ADDRESS, m_environment.GetOverheadPassParams(),
                 m_environment.GetCommandLog())
    , m_simulation(options.nSeed, options.nSeconds, options.bRealtime, StationBuilder::DEVICE_PATH, m_callback)
    , m_stamper(
          PlaceOf(options), SimulatedLegacyDriver::BANDWIDTH_HZ, [this] { return m_simulation.GetClockMs(); },
          [this] { return m_simulation.GetHeading(); })
{
    const std::pair<QString, int> broker = BrokerOf(options);
    if (!broker.first.isEmpty()) {
        m_pBroker = std::make_unique<StationBroker>(m_stamper.GetPlace());
        m_options.strBrokerHost = broker.first;
        m_options.nBrokerPort = broker.second;
    }
    if (options.pScenario != nullptr && options.pStation != nullptr) {
        m_simulation.UseScenario(std::make_unique<ScenarioWorld>(*options.pScenario, *options.pStation),
                                 StationEnvironment::HANDOVER_FREQUENCY_PATH);
        m_pBearingFile = std::make_unique<FileSentenceSink>(nullptr, QStringLiteral("bearings"));
        m_pBearingFile->Open(QDir(options.strOutputDir).filePath(BEARING_FILE));
    }
    m_callback.SetAcceptedListener([this](const std::vector<values::BearingResult>& results) { Publish(results); });
    connect(&m_simulation, &StationSimulation::Finished, this, [this] {
        m_bFinished = true;
        emit Finished();
    });
}

StationRun::~StationRun() = default;

void StationRun::Start()
{
    if (m_pBroker && m_pBroker->Start(m_options.strBrokerHost, m_options.nBrokerPort) && !m_options.bRealtime) {
        m_pBroker->GetOutput().WaitForConnection(StationBroker::DRAIN_MS);
        // A receiver of a scenario that started late tunes from the sender's retained state, which
        // comes only over a connection.
        if (m_scenarioZod)
            m_environment.WaitForZodConnection(StationBroker::DRAIN_MS);
    }
    m_simulation.Start();
}

void StationRun::SetPaused(bool bPaused)
{
    m_simulation.SetPaused(bPaused);
}

void StationRun::Publish(const std::vector<values::BearingResult>& results)
{
    if (m_pBroker || m_pBearingFile) {
        for (const values::BearingResult& result : results) {
            const Bearing bearing = m_stamper.Stamp(result);
            if (m_pBroker)
                m_pBroker->Publish(bearing);
            if (m_pBearingFile)
                m_pBearingFile->Write(BearingJson::Format(bearing) + '\n', 1);
        }
    }
    emit BearingsAccepted(results);
}

std::vector<AccountedOutput*> StationRun::GetOutputs()
{
    DFDataOutput* pOutput = m_environment.GetOutput();
    std::vector<AccountedOutput*> outputs{&pOutput->GetFileOutput(), &pOutput->GetSerialOutput()};
    if (m_pBroker)
        outputs.push_back(&m_pBroker->GetOutput());
    if (m_pBearingFile)
        outputs.push_back(m_pBearingFile.get());
    return outputs;
}

QJsonObject StationRun::Stop(int nStopSignal, int nSerialDrainMs)
{
    if (!m_summary.isEmpty())
        return m_summary;
    m_simulation.SetPaused(true);
    m_environment.StopOutput(nSerialDrainMs);
    std::vector<AccountedOutput*> outputs = m_environment.GetOutputs();
    if (m_pBroker) {
        m_pBroker->Stop();
        outputs.push_back(&m_pBroker->GetOutput());
    }
    if (m_pBearingFile) {
        m_pBearingFile->Close();
        outputs.push_back(m_pBearingFile.get());
    }
    m_summary = StationSummary::Collect(m_callback, m_environment,
                                        {m_options.strOutputDir, m_options.strPlotFile, m_options.strSerialAddress},
                                        std::vector<const AccountedOutput*>(outputs.begin(), outputs.end()));
    StationSummary::AddRun(m_summary, m_simulation.GetElapsedMs(), m_simulation.GetDurationMs(), nStopSignal);
    if (m_options.pStation != nullptr)
        m_summary["scenario"] = ScenarioSummary();
    return m_summary;
}

QJsonObject StationRun::ScenarioSummary() const
{
    QJsonArray tunings;
    for (const StationSimulation::Tuning& tuning : m_simulation.GetTunings())
        tunings.append(QJsonObject{{"at", tuning.nElapsedMs / 1000.0}, {"frequency", tuning.fFrequency}});
    const Scenario::Station& station = *m_options.pStation;
    return {{"station", station.strName},
            {"role", station.eRole == Scenario::Role::Sender ? "sender" : "receiver"},
            {"tunings", tunings}};
}
