#pragma once

#include "station/stationsummary.h"

#include <QJsonObject>
#include <QMainWindow>
#include <QTimer>

#include <memory>
#include <vector>

class AlarmLog;
class AlarmStrip;
class AlarmTable;
class MapTab;
class NetworkFeed;
class NetworkModel;
class StationRun;
class LatestBearingsTable;
class OutputStatusTable;
class OutputWatch;
class PolarView;
class QAction;
class QCheckBox;
class QLabel;
class QTabWidget;
class StationStatePanel;
class QTableWidget;
class QToolBar;
class ZodManager;

namespace values
{
class BearingResult;
}

/// The operator console: watches a running StationRun and hosts the
/// library's own widgets.
///
/// - Above the tabs: the station's name, role, tuning, broker and outputs
///   (StationStatePanel, also naming the window) and the strip of standing
///   alarms (AlarmStrip).
/// - Tab "Live": the polar display of the accepted bearings at their true
///   bearings (north up, or bow up with the switch above it) under a readout
///   of the newest bearing, the latest
///   bearings, the reject counters per reason and the delivery account of
///   every output (red while failing), refreshed FRAMES_PER_SECOND times a second.
/// - Tab "Map": the DF network as the station's broker shows it (MapTab),
///   fed by a session of its own; without a broker it says so.
/// - Tab "Alarms": every alarm of the run. Alarms: an output failing, the
///   broker lost, no accepted bearing for GetNoBearingSeconds() of station
///   time while running, a station of the network going offline, a new fix
///   on a watched frequency; each is also written to stderr.
/// - Tab "Capability report": the report text the station's capabilities give.
/// - Dock "DF data output": the output's own settings widget; "Apply" hands
///   what it shows to the running output.
/// - Tool bar "Station": pause / resume of the station's clock.
/// - Tool bar "ZOD": the host tool bar in which the ZOD client module places
///   its action; the sender role is created when the application
///   configuration's "ZodSenderEnabled" is true (written as true when missing).
///   A scenario's station with a broker shows the action of its own ZOD client instead.
///
/// The station must outlive the window. Texts pass through the translation
/// context "ConsoleWindow". Single-threaded.
class ConsoleWindow : public QMainWindow
{
    Q_OBJECT
public:
    static constexpr int FRAMES_PER_SECOND = 30;
    static const QString ZOD_SENDER_KEY;

    ConsoleWindow(StationRun& station, const QString& reportText, QWidget* pParent = nullptr);
    ~ConsoleWindow() override;

    static constexpr int DEFAULT_NO_BEARING_SECONDS = 30;

    PolarView& GetPolarView() { return *m_pPolarView; }
    QCheckBox& GetBowUpSwitch() { return *m_pBowUp; }
    /// The readout of the newest accepted bearing above the polar display.
    QLabel& GetCurrentBearing() { return *m_pCurrentBearing; }
    LatestBearingsTable& GetLatestBearings() { return *m_pLatest; }
    StationStatePanel& GetStatePanel() { return *m_pStatePanel; }
    AlarmLog& GetAlarms() { return *m_pAlarms; }
    AlarmStrip& GetAlarmStrip() { return *m_pAlarmStrip; }
    QTabWidget& GetTabs() { return *m_pTabs; }
    MapTab& GetMapTab() { return *m_pMapTab; }
    NetworkModel& GetNetwork() { return *m_pNetwork; }
    int GetNoBearingSeconds() const { return m_nNoBearingSeconds; }
    void SetNoBearingSeconds(int nSeconds) { m_nNoBearingSeconds = nSeconds; }
    OutputStatusTable& GetOutputStatus() { return *m_pOutputStatus; }
    QTableWidget& GetRejectCounters() { return *m_pRejectCounters; }
    QToolBar& GetZodToolBar() { return *m_pZodToolBar; }
    QAction& GetPauseAction() { return *m_pPauseAction; }
    /// The dock's content: the output's settings widget and the apply button.
    QWidget& GetOutputSettings() { return *m_pOutputSettings; }

    /// Stops the station (see StationRun::Stop) and returns its summary,
    /// which names the sentence file and the serial line as "Apply" last set them.
    StationSummary StopStation(int nStopSignal = 0);

    /// The stop signal that ended the station's run (see SlotStopSignal); 0: none.
    int GetStopSignal() const { return m_nStopSignal; }

public slots:
    /// Brings every view up to the station's state (the frame timer calls it).
    void SlotRefresh();
    /// SIGINT or SIGTERM came: the window closes. It stopped the station only
    /// while the station ran; after the end of the run it stopped nothing.
    void SlotStopSignal(int nSignal);

private slots:
    void SlotBearings(const std::vector<values::BearingResult>& results);
    void SlotPause(bool bPaused);
    void SlotApplyOutputSettings();

private:
    QWidget* CreateLiveTab();
    void CreateOutputDock();
    void CreateToolBars();
    void RefreshRejectCounters();
    void RefreshStatusBar();
    void WatchOutputs();
    void WatchNetwork();
    void CheckBearingsCome();
    void RefreshCurrentBearing();

    StationRun& m_station;
    OutputWatch* m_pWatch = nullptr;
    AlarmLog* m_pAlarms = nullptr;
    AlarmStrip* m_pAlarmStrip = nullptr;
    StationStatePanel* m_pStatePanel = nullptr;
    QTabWidget* m_pTabs = nullptr;
    NetworkModel* m_pNetwork = nullptr;
    NetworkFeed* m_pFeed = nullptr;
    MapTab* m_pMapTab = nullptr;
    QCheckBox* m_pBowUp = nullptr;
    QLabel* m_pCurrentBearing = nullptr;
    PolarView* m_pPolarView = nullptr;
    LatestBearingsTable* m_pLatest = nullptr;
    QTableWidget* m_pRejectCounters = nullptr;
    OutputStatusTable* m_pOutputStatus = nullptr;
    QToolBar* m_pZodToolBar = nullptr;
    QAction* m_pPauseAction = nullptr;
    QWidget* m_pOutputSettings = nullptr;
    QLabel* m_pStatus = nullptr;
    QTimer m_frameTimer;
    int m_nNoBearingSeconds = DEFAULT_NO_BEARING_SECONDS;
    int m_nStopSignal = 0;
    /// Station time of the last accepted bearing (or of the start).
    quint64 m_nLastBearingMs = 0;
    /// Destroyed before the tool bars (members go before the window's children).
    std::unique_ptr<ZodManager> m_pZodManager;
};
