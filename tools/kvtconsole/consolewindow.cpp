#include "tools/kvtconsole/consolewindow.h"

#include "base/accountedoutput.h"
#include "base/cfgcenter.h"
#include "devicecontrol/directionfinder/kvtcommon/dfdataoutput.h"
#include "devicecontrol/directionfinder/kvtcommon/filterrejectcounter.h"
#include "devicecontrol/directionfinder/kvtcommon/zodmanager.h"
#include "simulation/stationrun.h"
#include "tools/kvtconsole/alarmlog.h"
#include "tools/kvtconsole/alarmstrip.h"
#include "tools/kvtconsole/alarmtable.h"
#include "tools/kvtconsole/bearingring.h"
#include "tools/kvtconsole/latestbearingstable.h"
#include "tools/kvtconsole/maptab.h"
#include "tools/kvtconsole/networkfeed.h"
#include "tools/kvtconsole/networkmodel.h"
#include "tools/kvtconsole/outputstatustable.h"
#include "tools/kvtconsole/outputwatch.h"
#include "tools/kvtconsole/polarview.h"
#include "tools/kvtconsole/stationstatepanel.h"
#include "station/filteredsectors.h"
#include "station/platformheading.h"
#include "station/stationbuilder.h"

#include <QAction>
#include <QCheckBox>
#include <QDockWidget>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include <cstdio>

using namespace NxKVTCommon;

const QString ConsoleWindow::ZOD_SENDER_KEY = QStringLiteral("ZodSenderEnabled");

