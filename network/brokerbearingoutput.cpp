#include "network/brokerbearingoutput.h"

#include "contract/bearingmessage.h"
#include "contract/stationtopics.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>

namespace
{

const int QOS = 1;

} // namespace

BrokerBearingOutput::BrokerBearingOutput(QObject* pParent)
    : AccountedOutput(QStringLiteral("broker"), pParent)
{
    connect(&m_connection, &MqttConnection::Connected, this, &BrokerBearingOutput::OnConnected);
    connect(&m_connection, &MqttConnection::Disconnected, this, &BrokerBearingOutput::OnDisconnected);
    connect(&m_connection, &MqttConnection::PublishAcknowledged, this, &BrokerBearingOutput::OnAcknowledged);
}

BrokerBearingOutput::~BrokerBearingOutput()
{
    // Without Stop() the clean disconnect of the connection would leave the station retained
    // as online; the library writes the status at once, so it goes out before the DISCONNECT.
    if (!m_bStopped && m_connection.IsConnected())
        PublishStatus(false);
}

bool BrokerBearingOutput::Start(const MqttConnection::Settings& settings, const StationStatus& status)
{
    m_status = status;
    MqttConnection::Settings station = settings;
    if (station.strClientId.isEmpty())
        station.strClientId = MqttConnection::UniqueClientId(status.strName, QStringLiteral("station"));
    station.will = {StationTopics::Status(status.strName), status.ToJson(false), QOS, true};
    SetTarget(QStringLiteral("%1:%2").arg(settings.strHost).arg(settings.nPort));
    if (!m_connection.Open(station))
    {
        ReportFailure(Failure::Open, m_connection.GetErrorText());
        return false;
    }
    return true;
}

void BrokerBearingOutput::Publish(const kvt::BearingRecord& bearing)
{
    if (m_bStopped)
        return;
    kvt::BearingRecord named = bearing;
    named.strStation = m_status.strName;
    const QByteArray payload = kvt::BearingMessage::Format(named);
    Offer(1);
    if (m_connection.IsConnected() && m_lstQueue.empty())
    {
        QString error;
        if (Send(payload, error))
            return;
        // Refused before the connection was found broken: kept for the next one. (One the library
        // took before the write failed is in flight, and Send() succeeded.)
        if (m_connection.IsConnected())
        {
            Lose(1, Failure::Write, error);
            return;
        }
    }
    if (static_cast<int>(m_lstQueue.size()) < m_nQueueLimit)
    {
        m_lstQueue.push_back(payload);
        return;
    }
    const QString why = m_connection.GetErrorText().isEmpty() ? QStringLiteral("not connected to the broker")
                                                              : m_connection.GetErrorText();
    Lose(1, Failure::Overflow, QStringLiteral("queue of %1 messages full: %2").arg(m_nQueueLimit).arg(why));
}

void BrokerBearingOutput::Stop(int nDrainMs)
{
    if (m_bStopped)
        return;
    m_bStopped = true;
    QElapsedTimer waited;
    waited.start();
    // A refused login is not tried again: nothing queued will go out.
    WaitUntil([this] { return GetAccount().GetPending() == 0 || m_connection.IsLoginRefused(); }, nDrainMs);
    const quint64 nLeft = GetAccount().GetPending();
    if (nLeft > 0)
    {
        QString reason =
            QStringLiteral("%1 messages not acknowledged by the broker within %2 ms").arg(nLeft).arg(nDrainMs);
        // The refusal itself was said when it came.
        if (m_connection.IsLoginRefused())
            reason = QStringLiteral("%1 messages never sent: the login was refused").arg(nLeft);
        else if (!m_connection.IsConnected() && !m_connection.GetErrorText().isEmpty())
            reason += QStringLiteral(": ") + m_connection.GetErrorText();
        Lose(nLeft, Failure::Disconnected, reason);
    }
    m_lstQueue.clear();
    m_lstInFlight.clear();
    if (m_connection.IsConnected())
    {
        m_nOfflineStatusId = PublishStatus(false);
        WaitUntil([this] { return m_nOfflineStatusId < 0 || !m_connection.IsConnected(); },
                  std::max<qint64>(0, nDrainMs - waited.elapsed()));
    }
    // A clean DISCONNECT: the broker publishes no Will.
    m_connection.Close();
}

bool BrokerBearingOutput::IsConnected() const
{
    return m_connection.IsConnected();
}

bool BrokerBearingOutput::WaitForConnection(int nTimeoutMs)
{
    WaitUntil([this] { return m_connection.IsConnected(); }, nTimeoutMs);
    return m_connection.IsConnected();
}

void BrokerBearingOutput::SetQueueLimit(int nLimit)
{
    m_nQueueLimit = std::max(0, nLimit);
}

void BrokerBearingOutput::SetReconnectDelays(int nMinimumMs, int nMaximumMs)
{
    m_connection.SetReconnectDelays(nMinimumMs, nMaximumMs);
}

void BrokerBearingOutput::OnConnected()
{
    MarkOpen();
    PublishStatus(true);
    while (!m_lstQueue.empty() && m_connection.IsConnected())
    {
        QString error;
        if (!Send(m_lstQueue.front(), error))
        {
            if (!m_connection.IsConnected())
                return;
            Lose(1, Failure::Write, error);
        }
        m_lstQueue.pop_front();
    }
}

void BrokerBearingOutput::OnDisconnected(const QString& reason)
{
    ReportFailure(Failure::Disconnected, reason);
}

void BrokerBearingOutput::OnAcknowledged(int nMessageId)
{
    if (nMessageId == m_nOfflineStatusId)
        m_nOfflineStatusId = -1;
    // The status messages are acknowledged too, and are no bearings.
    else if (m_lstInFlight.erase(nMessageId) > 0)
        Deliver(1);
    emit Progressed();
}

int BrokerBearingOutput::PublishStatus(bool bOnline)
{
    return m_connection.Publish(StationTopics::Status(m_status.strName), m_status.ToJson(bOnline), QOS, true);
}

bool BrokerBearingOutput::Send(const QByteArray& payload, QString& rError)
{
    const int nMessageId =
        m_connection.Publish(StationTopics::Bearings(m_status.strName), payload, QOS, false, &rError);
    if (nMessageId < 0)
        return false;
    m_lstInFlight.insert(nMessageId);
    return true;
}

void BrokerBearingOutput::WaitUntil(const std::function<bool()>& done, qint64 nTimeoutMs)
{
    if (done())
        return;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    const auto check = [&done, &loop] {
        if (done())
            loop.quit();
    };
    connect(this, &BrokerBearingOutput::Progressed, &loop, check);
    connect(&m_connection, &MqttConnection::Connected, &loop, check);
    connect(&m_connection, &MqttConnection::Disconnected, &loop, check);
    deadline.start(static_cast<int>(nTimeoutMs));
    loop.exec();
}
