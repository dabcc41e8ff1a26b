#include "devicecontrol/directionfinder/kvtcommon/commandprotocol.h"

#include "base/datetime.h"
#include "base/errorhandler.h"
#include "base/omekos.h"
#include "base/trace.h"
#include "devicecontrol/directionfinder/kvtcommon/appendwhole.h"
#include "devicecontrol/directionfinder/kvtcommon/xmlindent.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

namespace
{

const QString LOG_DIRECTORY = QStringLiteral("KVTControl");
const QString CONTINUATION_NOTE =
    QStringLiteral(" >>>>>>>>>> PROTOCOL FILE REACHED MAXIMUM SIZE - THIS IS A CONTINUATION FILE\n\n");

// The local time of day. Asking Qt for the local time consults the zone
// database on every call (several system calls, more than the write of a
// short entry costs). Zone offsets change only at whole minutes, so the
// offset is looked up once per minute, and whenever a log file is opened;
// per thread, as objects may live on different threads.
const qint64 MS_PER_MINUTE = 60 * 1000;
const qint64 MS_PER_DAY = 24 * 60 * MS_PER_MINUTE;
thread_local qint64 t_nOffsetMinute = -1;
thread_local qint64 t_nOffsetMs = 0;

// The entry "hh:mm:ss:zzz:<TAB><text>\n" in Latin-1 (characters beyond it
// as "?"), written straight into one buffer of its final size.
QByteArray Entry(const QString& text)
{
    const qint64 nNowMs = QDateTime::currentMSecsSinceEpoch();
    if (nNowMs / MS_PER_MINUTE != t_nOffsetMinute)
    {
        t_nOffsetMinute = nNowMs / MS_PER_MINUTE;
        t_nOffsetMs = QDateTime::fromMSecsSinceEpoch(nNowMs).offsetFromUtc() * qint64(1000);
    }
    const int nMs = static_cast<int>((nNowMs + t_nOffsetMs) % MS_PER_DAY);
    const int aFields[] = {nMs / 3600000, nMs / 60000 % 60, nMs / 1000 % 60};
    const int nHead = 14; // "hh:mm:ss:zzz:\t"
    QByteArray entry(nHead + text.size() + 1, Qt::Uninitialized);
    char* p = entry.data();
    for (int nField : aFields)
    {
        *p++ = char('0' + nField / 10);
        *p++ = char('0' + nField % 10);
        *p++ = ':';
    }
    *p++ = char('0' + nMs % 1000 / 100);
    *p++ = char('0' + nMs % 100 / 10);
    *p++ = char('0' + nMs % 10);
    *p++ = ':';
    *p++ = '\t';
    for (const QChar c : text)
        *p++ = c.unicode() < 0x100 ? char(c.unicode()) : '?';
    *p = '\n';
    return entry;
}

} // namespace

CommandProtocol::CommandProtocol(const QString& address, QString description)
    : m_strDeviceAddress(address)
    , m_strDeviceDescription(std::move(description))
{
}

CommandProtocol::~CommandProtocol()
{
    Close();
}

bool CommandProtocol::Init()
{
    return Open() && PerformBackup() && WriteHeader();
}

bool CommandProtocol::Add(const QString& text)
{
    if (!m_pCurrentFile)
    {
        SetMessageText(QStringLiteral("CommandProtocol::Add: m_pCurrentFile == NULL"));
        return false;
    }
    // The file is opened for appending and only this object writes to it, so
    // the position is its size, known without asking the file system.
    if (m_pCurrentFile->pos() > m_nMaxBytes && !(PerformBackup() && Write(CONTINUATION_NOTE) && WriteHeader()))
        return false;
    return Write(text);
}

void CommandProtocol::SetDeviceAddress(const QString& address)
{
    m_strDeviceAddress = address;
}

void CommandProtocol::SetMaxBytes(quint32 maxBytes)
{
    m_nMaxBytes = maxBytes;
}

bool CommandProtocol::Open()
{
    Close();
    QDir().mkdir(LOG_DIRECTORY);
    m_strFileName = ToValidFileName(QStringLiteral("%1/commandlog-%2.txt").arg(LOG_DIRECTORY, m_strDeviceAddress));
    // Unbuffered: each entry goes to the operating system in one write, so
    // the result of that write is the result of the entry.
    auto pFile = std::make_unique<QFile>(m_strFileName);
    if (!pFile->open(QIODevice::Append | QIODevice::Text | QIODevice::Unbuffered))
    {
        SetMessageText(QStringLiteral("CommandProtocol: Could not open file %1.").arg(m_strFileName));
        return false;
    }
    m_pCurrentFile = std::move(pFile);
    t_nOffsetMinute = -1;
    SetMessageText(QString());
    return true;
}

void CommandProtocol::Close()
{
    if (!m_pCurrentFile)
        return;
    m_pCurrentFile->flush();
    m_pCurrentFile->close();
    m_pCurrentFile.reset();
}

bool CommandProtocol::Write(const QString& text)
{
    // Init and Add write only after a successful Open, so the log is open.
    const QString& strText = text.contains(QLatin1String("?xml version=")) ? XmlIndent::Indented(text) : text;
    if (AppendWhole(*m_pCurrentFile, Entry(strText)))
        return true;
    SetMessageText(QStringLiteral("CommandProtocol: Writing commandfile %1 failed.").arg(m_strFileName));
    return false;
}

bool CommandProtocol::WriteHeader()
{
    return Write(QStringLiteral("DF-Address: %1\t%2\n").arg(m_strDeviceAddress, m_strDeviceDescription));
}

bool CommandProtocol::PerformBackup()
{
    Close();
    return BackupFile() && Open();
}

bool CommandProtocol::BackupFile()
{
    EnsureConstantNumberOfBackups();
    const QString strTime =
        Omek::DateTime(OmekOS::Create()->GetCurrentTime()).toString(QStringLiteral("yyyy-MM-dd_hh-mm-ss-z"));
    const QString strBackup = ToValidFileName(m_strFileName + QStringLiteral("-%1.bak").arg(strTime));
    QFile::remove(strBackup);
    if (!QFile::exists(m_strFileName))
    {
        SetMessageText(QStringLiteral("CommandProtocol::BackupFile: file <%1> does not exist.").arg(m_strFileName));
        return false;
    }
    if (QFile::rename(m_strFileName, strBackup))
        return true;
    SetMessageText(QStringLiteral("CommandProtocol::BackupFile: renaming <%1> to <%2> failed.").arg(m_strFileName, strBackup));
    return false;
}

void CommandProtocol::EnsureConstantNumberOfBackups()
{
    const QFileInfoList lstBackups =
        QDir(LOG_DIRECTORY).entryInfoList({QStringLiteral("*.bak")}, QDir::Files, QDir::Time);
    if (lstBackups.size() < BACKUPS_KEPT)
        return;
    if (ErrorHandler::Instance().TracesEnabled())
        _Q_Trace(QStringLiteral("CommandProtocol: Going to delete the oldest backup file."), __FILE__, __LINE__);
    QFile::remove(QStringLiteral("%1/%2").arg(LOG_DIRECTORY, lstBackups.last().fileName()));
}

QString CommandProtocol::ToValidFileName(const QString& name)
{
    QString strValid = name;
    for (QChar& c : strValid)
    {
        if (c == QLatin1Char(':') || c == QLatin1Char('*') || c == QLatin1Char('"'))
            c = QLatin1Char('_');
    }
    return strValid;
}
