#pragma once

#include "commandline/brokerloginoptions.h"
#include "commandline/optionreader.h"
#include "network/mqttconnection.h"
#include "tools/kvtbridge/dfbridge.h"

#include <QString>
#include <QStringList>

namespace kvt {

/// The command line of the bridge:
///
///     kvtbridge --receiver URL|FILE --station NAME --mqtt HOST:PORT [--sigma DEG]
///               [--min-confidence N] [--doa clockwise|anticlockwise]
///               [--interval MS] [--timeout MS] [--seconds S] [--json]
///               [--mqtt-user NAME] [--mqtt-password-file FILE] [--mqtt-ca FILE] [--mqtt-client-id ID]
///
/// The login options are the shared ones (BrokerLoginOptions); the bridge
/// publishes, so its session is clean and its client id made up per process
/// unless given.
class BridgeCommandLine
{
public:
    BridgeCommandLine();

    /// False on a usage error, with GetError() saying why. Needs no application object.
    bool Parse(const QStringList& arguments);
    /// For --help and --version: prints and ends the process (needs the application object).
    void ShowHelpOrVersion() { m_reader.ShowHelpOrVersion(); }
    QString GetError() const { return m_reader.GetError(); }

    QString GetReceiver() const { return m_strReceiver; }
    const DfBridge::Settings& GetBridgeSettings() const { return m_bridge; }
    /// The broker of --mqtt with the login; no client id unless --mqtt-client-id gave one.
    const MqttConnection::Settings& GetMqttSettings() const { return m_mqttSettings; }
    int GetIntervalMs() const { return m_nIntervalMs; }
    int GetTimeoutMs() const { return m_nTimeoutMs; }
    /// 0: until stopped.
    double GetSeconds() const { return m_fSeconds; }
    bool IsJson() const { return m_bJson; }

private:
    OptionReader m_reader;
    BrokerLoginOptions m_login;
    QString m_strReceiver;
    DfBridge::Settings m_bridge;
    MqttConnection::Settings m_mqttSettings;
    int m_nIntervalMs = 1000;
    int m_nTimeoutMs = 2000;
    double m_fSeconds = 0.0;
    bool m_bJson = false;
};

}
