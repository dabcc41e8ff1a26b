#include "tools/kvtconsole/alarmlog.h"

#include <QDateTime>

#include <algorithm>

AlarmLog::AlarmLog(std::function<quint64()> clockMs, std::function<void(const QString&)> writer, QObject* pParent)
    : QObject(pParent)
    , m_clockMs(std::move(clockMs))
    , m_writer(std::move(writer))
{
}

int AlarmLog::Raise(Kind eKind, const QString& subject, const QString& text)
{
    const bool bStanding = std::any_of(m_lstAlarms.begin(), m_lstAlarms.end(), [&](const Alarm& alarm) {
        return !alarm.bAcknowledged && alarm.eKind == eKind && alarm.strSubject == subject;
    });
    if (bStanding)
        return 0;
    Alarm alarm;
    alarm.nId = m_nNextId++;
    alarm.nTimeMs = m_clockMs();
    alarm.eKind = eKind;
    alarm.strSubject = subject;
    alarm.strText = text;
    m_lstAlarms.push_back(alarm);
    m_writer(Line(alarm));
    emit Changed();
    return alarm.nId;
}

bool AlarmLog::Acknowledge(int nId)
{
    const auto it =
        std::find_if(m_lstAlarms.begin(), m_lstAlarms.end(), [nId](const Alarm& alarm) { return alarm.nId == nId; });
    if (it == m_lstAlarms.end() || it->bAcknowledged)
        return false;
    it->bAcknowledged = true;
    emit Changed();
    return true;
}

void AlarmLog::AcknowledgeAll()
{
    for (Alarm& alarm : m_lstAlarms)
        alarm.bAcknowledged = true;
    emit Changed();
}

int AlarmLog::GetUnacknowledged() const
{
    return static_cast<int>(
        std::count_if(m_lstAlarms.begin(), m_lstAlarms.end(), [](const Alarm& alarm) { return !alarm.bAcknowledged; }));
}

QString AlarmLog::Line(const Alarm& alarm)
{
    return QStringLiteral("ALARM %1 UTC %2")
        .arg(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(alarm.nTimeMs), Qt::UTC)
                 .toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")),
             alarm.strText);
}
