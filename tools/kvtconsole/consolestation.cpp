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
    m_callback.SetAcceptedListener(
        [this](const std::vector<values::BearingResult>& results) { emit BearingsAccepted(results); });
    connect(&m_simulation, &StationSimulation::Finished, this, [this] {
        m_bFinished = true;
        emit Finished();
    });
}

ConsoleStation::~ConsoleStation() = default;

void ConsoleStation::Start()
{
    m_simulation.Start();
}

void ConsoleStation::SetPaused(bool bPaused)
{
    m_simulation.SetPaused(bPaused);
}

std::vector<const AccountedOutput*> ConsoleStation::GetOutputs()
{
    DFDataOutput* pOutput = m_environment.GetOutput();
    return {&pOutput->GetFileOutput(), &pOutput->GetSerialOutput()};
}

QJsonObject ConsoleStation::Stop(int nStopSignal)
{
    if (!m_summary.isEmpty())
        return m_summary;
    m_simulation.SetPaused(true);
    m_environment.StopOutput(SERIAL_DRAIN_MS);
    const std::vector<AccountedOutput*> outputs = m_environment.GetOutputs();
    m_summary = StationSummary::Collect(m_callback, m_environment,
                                        {m_options.strOutputDir, QString(), m_options.strSerialAddress},
                                        std::vector<const AccountedOutput*>(outputs.begin(), outputs.end()));
    StationSummary::AddRun(m_summary, m_simulation.GetElapsedMs(), m_simulation.GetDurationMs(), nStopSignal);
    return m_summary;
}
