#pragma once

#include "base/cfginiformat_p.h"

#include <QString>
#include <QStringList>

#include <memory>

class CfgFileLock;

/// The in-memory content of one configuration file, shared by every section
/// handle opened on that file (see Open), and the keys changed here since the
/// last save. When and how it is saved is described in cfgcenter.h.
///
/// A save takes the file's lock ("<file>.lock"), reads the file again, puts
/// this process's changed keys into what it read and writes the result to a
/// temporary file that replaces the old one only when it is complete. On any
/// failure the file keeps its old content, the changes stay pending and the
/// reason is reported with qWarning (once per distinct reason).
///
/// A section is addressed by its path, the section names joined by "/" (the
/// top section is ""). A section exists as long as it holds a key.
/// Single-threaded: neither the registry of open documents nor a document is
/// locked against other threads.
class CfgDocument : public std::enable_shared_from_this<CfgDocument>
{
public:
    using Entry = CfgIniFormat::Entry;
    using Section = CfgIniFormat::Section;
    using Sections = CfgIniFormat::Sections;

    /// The document of fileName: the one already open or holding unsaved
    /// changes, or a new one read from the file. rootDir is the configuration
    /// directory that a symbolic link must stay in to be written through.
    static std::shared_ptr<CfgDocument> Open(const QString& fileName, const QString& rootDir);
    /// Saves every document with unsaved changes; false when one failed.
    static bool SaveAll();
    /// For every document whose changes are still unsaved after a save was
    /// tried: which file and why, without the "WARNING: " of the report.
    static QStringList GetSaveFailures();
    /// SaveAll, then drops every document that still holds changes.
    static void ForgetAll();
    /// Saves write at most nBytes each, as on a nearly full disk; a negative
    /// value writes everything again.
    static void SetFreeSpaceForTesting(qint64 nBytes);

    CfgDocument(const QString& fileName, const QString& rootDir);
    ~CfgDocument();
    CfgDocument(const CfgDocument&) = delete;
    CfgDocument& operator=(const CfgDocument&) = delete;

    QString GetFileName() const { return m_strFileName; }

    /// Counts a section handle that takes part in change sets: releasing the
    /// last one saves the pending changes.
    void AddHandle();
    void ReleaseHandle();
    /// Takes the file lock until the next save and takes over the file's
    /// current content, keeping the changes made here. False when the file
    /// cannot be locked or read.
    bool LockForUpdate();
    /// Writes the pending changes (if any) and releases the file lock; false
    /// when they could not be written.
    bool Save();

    /// The entry or null.
    const Entry* Find(const QString& section, const QString& key) const;
    /// Stores the value when it differs. The read-only flag of an existing
    /// key is kept.
    void SetValue(const QString& section, const QString& key, const QString& value);
    /// Nothing happens when the key does not exist.
    void SetReadOnly(const QString& section, const QString& key, bool readOnly);
    /// False when the key does not exist.
    bool Remove(const QString& section, const QString& key);
    QStringList GetKeys(const QString& section) const;
    QStringList GetSubSectionNames(const QString& section) const;

private:
    /// Records a change made in m_mapSections as pending.
    void Change(const QString& section, const QString& key, const std::optional<Entry>& entry);
    /// Asks the event loop, if there is one on this thread, for a save.
    void ScheduleSave();
    bool Lock(QString& error);
    /// Locks the file and reads it; target is the file to replace when saving.
    bool LockAndRead(QString& target, QByteArray& bytes, QString& error);
    /// Takes over bytes read from the file, with the pending changes put
    /// in, unless they are what m_file holds already. False, with nothing
    /// changed, when they would take too much memory to read.
    bool Reread(const QByteArray& bytes, QString& error);
    bool Write(QString& error);
    void Report(const QString& error);

    QString m_strFileName;
    QString m_strRootDir;
    /// Why this file is never written in this session; empty when it may be.
    QString m_strReadOnlyReason;
    /// The last reported failure, so that a repeated one is reported once.
    QString m_strReported;
    /// The file's lines as last read or written, without sections.
    CfgIniFormat::File m_file;
    /// Its sections with the pending changes put in.
    Sections m_mapSections;
    /// The keys changed since the last save.
    CfgIniFormat::Changes m_mapChanges;
    int m_nHandles = 0;
    bool m_bSaveScheduled = false;
    std::unique_ptr<CfgFileLock> m_pLock;
};
