#pragma once

#include "tools/kvtstation/stationbroker.h"
#include "tools/kvtstation/stationcallback.h"
#include "tools/kvtstation/stationenvironment.h"
#include "tools/kvtstation/stationsimulation.h"

#include <QJsonObject>
#include <QObject>

#include <memory>
#include <vector>

class AccountedOutput;

/// The simulated station as kvtstation runs it (environment, driver
/// callback, simulated device), for a window that watches it: the bearings
/// that the station's pipeline accepts are handed on as they are published
/// (BearingsAccepted), the
/// clock can be paused, and Stop() ends the run as kvtstation does (outputs
/// flushed and closed, summary collected).
///
/// The station's device must be up in the value tree and the characteristics
/// bound to it; the command log goes below the current directory. Single-threaded.
class ConsoleStation : public QObject
{
    Q_OBJECT
public:
    static constexpr int SERIAL_DRAIN_MS = 2000;
    /// The station's address in the configuration store, as kvtstation's.
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
    };

    explicit ConsoleStation(const Options& options);
    ~ConsoleStation() override;

    void Start();
    void SetPaused(bool bPaused);
    bool IsPaused() const { return m_simulation.IsPaused(); }
    bool IsFinished() const { return m_bFinished; }
    /// The station's clock, ms since the epoch (the bearings' time stamps).
    quint64 GetClockMs() const { return m_simulation.GetClockMs(); }
    qint64 GetElapsedMs() const { return m_simulation.GetElapsedMs(); }

    const StationCallback& GetCallback() const { return m_callback; }
    StationEnvironment& GetEnvironment() { return m_environment; }
    const Options& GetOptions() const { return m_options; }

    /// The DF data output's sinks, file and serial line, with their delivery
    /// accounts (both, since the settings may switch either on while the station runs),
    /// and the broker output when a broker is given or configured.
    std::vector<const AccountedOutput*> GetOutputs();

    /// Stops the clock and the outputs (the serial line given up to
    /// SERIAL_DRAIN_MS to send what waits, the file flushed and closed) and
    /// returns the summary of the run, with the signal that stopped it (0: none);
    /// later calls return the same summary.
    QJsonObject Stop(int nStopSignal = 0);

signals:
    /// Each block's accepted bearings, after they are published.
    void BearingsAccepted(const std::vector<values::BearingResult>& results);
    /// The simulated time has run out.
    void Finished();

private:
    Options m_options;
    StationEnvironment m_environment;
    StationCallback m_callback;
    StationSimulation m_simulation;
    std::unique_ptr<StationBroker> m_pBroker;
    bool m_bFinished = false;
    QJsonObject m_summary;
};
