#include "tools/kvtconsole/alarmlog.h"
#include "tools/kvtconsole/alarmstrip.h"
#include "tools/kvtconsole/alarmtable.h"
#include "tools/kvtconsole/windowplacement.h"

#include <QMainWindow>
#include <QScreen>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const quint64 NOON = 1'700'049'600'000;  // 2023-11-15 12:00:00 UTC

/// An alarm log on a clock the test sets, writing into a list instead of stderr.
class AlarmTest : public ::testing::Test
{
protected:
    quint64 m_nNowMs = NOON;
    QStringList m_lstWritten;
    AlarmLog m_log{[this] { return m_nNowMs; }, [this](const QString& line) { m_lstWritten << line; }};
};

TEST_F(AlarmTest, EachAlarmIsStampedWrittenAndStandsUntilAcknowledged)
{
    const int broker = m_log.Raise(AlarmLog::Kind::BrokerLost, "broker", "Broker lost: connection refused");
    m_nNowMs += 65000;
    const int offline = m_log.Raise(AlarmLog::Kind::StationOffline, "South", "Station South offline");
    ASSERT_NE(broker, 0);
    ASSERT_NE(offline, broker);
    EXPECT_EQ(m_lstWritten, (QStringList{"ALARM 2023-11-15 12:00:00 UTC Broker lost: connection refused",
                                         "ALARM 2023-11-15 12:01:05 UTC Station South offline"}));
    EXPECT_EQ(m_log.GetUnacknowledged(), 2);

    // The same failure again while its alarm stands is no new alarm; another subject is.
    EXPECT_EQ(m_log.Raise(AlarmLog::Kind::BrokerLost, "broker", "Broker lost: timeout"), 0);
    EXPECT_NE(m_log.Raise(AlarmLog::Kind::StationOffline, "North", "Station North offline"), 0);
    EXPECT_EQ(m_lstWritten.size(), 3);

    EXPECT_TRUE(m_log.Acknowledge(broker));
    EXPECT_FALSE(m_log.Acknowledge(broker));
    EXPECT_FALSE(m_log.Acknowledge(4711));
    EXPECT_EQ(m_log.GetUnacknowledged(), 2);
    // Once acknowledged, the next failure alarms again.
    EXPECT_NE(m_log.Raise(AlarmLog::Kind::BrokerLost, "broker", "Broker lost: timeout"), 0);
    m_log.AcknowledgeAll();
    EXPECT_EQ(m_log.GetUnacknowledged(), 0);
    EXPECT_EQ(m_log.GetAlarms().size(), 4u);
}

TEST_F(AlarmTest, StripShowsTheNewestStandingAlarmsAndAClickAcknowledges)
{
    AlarmStrip strip(m_log);
    EXPECT_TRUE(strip.isHidden());
    for (int i = 0; i < AlarmStrip::SHOWN + 2; ++i) {
        m_nNowMs += 1000;
        m_log.Raise(AlarmLog::Kind::WatchedFix, QString::number(i), QStringLiteral("Fix %1").arg(i));
    }
    EXPECT_FALSE(strip.isHidden());
    QList<QPushButton*> buttons = strip.GetButtons();
    ASSERT_EQ(buttons.size(), AlarmStrip::SHOWN);
    EXPECT_TRUE(buttons.front()->text().endsWith("Fix 4")) << buttons.front()->text().toStdString();

    QTest::mouseClick(buttons.front(), Qt::LeftButton);
    EXPECT_TRUE(m_log.GetAlarms().back().bAcknowledged);
    EXPECT_EQ(m_log.GetUnacknowledged(), AlarmStrip::SHOWN + 1);
    buttons = strip.GetButtons();
    ASSERT_EQ(buttons.size(), AlarmStrip::SHOWN);
    EXPECT_TRUE(buttons.front()->text().endsWith("Fix 3"));

    m_log.AcknowledgeAll();
    EXPECT_TRUE(strip.GetButtons().isEmpty());
    EXPECT_TRUE(strip.isHidden());
}

TEST_F(AlarmTest, LogListsEveryAlarmNewestOnTopAndAClickOnARowAcknowledgesIt)
{
    AlarmTable table(m_log);
    m_log.Raise(AlarmLog::Kind::OutputFailing, "file", "Output sentence file failing: File too large");
    m_nNowMs += 1000;
    m_log.Raise(AlarmLog::Kind::NoBearing, QString(), "No accepted bearing for 30 seconds");
    ASSERT_EQ(table.rowCount(), 2);
    EXPECT_EQ(table.item(0, 0)->text(), "2023-11-15 12:00:01");
    EXPECT_EQ(table.item(0, 1)->text(), "No accepted bearing for 30 seconds");
    EXPECT_EQ(table.item(1, 1)->text(), "Output sentence file failing: File too large");

    emit table.cellClicked(1, 0);
    EXPECT_TRUE(m_log.GetAlarms().front().bAcknowledged);
    EXPECT_FALSE(m_log.GetAlarms().back().bAcknowledged);
    EXPECT_EQ(table.item(1, 2)->text(), "acknowledged");
    emit table.cellClicked(7, 0);
    EXPECT_EQ(m_log.GetUnacknowledged(), 1);
}

TEST(WindowPlacementTest, OpensOnMostOfTheScreenAndWhereItWasLeft)
{
    EXPECT_EQ(WindowPlacement::DefaultSize(QSize(1400, 900)), QSize(1260, 810));
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const WindowPlacement placement(dir.filePath("window.ini"));
    QMainWindow first;
    EXPECT_FALSE(placement.Restore(first));
    const QSize available = first.screen()->availableGeometry().size();
    EXPECT_EQ(first.size(), WindowPlacement::DefaultSize(available));

    first.resize(available.width() / 2, available.height() / 3);
    ASSERT_TRUE(placement.Save(first));
    QMainWindow second;
    EXPECT_TRUE(placement.Restore(second));
    EXPECT_EQ(second.size(), first.size());
}

}
