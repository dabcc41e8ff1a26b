#include "tools/kvtconsole/consolewindow.h"

#include "base/accountedoutput.h"
#include "devicecontrol/directionfinder/kvtcommon/dfdataoutput.h"
#include "devicecontrol/directionfinder/kvtcommon/filterrejectcounter.h"
#include "devicecontrol/directionfinder/kvtcommon/zodmanager.h"
#include "simulation/stationrun.h"
#include "tools/kvtconsole/latestbearingstable.h"
#include "tools/kvtconsole/outputstatustable.h"
#include "tools/kvtconsole/polarview.h"
#include "station/stationbuilder.h"
#include "station/filteredsectors.h"

#include <QAction>
#include <QDockWidget>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

using namespace NxKVTCommon;

const QString ConsoleWindow::ZOD_SENDER_KEY = QStringLiteral("ZodSenderEnabled");

namespace {

const QString ZOD_CLIENT_NAME = QStringLiteral("kvtconsole");
/// Wide enough for the bearing table's columns.
const int SIDE_WIDTH = 700;

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
{
    setWindowTitle(tr("kvtconsole: simulated DF station"));
    auto* pTabs = new QTabWidget;
    pTabs->addTab(CreateLiveTab(), tr("Live"));
    auto* pReport = new QPlainTextEdit(reportText);
    pReport->setReadOnly(true);
    pReport->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    pTabs->addTab(pReport, tr("Capability report"));
    setCentralWidget(pTabs);
    CreateOutputDock();
    CreateToolBars();
    m_pStatus = new QLabel;
    statusBar()->addWidget(m_pStatus, 1);

    m_pPolarView->SetFilteredSectors(FilteredSectors::Read(StationBuilder::DEVICE_PATH));
    connect(&m_station, &StationRun::BearingsAccepted, this, &ConsoleWindow::SlotBearings);
    // A failure shows at once, not only with the next frame.
    const auto showOutputs = [this] { m_pOutputStatus->Show(m_station.GetOutputs()); };
    for (const AccountedOutput* pOutput : m_station.GetOutputs()) {
        connect(pOutput, &AccountedOutput::FailureReported, this, showOutputs);
        connect(pOutput, &AccountedOutput::DeliveryResumed, this, showOutputs);
    }
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

void ConsoleWindow::SlotRefresh()
{
    m_pPolarView->SetNow(m_station.GetClockMs());
    m_pLatest->Show(m_pPolarView->GetBearings());
    m_pOutputStatus->Show(m_station.GetOutputs());
    RefreshRejectCounters();
    RefreshStatusBar();
}

void ConsoleWindow::SlotBearings(const std::vector<values::BearingResult>& results)
{
    m_pPolarView->AddBearings(results);
}

void ConsoleWindow::SlotPause(bool bPaused)
{
    m_station.SetPaused(bPaused);
    m_pPauseAction->setText(bPaused ? tr("Resume") : tr("Pause"));
    RefreshStatusBar();
}

void ConsoleWindow::SlotApplyOutputSettings()
{
    if (DFDataOutput* pOutput = m_station.GetEnvironment().GetOutput())
        pOutput->SlotUpdateConfiguration();
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

    auto* pSide = new QWidget;
    pSide->setMinimumWidth(SIDE_WIDTH);
    auto* pLayout = new QVBoxLayout(pSide);
    pLayout->addWidget(Group(tr("Latest bearings"), m_pLatest), 1);
    pLayout->addWidget(Group(tr("Rejected bearings"), m_pRejectCounters));
    pLayout->addWidget(Group(tr("Outputs"), m_pOutputStatus));
    auto* pSplitter = new QSplitter(Qt::Horizontal);
    pSplitter->addWidget(m_pPolarView);
    pSplitter->addWidget(pSide);
    pSplitter->setStretchFactor(0, 3);
    pSplitter->setStretchFactor(1, 2);
    return pSplitter;
}

void ConsoleWindow::CreateOutputDock()
{
    m_pOutputSettings = new QWidget;
    auto* pLayout = new QHBoxLayout(m_pOutputSettings);
    DFDataOutput* pOutput = m_station.GetEnvironment().GetOutput();
    // The dock takes the widget over; the output forgets it when the dock deletes it.
    if (QWidget* pSettings = pOutput != nullptr ? pOutput->GetConfigWidget() : nullptr)
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
