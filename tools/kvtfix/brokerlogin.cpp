#include "tools/kvtfix/brokerlogin.h"

#include <QFile>
#include <QFileInfo>

namespace {

const QString OPT_USER = QStringLiteral("mqtt-user");
const QString OPT_PASSWORD_FILE = QStringLiteral("mqtt-password-file");
const QString OPT_CA = QStringLiteral("mqtt-ca");
const QString OPT_CLIENT_ID = QStringLiteral("mqtt-client-id");

}

const char* const BrokerLogin::PASSWORD_VARIABLE = "KVT_MQTT_PASSWORD";
const QString BrokerLogin::DEFAULT_CLIENT_ID = QStringLiteral("kvtfix");

QList<QCommandLineOption> BrokerLogin::Options()
{
    return {
        {OPT_USER, QStringLiteral("Log in to the broker as <name>."), QStringLiteral("name")},
        {OPT_PASSWORD_FILE,
         QStringLiteral("The login's password is the first line of <file> (else the environment's %1).")
             .arg(QLatin1String(PASSWORD_VARIABLE)),
         QStringLiteral("file")},
        {OPT_CA, QStringLiteral("Use TLS; the broker's certificate must be signed by a CA of the PEM <file>."),
         QStringLiteral("file")},
        {OPT_CLIENT_ID,
         QStringLiteral("Client id of the persistent session that keeps the bearings while kvtfix is away "
                        "(default: %1; unique per consumer).")
             .arg(DEFAULT_CLIENT_ID),
         QStringLiteral("id")},
    };
}

bool BrokerLogin::Parse(const QCommandLineParser& parser, MqttConnection::Settings& rSettings, QString& rError)
{
    rSettings.strUserName = parser.value(OPT_USER);
    rSettings.strClientId = parser.isSet(OPT_CLIENT_ID) ? parser.value(OPT_CLIENT_ID) : DEFAULT_CLIENT_ID;
    rSettings.bCleanSession = false;
    if (rSettings.strClientId.isEmpty()) {
        rError = QStringLiteral("--%1 must not be empty: the persistent session needs a fixed id.").arg(OPT_CLIENT_ID);
        return false;
    }
    if (parser.isSet(OPT_CA)) {
        rSettings.strCaFile = parser.value(OPT_CA);
        if (!QFileInfo(rSettings.strCaFile).isReadable()) {
            rError = QStringLiteral("The --%1 file \"%2\" cannot be read.").arg(OPT_CA, rSettings.strCaFile);
            return false;
        }
    }
    if (!parser.isSet(OPT_PASSWORD_FILE)) {
        rSettings.strPassword = qEnvironmentVariable(PASSWORD_VARIABLE);
        return true;
    }
    QFile file(parser.value(OPT_PASSWORD_FILE));
    if (!file.open(QIODevice::ReadOnly)) {
        rError = QStringLiteral("The --%1 file \"%2\" cannot be read: %3.")
                     .arg(OPT_PASSWORD_FILE, file.fileName(), file.errorString());
        return false;
    }
    rSettings.strPassword = QString::fromUtf8(file.readLine()).remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
    return true;
}
