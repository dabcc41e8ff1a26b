#include "commandline/brokerloginoptions.h"

#include <QFile>
#include <QFileInfo>

namespace kvt {

namespace {

const QString OPT_USER = QStringLiteral("mqtt-user");
const QString OPT_PASSWORD_FILE = QStringLiteral("mqtt-password-file");
const QString OPT_CA = QStringLiteral("mqtt-ca");
const QString OPT_CLIENT_ID = QStringLiteral("mqtt-client-id");

/// The password of --mqtt-password-file, else of the environment.
bool ReadPassword(OptionReader& reader, QString& rPassword)
{
    if (!reader.IsSet(OPT_PASSWORD_FILE)) {
        rPassword = qEnvironmentVariable(BrokerLoginOptions::PASSWORD_VARIABLE);
        return true;
    }
    QFile file(reader.Value(OPT_PASSWORD_FILE));
    if (!file.open(QIODevice::ReadOnly)) {
        reader.SetError(QStringLiteral("The --%1 file \"%2\" cannot be read: %3.")
                            .arg(OPT_PASSWORD_FILE, file.fileName(), file.errorString()));
        return false;
    }
    rPassword = QString::fromUtf8(file.readLine()).remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
    return true;
}

}

const char* const BrokerLoginOptions::PASSWORD_VARIABLE = "KVT_MQTT_PASSWORD";

BrokerLoginOptions::BrokerLoginOptions(Session eSession, const QString& strDefaultClientId)
    : m_eSession(eSession)
    , m_strDefaultClientId(strDefaultClientId)
{
}

QList<QCommandLineOption> BrokerLoginOptions::Options() const
{
    const QString clientId =
        m_eSession == Session::Persistent
            ? QStringLiteral("Client id of the persistent session that keeps the messages while %1 is away "
                             "(default: %1; unique per consumer).")
                  .arg(m_strDefaultClientId)
            : QStringLiteral("Client id on the broker (default: one made up for this process).");
    return {
        {OPT_USER, QStringLiteral("Log in to the broker as <name>."), QStringLiteral("name")},
        {OPT_PASSWORD_FILE,
         QStringLiteral("The login's password is the first line of <file> (else the environment's %1).")
             .arg(QLatin1String(PASSWORD_VARIABLE)),
         QStringLiteral("file")},
        {OPT_CA, QStringLiteral("Use TLS; the broker's certificate must be signed by a CA of the PEM <file>."),
         QStringLiteral("file")},
        {OPT_CLIENT_ID, clientId, QStringLiteral("id")},
    };
}

bool BrokerLoginOptions::Read(OptionReader& reader, MqttConnection::Settings& rSettings) const
{
    rSettings.strUserName = reader.Value(OPT_USER);
    const bool bPersistent = m_eSession == Session::Persistent;
    rSettings.bCleanSession = !bPersistent;
    rSettings.strClientId = reader.IsSet(OPT_CLIENT_ID) || !bPersistent ? reader.Value(OPT_CLIENT_ID)
                                                                         : m_strDefaultClientId;
    if (reader.IsSet(OPT_CLIENT_ID) && rSettings.strClientId.isEmpty()) {
        reader.SetError(bPersistent
                            ? QStringLiteral("--%1 must not be empty: the persistent session needs a fixed id.")
                                  .arg(OPT_CLIENT_ID)
                            : QStringLiteral("--%1 must not be empty.").arg(OPT_CLIENT_ID));
        return false;
    }
    if (reader.IsSet(OPT_CA)) {
        rSettings.strCaFile = reader.Value(OPT_CA);
        if (!QFileInfo(rSettings.strCaFile).isReadable()) {
            reader.SetError(QStringLiteral("The --%1 file \"%2\" cannot be read.").arg(OPT_CA, rSettings.strCaFile));
            return false;
        }
    }
    return ReadPassword(reader, rSettings.strPassword);
}

}
