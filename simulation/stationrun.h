#pragma once

#include "fusion/scenario.h"
#include "simulation/stationsimulation.h"
#include "station/station.h"

#include <QObject>

#include <optional>
#include <vector>

class AccountedOutput;

/// One run of the simulated station, as kvtstation and the console run it:
/// the station runtime (kvt::Station) around the simulated device, with the
/// broker output when a broker is given or configured, and — as a station of
/// a scenario — the scenario's world, the ZOD client of the station's role on
/// that broker and the bearing file (kvt::Station::BEARING_FILE).
///
/// The bearings that the station's pipeline accepts are handed on as they
/// are published (BearingsAccepted); the clock can be paused; Stop() ends
/// the run (outputs flushed and closed, summary collected).
///
/// The station's device must be up in the value tree and the
/// characteristics bound to it; the command log goes below the current
/// directory. Single-threaded.
class StationRun : public QObject
{
    Q_OBJECT
public:
    static constexpr int SERIAL_DRAIN_MS = kvt::Station::SERIAL_DRAIN_MS;
    /// The station's address in the configuration store.
    static const QString STATION_ADDRESS;

    struct Options
    {
        QString strOutputDir;  ///< absolute; the sentence file goes here
        QString strSerialAddress;  ///< empty: no serial output
        quint32 nSeed = 1;
        int nSeconds = 300;
        /// Steps every 50 ms of wall-clock time; otherwise as fast as the event loop allows.
        bool bRealtime = true;
        /// The broker from the command line; empty: the configured one, if any.
        QString strBrokerHost;
        int nBrokerPort = 0;
        /// Borrowed, and must outlive the run; null: the station's own schedule.
        const Scenario* pScenario = nullptr;
        /// The station of pScenario to be (borrowed likewise).
        const Scenario::Station* pStation = nullptr;
        /// Only named in the summary: the caller draws the plot.
        QString strPlotFile;
    };

    explicit StationRun(const Options& options);
    ~StationRun() override;

    /// Waits, when time is simulated faster than it passes, up to
    /// StationBroker::DRAIN_MS for the broker (a fast run would fill the
    /// broker output's queue before the first connection stands), and as
    /// long again for a scenario's ZOD client; then starts the clock.
    void Start();
    /// Ends the simulated time after the current step; Finished follows.
    void End() { m_simulation.Stop(); }
    void SetPaused(bool bPaused);
    bool IsPaused() const { return m_simulation.IsPaused(); }
    bool IsFinished() const { return m_bFinished; }
    /// The station's clock, ms since the epoch (the bearings' time stamps).
    quint64 GetClockMs() const { return m_simulation.GetClockMs(); }
    qint64 GetElapsedMs() const { return m_simulation.GetElapsedMs(); }
    qint64 GetDurationMs() const { return m_simulation.GetDurationMs(); }

    const StationCallback& GetCallback() const { return m_station.GetCallback(); }
    StationEnvironment& GetEnvironment() { return m_station.GetEnvironment(); }
    DFDataOutput& GetDfDataOutput() { return m_station.GetDfDataOutput(); }
    const Options& GetOptions() const { return m_options; }

    /// See kvt::Station::GetOutputs().
    std::vector<AccountedOutput*> GetOutputs() { return m_station.GetOutputs(); }

    /// Stops the clock and the outputs (the serial line given up to
    /// nSerialDrainMs to send what waits, the broker up to
    /// StationBroker::DRAIN_MS for its acknowledgements, the files flushed and
    /// closed) and returns the summary of the run, with the signal that
    /// stopped it (0: none); later calls return the same summary. A
    /// scenario's station adds its name, role and tunings.
    const StationSummary& Stop(int nStopSignal = 0, int nSerialDrainMs = SERIAL_DRAIN_MS);

signals:
    /// Each block's accepted bearings, after they are published.
    void BearingsAccepted(const std::vector<values::BearingResult>& results);
    /// The simulated time has run out.
    void Finished();

private:
    /// The station runtime's options for this run, with the simulated
    /// platform's heading; a scenario's station has its device preset to the
    /// station's first frequency before its ZOD client starts.
    static kvt::Station::Options StationOptions(const Options& options, std::function<double()> heading);
    StationSummary::Scenario ScenarioSummary() const;

    Options m_options;
    kvt::Station m_station;
    StationSimulation m_simulation;
    bool m_bFinished = false;
    std::optional<StationSummary> m_summary;
};