namespace {

const QString ZOD_CLIENT_NAME = QStringLiteral("kvtconsole");
/// The side column's layout and group box margins around the tables.
const int SIDE_MARGINS = 60;

void WriteToStderr(const QString& line)
{
    std::fprintf(stderr, "kvtconsole: %s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

QGroupBox* Group(const QString& title, QWidget* pContent)
{
    auto* pGroup = new QGroupBox(title);
    auto* pLayout = new QVBoxLayout(pGroup);
    pLayout->addWidget(pContent);
    return pGroup;
}

}

ConsoleWindow::ConsoleWindow(StationRun& station, const QString& reportText, QWidget* pParent)
    : QMainWindow(pParent)
    , m_station(station)
    , m_pWatch(new OutputWatch(station.GetOutputs(), this))
    , m_pAlarms(new AlarmLog([&station] { return station.GetClockMs(); }, WriteToStderr, this))
    , m_pNetwork(new NetworkModel(this))
{
    m_pStatePanel = new StationStatePanel(m_station, *m_pWatch);
    m_pAlarmStrip = new AlarmStrip(*m_pAlarms);
    m_pTabs = new QTabWidget;
    m_pTabs->addTab(CreateLiveTab(), tr("Live"));
    m_pMapTab = new MapTab(*m_pNetwork);
    m_pTabs->addTab(m_pMapTab, tr("Map"));
    m_pTabs->addTab(new AlarmTable(*m_pAlarms), tr("Alarms"));
    auto* pReport = new QPlainTextEdit(reportText);
    pReport->setReadOnly(true);
    // Its columns line up in a fixed-pitch font only; a platform without a
    // theme (offscreen) answers with its proportional default, so ask by name.
    QFont reportFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (!QFontInfo(reportFont).fixedPitch())
        reportFont.setFamily(QStringLiteral("monospace"));
    pReport->setFont(reportFont);
    m_pTabs->addTab(pReport, tr("Capability report"));
    auto* pCentral = new QWidget;
    auto* pCentralLayout = new QVBoxLayout(pCentral);
    pCentralLayout->setContentsMargins(0, 0, 0, 0);
    pCentralLayout->addWidget(m_pStatePanel);
    pCentralLayout->addWidget(m_pAlarmStrip);
    pCentralLayout->addWidget(m_pTabs, 1);
    setCentralWidget(pCentral);
    CreateOutputDock();
    CreateToolBars();
    m_pStatus = new QLabel;
    statusBar()->addWidget(m_pStatus, 1);

    m_pPolarView->SetFilteredSectors(FilteredSectors::Read(StationBuilder::DEVICE_PATH));
    connect(&m_station, &StationRun::BearingsAccepted, this, &ConsoleWindow::SlotBearings);
    WatchOutputs();
    WatchNetwork();
    m_nLastBearingMs = m_station.GetClockMs();
    connect(&m_station, &StationRun::Finished, this, [this] {
        m_pPauseAction->setEnabled(false);
        SlotRefresh();
    });
    m_frameTimer.setInterval(1000 / FRAMES_PER_SECOND);
    connect(&m_frameTimer, &QTimer::timeout, this, &ConsoleWindow::SlotRefresh);
    m_frameTimer.start();
    SlotRefresh();
}

ConsoleWindow::~ConsoleWindow() = default;

StationSummary ConsoleWindow::StopStation(int nStopSignal)
{
    StationSummary summary = m_station.Stop(nStopSignal);
    // The summary names what the run began with; the settings may have switched both since.
    DFDataOutput& output = m_station.GetDfDataOutput();
    if (!output.GetFileOutput().GetTarget().isEmpty())
        summary.strSentenceFile = output.GetFileOutput().GetTarget();
    if (output.GetSerialOutput().HasBeenOpen())
        summary.outputs.strSerialAddress = output.GetSerialOutput().GetTarget();
    return summary;
}

void ConsoleWindow::SlotRefresh()
{
    m_pPolarView->SetHeading(PlatformHeading::Read(StationBuilder::DEVICE_PATH));
    m_pPolarView->SetNow(m_station.GetClockMs());
    m_pLatest->Show(m_pPolarView->GetBearings());
    RefreshCurrentBearing();
    m_pOutputStatus->Show(m_station.GetOutputs(), *m_pWatch);
    m_pStatePanel->Refresh();
    setWindowTitle(m_pStatePanel->GetTitle());
    m_pMapTab->Refresh();
    RefreshRejectCounters();
    RefreshStatusBar();
    CheckBearingsCome();
}

void ConsoleWindow::SlotStopSignal(int nSignal)
{
    if (!m_station.IsFinished())
        m_nStopSignal = nSignal;
    close();
}

void ConsoleWindow::SlotBearings(const std::vector<values::BearingResult>& results)
{
    m_pPolarView->AddBearings(results, PlatformHeading::Read(StationBuilder::DEVICE_PATH));
    if (!results.empty())
        m_nLastBearingMs = m_station.GetClockMs();
}

void ConsoleWindow::SlotPause(bool bPaused)
{
    m_station.SetPaused(bPaused);
    m_pPauseAction->setText(bPaused ? tr("Resume") : tr("Pause"));
    RefreshStatusBar();
}

void ConsoleWindow::SlotApplyOutputSettings()
{
    m_station.GetDfDataOutput().SlotUpdateConfiguration();
}

QWidget* ConsoleWindow::CreateLiveTab()
{
    m_pPolarView = new PolarView;
    m_pLatest = new LatestBearingsTable;
    m_pRejectCounters = new QTableWidget(FILTER_REJECT_REASON_COUNT, 2);
    m_pRejectCounters->setHorizontalHeaderLabels({tr("Reason"), tr("Rejected")});
    m_pRejectCounters->verticalHeader()->hide();
    m_pRejectCounters->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_pRejectCounters->horizontalHeader()->setStretchLastSection(true);
    m_pRejectCounters->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    m_pRejectCounters->setSelectionMode(QAbstractItemView::NoSelection);
    m_pRejectCounters->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int reason = 0; reason < FILTER_REJECT_REASON_COUNT; ++reason) {
        m_pRejectCounters->setItem(
            reason, 0, new QTableWidgetItem(FilterRejectCounter::ReasonText(static_cast<FilterRejectReason>(reason))));
        m_pRejectCounters->setItem(reason, 1, new QTableWidgetItem);
    }
    m_pOutputStatus = new OutputStatusTable;
    m_pOutputStatus->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    m_pLatest->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);

    m_pBowUp = new QCheckBox(tr("Bow up"));
    m_pBowUp->setObjectName(QStringLiteral("bowUp"));
    m_pBowUp->setToolTip(tr("On: the picture turned by the heading, the bow at the top. Off: north up, the bow "
                            "marked at the platform's heading."));
    connect(m_pBowUp, &QCheckBox::toggled, m_pPolarView, &PolarView::SetBowUp);
    m_pCurrentBearing = new QLabel;
    QFont large = m_pCurrentBearing->font();
    large.setPointSizeF(large.pointSizeF() * 1.5);
    large.setBold(true);
    m_pCurrentBearing->setFont(large);
    // Any width will do: the readout must not widen the window beyond the
    // screen, and wraps rather than being cut where the display is narrow.
    m_pCurrentBearing->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_pCurrentBearing->setWordWrap(true);
    auto* pDisplay = new QWidget;
    auto* pDisplayLayout = new QVBoxLayout(pDisplay);
    pDisplayLayout->setContentsMargins(0, 0, 0, 0);
    pDisplayLayout->addWidget(m_pCurrentBearing);
    pDisplayLayout->addWidget(m_pBowUp);
    pDisplayLayout->addWidget(m_pPolarView, 1);

