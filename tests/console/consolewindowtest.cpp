#include "devicecontrol/directionfinder/kvtcommon/filterrejectcounter.h"
#include "base/accountedoutput.h"
#include "tests/common/builtstationfixture.h"
#include "tests/common/filecontent.h"
#include "tests/common/filesizelimit.h"
#include "tests/common/mosquittobroker.h"
#include "station/stationsummary.h"
#include "station/stationtranslation.h"
#include "simulation/stationrun.h"
#include "tools/kvtconsole/alarmlog.h"
#include "tools/kvtconsole/alarmstrip.h"
#include "tools/kvtconsole/bearingring.h"
#include "tools/kvtconsole/consoletranslation.h"
#include "tools/kvtconsole/consolewindow.h"
#include "tools/kvtconsole/outputstatustable.h"
#include "tools/kvtconsole/latestbearingstable.h"
#include "tools/kvtconsole/polarview.h"
#include "tools/kvtconsole/stationstatepanel.h"
#include "tools/kvtconsole/windowplacement.h"
#include "station/polargeometry.h"
#include "station/textprinter.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QToolBar>
#include <QTranslator>

#include <csignal>
#include <algorithm>
#include <memory>

using namespace NxKVTCommon;

namespace {

const int WAIT_MS = 60000;

/// The default station up in the tree and bound to the characteristics, in a
/// fresh configuration and output folder; the console's station runs its
/// clock as fast as the event loop allows. The ZOD sender stays off unless a
/// test switches it on.
class ConsoleWindowTest : public BuiltStationFixture
{
protected:
    void SetUp() override
    {
        BuiltStationFixture::SetUp();
        qputenv("KVT_MODULE_DIR", ZOD_MODULE_DIR);
        Cfg().SetBool(ConsoleWindow::ZOD_SENDER_KEY, false, 0);
        BuildStation(QStringLiteral("Default"));
    }

    void TearDown() override
    {
        m_pWindow.reset();
        m_pStation.reset();
        qunsetenv("KVT_MODULE_DIR");
        BuiltStationFixture::TearDown();
    }

    /// The station of a scenario when one is given, else the default station.
    void Open(int seconds, int nBrokerPort = 0, const Scenario* pScenario = nullptr,
              const Scenario::Station* pScenarioStation = nullptr)
    {
        StationRun::Options options;
        options.pScenario = pScenario;
        options.pStation = pScenarioStation;
        options.strOutputDir = m_output.path();
        options.nSeed = 7;
        options.nSeconds = seconds;
        options.bRealtime = false;
        if (nBrokerPort != 0) {
            options.strBrokerHost = QStringLiteral("127.0.0.1");
            options.nBrokerPort = nBrokerPort;
        }
        m_pStation = std::make_unique<StationRun>(options);
        m_pWindow = std::make_unique<ConsoleWindow>(*m_pStation, QStringLiteral("the report"));
    }

    /// Starts the station (unless it runs) and waits for the end of its time.
    bool RunToEnd()
    {
        QSignalSpy finished(m_pStation.get(), &StationRun::Finished);
        if (m_pStation->GetElapsedMs() == 0)
            m_pStation->Start();
        return m_pStation->IsFinished() || finished.wait(WAIT_MS);
    }

    /// Lets the clock run until the station has accepted bearings.
    bool RunUntilBearings()
    {
        m_pStation->Start();
        return QTest::qWaitFor([this] { return m_pStation->GetCallback().GetAccepted() > 0; }, WAIT_MS);
    }

    QString SentenceFile() const { return m_output.filePath(QStringLiteral("dfdata.txt")); }

