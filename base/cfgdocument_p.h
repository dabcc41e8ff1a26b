#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <memory>

/// The in-memory content of one configuration file, shared by every section
/// handle opened on that file (see Open). Each change is written to the file
/// at once and atomically: the whole text goes to a temporary file that
/// replaces the old one only when complete, so a crash during a save leaves
/// the previous content.
///
/// A section is addressed by its path, the section names joined by "/" (the
/// top section is ""). A section exists as long as it holds a key; empty
/// sections are neither kept nor written.
/// Single-threaded: the registry of open documents is not locked.
class CfgDocument
{
public:
    struct Entry
    {
        QString strValue;
        bool bReadOnly = false;
    };
    using Section = QMap<QString, Entry>;
    using Sections = QMap<QString, Section>;

    /// The document of fileName: the one already open, or a new one read
    /// from the file (empty when the file does not exist or is unreadable).
    static std::shared_ptr<CfgDocument> Open(const QString& fileName);

    explicit CfgDocument(const QString& fileName);

    QString GetFileName() const { return m_strFileName; }

    /// The entry or null.
    const Entry* Find(const QString& section, const QString& key) const;
    /// Stores the value and saves when it changed. The read-only flag of an
    /// existing key is kept.
    void SetValue(const QString& section, const QString& key, const QString& value);
    /// Nothing happens when the key does not exist.
    void SetReadOnly(const QString& section, const QString& key, bool readOnly);
    /// False when the key does not exist.
    bool Remove(const QString& section, const QString& key);
    QStringList GetKeys(const QString& section) const;
    QStringList GetSubSectionNames(const QString& section) const;

private:
    /// Writes the whole document; on failure the file keeps its old content,
    /// the change stays in memory and a warning is traced.
    void Save() const;

    QString m_strFileName;
    Sections m_mapSections;
};
