#pragma once

#include "kvtstationlib_export.h"
#include "station/bearingsink.h"
#include "station/bearingstamper.h"
#include "station/stationcallback.h"
#include "station/stationenvironment.h"
#include "station/stationplace.h"
#include "station/stationsummary.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class AccountedOutput;
class DFDataOutput;
class StationBroker;

namespace kvt
{

class TreePublication;

/// The station runtime a host creates around its driver, once the device is
/// up in the value tree and the characteristics are bound to it: the host's
/// environment (setup, command log, ZOD client), the driver callback, which
/// runs the bearing pipeline, and one registry of sinks.
///
/// Each block the pipeline accepts is stamped (time, place, true bearing)
/// and handed once to every sink, in this order: the publication into the
/// value tree (TreePublication; the DF data output observes the tree and
/// writes the sentence file and the serial line), the broker output when a
/// broker is given or configured, the bearing file when asked for, and the
/// host's own sinks. Every output of a sink keeps a delivery account, and
/// Stop() settles them all into the summary.
///
/// The host hands GetCallback() to its driver, starts the outputs, lets the
/// driver report, and stops the station. Single-threaded: the driver reports
/// on the value tree's thread.
class KVTSTATION_EXPORT Station : public QObject
{
    Q_OBJECT
public:
    static constexpr int SERIAL_DRAIN_MS = 2000;
    /// In the output folder, when Options::bBearingFile.
    static const QString BEARING_FILE;

    struct Options
    {
        QString strDevicePath;
        /// The station's entry in the configuration store.
        QString strStationAddress;
        /// Absolute; the sentence file and the bearing file go here. The
        /// command log writes below the current directory: a host makes this
        /// folder its current directory before it makes the station.
        QString strOutputDir;
        /// Empty: no serial output. Holds for this station only; the stored setting is not changed.
        QString strSerialAddress;
        /// The broker for this run; empty: the configured one, if any.
        QString strBrokerHost;
        int nBrokerPort = 0;
        StationPlace place;
        /// The device's measurement bandwidth in Hz, stamped into each bearing (0: not known).
        double fBandwidth = 0.0;
        /// The platform's heading in degrees as the device reports it, below 0
        /// when it reports none; none given: the place's heading.
        std::function<double()> heading;
        /// Where the device accepts bearings, (from, to) in degrees clockwise;
        /// the display filter ranges shade the rest.
        std::vector<std::pair<double, double>> lstAcceptedSectors;
        bool bBearingFile = false;
        /// What the station has before its configuration stores it (see StationEnvironment::Defaults).
        StationEnvironment::Defaults defaults;
        /// The ZOD client of a scenario's station; none: the configured receiver.
        std::optional<StationEnvironment::ScenarioZod> scenarioZod;
        /// A file the host makes of the run, only named in the summary.
        QString strPlotFile;
    };

    /// clockMs: the station's clock in ms since the epoch, for the bearings' time stamps.
    Station(const Options& options, std::function<quint64()> clockMs);
    ~Station() override;

    /// The broker of the options, else of the configuration; false when neither names one.
    static bool BrokerOf(const Options& options, QString& rHost, int& rPort);

    /// The driver's side of the driver interface, for the driver to report to.
    StationCallback& GetCallback() { return m_callback; }
    const StationCallback& GetCallback() const { return m_callback; }
    StationEnvironment& GetEnvironment() { return m_environment; }
    /// The DF data output behind the publication (for its settings widget).
    DFDataOutput& GetDfDataOutput();
    const Options& GetOptions() const { return m_options; }

    /// Adds a sink of the host's own, after the station's; call it before the
    /// driver reports.
    void AddSink(std::unique_ptr<BearingSink> pSink);
    /// Connects the broker output, when there is a broker. With bWait the
    /// event loop runs up to StationBroker::DRAIN_MS for the connection (a
    /// fast simulated run would fill the output's queue before it stands),
    /// and as long again for a scenario's ZOD client.
    void StartOutputs(bool bWait);

    /// Every output of every sink with its delivery account, in the sinks'
    /// order: the sentence file, the serial line (both, since the settings may
    /// switch either on while the station runs), the broker, the bearing
    /// file, the host's.
    std::vector<AccountedOutput*> GetOutputs();

    /// Stops the outputs (the serial line given up to nSerialDrainMs to send
    /// what waits, each sink stopped) and returns the summary; the host adds
    /// what it knows of the run. Later calls return the same summary.
    const StationSummary& Stop(int nSerialDrainMs = SERIAL_DRAIN_MS);

signals:
    /// Each block's accepted bearings (none: a scan that kept nothing is not
    /// told), after every sink has taken them.
    void BearingsAccepted(const std::vector<values::BearingResult>& results);

private:
    void Hand(const std::vector<values::BearingResult>& results, bool bScan);

    Options m_options;
    StationEnvironment m_environment;
    StationCallback m_callback;
    BearingStamper m_stamper;
    /// The sinks, each once; the first two point into it.
    std::vector<std::unique_ptr<BearingSink>> m_lstSinks;
    TreePublication* m_pPublication = nullptr;
    StationBroker* m_pBroker = nullptr;
    QString m_strBrokerHost;
    int m_nBrokerPort = 0;
    std::optional<StationSummary> m_summary;
};

} // namespace kvt
