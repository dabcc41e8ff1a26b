#pragma once

#include "commandline/refusedloginexit.h"
#include "network/brokerbearingoutput.h"
#include "tools/kvtbridge/bridgecommandline.h"
#include "tools/kvtbridge/dfbridge.h"
#include "tools/kvtbridge/receiverpoller.h"

#include <QJsonObject>
#include <QObject>
#include <QTextStream>

namespace kvt {

/// One run of the bridge: the poller's documents through the bridge onto
/// the broker. The broker output starts with the first bearing, whose
/// position and frequency become the station's status; failures of the
/// receiver and of the broker are said on `err` when they begin or their
/// reason changes, and counted. A login the broker refuses for good ends the
/// event loop (RefusedLoginExit) with EXIT_BROKER.
class BridgeRun : public QObject
{
    Q_OBJECT

public:
    BridgeRun(const BridgeCommandLine& commandLine, QTextStream& err);

    /// Starts polling; false with the reason when the receiver cannot be polled.
    bool Start(QString& rError);
    /// Stops polling and settles the broker output (waiting up to nDrainMs).
    void Stop(int nDrainMs);

    /// {"station", "receiver", "polls": {...}, "bridge": {...}, "broker": {...}}.
    QJsonObject Summary() const;
    /// 0 all published bearings delivered; 1 the receiver never gave a readable
    /// document; 3 bearings were lost; EXIT_BROKER the broker was never
    /// connected or refused the login.
    int ExitCode() const;

    static constexpr int EXIT_BROKER = 4;

private:
    void Take(const QByteArray& document);
    void Say(const QString& what, QString& rLast, const QString& text);

    const BridgeCommandLine& m_commandLine;
    QTextStream& m_err;
    ReceiverPoller m_poller;
    DfBridge m_bridge;
    BrokerBearingOutput m_output;
    RefusedLoginExit m_refusedLogin;
    bool m_bOutputStarted = false;
    QString m_strLastPollFailure;
    QString m_strLastGarbage;
};

}
