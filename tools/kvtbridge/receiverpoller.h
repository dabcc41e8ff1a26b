#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

class QNetworkReply;

namespace kvt {

/// Fetches the receiver's current-bearing document every interval: over
/// HTTP (an http:// or https:// URL) or from a file (a path or file:// URL).
///
/// One request at a time: a receiver whose whole answer has not come within
/// the timeout is given up on ("no answer within N ms") and asked again at the
/// next tick, also one that keeps trickling bytes (so that the poll never
/// ends otherwise).
/// Every failure is reported with its reason (refused connection, HTTP
/// status, timeout, an answer larger than MAX_DOCUMENT_BYTES, a file that
/// cannot be read) and counted; nothing is retried faster than the interval.
class ReceiverPoller : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 MAX_DOCUMENT_BYTES = 64 * 1024;

    struct Counters
    {
        quint64 nPolls = 0;
        quint64 nAnswers = 0;
        quint64 nFailures = 0;
        quint64 nTimeouts = 0;
        /// Empty while nothing failed.
        QString strLastFailure;
    };

    explicit ReceiverPoller(QObject* pParent = nullptr);

    /// Starts polling `source` now and every nIntervalMs; a request is given
    /// up after nTimeoutMs. False with the reason when the source is neither
    /// an HTTP URL nor a file name, or the times are not above 0.
    bool Start(const QString& source, int nIntervalMs, int nTimeoutMs, QString& rError);
    void Stop();

    const Counters& GetCounters() const { return m_counters; }

signals:
    void DocumentReceived(const QByteArray& document);
    /// A poll that brought no document, with the reason.
    void PollFailed(const QString& reason);

private:
    void Poll();
    void ReadFile();
    void Finished(QNetworkReply* pReply);
    void Fail(const QString& reason);
    void Deliver(const QByteArray& document);

    QNetworkAccessManager m_network;
    QTimer m_timer;
    /// Ends the running request at its timeout.
    QTimer m_deadline;
    QUrl m_url;
    QString m_strFile;
    int m_nTimeoutMs = 0;
    /// The running request was cut off for its size.
    bool m_bTooLarge = false;
    QPointer<QNetworkReply> m_pReply;
    Counters m_counters;
};

}
