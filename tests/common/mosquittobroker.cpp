#include "tests/common/mosquittobroker.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <pwd.h>
#include <unistd.h>

namespace
{

const int START_TIMEOUT_MS = 10000;
const int STOP_TIMEOUT_MS = 5000;
// A port found free can be taken by someone else before the broker binds it.
const int START_TRIES = 5;

int FreeLoopbackPort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : 0;
}

// Started as root, the broker would switch to its own system user, which may
// not read the test's temporary directory.
QString CurrentUserName()
{
    const passwd* pEntry = getpwuid(getuid());
    return pEntry != nullptr ? QString::fromLocal8Bit(pEntry->pw_name) : QString();
}

} // namespace

MosquittoBroker::~MosquittoBroker()
{
    Stop();
}

bool MosquittoBroker::RequirePassword(const QString& userName, const QString& password)
{
    QProcess tool;
    tool.start(QStringLiteral(MOSQUITTO_PASSWD_PROGRAM),
               {QStringLiteral("-b"), QStringLiteral("-c"), m_dir.filePath(QStringLiteral("passwords")), userName,
                password});
    m_bPassword = tool.waitForFinished(START_TIMEOUT_MS) && tool.exitStatus() == QProcess::NormalExit
        && tool.exitCode() == 0;
    if (!m_bPassword)
        m_strError = QStringLiteral("mosquitto_passwd failed: ") + QString::fromLocal8Bit(tool.readAllStandardError());
    return m_bPassword;
}

bool MosquittoBroker::Start()
{
    Stop();
    const bool bKeepPort = m_nPort != 0;
    for (int nTry = 0; nTry < START_TRIES; ++nTry)
    {
        if (!bKeepPort)
            m_nPort = FreeLoopbackPort();
        // Each run logs afresh: WaitUntilListening() reads this run's log only.
        QFile::remove(m_dir.filePath(QStringLiteral("mosquitto.log")));
        if (!WriteConfiguration())
            return false;
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(QStringLiteral(MOSQUITTO_PROGRAM), {QStringLiteral("-c"), m_dir.filePath(QStringLiteral("mosquitto.conf"))});
        if (WaitUntilListening())
            return true;
        Stop();
    }
    return false;
}

void MosquittoBroker::Stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    // QProcess signals the broker's own process id.
    m_process.terminate();
    if (!m_process.waitForFinished(STOP_TIMEOUT_MS))
    {
        m_process.kill();
        m_process.waitForFinished(STOP_TIMEOUT_MS);
    }
}

bool MosquittoBroker::Restart()
{
    Stop();
    return Start();
}

QString MosquittoBroker::GetLog() const
{
    QFile log(m_dir.filePath(QStringLiteral("mosquitto.log")));
    return log.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(log.readAll()) : QString();
}

bool MosquittoBroker::WriteConfiguration()
{
    QStringList lines = {
        QStringLiteral("listener %1 127.0.0.1").arg(m_nPort),
        QStringLiteral("persistence false"),
        QStringLiteral("log_dest file %1").arg(m_dir.filePath(QStringLiteral("mosquitto.log"))),
        QStringLiteral("log_type all"),
    };
    const QString user = CurrentUserName();
    if (!user.isEmpty())
        lines << QStringLiteral("user %1").arg(user);
    if (m_bPassword)
        lines << QStringLiteral("allow_anonymous false")
              << QStringLiteral("password_file %1").arg(m_dir.filePath(QStringLiteral("passwords")));
    else
        lines << QStringLiteral("allow_anonymous true");
    QFile file(m_dir.filePath(QStringLiteral("mosquitto.conf")));
    const QByteArray text = lines.join(QLatin1Char('\n')).toUtf8() + '\n';
    if (!m_dir.isValid() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size())
    {
        m_strError = QStringLiteral("cannot write the broker configuration ") + file.fileName();
        return false;
    }
    return true;
}

bool MosquittoBroker::WaitUntilListening()
{
    QElapsedTimer elapsed;
    elapsed.start();
    if (!m_process.waitForStarted(START_TIMEOUT_MS))
    {
        m_strError = QStringLiteral("mosquitto did not start: ") + m_process.errorString();
        return false;
    }
    while (elapsed.elapsed() < START_TIMEOUT_MS)
    {
        if (m_process.state() == QProcess::NotRunning)
        {
            m_strError = QStringLiteral("mosquitto ended: ") + QString::fromLocal8Bit(m_process.readAll()) + GetLog();
            return false;
        }
        // The broker says it runs only once its listener is bound; before that a
        // connection could reach whoever else holds the port.
        if (GetLog().contains(QStringLiteral(" running")))
        {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(m_nPort));
            if (probe.waitForConnected(200))
                return true;
        }
        QThread::msleep(20);
    }
    m_strError = QStringLiteral("mosquitto does not listen on port %1: ").arg(m_nPort) + GetLog();
    return false;
}
