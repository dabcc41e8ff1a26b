#pragma once

#include <QMainWindow>
#include <QTimer>

#include <memory>
#include <vector>

class StationRun;
class LatestBearingsTable;
class OutputStatusTable;
class PolarView;
class QAction;
class QLabel;
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
/// - Tab "Live": the polar display of the accepted bearings, the latest
///   bearings, the reject counters per reason and the delivery account of
///   every output (red on a failure), refreshed FRAMES_PER_SECOND times a second.
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

    PolarView& GetPolarView() { return *m_pPolarView; }
    OutputStatusTable& GetOutputStatus() { return *m_pOutputStatus; }
    QTableWidget& GetRejectCounters() { return *m_pRejectCounters; }
    QToolBar& GetZodToolBar() { return *m_pZodToolBar; }
    QAction& GetPauseAction() { return *m_pPauseAction; }
    /// The dock's content: the output's settings widget and the apply button.
    QWidget& GetOutputSettings() { return *m_pOutputSettings; }

public slots:
    /// Brings every view up to the station's state (the frame timer calls it).
    void SlotRefresh();

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

    StationRun& m_station;
    PolarView* m_pPolarView = nullptr;
    LatestBearingsTable* m_pLatest = nullptr;
    QTableWidget* m_pRejectCounters = nullptr;
    OutputStatusTable* m_pOutputStatus = nullptr;
    QToolBar* m_pZodToolBar = nullptr;
    QAction* m_pPauseAction = nullptr;
    QWidget* m_pOutputSettings = nullptr;
    QLabel* m_pStatus = nullptr;
    QTimer m_frameTimer;
    /// Destroyed before the tool bars (members go before the window's children).
    std::unique_ptr<ZodManager> m_pZodManager;
};
