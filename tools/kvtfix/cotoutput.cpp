#include "tools/kvtfix/cotoutput.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkInterface>
#include <QUrl>
#include <QUrlQuery>

#include <algorithm>

namespace kvt {

namespace {

constexpr int MIN_RECONNECT_MS = 250;
constexpr int MAX_RECONNECT_MS = 8000;
const QString QUERY_INTERFACE = QStringLiteral("interface");
const QString QUERY_TTL = QStringLiteral("ttl");

}

CotOutput::CotOutput(QObject* pParent)
    : AccountedOutput(QStringLiteral("cot"), pParent)
{
    m_reconnectTimer.setSingleShot(true);
    connect(&m_reconnectTimer, &QTimer::timeout, this, &CotOutput::Connect);
    connect(&m_tcp, &QTcpSocket::connected, this, &CotOutput::OnConnected);
    connect(&m_tcp, &QTcpSocket::disconnected, this, &CotOutput::OnDisconnected);
    connect(&m_tcp, &QTcpSocket::bytesWritten, this, &CotOutput::OnWritten);
    connect(&m_tcp, &QAbstractSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
        // A failed attempt ends in the unconnected state without "disconnected".
        if (m_tcp.state() == QAbstractSocket::UnconnectedState)
            OnDisconnected();
    });
}

