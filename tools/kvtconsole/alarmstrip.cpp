#include "tools/kvtconsole/alarmstrip.h"

#include "tools/kvtconsole/alarmlog.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

const QColor AlarmStrip::ALARM_COLOUR(0xd6, 0x27, 0x28);

AlarmStrip::AlarmStrip(AlarmLog& log, QWidget* pParent)
    : QWidget(pParent)
    , m_log(log)
    , m_pLayout(new QHBoxLayout(this))
{
    m_pLayout->setContentsMargins(4, 2, 4, 2);
    connect(&m_log, &AlarmLog::Changed, this, &AlarmStrip::Rebuild);
    Rebuild();
}

void AlarmStrip::Rebuild()
{
    // A click on a button rebuilds the strip from within the button's own
    // event: the old widgets go once that has returned.
    while (QLayoutItem* pItem = m_pLayout->takeAt(0)) {
        if (QWidget* pWidget = pItem->widget()) {
            pWidget->hide();
            pWidget->deleteLater();
        }
        delete pItem;
    }
    m_lstButtons.clear();
    const std::vector<AlarmLog::Alarm>& alarms = m_log.GetAlarms();
    int shown = 0;
    for (auto it = alarms.rbegin(); it != alarms.rend(); ++it) {
        if (it->bAcknowledged || shown++ >= SHOWN)
            continue;
        const QString time = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(it->nTimeMs), Qt::UTC)
                                 .toString(QStringLiteral("hh:mm:ss"));
        auto* pButton = new QPushButton(QStringLiteral("%1  %2").arg(time, it->strText), this);
        pButton->setToolTip(tr("Click to acknowledge"));
        pButton->setStyleSheet(QStringLiteral("QPushButton { background: %1; color: white; padding: 2px 8px; }")
                                   .arg(ALARM_COLOUR.name()));
        const int nId = it->nId;
        connect(pButton, &QPushButton::clicked, this, [this, nId] { m_log.Acknowledge(nId); });
        m_pLayout->addWidget(pButton);
        m_lstButtons.append(pButton);
    }
    if (shown > SHOWN)
        m_pLayout->addWidget(new QLabel(tr("and %n more (see the alarm log)", nullptr, shown - SHOWN), this));
    m_pLayout->addStretch(1);
    setVisible(shown > 0);
}
