#pragma once

#include "commandline/optionreader.h"
#include "network/mqttconnection.h"

#include <QCommandLineOption>
#include <QList>
#include <QString>

namespace kvt {

/// The options with which a program logs in to the broker of its --mqtt,
/// and their reading into the connection's settings:
///
///     --mqtt-user NAME            user name (none: no login)
///     --mqtt-password-file FILE   the password: the file's first line
///     --mqtt-ca FILE              PEM file of CA certificates: TLS, the broker's certificate checked
///     --mqtt-client-id ID         the client id
///
/// The password never stands on the command line, where every user of the
/// machine sees it: it comes from the file, else from the environment
/// variable PASSWORD_VARIABLE.
///
/// A consumer that must lose nothing while it is away (Session::Persistent)
/// keeps a persistent session (clean session off) under a fixed client id,
/// the default one unless --mqtt-client-id names another; two such consumers
/// on one broker need two ids. Any other program (Session::Clean) gets a
/// client id only from --mqtt-client-id, and otherwise leaves it to whoever
/// opens the connection to make up a unique one.
class BrokerLoginOptions
{
public:
    static const char* const PASSWORD_VARIABLE;

    enum class Session
    {
        Clean,
        Persistent
    };

    /// strDefaultClientId: the persistent session's id (ignored for a clean session).
    BrokerLoginOptions(Session eSession, const QString& strDefaultClientId = QString());

    QList<QCommandLineOption> Options() const;
    /// Fills the login and session part of rSettings; false, with the reader's
    /// error, on a file that cannot be read or an empty client id.
    bool Read(OptionReader& reader, MqttConnection::Settings& rSettings) const;

private:
    Session m_eSession;
    QString m_strDefaultClientId;
};

}