bool CotOutput::ParseTarget(const QString& target, Target& rTarget, QString& rError)
{
    const QUrl url(target, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    const QHostAddress host(url.host());
    if (!url.isValid() || (scheme != QLatin1String("udp") && scheme != QLatin1String("tcp")) || host.isNull()
        || url.port() < 1 || !url.path().isEmpty()) {
        rError = QStringLiteral("not udp://HOST:PORT or tcp://HOST:PORT with a numeric address: \"%1\"").arg(target);
        return false;
    }
    Target parsed;
    parsed.bTcp = scheme == QLatin1String("tcp");
    parsed.host = host;
    parsed.nPort = static_cast<quint16>(url.port());
    const QUrlQuery query(url);
    for (const auto& item : query.queryItems()) {
        bool ok = item.first == QUERY_INTERFACE || item.first == QUERY_TTL;
        if (item.first == QUERY_INTERFACE)
            parsed.strInterface = item.second;
        else if (item.first == QUERY_TTL)
            parsed.nTtl = item.second.toInt(&ok);
        if (!ok || parsed.bTcp || !host.isMulticast()) {
            rError = QStringLiteral("\"%1\": only a udp:// multicast group takes ?interface=NAME&ttl=N").arg(target);
            return false;
        }
    }
    if (parsed.nTtl < 1 || parsed.nTtl > 255) {
        rError = QStringLiteral("\"%1\": the ttl is 1 to 255").arg(target);
        return false;
    }
    if (!parsed.strInterface.isEmpty() && !QNetworkInterface::interfaceFromName(parsed.strInterface).isValid()) {
        rError = QStringLiteral("\"%1\": this machine has no interface %2").arg(target, parsed.strInterface);
        return false;
    }
    rTarget = parsed;
    return true;
}

bool CotOutput::Start(const QString& target)
{
    QString error;
    if (!ParseTarget(target, m_target, error) || (m_target.host.isMulticast() && !OpenMulticast(error))) {
        ReportFailure(Failure::Open, error);
        return false;
    }
    SetTarget(target);
    if (m_target.bTcp) {
        Connect();
        return true;
    }
    MarkOpen();
    return true;
}

bool CotOutput::OpenMulticast(QString& rError)
{
    const bool bIpv6 = m_target.host.protocol() == QAbstractSocket::IPv6Protocol;
    if (!m_udp.bind(QHostAddress(bIpv6 ? QHostAddress::AnyIPv6 : QHostAddress::AnyIPv4), 0)) {
        rError = m_udp.errorString();
        return false;
    }
    m_udp.setSocketOption(QAbstractSocket::MulticastTtlOption, m_target.nTtl);
    m_udp.setSocketOption(QAbstractSocket::MulticastLoopbackOption, 1);
    if (m_target.strInterface.isEmpty())
        return true;
    const QNetworkInterface outgoing = QNetworkInterface::interfaceFromName(m_target.strInterface);
    m_udp.setMulticastInterface(outgoing);
    if (m_udp.multicastInterface().index() == outgoing.index())
        return true;
    rError = QStringLiteral("cannot send multicast through %1: %2").arg(m_target.strInterface, m_udp.errorString());
    return false;
}

bool CotOutput::IsConnected() const
{
    return !m_target.bTcp || m_tcp.state() == QAbstractSocket::ConnectedState;
}

void CotOutput::Send(const QByteArray& event)
{
    if (m_bStopped)
        return;
    Offer(1);
    if (!m_target.bTcp) {
        const qint64 nSent = m_udp.writeDatagram(event, m_target.host, m_target.nPort);
        if (nSent == event.size())
            Deliver(1);
        else
            Lose(1, Failure::Write, m_udp.errorString());
        emit Progressed();
        return;
    }
    if (IsConnected() && m_lstQueue.empty()) {
        Write(event);
        return;
    }
    if (static_cast<int>(m_lstQueue.size()) < m_nQueueLimit) {
        m_lstQueue.push_back(event);
        return;
    }
    Lose(1, Failure::Overflow, QStringLiteral("queue of %1 events full: %2")
                .arg(m_nQueueLimit)
                .arg(m_tcp.errorString().isEmpty() ? QStringLiteral("not connected") : m_tcp.errorString()));
}

void CotOutput::Stop(int nDrainMs)
{
    if (m_bStopped)
        return;
    m_bStopped = true;
    if (m_target.bTcp && GetAccount().GetPending() > 0) {
        QEventLoop loop;
        QTimer deadline;
        deadline.setSingleShot(true);
        connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
        connect(this, &CotOutput::Progressed, &loop, [this, &loop] {
            if (GetAccount().GetPending() == 0)
                loop.quit();
        });
        deadline.start(nDrainMs);
        loop.exec();
    }
    const quint64 nLeft = GetAccount().GetPending();
    if (nLeft > 0)
        Lose(nLeft, Failure::Overflow, QStringLiteral("%1 events not written within %2 ms").arg(nLeft).arg(nDrainMs));
    m_lstQueue.clear();
    m_lstUnwritten.clear();
    m_reconnectTimer.stop();
    m_tcp.disconnectFromHost();
    m_tcp.abort();
}

void CotOutput::Connect()
{
    if (m_bStopped)
        return;
    m_tcp.connectToHost(m_target.host, m_target.nPort);
}

void CotOutput::OnConnected()
{
    MarkOpen();
    m_nReconnectDelayMs = MIN_RECONNECT_MS;
    while (!m_lstQueue.empty() && IsConnected()) {
        Write(m_lstQueue.front());
        m_lstQueue.pop_front();
    }
}

void CotOutput::OnDisconnected()
{
    const QString reason = m_tcp.errorString();
    if (!m_lstUnwritten.empty()) {
        Lose(m_lstUnwritten.size(), Failure::Disconnected, reason);
        m_lstUnwritten.clear();
        m_nWrittenOfFirst = 0;
    } else {
        ReportFailure(Failure::Disconnected, reason);
    }
    emit Progressed();
    if (m_bStopped || m_reconnectTimer.isActive())
        return;
    m_reconnectTimer.start(m_nReconnectDelayMs);
    m_nReconnectDelayMs = std::min(2 * m_nReconnectDelayMs, MAX_RECONNECT_MS);
}

void CotOutput::OnWritten(qint64 nBytes)
{
    m_nWrittenOfFirst += nBytes;
    quint64 nDone = 0;
    while (!m_lstUnwritten.empty() && m_nWrittenOfFirst >= m_lstUnwritten.front()) {
        m_nWrittenOfFirst -= m_lstUnwritten.front();
        m_lstUnwritten.pop_front();
        ++nDone;
    }
    if (nDone > 0) {
        Deliver(nDone);
        emit Progressed();
    }
}

void CotOutput::Write(const QByteArray& event)
{
    const qint64 nWritten = m_tcp.write(event);
    if (nWritten != event.size()) {
        Lose(1, Failure::Write, m_tcp.errorString());
        return;
    }
    m_lstUnwritten.push_back(event.size());
}

}
