#include "network/mqttconnection.h"

#include <mosquitto.h>

#include <QCoreApplication>
#include <QSocketNotifier>

#include <map>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace
{

// Keepalive pings and the check for a silent broker run from here.
const int HOUSEKEEPING_INTERVAL_MS = 1000;

QString LibraryError(int nResult, int nErrno)
{
    if (nResult == MOSQ_ERR_ERRNO)
        return QString::fromLocal8Bit(std::strerror(nErrno));
    return QString::fromUtf8(mosquitto_strerror(nResult));
}

QString RefusalText(int nConnack)
{
    switch (nConnack)
    {
    case 4:
    case 5:
        // Brokers answer a wrong password with either code.
        return QStringLiteral("the broker refused the user name or password");
    case 2:
        return QStringLiteral("the broker refused the client id");
    default:
        return QStringLiteral("the broker refused the connection: %1").arg(QString::fromUtf8(mosquitto_connack_string(nConnack)));
    }
}

// A broker that refuses the client id, the password or the access will
// refuse it again: such a refusal counts towards giving up.
bool IsLoginRefusal(int nConnack)
{
    return nConnack == 2 || nConnack == 4 || nConnack == 5;
}

} // namespace

QString MqttConnection::UniqueClientId(const QString& name, const QString& role)
{
    static std::map<QString, int> s_mapIssued;
    const QString base = QStringLiteral("%1.%2.%3").arg(name, role).arg(QCoreApplication::applicationPid());
    const int nEarlier = s_mapIssued[base]++;
    return nEarlier == 0 ? base : QStringLiteral("%1-%2").arg(base).arg(nEarlier + 1);
}

bool MqttConnection::ParseAddress(const QString& text, QString& rHost, int& rPort)
{
    const int nColon = text.lastIndexOf(QLatin1Char(':'));
    bool bOk = false;
    const int nPort = nColon > 0 ? text.mid(nColon + 1).toInt(&bOk) : 0;
    if (!bOk || nPort < 1 || nPort > 0xFFFF)
        return false;
    rHost = text.left(nColon);
    rPort = nPort;
    return true;
}

MqttConnection::MqttConnection(QObject* pParent)
    : QObject(pParent)
{
    // Counted by the library: the last connection to go releases it, so an unloaded
    // module leaves nothing of it behind.
    mosquitto_lib_init();
    m_reconnectTimer.setSingleShot(true);
    m_housekeepingTimer.setInterval(HOUSEKEEPING_INTERVAL_MS);
    connect(&m_reconnectTimer, &QTimer::timeout, this, &MqttConnection::SlotAttempt);
    connect(&m_housekeepingTimer, &QTimer::timeout, this, &MqttConnection::SlotHousekeeping);
}

MqttConnection::~MqttConnection()
{
    // Not inside a notifier's signal here, so the notifiers can go at once; a deferred
    // deletion might never run when the module is unloaded at exit.
    m_pReadNotifier.reset();
    m_pWriteNotifier.reset();
    Close();
    mosquitto_lib_cleanup();
}

