#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

/// A real mosquitto broker for one test: listens on a free loopback port,
/// with a configuration file generated in its own temporary directory, and
/// optionally accepts only one user (password file made with mosquitto_passwd).
///
/// Start() returns once the broker accepts connections. The broker is stopped
/// by its process id (SIGTERM, then SIGKILL) by Stop() and by the destructor,
/// so a failed assertion that leaves the test early stops it too. Restart()
/// keeps the port, so clients can reconnect to the same address.
class MosquittoBroker
{
public:
    MosquittoBroker() = default;
    ~MosquittoBroker();

    MosquittoBroker(const MosquittoBroker&) = delete;
    MosquittoBroker& operator=(const MosquittoBroker&) = delete;

    /// From the next Start() on, only this user with this password may connect.
    bool RequirePassword(const QString& userName, const QString& password);
    /// From the next Start() on, the broker is locked down as scripts/network.sh
    /// runs it: no anonymous clients, each of `users` (station names and the
    /// consumers "kvtfix" and "console") logs in with PasswordOf(user), and the
    /// access list is scripts/network.acl.
    bool LockDown(const QStringList& users);
    static QString PasswordOf(const QString& user) { return user + QStringLiteral("-pass"); }
    /// From the next Start() on, the broker keeps sessions and queued messages
    /// in its directory across Stop() (which saves them) and Start().
    void KeepSessions() { m_bPersistent = true; }

    /// From the next Start() on, the listener speaks TLS only, with a server
    /// certificate for 127.0.0.1 signed by a CA made for this broker (openssl).
    bool RequireTls();
    /// The PEM file of that CA; empty before RequireTls().
    QString GetCaFile() const { return m_strCaFile; }

    /// From the next Start() on, this line ends the broker's configuration
    /// (a knob such as "set_tcp_nodelay true").
    void AddConfigurationLine(const QString& line) { m_lstExtraLines << line; }
    /// From the next Start() on, the broker logs only what it logs by default,
    /// not a line for every packet (which costs it time under load).
    void LogDefaultsOnly() { m_bLogAll = false; }

    /// False, with the reason in GetErrorText(), when the broker did not come
    /// up within a few seconds.
    bool Start();
    void Stop();
    bool Restart();

    bool IsRunning() const { return m_process.state() != QProcess::NotRunning; }
    int GetPort() const { return m_nPort; }
    qint64 GetPid() const { return m_process.processId(); }
    QString GetErrorText() const { return m_strError; }
    /// The broker's log so far, for failure messages.
    QString GetLog() const;

private:
    bool WriteConfiguration();
    bool RunTool(const QString& program, const QStringList& arguments);
    bool WaitUntilListening();

    QTemporaryDir m_dir;
    QProcess m_process;
    int m_nPort = 0;
    bool m_bPassword = false;
    bool m_bAccessList = false;
    bool m_bPersistent = false;
    bool m_bLogAll = true;
    QStringList m_lstExtraLines;
    QString m_strCaFile;
    QString m_strError;
};