    std::unique_ptr<StationRun> m_pStation;
    std::unique_ptr<ConsoleWindow> m_pWindow;
};

TEST_F(ConsoleWindowTest, ShowsEveryAcceptedBearingAndTheRejectCounts)
{
    Open(6);
    ASSERT_TRUE(RunToEnd());
    m_pWindow->SlotRefresh();

    const quint64 accepted = m_pStation->GetCallback().GetAccepted();
    EXPECT_GT(accepted, 0u);
    EXPECT_EQ(m_pWindow->GetPolarView().GetBearings().GetAdded(), accepted);
    QTableWidget& rejects = m_pWindow->GetRejectCounters();
    quint64 rejected = 0;
    for (int reason = 0; reason < FILTER_REJECT_REASON_COUNT; ++reason) {
        const quint64 count = m_pStation->GetCallback().GetRejected(static_cast<FilterRejectReason>(reason));
        EXPECT_EQ(rejects.item(reason, 1)->text(), QString::number(count));
        rejected += count;
    }
    EXPECT_GT(rejected, 0u);
    EXPECT_EQ(m_pStation->GetCallback().GetProduced(), accepted + rejected);

    // One sentence per accepted bearing reached the file, as its row says.
    m_pStation->Stop();
    m_pWindow->SlotRefresh();
    const OutputStatusTable& outputs = m_pWindow->GetOutputStatus();
    ASSERT_EQ(outputs.rowCount(), 2);
    EXPECT_EQ(outputs.item(0, 0)->text(), "sentence file");
    EXPECT_EQ(outputs.item(0, 1)->text(), "delivering");
    EXPECT_EQ(outputs.item(0, 2)->text(), QString::number(accepted));
    EXPECT_EQ(outputs.item(0, 3)->text(), "0");
    EXPECT_NE(outputs.item(0, 1)->background().color(), OutputStatusTable::FAILURE_COLOUR);
    EXPECT_EQ(outputs.item(1, 0)->text(), "serial line");
    EXPECT_EQ(outputs.item(1, 1)->text(), "not open");
    EXPECT_EQ(outputs.item(1, 2)->text(), "0");

    // The table shows the true bearing and, beside it, the azimuth from the bow.
    const BearingRing::Entry& newest = m_pWindow->GetPolarView().GetBearings().At(
        m_pWindow->GetPolarView().GetBearings().Size() - 1);
    QTableWidget& latest = m_pWindow->GetLatestBearings();
    EXPECT_EQ(latest.item(0, 2)->text(), QString::number(newest.fBearing, 'f', 1));
    EXPECT_EQ(latest.item(0, 3)->text(), QString::number(newest.fAzimuth, 'f', 1));
    EXPECT_NE(newest.fHeading, 0.0f) << "the station swings at anchor around 45°";
    EXPECT_NEAR(newest.fBearing, PolarGeometry::TrueBearing(newest.fAzimuth, newest.fHeading), 1e-3);
    EXPECT_TRUE(m_pWindow->GetCurrentBearing().text().startsWith(
        QStringLiteral("%1° true").arg(newest.fBearing, 5, 'f', 1, QLatin1Char('0'))))
        << m_pWindow->GetCurrentBearing().text().toStdString();
}

TEST_F(ConsoleWindowTest, FileFailureTurnsItsRowRedWithTheReason)
{
    Open(6);
    ASSERT_TRUE(RunUntilBearings());
    const AccountedOutput& file = *m_pStation->GetOutputs().front();
    const OutputStatusTable& outputs = m_pWindow->GetOutputStatus();
    {
        // The disk fills up: a few bytes more and no whole sentence fits.
        const FileSizeLimit full(QFileInfo(SentenceFile()).size() + 10);
        ASSERT_TRUE(QTest::qWaitFor([&file] { return file.GetAccount().GetLost() > 0; }, WAIT_MS));
        EXPECT_EQ(outputs.item(0, 4)->text(), file.GetAccount().GetLastFailure());
        EXPECT_EQ(outputs.item(0, 4)->text(), "File too large");
        EXPECT_EQ(outputs.item(0, 1)->text(), "failing");
        for (int column = 0; column < outputs.columnCount(); ++column)
            EXPECT_EQ(outputs.item(0, column)->background().color(), OutputStatusTable::FAILURE_COLOUR) << column;
        // The operator is alarmed once, however many sentences the failure loses.
        ASSERT_EQ(m_pWindow->GetAlarms().GetAlarms().size(), 1u);
        EXPECT_EQ(m_pWindow->GetAlarms().GetAlarms().front().eKind, AlarmLog::Kind::OutputFailing);
        EXPECT_EQ(m_pWindow->GetAlarms().GetAlarms().front().strText, "Output sentence file failing: File too large");
        EXPECT_TRUE(m_pWindow->GetAlarmStrip().isVisibleTo(m_pWindow.get()));
    }
    ASSERT_TRUE(RunToEnd());
    m_pStation->Stop();
    m_pWindow->SlotRefresh();

    // Room again: delivery went on and the row turns amber (losses, no failure now).
    EXPECT_EQ(outputs.item(0, 3)->text(), QString::number(file.GetAccount().GetLost()));
    EXPECT_EQ(outputs.item(0, 1)->text(), "recovered");
    EXPECT_EQ(outputs.item(0, 0)->background().color(), OutputStatusTable::RECOVERED_COLOUR);
    EXPECT_NE(outputs.item(1, 0)->background().color(), OutputStatusTable::FAILURE_COLOUR);
}

TEST_F(ConsoleWindowTest, PauseHoldsTheStationsClockUntilResumed)
{
    Open(6);
    ASSERT_TRUE(RunUntilBearings());
    m_pWindow->GetPauseAction().trigger();
    const qint64 pausedAt = m_pStation->GetElapsedMs();
    const quint64 shown = m_pWindow->GetPolarView().GetBearings().GetAdded();
    for (int i = 0; i < 200; ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(m_pStation->IsPaused());
    EXPECT_EQ(m_pStation->GetElapsedMs(), pausedAt);
    EXPECT_EQ(m_pWindow->GetPolarView().GetBearings().GetAdded(), shown);

    m_pWindow->GetPauseAction().trigger();
    EXPECT_FALSE(m_pStation->IsPaused());
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(m_pStation->GetElapsedMs(), 6000);
    EXPECT_FALSE(m_pWindow->GetPauseAction().isEnabled());
}

TEST_F(ConsoleWindowTest, SettingsWidgetInTheDockChangesTheRunningOutput)
{
    Open(6);
    QLineEdit* pFileName = nullptr;
    for (QLineEdit* pEdit : m_pWindow->GetOutputSettings().findChildren<QLineEdit*>()) {
        if (pEdit->text() == SentenceFile())
            pFileName = pEdit;
    }
    ASSERT_NE(pFileName, nullptr) << "the settings widget shows the station's sentence file";
    ASSERT_TRUE(RunUntilBearings());

    const QString renamed = m_output.filePath(QStringLiteral("renamed.txt"));
    pFileName->setText(renamed);
    auto* pApply = m_pWindow->GetOutputSettings().findChild<QPushButton*>(QStringLiteral("applyOutputSettings"));
    ASSERT_NE(pApply, nullptr);
    pApply->click();
    const int before = LineCount(SentenceFile());
    EXPECT_GT(before, 0);
    ASSERT_TRUE(RunToEnd());
    const StationSummary summary = m_pWindow->StopStation();

    // The old file stopped where the change came; the new one has the rest, and the summary names it.
    EXPECT_EQ(summary.strSentenceFile, renamed);
    EXPECT_EQ(LineCount(SentenceFile()), before);
    const int after = LineCount(renamed);
    EXPECT_GT(after, 0);
    EXPECT_EQ(static_cast<quint64>(before + after), m_pStation->GetCallback().GetAccepted());
}

TEST_F(ConsoleWindowTest, ZodActionIsEnabledWhileTheBrokerIsConnected)
{
    MosquittoBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.GetErrorText().toStdString();
    Cfg().SetString(QStringLiteral("ZodCentralAddress"), QStringLiteral("127.0.0.1"), 0);
    Cfg().SetInt(QStringLiteral("ZodCentralPort"), broker.GetPort(), 0);
    Cfg().SetBool(ConsoleWindow::ZOD_SENDER_KEY, true, 0);
    Open(6);
    const QList<QAction*> actions = m_pWindow->GetZodToolBar().actions();
    ASSERT_EQ(actions.size(), 1);
    QAction* pZod = actions.first();
    EXPECT_EQ(pZod->text(), "ZOD");
    ASSERT_TRUE(QTest::qWaitFor([pZod] { return pZod->isEnabled(); }, WAIT_MS));

    // The broker goes away for good: the client's retries are refused.
    broker.Stop();
    EXPECT_TRUE(QTest::qWaitFor([pZod] { return !pZod->isEnabled(); }, WAIT_MS));
}

// The broker output has its row; the broker goes away and comes back on the
// same port: the operator sees it lost (red, an alarm) and connected again
// (green), the lost sentences still counted. (kvtstation's fault tests hold
// the broker's account to every accepted bearing.)
TEST_F(ConsoleWindowTest, BrokerStateTurnsGreenAgainAfterAReconnect)
{
    MosquittoBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.GetErrorText().toStdString();
    Open(600, broker.GetPort());
    StationStatePanel& panel = m_pWindow->GetStatePanel();
    const AccountedOutput& output = *m_pStation->GetOutputs().back();
    ASSERT_TRUE(RunUntilBearings());
    ASSERT_TRUE(QTest::qWaitFor([&] { return output.GetAccount().GetDelivered() > 0; }, WAIT_MS));
    EXPECT_EQ(panel.GetBrokerState(), "broker connected");
    EXPECT_FALSE(panel.IsBrokerLost());
    m_pWindow->SlotRefresh();
    ASSERT_EQ(m_pWindow->GetOutputStatus().rowCount(), 3);
    EXPECT_EQ(m_pWindow->GetOutputStatus().item(2, 0)->text(), "broker");

    broker.Stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel.IsBrokerLost(); }, WAIT_MS));
    m_pWindow->SlotRefresh();
    EXPECT_EQ(panel.GetBrokerState(), "broker lost");
    EXPECT_EQ(m_pWindow->GetOutputStatus().item(2, 0)->background().color(), OutputStatusTable::FAILURE_COLOUR);
    const std::vector<AlarmLog::Alarm>& alarms = m_pWindow->GetAlarms().GetAlarms();
    ASSERT_FALSE(alarms.empty());
    EXPECT_EQ(alarms.back().eKind, AlarmLog::Kind::BrokerLost);

    ASSERT_TRUE(broker.Start()) << broker.GetErrorText().toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !panel.IsBrokerLost(); }, WAIT_MS));
    m_pWindow->SlotRefresh();
    EXPECT_EQ(panel.GetBrokerState(), "broker connected");
    EXPECT_NE(m_pWindow->GetOutputStatus().item(2, 0)->background().color(), OutputStatusTable::FAILURE_COLOUR);
    m_pStation->End();
    ASSERT_TRUE(RunToEnd());
}

