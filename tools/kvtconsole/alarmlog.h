#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <vector>

/// The alarms of the console: each has the time it was raised (the
/// station's clock, ms since the epoch), its kind, the subject it is about
/// and a text for people, and stays until it is acknowledged. Every alarm is
/// also handed to the writer (the console writes it to stderr) as it is
/// raised. An alarm about a subject whose alarm of that kind is still
/// unacknowledged is not raised again, so a flapping output does not flood
/// the operator. Single-threaded.
class AlarmLog : public QObject
{
    Q_OBJECT
public:
    enum class Kind
    {
        OutputFailing,
        BrokerLost,
        NoBearing,
        StationOffline,
        WatchedFix,
    };

    struct Alarm
    {
        int nId = 0;
        quint64 nTimeMs = 0;
        Kind eKind = Kind::OutputFailing;
        QString strSubject;
        QString strText;
        bool bAcknowledged = false;
    };

    /// clockMs: the time stamp of a new alarm; writer: gets one line per raised alarm.
    AlarmLog(std::function<quint64()> clockMs, std::function<void(const QString&)> writer, QObject* pParent = nullptr);

    /// The new alarm's id; 0 when an unacknowledged alarm of that kind and subject stands.
    int Raise(Kind eKind, const QString& subject, const QString& text);
    /// False for an unknown or already acknowledged id.
    bool Acknowledge(int nId);
    void AcknowledgeAll();

    /// Oldest first.
    const std::vector<Alarm>& GetAlarms() const { return m_lstAlarms; }
    int GetUnacknowledged() const;
    /// The line written for an alarm: "ALARM hh:mm:ss UTC <text>".
    static QString Line(const Alarm& alarm);

signals:
    void Changed();

private:
    std::function<quint64()> m_clockMs;
    std::function<void(const QString&)> m_writer;
    std::vector<Alarm> m_lstAlarms;
    int m_nNextId = 1;
};