    auto* pSide = new QWidget;
    auto* pLayout = new QVBoxLayout(pSide);
    pLayout->addWidget(Group(tr("Latest bearings"), m_pLatest), 1);
    pLayout->addWidget(Group(tr("Rejected bearings"), m_pRejectCounters));
    pLayout->addWidget(Group(tr("Outputs"), m_pOutputStatus));
    // Every column of the latest bearings readable without scrolling, in any language.
    m_pLatest->resizeColumnsToContents();
    pSide->setMinimumWidth(m_pLatest->horizontalHeader()->length() + 2 * m_pLatest->frameWidth()
                           + m_pLatest->verticalScrollBar()->sizeHint().width() + SIDE_MARGINS);
    auto* pSplitter = new QSplitter(Qt::Horizontal);
    pSplitter->addWidget(pDisplay);
    pSplitter->addWidget(pSide);
    pSplitter->setStretchFactor(0, 1);
    pSplitter->setStretchFactor(1, 1);
    return pSplitter;
}

void ConsoleWindow::CreateOutputDock()
{
    m_pOutputSettings = new QWidget;
    auto* pLayout = new QHBoxLayout(m_pOutputSettings);
    // The dock takes the widget over; the output forgets it when the dock deletes it.
    if (QWidget* pSettings = m_station.GetDfDataOutput().GetConfigWidget())
        pLayout->addWidget(pSettings, 1);
    auto* pApply = new QPushButton(tr("Apply"));
    pApply->setObjectName(QStringLiteral("applyOutputSettings"));
    connect(pApply, &QPushButton::clicked, this, &ConsoleWindow::SlotApplyOutputSettings);
    pLayout->addWidget(pApply, 0, Qt::AlignBottom);
    auto* pDock = new QDockWidget(tr("DF data output"));
    pDock->setObjectName(QStringLiteral("outputDock"));
    pDock->setWidget(m_pOutputSettings);
    addDockWidget(Qt::BottomDockWidgetArea, pDock);
}

void ConsoleWindow::CreateToolBars()
{
    QToolBar* pStation = addToolBar(tr("Station"));
    pStation->setObjectName(QStringLiteral("stationToolBar"));
    m_pPauseAction = pStation->addAction(tr("Pause"));
    m_pPauseAction->setCheckable(true);
    connect(m_pPauseAction, &QAction::toggled, this, &ConsoleWindow::SlotPause);

    m_pZodToolBar = addToolBar(tr("ZOD"));
    m_pZodToolBar->setObjectName(QStringLiteral("zodToolBar"));
    const QList<QAction*> stationZod = m_station.GetEnvironment().GetZodActions();
    if (m_station.GetOptions().pStation != nullptr && !stationZod.isEmpty()) {
        // A scenario's station runs the ZOD client of its role; a second client under its name
        // would take the first one's session over.
        m_pZodToolBar->addActions(stationZod);
        return;
    }
    m_pZodManager = std::make_unique<ZodManager>();
    m_pZodManager->CreateZodSenderIfConfigured(ZOD_CLIENT_NAME, m_pZodToolBar, ZOD_SENDER_KEY, true);
}

void ConsoleWindow::RefreshRejectCounters()
{
    for (int reason = 0; reason < FILTER_REJECT_REASON_COUNT; ++reason)
        m_pRejectCounters->item(reason, 1)->setText(
            QString::number(m_station.GetCallback().GetRejected(static_cast<FilterRejectReason>(reason))));
}

void ConsoleWindow::RefreshStatusBar()
{
    const StationRun::Options& options = m_station.GetOptions();
    const QString state = m_station.IsFinished() ? tr("finished") : m_station.IsPaused() ? tr("paused") : tr("running");
    m_pStatus->setText(tr("Station time %1 s of %2 s (%3); %4 bearings accepted, %5 produced")
                           .arg(m_station.GetElapsedMs() / 1000.0, 0, 'f', 1)
                           .arg(options.nSeconds)
                           .arg(state)
                           .arg(m_pPolarView->GetBearings().GetAdded())
                           .arg(m_station.GetCallback().GetProduced()));
}

