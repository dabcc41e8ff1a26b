#include "tools/kvtconsole/alarmtable.h"

#include "tools/kvtconsole/alarmlog.h"
#include "tools/kvtconsole/alarmstrip.h"

#include <QDateTime>
#include <QHeaderView>

namespace {

const int COLUMNS = 3;

}

AlarmTable::AlarmTable(AlarmLog& log, QWidget* pParent)
    : QTableWidget(0, COLUMNS, pParent)
    , m_log(log)
{
    setHorizontalHeaderLabels({tr("Time (UTC)"), tr("Alarm"), tr("State")});
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    connect(&m_log, &AlarmLog::Changed, this, &AlarmTable::Rebuild);
    connect(this, &QTableWidget::cellClicked, this, [this](int row, int) {
        // Newest on top.
        const std::vector<AlarmLog::Alarm>& alarms = m_log.GetAlarms();
        if (row >= 0 && static_cast<std::size_t>(row) < alarms.size())
            m_log.Acknowledge(alarms[alarms.size() - 1 - static_cast<std::size_t>(row)].nId);
    });
}

void AlarmTable::Rebuild()
{
    const std::vector<AlarmLog::Alarm>& alarms = m_log.GetAlarms();
    setRowCount(static_cast<int>(alarms.size()));
    for (std::size_t i = 0; i < alarms.size(); ++i) {
        const AlarmLog::Alarm& alarm = alarms[alarms.size() - 1 - i];
        const QString texts[COLUMNS] = {
            QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(alarm.nTimeMs), Qt::UTC)
                .toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")),
            alarm.strText, alarm.bAcknowledged ? tr("acknowledged") : tr("standing (click to acknowledge)")};
        const int row = static_cast<int>(i);
        for (int column = 0; column < COLUMNS; ++column) {
            if (item(row, column) == nullptr)
                setItem(row, column, new QTableWidgetItem);
            item(row, column)->setText(texts[column]);
            item(row, column)->setForeground(alarm.bAcknowledged ? QBrush() : QBrush(AlarmStrip::ALARM_COLOUR));
        }
    }
}
