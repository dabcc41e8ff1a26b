#pragma once

#include <QFile>
#include <QJsonObject>
#include <QObject>
#include <QProcess>
#include <QString>

#include <map>
#include <vector>

/// The real consumer in the load measurement: the kvtfix program following
/// the broker (`--mqtt`) in its persistent session, with a record of the
/// bearings it used (`--mqtt-record`) in a folder of the run. The record
/// outlives a kvtfix killed with SIGKILL, so what every kvtfix of the run
/// used is known; it is read as it grows.
class KvtfixConsumer : public QObject
{
    Q_OBJECT

public:
    /// `program` is the kvtfix binary; its record and password file go into `folder`.
    KvtfixConsumer(const QString& program, const QString& folder, QObject* pParent = nullptr);
    ~KvtfixConsumer() override;

    /// From the next Start() on, kvtfix logs in as `user` with `password` (given in a file).
    bool SetLogin(const QString& user, const QString& password);
    /// Starts kvtfix; false unless it says it is connected within nTimeoutMs.
    bool Start(int nPort, int nTimeoutMs);
    /// SIGKILL: no summary, only the record is left.
    void Kill();
    /// SIGINT; the "live" part of kvtfix's summary, empty when it printed none.
    QJsonObject Interrupt(int nTimeoutMs);

    /// Reads what the record gained since the last call.
    void ReadRecord();
    /// Runs the event loop until the record holds nCount bearings or nTimeoutMs have passed.
    bool WaitForRecord(qint64 nCount, int nTimeoutMs);
    /// Per station, the sequence numbers in the record, in the order used.
    const std::map<QString, std::vector<qint64>>& GetRecorded() const { return m_mapRecorded; }
    qint64 GetRecordedCount() const { return m_nRecorded; }
    /// Steady-clock times (LatencySummary::Now()) at which a kvtfix said it connected.
    const std::vector<qint64>& GetConnections() const { return m_lstConnections; }
    /// What every kvtfix of the run wrote to stderr.
    QString GetErrors() const { return m_strErrors; }
    /// The running kvtfix's process id; 0 when none runs.
    qint64 GetPid() const { return m_process.processId(); }

private:
    void ReadErrors();

    QString m_strProgram;
    QString m_strFolder;
    QString m_strUser;
    QProcess m_process;
    /// SIGINT sent: the output holds the summary.
    bool m_bInterrupted = false;
    QFile m_record;
    QByteArray m_partialLine;
    std::map<QString, std::vector<qint64>> m_mapRecorded;
    qint64 m_nRecorded = 0;
    std::vector<qint64> m_lstConnections;
    QString m_strErrors;
    QByteArray m_partialError;
};
