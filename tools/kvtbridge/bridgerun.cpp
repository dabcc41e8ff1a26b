#include "tools/kvtbridge/bridgerun.h"

#include <QJsonArray>

namespace kvt {

BridgeRun::BridgeRun(const BridgeCommandLine& commandLine, QTextStream& err)
    : m_commandLine(commandLine)
    , m_err(err)
    , m_bridge(commandLine.GetBridgeSettings())
    , m_refusedLogin(QStringLiteral("kvtbridge"), err, EXIT_BROKER)
{
    m_refusedLogin.Watch(m_output.GetConnection());
    connect(&m_poller, &ReceiverPoller::DocumentReceived, this, &BridgeRun::Take);
    connect(&m_poller, &ReceiverPoller::PollFailed, this,
            [this](const QString& reason) { Say(QStringLiteral("receiver"), m_strLastPollFailure, reason); });
    connect(&m_output, &AccountedOutput::FailureReported, this,
            [this](const QString& reason) { m_err << "kvtbridge: broker: " << reason << "\n" << Qt::flush; });
}

bool BridgeRun::Start(QString& rError)
{
    return m_poller.Start(m_commandLine.GetReceiver(), m_commandLine.GetIntervalMs(), m_commandLine.GetTimeoutMs(),
                          rError);
}

void BridgeRun::Stop(int nDrainMs)
{
    m_poller.Stop();
    if (m_bOutputStarted)
        m_output.Stop(nDrainMs);
}

void BridgeRun::Take(const QByteArray& document)
{
    // The receiver answers again: its next failure is said again.
    m_strLastPollFailure.clear();
    Bearing bearing;
    if (!m_bridge.Take(document, bearing)) {
        const QString garbage = m_bridge.GetCounters().strLastGarbage;
        if (!garbage.isEmpty())
            Say(QStringLiteral("document"), m_strLastGarbage, garbage);
        return;
    }
    m_strLastGarbage.clear();
    if (!m_bOutputStarted) {
        m_bOutputStarted = true;
        const StationStatus status{bearing.strStation, bearing.fLatitude,  bearing.fLongitude,
                                   bearing.fHeading,   bearing.fFrequency, bearing.fFrequency};
        m_output.Start(m_commandLine.GetMqttSettings(), status);
    }
    m_output.Publish(bearing);
}

void BridgeRun::Say(const QString& what, QString& rLast, const QString& text)
{
    if (text == rLast)
        return;
    rLast = text;
    m_err << "kvtbridge: " << what << ": " << text << "\n" << Qt::flush;
}

QJsonObject BridgeRun::Summary() const
{
    const ReceiverPoller::Counters& polls = m_poller.GetCounters();
    const DeliveryAccount& account = m_output.GetAccount();
    return {
        {QStringLiteral("station"), m_commandLine.GetBridgeSettings().strStation},
        {QStringLiteral("receiver"), m_commandLine.GetReceiver()},
        {QStringLiteral("polls"),
         QJsonObject{{QStringLiteral("polls"), static_cast<qint64>(polls.nPolls)},
                     {QStringLiteral("answers"), static_cast<qint64>(polls.nAnswers)},
                     {QStringLiteral("failures"), static_cast<qint64>(polls.nFailures)},
                     {QStringLiteral("timeouts"), static_cast<qint64>(polls.nTimeouts)},
                     {QStringLiteral("lastFailure"), polls.strLastFailure}}},
        {QStringLiteral("bridge"), m_bridge.CountersJson()},
        {QStringLiteral("broker"),
         QJsonObject{{QStringLiteral("target"), m_output.GetTarget()},
                     {QStringLiteral("connected"), m_output.HasBeenOpen()},
                     {QStringLiteral("offered"), static_cast<qint64>(account.GetOffered())},
                     {QStringLiteral("delivered"), static_cast<qint64>(account.GetDelivered())},
                     {QStringLiteral("lost"), static_cast<qint64>(account.GetLost())},
                     {QStringLiteral("lastFailure"), account.GetLastFailure()}}},
    };
}

int BridgeRun::ExitCode() const
{
    if (m_bridge.GetCounters().nPassed + m_bridge.GetCounters().nRepeated + m_bridge.GetCounters().nLowConfidence
        == 0)
        return 1;
    if (m_refusedLogin.HasGivenUp() || (m_bOutputStarted && !m_output.HasBeenOpen()))
        return EXIT_BROKER;
    return m_output.GetAccount().IsComplete() ? 0 : 3;
}

}
