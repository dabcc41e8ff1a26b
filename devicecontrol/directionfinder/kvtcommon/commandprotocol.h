#pragma once

#include "devicecontrol/directionfinder/kvtcommon/imessagestore.h"
#include "kvtcommon_export.h"

#include <QString>
#include <QtGlobal>

#include <memory>

class QFile;

/// The command log of one DF device: every text given to Add becomes one entry
/// "hh:mm:ss:zzz:<TAB><text>\n" (local time of day) in
/// "KVTControl/commandlog-<address>.txt" below the process's current
/// directory, written in Latin-1 (other characters become "?"). A text that
/// contains "?xml version=" and parses as an XML document is written
/// re-indented by 4; any other text is written unchanged.
///
/// Init turns the file left by the previous run into a backup
/// "<log file>-yyyy-MM-dd_hh-mm-ss-z.bak" (local time from the host's OS
/// service) and starts a fresh file with a header entry. Once the file has
/// grown beyond the size limit, the next Add backs it up the same way and
/// starts a continuation file. At most 20 backups ("*.bak" in the directory,
/// whichever device they belong to) are kept: the oldest is deleted first.
/// Colons, asterisks and double quotes of the address become underscores in
/// the file names.
///
/// Every entry is handed to the operating system before Add returns (one
/// write per entry); a short or failed write is a failure, and its partial
/// bytes are cut off again. Failures are reported by the result, with the
/// reason in GetMessageText(); a failed rotation leaves the log closed until
/// the next Init, which also recovers from every other failure.
///
/// Non-copyable: the object owns its open file. One object per address; two
/// would write to the same file. Single-threaded: the class takes no locks.
class KVTCOMMON_EXPORT CommandProtocol : public IMessageStore
{
public:
    static constexpr quint32 DEFAULT_MAX_BYTES = 20000000;
    static constexpr int BACKUPS_KEPT = 20;

    /// Touches no file; call Init before the first Add.
    CommandProtocol(const QString& address, QString description);
    CommandProtocol(const CommandProtocol&) = delete;
    CommandProtocol& operator=(const CommandProtocol&) = delete;
    ~CommandProtocol() override;

    /// Opens the log (closing one that is open), backs it up and starts a
    /// fresh file with the header "DF-Address: <address><TAB><description>".
    /// Stops at the first failure and returns false.
    bool Init();
    /// Appends one entry, rotating first when the file is larger than the
    /// limit (so a file may exceed it by one entry). False without an open
    /// log (Init missing or failed, or a failed rotation) or when a write fails.
    bool Add(const QString& text);
    /// Used from the next Init or rotation on, for the file name and the header.
    void SetDeviceAddress(const QString& address);
    /// The size in bytes beyond which the file is rotated; 0 rotates before
    /// every entry except into an empty file.
    void SetMaxBytes(quint32 maxBytes);

private:
    bool Open();
    void Close();
    bool Write(const QString& text);
    bool WriteHeader();
    bool PerformBackup();
    bool BackupFile();
    void EnsureConstantNumberOfBackups();
    static QString ToValidFileName(const QString& name);

    QString m_strFileName;
    QString m_strDeviceAddress;
    QString m_strDeviceDescription;
    std::unique_ptr<QFile> m_pCurrentFile;
    quint32 m_nMaxBytes = DEFAULT_MAX_BYTES;
};
