#include "tools/kvtfix/liverecord.h"

#include "fusion/bearingjson.h"

bool LiveRecord::Open(const QString& path, SequenceTracker& rTracker, QString& rError)
{
    m_file.setFileName(path);
    bool bEndsWithLine = true;
    if (m_file.exists()) {
        if (!m_file.open(QIODevice::ReadOnly)) {
            rError = QStringLiteral("The record \"%1\" cannot be read: %2.").arg(path, m_file.errorString());
            return false;
        }
        QByteArray line;
        while (!m_file.atEnd()) {
            line = m_file.readLine();
            Bearing bearing;
            QString error;
            if (BearingJson::Parse(line.trimmed(), bearing, error)) {
                rTracker.Add(bearing.strStation, bearing.nSeq);
                ++m_nReplayed;
            } else
                ++m_nUnreadable;
        }
        bEndsWithLine = line.isEmpty() || line.endsWith('\n');
        m_file.close();
    }
    // Unbuffered: every line reaches the operating system in one write, and a write that fails says so at once.
    if (!m_file.open(QIODevice::Append | QIODevice::Unbuffered) || (!bEndsWithLine && m_file.write("\n") != 1)) {
        rError = QStringLiteral("The record \"%1\" cannot be written: %2.").arg(path, m_file.errorString());
        m_file.close();
        return false;
    }
    return true;
}

bool LiveRecord::Append(const Bearing& bearing)
{
    const QByteArray line = BearingJson::Format(bearing) + '\n';
    if (m_file.write(line) != line.size()) {
        m_strError = QStringLiteral("writing %1: %2").arg(m_file.fileName(), m_file.errorString());
        return false;
    }
    ++m_nWritten;
    return true;
}
