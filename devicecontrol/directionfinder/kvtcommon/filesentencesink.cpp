#include "devicecontrol/directionfinder/kvtcommon/filesentencesink.h"

#include "devicecontrol/directionfinder/kvtcommon/appendwhole.h"

const QString FileSentenceSink::NAME = QStringLiteral("file");

FileSentenceSink::FileSentenceSink(QObject* pParent, const QString& name)
    : AccountedOutput(name, pParent)
{
}

FileSentenceSink::~FileSentenceSink()
{
    Close();
}

bool FileSentenceSink::Open(const QString& fileName)
{
    if (m_pFile)
        return IsOpen();
    SetTarget(fileName);
    const QString backupName = fileName + QStringLiteral(".bak");
    if (QFile::exists(backupName))
        QFile::remove(backupName);
    if (QFile::exists(fileName))
        QFile::rename(fileName, backupName);
    m_pFile = std::make_unique<QFile>(fileName);
    // Unbuffered: a line the disk has no room for must not wait in a buffer
    // and surface later in part.
    if (m_pFile->open(QIODevice::Append | QIODevice::Unbuffered)) {
        m_strOpenFailure.clear();
        MarkOpen();
        return true;
    }
    m_strOpenFailure = m_pFile->errorString();
    m_pFile.reset();
    ReportFailure(Failure::Open, m_strOpenFailure);
    return false;
}

void FileSentenceSink::Close()
{
    if (IsOpen()) {
        m_pFile->flush();
        m_pFile->close();
    }
    m_pFile.reset();
}

bool FileSentenceSink::Write(const QByteArray& text, quint64 nSentences)
{
    Offer(nSentences);
    if (!IsOpen()) {
        Lose(nSentences, Failure::Open, m_strOpenFailure.isEmpty() ? tr("The file is not open.") : m_strOpenFailure);
        return false;
    }
    QString reason;
    if (!AppendWhole(*m_pFile, text, &reason)) {
        Lose(nSentences, Failure::Write, reason);
        return false;
    }
    Deliver(nSentences);
    return true;
}
