#include "bench/kvtfixconsumer.h"

#include "bench/latencysummary.h"
#include "contract/bearingmessage.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QTimer>

#include <csignal>

namespace
{

const char* const CLIENT_ID = "brokerloadbench-kvtfix";

/// The whole lines of `rPending`, which keeps the unfinished rest.
QList<QByteArray> TakeLines(QByteArray& rPending)
{
    const int nEnd = rPending.lastIndexOf('\n');
    if (nEnd < 0)
        return {};
    const QList<QByteArray> lines = rPending.left(nEnd).split('\n');
    rPending.remove(0, nEnd + 1);
    return lines;
}

/// Runs the event loop for nMs.
void Wait(int nMs)
{
    QEventLoop loop;
    QTimer::singleShot(nMs, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

KvtfixConsumer::KvtfixConsumer(const QString& program, const QString& folder, QObject* pParent)
    : QObject(pParent)
    , m_strProgram(program)
    , m_strFolder(folder)
    , m_record(QDir(folder).filePath(QStringLiteral("record.jsonl")))
{
    connect(&m_process, &QProcess::readyReadStandardError, this, &KvtfixConsumer::ReadErrors);
    // The fixes it prints are not needed; only the summary at the end.
    connect(&m_process, &QProcess::readyReadStandardOutput, this, [this] {
        if (!m_bInterrupted)
            m_process.readAllStandardOutput();
    });
}

KvtfixConsumer::~KvtfixConsumer()
{
    Kill();
}

bool KvtfixConsumer::SetLogin(const QString& user, const QString& password)
{
    QFile file(QDir(m_strFolder).filePath(QStringLiteral("kvtfix.password")));
    const QByteArray text = password.toUtf8() + '\n';
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size())
        return false;
    m_strUser = user;
    return true;
}

bool KvtfixConsumer::Start(int nPort, int nTimeoutMs)
{
    QStringList arguments = {QStringLiteral("--mqtt"),           QStringLiteral("127.0.0.1:%1").arg(nPort),
                             QStringLiteral("--mqtt-client-id"), QLatin1String(CLIENT_ID),
                             QStringLiteral("--mqtt-record"),    m_record.fileName(),
                             QStringLiteral("--json")};
    if (!m_strUser.isEmpty())
        arguments << QStringLiteral("--mqtt-user") << m_strUser << QStringLiteral("--mqtt-password-file")
                  << QDir(m_strFolder).filePath(QStringLiteral("kvtfix.password"));
    const size_t nConnections = m_lstConnections.size();
    m_bInterrupted = false;
    m_process.start(m_strProgram, arguments);
    QElapsedTimer elapsed;
    elapsed.start();
    while (m_lstConnections.size() == nConnections && m_process.state() != QProcess::NotRunning
           && elapsed.elapsed() < nTimeoutMs)
        Wait(50);
    return m_lstConnections.size() > nConnections;
}

void KvtfixConsumer::Kill()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished();
    ReadErrors();
}

QJsonObject KvtfixConsumer::Interrupt(int nTimeoutMs)
{
    if (m_process.state() == QProcess::NotRunning)
        return {};
    m_bInterrupted = true;
    ::kill(static_cast<pid_t>(m_process.processId()), SIGINT);
    if (!m_process.waitForFinished(nTimeoutMs))
        Kill();
    ReadErrors();
    // The fixes are compact lines; the summary at the end is the one indented object, its "{" a line of its own.
    const QByteArray output = m_process.readAllStandardOutput();
    const int nSummary = output.startsWith("{\n") ? 0 : output.indexOf("\n{\n");
    if (nSummary < 0)
        return {};
    return QJsonDocument::fromJson(output.mid(nSummary)).object().value(QLatin1String("live")).toObject();
}

void KvtfixConsumer::ReadRecord()
{
    if (!m_record.isOpen() && !m_record.open(QIODevice::ReadOnly))
        return;
    m_partialLine += m_record.readAll();
    for (const QByteArray& line : TakeLines(m_partialLine))
    {
        kvt::BearingRecord bearing;
        QString error;
        if (kvt::BearingMessage::Parse(line, bearing, error))
        {
            m_mapRecorded[bearing.strStation].push_back(bearing.nSeq);
            ++m_nRecorded;
        }
    }
}

bool KvtfixConsumer::WaitForRecord(qint64 nCount, int nTimeoutMs)
{
    QElapsedTimer elapsed;
    elapsed.start();
    for (ReadRecord(); m_nRecorded < nCount && elapsed.elapsed() < nTimeoutMs; ReadRecord())
        Wait(100);
    return m_nRecorded >= nCount;
}

void KvtfixConsumer::ReadErrors()
{
    m_partialError += m_process.readAllStandardError();
    for (const QByteArray& line : TakeLines(m_partialError))
    {
        if (line.contains("connected to"))
            m_lstConnections.push_back(LatencySummary::Now());
        m_strErrors += QString::fromLocal8Bit(line) + QLatin1Char('\n');
    }
}
