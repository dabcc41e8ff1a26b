#pragma once

#include "base/accountedoutput.h"

#include <QByteArray>
#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>
#include <QUdpSocket>

#include <deque>

namespace kvt {

/// Cursor-on-Target events to a TAK network: one UDP datagram per event
/// (unicast, or multicast such as TAK's situational-awareness group
/// 239.2.3.1:6969) or a stream of events on a TCP connection (a TAK server's
/// plain CoT input).
///
/// A multicast group is sent to from a socket bound before its options are
/// set (an unbound socket takes none): the target's hop limit (TTL), the
/// target's interface if it names one, and multicast loopback on, so that a
/// TAK client on this machine gets the events too.
///
/// The account: an event is delivered when the system took it (the datagram
/// was sent, the bytes were written to the TCP connection); over TCP up to
/// the queue limit of events wait for the connection, which is retried after
/// 250 ms, doubling up to 8 s; beyond the limit, and what a broken connection
/// had not written, each event is lost with the reason. Stop() waits
/// (bounded, in the event loop) for the queue, then counts what is left as
/// lost, so offered = delivered + lost afterwards.
class CotOutput : public AccountedOutput
{
    Q_OBJECT

public:
    static constexpr int DEFAULT_QUEUE_LIMIT = 1000;

    explicit CotOutput(QObject* pParent = nullptr);

    /// Enough for a TAK network of a few routed hops.
    static constexpr int DEFAULT_MULTICAST_TTL = 8;

    struct Target
    {
        bool bTcp = false;
        QHostAddress host;
        quint16 nPort = 0;
        /// A multicast group's outgoing interface; empty: the system's choice (its route to the group).
        QString strInterface;
        int nTtl = DEFAULT_MULTICAST_TTL;
    };

    /// "udp://HOST:PORT" or "tcp://HOST:PORT", HOST a numeric IPv4 or IPv6
    /// address (in brackets); a multicast group may add "?interface=NAME"
    /// (an interface of this machine) and "ttl=N" (1 to 255). False with the
    /// reason when it is not one.
    static bool ParseTarget(const QString& target, Target& rTarget, QString& rError);

    /// Opens the output; false with the reason (also the account's last
    /// failure) when the target cannot be used.
    bool Start(const QString& target);
    void Send(const QByteArray& event);
    void Stop(int nDrainMs);

    void SetQueueLimit(int nLimit) { m_nQueueLimit = nLimit; }
    bool IsConnected() const;

signals:
    void Progressed();

private:
    void Connect();
    void OnConnected();
    void OnDisconnected();
    void OnWritten(qint64 nBytes);
    void Write(const QByteArray& event);

    bool OpenMulticast(QString& rError);

    Target m_target;
    QUdpSocket m_udp;
    QTcpSocket m_tcp;
    QTimer m_reconnectTimer;
    int m_nReconnectDelayMs = 250;
    int m_nQueueLimit = DEFAULT_QUEUE_LIMIT;
    /// Events waiting for the connection.
    std::deque<QByteArray> m_lstQueue;
    /// Sizes of the events written to the connection whose bytes the system has not all taken.
    std::deque<qint64> m_lstUnwritten;
    qint64 m_nWrittenOfFirst = 0;
    bool m_bStopped = false;
};

}
