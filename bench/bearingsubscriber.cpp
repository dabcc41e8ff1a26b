#include "bench/bearingsubscriber.h"

#include "contract/bearingmessage.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

#include <utility>

BearingSubscriber::BearingSubscriber(PublishedAt publishedAt, QObject* pParent)
    : QObject(pParent)
    , m_publishedAt(std::move(publishedAt))
{
    connect(&m_connection, &MqttConnection::MessageReceived, this, &BearingSubscriber::OnMessage);
    connect(&m_connection, &MqttConnection::Connected, this, [this] {
        m_lstOnline.clear();
        if (m_bConnectedBefore)
            m_lstConnectionChanges.push_back(LatencySummary::Now());
        m_bConnectedBefore = true;
    });
    connect(&m_connection, &MqttConnection::Disconnected, this, [this] {
        // Failed attempts while the broker is away are no new loss of the connection.
        if (m_bConnectedBefore && m_lstConnectionChanges.size() % 2 == 0)
            m_lstConnectionChanges.push_back(LatencySummary::Now());
    });
    m_connection.Subscribe(QStringLiteral("kvt/stations/+/bearings"), 1);
    m_connection.Subscribe(QStringLiteral("kvt/stations/+/status"), 1);
}

bool BearingSubscriber::Connect(int nPort, const QString& user, const QString& password, int nTimeoutMs)
{
    MqttConnection::Settings settings;
    settings.nPort = nPort;
    settings.strUserName = user;
    settings.strPassword = password;
    settings.strClientId = QStringLiteral("bearing-subscriber");
    // The broker queues for this session while the subscriber is away.
    settings.bCleanSession = false;
    return m_connection.Open(settings) && WaitUntil([this] { return m_connection.IsConnected(); }, nTimeoutMs);
}

bool BearingSubscriber::WaitUntil(const std::function<bool()>& done, int nTimeoutMs)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer::singleShot(nTimeoutMs, &loop, &QEventLoop::quit);
    const auto check = [&] {
        if (done())
            loop.quit();
    };
    connect(this, &BearingSubscriber::Received, &loop, check);
    connect(&m_connection, &MqttConnection::Connected, &loop, check);
    loop.exec();
    return done();
}

const std::set<qint64>& BearingSubscriber::GetReceived(const QString& station) const
{
    static const std::set<qint64> s_none;
    const auto found = m_mapReceived.find(station);
    return found != m_mapReceived.end() ? found->second : s_none;
}

int BearingSubscriber::GetDuplicates(const QString& station) const
{
    const auto found = m_mapDuplicates.find(station);
    return found != m_mapDuplicates.end() ? found->second : 0;
}

void BearingSubscriber::OnMessage(const QString& topic, const QByteArray& payload)
{
    const qint64 nArrived = LatencySummary::Now();
    if (topic.endsWith(QLatin1String("/status")))
    {
        const QJsonObject status = QJsonDocument::fromJson(payload).object();
        if (status.value(QLatin1String("online")).toBool())
            m_lstOnline.insert(status.value(QLatin1String("station")).toString());
        emit Received();
        return;
    }
    kvt::BearingRecord bearing;
    QString error;
    const qint64 nPublished =
        kvt::BearingMessage::Parse(payload, bearing, error) ? m_publishedAt(bearing.strStation, bearing.nSeq) : -1;
    if (nPublished < 0)
        ++m_nUnexpected;
    else if (!m_mapReceived[bearing.strStation].insert(bearing.nSeq).second)
        ++m_mapDuplicates[bearing.strStation];
    else
    {
        ++m_nReceived;
        m_latencies.Add(nArrived - nPublished);
    }
    emit Received();
}
