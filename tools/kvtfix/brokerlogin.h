#pragma once

#include "network/mqttconnection.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>

/// The command-line options with which kvtfix logs in to the broker of
/// --mqtt, and their reading into the connection's settings:
///
///     --mqtt-user NAME            user name (none: no login)
///     --mqtt-password-file FILE   the password: the file's first line
///     --mqtt-ca FILE              PEM file of CA certificates: TLS, the broker's certificate checked
///     --mqtt-client-id ID         the persistent session's client id (default "kvtfix")
///
/// The password never stands on the command line, where every user of the
/// machine sees it: it comes from the file, else from the environment
/// variable PASSWORD_VARIABLE. The session is persistent (clean session off)
/// under the fixed client id, so the broker queues the bearings while kvtfix
/// is away; two kvtfix on one broker need two ids.
namespace BrokerLogin
{

extern const char* const PASSWORD_VARIABLE;
extern const QString DEFAULT_CLIENT_ID;

QList<QCommandLineOption> Options();
/// Fills the login part of rSettings; false with rError on a file that cannot be read.
bool Parse(const QCommandLineParser& parser, MqttConnection::Settings& rSettings, QString& rError);

}
