#include "tools/kvtbridge/receiverpoller.h"

#include <QFile>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace kvt {

ReceiverPoller::ReceiverPoller(QObject* pParent)
    : QObject(pParent)
{
    connect(&m_timer, &QTimer::timeout, this, &ReceiverPoller::Poll);
    connect(&m_network, &QNetworkAccessManager::finished, this, &ReceiverPoller::Finished);
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        if (m_pReply)
            m_pReply->abort();
    });
}

bool ReceiverPoller::Start(const QString& source, int nIntervalMs, int nTimeoutMs, QString& rError)
{
    if (nIntervalMs <= 0 || nTimeoutMs <= 0) {
        rError = QStringLiteral("the interval and the timeout must be above 0 ms");
        return false;
    }
    const QUrl url(source, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    m_url.clear();
    m_strFile.clear();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https")) {
        if (!url.isValid() || url.host().isEmpty()) {
            rError = QStringLiteral("not a usable URL: %1").arg(source);
            return false;
        }
        m_url = url;
    } else if (scheme == QLatin1String("file")) {
        m_strFile = url.toLocalFile();
    } else if (scheme.isEmpty() || scheme.size() == 1) {
        // No scheme, or a drive letter: a file name.
        m_strFile = source;
    } else {
        rError = QStringLiteral("unknown scheme %1 (http, https, file or a file name)").arg(url.scheme());
        return false;
    }
    if (m_url.isEmpty() && m_strFile.isEmpty()) {
        rError = QStringLiteral("no receiver given");
        return false;
    }
    m_nTimeoutMs = nTimeoutMs;
    m_timer.start(nIntervalMs);
    Poll();
    return true;
}

void ReceiverPoller::Stop()
{
    m_timer.stop();
    m_deadline.stop();
    // Cleared first, so that the aborted reply is no failure.
    QNetworkReply* pReply = m_pReply.data();
    m_pReply.clear();
    if (pReply != nullptr)
        pReply->abort();
}

void ReceiverPoller::Poll()
{
    if (m_pReply)
        return;
    ++m_counters.nPolls;
    if (!m_strFile.isEmpty()) {
        ReadFile();
        return;
    }
    QNetworkRequest request(m_url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    m_bTooLarge = false;
    m_pReply = m_network.get(request);
    m_deadline.start(m_nTimeoutMs);
    // A receiver that streams endlessly is cut off as soon as it passes the
    // limit; the reply buffers no more than that, whatever the network brings
    // before this thread gets to look.
    m_pReply->setReadBufferSize(MAX_DOCUMENT_BYTES + 1);
    connect(m_pReply, &QNetworkReply::readyRead, m_pReply, [this] {
        if (m_pReply && m_pReply->bytesAvailable() > MAX_DOCUMENT_BYTES) {
            m_bTooLarge = true;
            m_pReply->abort();
        }
    });
}

void ReceiverPoller::ReadFile()
{
    QFile file(m_strFile);
    if (!file.open(QIODevice::ReadOnly)) {
        Fail(QStringLiteral("%1: %2").arg(m_strFile, file.errorString()));
        return;
    }
    const QByteArray document = file.read(MAX_DOCUMENT_BYTES + 1);
    if (document.size() > MAX_DOCUMENT_BYTES)
        Fail(QStringLiteral("%1: larger than %2 bytes").arg(m_strFile).arg(MAX_DOCUMENT_BYTES));
    else
        Deliver(document);
}

void ReceiverPoller::Finished(QNetworkReply* pReply)
{
    pReply->deleteLater();
    if (pReply != m_pReply)
        return;
    m_pReply.clear();
    m_deadline.stop();
    // An aborted reply is closed: its reason is ours, and there is nothing left to read.
    if (m_bTooLarge) {
        Fail(QStringLiteral("answer larger than %1 bytes").arg(MAX_DOCUMENT_BYTES));
        return;
    }
    if (pReply->error() == QNetworkReply::OperationCanceledError) {
        ++m_counters.nTimeouts;
        Fail(QStringLiteral("no answer within %1 ms").arg(m_nTimeoutMs));
        return;
    }
    const QByteArray document = pReply->read(MAX_DOCUMENT_BYTES + 1);
    if (document.size() > MAX_DOCUMENT_BYTES || pReply->bytesAvailable() > 0)
        Fail(QStringLiteral("answer larger than %1 bytes").arg(MAX_DOCUMENT_BYTES));
    else if (pReply->error() == QNetworkReply::NoError)
        Deliver(document);
    else
        Fail(pReply->errorString());
}

void ReceiverPoller::Fail(const QString& reason)
{
    ++m_counters.nFailures;
    m_counters.strLastFailure = reason;
    emit PollFailed(reason);
}

void ReceiverPoller::Deliver(const QByteArray& document)
{
    ++m_counters.nAnswers;
    emit DocumentReceived(document);
}

}