TEST_F(ConsoleWindowTest, AStopSignalAfterTheEndOfTheRunOnlyClosesTheWindow)
{
    Open(1);
    ASSERT_TRUE(RunToEnd());
    m_pWindow->show();
    m_pWindow->SlotStopSignal(SIGTERM);
    EXPECT_EQ(m_pWindow->GetStopSignal(), 0);
    EXPECT_FALSE(m_pWindow->isVisible());
}

TEST_F(ConsoleWindowTest, TitleAndStateNameTheStationItsRoleAndTuning)
{
    Open(6);
    ASSERT_TRUE(RunUntilBearings());
    m_pWindow->SlotRefresh();
    StationStatePanel& panel = m_pWindow->GetStatePanel();
    EXPECT_EQ(panel.GetRole(), "stand-alone");
    EXPECT_TRUE(panel.GetTuning().startsWith("tuned to ")) << panel.GetTuning().toStdString();
    EXPECT_EQ(panel.GetBrokerState(), "no broker");
    EXPECT_EQ(m_pWindow->windowTitle(), QString::fromUtf8("kvtconsole \u2014 %1 (stand-alone)").arg(panel.GetName()));
    EXPECT_TRUE(panel.GetOutputsLabel().text().contains("sentence file delivering"))
        << panel.GetOutputsLabel().text().toStdString();
    // Everything fits the window a 1400 x 900 screen opens: Apply and the status bar included.
    const QSize opened = WindowPlacement::DefaultSize(QSize(1400, 900));
    EXPECT_LE(m_pWindow->minimumSizeHint().width(), opened.width());
    EXPECT_LE(m_pWindow->minimumSizeHint().height(), opened.height());
    ASSERT_TRUE(RunToEnd());
}