void ConsoleWindow::WatchOutputs()
{
    // A failure shows at once, not only with the next frame.
    const auto showOutputs = [this] {
        m_pOutputStatus->Show(m_station.GetOutputs(), *m_pWatch);
        m_pStatePanel->Refresh();
    };
    connect(m_pWatch, &OutputWatch::Resumed, this, showOutputs);
    connect(m_pWatch, &OutputWatch::Failed, this, [this, showOutputs](const AccountedOutput& output, const QString& reason) {
        showOutputs();
        if (output.GetName() == QLatin1String("broker"))
            m_pAlarms->Raise(AlarmLog::Kind::BrokerLost, output.GetName(), tr("Broker lost: %1").arg(reason));
        else
            m_pAlarms->Raise(AlarmLog::Kind::OutputFailing, output.GetName(),
                             tr("Output %1 failing: %2").arg(OutputWatch::DisplayName(output), reason));
    });
}

void ConsoleWindow::CheckBearingsCome()
{
    const quint64 now = m_station.GetClockMs();
    if (m_station.IsPaused() || m_station.IsFinished() || m_nNoBearingSeconds <= 0
        || now < m_nLastBearingMs + static_cast<quint64>(m_nNoBearingSeconds) * 1000u)
        return;
    if (m_pAlarms->Raise(AlarmLog::Kind::NoBearing, QString(),
                         tr("No accepted bearing for %n second(s)", nullptr, m_nNoBearingSeconds))
        != 0)
        m_nLastBearingMs = now;
}

void ConsoleWindow::WatchNetwork()
{
    connect(m_pNetwork, &NetworkModel::StationWentOffline, this, [this](const QString& station) {
        m_pAlarms->Raise(AlarmLog::Kind::StationOffline, station, tr("Station %1 went offline").arg(station));
    });
    connect(m_pNetwork, &NetworkModel::FusionWentOffline, this, [this](const QString& service) {
        m_pAlarms->Raise(AlarmLog::Kind::StationOffline, service,
                         tr("Fusion service %1 went offline: fixes are made here").arg(service));
    });
    connect(m_pNetwork, &NetworkModel::FixAdded, this, [this](const Fix& fix) {
        if (m_pMapTab->IsWatched(fix.fFrequency))
            m_pAlarms->Raise(AlarmLog::Kind::WatchedFix, QString::number(fix.fFrequency, 'f', 0),
                             tr("New fix on watched %1 MHz at %2°, %3°")
                                 .arg(fix.fFrequency / 1e6, 0, 'f', 3)
                                 .arg(fix.fLatitude, 0, 'f', 4)
                                 .arg(fix.fLongitude, 0, 'f', 4));
    });
    // The map listens on the broker the station publishes to.
    const StationRun::Options& options = m_station.GetOptions();
    if (options.strBrokerHost.isEmpty())
        return;
    // One station, one login: the map logs in as the station's outputs do.
    ICfg& cfg = CfgCenter::GetAppCfg(ICfg::Application);
    MqttConnection::Settings settings;
    settings.strHost = options.strBrokerHost;
    settings.nPort = options.nBrokerPort;
    settings.strUserName = cfg.GetString(QStringLiteral("ZodUserName"), QString(), 0);
    settings.strPassword = cfg.GetString(QStringLiteral("ZodPassword"), QString(), 0);
    settings.strCaFile = cfg.GetString(QStringLiteral("ZodCaFile"), QString(), 0);
    m_pFeed = new NetworkFeed(*m_pNetwork, this);
    const QString address = QStringLiteral("%1:%2").arg(settings.strHost).arg(settings.nPort);
    connect(m_pFeed, &NetworkFeed::ConnectionChanged, this, [this, address](bool bConnected) {
        m_pMapTab->SetFeedState(bConnected ? tr("broker %1 connected").arg(address)
                                           : tr("broker %1 lost: %2").arg(address, m_pFeed->GetErrorText()),
                                bConnected);
    });
    if (m_pFeed->Open(settings))
        m_pMapTab->SetFeedState(tr("broker %1 connecting").arg(address), false);
    else
        m_pMapTab->SetFeedState(tr("broker %1 unusable: %2").arg(address, m_pFeed->GetErrorText()), false);
}

void ConsoleWindow::RefreshCurrentBearing()
{
    const BearingRing& bearings = m_pPolarView->GetBearings();
    if (bearings.Size() == 0) {
        m_pCurrentBearing->setText(tr("No bearing yet"));
        return;
    }
    const BearingRing::Entry& newest = bearings.At(bearings.Size() - 1);
    m_pCurrentBearing->setText(tr("%1° true  (%2° from the bow)  %3 MHz")
                                   .arg(newest.fBearing, 5, 'f', 1, QLatin1Char('0'))
                                   .arg(newest.fAzimuth, 5, 'f', 1, QLatin1Char('0'))
                                   .arg(newest.fFrequency / 1e6, 0, 'f', 3));
}
