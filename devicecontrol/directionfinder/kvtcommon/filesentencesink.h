#pragma once

#include "base/accountedoutput.h"
#include "kvtcommon_export.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>

/// The DF data output's file: each open moves an existing file to "<name>.bak" (replacing an
/// older backup) and starts an empty file. Text is appended whole or not at all, so a reader never
/// meets a cut line, and counted per sentence: a write that fails (a full disk, a file size
/// limit), or text given while the file could not be opened, is lost and reported with the
/// system's reason. The DF data output's file is named NAME; a host that keeps a file of its own
/// (a log of bearings, one message per line) gives it another. Single-threaded.
class KVTCOMMON_EXPORT FileSentenceSink : public AccountedOutput
{
    Q_OBJECT

public:
    static const QString NAME;

    explicit FileSentenceSink(QObject* pParent = nullptr, const QString& name = NAME);
    ~FileSentenceSink() override;

    /// Does nothing while a file is open. False when the file cannot be opened (reported).
    bool Open(const QString& fileName);
    /// Flushes and closes; the next text is lost until the next open.
    void Close();
    bool IsOpen() const { return m_pFile && m_pFile->isOpen(); }
    /// Text that holds nSentences sentences. Without an open file they are lost, with the reason
    /// the open failed for.
    bool Write(const QByteArray& text, quint64 nSentences);

private:
    std::unique_ptr<QFile> m_pFile;
    QString m_strOpenFailure;
};
