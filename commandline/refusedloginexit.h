#pragma once

#include "network/mqttconnection.h"

#include <QObject>
#include <QString>
#include <QTextStream>

namespace kvt {

/// How a program ends when the broker refuses its login for good: once a
/// watched connection has been refused MqttConnection::MAX_LOGIN_TRIES times
/// in a row it stops trying; the program then says so once on stderr,
/// "<program>: giving up after 3 refused logins at HOST:PORT" (the reason,
/// such as "the broker refused the user name or password", was said by
/// whoever reports the connection's failures), and its event loop ends with
/// the exit code given here.
class RefusedLoginExit : public QObject
{
    Q_OBJECT

public:
    RefusedLoginExit(const QString& program, QTextStream& err, int nExitCode, QObject* pParent = nullptr);

    /// Watches a connection; any number may be watched, the first refusal counts.
    void Watch(const MqttConnection& connection);
    /// Whether a watched connection gave up.
    bool HasGivenUp() const { return m_bGivenUp; }
    int GetExitCode() const { return m_nExitCode; }

private:
    void GiveUp(const MqttConnection& connection);

    QString m_strProgram;
    QTextStream& m_err;
    int m_nExitCode;
    bool m_bGivenUp = false;
};

}