// A receiver of a scenario starts untuned: it says that it waits for a handover.
TEST_F(ConsoleWindowTest, AReceiverWaitsForAHandover)
{
    Scenario scenario;
    QString error;
    ASSERT_TRUE(scenario.Load(QStringLiteral(KVT_SOURCE_DIR "/scenarios/default.json"), error)) << error.toStdString();
    const auto south = std::find_if(scenario.GetStations().begin(), scenario.GetStations().end(),
                                    [](const Scenario::Station& station) { return station.strName == "South"; });
    ASSERT_NE(south, scenario.GetStations().end());
    Open(1, 0, &scenario, &*south);
    StationStatePanel& panel = m_pWindow->GetStatePanel();
    EXPECT_EQ(panel.GetName(), "South");
    EXPECT_EQ(panel.GetRole(), "receiver");
    EXPECT_EQ(panel.GetTuning(), "waiting for a handover");
    EXPECT_EQ(m_pWindow->windowTitle(), QString::fromUtf8("kvtconsole \u2014 South (receiver)"));
}

TEST_F(ConsoleWindowTest, NoAcceptedBearingForAWhileRaisesAnAlarm)
{
    Open(6);
    // Any time at all without a bearing is too long here; the station's first block comes later.
    m_pWindow->SetNoBearingSeconds(1);
    m_pStation->Start();
    ASSERT_TRUE(QTest::qWaitFor(
        [this] {
            m_pWindow->SlotRefresh();
            return !m_pWindow->GetAlarms().GetAlarms().empty() || m_pStation->IsFinished();
        },
        WAIT_MS));
    const std::vector<AlarmLog::Alarm>& alarms = m_pWindow->GetAlarms().GetAlarms();
    ASSERT_FALSE(alarms.empty());
    EXPECT_EQ(alarms.front().eKind, AlarmLog::Kind::NoBearing);
    ASSERT_TRUE(RunToEnd());
}

