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
    m_bPassword = RunTool(QStringLiteral(MOSQUITTO_PASSWD_PROGRAM),
                          {QStringLiteral("-b"), QStringLiteral("-c"), m_dir.filePath(QStringLiteral("passwords")),
                           userName, password});
    return m_bPassword;
}

bool MosquittoBroker::LockDown(const QStringList& users)
{
    const QString passwords = m_dir.filePath(QStringLiteral("passwords"));
    QFile::remove(passwords);
    for (const QString& user : users)
    {
        QStringList arguments = {QStringLiteral("-b"), passwords, user, PasswordOf(user)};
        if (!QFile::exists(passwords))
            arguments.prepend(QStringLiteral("-c"));
        if (!RunTool(QStringLiteral(MOSQUITTO_PASSWD_PROGRAM), arguments))
            return false;
    }
    m_bPassword = true;
    m_bAccessList = true;
    return true;
}

bool MosquittoBroker::RequireTls()
{
    const QString ca = m_dir.filePath(QStringLiteral("ca.pem"));
    const QString caKey = m_dir.filePath(QStringLiteral("ca.key"));
    const QString request = m_dir.filePath(QStringLiteral("server.csr"));
    const QString extensions = m_dir.filePath(QStringLiteral("server.ext"));
    QFile extensionFile(extensions);
    const QByteArray extensionText("subjectAltName=IP:127.0.0.1\n");
    if (!extensionFile.open(QIODevice::WriteOnly) || extensionFile.write(extensionText) != extensionText.size())
        return false;
    extensionFile.close();
    // Elliptic-curve keys: made in milliseconds, unlike RSA keys.
    const QStringList newKey = {QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                                QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};
    const bool bMade =
        RunTool(QStringLiteral(OPENSSL_PROGRAM), QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + newKey
                    + QStringList{QStringLiteral("-keyout"), caKey, QStringLiteral("-out"), ca,
                                  QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                                  QStringLiteral("/CN=kvt test CA")})
        && RunTool(QStringLiteral(OPENSSL_PROGRAM), QStringList{QStringLiteral("req")} + newKey
                       + QStringList{QStringLiteral("-keyout"), m_dir.filePath(QStringLiteral("server.key")),
                                     QStringLiteral("-out"), request, QStringLiteral("-subj"),
                                     QStringLiteral("/CN=127.0.0.1")})
        && RunTool(QStringLiteral(OPENSSL_PROGRAM),
                   {QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"), request,
                    QStringLiteral("-CA"), ca, QStringLiteral("-CAkey"), caKey, QStringLiteral("-CAcreateserial"),
                    QStringLiteral("-out"), m_dir.filePath(QStringLiteral("server.pem")), QStringLiteral("-days"),
                    QStringLiteral("2"), QStringLiteral("-extfile"), extensions});
    if (bMade)
        m_strCaFile = ca;
    return bMade;
}

bool MosquittoBroker::RunTool(const QString& program, const QStringList& arguments)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(program, arguments);
    const bool bOk = tool.waitForFinished(START_TIMEOUT_MS) && tool.exitStatus() == QProcess::NormalExit
        && tool.exitCode() == 0;
    if (!bOk)
        m_strError = program + QStringLiteral(" failed: ") + tool.errorString() + QLatin1Char(' ')
            + QString::fromLocal8Bit(tool.readAll());
    return bOk;
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
        QStringLiteral("log_dest file %1").arg(m_dir.filePath(QStringLiteral("mosquitto.log"))),
    };
    if (m_bPersistent)
        lines << QStringLiteral("persistence true") << QStringLiteral("persistence_location %1/").arg(m_dir.path());
    else
        lines << QStringLiteral("persistence false");
    if (m_bAccessList)
        lines << QStringLiteral("acl_file %1").arg(QStringLiteral(NETWORK_ACL_FILE));
    // Without a log_type the broker logs its defaults, its start ("running") among them.
    if (m_bLogAll)
        lines << QStringLiteral("log_type all");
    if (!m_strCaFile.isEmpty())
        lines << QStringLiteral("cafile %1").arg(m_strCaFile)
              << QStringLiteral("certfile %1").arg(m_dir.filePath(QStringLiteral("server.pem")))
              << QStringLiteral("keyfile %1").arg(m_dir.filePath(QStringLiteral("server.key")));
    const QString user = CurrentUserName();
    if (!user.isEmpty())
        lines << QStringLiteral("user %1").arg(user);
    if (m_bPassword)
        lines << QStringLiteral("allow_anonymous false")
              << QStringLiteral("password_file %1").arg(m_dir.filePath(QStringLiteral("passwords")));
    else
        lines << QStringLiteral("allow_anonymous true");
    lines << m_lstExtraLines;
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