bool MqttConnection::Open(const Settings& settings)
{
    Close();
    m_strError.clear();
    if (settings.strHost.isEmpty() || settings.nPort < 1 || settings.nPort > 0xFFFF)
    {
        m_strError = QStringLiteral("no broker address (host \"%1\", port %2)").arg(settings.strHost).arg(settings.nPort);
        return false;
    }
    if (settings.nKeepAliveSeconds < MIN_KEEP_ALIVE_SECONDS || settings.nKeepAliveSeconds > 0xFFFF)
    {
        m_strError = QStringLiteral("keepalive of %1 s outside %2 to 65535 s")
                         .arg(settings.nKeepAliveSeconds)
                         .arg(MIN_KEEP_ALIVE_SECONDS);
        return false;
    }
    const QByteArray clientId = settings.strClientId.toUtf8();
    if (clientId.isEmpty() && !settings.bCleanSession)
    {
        m_strError = QStringLiteral("a persistent session needs a client id");
        return false;
    }
    m_pClient = mosquitto_new(clientId.isEmpty() ? nullptr : clientId.constData(), settings.bCleanSession, this);
    if (m_pClient == nullptr)
    {
        m_strError = QStringLiteral("cannot make an MQTT client: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    mosquitto_connect_callback_set(m_pClient, &MqttConnection::OnConnect);
    mosquitto_publish_callback_set(m_pClient, &MqttConnection::OnPublish);
    mosquitto_message_callback_set(m_pClient, &MqttConnection::OnMessage);

    int nResult = MOSQ_ERR_SUCCESS;
    if (!settings.strUserName.isEmpty())
        nResult = mosquitto_username_pw_set(m_pClient, settings.strUserName.toUtf8().constData(),
                                            settings.strPassword.toUtf8().constData());
    if (nResult == MOSQ_ERR_SUCCESS && !settings.will.strTopic.isEmpty())
        nResult = mosquitto_will_set(m_pClient, settings.will.strTopic.toUtf8().constData(),
                                     settings.will.payload.size(), settings.will.payload.constData(),
                                     settings.will.nQos, settings.will.bRetain);
    if (nResult == MOSQ_ERR_SUCCESS && !settings.strCaFile.isEmpty())
        nResult = mosquitto_tls_set(m_pClient, settings.strCaFile.toLocal8Bit().constData(), nullptr, nullptr,
                                    nullptr, nullptr);
    if (nResult != MOSQ_ERR_SUCCESS)
    {
        m_strError = QStringLiteral("invalid MQTT settings (user name, Last Will or CA file \"%1\"): %2")
                         .arg(settings.strCaFile, LibraryError(nResult, errno));
        mosquitto_destroy(m_pClient);
        m_pClient = nullptr;
        return false;
    }
    m_settings = settings;
    m_bOpen = true;
    m_bLoginRefused = false;
    m_nRefusedLogins = 0;
    m_nRefusedIncoming = 0;
    m_nReconnectDelayMs = m_nMinimumDelayMs;
    SlotAttempt();
    return true;
}

void MqttConnection::Close()
{
    m_lstEvents.clear();
    m_reconnectTimer.stop();
    m_housekeepingTimer.stop();
    if (m_pClient == nullptr)
        return;
    if (m_bConnected)
    {
        mosquitto_disconnect(m_pClient);
        m_bConnected = false;
    }
    StopWatchingSocket();
    mosquitto_destroy(m_pClient);
    m_pClient = nullptr;
    m_bOpen = false;
}

int MqttConnection::Publish(const QString& topic, const QByteArray& payload, int qos, bool retain, QString* pError)
{
    QString reason;
    int nMessageId = -1;
    if (!m_bConnected)
        reason = QStringLiteral("not connected to the broker");
    else
    {
        const int nResult = mosquitto_publish(m_pClient, &nMessageId, topic.toUtf8().constData(), payload.size(),
                                              payload.constData(), qos, retain);
        const bool bConnectionFailed =
            nResult == MOSQ_ERR_NO_CONN || nResult == MOSQ_ERR_CONN_LOST || nResult == MOSQ_ERR_ERRNO;
        if (nResult != MOSQ_ERR_SUCCESS)
            reason = LibraryError(nResult, errno);
        // The library queued a QoS 1 or 2 message before the write failed and sends it again after the
        // reconnect, under this id; anything else it refused outright.
        if (nResult != MOSQ_ERR_SUCCESS && (qos == 0 || !bConnectionFailed))
            nMessageId = -1;
        AfterLoop(nResult == MOSQ_ERR_NO_CONN || nResult == MOSQ_ERR_CONN_LOST ? nResult : MOSQ_ERR_SUCCESS);
    }
    if (pError != nullptr)
        *pError = reason;
    return nMessageId;
}

bool MqttConnection::Subscribe(const QString& filter, int qos)
{
    const QByteArray bytes = filter.toUtf8();
    if (mosquitto_sub_topic_check(bytes.constData()) != MOSQ_ERR_SUCCESS || qos < 0 || qos > 2)
        return false;
    m_lstSubscriptions.push_back({bytes, qos});
    if (m_bConnected)
    {
        mosquitto_subscribe(m_pClient, nullptr, bytes.constData(), qos);
        AfterLoop(MOSQ_ERR_SUCCESS);
    }
    return true;
}

bool MqttConnection::Unsubscribe(const QString& filter)
{
    const QByteArray bytes = filter.toUtf8();
    const auto found = std::find_if(m_lstSubscriptions.begin(), m_lstSubscriptions.end(),
                                    [&bytes](const Subscription& subscription) { return subscription.filter == bytes; });
    if (found == m_lstSubscriptions.end())
        return false;
    m_lstSubscriptions.erase(found);
    if (m_bConnected)
    {
        mosquitto_unsubscribe(m_pClient, nullptr, bytes.constData());
        AfterLoop(MOSQ_ERR_SUCCESS);
    }
    return true;
}

void MqttConnection::SetReconnectDelays(int nMinimumMs, int nMaximumMs)
{
    m_nMinimumDelayMs = std::max(1, nMinimumMs);
    m_nMaximumDelayMs = std::max(m_nMinimumDelayMs, nMaximumMs);
    m_nReconnectDelayMs = m_nMinimumDelayMs;
}

void MqttConnection::SlotAttempt()
{
    if (!m_bOpen)
        return;
    m_strRefusal.clear();
    m_bRefusedLogin = false;
    StopWatchingSocket();
    const int nResult = mosquitto_connect_async(m_pClient, m_settings.strHost.toUtf8().constData(), m_settings.nPort,
                                                m_settings.nKeepAliveSeconds);
    const int nErrno = errno;
    if (nResult != MOSQ_ERR_SUCCESS)
    {
        Fail(QStringLiteral("cannot reach the broker at %1:%2: %3")
                 .arg(m_settings.strHost)
                 .arg(m_settings.nPort)
                 .arg(LibraryError(nResult, nErrno)));
        return;
    }
    WatchSocket();
    AfterLoop(MOSQ_ERR_SUCCESS);
}

void MqttConnection::SlotReadable()
{
    AfterLoop(mosquitto_loop_read(m_pClient, 1));
}

void MqttConnection::SlotWritable()
{
    // A TLS handshake that waits for the socket to become writable continues in the read step.
    int nResult = mosquitto_loop_write(m_pClient, 1);
    if (nResult == MOSQ_ERR_SUCCESS)
        nResult = mosquitto_loop_read(m_pClient, 1);
    AfterLoop(nResult);
}

void MqttConnection::SlotHousekeeping()
{
    AfterLoop(mosquitto_loop_misc(m_pClient));
}

void MqttConnection::OnConnect(mosquitto*, void* pSelf, int nResult)
{
    auto* pThis = static_cast<MqttConnection*>(pSelf);
    if (nResult != 0)
    {
        pThis->m_strRefusal = RefusalText(nResult);
        pThis->m_bRefusedLogin = IsLoginRefusal(nResult);
        return;
    }
    pThis->m_nRefusedLogins = 0;
    pThis->m_bConnected = true;
    pThis->m_strError.clear();
    pThis->m_nReconnectDelayMs = pThis->m_nMinimumDelayMs;
    pThis->SubscribeAll();
    pThis->m_lstEvents.push_back({Event::CONNECTED, QString(), QByteArray(), 0, false});
}

void MqttConnection::OnPublish(mosquitto*, void* pSelf, int nMessageId)
{
    static_cast<MqttConnection*>(pSelf)->m_lstEvents.push_back(
        {Event::ACKNOWLEDGED, QString(), QByteArray(), nMessageId, false});
}

void MqttConnection::OnMessage(mosquitto*, void* pSelf, const mosquitto_message* pMessage)
{
    auto* pThis = static_cast<MqttConnection*>(pSelf);
    const int nLimit = pThis->m_settings.nMaxIncomingBytes;
    if (nLimit > 0 && pMessage->payloadlen > nLimit)
    {
        ++pThis->m_nRefusedIncoming;
        pThis->m_lstEvents.push_back(
            {Event::REFUSED_MESSAGE, QString::fromUtf8(pMessage->topic), QByteArray(), pMessage->payloadlen, false});
        return;
    }
    pThis->m_lstEvents.push_back({Event::MESSAGE, QString::fromUtf8(pMessage->topic),
                                  QByteArray(static_cast<const char*>(pMessage->payload), pMessage->payloadlen), 0,
                                  pMessage->retain});
}

void MqttConnection::AfterLoop(int nResult)
{
    if (m_pClient == nullptr)
        return;
    if (nResult != MOSQ_ERR_SUCCESS || mosquitto_socket(m_pClient) < 0)
    {
        if (!m_strRefusal.isEmpty())
            Fail(m_strRefusal);
        else if (m_bConnected)
            Fail(QStringLiteral("connection to the broker lost: %1").arg(LibraryError(nResult, errno)));
        else
            Fail(QStringLiteral("cannot reach the broker at %1:%2: %3")
                     .arg(m_settings.strHost)
                     .arg(m_settings.nPort)
                     .arg(LibraryError(nResult, errno)));
        return;
    }
    if (m_pWriteNotifier)
        m_pWriteNotifier->setEnabled(mosquitto_want_write(m_pClient));
    DeliverEvents();
}

void MqttConnection::DeliverEvents()
{
    // Taken first: a slot may publish, which runs the library and collects new events.
    std::vector<Event> lstEvents;
    lstEvents.swap(m_lstEvents);
    for (const Event& event : lstEvents)
    {
        switch (event.eKind)
        {
        case Event::CONNECTED:
            emit Connected();
            break;
        case Event::DISCONNECTED:
            emit Disconnected(event.text);
            break;
        case Event::ACKNOWLEDGED:
            emit PublishAcknowledged(event.nMessageId);
            break;
        case Event::MESSAGE:
            emit MessageReceived(event.text, event.payload, event.bRetained);
            break;
        case Event::REFUSED_MESSAGE:
            emit MessageRefused(event.text, event.nMessageId);
            break;
        case Event::LOGIN_REFUSED:
            emit LoginRefused(event.text);
            break;
        }
    }
}

void MqttConnection::Fail(QString reason)
{
    m_bConnected = false;
    m_strError = reason;
    m_strRefusal.clear();
    StopWatchingSocket();
    m_nRefusedLogins = m_bRefusedLogin ? m_nRefusedLogins + 1 : 0;
    m_bRefusedLogin = false;
    m_lstEvents.push_back({Event::DISCONNECTED, reason, QByteArray(), 0, false});
    if (m_nRefusedLogins >= MAX_LOGIN_TRIES)
    {
        m_bOpen = false;
        m_bLoginRefused = true;
        m_lstEvents.push_back({Event::LOGIN_REFUSED, reason, QByteArray(), 0, false});
    }
    else
    {
        m_reconnectTimer.start(m_nReconnectDelayMs);
        m_nReconnectDelayMs = std::min(m_nMaximumDelayMs, m_nReconnectDelayMs * 2);
    }
    DeliverEvents();
}

void MqttConnection::WatchSocket()
{
    const int nSocket = mosquitto_socket(m_pClient);
    if (nSocket < 0)
        return;
    m_pReadNotifier = std::make_unique<QSocketNotifier>(nSocket, QSocketNotifier::Read);
    m_pWriteNotifier = std::make_unique<QSocketNotifier>(nSocket, QSocketNotifier::Write);
    connect(m_pReadNotifier.get(), &QSocketNotifier::activated, this, &MqttConnection::SlotReadable);
    connect(m_pWriteNotifier.get(), &QSocketNotifier::activated, this, &MqttConnection::SlotWritable);
    m_housekeepingTimer.start();
}

void MqttConnection::StopWatchingSocket()
{
    m_housekeepingTimer.stop();
    // Possibly called from the notifier's own signal: disable now, delete once it has returned.
    for (std::unique_ptr<QSocketNotifier>* pNotifier : {&m_pReadNotifier, &m_pWriteNotifier})
    {
        if (*pNotifier)
        {
            (*pNotifier)->setEnabled(false);
            (*pNotifier)->disconnect(this);
            pNotifier->release()->deleteLater();
        }
    }
}

void MqttConnection::SubscribeAll()
{
    for (const Subscription& subscription : m_lstSubscriptions)
        mosquitto_subscribe(m_pClient, nullptr, subscription.filter.constData(), subscription.nQos);
}