TEST_F(ConsoleWindowTest, GermanCataloguesTranslateTheConsoleAndTheLibraryWidgets)
{
    const StationTranslation station(QLocale(QLocale::German));
    QTranslator console;
    ASSERT_TRUE(ConsoleTranslation::Load(console, QLocale(QLocale::German)));
    QCoreApplication::installTranslator(&console);
    Open(1);

    QTabWidget& tabs = m_pWindow->GetTabs();
    EXPECT_EQ(tabs.tabText(tabs.count() - 1), QString::fromUtf8("Fähigkeitsbericht"));
    EXPECT_EQ(m_pWindow->GetBowUpSwitch().text(), "Bug oben");
    EXPECT_EQ(PolarGeometry::CompassLetter(1), "O");
    EXPECT_EQ(m_pWindow->GetStatePanel().GetRole(), QString::fromUtf8("eigenständig"));
    EXPECT_EQ(m_pWindow->GetOutputStatus().item(0, 0)->text(), "Satzdatei");
    EXPECT_EQ(m_pWindow->GetPauseAction().text(), "Anhalten");
    QStringList boxes;
    for (const QCheckBox* pBox : m_pWindow->GetOutputSettings().findChildren<QCheckBox*>())
        boxes << pBox->text();
    EXPECT_EQ(boxes, (QStringList{"RS232", "Datei"}));
    EXPECT_EQ(m_pWindow->GetRejectCounters().item(0, 0)->text(), "Plattformneigung");
    // The longer German texts still fit the window of a 1400 x 900 screen.
    EXPECT_LE(m_pWindow->minimumSizeHint().width(), WindowPlacement::DefaultSize(QSize(1400, 900)).width());
    // The capability report of the last tab, in the window's language.
    QString report;
    QTextStream stream(&report);
    TextPrinter(stream).Print(QJsonDocument::fromJson(R"({"configuration":{"station":"Default"},"device":{},
        "antennaSetup":{"message":"ok"},"operationModes":[{"mode":1,"minFreq":2e7,"maxFreq":3e9}]})").object());
    EXPECT_TRUE(report.contains(QString::fromUtf8("  Konverterumschaltung  keine\n"))) << report.toStdString();
    EXPECT_TRUE(report.contains("Frequenzgrenzen je Betriebsart\n  Betriebsart 1  20 MHz - 3000 MHz"))
        << report.toStdString();
    QCoreApplication::removeTranslator(&console);
}

}
