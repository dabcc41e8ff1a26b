#pragma once

#include "tools/kvtbridge/dfbridge.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

namespace kvt {

/// The command line of the bridge:
///
///     kvtbridge --receiver URL|FILE --station NAME --mqtt HOST:PORT [--sigma DEG]
///               [--min-confidence N] [--doa clockwise|anticlockwise]
///               [--interval MS] [--timeout MS] [--seconds S] [--json]
class BridgeCommandLine
{
public:
    BridgeCommandLine();

    /// False on a usage error, with GetError() saying why. Needs no application object.
    bool Parse(const QStringList& arguments);
    /// For --help and --version: prints and ends the process (needs the application object).
    void ShowHelpOrVersion();
    QString GetError() const { return m_strError; }

    QString GetReceiver() const { return m_strReceiver; }
    const DfBridge::Settings& GetBridgeSettings() const { return m_bridge; }
    QString GetMqttHost() const { return m_strMqttHost; }
    int GetMqttPort() const { return m_nMqttPort; }
    int GetIntervalMs() const { return m_nIntervalMs; }
    int GetTimeoutMs() const { return m_nTimeoutMs; }
    /// 0: until stopped.
    double GetSeconds() const { return m_fSeconds; }
    bool IsJson() const { return m_bJson; }

private:
    bool ParseNumber(const QString& option, double low, double high, double& rValue);

    QCommandLineParser m_parser;
    QString m_strError;
    QString m_strReceiver;
    DfBridge::Settings m_bridge;
    QString m_strMqttHost;
    int m_nMqttPort = 0;
    int m_nIntervalMs = 1000;
    int m_nTimeoutMs = 2000;
    double m_fSeconds = 0.0;
    bool m_bJson = false;
};

}
