#pragma once

#include "devicecontrol/directionfinder/kvtcommon/commandprotocol.h"
#include "devicecontrol/directionfinder/kvtcommon/hwstatustester.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtsetupdata.h"
#include "devicecontrol/directionfinder/kvtcommon/overheadpassparams.h"
#include "kvtstationlib_export.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

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
///    station's configuration into the tree, over the host's defaults, and
///    the hardware requirements (stored ones, else the host's defaults) into
///    the tree;
/// 2. the overhead-pass parameters from the application configuration
///    (switched on when it has none and the host's defaults say so) and kept
///    equal to the tree;
/// 3. the command log of the device in "KVTControl" below the current
///    directory (the caller changes into the output folder first);
/// 4. the display filter ranges of the device's accepted sectors;
/// 5. the ZOD receiver when the application configuration's key
///    "ZodReceiverEnabled" is true (written as false when missing), given a
///    tool bar of its own: the module's "ZOD" action there is enabled while
///    the server is connected, which is how the station sees the connection.
///    A station of a scenario instead runs the ZOD client of its role
///    (ScenarioZod), whatever the configuration says; a sender gets the
///    handover frequency value at HANDOVER_FREQUENCY_PATH (0: nothing handed
///    over yet) before its client starts.
///
/// The destructor stores the device setup and the hardware requirements in
/// the station's configuration. Single-threaded.
class KVTSTATION_EXPORT StationEnvironment
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

    /// What a station has that its configuration does not store yet; the
    /// host's, for its device. Left empty, the value tree's own setup stays
    /// (pitch and roll thresholds of 0, which refuse every bearing) and
    /// nothing is required of the hardware.
    struct Defaults
    {
        /// The device as its command log names it.
        QString strDeviceDescription;
        /// Sets device setup values below the device node before the stored
        /// setup is read over them; those not stored keep them.
        std::function<void(const QString& devicePath)> presetSetup;
        /// The hardware requirements when the station stores none; checked
        /// when they name a component.
        QStringList lstRequiredComponents;
        QStringList lstOptionalComponents;
        /// Whether the overhead-pass filter is on when the application
        /// configuration does not say.
        bool bOverheadPass = false;
    };

    /// Where the ZOD sender reads the frequency it hands over.
    static const QString HANDOVER_FREQUENCY_PATH;
    static const QString ZOD_RECEIVER_KEY;
    /// The display filter ranges' list value, below the device node.
    static const QString DISPLAY_FILTER_RANGES;

    /// outputDir: absolute folder of the command log's "KVTControl".
    /// acceptedSectors: where the device accepts bearings, (from, to) in degrees clockwise.
    /// pScenarioZod: the ZOD client of a scenario's station; null for the configured receiver.
    StationEnvironment(const QString& devicePath, const QString& stationAddress, const QString& outputDir,
                       const std::vector<std::pair<double, double>>& acceptedSectors, const Defaults& defaults,
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
    /// "receiver", "sender", or empty when the station runs no ZOD client.
    QString GetZodRole() const { return m_strZodRole; }
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

private:
    void LoadSetup(const Defaults& defaults);
    void LoadHwRequirements(const Defaults& defaults);
    void LoadOverheadPass(bool bOnByDefault);
    void PublishDisplayFilterRanges();
    void StartZod(const ScenarioZod* pScenarioZod);
    void StartConfiguredReceiver();
    void StartScenarioZod(const ScenarioZod& zod);

    QString m_strDevicePath;
    QString m_strStationAddress;
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
    // Outlives the manager: the module takes its action out of the tool bar when it goes.
    std::unique_ptr<QToolBar> m_pZodToolBar;
    std::unique_ptr<ZodManager> m_pZodManager;
    QString m_strZodRole;
    QString m_strZodCentral;
    bool m_bZodLoaded = false;
    bool m_bZodConnected = false;
};
