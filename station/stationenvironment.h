#pragma once

#include "devicecontrol/directionfinder/kvtcommon/commandprotocol.h"
#include "devicecontrol/directionfinder/kvtcommon/hwstatustester.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtsetupdata.h"
#include "devicecontrol/directionfinder/kvtcommon/overheadpassparams.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <utility>
#include <vector>

class AccountedOutput;
class CfgOverride;
class DFDataOutput;
class QAction;
class QToolBar;
class DisplayFilterRange;
class ZodManager;

namespace NxKVTCommon
{
class OHPParamsVtSynchronizer;
}

/// Everything the host application sets up around a running DF device, in
/// the order a host does it once the device is up in the value tree and the
/// characteristics are bound:
///
/// 1. the device setup (position, compass, pitch/roll thresholds, …) from the
///    station's configuration into the tree, over the simulated station's own
///    defaults, and the hardware requirements (stored ones, else the station's
///    defaults) into the tree;
/// 2. the overhead-pass parameters from the application configuration
///    (switched on by default for this station) and kept equal to the tree;
/// 3. the command log of the device in "KVTControl" below the current
///    directory (the caller changes into the output folder first);
/// 4. the display filter ranges of the device's accepted sectors;
/// 5. the DF data output to the sentence file (and the serial line), set up
///    through its application-configuration keys;
/// 6. the ZOD receiver when the application configuration's key
///    "ZodReceiverEnabled" is true (written as false when missing), given a
///    tool bar of its own: the module's "ZOD" action there is enabled while
///    the server is connected, which is how the station sees the connection.
///    A station of a scenario instead runs the ZOD client of its role
///    (ScenarioZod), whatever the configuration says; a sender gets the
///    handover frequency value at HANDOVER_FREQUENCY_PATH (0: nothing handed
///    over yet) before its client starts.
///
/// The destructor stores the device setup and the hardware requirements in
/// the station's configuration and closes the outputs. The output settings of
/// the run (sentence file, serial line) hold for the run only: the stored
/// ones are back when the environment goes. Single-threaded.
class StationEnvironment
{
public:
    /// The ZOD client of a scenario's station: its role, its name on the
    /// network, the senders it follows, its frequency range and the broker.
    /// They are given to the ZOD manager through its configuration keys for
    /// the moment it makes the client; the stored keys stay as they were.
    struct ScenarioZod
    {
        bool bSender = false;
        QString strName;
        QStringList lstFollows;
        double fFrequencyMin = 0.0;
        double fFrequencyMax = 0.0;
        QString strHost;
        int nPort = 0;
    };

    /// Where the ZOD sender reads the frequency it hands over.
    static const QString HANDOVER_FREQUENCY_PATH;
    static const QString SENTENCE_FILE;
    static const QString ZOD_RECEIVER_KEY;
    /// The display filter ranges' list value, below the device node.
    static const QString DISPLAY_FILTER_RANGES;

    /// outputDir: absolute folder of the sentence file; serialAddress empty for no serial output.
    /// acceptedSectors: where the device accepts bearings, (from, to) in degrees clockwise.
    /// pScenarioZod: the ZOD client of a scenario's station; null for the configured receiver.
    StationEnvironment(const QString& devicePath, const QString& stationAddress, const QString& outputDir,
                       const QString& serialAddress, const std::vector<std::pair<double, double>>& acceptedSectors,
                       const ScenarioZod* pScenarioZod = nullptr);
    ~StationEnvironment();
    StationEnvironment(const StationEnvironment&) = delete;
    StationEnvironment& operator=(const StationEnvironment&) = delete;

    NxKVTCommon::OverheadPassParams& GetOverheadPassParams() { return m_overheadPassParams; }
    CommandProtocol& GetCommandLog() { return m_commandLog; }
    bool IsCommandLogOpen() const { return m_bCommandLogOpen; }
    QString GetCommandLogMessage() const { return m_commandLog.GetMessageText(); }
    /// The absolute folder of the command log ("KVTControl" in the output folder).
    QString GetCommandLogDir() const { return m_strCommandLogDir; }
    /// The log files this run wrote (the current one and the backups its
    /// rotations made), absolute, by name.
    QStringList GetCommandLogFilesOfThisRun() const;
    HwStatusTester& GetHwStatusTester() { return m_hwStatusTester; }
    QString GetSentenceFile() const { return m_strSentenceFile; }
    /// The DF data output's sinks, with their accounts: the sentence file and,
    /// when configured, the serial line. They live as long as the environment.
    AccountedOutput& GetSentenceOutput();
    std::vector<AccountedOutput*> GetOutputs();
    /// "receiver", "sender", or empty when the station runs no ZOD client.
    QString GetZodRole() const { return m_strZodRole; }
    /// The DF data output (for its settings widget and its sinks).
    DFDataOutput* GetOutput() { return m_pOutput.get(); }
    /// Whether the ZOD client module gave the client of the role (false without a role).
    bool IsZodLoaded() const { return m_bZodLoaded; }
    /// Whether the client was connected to its server at any time of the run.
    bool WasZodConnected() const { return m_bZodConnected; }
    /// The actions the ZOD client module placed in the environment's tool bar
    /// (enabled while connected); they belong to the module.
    QList<QAction*> GetZodActions() const;
    /// Runs the event loop until the client is connected or nTimeoutMs have
    /// passed; whether it is connected. At once false without a client.
    bool WaitForZodConnection(int nTimeoutMs);
    /// The client's server, "<address>:<port>"; empty without a role.
    QString GetZodCentral() const { return m_strZodCentral; }

    /// Stops the DF data output: gives the serial line up to drainMs of the
    /// event loop to send what waits for it, then closes the sentence file
    /// and the line, so that every account is settled; nothing is written
    /// afterwards.
    void StopOutput(int drainMs = 0);

private:
    void LoadSetup();
    void LoadHwRequirements();
    void LoadOverheadPass();
    void PublishDisplayFilterRanges();
    void ConfigureOutput(const QString& serialAddress);
    void StartZod(const ScenarioZod* pScenarioZod);
    void StartConfiguredReceiver();
    void StartScenarioZod(const ScenarioZod& zod);

    QString m_strDevicePath;
    QString m_strStationAddress;
    QString m_strSentenceFile;
    QString m_strCommandLogDir;
    std::vector<std::pair<double, double>> m_lstAcceptedSectors;
    /// What the command log folder held before this run wrote to it.
    QStringList m_lstEarlierLogFiles;
    KVTSetupData m_setupData;
    HwStatusTester m_hwStatusTester;
    NxKVTCommon::OverheadPassParams m_overheadPassParams;
    std::unique_ptr<NxKVTCommon::OHPParamsVtSynchronizer> m_pOverheadPassSync;
    CommandProtocol m_commandLog;
    bool m_bCommandLogOpen = false;
    std::unique_ptr<DisplayFilterRange> m_pDisplayFilterRange;
    /// This run's output settings; outlives the output, which stores its settings when it goes.
    std::unique_ptr<CfgOverride> m_pOutputSettings;
    std::unique_ptr<DFDataOutput> m_pOutput;
    // Outlives the manager: the module takes its action out of the tool bar when it goes.
    std::unique_ptr<QToolBar> m_pZodToolBar;
    std::unique_ptr<ZodManager> m_pZodManager;
    QString m_strZodRole;
    QString m_strZodCentral;
    bool m_bZodLoaded = false;
    bool m_bZodConnected = false;
    bool m_bSerial = false;
};
