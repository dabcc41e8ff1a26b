#include "tools/kvtfix/fixpublisher.h"

#include "contract/topiclevel.h"
#include "tools/kvtfix/fixmessage.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QTimer>

namespace kvt {

namespace {

const int QOS = 1;
const QString FIXES_ROOT = QStringLiteral("kvt/fixes/");
/// The status message's version.
const int STATUS_VERSION = 1;

}

const QString FixPublisher::STATUS_TOPIC = QStringLiteral("kvt/fusion/status");

FixPublisher::FixPublisher(const QJsonObject& status, QObject* pParent)
    : AccountedOutput(QStringLiteral("fixes"), pParent)
    , m_status(status)
{
    m_status.insert(QStringLiteral("v"), STATUS_VERSION);
    m_status.insert(QStringLiteral("service"), QCoreApplication::applicationName());
    connect(&m_connection, &MqttConnection::Connected, this, &FixPublisher::OnConnected);
    connect(&m_connection, &MqttConnection::Disconnected, this, [this](const QString& reason) {
        ReportFailure(Failure::Disconnected, reason);
        emit Progressed();
    });
    connect(&m_connection, &MqttConnection::PublishAcknowledged, this, &FixPublisher::OnAcknowledged);
}

FixPublisher::~FixPublisher()
{
    // The clean disconnect publishes no Will: the offline status goes out first.
    if (!m_bStopped && m_connection.IsConnected())
        m_connection.Publish(STATUS_TOPIC, Status(false), QOS, true);
}

QString FixPublisher::FixTopic(const QString& channel)
{
    return FIXES_ROOT + TopicLevel::Escape(channel);
}

QString FixPublisher::LatestTopic(const QString& channel)
{
    return FixTopic(channel) + QStringLiteral("/latest");
}

bool FixPublisher::Start(const MqttConnection::Settings& settings)
{
    MqttConnection::Settings publisher = settings;
    publisher.strClientId = QStringLiteral("%1.fusion.%2")
                                .arg(QCoreApplication::applicationName())
                                .arg(QCoreApplication::applicationPid());
    publisher.will = {STATUS_TOPIC, Status(false), QOS, true};
    SetTarget(QStringLiteral("%1:%2").arg(settings.strHost).arg(settings.nPort));
    if (!m_connection.Open(publisher)) {
        ReportFailure(Failure::Open, m_connection.GetErrorText());
        return false;
    }
    return true;
}

void FixPublisher::Publish(const Fix& fix)
{
    if (m_bStopped)
        return;
    const QString channel = FixMessage::Channel(fix);
    const QByteArray message = FixMessage::Format(fix);
    m_mapLatest.insert(channel, message);
    Offer(1);
    if (m_connection.IsConnected() && m_lstQueue.empty()) {
        if (Send(channel, message))
            return;
        // A connection that broke during the call keeps the fix for the next one.
        if (m_connection.IsConnected()) {
            Lose(1, Failure::Write, m_connection.GetErrorText());
            return;
        }
    }
    if (static_cast<int>(m_lstQueue.size()) < DEFAULT_QUEUE_LIMIT) {
        m_lstQueue.emplace_back(channel, message);
        return;
    }
    Lose(1, Failure::Overflow, QStringLiteral("queue of %1 fixes full: %2")
                .arg(DEFAULT_QUEUE_LIMIT)
                .arg(m_connection.GetErrorText().isEmpty() ? QStringLiteral("not connected")
                                                           : m_connection.GetErrorText()));
}

void FixPublisher::Stop(int nDrainMs)
{
    if (m_bStopped)
        return;
    m_bStopped = true;
    QElapsedTimer waited;
    waited.start();
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(this, &FixPublisher::Progressed, &loop, [this, &loop] {
        if (GetAccount().GetPending() == 0 || !m_connection.IsConnected())
            loop.quit();
    });
    if (GetAccount().GetPending() > 0 && m_connection.IsConnected()) {
        deadline.start(nDrainMs);
        loop.exec();
    }
    const quint64 nLeft = GetAccount().GetPending();
    if (nLeft > 0)
        Lose(nLeft, Failure::Disconnected, QStringLiteral("%1 fixes not acknowledged by the broker within %2 ms").arg(nLeft).arg(nDrainMs));
    m_lstQueue.clear();
    m_lstInFlight.clear();
    if (m_connection.IsConnected()) {
        const int nStatusId = m_connection.Publish(STATUS_TOPIC, Status(false), QOS, true);
        connect(&m_connection, &MqttConnection::PublishAcknowledged, &loop, [&loop, nStatusId](int nId) {
            if (nId == nStatusId)
                loop.quit();
        });
        if (nStatusId > 0) {
            deadline.start(static_cast<int>(std::max<qint64>(0, nDrainMs - waited.elapsed())));
            loop.exec();
        }
    }
    m_connection.Close();
}

void FixPublisher::OnConnected()
{
    MarkOpen();
    m_connection.Publish(STATUS_TOPIC, Status(true), QOS, true);
    for (auto it = m_mapLatest.cbegin(); it != m_mapLatest.cend(); ++it)
        m_connection.Publish(LatestTopic(it.key()), it.value(), QOS, true);
    while (!m_lstQueue.empty() && m_connection.IsConnected()) {
        if (!Send(m_lstQueue.front().first, m_lstQueue.front().second) && m_connection.IsConnected())
            Lose(1, Failure::Write, m_connection.GetErrorText());
        if (!m_connection.IsConnected())
            return;
        m_lstQueue.pop_front();
    }
}

void FixPublisher::OnAcknowledged(int nMessageId)
{
    if (m_lstInFlight.erase(nMessageId) > 0)
        Deliver(1);
    emit Progressed();
}

QByteArray FixPublisher::Status(bool bOnline) const
{
    QJsonObject status = m_status;
    status.insert(QStringLiteral("online"), bOnline);
    return QJsonDocument(status).toJson(QJsonDocument::Compact);
}

bool FixPublisher::Send(const QString& channel, const QByteArray& message)
{
    const int nMessageId = m_connection.Publish(FixTopic(channel), message, QOS, false);
    if (nMessageId < 0)
        return false;
    m_lstInFlight.insert(nMessageId);
    m_connection.Publish(LatestTopic(channel), message, QOS, true);
    return true;
}

}
