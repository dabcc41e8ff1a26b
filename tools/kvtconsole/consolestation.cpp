#include "tools/kvtconsole/consolestation.h"

#include "devicecontrol/directionfinder/kvtcommon/dfdataoutput.h"
#include "tools/kvtreport/stationbuilder.h"
#include "tools/kvtstation/stationsummary.h"

const QString ConsoleStation::STATION_ADDRESS = QStringLiteral("Default");

ConsoleStation::ConsoleStation(const Options& options)
    : m_options(options)
    , m_environment(StationBuilder::DEVICE_PATH, STATION_ADDRESS, options.strOutputDir, options.strSerialAddress)
    , m_callback(StationBuilder::DEVICE_PATH, STATION_ADDRESS, m_environment.GetOverheadPassParams(),
                 m_environment.GetCommandLog())
    , m_simulation(options.nSeed, options.nSeconds, options.bRealtime, StationBuilder::DEVICE_PATH, m_callback)
{
    QString host;
    int nPort = 0;
    if (StationBroker::Configured(options.strBrokerHost, options.nBrokerPort, host, nPort)) {
        m_pBroker = std::make_unique<StationBroker>(StationPlace::Default(StationBroker::StationName()),
                                                    [this] { return m_simulation.GetClockMs(); });
        m_options.strBrokerHost = host;
        m_options.nBrokerPort = nPort;
    }
    m_callback.SetAcceptedListener([this](const std::vector<values::BearingResult>& results) {
        if (m_pBroker)
            m_pBroker->Publish(results);
        emit BearingsAccepted(results);
    });
    connect(&m_simulation, &StationSimulation::Finished, this, [this] {
        m_bFinished = true;
        emit Finished();
    });
}

ConsoleStation::~ConsoleStation() = default;

void ConsoleStation::Start()
{
    // A run as fast as possible would fill the broker output's queue before the first connection stands.
    if (m_pBroker && m_pBroker->Start(m_options.strBrokerHost, m_options.nBrokerPort) && !m_options.bRealtime)
        m_pBroker->GetOutput().WaitForConnection(StationBroker::DRAIN_MS);
    m_simulation.Start();
}

void ConsoleStation::SetPaused(bool bPaused)
{
    m_simulation.SetPaused(bPaused);
}

std::vector<const AccountedOutput*> ConsoleStation::GetOutputs()
{
    DFDataOutput* pOutput = m_environment.GetOutput();
    std::vector<const AccountedOutput*> outputs{&pOutput->GetFileOutput(), &pOutput->GetSerialOutput()};
    if (m_pBroker)
        outputs.push_back(&m_pBroker->GetOutput());
    return outputs;
}

QJsonObject ConsoleStation::Stop(int nStopSignal)
{
    if (!m_summary.isEmpty())
        return m_summary;
    m_simulation.SetPaused(true);
    m_environment.StopOutput(SERIAL_DRAIN_MS);
    std::vector<AccountedOutput*> outputs = m_environment.GetOutputs();
    if (m_pBroker) {
        m_pBroker->Stop();
        outputs.push_back(&m_pBroker->GetOutput());
    }
    m_summary = StationSummary::Collect(m_callback, m_environment,
                                        {m_options.strOutputDir, QString(), m_options.strSerialAddress},
                                        std::vector<const AccountedOutput*>(outputs.begin(), outputs.end()));
    StationSummary::AddRun(m_summary, m_simulation.GetElapsedMs(), m_simulation.GetDurationMs(), nStopSignal);
    return m_summary;
}
